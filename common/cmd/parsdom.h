// Policy domains from the reply to "query domain f=d".
#pragma once
#include "common/cmd/parsblk.h"

namespace qora::parse {

struct DomainRecord {
    std::wstring domain;       // 128
    std::wstring policySet;    // 128
    std::wstring description;  // 512, its lines joined
    int registeredNodes = 0;
    int backupGrace = 0;
    int archiveGrace = 0;
    int onServer = 0;
    int modified = 0;

    bool operator==(const DomainRecord&) const = default;
};
using DomainResults = ParseResults<DomainRecord>;

// labels: the texts of messages 10014 (line 0), 10015 (line 1), 10016 (line 5).
unsigned parseDomains(DomainResults& results, std::wstring_view text, const BlockLabels& labels,
                      const TraceSink& trace = {});
void freeDomains(DomainResults& results, const TraceSink& trace = {});

}  // namespace qora::parse
