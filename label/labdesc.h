// The run description shared by every part of kvtlabel.
#pragma once
#include <stdint.h>
#include "psbase.h"

#define LAB_MAX_DRIVES 8
#define LAB_NAME_SIZE 65

struct baseDescS;

struct ltsAcsDrvId {
    int Acs_Id, Lsm_Id, Panel_Id, Drive_Id;
};

struct libDescT {
    char devName[LAB_NAME_SIZE];
    int libType;             // 0 manual, 1 SCSI, 2 library manager, 3 ACSLS
    int acs_id;
    void* ltsExtP;
};

struct driveDescT {
    baseDescS* baseP;
    psThreadT worker;
    char devName[LAB_NAME_SIZE];
    uint16_t element;
    ltsAcsDrvId acs_driveid;
    int devType;
    void* ltsExtP;
};

struct baseDescS {
    int terminate;
    libDescT libDesc;
    psMutexT libMutex;
    driveDescT driveTable[LAB_MAX_DRIVES];
    int driveCount;
    int formatFlag;
    int overwriteFlag;
    int searchFlag;
    int keepFlag;
    int barcodeFlag;
};
