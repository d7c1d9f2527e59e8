// Drives from the reply to "query drive f=d".
#pragma once
#include "common/cmd/parsblk.h"

namespace qora::parse {

struct DriveRecord {
    std::wstring library;     // 256
    std::wstring drive;       // 256
    std::wstring deviceType;  // 256
    std::wstring device;      // 256
    std::wstring element;     // 256

    bool operator==(const DriveRecord&) const = default;
};
using DriveResults = ParseResults<DriveRecord>;

unsigned parseDrives(DriveResults& results, std::wstring_view text, const TraceSink& trace = {});
void freeDrives(DriveResults& results, const TraceSink& trace = {});

}  // namespace qora::parse
