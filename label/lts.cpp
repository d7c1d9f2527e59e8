// The switch over the library types. The library manager and ACSLS rows
// stay empty (they never identify a library) until those types exist.
#include <windows.h>
#include "lts.h"

#define TR_MODULE "lts"

const ltsVectorElemT ltsTable[LTS_TYPE_COUNT] = {
    {manIdentify, manInitialize, manPrepVolume, manFlipVolume, manDismount},
    {scsiIdentify, scsiInitialize, scsiPrepVolume, scsiFlipVolume, scsiDismount},
    {},
    {},
};

static const ltsVectorElemT* typeOf(const baseDescS* baseP)
{
    int t = baseP->libDesc.libType;
    return t >= 0 && t < LTS_TYPE_COUNT && ltsTable[t].initialize ? &ltsTable[t] : &ltsTable[0];
}

int ltsFindLibType(const char* name, int* libTypeP)
{
    for (int t = 0; t < LTS_TYPE_COUNT; t++)
        if (ltsTable[t].identify && ltsTable[t].identify(name) == 1) {
            *libTypeP = t;
            TRACE("Library type for %s is %d.\n", name, t);
            return 0;
        }
    return 500;
}

int ltsInitialize(baseDescS* baseP)
{
    TRACE("Initializing library.\n");
    return typeOf(baseP)->initialize(baseP);
}

int ltsPrepVolume(baseDescS* baseP, driveDescT* driveP, char* volNameBuf)
{
    return typeOf(baseP)->prepVolume(baseP, driveP, volNameBuf);
}

int ltsFlipVolume(baseDescS* baseP, driveDescT* driveP)
{
    TRACE("Flipping volume; drive=%s.\n", driveP->devName);
    return typeOf(baseP)->flipVolume(baseP, driveP);
}

int ltsDismount(baseDescS* baseP, driveDescT* driveP, int ioWorked)
{
    TRACE("Dismounting volume; drive=%s, worked=%d.\n", driveP->devName, ioWorked);
    return typeOf(baseP)->dismount(baseP, driveP, ioWorked);
}
