// 8140 and 8150 tape drives, told apart by their inquiry product.
#include <windows.h>
#include "dts.h"
#include "psdevio.h"
#include "console.h"
#include "utils.h"

#define TR_MODULE "dtsntp"

static int ntpIdentify(const char* devName, const char* model, const char* model2)
{
    int h;
    if (ioOpenDevice(devName, 0, 1, &h) != 0)
        return 2;
    TRACE("Getting device info for %s, handle=%d.\n", devName, h);
    int found = ntpOpGetModel(h, 0, model) || (model2 && ntpOpGetModel(h, 0, model2));
    ioCloseDevice(h);
    return found;
}

int ntp8140Identify(const char* devName) { return ntpIdentify(devName, "08140", nullptr); }
int ntp8150Identify(const char* devName) { return ntpIdentify(devName, "08150", "08155"); }

void ntpGetParameters(driveDescT* driveP, int* isTwoSidedP, int* maxVolNameLenP)
{
    gtsGetParameters(driveP, isTwoSidedP, maxVolNameLenP);
}

static int WaitUntilReady(driveDescT* driveP, int maxWait)
{
    return tapeWaitReady(driveP, maxWait);
}

int ntpWriteLabel(driveDescT* driveP, const char* volName, int)
{
    if (WaitUntilReady(driveP, 30) != 0) {
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
    // ReadLabel and WriteLabel: the drive mode is always format 0.
    if (!driveP->baseP->overwriteFlag && tapeReadLabel(h, 0, existing) == 0) {
        TRACE("Can't overwrite volume %s on drive %s.\n", existing, driveP->devName);
        outMsgf(9725, driveP->devName, existing);
        rc = 601;
    } else {
        rc = tapeWriteLabel(h, 0, volName);
        if (rc != 0)
            outMsgf(rc == 602 ? 9727 : 9726, volName, driveP->devName);
    }
    ioCloseDevice(h);
    return rc;
}

int ntpEject(driveDescT* driveP)
{
    int h;
    int rc = ioOpenDevice(driveP->devName, 0, 1, &h);
    if (rc != 0)
        return rc;
    rc = ntpOpOFFL(h);
    ioCloseDevice(h);
    return rc;
}
