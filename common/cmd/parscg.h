// Backup copy groups from the reply to "query copygroup f=d".
#pragma once
#include "common/cmd/parsblk.h"

namespace qora::parse {

struct CopyGroupRecord {
    std::wstring domain;         // 128
    std::wstring policySet;      // 128
    std::wstring mgmtClass;      // 128
    std::wstring copyGroup;      // 128
    std::wstring copyGroupType;  // 128
    std::wstring destination;    // 128
    int versionsExists = 0;
    int versionsDeleted = 0;
    int retainExtra = 0;
    int retainOnly = 0;

    bool operator==(const CopyGroupRecord&) const = default;
};
using CopyGroupResults = ParseResults<CopyGroupRecord>;

// labels: the texts of messages 10002 (line 0), 10003 (line 1), 10004 (line 12).
unsigned parseCopyGroups(CopyGroupResults& results, std::wstring_view text, const BlockLabels& labels,
                         const TraceSink& trace = {});
void freeCopyGroups(CopyGroupResults& results, const TraceSink& trace = {});

}  // namespace qora::parse
