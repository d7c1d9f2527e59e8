// 8120 libraries: the library manager mounts and demounts; volumes arrive
// in the insert category and leave through the eject category.
#include <windows.h>
#include <string.h>
#include "lts.h"
#include "dts.h"
#include "psdevio.h"
#include "console.h"
#include "lmcpapi.h"

#define TR_MODULE "ltsflag"

struct flagInvItemS {
    flagInvItemS* prev;
    flagInvItemS* next;
    int devType;             // 6 for 8140 media, otherwise 1
    char volName[7];
    int processed;
};
struct flagInvListT { flagInvItemS* head; flagInvItemS* tail; };
struct flagConfigDescT { flagInvListT insertList; };
struct flagDriveExtT {
    int devNo;
    char volName[7];         // mounted by this run; empty when none
};
struct flagSenseHdrT { unsigned char byte0, byte1, byte2, eraCode; };

static flagConfigDescT* cfgOf(baseDescS* baseP) { return (flagConfigDescT*)baseP->libDesc.ltsExtP; }
static flagDriveExtT* extOf(driveDescT* d) { return (flagDriveExtT*)d->ltsExtP; }

static unsigned long bigEndian(const unsigned char* p, int n)
{
    unsigned long v = 0;
    for (int i = 0; i < n; i++)
        v = v << 8 | p[i];
    return v;
}

static void setVolser(char* volser, const char* name)
{
    memset(volser, ' ', LMCP_VOLSER_SIZE);
    size_t n = name ? strlen(name) : 0;
    memcpy(volser, name, n < LMCP_VOLSER_SIZE ? n : LMCP_VOLSER_SIZE);
}

static int isOperatorAction(int era)
{
    return era == LMCP_ERA_INTERVENTION_A || era == LMCP_ERA_INTERVENTION_B ||
           era == LMCP_ERA_INTERVENTION_C || era == LMCP_ERA_INTERVENTION_D;
}

static int ExecuteLibOp(baseDescS* baseP, int handle, uint32_t function, void* parms, unsigned parmsLen,
                        int waitFlag, const int* senseCountP, const unsigned char* senseBufP)
{
    for (int waits = 0;; ) {
        TRACE("Issuing library IOCTL; func=0x%.8lX.\n", (unsigned long)function);
        if (LmcpIoctl(handle, function, parms, parmsLen) == 0)
            return 0;
        if (*senseCountP < 4) {
            TRACE("Library IOCTL failed; func=%d.\n", (int)function);
            return 500;
        }
        int era = ((const flagSenseHdrT*)senseBufP)->eraCode;
        TRACE("Library IOCTL failed; func=%d, era=%d.\n", (int)function, era);
        if (!isOperatorAction(era) || !waitFlag || waits >= 20)
            return 500;
        if (waits++ == 0)
            outMsgf(9730, baseP->libDesc.devName);
        thrSleep(15);
    }
}

// One request on its own connection to the library manager.
static int LibRequest(baseDescS* baseP, uint32_t function, void* parms, unsigned parmsLen, int waitFlag,
                      const int* senseCountP, const unsigned char* senseBufP)
{
    int h;
    if (LmcpOpen(baseP->libDesc.devName, 0, 0, &h) != 0)
        return 500;
    int rc = ExecuteLibOp(baseP, h, function, parms, parmsLen, waitFlag, senseCountP, senseBufP);
    LmcpClose(h);
    return rc;
}

static int LibDismount(baseDescS* baseP, driveDescT* driveP)
{
    TRACE("Dismounting volume from drive %s.\n", driveP->devName);
    mtldarg a = {};
    a.device = extOf(driveP)->devNo;
    a.wait_flg = 1;
    setVolser(a.volser, "");
    int rc = LibRequest(baseP, LMCP_DEMOUNT, &a, sizeof a, 1, &a.mtldret.number_sense, a.mtldret.sense_bytes);
    if (rc != 0 && a.mtldret.cc >= LMCP_CC_ALREADY_DONE && a.mtldret.cc <= LMCP_CC_DRIVE_OCCUPIED)
        rc = 0;
    return rc;
}

static int LibMount(baseDescS* baseP, driveDescT* driveP, const char* volName, uint16_t srcCategory)
{
    TRACE("Mounting volume %s (cat %d) in drive %s.\n", volName, srcCategory, driveP->devName);
    mtlmarg a = {};
    a.device = extOf(driveP)->devNo;
    a.wait_flg = 1;
    a.source_cat = srcCategory;
    setVolser(a.volser, volName);
    int rc = LibRequest(baseP, LMCP_MOUNT, &a, sizeof a, 1, &a.mtlmret.number_sense, a.mtlmret.sense_bytes);
    if (rc != 0 && (a.mtlmret.cc == LMCP_CC_ALREADY_DONE || a.mtlmret.cc == LMCP_CC_DONE_WARNING))
        rc = 0;
    else if (rc != 0 && a.mtlmret.cc == LMCP_CC_DRIVE_OCCUPIED) {
        dtsEject(driveP);
        LibDismount(baseP, driveP);
    }
    return rc;
}

