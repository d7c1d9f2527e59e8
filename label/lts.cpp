// The switch over the library types, and the volume name prompt that the
// library-driven types share.
#include <windows.h>
#include <ctype.h>
#include <string.h>
#include "lts.h"
#include "console.h"

#define TR_MODULE "lts"

const ltsVectorElemT ltsTable[LTS_TYPE_COUNT] = {
    {manIdentify, manInitialize, manPrepVolume, manFlipVolume, manDismount},
    {scsiIdentify, scsiInitialize, scsiPrepVolume, scsiFlipVolume, scsiDismount},
    {flagIdentify, flagInitialize, flagPrepVolume, flagFlipVolume, flagDismount},
    {acslsIdentify, acslsInitialize, acslsPrepVolume, acslsFlipVolume, acslsDismount},
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

int ltsNameIsValid(const char* name, int maxLen)
{
    size_t n = strlen(name);
    if (n == 0 || n > (size_t)maxLen)
        return 0;
    for (size_t i = 0; i < n; i++)
        if (!isalnum((unsigned char)name[i]))
            return 0;
    return 1;
}

int ltsPromptVolume(baseDescS* baseP, int maxLen, char* volNameBuf)
{
    for (;;) {
        if (outPromptf(volNameBuf, LTS_VOLNAME_SIZE, 9735, maxLen, baseP->libDesc.devName) != 0 ||
            !volNameBuf[0])
            return 101;
        for (char* p = volNameBuf; *p; p++)
            *p = (char)toupper((unsigned char)*p);
        if (ltsNameIsValid(volNameBuf, maxLen))
            return 0;
        outMsgf(9721, volNameBuf);
    }
}
