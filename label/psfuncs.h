// The one seam between kvtlabel's device I/O and the devices: a table of the
// system calls it makes on a device handle. Real devices use the system's
// own functions; a device-map name beginning with "QSIM" is served by the
// device library QORASIM.DLL, loaded by name, which exports the same table.
#pragma once
#include <windows.h>

struct psDevFuncsT {
    unsigned size;           // sizeof(psDevFuncsT) of the provider
    HANDLE (*open)(const char* name, DWORD access);   // exclusive, existing only
    BOOL (*close)(HANDLE h);
    BOOL (*read)(HANDLE h, void* buf, DWORD size, DWORD* done);
    BOOL (*write)(HANDLE h, const void* buf, DWORD size, DWORD* done);
    BOOL (*ioctl)(HANDLE h, DWORD code, void* buf, DWORD size, DWORD* returned);
    BOOL (*seek)(HANDLE h, LONGLONG offset, DWORD method, LONGLONG* newPos);
    DWORD (*getTapeParameters)(HANDLE h, DWORD op, DWORD* size, void* info);
    DWORD (*setTapeParameters)(HANDLE h, DWORD op, void* info);
    DWORD (*setTapePosition)(HANDLE h, DWORD method, DWORD partition, DWORD low, DWORD high,
                             BOOL immediate);
    DWORD (*writeTapemark)(HANDLE h, DWORD type, DWORD count, BOOL immediate);
    DWORD (*prepareTape)(HANDLE h, DWORD op, BOOL immediate);
};

// Name of the export of QORASIM.DLL that returns its table.
#define PS_SIM_ENTRY "simDeviceFuncs"
#define PS_SIM_PREFIX "QSIM"
typedef const psDevFuncsT* (*psSimEntryT)(void);

// The functions serving the device of that (translated) name; null when the
// simulated-device library is needed and missing.
const psDevFuncsT* psFuncsForName(const char* ntName);
// The functions serving an open handle.
const psDevFuncsT* psFuncsOf(HANDLE h);
// 0 when no more simulated handles can be kept open.
int  psRememberHandle(HANDLE h, const psDevFuncsT* f);
void psForgetHandle(HANDLE h);