static int LibSetVolCat(baseDescS* baseP, const char* volName, uint16_t oldCat, uint16_t newCat)
{
    TRACE("Setting category; vol=%s, old=%.4X, new=%.4X.\n", volName, oldCat, newCat);
    mtlsvcarg a = {};
    a.wait_flg = 1;
    a.target_cat = newCat;
    a.source_cat = oldCat;
    setVolser(a.volser, volName);
    return LibRequest(baseP, LMCP_SET_CATEGORY, &a, sizeof a, 1, &a.mtlsvcret.number_sense,
                      a.mtlsvcret.sense_bytes);
}

static int LibQueryVolData(baseDescS* baseP, const char* volName, int* categoryP)
{
    TRACE("Querying volume data for %s.\n", volName);
    mtlqarg q = {};
    q.sub_cmd = LMCP_QUERY_VOLUME_DATA;
    setVolser(q.volser, volName);
    int rc = LibRequest(baseP, LMCP_QUERY, &q, sizeof q, 0, &q.mtlqret.number_sense, q.mtlqret.sense_bytes);
    if (rc == 0) {
        *categoryP = (int)bigEndian(((const lmcpVolumeData*)q.mtlqret.info.data)->category, 2);
        TRACE("Volume %s is in category %d.\n", volName, *categoryP);
    }
    return rc;
}

static void freeInvList(flagInvListT* listP)
{
    while (flagInvItemS* item = listP->head) {
        listP->head = item->next;
        shmFree(item);
    }
    listP->tail = nullptr;
}

static int BuildInvList(baseDescS* baseP, uint16_t category, flagInvListT* listP)
{
    TRACE("Building inventory list; lib=%s, cat=%d.\n", baseP->libDesc.devName, category);
    int seq = 0;
    unsigned long walked = 0;
    for (;;) {
        TRACE("Querying inventory; cat=%d, seq=%d.\n", category, seq);
        mtlqarg q = {};
        q.sub_cmd = LMCP_QUERY_INVENTORY;
        q.source_cat = category;
        q.cat_seqno = seq;
        if (LibRequest(baseP, LMCP_QUERY, &q, sizeof q, 0, &q.mtlqret.number_sense, q.mtlqret.sense_bytes) != 0) {
            freeInvList(listP);
            return 500;
        }
        const lmcpInventoryData* inv = (const lmcpInventoryData*)q.mtlqret.info.data;
        unsigned long volumes = bigEndian(inv->no_vols, 4);
        for (int i = 0; i < LMCP_INVENTORY_RECORDS; i++, walked++) {
            const lmcpInvRecord& r = inv->inv_rec[i];
            if (r.volser[0] == ' ' || r.volser[0] == '\0' || walked >= volumes)
                return 0;
            if (r.attr[0] != 0)
                continue;
            flagInvItemS* item = (flagInvItemS*)shmAlloc(sizeof *item);
            if (!item) {
                freeInvList(listP);
                return 501;
            }
            memset(item, 0, sizeof *item);
            for (int k = 0; k < 6 && r.volser[k] != ' ' && r.volser[k] != '\0'; k++)
                item->volName[k] = r.volser[k];
            item->devType = ((r.attr[1] >> 4) & 3) == 1 ? 6 : 1;
            item->prev = listP->tail;
            if (listP->tail)
                listP->tail->next = item;
            else
                listP->head = item;
            listP->tail = item;
            TRACE("Added volume %s to inventory list.\n", item->volName);
        }
        // A continuation number that does not move on would page for ever.
        int next = (int)bigEndian(inv->cat_seqno, 4);
        if (next == seq || walked >= volumes)
            return 0;
        seq = next;
    }
}

static int FindNextInsertVolume(flagConfigDescT* c, int devType, char* nameBuf)
{
    for (flagInvItemS* item = c->insertList.head; item; item = item->next)
        if (!item->processed && item->devType == devType) {
            item->processed = 1;
            strcpy(nameBuf, item->volName);
            TRACE("Next volume in insert category is %s.\n", nameBuf);
            return 0;
        }
    return 101;
}

