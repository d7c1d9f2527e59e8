// Tape steps shared by the device-group types: identification, readiness,
// reading and writing the VOL1 label, eject.
#include <windows.h>
#include <string.h>
#include "dts.h"
#include "dtsformat.h"
#include "psdevio.h"
#include "console.h"
#include "utils.h"

#define TR_MODULE "gtsutils"

int tapeGetFormats(int handle, uint32_t* devGroupP, uint32_t* rFormatsP, uint32_t* wFormatsP)
{
    qora_dd_get_device_info_t gi = {};
    int rc = ioTapeIoctl(handle, QORA_DDIOC_GET_DEVICE_INFO, &gi, sizeof gi);
    if (rc != 0)
        return rc;
    *devGroupP = gi.device_group;
    *rFormatsP = gi.read_formats;
    *wFormatsP = gi.write_formats;
    return 0;
}

int tapeGetMediaType(int handle, int* mediaTypeP)
{
    qora_dd_get_medium_info_t mi = {};
    int rc = ioTapeIoctl(handle, QORA_DDIOC_GET_MEDIUM_INFO, &mi, sizeof mi);
    if (rc == 0)
        *mediaTypeP = mi.medium_type;
    return rc;
}

int gtsIdentify(const char* devName, uint32_t devGroup)
{
    int h;
    if (ioOpenDevice(devName, 0, 1, &h) != 0)
        return 2;
    uint32_t group = 0, r = 0, w = 0;
    int found = 0;
    if (tapeGetFormats(h, &group, &r, &w) == 0) {
        TRACE("Checking drive %s: Grp=%lu  R=%.8lX  W=%.8lX.\n", devName, (unsigned long)group,
              (unsigned long)r, (unsigned long)w);
        found = group == devGroup;
    }
    ioCloseDevice(h);
    return found;
}

void gtsGetParameters(driveDescT*, int* isTwoSidedP, int* maxVolNameLenP)
{
    *isTwoSidedP = 0;
    *maxVolNameLenP = TAPE_VOLNAME_MAX;
}

int tapeWaitReady(driveDescT* driveP, int maxWait)
{
    TRACE("Waiting for drive %s to become ready.\n", driveP->devName);
    for (int used = 0;; used += 5) {
        int h;
        if (ioOpenDevice(driveP->devName, 0, 1, &h) == 0) {
            int rc = TapeRewind(h);
            ioCloseDevice(h);
            if (rc == 0)
                return 0;
        }
        if (used + 5 >= maxWait)
            return 600;
        thrSleep(5);
    }
}

int tapeWriteLabel(int handle, uint32_t format, const char* volName)
{
    TRACE("Writing tape label; vol=%s.\n", volName);
    int rc = TapeRewind(handle);
    if (rc == 0)
        rc = TapeSetMode(handle, format, 0);
    if (rc != 0)
        return rc;
    unsigned char record[80];
    labBuildVol1(volName, record);
    unsigned done = 0;
    rc = TapeWrite(handle, record, sizeof record, &done);
    if (rc != 0)
        return rc;
    if (done != sizeof record)
        return 600;
    return TapeWriteEOF(handle, 2);
}

int tapeReadLabel(int handle, uint32_t format, char* volNameBuf)
{
    TRACE("Reading tape label.\n");
    int rc = TapeRewind(handle);
    if (rc == 0)
        rc = TapeSetMode(handle, format, 0);
    if (rc != 0)
        return rc;
    // Room for a longer block, so a long first block is seen as such.
    unsigned char record[256];
    unsigned got = 0;
    rc = TapeRead(handle, record, sizeof record, &got);
    if (rc != 0 || got != 80)
        return 600;
    if (!labParseVol1(record, got, volNameBuf)) {
        TRACE("VOL1 signature not found.\n");
        return 600;
    }
    return 0;
}

int gtsWriteLabel(driveDescT* driveP, const char* volName, int, uint32_t format)
{
    if (tapeWaitReady(driveP, 120) != 0) {
        outMsgf(9726, volName, driveP->devName);
        return 600;
    }
    int h;
    int rc = ioOpenDevice(driveP->devName, 1, 0, &h);
    if (rc != 0) {
        outMsgf(9726, volName, driveP->devName);
        return rc;
    }
    char existing[TAPE_VOLNAME_MAX + 1];
    if (!driveP->baseP->overwriteFlag && tapeReadLabel(h, format, existing) == 0) {
        TRACE("Can't overwrite volume %s on drive %s.\n", existing, driveP->devName);
        outMsgf(9725, driveP->devName, existing);
        rc = 601;
    } else {
        rc = tapeWriteLabel(h, format, volName);
        if (rc != 0)
            outMsgf(rc == 602 ? 9727 : 9726, volName, driveP->devName);
    }
    ioCloseDevice(h);
    return rc;
}

int tapeQueryMedia(driveDescT* driveP, uint32_t* devGroupP, uint32_t* wFormatsP, int* mediaTypeP)
{
    int h;
    int rc = ioOpenDevice(driveP->devName, 1, 0, &h);
    if (rc != 0)
        return rc;
    uint32_t r = 0;
    rc = tapeGetFormats(h, devGroupP, &r, wFormatsP);
    if (rc == 0)
        rc = tapeGetMediaType(h, mediaTypeP);
    ioCloseDevice(h);
    return rc;
}

int gtsWriteChosenFormat(driveDescT* driveP, const char* volName, int whichSide,
                         uint32_t (*chooseFormat)(uint32_t devGroup, uint32_t writeFormats, int mediaType))
{
    if (tapeWaitReady(driveP, 120) != 0)
        outMsgf(9726, volName, driveP->devName);
    uint32_t group = 0, w = 0;
    int m = 0;
    int rc = tapeQueryMedia(driveP, &group, &w, &m);
    if (rc != 0)
        return rc;
    uint32_t format = chooseFormat(group, w, m);
    if (format == DTS_NO_FORMAT) {
        outMsgf(9751, driveP->devName);
        return 255;
    }
    return gtsWriteLabel(driveP, volName, whichSide, format);
}

int gtsEject(driveDescT* driveP)
{
    int h;
    int rc = ioOpenDevice(driveP->devName, 0, 1, &h);
    if (rc != 0)
        return rc;
    rc = tapeEject(h);
    ioCloseDevice(h);
    return rc;
}
