// 4mm tape drives (device group 2): always format 1.
#include "dts.h"

int fmmIdentify(const char* devName) { return gtsIdentify(devName, 2); }
int fmmWriteLabel(driveDescT* driveP, const char* volName, int whichSide)
{
    return gtsWriteLabel(driveP, volName, whichSide, 1);
}
