// Optical drives: type query, readiness, formatting, sectors with the
// write-once protection, eject.
#include <windows.h>
#include <string.h>
#include "psdevio.h"
#include "psfuncs.h"
#include "utils.h"

#define TR_MODULE "psoptio"

static HANDLE H(int handle) { return (HANDLE)(intptr_t)handle; }

int optGetDevType(const char* devName, int* devTypeP)
{
    TRACE("Getting device type for %s.\n", devName);
    int h;
    if (ioOpenDevice(devName, 0, 1, &h) != 0)
        return 600;
    int rc = 600;
    devinfo di = {};
    qora_dd_get_device_info_t gi = {};
    if (ioTapeIoctl(h, QORA_DDIOC_DEVINFO, &di, sizeof di) == 0
        && (unsigned char)di.devtype == QORA_DEVTYPE_OPTICAL
        && ioTapeIoctl(h, QORA_DDIOC_GET_DEVICE_INFO, &gi, sizeof gi) == 0) {
        switch (gi.device_group) {
        case 8: *devTypeP = 2; rc = 0; break;
        case 9: *devTypeP = 8; rc = 0; break;
        case 10: *devTypeP = 11; rc = 0; break;
        default: TRACE("Error: Drive %s device group is %lu\n", devName, (unsigned long)gi.device_group);
        }
    }
    ioCloseDevice(h);
    if (rc == 0)
        TRACE("Device %s is optical.\n", devName);
    return rc;
}

static int prepareDrive(int handle)
{
    qora_op_prepare_drive_t p = {};
    return ioTapeIoctl(handle, QORA_OPIOC_PREPARE_DRIVE, &p, sizeof p);
}

static int prepareOrTrace(int handle)
{
    if (prepareDrive(handle) == 0)
        return 0;
    if (GetLastError() == ERROR_WRITE_PROTECT)
        TRACE("cartridge is write protected. \n");
    else
        TRACE("prepare drive failed. \n");
    return 600;
}

int optWaitReady(driveDescT* driveP)
{
    TRACE("wait until %s is ready. \n", driveP->devName);
    for (int test = 0; test < 5; test++) {
        if (test > 0)
            thrSleep(4);
        int h;
        if (ioOpenDevice(driveP->devName, 0, 1, &h) != 0)
            continue;
        int rc = prepareDrive(h);
        DWORD err = GetLastError();
        TRACE("prepare drive returns %d, error %lu \n", rc, rc ? err : 0);
        ioCloseDevice(h);
        if (rc == 0) {
            TRACE("prepare drive complete. \n");
            return 0;
        }
        if (err == ERROR_WRITE_PROTECT) {
            TRACE("cartridge is write protected. \n");
            return 600;
        }
    }
    TRACE("device ready timeout. \n");
    return 600;
}

int optFormatMedia(int handle)
{
    TRACE("Formatting...\n");
    if (prepareOrTrace(handle) != 0)
        return 600;
    qora_op_format_unit_t fu = {};
    if (ioTapeIoctl(handle, QORA_OPIOC_FORMAT_UNIT, &fu, sizeof fu) != 0) {
        TraceSenseData("FORMAT", handle);
        return 600;
    }
    return 0;
}

static int seekSector(int handle, int sector, int size)
{
    LONGLONG off = (LONGLONG)sector * size;
    if (!psFuncsOf(H(handle))->seek(H(handle), off, FILE_BEGIN, nullptr)) {
        TRACE("Seek failed; offset=%lld, error=%lu.\n", off, GetLastError());
        return 600;
    }
    return 0;
}

static long long filePointer(int handle)
{
    LONGLONG pos = 0;
    psFuncsOf(H(handle))->seek(H(handle), 0, FILE_CURRENT, &pos);
    return pos;
}

int optReadSectors(int handle, void* buf, int firstSector, int numSectors, int sectorSize)
{
    TRACE("Reading %d sectors starting at %d...\n", numSectors, firstSector);
    if (numSectors <= 0 || sectorSize <= 0 || seekSector(handle, firstSector, sectorSize) != 0)
        return 600;
    if (prepareOrTrace(handle) != 0)
        return 600;
    unsigned want = (unsigned)numSectors * (unsigned)sectorSize, got = 0;
    if (ioReadDevice(handle, buf, want, &got) != 0 || got != want) {
        TRACE("Read failed; sector=%d, cnt=%d, error=%lu.\n", firstSector, numSectors, GetLastError());
        return 600;
    }
    TRACE("Read file pointer = %lld \n", filePointer(handle));
    return 0;
}

int optWriteSectors(int handle, const void* buf, int firstSector, int numSectors, int sectorSize)
{
    TRACE("Writing %d sectors starting at %d...\n", numSectors, firstSector);
    if (numSectors <= 0 || sectorSize <= 0 || seekSector(handle, firstSector, sectorSize) != 0)
        return 600;
    TRACE("prepare drive before writing ...\n");
    if (prepareOrTrace(handle) != 0)
        return 600;
    if (firstSector == 0) {
        qora_dd_get_medium_info_t mi = {};
        // A medium that cannot tell counts as write-once: a label is never lost.
        int worm = 1;
        if (ioTapeIoctl(handle, QORA_DDIOC_GET_MEDIUM_INFO, &mi, sizeof mi) == 0)
            worm = mi.worm != 0;
        TRACE("testing for WORM already labeled, worm=%d. \n", worm);
        if (worm) {
            TRACE("cartridge is WORM, reading first sector. \n");
            char* first = (char*)shmAlloc((size_t)sectorSize);
            if (!first)
                return 600;
            int labeled = optReadSectors(handle, first, 0, 1, sectorSize) == 0
                && (size_t)sectorSize >= OPT_SIGNATURE_LEN
                && memcmp(first, OPT_SIGNATURE, OPT_SIGNATURE_LEN) == 0;
            shmFree(first);
            if (labeled) {
                TRACE("WORM cartridge already labeled. \n");
                return 600;
            }
            if (seekSector(handle, firstSector, sectorSize) != 0)
                return 600;
        }
    }
    unsigned want = (unsigned)numSectors * (unsigned)sectorSize, done = 0;
    TRACE("calling ioWriteDevice of %u bytes \n", want);
    int trc = ioWriteDevice(handle, buf, want, &done);
    TRACE("Wrote: bytes=%u, trc=%d, amtWritten=%u\n", want, trc, done);
    if (trc != 0 || done != want) {
        TRACE("Write failed; sector=%d, cnt=%d, error=%lu.\n", firstSector, numSectors, GetLastError());
        return 600;
    }
    TRACE("Write file pointer = %lld \n", filePointer(handle));
    return 0;
}

int optEjectCartridge(driveDescT* driveP)
{
    TRACE("Ejecting cartridge... \n");
    int h;
    int rc = ioOpenDevice(driveP->devName, 0, 1, &h);
    if (rc != 0)
        return rc;
    qora_op_eject_t e = {};
    if (ioTapeIoctl(h, QORA_OPIOC_EJECT, &e, sizeof e) != 0) {
        TRACE("Eject failed with error %lu \n", GetLastError());
        TraceSenseData("EJECT", h);
        rc = 600;
    }
    ioCloseDevice(h);
    return rc;
}
