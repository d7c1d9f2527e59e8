// Manual type: the operator loads every volume by hand and names it.
#include <windows.h>
#include <ctype.h>
#include <string.h>
#include "lts.h"
#include "dts.h"
#include "console.h"

int manIdentify(const char*) { return 0; }
int manInitialize(baseDescS*) { return 0; }

int manPrepVolume(baseDescS* baseP, driveDescT* driveP, char* volNameBuf)
{
    int twoSided = 0, maxLen = 0;
    dtsGetParameters(driveP, &twoSided, &maxLen);
    mtxAcquire(baseP->libMutex);
    int rc = 0;
    if (baseP->terminate) {
        rc = 101;
    } else {
        for (;;) {
            if (outPromptf(volNameBuf, LTS_VOLNAME_SIZE, twoSided ? 9723 : 9722, driveP->devName,
                           maxLen) != 0 || !volNameBuf[0]) {
                rc = 101;
                break;
            }
            for (char* p = volNameBuf; *p; p++)
                *p = (char)toupper((unsigned char)*p);
            if (ltsNameIsValid(volNameBuf, maxLen))
                break;
            outMsgf(9721, volNameBuf);
        }
        if (rc == 101)
            baseP->terminate = 1;
    }
    mtxRelease(baseP->libMutex);
    return rc;
}

int manFlipVolume(baseDescS* baseP, driveDescT* driveP)
{
    mtxAcquire(baseP->libMutex);
    dtsEject(driveP);
    char reply[2];
    int rc = outPromptf(reply, sizeof reply, 9724, driveP->devName);
    mtxRelease(baseP->libMutex);
    return rc;
}

int manDismount(baseDescS* baseP, driveDescT* driveP, int)
{
    mtxAcquire(baseP->libMutex);
    int rc = dtsEject(driveP);
    if (rc != 0)
        outMsgf(9728, driveP->devName);
    mtxRelease(baseP->libMutex);
    return rc;
}
