#include "common/cmd/parsqstg.h"

namespace qora::parse {

namespace {
using R = StoragePoolRecord;
enum Anchor { NEXT_POOL = ANCHOR };

// Each block's own layout decides: pools that report their utilisation on
// line 4 list more lines before their next pool, pools that also report
// their migration state on line 9 more still.
std::size_t locate(const Block& block, int) {
    if (word(block.line(4), 0) != L"Pct") return 9;
    return block.holdsMarker(9) ? 12 : 10;
}

const Field<R> kFields[] = {
    wordField(L"         Pool", 0, 3, &R::pool, 256),
    wordField(L"    Pool Type", 1, 3, &R::poolType, 256),
    wordField(L" Device Class", 2, 3, &R::devClass, 512),
    wordField(L"    Next Pool", NEXT_POOL, 3, &R::nextPool, 256, L"None"),
    wordField(L"Est. Capacity", 3, 3, &R::estimatedCapacity, 68, L"0.0"),
};
}  // namespace

unsigned parseStoragePools(StoragePoolResults& results, std::wstring_view text,
                           const BlockLabels& labels, const TraceSink& trace) {
    const Signature signature[] = {{0, labels.first}, {1, labels.second}};
    const Scheme<R> scheme{{signature, 9, labels.third}, kFields, locate};
    if (labelsMissing(results, labels)) return results.errorCode;
    return parseList(results, text, scheme, trace);
}

void freeStoragePools(StoragePoolResults& results, const TraceSink& trace) {
    releaseResults(results, {L"Freeing stgpool results\n", L"pAsp", L"nStgpools", L"freeing pool info: %u\n"},
                   trace);
}

}  // namespace qora::parse
