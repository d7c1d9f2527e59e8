// The 8120 library manager through its client library, loaded by name on
// first use and kept for the rest of the run.
#include <windows.h>
#include <errno.h>
#include <string.h>
#include <ctype.h>
#include "psdevio.h"

#define TR_MODULE "psflagio"

typedef int (*openFnT)(const char*);
typedef int (*closeFnT)(int);
typedef int (*ioctlFnT)(int, int, void*);

static HMODULE flag_mod_handle = nullptr;
static openFnT flag_open_tevraatlP = nullptr;
static closeFnT flag_close_tevraatlP = nullptr;
static ioctlFnT flag_ioctl_tevraatlP = nullptr;

static int loadClientLibrary(void)
{
    if (flag_ioctl_tevraatlP)
        return 0;
    if (!flag_mod_handle)
        flag_mod_handle = LoadLibraryA("LIBTEVRA");
    if (!flag_mod_handle) {
        TRACE("Error loading libtevra.dll\n");
        return 603;
    }
    struct { const char* name; FARPROC* slot; } entries[] = {
        {"open_tevraatl", (FARPROC*)&flag_open_tevraatlP},
        {"close_tevraatl", (FARPROC*)&flag_close_tevraatlP},
        {"ioctl_tevraatl", (FARPROC*)&flag_ioctl_tevraatlP},
    };
    for (auto& e : entries) {
        *e.slot = GetProcAddress(flag_mod_handle, e.name);
        if (!*e.slot) {
            TRACE("Could not get addressability to %s.\n", e.name);
            flag_ioctl_tevraatlP = nullptr;
            return 603;
        }
    }
    return 0;
}

int LmcpOpen(const char* name, int, int, int* handleP)
{
    TRACE("Opening LMCP %s.\n", name);
    int rc = loadClientLibrary();
    if (rc != 0) {
        TRACE("8120 DLL not available for LMCP %s; rc=%d.\n", name, rc);
        return 603;
    }
    char lower[IO_NAME_SIZE];
    if (strlen(name) >= sizeof lower)
        return 600;
    for (size_t i = 0;; i++) {
        lower[i] = (char)tolower((unsigned char)name[i]);
        if (!name[i])
            break;
    }
    int fd = flag_open_tevraatlP(lower);
    if (fd == -1) {
        TRACE("Open failed for LMCP %s; errno=%d.\n", lower, errno);
        return 600;
    }
    TRACE("Opened LMCP %s; fd=%d.\n", lower, fd);
    *handleP = fd;
    return 0;
}

void LmcpClose(int handle)
{
    if (flag_close_tevraatlP && flag_close_tevraatlP(handle) != 0)
        TRACE("Close failed for LMCP; errno=%d.\n", errno);
}

int LmcpIoctl(int handle, uint32_t function, void* argP, unsigned)
{
    if (!flag_ioctl_tevraatlP || flag_ioctl_tevraatlP(handle, (int)function, argP) != 0) {
        TRACE("Trying ioctl on LMCP; func=%.8lX.\n", (unsigned long)function);
        return 600;
    }
    return 0;
}

int cartGetDevNo(driveDescT* driveP, int* devNoP)
{
    int h;
    if (ioOpenDevice(driveP->devName, 0, 1, &h) != 0)
        return 600;
    int32_t devNo = 0;
    int rc = ioTapeIoctl(h, QORA_MTIOC_GET_DEVICE_NUMBER, &devNo, sizeof devNo);
    ioCloseDevice(h);
    if (rc != 0) {
        TRACE("Failed to get device number from drive\n");
        return 600;
    }
    *devNoP = devNo;
    TRACE("Device number for drive %s is %d.\n", driveP->devName, (int)devNo);
    return 0;
}
