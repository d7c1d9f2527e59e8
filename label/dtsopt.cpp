// Optical drives: one label sector per side.
#include <windows.h>
#include <string.h>
#include "dts.h"
#include "psdevio.h"
#include "console.h"
#include "utils.h"

#define TR_MODULE "dtsopt"

int optIdentify(const char* devName)
{
    int sub = 0;
    if (optGetDevType(devName, &sub) != 0)
        return 0;
    return sub == 2 || sub == 8 || sub == 11;
}

void optGetParameters(driveDescT* driveP, int* isTwoSidedP, int* maxVolNameLenP)
{
    int sub = 0;
    *isTwoSidedP = 1;
    if (optGetDevType(driveP->devName, &sub) == 0 && sub == 8)
        *isTwoSidedP = 0;
    *maxVolNameLenP = OPT_VOLNAME_MAX;
    TRACE("devType = %d, TwoSidedP = %d.\n", driveP->devType, *isTwoSidedP);
}

int optWriteLabel(driveDescT* driveP, const char* volName, int whichSide)
{
    int rc = optWaitReady(driveP);
    if (rc != 0) {
        outMsgf(9726, volName, driveP->devName);
        return rc;
    }
    int h;
    rc = ioOpenDevice(driveP->devName, 1, 0, &h);
    if (rc != 0) {
        outMsgf(9726, volName, driveP->devName);
        return rc;
    }
    unsigned char* sector = (unsigned char*)shmAlloc(OPT_SECTOR_SIZE);
    if (!sector) {
        ioCloseDevice(h);
        return 600;
    }
    if (whichSide == 0 && !driveP->baseP->overwriteFlag
        && optReadSectors(h, sector, 0, 1, OPT_SECTOR_SIZE) == 0) {
        char existing[OPT_VOLNAME_MAX + 1];
        if (labParseOpticalSector(sector, OPT_SECTOR_SIZE, existing)) {
            TRACE("Can't overwrite volume %s on drive %s.\n", existing, driveP->devName);
            outMsgf(9725, driveP->devName, existing);
            rc = 601;
        } else {
            TRACE("Bad/missing signature; vol=%s, drive=%s.\n", volName, driveP->devName);
        }
    }
    if (rc == 0 && driveP->baseP->formatFlag) {
        rc = optFormatMedia(h);
        if (rc != 0)
            outMsgf(9729, volName, driveP->devName);
    }
    if (rc == 0) {
        labBuildOpticalSector(volName, whichSide, sector);
        rc = optWriteSectors(h, sector, 0, 1, OPT_SECTOR_SIZE);
        if (rc != 0)
            outMsgf(rc == 602 ? 9727 : 9726, volName, driveP->devName);
    }
    shmFree(sector);
    ioCloseDevice(h);
    return rc;
}

int optEject(driveDescT* driveP)
{
    return optEjectCartridge(driveP);
}
