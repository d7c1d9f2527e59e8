// SCSI medium changers: configuration from the changer, slot states, moves
// with the retry policy of the completion codes, port and magazine modes.
#include <windows.h>
#include <ctype.h>
#include <string.h>
#include "lts.h"
#include "dts.h"
#include "psdevio.h"
#include "console.h"

#define TR_MODULE "ltsscsi"

struct scsiSlotDescT {
    int useCode;             // 0 empty, 1 full, 2 unknown, 3 unusable, 4 taken by this run
    uint16_t element;
    uint16_t barcodeFlag;
    char barLabel[6];
};
struct scsiDriveDescT { uint16_t element; };
struct scsiChangerDescT { uint16_t element; };
struct scsiImpExpDescT { uint16_t element; };
struct scsiDevInfoT {
    char productId[16];
    int robotCanEject, invUnreliable, mustPosToElem, usesMagazine;
};
struct scsiConfigDescT {
    int driveCount, slotCount, changerCount, impExpCount;
    scsiDriveDescT* driveInfoP;
    scsiSlotDescT* slotInfoP;
    scsiChangerDescT* changerInfoP;
    scsiImpExpDescT* impExpInfoP;
    scsiDevInfoT* devInfoP;
    int barcodeFlag;
    int barcodeCount;
};
struct scsiDriveExtT {
    int whichSide;
    uint16_t homeSlot;
};

static scsiDevInfoT libTable[1];
static const int libTableSize = 1;
static int libTableMax = 0;

static scsiConfigDescT* cfgOf(baseDescS* baseP) { return (scsiConfigDescT*)baseP->libDesc.ltsExtP; }
static scsiDriveExtT* extOf(driveDescT* d) { return (scsiDriveExtT*)d->ltsExtP; }
static uint16_t transportOf(const scsiConfigDescT* c) { return c->changerCount ? c->changerInfoP[0].element : 0; }

int scsiIdentify(const char* name)
{
    int h;
    if (ioOpenDevice(name, 0, 1, &h) != 0)
        return 0;
    devinfo di = {};
    int rc = ioAutoIoctl(h, QORA_DDIOC_DEVINFO, &di, sizeof di);
    TRACE("Getting device info for %s, handle=%d.\n", name, h);
    ioCloseDevice(h);
    if (rc == 0)
        return (unsigned char)di.devtype == QORA_DEVTYPE_CHANGER;
    TRACE("-- Using alternate method to test if %s is an NTP device.\n", name);
    return ntp8140Identify(name) == 1 || ntp8150Identify(name) == 1;
}

static void hexSense(const qora_dd_return_error_state_t& es, char* out)
{
    unsigned n = es.number_sense < 32 ? es.number_sense : 32;
    for (unsigned i = 0; i < n; i++)
        _snprintf(out + 2 * i, 3, "%02X", es.sense_bytes[i]);
    out[2 * n] = '\0';
}

// One changer request with the retry policy of its completion code.
static int ExecuteAutoOp(baseDescS* baseP, int handle, uint32_t function, void* parms, unsigned parmsLen,
                         int* compCodeP, int waitFlag)
{
    scsiConfigDescT* cfg = cfgOf(baseP);
    int waits = 0, repeats = 0, portCloses = 0;
    for (;;) {
        TRACE("Issuing library IOCTL; func=0x%.8lX.\n", (unsigned long)function);
        if (ioAutoIoctl(handle, function, parms, parmsLen) == 0) {
            if (compCodeP)
                *compCodeP = 0;
            return 0;
        }
        qora_dd_return_error_state_t es = {};
        if (ioTapeIoctl(handle, QORA_DDIOC_RETURN_ERROR_STATE, &es, sizeof es) != 0) {
            TRACE("Library sense data not available.\n");
            if (compCodeP)
                *compCodeP = -1;
            return 500;
        }
        char hex[65];
        hexSense(es, hex);
        TRACE("Library error; rc=%.8lX, cc=%d, sense=%s\n", (unsigned long)es.last_status,
              (int)es.last_compcode, hex);
        int cc = es.last_compcode;
        if (compCodeP)
            *compCodeP = cc;
        if (cc == 203 && waitFlag && waits < 20) {
            if (waits++ == 0)
                outMsgf(9730, baseP->libDesc.devName);
            thrSleep(15);
        } else if ((cc == 210 || cc == 300 || cc == 309) && repeats < 20) {
            repeats++;
        } else if (cc == 307 && portCloses < 5 && cfg && cfg->impExpCount) {
            portCloses++;
            qora_lb_extend_retract_t er = {0, 1, cfg->impExpInfoP[0].element, transportOf(cfg)};
            ioAutoIoctl(handle, QORA_LBIOC_EXTEND_RETRACT, &er, sizeof er);
        } else {
            return 500;
        }
    }
}

