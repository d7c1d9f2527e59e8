#include "srvutil/devenum.h"

#include <string>
#include "common/cmd/ansifile.h"
#include "common/cmd/msglib.h"
#include "common/cmd/qorafmt.h"
#include "common/cmd/trace.h"
#include "resources/include/volumes_ids.h"

namespace {

// The device map is the system's: it is only ever read, never created or
// opened for writing, so these keys do not go through the create-or-open
// registry object.
class ReadKey {
public:
    ReadKey() = default;
    ~ReadKey() { if (key_) RegCloseKey(key_); }
    ReadKey(const ReadKey&) = delete;
    ReadKey& operator=(const ReadKey&) = delete;
    LONG open(HKEY parent, const std::wstring& path) {
        return RegOpenKeyExW(parent, path.c_str(), 0, KEY_READ, &key_);
    }
    HKEY handle() const { return key_; }
    LONG subkey(DWORD index, std::wstring& name) const {
        wchar_t buf[512];
        DWORD len = 512;
        LONG rc = RegEnumKeyExW(key_, index, buf, &len, nullptr, nullptr, nullptr, nullptr);
        name = rc == ERROR_SUCCESS ? std::wstring(buf, len) : std::wstring();
        return rc;
    }
    // A missing or non-text value leaves the text empty.
    std::wstring text(const wchar_t* name) const {
        wchar_t buf[1024];
        DWORD type = 0, size = sizeof(buf) - sizeof(wchar_t);
        if (RegQueryValueExW(key_, name, nullptr, &type, reinterpret_cast<BYTE*>(buf), &size) !=
                ERROR_SUCCESS ||
            (type != REG_SZ && type != REG_EXPAND_SZ))
            return {};
        buf[size / sizeof(wchar_t)] = 0;
        return buf;
    }
    bool hasValue(const wchar_t* name) const {
        return RegQueryValueExW(key_, name, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
    }
private:
    HKEY key_ = nullptr;
};

// The number a key name ends in: "Target Id 12" is 12.
uint32_t trailingNumber(const std::wstring& name) {
    size_t end = name.size();
    while (end && iswspace(name[end - 1])) --end;
    size_t begin = end;
    while (begin && iswdigit(name[begin - 1])) --begin;
    uint64_t v = 0;
    for (size_t i = begin; i < end && v <= UINT32_MAX; ++i) v = v * 10 + uint64_t(name[i] - L'0');
    return v > UINT32_MAX ? UINT32_MAX : uint32_t(v);
}

const wchar_t* yesNo(LONG rc) { return rc == ERROR_SUCCESS ? L"TRUE" : L"FALSE"; }

// Tape0 to Tape24 are the system's tape names and are opened as \\.\TapeN.
std::wstring utilityDeviceName(std::wstring name) {
    if (name.empty()) return name;
    bool matched = false;
    for (int i = 0; i <= 24 && !matched; ++i) {
        std::wstring tape = L"Tape" + std::to_wstring(i);
        QTRACE(T_DEVENUM, L"match? %s %s\n", name.c_str(), tape.c_str());
        matched = name == tape;
    }
    if (matched) {
        QTRACE(T_DEVENUM, L"we have a winner!\n");
    } else if (name == L"Tape") {
        QTRACE(T_DEVENUM, L"handling Alpha fx32 bug\n");
        name += L'0';
        matched = true;
    }
    if (matched) name = L"\\\\.\\" + name;
    QTRACE(T_DEVENUM, L"Device name used in utilities: %s\n", name.c_str());
    return name;
}

struct Walk {
    HKEY hive;
    DeviceEntry** list;
    int capacity;
    int& count;
};

void readAttributes(const ReadKey& unit, DeviceEntry& e) {
    e.type = unit.text(L"Type");
    e.identifier = unit.text(L"Identifier");
    e.deviceName = unit.text(L"DeviceName");
    e.element.clear();
    QTRACE(T_DEVENUM, L"Type:       %s\n", e.type.c_str());
    QTRACE(T_DEVENUM, L"Identifier: %s\n", e.identifier.c_str());
    QTRACE(T_DEVENUM, L"DeviceName: %s\n", e.deviceName.c_str());
    e.deviceName = utilityDeviceName(e.deviceName);
    if (unit.hasValue(L"QORADriver")) {
        e.owned = 1;
        e.driver = unit.text(L"QORADriver");
        e.deviceClass = unit.text(L"DEVCLASS");
    } else {
        e.owned = 0;
        if (deviceKindOfType(e.type, false) == DEVKIND_TAPE) e.deviceClass = L"GENERICTAPE";
    }
    e.kind = deviceKindOfType(e.type, false);
}

// Visits every subkey of `path`; `visit` returns 0 to go on or an error.
template <typename Visit>
DWORD eachSubkey(HKEY hive, const std::wstring& path, const wchar_t* what, Visit visit) {
    ReadKey key;
    LONG rc = key.open(hive, path);
    if (rc != ERROR_SUCCESS) {
        QTRACE(T_DEVENUM, L"Error opening registry key RC: %d\n", int(rc));
        return DWORD(rc);
    }
    for (DWORD index = 0;; ++index) {
        std::wstring name;
        rc = key.subkey(index, name);
        QTRACE(T_DEVENUM, L"looking for %s %d, got: %s, (lRC == ERROR_SUCCESS): %s\n", what,
               int(index), name.c_str(), yesNo(rc));
        if (rc == ERROR_NO_MORE_ITEMS) return 0;
        if (rc != ERROR_SUCCESS) return DWORD(rc);
        if (DWORD err = visit(name)) return err;
    }
}

DWORD walkDeviceMap(Walk& w) {
    const std::wstring scsi = SCSI_DEVICE_MAP_KEY;
    return eachSubkey(w.hive, scsi, L"scsi port", [&](const std::wstring& port) {
        std::wstring portPath = scsi + port + L"\\";
        QTRACE(T_DEVENUM, L"Begin SCSI bus enumeration. basekey: %s\n", portPath.c_str());
        return eachSubkey(w.hive, portPath, L"scsi bus", [&](const std::wstring& bus) {
            std::wstring busPath = portPath + bus + L"\\";
            QTRACE(T_DEVENUM, L"Begin SCSI Id enumeration. basekey: %s\n", busPath.c_str());
            return eachSubkey(w.hive, busPath, L"initiator/target Id", [&](const std::wstring& target) -> DWORD {
                if (target.find(L"Initiator") != std::wstring::npos) {
                    QTRACE(T_DEVENUM, L"Got a match on initiator\n");
                    return 0;
                }
                std::wstring targetPath = busPath + target + L"\\";
                QTRACE(T_DEVENUM, L"Begin SCSI Lun enumeration. basekey: %s\n", targetPath.c_str());
                DWORD status = eachSubkey(w.hive, targetPath, L"lun", [&](const std::wstring& lun) -> DWORD {
                    if (w.count >= w.capacity) {
                        QTRACE(T_DEVENUM, L"Attempt to exceed max device value\n");
                        return SCSI_LIST_FULL;
                    }
                    std::wstring unitPath = targetPath + lun;
                    QTRACE(T_DEVENUM, L"Begin SCSI attributes enumeration. basekey: %s\n", unitPath.c_str());
                    ReadKey unit;
                    LONG rc = unit.open(w.hive, unitPath);
                    if (rc != ERROR_SUCCESS) {
                        QTRACE(T_DEVENUM, L"Error opening registry key RC: %d\n", int(rc));
                        return DWORD(rc);
                    }
                    auto* e = new DeviceEntry;
                    e->port = trailingNumber(port);
                    e->bus = trailingNumber(bus);
                    e->targetId = trailingNumber(target);
                    e->lun = trailingNumber(lun);
                    e->key = uint32_t(w.count);
                    readAttributes(unit, *e);
                    w.list[w.count++] = e;
                    return 0;
                });
                QTRACE(T_DEVENUM, L"returning from enum lun with status: %d\n", int(status));
                return status;
            });
        });
    });
}

void traceEntries(DeviceEntry** list, int count) {
    if (!traceFlags[T_DEVENUM]) return;
    for (int i = 0; i < count; ++i) {
        const DeviceEntry& e = *list[i];
        QTRACE(T_DEVENUM, L"port(%u).bus(%u).id(%u).lun(%u): key(%u).\ntype: %s\nidentifier: %s\n",
               e.port, e.bus, e.targetId, e.lun, e.key, e.type.c_str(), e.identifier.c_str());
        if (e.owned) {
            QTRACE(T_DEVENUM, L"QORA Device Name: %s\n", e.deviceName.c_str());
            QTRACE(T_DEVENUM, L"QORA Device Class: %s\n", e.deviceClass.c_str());
        }
        QTRACE(T_DEVENUM, L"\n");
    }
}

std::wstring bareComputerName(const wchar_t* computer) {
    std::wstring name = computer ? computer : L"";
    while (!name.empty() && name.front() == L'\\') name.erase(0, 1);
    return name;
}

}  // namespace

bool isLocalComputer(const wchar_t* computer) {
    std::wstring name = bareComputerName(computer);
    if (name.empty()) return true;
    wchar_t local[MAX_COMPUTERNAME_LENGTH + 1];
    DWORD len = MAX_COMPUTERNAME_LENGTH + 1;
    return GetComputerNameW(local, &len) && lstrcmpiW(local, name.c_str()) == 0;
}

void enumRemovableDrives(DeviceEntry** list, int capacity, int& count) {
    QTRACE(T_DEVENUM, L"enter enumRemovableDrives\n");
    DriveInfo* drives[26] = {};
    int n = EnumerateDrives(drives, 26);
    for (int i = 0; i < n && count < capacity; ++i) {
        const DriveInfo& d = *drives[i];
        if (!d.removable || !d.notRemote || d.floppy || d.cdrom) continue;
        auto* e = new DeviceEntry;
        e->type = L"DiskPartition";
        e->identifier = d.root + L" n/a";
        e->owned = 1;
        e->deviceName = d.root;
        e->deviceClass = L"REMOVABLEFILE";
        e->kind = DEVKIND_REMOVABLE;
        list[count++] = e;
    }
    FreeDriveList(drives, n);
    QTRACE(T_DEVENUM, L"leaving enumRemovableDrives: rc: %s\n", L"TRUE");
}

DWORD scanScsiDevices(const wchar_t* computer, DeviceEntry** list, int capacity, int& count,
                      bool includeRemovable) {
    for (int i = 0; i < capacity; ++i) list[i] = nullptr;
    count = 0;
    QTRACE(T_DEVENUM, L"Begin SCSI port enumeration\n");

    std::wstring name = bareComputerName(computer);
    std::wstring machine = name.empty() ? std::wstring() : L"\\\\" + name;
    HKEY hive = nullptr;
    LONG rc = RegConnectRegistryW(machine.empty() ? nullptr : machine.c_str(), HKEY_LOCAL_MACHINE, &hive);
    DWORD status = DWORD(rc);
    if (rc == ERROR_SUCCESS) {
        ReadKey probe;
        LONG open = probe.open(hive, SCSI_DEVICE_MAP_KEY);
        if (open == ERROR_FILE_NOT_FOUND) {
            status = 0;  // no SCSI adapter: no devices
        } else if (open != ERROR_SUCCESS) {
            QTRACE(T_DEVENUM, L"Error opening registry key RC: %d\n", int(open));
            status = DWORD(open);
        } else {
            Walk walk{hive, list, capacity, count};
            status = walkDeviceMap(walk);
        }
        RegCloseKey(hive);
    } else {
        QTRACE(T_DEVENUM, L"Error opening registry key RC: %d\n", int(rc));
    }

    if (status != 0) {
        FreeDeviceList(list, capacity);
        count = 0;
        return status;
    }
    if (includeRemovable && isLocalComputer(computer)) enumRemovableDrives(list, capacity, count);
    QTRACE(T_DEVENUM, L"detected %d SCSI devices\n", count);
    traceEntries(list, count);
    return 0;
}

int EnumerateScsiDevices(const wchar_t* computer, DeviceEntry** list, int capacity, int& count,
                         bool includeRemovable, HWND owner) {
    DWORD status = scanScsiDevices(computer, list, capacity, count, includeRemovable);
    if (status == 0) return 1;
    if (status == SCSI_LIST_FULL) {
        showMessage(owner, MSG_WARNING, IDS_DEVICE_LIST_FULL, capacity);
        return 0;
    }
    wchar_t* text = nullptr;
    FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                   nullptr, status, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    if (text) {
        showText(owner, MSG_INFO, L"Error - FM -- %s", text);
        LocalFree(text);
    }
    return 0;
}

int ReadDeviceFile(const wchar_t* path, DeviceEntry** list, int capacity, int& count, HWND owner) {
    for (int i = 0; i < capacity; ++i) list[i] = nullptr;
    count = 0;
    std::wstring text;
    DWORD error;
    if (!readAnsiFile(path, text, error)) {
        showFileError(owner, error);
        return 0;
    }
    count = parseDeviceReport(text, list, capacity);
    return 1;
}
