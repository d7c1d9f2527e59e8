// ACSLS libraries: requests to the ACSLS server, each answered
// asynchronously and collected with acs_response.
#include <windows.h>
#include <ctype.h>
#include <stdlib.h>
#include <string.h>
#include "lts.h"
#include "dts.h"
#include "console.h"
#include "acsapi.h"

#define TR_MODULE "ltsacsls"

struct acslsInvItemS {
    acslsInvItemS* prev;
    acslsInvItemS* next;
    short count;
    short process_index;
    QU_VOL_STATUS vol_status[ACS_MAX_IDS];
};
struct acslsInvListT { acslsInvItemS* head; acslsInvItemS* tail; int total_count; };
struct acslsConfigDescT {
    acslsInvListT insertList;
    unsigned short seq_no;
    int acs_rc;
    int respType;
    unsigned short req_id;
    char AcsResponse[ACS_RESPONSE_SIZE];
};
struct acslsDriveExtT {
    ltsAcsDrvId devNo;
    char volName[7];         // the volume in the drive; empty when none
};

static acslsConfigDescT* cfgOf(baseDescS* baseP) { return (acslsConfigDescT*)baseP->libDesc.ltsExtP; }
static acslsDriveExtT* extOf(driveDescT* d) { return (acslsDriveExtT*)d->ltsExtP; }

static VOLID volIdOf(const char* name)
{
    VOLID v = {};
    size_t n = strlen(name);
    memcpy(v.external_label, name, n < ACS_EXTERNAL_LABEL_SIZE ? n : ACS_EXTERNAL_LABEL_SIZE);
    return v;
}

static DRIVEID driveIdOf(const ltsAcsDrvId& id) { return DRIVEID{id.Acs_Id, id.Lsm_Id, id.Panel_Id, id.Drive_Id}; }

// "ACSLS,n" with nothing after the number.
static int acsNumberOf(const char* name, long* acsP)
{
    char upper[LAB_NAME_SIZE];
    size_t i = 0;
    for (; name[i] && i + 1 < sizeof upper; i++)
        upper[i] = (char)toupper((unsigned char)name[i]);
    upper[i] = '\0';
    if (strncmp(upper, "ACSLS,", 6) != 0)
        return 0;
    const char* digits = upper + 6;
    char* end = nullptr;
    long n = strtol(digits, &end, 10);
    if (end == digits || *end || !(isdigit((unsigned char)*digits) || *digits == '-'))
        return 0;
    *acsP = n;
    return 1;
}

static STATUS Acsls_Wait_Response(acslsConfigDescT* c)
{
    SEQ_NO seq = 0;
    REQ_ID reqId = 0;
    ACS_RESPONSE_TYPE type = RT_ACKNOWLEDGE;
    STATUS st = acs_response(-1, &seq, &reqId, &type, c->AcsResponse);
    c->acs_rc = st;
    c->respType = st == STATUS_SUCCESS ? (int)type : 0;
    c->req_id = reqId;
    if (st != STATUS_SUCCESS)
        outMsgf(9759, acs_status(st));
    TRACE("(%d)acs_response, status=%s, req_id=%d, resp_type=%d.\n", (int)seq, acs_status(st), (int)reqId,
          c->respType);
    return st;
}

// Waits for the final response (or, for a batch, an intermediate one) of a
// request whose call status was `callStatus`. Any failing status ends the
// wait: a final response that will not come must not be waited for.
static STATUS waitFor(acslsConfigDescT* c, STATUS callStatus, int batch)
{
    c->acs_rc = callStatus;
    c->respType = 0;
    if (callStatus != STATUS_SUCCESS) {
        outMsgf(9759, acs_status(callStatus));
        return callStatus;
    }
    for (;;) {
        STATUS st = Acsls_Wait_Response(c);
        if (st != STATUS_SUCCESS)
            return st;
        if (c->respType == RT_FINAL || (batch && c->respType == RT_INTERMEDIATE))
            return STATUS_SUCCESS;
    }
}

static SEQ_NO nextSeq(acslsConfigDescT* c) { return c->seq_no++; }