static int GetEltInfo(baseDescS* baseP, int handle)
{
    scsiConfigDescT* c = cfgOf(baseP);
    qora_lb_drive_state_t* ds = (qora_lb_drive_state_t*)shmAlloc(sizeof *ds * (c->driveCount + 1));
    qora_lb_storage_element_state_t* ss =
        (qora_lb_storage_element_state_t*)shmAlloc(sizeof *ss * (c->slotCount + 1));
    qora_lb_import_export_state_t* ps = (qora_lb_import_export_state_t*)shmAlloc(sizeof *ps * (c->impExpCount + 1));
    qora_lb_medium_changer_state_t* ts = (qora_lb_medium_changer_state_t*)shmAlloc(sizeof *ts * (c->changerCount + 1));
    int rc = 501;
    if (ds && ss && ps && ts) {
        qora_lb_inventory_t inv = {0, c->driveCount, c->slotCount, c->impExpCount, c->changerCount, ds, ss, ps, ts};
        rc = ExecuteAutoOp(baseP, handle, QORA_LBIOC_INVENTORY, &inv, sizeof inv, nullptr, 0);
        c->barcodeCount = 0;
        if (rc == 0) {
            for (int i = 0; i < c->driveCount && i < inv.drives; i++)
                c->driveInfoP[i].element = ds[i].address;
            for (int i = 0; i < c->changerCount && i < inv.transp_elems; i++)
                c->changerInfoP[i].element = ts[i].address;
            for (int i = 0; i < c->impExpCount && i < inv.eeports; i++)
                c->impExpInfoP[i].element = ps[i].address;
            for (int i = 0; i < c->slotCount && i < inv.slots; i++) {
                const qora_lb_storage_element_state_t& e = ss[i];
                scsiSlotDescT& s = c->slotInfoP[i];
                s.element = e.address;
                s.barcodeFlag = 0;
                memset(s.barLabel, 0, sizeof s.barLabel);
                int len = e.barcode_len < 0 ? 0 : e.barcode_len > (int)sizeof e.barcode ? (int)sizeof e.barcode : e.barcode_len;
                if (e.barcode_flag && c->barcodeFlag) {
                    if (len > 6 && e.barcode[6] != ' ' && e.barcode[6] != 0) {
                        char code[sizeof e.barcode + 1];
                        memcpy(code, e.barcode, (size_t)len);
                        code[len] = '\0';
                        outMsgf(9754, (int)e.address, code, 6);
                    } else {
                        int n = len < 6 ? len : 6;
                        for (int k = 0; k < n; k++)
                            s.barLabel[k] = e.barcode[k] == ' ' ? '\0' : (char)e.barcode[k];
                        if (s.barLabel[0]) {
                            s.barcodeFlag = 1;
                            c->barcodeCount++;
                        }
                    }
                }
                if ((e.abnormal_state & 0x4) || (e.abnormal_state & 0x200) || !e.accessible)
                    s.useCode = 3;
                else if ((e.abnormal_state & 0x1) || ((uint32_t)e.abnormal_state & 0x80000000u))
                    s.useCode = 2;
                else
                    s.useCode = e.full ? 1 : 0;
            }
        }
    }
    shmFree(ds);
    shmFree(ss);
    shmFree(ps);
    shmFree(ts);
    return rc;
}

static int AuditSlots(baseDescS* baseP, int handle)
{
    TRACE("Auditing SCSI library %s.\n", baseP->libDesc.devName);
    qora_lb_audit_t a = {0, baseP->barcodeFlag ? 1 : 0};
    return ExecuteAutoOp(baseP, handle, QORA_LBIOC_AUDIT, &a, sizeof a, nullptr, 1);
}

