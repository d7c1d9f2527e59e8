// The storage devices attached to a computer, from the SCSI device map in
// its registry, from its removable drives, or from a device report file.
#pragma once
#include <windows.h>
#include "srvutil/devlist.h"

// Under HKEY_LOCAL_MACHINE of the chosen computer.
#define SCSI_DEVICE_MAP_KEY L"HARDWARE\\DEVICEMAP\\Scsi\\"

// The enumeration found more logical units than the list holds.
constexpr DWORD SCSI_LIST_FULL = ERROR_INSUFFICIENT_BUFFER;

// Fills `list` (capacity slots, empty) with the logical units of the device
// map of `computer` (null or empty: this computer), and with the removable
// drives when asked and the computer is this one. 0, or the system error
// (SCSI_LIST_FULL when the list overflowed) with an empty list.
DWORD scanScsiDevices(const wchar_t* computer, DeviceEntry** list, int capacity, int& count,
                      bool includeRemovable);

// The same, showing the error to the administrator. 1 on success, else 0.
int EnumerateScsiDevices(const wchar_t* computer, DeviceEntry** list, int capacity, int& count,
                         bool includeRemovable, HWND owner = nullptr);

// Appends the local removable drives (no floppy, CD-ROM or network drive)
// as devices the server uses through files.
void enumRemovableDrives(DeviceEntry** list, int capacity, int& count);

// Reads the device report `path`; 1, or 0 after showing the file error.
int ReadDeviceFile(const wchar_t* path, DeviceEntry** list, int capacity, int& count,
                   HWND owner = nullptr);

// True when `computer` names this computer (with or without leading \\).
bool isLocalComputer(const wchar_t* computer);
