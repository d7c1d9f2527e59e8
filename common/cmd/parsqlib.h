// Libraries from the reply to "query library f=d".
#pragma once
#include "common/cmd/parsblk.h"

namespace qora::parse {

struct LibraryRecord {
    std::wstring library;          // 64
    std::wstring libraryType;      // 64
    std::wstring device;           // 64
    std::wstring externalManager;  // 64

    bool operator==(const LibraryRecord&) const = default;
};
using LibraryResults = ParseResults<LibraryRecord>;

unsigned parseLibraries(LibraryResults& results, std::wstring_view text, const TraceSink& trace = {});
void freeLibraries(LibraryResults& results, const TraceSink& trace = {});

}  // namespace qora::parse
