#include "common/cmd/parsqdb.h"

namespace qora::parse {

namespace detail {
using R = SpaceRecord;
const Field<R> kSpaceFields[5] = {
    wordField(L"   Available Space", 0, 3, &R::availableSpace, 64),
    wordField(L" Assigned Capacity", 1, 3, &R::assignedCapacity, 64),
    wordField(L" Maximum Extension", 2, 3, &R::maximumExtension, 64),
    wordField(L" Maximum Reduction", 3, 3, &R::maximumReduction, 64),
    customField(L"       Utilization", &R::utilization, 64),
};
}  // namespace detail

namespace {
const Signature kSignature[] = {{0, L"Available Space (MB):"}, {10, L"Buffer Pool Pages:"}};
const Scheme<SpaceRecord> kScheme{{kSignature, 10}, std::span(detail::kSpaceFields, 4)};
}  // namespace

void parseDatabase(DatabaseResult& result, std::wstring_view text, const TraceSink& trace) {
    parseSingle(result, text, kScheme, trace);
}

}  // namespace qora::parse
