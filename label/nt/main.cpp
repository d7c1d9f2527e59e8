// kvtlabel entry: for now one manually loaded drive, labeled volume after
// volume as the operator names them.
//   kvtlabel -drive=DEVICE [-overwrite] [-format] [-trace=FILE]
#include <windows.h>
#include <stdio.h>
#include <string.h>
#include <ctype.h>
#include "label/console.h"
#include "label/dts.h"
#include "label/psbase.h"

#define TR_MODULE "main"

static int validName(const char* name, int maxLen)
{
    size_t n = strlen(name);
    if (n == 0 || n > (size_t)maxLen)
        return 0;
    for (size_t i = 0; i < n; i++)
        if (!isalnum((unsigned char)name[i]))
            return 0;
    return 1;
}

int main(int argc, char** argv)
{
    outInitialize();
    if (outSetLanguage("AMENG") != 0)
        return 401;
    static baseDescS base;
    driveDescT* drive = &base.driveTable[0];
    drive->baseP = &base;
    for (int i = 1; i < argc; i++) {
        const char* a = argv[i];
        if (_strnicmp(a, "-drive=", 7) == 0 && !base.driveCount) {
            if (!psCopy(drive->devName, sizeof drive->devName, a + 7)) {
                outMsgf(9711, a);
                return 102;
            }
            _strupr(drive->devName);
            base.driveCount = 1;
        } else if (_stricmp(a, "-overwrite") == 0) {
            base.overwriteFlag = 1;
        } else if (_stricmp(a, "-format") == 0) {
            base.formatFlag = 1;
        } else if (_strnicmp(a, "-trace=", 7) == 0) {
            if (trInit(a + 7) != 0)
                return 102;
        } else {
            outMsgf(9711, a);
            return 102;
        }
    }
    if (!base.driveCount) {
        outMsgf(9714);
        return 102;
    }
    int rc = dtsFindDevType(drive->devName, &drive->devType);
    if (rc != 0) {
        outMsgf(rc == 603 ? 9752 : 9718, drive->devName);
        return rc;
    }
    int twoSided = 0, maxLen = 0;
    dtsGetParameters(drive, &twoSided, &maxLen);
    for (;;) {
        char name[65];
        if (outPromptf(name, sizeof name, twoSided ? 9723 : 9722, drive->devName, maxLen) != 0
            || !name[0])
            break;
        if (!validName(name, maxLen)) {
            outMsgf(9721, name);
            continue;
        }
        _strupr(name);
        outMsgf(9743, name, drive->devName);
        int sides = twoSided ? 2 : 1, ok = 1;
        for (int side = 0; side < sides && ok; side++) {
            char reply[8];
            if (side == 1 && outPromptf(reply, sizeof reply, 9724, drive->devName) != 0) {
                ok = 0;
                break;
            }
            ok = dtsWriteLabel(drive, name, side) == 0;
        }
        if (ok)
            outMsgf(9720, name, drive->devName);
    }
    trEnd();
    return 0;
}