static int AnySlotsUnknown(const scsiConfigDescT* c)
{
    for (int i = 0; i < c->slotCount; i++)
        if (c->slotInfoP[i].useCode == 2)
            return 1;
    return 0;
}

static int BuildConfig(baseDescS* baseP)
{
    TRACE("Building SCSI library configuration.\n");
    scsiConfigDescT* c = cfgOf(baseP);
    int h;
    int rc = ioOpenDevice(baseP->libDesc.devName, 0, 1, &h);
    if (rc != 0)
        return rc;
    TRACE("Getting SCSI library characteristics.\n");
    qora_dd_inquiry_t inq = {};
    rc = ioTapeIoctl(h, QORA_MTIOC_GET_DEVICE_INFO, &inq, sizeof inq) == 0 ? 0 : 500;
    if (rc == 0) {
        TRACE("SCSI library %s; product=<%.*s>.\n", baseP->libDesc.devName, 16, inq.data.product_id);
        c->devInfoP = nullptr;
        for (int i = 0; i < libTableMax; i++)
            if (memcmp(libTable[i].productId, inq.data.product_id, 16) == 0)
                c->devInfoP = &libTable[i];
        if (!c->devInfoP) {
            qora_lb_library_info_t li = {};
            if (libTableMax >= libTableSize) {
                rc = 500;
            } else if (ExecuteAutoOp(baseP, h, QORA_LBIOC_LIBRARY_INFO, &li, sizeof li, nullptr, 0) != 0) {
                TRACE("QORA_LBIOC_LIBRARY_INFO did not execute.\n");
                rc = 500;
            } else {
                scsiDevInfoT* d = &libTable[libTableMax++];
                memcpy(d->productId, inq.data.product_id, 16);
                d->robotCanEject = li.robot_can_eject;
                d->invUnreliable = li.inv_unreliable;
                d->mustPosToElem = li.must_position_to_elem;
                d->usesMagazine = li.uses_magazine;
                c->devInfoP = d;
                TRACE("SCSI library %s; adding product=<%.*s>.\n\t robot eject    = %d\n\t inv unreliable = %d\n"
                      "\t must pos elem  = %d\n\t magazine       = %d\n", baseP->libDesc.devName, 16,
                      d->productId, d->robotCanEject, d->invUnreliable, d->mustPosToElem, d->usesMagazine);
            }
        }
    }
    qora_lb_element_count_t ec = {};
    if (rc == 0)
        rc = ExecuteAutoOp(baseP, h, QORA_LBIOC_ELEMENT_COUNT, &ec, sizeof ec, nullptr, 0);
    if (rc == 0 && (ec.drives <= 0 || ec.slots <= 0)) {
        outMsgf(9773, baseP->libDesc.devName, (int)ec.drives, (int)ec.slots);
        rc = 500;
    }
    if (rc == 0) {
        c->driveCount = ec.drives;
        c->slotCount = ec.slots;
        c->changerCount = ec.transp_elems > 0 ? ec.transp_elems : 0;
        c->impExpCount = ec.eeports > 0 ? ec.eeports : 0;
        c->driveInfoP = (scsiDriveDescT*)shmAlloc(sizeof(scsiDriveDescT) * c->driveCount);
        c->slotInfoP = (scsiSlotDescT*)shmAlloc(sizeof(scsiSlotDescT) * c->slotCount);
        c->changerInfoP = (scsiChangerDescT*)shmAlloc(sizeof(scsiChangerDescT) * (c->changerCount + 1));
        c->impExpInfoP = (scsiImpExpDescT*)shmAlloc(sizeof(scsiImpExpDescT) * (c->impExpCount + 1));
        if (!c->driveInfoP || !c->slotInfoP || !c->changerInfoP || !c->impExpInfoP)
            rc = 501;
        else
            rc = GetEltInfo(baseP, h);
        TRACE("in BuildConfig; rc=%d, invUnrel=%d, barcode=%d.\n", rc, c->devInfoP->invUnreliable, c->barcodeFlag);
        if (rc == 0 && (c->devInfoP->invUnreliable || c->barcodeFlag || AnySlotsUnknown(c))) {
            rc = AuditSlots(baseP, h);
            if (rc == 0)
                rc = GetEltInfo(baseP, h);
        }
    }
    ioCloseDevice(h);
    return rc;
}

