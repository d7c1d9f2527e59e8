// Tape drives through the system's tape interface (type 9).
#include <windows.h>
#include "dts.h"
#include "psdevio.h"
#include "psfuncs.h"
#include "console.h"
#include "utils.h"

#define TR_MODULE "pstapapi"

static HANDLE H(int handle) { return (HANDLE)(intptr_t)handle; }
static const psDevFuncsT* F(int handle) { return psFuncsOf(H(handle)); }

int psTpIdentify(const char* devName)
{
    TRACE("Identifying device %s .\n", devName);
    int h;
    if (ioOpenDevice(devName, 0, 1, &h) != 0) {
        TRACE("open for device %s failed.\n", devName);
        return 2;
    }
    TAPE_GET_DRIVE_PARAMETERS p = {};
    DWORD rc = 0;
    for (int attempt = 0; attempt < 5; attempt++) {
        DWORD size = sizeof p;
        rc = F(h)->getTapeParameters(H(h), GET_TAPE_DRIVE_INFORMATION, &size, &p);
        if (rc == NO_ERROR)
            break;
    }
    int answer = 0;
    if (rc != NO_ERROR) {
        TRACE("GetTapeParameters failed rc = %lu \n", rc);
    } else {
        const DWORD high = TAPE_DRIVE_FILEMARKS | TAPE_DRIVE_RELATIVE_BLKS | TAPE_DRIVE_REVERSE_POSITION;
        // The high flags carry a marker bit; compare without it.
        DWORD fh = p.FeaturesHigh & ~TAPE_DRIVE_HIGH_FEATURES;
        DWORD need = high & ~TAPE_DRIVE_HIGH_FEATURES;
        if ((p.FeaturesLow & TAPE_DRIVE_VARIABLE_BLOCK) && (fh & need) == need) {
            answer = 1;
        } else {
            TRACE("Device features 0x%08lX 0x%08lX insufficient for QORA.\n", p.FeaturesLow,
                  p.FeaturesHigh);
            if (!(p.FeaturesLow & TAPE_DRIVE_VARIABLE_BLOCK))
                TRACE("Drive cannot support variable block mode. \n");
            if (!(fh & (TAPE_DRIVE_FILEMARKS & ~TAPE_DRIVE_HIGH_FEATURES)))
                TRACE("Drive does not support filemark spacing. \n");
            if (!(fh & (TAPE_DRIVE_RELATIVE_BLKS & ~TAPE_DRIVE_HIGH_FEATURES)))
                TRACE("Drive does not support block spacing. \n");
            if (!(fh & (TAPE_DRIVE_REVERSE_POSITION & ~TAPE_DRIVE_HIGH_FEATURES)))
                TRACE("Drive does not support reverse spacing. \n");
        }
    }
    ioCloseDevice(h);
    return answer;
}

static int tapeAPIWaitReady(driveDescT* driveP, int maxWait)
{
    TRACE("Waiting for drive %s to become ready.\n", driveP->devName);
    for (int used = 0;; used += 5) {
        int h;
        if (ioOpenDevice(driveP->devName, 0, 1, &h) == 0) {
            DWORD rc = F(h)->setTapePosition(H(h), TAPE_REWIND, 0, 0, 0, FALSE);
            ioCloseDevice(h);
            if (rc == NO_ERROR)
                return 0;
        }
        if (used + 5 >= maxWait) {
            TRACE("Drive %s did not become ready.\n", driveP->devName);
            return 600;
        }
        thrSleep(5);
    }
}

static DWORD setVariableBlocks(int h)
{
    TAPE_SET_MEDIA_PARAMETERS mp = {};
    mp.BlockSize = 0;
    return F(h)->setTapeParameters(H(h), SET_TAPE_MEDIA_INFORMATION, &mp);
}

static int tapeAPIReadLabel(int h, char* volNameBuf)
{
    TRACE("Reading tape label.\n");
    DWORD rc = F(h)->setTapePosition(H(h), TAPE_REWIND, 0, 0, 0, FALSE);
    if (rc != NO_ERROR) {
        TRACE("Retrying error %lu during ReadLabel REWIND.\n", rc);
        F(h)->setTapePosition(H(h), TAPE_REWIND, 0, 0, 0, FALSE);
    }
    if (setVariableBlocks(h) != NO_ERROR && (rc = setVariableBlocks(h)) != NO_ERROR) {
        TRACE("Could not rewind tape to read label, rc was %lu.\n", rc);
        return 600;
    }
    unsigned char record[256];
    unsigned got = 0;
    if (ioReadDevice(h, record, sizeof record, &got) != 0) {
        TRACE("%s failed; rc=%lu\n", "READ", GetLastError());
        return 600;
    }
    if (got != 80)
        return 600;
    if (!labParseVol1(record, got, volNameBuf)) {
        TRACE("VOL1 signature not found.\n");
        return 600;
    }
    return 0;
}

static int tapeAPIWriteLabel(int h, const char* volName)
{
    TRACE("Writing tape label; vol=%s.\n", volName);
    if (F(h)->setTapePosition(H(h), TAPE_REWIND, 0, 0, 0, FALSE) != NO_ERROR) {
        TRACE("%s failed; rc=%lu\n", "REWIND", GetLastError());
        return 600;
    }
    unsigned char record[80];
    labBuildVol1(volName, record);
    unsigned done = 0;
    int rc = ioWriteDevice(h, record, sizeof record, &done);
    if (rc != 0) {
        TRACE("%s failed; rc=%lu\n", "WRITE", GetLastError());
        return rc;
    }
    if (done != sizeof record)
        return 600;
    DWORD mrc = F(h)->writeTapemark(H(h), TAPE_FILEMARKS, 2, FALSE);
    if (mrc == ERROR_INVALID_FUNCTION) {
        TRACE("Writing long filemarks; vol=%s.\n", volName);
        mrc = F(h)->writeTapemark(H(h), TAPE_LONG_FILEMARKS, 2, FALSE);
    }
    if (mrc != NO_ERROR) {
        TRACE("%s failed; rc=%lu\n", "WRITE FILEMARK", mrc);
        return 600;
    }
    return 0;
}

int psTpWriteLabel(driveDescT* driveP, const char* volName, int)
{
    if (tapeAPIWaitReady(driveP, 120) != 0) {
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
    if (!driveP->baseP->overwriteFlag && tapeAPIReadLabel(h, existing) == 0) {
        TRACE("Can't overwrite volume %s on drive %s.\n", existing, driveP->devName);
        outMsgf(9725, driveP->devName, existing);
        rc = 601;
    } else {
        DWORD src = setVariableBlocks(h);
        if (src != NO_ERROR) {
            TRACE("Retrying SetTapeParameters rc %lu in WriteLabel.\n", src);
            src = setVariableBlocks(h);
        }
        if (src != NO_ERROR) {
            outMsgf(9727, volName, driveP->devName);
            rc = 602;
        } else {
            rc = tapeAPIWriteLabel(h, volName);
            if (rc != 0)
                outMsgf(rc == 602 ? 9727 : 9726, volName, driveP->devName);
        }
    }
    ioCloseDevice(h);
    return rc;
}

int psTpEject(driveDescT* driveP)
{
    TRACE("Ejecting device %s .\n", driveP->devName);
    int h;
    int rc = ioOpenDevice(driveP->devName, 0, 1, &h);
    if (rc != 0)
        return rc;
    F(h)->prepareTape(H(h), TAPE_TENSION, FALSE);
    rc = (int)F(h)->prepareTape(H(h), TAPE_UNLOAD, FALSE);
    ioCloseDevice(h);
    return rc;
}
