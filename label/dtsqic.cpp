// QIC tape drives (device group 3).
#include <windows.h>
#include "dts.h"
#include "dtsformat.h"

int QicIdentify(const char* devName) { return gtsIdentify(devName, 3); }

int QicWriteLabel(driveDescT* driveP, const char* volName, int whichSide)
{
    return gtsWriteChosenFormat(driveP, volName, whichSide, qicChooseFormat);
}