int acslsIdentify(const char* name)
{
    long n;
    if (!acsNumberOf(name, &n))
        return 0;
    if (n < 0 || n > 126) {
        TRACE("Invalid ACS id %ld.\n", n);
        return 0;
    }
    return 1;
}

static int AcsValidateLib(baseDescS* baseP)
{
    acslsConfigDescT* c = cfgOf(baseP);
    long n;
    if (!acsNumberOf(baseP->libDesc.devName, &n)) {
        TRACE("Query_acs, invalid id.\n");
        return 500;
    }
    baseP->libDesc.acs_id = (int)n;
    TRACE("Query_acs %d.\n", baseP->libDesc.acs_id);
    ACS acs = baseP->libDesc.acs_id;
    SEQ_NO seq = nextSeq(c);
    STATUS st = waitFor(c, acs_query_acs(seq, &acs, 1), 0);
    const ACS_QUERY_ACS_RESPONSE* r = (const ACS_QUERY_ACS_RESPONSE*)c->AcsResponse;
    int valid = st == STATUS_SUCCESS && r->query_acs_status == STATUS_SUCCESS && r->count >= 1 &&
                r->acs_status[0].status == STATUS_SUCCESS;
    TRACE("(%d)acs_query_acs %d, status=%s, state=%s.\n", (int)seq, acs, acs_status(st == STATUS_SUCCESS ?
          r->query_acs_status : st), valid ? acs_state(r->acs_status[0].state) : "");
    return valid ? 0 : 500;
}

static int AcsValidateDrive(baseDescS* baseP, driveDescT* driveP)
{
    acslsConfigDescT* c = cfgOf(baseP);
    const ltsAcsDrvId& id = driveP->acs_driveid;
    TRACE("Query_drive %s, %d.%d.%d.%d.\n", driveP->devName, id.Acs_Id, id.Lsm_Id, id.Panel_Id, id.Drive_Id);
    if (id.Acs_Id != baseP->libDesc.acs_id) {
        char text[64];
        _snprintf(text, sizeof text, "%d.%d.%d.%d", id.Acs_Id, id.Lsm_Id, id.Panel_Id, id.Drive_Id);
        text[sizeof text - 1] = '\0';
        outMsgf(9757, text, driveP->devName);
        return 600;
    }
    DRIVEID d = driveIdOf(id);
    SEQ_NO seq = nextSeq(c);
    STATUS st = waitFor(c, acs_query_drive(seq, &d, 1), 0);
    const ACS_QUERY_DRV_RESPONSE* r = (const ACS_QUERY_DRV_RESPONSE*)c->AcsResponse;
    if (st != STATUS_SUCCESS || r->query_drv_status != STATUS_SUCCESS || r->count != 1 ||
        r->drv_status[0].status != STATUS_DRIVE_AVAILABLE) {
        TRACE("(%d)acs_query_drive(%d.%d.%d.%d)  qdrv_st=%s.\n", (int)seq, d.acs, d.lsm, d.panel, d.drive,
              acs_status(st == STATUS_SUCCESS ? r->query_drv_status : st));
        return 600;
    }
    const QU_DRV_STATUS& s = r->drv_status[0];
    acslsDriveExtT* e = extOf(driveP);
    e->devNo = id;
    memcpy(e->volName, s.vol_id.external_label, ACS_EXTERNAL_LABEL_SIZE);
    e->volName[ACS_EXTERNAL_LABEL_SIZE] = '\0';
    TRACE("(%d)acs_query_drive(%d.%d.%d.%d)  qdrv_st=%s, drv_st=%s sta=%s, vol=%s, drvtyp=%d.\n", (int)seq,
          s.drive_id.acs, s.drive_id.lsm, s.drive_id.panel, s.drive_id.drive, acs_status(r->query_drv_status),
          acs_status(s.status), acs_state(s.state), e->volName, s.drive_type);
    return 0;
}

