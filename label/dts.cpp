// The table of device types and identification of a drive.
#include <windows.h>
#include "dts.h"

#define TR_MODULE "dts"

const dtsVectorElemT dtsTable[DTS_TYPE_COUNT] = {
    {emmIdentify, gtsGetParameters, emmWriteLabel, gtsEject},
    {},
    {optIdentify, optGetParameters, optWriteLabel, optEject},
    {},
    {fmmIdentify, gtsGetParameters, fmmWriteLabel, gtsEject},
    {QicIdentify, gtsGetParameters, QicWriteLabel, gtsEject},
    {ntp8140Identify, ntpGetParameters, ntpWriteLabel, ntpEject},
    {dltIdentify, gtsGetParameters, dltWriteLabel, gtsEject},
    {},
    {psTpIdentify, gtsGetParameters, psTpWriteLabel, psTpEject},
    {dtfIdentify, gtsGetParameters, dtfWriteLabel, gtsEject},
    {},
    {ntp8150Identify, ntpGetParameters, ntpWriteLabel, ntpEject},
    {ECartIdentify, gtsGetParameters, ECartWriteLabel, gtsEject},
};

int dtsFindDevType(const char* devName, int* devTypeP)
{
    TRACE("Trying to identify device %s.\n", devName);
    int type = DTS_TYPE_TAPEAPI;
    int answer = dtsTable[type].identify(devName);
    for (int i = 0; answer == 0 && i < DTS_TYPE_COUNT; i++) {
        if (!dtsTable[i].identify)
            continue;
        type = i;
        answer = dtsTable[i].identify(devName);
    }
    if (answer == 1) {
        *devTypeP = type;
        TRACE("Device %s identified: type %d.\n", devName, type);
        return 0;
    }
    if (answer == 2) {
        TRACE("Device %s could not be opened.\n", devName);
        return 603;
    }
    TRACE("Device %s was not identified.\n", devName);
    return 600;
}

static const dtsVectorElemT* typeOf(const driveDescT* driveP)
{
    int t = driveP->devType;
    return t >= 0 && t < DTS_TYPE_COUNT && dtsTable[t].writeLabel ? &dtsTable[t] : nullptr;
}

void dtsGetParameters(driveDescT* driveP, int* isTwoSidedP, int* maxVolNameLenP)
{
    const dtsVectorElemT* t = typeOf(driveP);
    if (t) {
        t->getParameters(driveP, isTwoSidedP, maxVolNameLenP);
    } else {
        *isTwoSidedP = 0;
        *maxVolNameLenP = 0;
    }
}

int dtsWriteLabel(driveDescT* driveP, const char* volName, int whichSide)
{
    const dtsVectorElemT* t = typeOf(driveP);
    return t ? t->writeLabel(driveP, volName, whichSide) : 600;
}

int dtsEject(driveDescT* driveP)
{
    const dtsVectorElemT* t = typeOf(driveP);
    return t ? t->eject(driveP) : 600;
}
