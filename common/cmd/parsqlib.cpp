#include "common/cmd/parsqlib.h"

namespace qora::parse {

namespace {
using R = LibraryRecord;
const Signature kSignature[] = {{0, L"Library Name:"}, {1, L"Library Type:"}};
const Field<R> kFields[] = {
    wordField(L"    Library Name", 0, 2, &R::library, 64),
    wordField(L"    Library Type", 1, 2, &R::libraryType, 64),
    wordField(L"  Library Device", 2, 1, &R::device, 64),
    wordField(L" Library Ext Mgr", 3, 2, &R::externalManager, 64),
};
const Scheme<R> kScheme{{kSignature, 1}, kFields};
}  // namespace

unsigned parseLibraries(LibraryResults& results, std::wstring_view text, const TraceSink& trace) {
    return parseList(results, text, kScheme, trace);
}

void freeLibraries(LibraryResults& results, const TraceSink& trace) {
    releaseResults(results, {L"Freeing library results\n", L"pAlib", L"nLibs"}, trace);
}

}  // namespace qora::parse