// Under libMutex or during initialisation.
static int AcsDismount(baseDescS* baseP, driveDescT* driveP)
{
    acslsConfigDescT* c = cfgOf(baseP);
    acslsDriveExtT* e = extOf(driveP);
    TRACE("Dismounting volume %s from drive %s.\n", e->volName, driveP->devName);
    SEQ_NO seq = nextSeq(c);
    STATUS st = waitFor(c, acs_dismount(seq, 0, volIdOf(e->volName), driveIdOf(e->devNo), 1), 0);
    const ACS_DISMOUNT_RESPONSE* r = (const ACS_DISMOUNT_RESPONSE*)c->AcsResponse;
    STATUS ds = st == STATUS_SUCCESS ? r->dismount_status : st;
    TRACE("(%d)acs_dismount %s, dismount_status=%s.\n", (int)seq, e->volName, acs_status(ds));
    return ds == STATUS_SUCCESS ? 0 : 500;
}

static void freeConfig(baseDescS* baseP)
{
    for (int i = 0; i < baseP->driveCount; i++) {
        shmFree(baseP->driveTable[i].ltsExtP);
        baseP->driveTable[i].ltsExtP = nullptr;
    }
    if (acslsConfigDescT* c = cfgOf(baseP)) {
        while (acslsInvItemS* item = c->insertList.head) {
            c->insertList.head = item->next;
            shmFree(item);
        }
        shmFree(c);
    }
    baseP->libDesc.ltsExtP = nullptr;
}

static int BuildInvList(baseDescS* baseP)
{
    acslsConfigDescT* c = cfgOf(baseP);
    acslsInvListT* list = &c->insertList;
    TRACE("Building inventory list; lib=%s.\n", baseP->libDesc.devName);
    VOLID none[1] = {};
    SEQ_NO seq = nextSeq(c);
    STATUS call = acs_query_volume(seq, none, 0);
    for (int first = 1;; first = 0) {
        TRACE("Query volume, firstcall=%d.\n", first);
        STATUS st = first ? waitFor(c, call, 1) : waitFor(c, STATUS_SUCCESS, 1);
        const ACS_QUERY_VOL_RESPONSE* r = (const ACS_QUERY_VOL_RESPONSE*)c->AcsResponse;
        STATUS qs = st == STATUS_SUCCESS ? r->query_vol_status : st;
        int count = st == STATUS_SUCCESS ? (r->count < ACS_MAX_IDS ? r->count : ACS_MAX_IDS) : 0;
        TRACE("(%d)acs_query_vol, status=%s, count=%d.\n", (int)seq, acs_status(qs), count);
        if (qs != STATUS_SUCCESS)
            return 500;
        if (count > 0) {
            acslsInvItemS* item = (acslsInvItemS*)shmAlloc(sizeof *item);
            if (!item)
                return 501;
            memset(item, 0, sizeof *item);
            item->count = (short)count;
            memcpy(item->vol_status, r->vol_status, sizeof(QU_VOL_STATUS) * (size_t)count);
            item->prev = list->tail;
            if (list->tail)
                list->tail->next = item;
            else
                list->head = item;
            list->tail = item;
            list->total_count += count;
            TRACE("Added volume %s, count=%d to inventory list.\n", item->vol_status[0].vol_id.external_label,
                  count);
        }
        if (c->respType == RT_FINAL || count == 0)
            return list->head ? 0 : 106;
    }
}

static int initialize(baseDescS* baseP)
{
    outMsgf(9739, baseP->libDesc.devName);
    acslsConfigDescT* c = (acslsConfigDescT*)shmAlloc(sizeof *c);
    if (!c)
        return 501;
    memset(c, 0, sizeof *c);
    c->seq_no = 1;
    baseP->libDesc.ltsExtP = c;
    for (int i = 0; i < baseP->driveCount; i++) {
        acslsDriveExtT* e = (acslsDriveExtT*)shmAlloc(sizeof *e);
        if (!e)
            return 501;
        memset(e, 0, sizeof *e);
        baseP->driveTable[i].ltsExtP = e;
    }
    int rc = AcsValidateLib(baseP);
    for (int i = 0; i < baseP->driveCount && rc == 0; i++)
        rc = AcsValidateDrive(baseP, &baseP->driveTable[i]);
    if (rc != 0)
        return rc;
    for (int i = 0; i < baseP->driveCount; i++) {
        driveDescT* d = &baseP->driveTable[i];
        if (!extOf(d)->volName[0])
            continue;
        TRACE("Empty volume %s from drive %s.\n", extOf(d)->volName, d->devName);
        dtsEject(d);
        AcsDismount(baseP, d);
        extOf(d)->volName[0] = '\0';
    }
    return baseP->searchFlag ? BuildInvList(baseP) : 0;
}