static int FindSlot(scsiConfigDescT* c, uint16_t* slotP, int status, int* indexP)
{
    for (int i = 0; i < c->slotCount; i++)
        if (c->slotInfoP[i].useCode == status) {
            c->slotInfoP[i].useCode = 4;
            *slotP = c->slotInfoP[i].element;
            if (indexP)
                *indexP = i;
            TRACE("Found slot %d with status=%d.\n", *slotP, status);
            return 0;
        }
    TRACE("Unable to find slot with status=%d.\n", status);
    return 101;
}

static void MarkSlot(scsiConfigDescT* c, uint16_t slot, int status)
{
    TRACE("Marking slot %d with status=%d.\n", slot, status);
    for (int i = 0; i < c->slotCount; i++)
        if (c->slotInfoP[i].element == slot)
            c->slotInfoP[i].useCode = status;
}

static int MoveVolume(baseDescS* baseP, uint16_t src, uint16_t dest, int flip, driveDescT* driveP)
{
    scsiConfigDescT* c = cfgOf(baseP);
    TRACE("Moving from %d to %d (flip=%d).\n", src, dest, flip);
    int h;
    int rc = ioOpenDevice(baseP->libDesc.devName, 0, 1, &h);
    if (rc != 0)
        return rc;
    if (c->devInfoP->mustPosToElem) {
        TRACE("Aligning dest element (%d) for move.\n", dest);
        qora_lb_position_t p = {0, transportOf(c), dest, 0, {}};
        ExecuteAutoOp(baseP, h, QORA_LBIOC_POSITION, &p, sizeof p, nullptr, 1);
        TRACE("Aligning src element (%d) for move.\n", src);
        p = {0, transportOf(c), src, 0, {}};
        ExecuteAutoOp(baseP, h, QORA_LBIOC_POSITION, &p, sizeof p, nullptr, 1);
    }
    if (driveP && !c->devInfoP->robotCanEject && src == driveP->element)
        dtsEject(driveP);
    qora_lb_move_medium_t m = {0, transportOf(c), src, dest, flip ? 1 : 0};
    rc = ExecuteAutoOp(baseP, h, QORA_LBIOC_MOVE_MEDIUM, &m, sizeof m, nullptr, 1);
    ioCloseDevice(h);
    return rc;
}

static void portRequest(baseDescS* baseP, int option)
{
    scsiConfigDescT* c = cfgOf(baseP);
    int h;
    if (!c->impExpCount || ioOpenDevice(baseP->libDesc.devName, 0, 1, &h) != 0)
        return;
    TRACE(option == 0 ? "Extending E/E port (%d).\n" : "Retracting E/E port (%d).\n", c->impExpInfoP[0].element);
    qora_lb_extend_retract_t er = {0, option, c->impExpInfoP[0].element, transportOf(c)};
    ExecuteAutoOp(baseP, h, QORA_LBIOC_EXTEND_RETRACT, &er, sizeof er, nullptr, 1);
    ioCloseDevice(h);
}

static void magazineMove(baseDescS* baseP, int unload)
{
    scsiConfigDescT* c = cfgOf(baseP);
    TRACE(unload ? "Unloading magazine (library %s).\n" : "Loading magazine (library %s).\n", baseP->libDesc.devName);
    if (!c->impExpCount)
        return;
    if (unload)
        MoveVolume(baseP, transportOf(c), c->impExpInfoP[0].element, 0, nullptr);
    else
        MoveVolume(baseP, c->impExpInfoP[0].element, transportOf(c), 0, nullptr);
}

static void freeConfig(baseDescS* baseP)
{
    scsiConfigDescT* c = cfgOf(baseP);
    for (int i = 0; i < baseP->driveCount; i++) {
        shmFree(baseP->driveTable[i].ltsExtP);
        baseP->driveTable[i].ltsExtP = nullptr;
    }
    if (c) {
        shmFree(c->driveInfoP);
        shmFree(c->slotInfoP);
        shmFree(c->changerInfoP);
        shmFree(c->impExpInfoP);
        shmFree(c);
    }
    baseP->libDesc.ltsExtP = nullptr;
}

