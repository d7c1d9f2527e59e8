// Readable records in test failure messages.
#pragma once
#include <ostream>
#include <string>

#include "common/cmd/parscg.h"
#include "common/cmd/parsched.h"
#include "common/cmd/parsdom.h"
#include "common/cmd/parsnode.h"
#include "common/cmd/parsqdb.h"
#include "common/cmd/parsqdev.h"
#include "common/cmd/parsqdrv.h"
#include "common/cmd/parsqlib.h"
#include "common/cmd/parsqstg.h"

namespace qora::parse {

inline std::string printable(const std::wstring& s) {
    std::string out;
    for (wchar_t c : s) out += (c >= 32 && c < 127) ? char(c) : '?';
    return out;
}

template <class... T>
void printFields(std::ostream& os, const T&... fields) {
    const char* sep = "{";
    auto one = [&](const auto& f) {
        os << sep;
        sep = ", ";
        if constexpr (std::is_same_v<std::decay_t<decltype(f)>, std::wstring>)
            os << '"' << printable(f) << '"';
        else
            os << f;
    };
    (one(fields), ...);
    os << "}";
}

inline void PrintTo(const LibraryRecord& r, std::ostream* os) {
    printFields(*os, r.library, r.libraryType, r.device, r.externalManager);
}
inline void PrintTo(const DriveRecord& r, std::ostream* os) {
    printFields(*os, r.library, r.drive, r.deviceType, r.device, r.element);
}
inline void PrintTo(const DeviceClassRecord& r, std::ostream* os) {
    printFields(*os, r.szQoraDevClassName, r.szQoraDevClassStrategy, r.szQoraDevClassPoolCount,
                r.szQoraDevClassDeviceType, r.szQoraDevClassFormat, r.szQoraDevClassLibName,
                r.directory);
}
inline void PrintTo(const SpaceRecord& r, std::ostream* os) {
    printFields(*os, r.availableSpace, r.assignedCapacity, r.maximumExtension, r.maximumReduction,
                r.utilization);
}
inline void PrintTo(const CopyGroupRecord& r, std::ostream* os) {
    printFields(*os, r.domain, r.policySet, r.mgmtClass, r.copyGroup, r.copyGroupType,
                r.destination, r.versionsExists, r.versionsDeleted, r.retainExtra, r.retainOnly);
}
inline void PrintTo(const NodeRecord& r, std::ostream* os) {
    printFields(*os, r.nodeName, r.domain, r.compression, r.optionSet, r.url, r.nodeType,
                r.archiveDeleteAllowed, r.backupDeleteAllowed, r.onServer, r.modified);
}
inline void PrintTo(const ScheduleRecord& r, std::ostream* os) {
    printFields(*os, r.domain, r.scheduleName, r.description, r.action, r.options, r.objects,
                r.priority, r.startDate, r.startTime, r.duration, r.period, r.dayOfWeek,
                r.expiration, r.onServer, r.modified);
}
inline void PrintTo(const AssociationRecord& r, std::ostream* os) {
    std::wstring names;
    for (const NodeEntry& n : r.nodes) names += n.name + L" ";
    printFields(*os, r.domain, r.scheduleName, names, r.nodeCount, r.onServer, r.modified);
}
inline void PrintTo(const DomainRecord& r, std::ostream* os) {
    printFields(*os, r.domain, r.policySet, r.description, r.registeredNodes, r.backupGrace,
                r.archiveGrace, r.onServer, r.modified);
}
inline void PrintTo(const StoragePoolRecord& r, std::ostream* os) {
    printFields(*os, r.pool, r.poolType, r.devClass, r.nextPool, r.estimatedCapacity);
}

}  // namespace qora::parse
