// ECART tape drives (device group 14).
#include <windows.h>
#include "dts.h"
#include "dtsformat.h"
#include "console.h"

int ECartIdentify(const char* devName) { return gtsIdentify(devName, 14); }

int ECartWriteLabel(driveDescT* driveP, const char* volName, int whichSide)
{
    if (tapeWaitReady(driveP, 120) != 0)
        outMsgf(9726, volName, driveP->devName);
    uint32_t group = 0, w = 0;
    int m = 0;
    int rc = tapeQueryMedia(driveP, &group, &w, &m);
    if (rc != 0)
        return rc;
    uint32_t format = ecartChooseFormat(group, w, m);
    if (format == DTS_NO_FORMAT) {
        outMsgf(9751, driveP->devName);
        return 255;
    }
    return gtsWriteLabel(driveP, volName, whichSide, format);
}
