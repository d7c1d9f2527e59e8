// Opening devices by name, reads and writes that wait for not-ready drives,
// and the driver's requests.
#include <windows.h>
#include <stdio.h>
#include <string.h>
#include <ctype.h>
#include "psdevio.h"
#include "psfuncs.h"

#define TR_MODULE "psdevio"

static HANDLE H(int handle) { return (HANDLE)(intptr_t)handle; }

// Address names: MT, LB or OP and one to four numbers (target, lun, bus, port).
static int parseAddress(const char* name, int num[4])
{
    if (name[0] == '/' || strlen(name) < 3)
        return 0;
    char a = (char)toupper((unsigned char)name[0]), b = (char)toupper((unsigned char)name[1]);
    if (!((a == 'M' && b == 'T') || (a == 'L' && b == 'B') || (a == 'O' && b == 'P')))
        return 0;
    const char* p = name + 2;
    int count = 0;
    num[0] = num[1] = num[2] = num[3] = 0;
    while (count < 4) {
        if (!isdigit((unsigned char)*p))
            return 0;
        long v = 0;
        while (isdigit((unsigned char)*p)) {
            v = v * 10 + (*p++ - '0');
            if (v > 255)
                return 0;   // no SCSI address is that large
        }
        num[count++] = (int)v;
        if (*p == '\0')
            return 1;
        if (*p != '.')
            return 0;
        p++;
    }
    return 0;
}

void NTDeviceName(char* name)
{
    int a[4];
    if (!parseAddress(name, a))
        return;
    char key[200];
    _snprintf(key, sizeof key,
              "HARDWARE\\DEVICEMAP\\Scsi\\Scsi Port %d\\Scsi Bus %d\\Target Id %d\\Logical Unit Id %d",
              a[3], a[2], a[0], a[1]);
    key[sizeof key - 1] = '\0';
    HKEY k;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key, 0, KEY_READ, &k) != ERROR_SUCCESS) {
        TRACE("DeviceName ; not found! \n");
        return;
    }
    char value[512];
    int found = 0;
    for (int attempt = 0; attempt < 5 && !found; attempt++) {
        DWORD type = 0, len = sizeof value - 1;
        LONG rc = RegQueryValueExA(k, "DeviceName", nullptr, &type, (BYTE*)value, &len);
        if (rc == ERROR_SUCCESS && type == REG_SZ) {
            value[len] = '\0';
            found = 1;
        } else {
            TRACE("RegQueryValueEx ; rc = %ld \n", rc);
        }
    }
    RegCloseKey(k);
    if (!found) {
        TRACE("DeviceName ; not found! \n");
        return;
    }
    // A value that does not fit the caller's buffer leaves the name alone.
    if (strlen(value) + 4 >= IO_NAME_SIZE)
        return;
    strcpy(name, "//./");
    strcat(name, value);
}

int ioOpenDevice(const char* devName, int openMode, int nonDelayFlag, int* handleP)
{
    TRACE("Opening device %s ; mode=%d, ndelay=%d.\n", devName, openMode, nonDelayFlag);
    char name[IO_NAME_SIZE];
    if (strlen(devName) >= sizeof name) {
        TRACE("Open failed for %s ; rc=%d.\n", devName, (int)ERROR_FILENAME_EXCED_RANGE);
        return 600;
    }
    strcpy(name, devName);
    NTDeviceName(name);
    TRACE("Opening NT device %s ;\n", name);
    const psDevFuncsT* f = psFuncsForName(name);
    HANDLE h = INVALID_HANDLE_VALUE;
    if (f)
        h = f->open(name, GENERIC_READ | (openMode ? GENERIC_WRITE : 0));
    else
        SetLastError(ERROR_MOD_NOT_FOUND);
    if (h == INVALID_HANDLE_VALUE) {
        TRACE("Open failed for %s ; rc=%lu.\n", devName, GetLastError());
        return 600;
    }
    if (!psRememberHandle(h, f)) {
        f->close(h);
        TRACE("Open failed for %s ; rc=%d.\n", devName, (int)ERROR_TOO_MANY_OPEN_FILES);
        return 600;
    }
    *handleP = (int)(intptr_t)h;
    return 0;
}

void ioCloseDevice(int handle)
{
    const psDevFuncsT* f = psFuncsOf(H(handle));
    psForgetHandle(H(handle));
    f->close(H(handle));
}

// Not-ready drives are retried every 5 seconds, 60 more times.
#define IO_NOT_READY_RETRIES 60

int ioReadDevice(int handle, void* buf, unsigned size, unsigned* amtReadP)
{
    const psDevFuncsT* f = psFuncsOf(H(handle));
    DWORD done = 0;
    *amtReadP = 0;
    for (int retry = 0;; retry++) {
        if (f->read(H(handle), buf, size, &done)) {
            *amtReadP = done;
            return 0;
        }
        DWORD err = GetLastError();
        if (err != ERROR_NOT_READY) {
            if (retry == 0)
                TRACE("Read failed ; rc=%lu.\n", err);
            return 600;
        }
        if (retry == IO_NOT_READY_RETRIES)
            return 600;
        TRACE("Read retry on busy ; rc=%lu.\n", err);
        thrSleep(5);
    }
}

int ioWriteDevice(int handle, const void* buf, unsigned size, unsigned* amtWrittenP)
{
    const psDevFuncsT* f = psFuncsOf(H(handle));
    DWORD done = 0;
    *amtWrittenP = 0;
    for (int retry = 0;; retry++) {
        if (f->write(H(handle), buf, size, &done)) {
            *amtWrittenP = done;
            return 0;
        }
        DWORD err = GetLastError();
        if (err != ERROR_NOT_READY) {
            if (retry == 0) {
                TRACE("Write failed ; rc=%lu.\n", err);
                if (err == ERROR_WRITE_PROTECT)
                    TRACE("Cartridge is write protected. \n");
            }
            return 600;
        }
        if (retry == IO_NOT_READY_RETRIES)
            return 600;
        TRACE("Write retry on busy ; rc=%lu.\n", err);
        thrSleep(5);
    }
}

static int ioctlRequest(int handle, uint32_t function, void* argP, unsigned argSize)
{
    DWORD returned = 0;
    return psFuncsOf(H(handle))->ioctl(H(handle), function, argP, argSize, &returned) ? 0 : 600;
}

int ioTapeIoctl(int handle, uint32_t function, void* argP, unsigned argSize)
{
    return ioctlRequest(handle, function, argP, argSize);
}

int ioAutoIoctl(int handle, uint32_t function, void* argP, unsigned argSize)
{
    return ioctlRequest(handle, function, argP, argSize);
}

void TraceSenseData(const char* opName, int handle)
{
    if (!traceFlag)
        return;
    qora_dd_return_error_state_t es = {};
    if (ioctlRequest(handle, QORA_DDIOC_RETURN_ERROR_STATE, &es, sizeof es) != 0) {
        TRACE("%s failed; sense data not available.\n", opName);
        return;
    }
    char hex[2 * 32 + 1] = "";
    unsigned n = es.number_sense < 32 ? es.number_sense : 32;
    for (unsigned i = 0; i < n; i++)
        _snprintf(hex + 2 * i, 3, "%02X", es.sense_bytes[i]);
    hex[2 * n] = '\0';
    TRACE("%s failed; rc=%.8lX, cc=%d, sense=%s\n", opName, (unsigned long)es.last_status,
          (int)es.last_compcode, hex);
}
