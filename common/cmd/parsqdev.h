// Device classes from the reply to "query devclass f=d".
#pragma once
#include "common/cmd/parsblk.h"

namespace qora::parse {

struct DeviceClassRecord {
    std::wstring szQoraDevClassName;        // 64
    std::wstring szQoraDevClassStrategy;    // 64
    std::wstring szQoraDevClassPoolCount;   // 64
    std::wstring szQoraDevClassDeviceType;  // 64
    std::wstring szQoraDevClassFormat;      // 64
    std::wstring szQoraDevClassLibName;     // 64
    std::wstring directory;                 // 64

    bool operator==(const DeviceClassRecord&) const = default;
};
using DeviceClassResults = ParseResults<DeviceClassRecord>;

unsigned parseDeviceClasses(DeviceClassResults& results, std::wstring_view text,
                            const TraceSink& trace = {});
void freeDeviceClasses(DeviceClassResults& results, const TraceSink& trace = {});

}  // namespace qora::parse
