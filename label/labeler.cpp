// The run: banner, language, command line, identification of the drives,
// and one worker per drive.
#include <windows.h>
#include <ctype.h>
#include <locale.h>
#include <stdio.h>
#include <string.h>
#include "labeler.h"
#include "lts.h"
#include "dts.h"
#include "console.h"
#include "psbase.h"

#define TR_MODULE "labeler"

static const char* platformNameP = "Windows NT";
static const char* labelVersionP = "Version 3, Release 1, Level 0.0";

static const argSpecT argSpecs[] = {
    {ARG_STRING, "drive=", 1}, {ARG_STRING, "library=", 2}, {ARG_STRING, "trace=", 3},
    {ARG_FLAG, "format", 4},   {ARG_FLAG, "overwrite", 5},  {ARG_FLAG, "search", 6},
    {ARG_FLAG, "keep", 7},     {ARG_FLAG, "help", 8},       {ARG_FLAG, "barcode", 9},
};
static const int argSpecCount = sizeof argSpecs / sizeof argSpecs[0];

static const char helpInfoP[] =
    "This program writes labels to storage volumes in preparation for using\n"
    "them with the QORA server.  It supports the following arguments:\n"
    "\n"
    "  -drive=DEVICE[,ELEMENT] Specifies a drive to use, or\n"
    "      or DEVICE,acsdrvid  specifies a 4 digit ACS drive id.\n"
    "  -library=DEVICE         Specifies a library device to use,\n"
    "       or  ACSLS,acsid    or specifies ACS id of a library device.\n"
    "  -trace=TRACEFILE        Enable tracing to the specified file.\n"
    "  -overwrite              Allows overwrite of an exiting label.\n"
    "  -search                 Search library for volumes to label.\n"
    "  -keep                   Keep labeled volumes in the library.\n"
    "  -format                 Format media if media supports it.\n"
    "  -barcode                use the barcode reader to select volumes.\n"
    "  -help                   Display this information.\n"
    "\n"
    "At most one library can be specified; if none is specified, you will\n"
    "be prompted to manually load volumes.\n"
    "\n"
    "At least one drive must be specified.  If the drive is in a SCSI\n"
    "library, the drive's element address must be provided as well.\n"
    "If the drive is in an ACS library, the 4 digit ACS drive id must be\n"
    "specified, i.e. 0,0,2,1.\n"
    "The maximum number of drives you can specify is %d.\n"
    "\n"
    "When the -search argument is used, the program searches for all usable\n"
    "volumes within the library and attempts to label them.  The -keep\n"
    "option is forced on in this case, so all volumes remain in the library.\n"
    "The -barcode option will cause the first six characters of the barcode \n"
    "to be used as the volume label.\n";

void ShowHelpInfo(void)
{
    outPrintf(helpInfoP, LAB_MAX_DRIVES);
}

static void upperCase(char* s)
{
    for (; *s; s++)
        *s = (char)toupper((unsigned char)*s);
}

int ProcessLibArg(baseDescS* baseP, const char* string)
{
    char name[LAB_NAME_SIZE];
    int type = 0;
    if (!psCopy(name, sizeof name, string)) {
        outMsgf(9716, string);
        return 500;
    }
    upperCase(name);
    if (ltsFindLibType(name, &type) != 0) {
        outMsgf(9716, name);
        return 500;
    }
    strcpy(baseP->libDesc.devName, name);
    baseP->libDesc.libType = type;
    return 0;
}

int ProcessDriveArg(baseDescS* baseP, const char* string)
{
    if (baseP->driveCount >= LAB_MAX_DRIVES) {
        outMsgf(9719);
        return 102;
    }
    char arg[256];
    if (!psCopy(arg, sizeof arg, string)) {
        outMsgf(9711, string);
        return 102;
    }
    upperCase(arg);
    char* comma = strchr(arg, ',');
    uint16_t element = 0;
    ltsAcsDrvId acs = {65535, 65535, 65535, 65535};
    if (comma) {
        *comma = '\0';
        const char* rest = comma + 1;
        unsigned long v[4];
        const char* p = rest;
        int count = 0;
        while (count < 4 && argReadUnsigned(p, 4294967295UL, &v[count], &p)) {
            count++;
            if (*p != ',')
                break;
            p++;
        }
        if (count == 4 && *p == '\0') {
            static const unsigned long limit[4] = {126, 23, 19, 3};
            for (int i = 0; i < 4; i++)
                if (v[i] > limit[i]) {
                    char id[64];
                    _snprintf(id, sizeof id, "%lu.%lu.%lu.%lu", v[0], v[1], v[2], v[3]);
                    id[sizeof id - 1] = '\0';
                    outMsgf(9757, id, arg);
                    return 102;
                }
            acs = {(int)v[0], (int)v[1], (int)v[2], (int)v[3]};
            element = 65535;
        } else {
            unsigned long e;
            if (!argReadUnsigned(rest, 65535, &e, nullptr)) {
                outMsgf(9717, rest, arg);
                return 102;
            }
            element = (uint16_t)e;
        }
    }
    if (strlen(arg) >= LAB_NAME_SIZE) {
        outMsgf(9711, string);
        return 102;
    }
    int type = 0;
    int rc = dtsFindDevType(arg, &type);
    if (rc == 600)
        outMsgf(9718, arg);
    else if (rc == 603)
        outMsgf(9752, arg);
    if (rc != 0)
        return rc;
    driveDescT* d = &baseP->driveTable[baseP->driveCount++];
    d->baseP = baseP;
    d->devType = type;
    d->element = element;
    d->acs_driveid = acs;
    strcpy(d->devName, arg);
    return 0;
}

