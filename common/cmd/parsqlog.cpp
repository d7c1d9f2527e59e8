#include "common/cmd/parsqlog.h"

namespace qora::parse {

namespace {
// "Pct Util: 0.6" gives its last word; a line of another shape gives nothing.
void completeLog(LogRecord& rec, const Block& block) {
    std::wstring_view line = block.line(7);
    std::size_t n = wordCount(line);
    if (n == 2 || n == 3) rec.utilization = fitted(word(line, n - 1), 64);
}

const Signature kSignature[] = {{0, L"Available Space (MB):"}, {10, L"Log Pool Pages:"}};
const Scheme<LogRecord> kScheme{{kSignature, 10}, detail::kSpaceFields, nullptr, completeLog};
}  // namespace

void parseLog(LogResult& result, std::wstring_view text, const TraceSink& trace) {
    parseSingle(result, text, kScheme, trace);
}

}  // namespace qora::parse