static int initialize(baseDescS* baseP)
{
    outMsgf(9739, baseP->libDesc.devName);
    scsiConfigDescT* c = (scsiConfigDescT*)shmAlloc(sizeof *c);
    if (!c)
        return 501;
    memset(c, 0, sizeof *c);
    c->barcodeFlag = baseP->barcodeFlag;
    baseP->libDesc.ltsExtP = c;
    int rc = BuildConfig(baseP);
    if (rc != 0)
        return rc;
    if (baseP->searchFlag) {
        int any = 0;
        for (int i = 0; i < c->slotCount; i++)
            any |= c->slotInfoP[i].useCode == 1;
        if (!any)
            return 106;
    }
    for (int i = 0; i < baseP->driveCount; i++) {
        scsiDriveExtT* e = (scsiDriveExtT*)shmAlloc(sizeof *e);
        if (!e)
            return 501;
        e->whichSide = 0;
        e->homeSlot = 65535;
        baseP->driveTable[i].ltsExtP = e;
    }
    if (c->driveCount == 1 && baseP->driveCount == 1)
        baseP->driveTable[0].element = c->driveInfoP[0].element;
    for (int i = 0; i < baseP->driveCount; i++) {
        int known = 0;
        for (int k = 0; k < c->driveCount; k++)
            known |= c->driveInfoP[k].element == baseP->driveTable[i].element;
        if (!known) {
            outMsgf(9742, baseP->driveTable[i].devName);
            return 500;
        }
    }
    for (int i = 0; i < baseP->driveCount; i++)
        for (int k = i + 1; k < baseP->driveCount; k++)
            if (baseP->driveTable[i].element == baseP->driveTable[k].element) {
                outMsgf(9741, baseP->driveTable[i].devName, baseP->driveTable[k].devName);
                return 500;
            }
    TRACE("Emptying all drives.\n");
    uint16_t slot = 0;
    int reserved = FindSlot(c, &slot, 0, nullptr) == 0, moved = 0;
    for (int i = 0; i < baseP->driveCount && reserved; i++) {
        if (MoveVolume(baseP, baseP->driveTable[i].element, slot, 0, &baseP->driveTable[i]) == 0) {
            moved++;
            MarkSlot(c, slot, 1);
            reserved = FindSlot(c, &slot, 0, nullptr) == 0;
        }
    }
    if (reserved)
        MarkSlot(c, slot, 0);
    if (moved && baseP->barcodeFlag) {
        int h;
        if (ioOpenDevice(baseP->libDesc.devName, 0, 1, &h) == 0) {
            if (AuditSlots(baseP, h) == 0)
                GetEltInfo(baseP, h);
            ioCloseDevice(h);
        }
    }
    if (baseP->barcodeFlag && c->barcodeCount == 0) {
        outMsgf(9755);
        return 105;
    }
    return 0;
}

int scsiInitialize(baseDescS* baseP)
{
    int rc = initialize(baseP);
    if (rc != 0)
        freeConfig(baseP);
    return rc;
}