int labInit(int argCount, char** argVector, baseDescS** basePP)
{
    // Unbuffered from the first line on, so that a program reading the
    // output sees each prompt when it is asked.
    outInitialize();
    printf("\nQORA for %s\nVolume Label Utility Program\n%s\n\n", platformNameP, labelVersionP);
    int rc = outSetLanguage("AMENG");
    if (rc != 0)
        return rc;
    shmInit();
    LabelOptions* opts = (LabelOptions*)shmAlloc(sizeof *opts);
    if (!opts) {
        outMsgf(9710);
        return 1;
    }
    psSetAnchor(0, opts);
    char optFile[1024];
    psGetOptFileName(optFile, sizeof optFile);
    ReadOptions(optFile, opts);
    if (strcmp(opts->language, "AMENG") != 0) {
        setlocale(LC_ALL, opts->language);
        rc = outSetLanguage(opts->language);
        if (rc != 0)
            return rc;
    }
    baseDescS* baseP = (baseDescS*)shmAlloc(sizeof *baseP);
    if (!baseP) {
        outMsgf(9710);
        return 103;
    }
    memset(baseP, 0, sizeof *baseP);
    mtxCreate(&baseP->libMutex);
    *basePP = baseP;
    rc = argCount <= 1 ? 100 : 0;
    int libraryGiven = 0;
    for (int i = 1; i < argCount && rc == 0; i++) {
        unsigned key = 0;
        argValueU value = {};
        int a = argNext('-', argVector[i], argSpecs, argSpecCount, &key, &value);
        if (a == 200) {
            if (i + 1 < argCount) {
                outMsgf(9711, argVector[i + 1]);
                rc = 102;
            }
            break;
        }
        if (a == 201) {
            outMsgf(9711, argVector[i]);
            rc = 102;
        } else if (a == 202) {
            outMsgf(9712, argVector[i]);
            rc = 102;
        } else if (key == 1) {
            rc = ProcessDriveArg(baseP, value.stringValueP);
        } else if (key == 2) {
            if (libraryGiven) {
                outMsgf(9713);
                rc = 102;
            } else {
                rc = ProcessLibArg(baseP, value.stringValueP);
                libraryGiven = rc == 0;
            }
        } else if (key == 3) {
            rc = trInit(value.stringValueP);
        } else if (key == 4) {
            baseP->formatFlag = 1;
        } else if (key == 5) {
            baseP->overwriteFlag = 1;
        } else if (key == 6) {
            baseP->searchFlag = 1;
        } else if (key == 7) {
            baseP->keepFlag = 1;
        } else if (key == 8) {
            rc = 100;
        } else if (key == 9) {
            baseP->barcodeFlag = 1;
        } else {
            outMsgf(9711, argVector[i]);
            rc = 102;
        }
    }
    if (rc == 100) {
        ShowHelpInfo();
        return 100;
    }
    if (rc != 0)
        return rc;
    if (baseP->driveCount == 0) {
        outMsgf(9714);
        return 102;
    }
    rc = ltsInitialize(baseP);
    if (rc == 106)
        outMsgf(9756);
    return rc;
}

static void WorkerThread(void* argP)
{
    driveDescT* driveP = (driveDescT*)argP;
    baseDescS* baseP = driveP->baseP;
    int twoSided = 0, maxLen = 0;
    dtsGetParameters(driveP, &twoSided, &maxLen);
    for (;;) {
        TRACE("Worker thread preparing new volume.\n");
        char volName[LTS_VOLNAME_SIZE];
        int rc = ltsPrepVolume(baseP, driveP, volName);
        if (rc == 101)
            break;
        if (rc != 0)
            continue;
        outMsgf(9743, volName, driveP->devName);
        int worked = dtsWriteLabel(driveP, volName, 0) == 0;
        if (worked && twoSided)
            worked = ltsFlipVolume(baseP, driveP) == 0 && dtsWriteLabel(driveP, volName, 1) == 0;
        if (worked)
            outMsgf(9720, volName, driveP->devName);
        if (ltsDismount(baseP, driveP, worked) != 0)
            break;
    }
    TRACE("Worker thread exiting.\n");
}

int labMain(baseDescS* baseP)
{
    mtxAcquire(baseP->libMutex);
    int started = 0, rc = 0;
    for (int i = 0; i < baseP->driveCount; i++) {
        driveDescT* d = &baseP->driveTable[i];
        rc = thrBegin(WorkerThread, d, &d->worker);
        if (rc != 0) {
            outMsgf(9715, d->devName);
            break;
        }
        started++;
    }
    baseP->terminate = rc != 0;
    mtxRelease(baseP->libMutex);
    for (int i = 0; i < started; i++)
        thrWait(baseP->driveTable[i].worker);
    trEnd();
    return rc;
}
