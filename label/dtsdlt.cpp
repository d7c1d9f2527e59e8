// DLT tape drives (device group 4).
#include <windows.h>
#include "dts.h"
#include "dtsformat.h"
#include "console.h"

#define TR_MODULE "dtsdlt"

int dltIdentify(const char* devName) { return gtsIdentify(devName, 4); }

int dltWriteLabel(driveDescT* driveP, const char* volName, int whichSide)
{
    if (tapeWaitReady(driveP, 120) != 0) {
        outMsgf(9726, volName, driveP->devName);
        return 104;
    }
    uint32_t group = 0, w = 0;
    int m = 0;
    int rc = tapeQueryMedia(driveP, &group, &w, &m);
    if (rc != 0) {
        outMsgf(9726, volName, driveP->devName);
        return rc;
    }
    uint32_t format = dltChooseFormat(w, m);
    TRACE("Using DLT format 0x%lX\n", (unsigned long)format);
    return gtsWriteLabel(driveP, volName, whichSide, format);
}