int scsiPrepVolume(baseDescS* baseP, driveDescT* driveP, char* volNameBuf)
{
    scsiConfigDescT* c = cfgOf(baseP);
    scsiDriveExtT* e = extOf(driveP);
    int twoSided = 0, maxLen = 0;
    dtsGetParameters(driveP, &twoSided, &maxLen);
    mtxAcquire(baseP->libMutex);
    int rc = 0, index = 0;
    uint16_t slot = 0;
    if (baseP->terminate) {
        mtxRelease(baseP->libMutex);
        return 101;
    }
    if (FindSlot(c, &slot, baseP->searchFlag ? 1 : 0, &index) != 0) {
        if (!baseP->searchFlag)
            outMsgf(8314, baseP->libDesc.devName);
        baseP->terminate = 1;
        mtxRelease(baseP->libMutex);
        return 101;
    }
    e->homeSlot = slot;
    e->whichSide = 0;
    int portMode = !baseP->searchFlag && c->impExpCount && !c->devInfoP->usesMagazine;
    int magazineMode = !baseP->searchFlag && c->impExpCount && c->devInfoP->usesMagazine;
    if (portMode)
        portRequest(baseP, 0);
    if (magazineMode)
        magazineMove(baseP, 1);
    if (baseP->searchFlag && baseP->barcodeFlag) {
        const scsiSlotDescT& s = c->slotInfoP[index];
        if (!s.barcodeFlag) {
            outMsgf(9753, (int)slot);
            rc = 105;
        } else {
            memcpy(volNameBuf, s.barLabel, 6);
            volNameBuf[6] = '\0';
            for (char* p = volNameBuf; *p; p++)
                *p = (char)toupper((unsigned char)*p);
            if (!ltsNameIsValid(volNameBuf, maxLen)) {
                outMsgf(9721, volNameBuf);
                rc = 105;
            }
        }
    } else {
        for (;;) {
            int p = baseP->searchFlag ? outPromptf(volNameBuf, LTS_VOLNAME_SIZE, 9735, maxLen, baseP->libDesc.devName)
                  : portMode ? outPromptf(volNameBuf, LTS_VOLNAME_SIZE, twoSided ? 9732 : 9731,
                                          baseP->libDesc.devName, maxLen)
                             : outPromptf(volNameBuf, LTS_VOLNAME_SIZE, twoSided ? 9749 : 9748, (int)slot,
                                          baseP->libDesc.devName, maxLen);
            if (p != 0 || !volNameBuf[0]) {
                rc = 101;
                break;
            }
            for (char* q = volNameBuf; *q; q++)
                *q = (char)toupper((unsigned char)*q);
            if (ltsNameIsValid(volNameBuf, maxLen))
                break;
            outMsgf(9721, volNameBuf);
        }
    }
    if (portMode)
        portRequest(baseP, 1);
    if (magazineMode)
        magazineMove(baseP, 0);
    if (rc == 0) {
        rc = MoveVolume(baseP, portMode ? c->impExpInfoP[0].element : slot, driveP->element, 0, driveP);
        if (rc != 0)
            outMsgf(9736, baseP->libDesc.devName);
    }
    if (rc == 101)
        baseP->terminate = 1;
    mtxRelease(baseP->libMutex);
    return rc;
}

int scsiFlipVolume(baseDescS* baseP, driveDescT* driveP)
{
    mtxAcquire(baseP->libMutex);
    int rc = MoveVolume(baseP, driveP->element, driveP->element, 1, driveP);
    if (rc != 0)
        outMsgf(9736, baseP->libDesc.devName);
    else
        extOf(driveP)->whichSide = 1;
    mtxRelease(baseP->libMutex);
    return rc;
}

int scsiDismount(baseDescS* baseP, driveDescT* driveP, int ioWorked)
{
    scsiConfigDescT* c = cfgOf(baseP);
    scsiDriveExtT* e = extOf(driveP);
    mtxAcquire(baseP->libMutex);
    int rc;
    int flip = e->whichSide == 1;
    if (baseP->searchFlag || (baseP->keepFlag && ioWorked)) {
        rc = MoveVolume(baseP, driveP->element, e->homeSlot, flip, driveP);
    } else if (c->impExpCount && !c->devInfoP->usesMagazine) {
        rc = MoveVolume(baseP, driveP->element, c->impExpInfoP[0].element, flip, driveP);
        if (rc == 0) {
            portRequest(baseP, 0);
            char reply[2];
            outPromptf(reply, sizeof reply, 9738, baseP->libDesc.devName);
            portRequest(baseP, 1);
        }
    } else {
        rc = MoveVolume(baseP, driveP->element, e->homeSlot, flip, driveP);
        if (rc == 0) {
            if (c->devInfoP->usesMagazine)
                magazineMove(baseP, 1);
            char reply[2];
            outPromptf(reply, sizeof reply, 9750, (int)e->homeSlot, baseP->libDesc.devName);
            if (c->devInfoP->usesMagazine)
                magazineMove(baseP, 0);
            MarkSlot(c, e->homeSlot, 0);
        }
    }
    if (rc != 0)
        outMsgf(9736, baseP->libDesc.devName);
    if (!baseP->searchFlag && baseP->keepFlag && !ioWorked)
        MarkSlot(c, e->homeSlot, 0);
    mtxRelease(baseP->libMutex);
    return rc;
}
