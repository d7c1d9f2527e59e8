// Library types: how a volume reaches a drive and leaves it again.
#pragma once
#include "labdesc.h"

#define LTS_VOLNAME_SIZE 251

struct ltsVectorElemT {
    int (*identify)(const char* name);
    int (*initialize)(baseDescS* baseP);
    int (*prepVolume)(baseDescS* baseP, driveDescT* driveP, char* volNameBuf);
    int (*flipVolume)(baseDescS* baseP, driveDescT* driveP);
    int (*dismount)(baseDescS* baseP, driveDescT* driveP, int ioWorked);
};

#define LTS_TYPE_COUNT 4
extern const ltsVectorElemT ltsTable[LTS_TYPE_COUNT];

int ltsFindLibType(const char* name, int* libTypeP);
int ltsInitialize(baseDescS* baseP);
int ltsPrepVolume(baseDescS* baseP, driveDescT* driveP, char* volNameBuf);
int ltsFlipVolume(baseDescS* baseP, driveDescT* driveP);
int ltsDismount(baseDescS* baseP, driveDescT* driveP, int ioWorked);

int manIdentify(const char*);
int manInitialize(baseDescS*);
int manPrepVolume(baseDescS*, driveDescT*, char*);
int manFlipVolume(baseDescS*, driveDescT*);
int manDismount(baseDescS*, driveDescT*, int);

int scsiIdentify(const char*);
int scsiInitialize(baseDescS*);
int scsiPrepVolume(baseDescS*, driveDescT*, char*);
int scsiFlipVolume(baseDescS*, driveDescT*);
int scsiDismount(baseDescS*, driveDescT*, int);

int flagIdentify(const char*);
int flagInitialize(baseDescS*);
int flagPrepVolume(baseDescS*, driveDescT*, char*);
int flagFlipVolume(baseDescS*, driveDescT*);
int flagDismount(baseDescS*, driveDescT*, int);

int acslsIdentify(const char*);
int acslsInitialize(baseDescS*);
int acslsPrepVolume(baseDescS*, driveDescT*, char*);
int acslsFlipVolume(baseDescS*, driveDescT*);
int acslsDismount(baseDescS*, driveDescT*, int);

// Letters and digits only, 1 to maxLen characters.
int ltsNameIsValid(const char* name, int maxLen);
// Prompt 9735 until a valid name is typed (upper-cased into the buffer of
// LTS_VOLNAME_SIZE bytes): 0, or 101 at end of input or an empty reply.
int ltsPromptVolume(baseDescS* baseP, int maxLen, char* volNameBuf);
