// DTF tape drives (device group 11): always format 0.
#include "dts.h"

int dtfIdentify(const char* devName) { return gtsIdentify(devName, 11); }
int dtfWriteLabel(driveDescT* driveP, const char* volName, int whichSide)
{
    return gtsWriteLabel(driveP, volName, whichSide, 0);
}
