#include "common/cmd/parscg.h"

namespace qora::parse {

namespace {
using R = CopyGroupRecord;
const Field<R> kFields[] = {
    wordField(L"         Domain", 0, 3, &R::domain, 128),
    wordField(L"     Policy Set", 1, 3, &R::policySet, 128),
    wordField(L"     Mgmt Class", 2, 3, &R::mgmtClass, 128),
    wordField(L"     Copy Group", 3, 3, &R::copyGroup, 128),
    wordField(L"Copy Group Type", 4, 3, &R::copyGroupType, 128),
    wordField(L"    Destination", 12, 2, &R::destination, 128),
    numberField(L"Versions Exists", 5, 3, &R::versionsExists),
    numberField(L"Versions Delete", 6, 3, &R::versionsDeleted),
    numberField(L"   Retain Extra", 7, 3, &R::retainExtra),
    numberField(L"    Retain Only", 8, 3, &R::retainOnly),
};
}  // namespace

unsigned parseCopyGroups(CopyGroupResults& results, std::wstring_view text, const BlockLabels& labels,
                         const TraceSink& trace) {
    const Signature signature[] = {{0, labels.first}, {1, labels.second}, {12, labels.third}};
    const Scheme<R> scheme{{signature, 12}, kFields};
    if (labelsMissing(results, labels)) return results.errorCode;
    return parseList(results, text, scheme, trace);
}

void freeCopyGroups(CopyGroupResults& results, const TraceSink& trace) {
    releaseResults(results, {L"Freeing cg results\n"}, trace);
}

}  // namespace qora::parse
