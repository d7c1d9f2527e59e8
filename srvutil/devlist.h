// Attached devices as the device pages see them, and the DEVFILE report
// reader. Data only, so it is also built natively under the sanitizers.
#pragma once
#include <cstdint>
#include <string>

enum DeviceKind : uint32_t {
    DEVKIND_DISK = 0,
    DEVKIND_CDROM = 1,
    DEVKIND_TAPE = 2,
    DEVKIND_CHANGER = 3,
    DEVKIND_OPTICAL = 4,
    DEVKIND_REMOVABLE = 5,
    DEVKIND_FILE = 6,
    DEVKIND_OTHER = 7,
};

struct DeviceEntry {
    std::wstring deviceName;   // \\.\Tape3, a QoraScsi name, or a drive root
    std::wstring deviceClass;  // DEVCLASS, GENERICTAPE, REMOVABLEFILE, FILE or empty
    std::wstring type;         // TapePeripheral, MediumChangerPeripheral, ...
    std::wstring identifier;   // inquiry vendor, product and revision
    std::wstring driver;       // QORADriver
    std::wstring element;      // filled by the device configuration wizard
    uint32_t owned = 0;
    uint32_t port = 0, bus = 0, targetId = 0, lun = 0;
    uint32_t key = 0;          // position in the list when it was made
    DeviceKind kind = DEVKIND_OTHER;
};

// Every list of devices holds this many entries.
constexpr int kMaxDevices = 256;

// Kind of a registry or report type name, compared without case;
// DiskPartition (removable drives) only when allowPartition is set.
DeviceKind deviceKindOfType(const std::wstring& type, bool allowPartition);

// Fills `list` (capacity entries, all empty) from the text of a device report;
// stops when the list is full. Returns the number of entries made.
int parseDeviceReport(const std::wstring& text, DeviceEntry** list, int capacity);

// Releases every non-empty slot and empties it.
void FreeDeviceList(DeviceEntry** list, int capacity);