int acslsInitialize(baseDescS* baseP)
{
    int rc = initialize(baseP);
    if (rc != 0)
        freeConfig(baseP);
    return rc;
}

// The next listed volume whose home is in the library's ACS; each is offered once.
static int nextListedVolume(baseDescS* baseP, int maxLen, char* volNameBuf)
{
    for (acslsInvItemS* item = cfgOf(baseP)->insertList.head; item; item = item->next)
        while (item->process_index < item->count) {
            const QU_VOL_STATUS& v = item->vol_status[item->process_index++];
            if (v.location.cell_id.acs != baseP->libDesc.acs_id)
                continue;
            memcpy(volNameBuf, v.vol_id.external_label, ACS_EXTERNAL_LABEL_SIZE);
            volNameBuf[ACS_EXTERNAL_LABEL_SIZE] = '\0';
            if (ltsNameIsValid(volNameBuf, maxLen))
                return 0;
            outMsgf(9721, volNameBuf);
        }
    return 101;
}

int acslsPrepVolume(baseDescS* baseP, driveDescT* driveP, char* volNameBuf)
{
    acslsConfigDescT* c = cfgOf(baseP);
    acslsDriveExtT* e = extOf(driveP);
    int twoSided = 0, maxLen = 0;
    dtsGetParameters(driveP, &twoSided, &maxLen);
    mtxAcquire(baseP->libMutex);
    int rc;
    if (baseP->terminate)
        rc = 101;
    else if (baseP->searchFlag)
        rc = nextListedVolume(baseP, maxLen, volNameBuf);
    else
        rc = ltsPromptVolume(baseP, maxLen, volNameBuf);
    if (rc == 0) {
        TRACE("Mounting volume %s  in drive %s.\n", volNameBuf, driveP->devName);
        SEQ_NO seq = nextSeq(c);
        STATUS st = waitFor(c, acs_mount(seq, 0, volIdOf(volNameBuf), driveIdOf(e->devNo), 0, 1), 0);
        const ACS_MOUNT_RESPONSE* r = (const ACS_MOUNT_RESPONSE*)c->AcsResponse;
        STATUS ms = st == STATUS_SUCCESS ? r->mount_status : st;
        TRACE("(%d)acs_mount %s, mount_status=%s.\n", (int)seq, volNameBuf, acs_status(ms));
        if (ms != STATUS_SUCCESS) {
            outMsgf(9758, volNameBuf);
            rc = 1;
        } else {
            strcpy(e->volName, volNameBuf);
        }
    }
    if (rc == 101)
        baseP->terminate = 1;
    mtxRelease(baseP->libMutex);
    return rc;
}

int acslsFlipVolume(baseDescS*, driveDescT*) { return 500; }

int acslsDismount(baseDescS* baseP, driveDescT* driveP, int)
{
    acslsConfigDescT* c = cfgOf(baseP);
    acslsDriveExtT* e = extOf(driveP);
    dtsEject(driveP);
    mtxAcquire(baseP->libMutex);
    int rc = AcsDismount(baseP, driveP);
    if (rc != 0)
        outMsgf(9736, baseP->libDesc.devName);
    if (!baseP->searchFlag && !baseP->keepFlag) {
        outMsgf(9760, e->volName);
        TRACE("Ejecting volume %s.\n", e->volName);
        VOLID v = volIdOf(e->volName);
        CAPID cap = {baseP->libDesc.acs_id, -1, -1};
        SEQ_NO seq = nextSeq(c);
        STATUS st = waitFor(c, acs_eject(seq, 0, cap, 1, &v), 0);
        const ACS_EJECT_RESPONSE* r = (const ACS_EJECT_RESPONSE*)c->AcsResponse;
        TRACE("(%d)acs_eject volume %s, eject_status=%s.\n", (int)seq, e->volName,
              acs_status(st == STATUS_SUCCESS ? r->eject_status : st));
    }
    e->volName[0] = '\0';
    mtxRelease(baseP->libMutex);
    return rc;
}
