// Device types: identification, parameters, label writing and eject per
// kind of drive.
#pragma once
#include <stdint.h>
#include "labdesc.h"

struct dtsVectorElemT {
    int (*identify)(const char* devName);     // 1 this type, 0 not, 2 cannot open
    void (*getParameters)(driveDescT* driveP, int* isTwoSidedP, int* maxVolNameLenP);
    int (*writeLabel)(driveDescT* driveP, const char* volName, int whichSide);
    int (*eject)(driveDescT* driveP);
};

#define DTS_TYPE_COUNT 14
#define DTS_TYPE_TAPEAPI 9
#define DTS_TYPE_OPTICAL 2
extern const dtsVectorElemT dtsTable[DTS_TYPE_COUNT];

int  dtsFindDevType(const char* devName, int* devTypeP);   // 0, 600 or 603
void dtsGetParameters(driveDescT* driveP, int* isTwoSidedP, int* maxVolNameLenP);
int  dtsWriteLabel(driveDescT* driveP, const char* volName, int whichSide);
int  dtsEject(driveDescT* driveP);

// Generic tape types (gtsutils).
int  gtsIdentify(const char* devName, uint32_t devGroup);
void gtsGetParameters(driveDescT* driveP, int* isTwoSidedP, int* maxVolNameLenP);
int  gtsWriteLabel(driveDescT* driveP, const char* volName, int whichSide, uint32_t format);
// Waits for the drive, asks its media and writes the label in the format the
// chooser picks from device group, write formats and media type (QIC, ECART).
int  gtsWriteChosenFormat(driveDescT* driveP, const char* volName, int whichSide,
                          uint32_t (*chooseFormat)(uint32_t devGroup, uint32_t writeFormats, int mediaType));
int  gtsEject(driveDescT* driveP);
int  tapeGetFormats(int handle, uint32_t* devGroupP, uint32_t* rFormatsP, uint32_t* wFormatsP);
int  tapeGetMediaType(int handle, int* mediaTypeP);
int  tapeWaitReady(driveDescT* driveP, int maxWait);
int  tapeReadLabel(int handle, uint32_t format, char* volNameBuf);
int  tapeWriteLabel(int handle, uint32_t format, const char* volName);
// Opens the drive for reading and writing and reads its device information
// and medium type: 0 or the failing step's code.
int  tapeQueryMedia(driveDescT* driveP, uint32_t* devGroupP, uint32_t* wFormatsP, int* mediaTypeP);

// Type operations.
int emmIdentify(const char*);  int emmWriteLabel(driveDescT*, const char*, int);
int fmmIdentify(const char*);  int fmmWriteLabel(driveDescT*, const char*, int);
int QicIdentify(const char*);  int QicWriteLabel(driveDescT*, const char*, int);
int dltIdentify(const char*);  int dltWriteLabel(driveDescT*, const char*, int);
int dtfIdentify(const char*);  int dtfWriteLabel(driveDescT*, const char*, int);
int ECartIdentify(const char*); int ECartWriteLabel(driveDescT*, const char*, int);
int ntp8140Identify(const char*); int ntp8150Identify(const char*);
void ntpGetParameters(driveDescT*, int*, int*);
int ntpWriteLabel(driveDescT*, const char*, int); int ntpEject(driveDescT*);
int psTpIdentify(const char*); int psTpWriteLabel(driveDescT*, const char*, int);
int psTpEject(driveDescT*);
int optIdentify(const char*); void optGetParameters(driveDescT*, int*, int*);
int optWriteLabel(driveDescT*, const char*, int); int optEject(driveDescT*);
