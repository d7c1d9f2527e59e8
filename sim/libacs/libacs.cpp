// libacs.dll: the ACSLS client library, served from the simulator's
// description. The server is the line of kind acsls: acs=0,1 the ACSs it
// has (acsstate_N=offline), drive_A.L.P.D=DEVICE its drives (drivestate_ID,
// drivetype_ID), vol_VOLSER=A.L.P.R.C a volume's home cell, mounted_ID=VOLSER
// what a drive holds, ejected_VOLSER=A after an eject. Every request queues an
// acknowledgement, then its responses; acs_response hands them out in order.
#define LIBACS_BUILD
#include <windows.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <mutex>
#include <sstream>
#include <string>
#include <vector>
#include "label/acsapi.h"
#include "sim/devices/simstate.h"

namespace {

struct Response {
    SEQ_NO seq;
    REQ_ID req;
    ACS_RESPONSE_TYPE type;
    std::string body;
};

std::mutex queueLock;
std::deque<Response> queue;
REQ_ID lastReq = 0;

template <class T>
std::string bytesOf(const T& rec)
{
    return std::string((const char*)&rec, sizeof rec);
}

std::string idText(const DRIVEID& d)
{
    return std::to_string(d.acs) + "." + std::to_string(d.lsm) + "." + std::to_string(d.panel) + "." +
           std::to_string(d.drive);
}

std::vector<int> numbers(const std::string& s)
{
    std::vector<int> v;
    std::stringstream in(s);
    std::string part;
    while (std::getline(in, part, s.find(',') != std::string::npos ? ',' : '.'))
        v.push_back(std::atoi(part.c_str()));
    return v;
}

VOLID volid(const std::string& name)
{
    VOLID v{};
    std::memcpy(v.external_label, name.c_str(), strnlen(name.c_str(), ACS_EXTERNAL_LABEL_SIZE));
    return v;
}

std::string nameOf(const VOLID& v)
{
    return std::string(v.external_label, strnlen(v.external_label, ACS_EXTERNAL_LABEL_SIZE));
}

struct Server {
    SimDescription& desc;
    SimDevice& srv;

    bool hasAcs(int acs) const
    {
        for (int a : numbers(srv.get("acs", "0")))
            if (a == acs)
                return true;
        return false;
    }
    bool hasDrive(const DRIVEID& d) const { return !srv.get("drive_" + idText(d)).empty(); }
    SimDevice* driveDevice(const DRIVEID& d) { return desc.find(srv.get("drive_" + idText(d))); }
    std::string held(const DRIVEID& d) const { return srv.get("mounted_" + idText(d)); }
    std::string home(const std::string& vol) const { return srv.get("vol_" + vol); }
    // The drive holding `vol`, as its id text; empty when it is in its cell.
    std::string driveHolding(const std::string& vol) const
    {
        for (const auto& a : srv.attrs)
            if (a.first.rfind("mounted_", 0) == 0 && a.second == vol)
                return a.first.substr(8);
        return "";
    }
    QU_VOL_STATUS volumeStatus(const std::string& vol) const
    {
        QU_VOL_STATUS s{};
        s.vol_id = volid(vol);
        std::string cell = home(vol);
        if (cell.empty()) {
            s.status = STATUS_VOLUME_NOT_IN_LIBRARY;
            return s;
        }
        s.status = STATUS_VOLUME_IN_LIBRARY;
        std::string drive = driveHolding(vol);
        std::vector<int> n = numbers(drive.empty() ? cell : drive);
        n.resize(5);
        if (drive.empty()) {
            s.location_type = LOCATION_CELL;
            s.location.cell_id = CELLID{n[0], n[1], n[2], n[3], n[4]};
        } else {
            s.location_type = LOCATION_DRIVE;
            s.location.drive_id = DRIVEID{n[0], n[1], n[2], n[3]};
            s.status = STATUS_VOLUME_IN_DRIVE;
        }
        return s;
    }
};

// One request: the acknowledgement, then what `fn` answers, all queued under
// the state lock. `fn` gets the server or, when there is none, is not called
// and the request is refused with STATUS_IPC_FAILURE.
template <class F>
STATUS request(SEQ_NO seq, const char* kind, F fn)
{
    std::vector<std::pair<ACS_RESPONSE_TYPE, std::string>> out;
    bool loseFinal = false;
    int planned = 0, unused;
    bool reached = simWithDescription([&](SimDescription& d, bool& changed) {
        for (auto& dev : d.devices) {
            if (dev.get("kind") != "acsls")
                continue;
            int code;
            if (simTakeFault(dev, "lostfinal", code, unused)) {
                loseFinal = true;
                changed = true;
            }
            if (simTakeFault(dev, kind, planned, unused))
                changed = true;
            Server s{d, dev};
            fn(s, planned, out, changed);
            return true;
        }
        return false;
    });
    if (!reached)
        return STATUS_IPC_FAILURE;
    std::lock_guard<std::mutex> g(queueLock);
    REQ_ID req = ++lastReq;
    ACS_ACKNOWLEDGE_RESPONSE ack{STATUS_SUCCESS};
    queue.push_back({seq, req, RT_ACKNOWLEDGE, bytesOf(ack)});
    for (auto& r : out)
        if (!(loseFinal && r.first == RT_FINAL))
            queue.push_back({seq, req, r.first, std::move(r.second)});
    return STATUS_SUCCESS;
}

using Out = std::vector<std::pair<ACS_RESPONSE_TYPE, std::string>>;

}  // namespace

