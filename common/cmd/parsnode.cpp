#include "common/cmd/parsnode.h"

namespace qora::parse {

namespace {
using R = NodeRecord;
const Field<R> kFields[] = {
    wordField(L"           Node Name", 0, 2, &R::nodeName, 384),
    wordField(L"              Domain", 4, 3, &R::domain, 128),
    wordField(L"         Compression", 12, 1, &R::compression, 128),
    wordField(L"          Option Set", 24, 3, &R::optionSet, 128),
    wordField(L"                 URL", 25, 1, &R::url, 128),
    wordField(L"           Node Type", 26, 2, &R::nodeType, 128),
    notNoField(L"Archive Delete Allow", 13, 3, &R::archiveDeleteAllowed),
    notNoField(L" Backup Delete Allow", 14, 3, &R::backupDeleteAllowed),
    setField(L"           On Server", &R::onServer, 1),
    setField(L"            Modified", &R::modified, 0),
};
}  // namespace

unsigned parseNodes(NodeResults& results, std::wstring_view text, const BlockLabels& labels,
                    const TraceSink& trace) {
    const Signature signature[] = {{0, labels.first}, {1, labels.second}, {26, labels.third}};
    const Scheme<R> scheme{{signature, 26}, kFields};
    if (labelsMissing(results, labels)) return results.errorCode;
    return parseList(results, text, scheme, trace);
}

void freeNodes(NodeResults& results, const TraceSink& trace) {
    releaseResults(results, {L"Freeing node results\n"}, trace);
}

}  // namespace qora::parse
