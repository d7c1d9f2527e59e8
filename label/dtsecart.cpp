// ECART tape drives (device group 14).
#include <windows.h>
#include "dts.h"
#include "dtsformat.h"

int ECartIdentify(const char* devName) { return gtsIdentify(devName, 14); }

int ECartWriteLabel(driveDescT* driveP, const char* volName, int whichSide)
{
    return gtsWriteChosenFormat(driveP, volName, whichSide, ecartChooseFormat);
}