extern "C" {

ACSAPI STATUS acs_query_acs(SEQ_NO seq, ACS acs[], unsigned short count)
{
    if (count > ACS_MAX_IDS || (count && !acs))
        return STATUS_COUNT_TOO_LARGE;
    return request(seq, "query_acs", [&](Server& s, int planned, Out& out, bool&) {
        ACS_QUERY_ACS_RESPONSE r{};
        r.query_acs_status = (STATUS)planned;
        std::vector<int> all = numbers(s.srv.get("acs", "0"));
        std::vector<int> asked = count ? std::vector<int>(acs, acs + count) : all;
        for (int a : asked) {
            if (r.count == ACS_MAX_IDS)
                break;
            QU_ACS_STATUS& e = r.acs_status[r.count++];
            e.acs_id = a;
            bool offline = s.srv.get("acsstate_" + std::to_string(a)) == "offline";
            e.state = offline ? STATE_OFFLINE : STATE_ONLINE;
            e.status = !s.hasAcs(a) ? STATUS_ACS_NOT_IN_LIBRARY : offline ? STATUS_ACS_OFFLINE : STATUS_SUCCESS;
        }
        out.push_back({RT_FINAL, bytesOf(r)});
    });
}

ACSAPI STATUS acs_query_drive(SEQ_NO seq, DRIVEID drive_id[], unsigned short count)
{
    if (count == 0 || count > ACS_MAX_IDS || !drive_id)
        return STATUS_COUNT_TOO_LARGE;
    return request(seq, "query_drive", [&](Server& s, int planned, Out& out, bool&) {
        ACS_QUERY_DRV_RESPONSE r{};
        r.query_drv_status = (STATUS)planned;
        for (unsigned short i = 0; i < count; i++) {
            QU_DRV_STATUS& e = r.drv_status[r.count++];
            e.drive_id = drive_id[i];
            std::string id = idText(drive_id[i]);
            if (!s.hasDrive(drive_id[i])) {
                e.status = STATUS_DRIVE_NOT_IN_LIBRARY;
                continue;
            }
            bool offline = s.srv.get("drivestate_" + id) == "offline";
            e.state = offline ? STATE_OFFLINE : STATE_ONLINE;
            e.status = offline ? STATUS_DRIVE_OFFLINE : STATUS_DRIVE_AVAILABLE;
            e.vol_id = volid(s.held(drive_id[i]));
            e.drive_type = (int)s.srv.num("drivetype_" + id);
        }
        out.push_back({RT_FINAL, bytesOf(r)});
    });
}

ACSAPI STATUS acs_query_volume(SEQ_NO seq, VOLID vol_id[], unsigned short count)
{
    if (count > ACS_MAX_IDS || (count && !vol_id))
        return STATUS_COUNT_TOO_LARGE;
    return request(seq, "query_volume", [&](Server& s, int planned, Out& out, bool&) {
        std::vector<std::string> names;
        if (count) {
            for (unsigned short i = 0; i < count; i++)
                names.push_back(nameOf(vol_id[i]));
        } else {
            for (const auto& a : s.srv.attrs)
                if (a.first.rfind("vol_", 0) == 0)
                    names.push_back(a.first.substr(4));
        }
        // Full batches are intermediate responses; the last batch is final.
        size_t at = 0;
        do {
            ACS_QUERY_VOL_RESPONSE r{};
            r.query_vol_status = (STATUS)planned;
            while (at < names.size() && r.count < ACS_MAX_IDS)
                r.vol_status[r.count++] = s.volumeStatus(names[at++]);
            out.push_back({at < names.size() ? RT_INTERMEDIATE : RT_FINAL, bytesOf(r)});
        } while (at < names.size());
    });
}

ACSAPI STATUS acs_mount(SEQ_NO seq, LOCKID, VOLID vol_id, DRIVEID drive_id, int, int)
{
    return request(seq, "mount", [&](Server& s, int planned, Out& out, bool& changed) {
        ACS_MOUNT_RESPONSE r{};
        r.vol_id = vol_id;
        r.drive_id = drive_id;
        std::string vol = nameOf(vol_id);
        std::vector<int> cell = numbers(s.home(vol));
        SimDevice* dev = s.driveDevice(drive_id);
        if (planned)
            r.mount_status = (STATUS)planned;
        else if (!s.hasDrive(drive_id) || !dev)
            r.mount_status = STATUS_DRIVE_NOT_IN_LIBRARY;
        else if (s.srv.get("drivestate_" + idText(drive_id)) == "offline")
            r.mount_status = STATUS_DRIVE_OFFLINE;
        else if (cell.empty())
            r.mount_status = STATUS_VOLUME_NOT_IN_LIBRARY;
        else if (!s.driveHolding(vol).empty())
            r.mount_status = STATUS_VOLUME_IN_DRIVE;
        else if (!s.held(drive_id).empty())
            r.mount_status = STATUS_DRIVE_IN_USE;
        else if (cell[0] != drive_id.acs)
            r.mount_status = STATUS_VOLUME_IN_OTHER_ACS;
        else {
            s.srv.set("mounted_" + idText(drive_id), vol);
            simDriveHolds(*dev, vol);
            changed = true;
        }
        out.push_back({RT_FINAL, bytesOf(r)});
    });
}

ACSAPI STATUS acs_dismount(SEQ_NO seq, LOCKID, VOLID vol_id, DRIVEID drive_id, int force)
{
    return request(seq, "dismount", [&](Server& s, int planned, Out& out, bool& changed) {
        ACS_DISMOUNT_RESPONSE r{};
        r.vol_id = vol_id;
        r.drive_id = drive_id;
        std::string held = s.held(drive_id);
        SimDevice* dev = s.driveDevice(drive_id);
        if (planned)
            r.dismount_status = (STATUS)planned;
        else if (!s.hasDrive(drive_id) || !dev)
            r.dismount_status = STATUS_DRIVE_NOT_IN_LIBRARY;
        else if (held.empty())
            r.dismount_status = STATUS_DRIVE_EMPTY;
        else if (!force && held != nameOf(vol_id))
            r.dismount_status = STATUS_INVALID_VALUE;
        else {
            // Forced: whatever the drive holds goes home.
            r.vol_id = volid(held);
            s.srv.set("mounted_" + idText(drive_id), "");
            simDriveHolds(*dev, "");
            changed = true;
        }
        out.push_back({RT_FINAL, bytesOf(r)});
    });
}

ACSAPI STATUS acs_eject(SEQ_NO seq, LOCKID, CAPID cap_id, unsigned short count, VOLID vol_id[])
{
    if (count == 0 || count > ACS_MAX_IDS || !vol_id)
        return STATUS_COUNT_TOO_LARGE;
    return request(seq, "eject", [&](Server& s, int planned, Out& out, bool& changed) {
        ACS_EJECT_RESPONSE r{};
        r.cap_id = cap_id;
        if (planned)
            r.eject_status = (STATUS)planned;
        else if (!s.hasAcs(cap_id.acs))
            r.eject_status = STATUS_CAP_NOT_IN_LIBRARY;
        for (unsigned short i = 0; i < count && !r.eject_status; i++) {
            ACS_EJECT_VOL_STATUS& e = r.vol_status[r.count++];
            e.vol_id = vol_id[i];
            std::string vol = nameOf(vol_id[i]);
            std::vector<int> cell = numbers(s.home(vol));
            if (cell.empty())
                e.status = STATUS_VOLUME_NOT_IN_LIBRARY;
            else if (!s.driveHolding(vol).empty())
                e.status = STATUS_VOLUME_IN_DRIVE;
            else if (cell[0] != cap_id.acs)
                e.status = STATUS_VOLUME_IN_OTHER_ACS;
            else {
                e.status = STATUS_VOLUME_EJECTED;
                s.srv.set("vol_" + vol, "");
                s.srv.set("ejected_" + vol, std::to_string(cap_id.acs));
                changed = true;
            }
        }
        out.push_back({RT_FINAL, bytesOf(r)});
    });
}

ACSAPI STATUS acs_response(int timeout, SEQ_NO* seq, REQ_ID* req_id, ACS_RESPONSE_TYPE* type, void* buffer)
{
    // The server's failures are planned as fault_response=N:STATUS.
    int planned = 0, unused;
    simWithDescription([&](SimDescription& d, bool& changed) {
        for (auto& dev : d.devices)
            if (dev.get("kind") == "acsls" && simTakeFault(dev, "response", planned, unused))
                changed = true;
        return true;
    });
    if (planned)
        return (STATUS)planned;
    std::lock_guard<std::mutex> g(queueLock);
    if (queue.empty())
        // Nothing is outstanding, so nothing will ever come: never block.
        return timeout == 0 ? STATUS_RESPONSE_PENDING : STATUS_NO_PENDING_RESPONSE;
    Response r = std::move(queue.front());
    queue.pop_front();
    if (seq) *seq = r.seq;
    if (req_id) *req_id = r.req;
    if (type) *type = r.type;
    if (buffer) {
        std::memset(buffer, 0, ACS_RESPONSE_SIZE);
        std::memcpy(buffer, r.body.data(), r.body.size());
    }
    return STATUS_SUCCESS;
}

ACSAPI const char* acs_status(STATUS status)
{
    switch (status) {
#define S(x) case x: return #x;
    S(STATUS_SUCCESS) S(STATUS_ACS_NOT_IN_LIBRARY) S(STATUS_ACS_OFFLINE) S(STATUS_CAP_NOT_IN_LIBRARY)
    S(STATUS_DRIVE_NOT_IN_LIBRARY) S(STATUS_DRIVE_OFFLINE) S(STATUS_DRIVE_IN_USE) S(STATUS_DRIVE_EMPTY)
    S(STATUS_DRIVE_AVAILABLE) S(STATUS_VOLUME_NOT_IN_LIBRARY) S(STATUS_VOLUME_IN_DRIVE)
    S(STATUS_VOLUME_IN_OTHER_ACS) S(STATUS_VOLUME_IN_LIBRARY) S(STATUS_VOLUME_EJECTED)
    S(STATUS_INVALID_VALUE) S(STATUS_COUNT_TOO_LARGE) S(STATUS_NO_PENDING_RESPONSE) S(STATUS_RESPONSE_PENDING)
    S(STATUS_IPC_FAILURE) S(STATUS_LIBRARY_FAILURE)
#undef S
    }
    return "STATUS_UNKNOWN";
}

ACSAPI const char* acs_state(STATE state)
{
    switch (state) {
    case STATE_ONLINE: return "STATE_ONLINE";
    case STATE_OFFLINE: return "STATE_OFFLINE";
    case STATE_DIAGNOSTIC: return "STATE_DIAGNOSTIC";
    }
    return "STATE_UNKNOWN";
}

}  // extern "C"
