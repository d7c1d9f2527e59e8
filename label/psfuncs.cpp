// Chooses, per device, between the system's calls and the simulated devices.
#include <windows.h>
#include <string.h>
#include "psfuncs.h"

static HANDLE realOpen(const char* name, DWORD access)
{
    return CreateFileA(name, access, 0, nullptr, OPEN_EXISTING, FILE_FLAG_WRITE_THROUGH, nullptr);
}
static BOOL realClose(HANDLE h) { return CloseHandle(h); }
static BOOL realRead(HANDLE h, void* buf, DWORD size, DWORD* done)
{
    return ReadFile(h, buf, size, done, nullptr);
}
static BOOL realWrite(HANDLE h, const void* buf, DWORD size, DWORD* done)
{
    return WriteFile(h, buf, size, done, nullptr);
}
static BOOL realIoctl(HANDLE h, DWORD code, void* buf, DWORD size, DWORD* returned)
{
    return DeviceIoControl(h, code, buf, size, buf, size, returned, nullptr);
}
static BOOL realSeek(HANDLE h, LONGLONG offset, DWORD method, LONGLONG* newPos)
{
    LARGE_INTEGER o, n;
    o.QuadPart = offset;
    BOOL ok = SetFilePointerEx(h, o, &n, method);
    if (ok && newPos)
        *newPos = n.QuadPart;
    return ok;
}
static DWORD realGetTapeParameters(HANDLE h, DWORD op, DWORD* size, void* info)
{
    return GetTapeParameters(h, op, size, info);
}
static DWORD realSetTapeParameters(HANDLE h, DWORD op, void* info)
{
    return SetTapeParameters(h, op, info);
}
static DWORD realSetTapePosition(HANDLE h, DWORD method, DWORD partition, DWORD low, DWORD high,
                                 BOOL immediate)
{
    return SetTapePosition(h, method, partition, low, high, immediate);
}
static DWORD realWriteTapemark(HANDLE h, DWORD type, DWORD count, BOOL immediate)
{
    return WriteTapemark(h, type, count, immediate);
}
static DWORD realPrepareTape(HANDLE h, DWORD op, BOOL immediate)
{
    return PrepareTape(h, op, immediate);
}

static const psDevFuncsT realFuncs = {
    sizeof(psDevFuncsT), realOpen, realClose, realRead, realWrite, realIoctl, realSeek,
    realGetTapeParameters, realSetTapeParameters, realSetTapePosition, realWriteTapemark,
    realPrepareTape,
};

static SRWLOCK lock = SRWLOCK_INIT;
static const psDevFuncsT* simFuncs = nullptr;
static int simLoaded = 0;

struct handleEntryT {
    HANDLE h;
    const psDevFuncsT* f;
};
static handleEntryT handles[64];

const psDevFuncsT* psFuncsForName(const char* ntName)
{
    const char* p = ntName;
    if ((p[0] == '/' || p[0] == '\\') && (p[1] == '/' || p[1] == '\\') && p[2] == '.'
        && (p[3] == '/' || p[3] == '\\'))
        p += 4;
    if (_strnicmp(p, PS_SIM_PREFIX, strlen(PS_SIM_PREFIX)) != 0)
        return &realFuncs;
    AcquireSRWLockExclusive(&lock);
    if (!simLoaded) {
        simLoaded = 1;
        HMODULE m = LoadLibraryA("QORASIM");
        psSimEntryT entry = m ? (psSimEntryT)(void*)GetProcAddress(m, PS_SIM_ENTRY) : nullptr;
        const psDevFuncsT* f = entry ? entry() : nullptr;
        simFuncs = f && f->size == sizeof(psDevFuncsT) ? f : nullptr;
    }
    const psDevFuncsT* f = simFuncs;
    ReleaseSRWLockExclusive(&lock);
    return f;
}

const psDevFuncsT* psFuncsOf(HANDLE h)
{
    const psDevFuncsT* f = &realFuncs;
    AcquireSRWLockShared(&lock);
    for (const handleEntryT& e : handles)
        if (e.f && e.h == h) {
            f = e.f;
            break;
        }
    ReleaseSRWLockShared(&lock);
    return f;
}

int psRememberHandle(HANDLE h, const psDevFuncsT* f)
{
    if (f == &realFuncs)
        return 1;
    int stored = 0;
    AcquireSRWLockExclusive(&lock);
    for (handleEntryT& e : handles)
        if (!e.f) {
            e.h = h;
            e.f = f;
            stored = 1;
            break;
        }
    ReleaseSRWLockExclusive(&lock);
    return stored;
}

void psForgetHandle(HANDLE h)
{
    AcquireSRWLockExclusive(&lock);
    for (handleEntryT& e : handles)
        if (e.f && e.h == h)
            e.f = nullptr;
    ReleaseSRWLockExclusive(&lock);
}
