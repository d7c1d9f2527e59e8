// Client nodes from the reply to "query node f=d".
#pragma once
#include "common/cmd/parsblk.h"

namespace qora::parse {

struct NodeRecord {
    std::wstring nodeName;     // 384
    std::wstring domain;       // 128
    std::wstring compression;  // 128
    std::wstring optionSet;    // 128
    std::wstring url;          // 128
    std::wstring nodeType;     // 128
    int archiveDeleteAllowed = 0;
    int backupDeleteAllowed = 0;
    int onServer = 0;  // 1: the node exists on the server; nodes a wizard creates carry 0
    int modified = 0;  // set by a wizard when the user changes the node

    bool operator==(const NodeRecord&) const = default;
};
using NodeResults = ParseResults<NodeRecord>;

// labels: the texts of messages 10005 (line 0), 10006 (line 1), 10007 (line 26).
unsigned parseNodes(NodeResults& results, std::wstring_view text, const BlockLabels& labels,
                    const TraceSink& trace = {});
void freeNodes(NodeResults& results, const TraceSink& trace = {});

}  // namespace qora::parse
