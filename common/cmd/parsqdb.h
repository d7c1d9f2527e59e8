// The database and the recovery log from the replies to "query db f=d" and
// "query log f=d": one record each, the last block of the reply.
#pragma once
#include "common/cmd/parsblk.h"

namespace qora::parse {

struct SpaceRecord {
    std::wstring availableSpace;    // 64
    std::wstring assignedCapacity;  // 64
    std::wstring maximumExtension;  // 64
    std::wstring maximumReduction;  // 64
    std::wstring utilization;       // 64, the log only

    bool operator==(const SpaceRecord&) const = default;
};
using DatabaseRecord = SpaceRecord;
using DatabaseResult = SingleResult<DatabaseRecord>;

void parseDatabase(DatabaseResult& result, std::wstring_view text, const TraceSink& trace = {});

namespace detail {
// The fields both replies share, and the field list with the log's own one.
extern const Field<SpaceRecord> kSpaceFields[5];
}  // namespace detail

}  // namespace qora::parse
