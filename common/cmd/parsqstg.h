// Storage pools from the reply to "query stgpool f=d".
#pragma once
#include "common/cmd/parsblk.h"

namespace qora::parse {

struct StoragePoolRecord {
    std::wstring pool;               // 256
    std::wstring poolType;           // 256
    std::wstring devClass;           // 512
    std::wstring nextPool;           // 256, "None" when the pool has none
    std::wstring estimatedCapacity;  // 68, "0.0" when not given

    bool operator==(const StoragePoolRecord&) const = default;
};
using StoragePoolResults = ParseResults<StoragePoolRecord>;

// labels: the texts of messages 10017 (line 0), 10018 (line 1) and 10019, the
// line 9 label of pools that report their migration state.
unsigned parseStoragePools(StoragePoolResults& results, std::wstring_view text,
                           const BlockLabels& labels, const TraceSink& trace = {});
void freeStoragePools(StoragePoolResults& results, const TraceSink& trace = {});

}  // namespace qora::parse