int flagIdentify(const char* name)
{
    int h;
    if (LmcpOpen(name, 0, 0, &h) != 0)
        return 0;
    TRACE("Querying library data for %s.\n", name);
    mtlqarg q = {};
    q.sub_cmd = LMCP_QUERY_LIBRARY_DATA;
    int rc = LmcpIoctl(h, LMCP_QUERY, &q, sizeof q);
    LmcpClose(h);
    return rc == 0;
}

static void freeConfig(baseDescS* baseP)
{
    for (int i = 0; i < baseP->driveCount; i++) {
        shmFree(baseP->driveTable[i].ltsExtP);
        baseP->driveTable[i].ltsExtP = nullptr;
    }
    if (flagConfigDescT* c = cfgOf(baseP)) {
        freeInvList(&c->insertList);
        shmFree(c);
    }
    baseP->libDesc.ltsExtP = nullptr;
}

static int initialize(baseDescS* baseP)
{
    outMsgf(9739, baseP->libDesc.devName);
    flagConfigDescT* c = (flagConfigDescT*)shmAlloc(sizeof *c);
    if (!c)
        return 501;
    memset(c, 0, sizeof *c);
    baseP->libDesc.ltsExtP = c;
    for (int i = 0; i < baseP->driveCount; i++) {
        int devNo = 0;
        if (cartGetDevNo(&baseP->driveTable[i], &devNo) != 0)
            return 600;
        flagDriveExtT* e = (flagDriveExtT*)shmAlloc(sizeof *e);
        if (!e)
            return 501;
        memset(e, 0, sizeof *e);
        e->devNo = devNo;
        baseP->driveTable[i].ltsExtP = e;
    }
    for (int i = 0; i < baseP->driveCount; i++) {
        dtsEject(&baseP->driveTable[i]);
        LibDismount(baseP, &baseP->driveTable[i]);
    }
    if (!baseP->searchFlag)
        return 0;
    int rc = BuildInvList(baseP, LMCP_INSERT_CATEGORY, &c->insertList);
    if (rc != 0)
        return rc;
    for (flagInvItemS* item = c->insertList.head; item; item = item->next)
        for (int i = 0; i < baseP->driveCount; i++)
            if (item->devType == baseP->driveTable[i].devType)
                return 0;
    return 106;
}

int flagInitialize(baseDescS* baseP)
{
    int rc = initialize(baseP);
    if (rc != 0)
        freeConfig(baseP);
    return rc;
}

int flagPrepVolume(baseDescS* baseP, driveDescT* driveP, char* volNameBuf)
{
    int twoSided = 0, maxLen = 0;
    dtsGetParameters(driveP, &twoSided, &maxLen);
    mtxAcquire(baseP->libMutex);
    int rc = 0;
    if (baseP->terminate) {
        rc = 101;
    } else if (baseP->searchFlag) {
        // Only this drive type runs out: other workers may still have volumes.
        rc = FindNextInsertVolume(cfgOf(baseP), driveP->devType, volNameBuf);
    } else {
        for (;;) {
            rc = ltsPromptVolume(baseP, maxLen, volNameBuf);
            if (rc != 0)
                break;
            int category = 0;
            if (LibQueryVolData(baseP, volNameBuf, &category) != 0)
                outMsgf(9744, volNameBuf, baseP->libDesc.devName);
            else if (category != LMCP_INSERT_CATEGORY)
                outMsgf(9740, volNameBuf);
            else
                break;
        }
        if (rc == 101)
            baseP->terminate = 1;
    }
    if (rc == 0) {
        rc = LibMount(baseP, driveP, volNameBuf, LMCP_INSERT_CATEGORY);
        if (rc != 0)
            outMsgf(9736, baseP->libDesc.devName);
        else
            strcpy(extOf(driveP)->volName, volNameBuf);
    }
    mtxRelease(baseP->libMutex);
    return rc;
}

int flagFlipVolume(baseDescS*, driveDescT*) { return 500; }

int flagDismount(baseDescS* baseP, driveDescT* driveP, int ioWorked)
{
    flagDriveExtT* e = extOf(driveP);
    dtsEject(driveP);
    mtxAcquire(baseP->libMutex);
    int rc = LibDismount(baseP, driveP);
    if (rc != 0)
        outMsgf(9736, baseP->libDesc.devName);
    if (!baseP->searchFlag && !(baseP->keepFlag && ioWorked))
        LibSetVolCat(baseP, e->volName, LMCP_INSERT_CATEGORY, LMCP_EJECT_CATEGORY);
    e->volName[0] = '\0';
    mtxRelease(baseP->libMutex);
    return rc;
}
