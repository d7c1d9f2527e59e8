// QORASIM.DLL: simulated tape and optical drives behind kvtlabel's device
// seam. Each device is a line of <state>\devices.txt and one or two image
// files beside it; the state directory comes from QORA_SIM_DIR or from the
// value StateDir of HKLM\HARDWARE\DEVICEMAP\QoraSim that simdev publishes.
#include <windows.h>
#include <string>
#include <vector>
#include <map>
#include <mutex>
#include <cstring>
#include "label/psfuncs.h"
#include "label/psdevio.h"
#include "simdesc.h"
#include "simstate.h"

namespace {

struct Ctx {
    std::string name;          // device name in the description
    std::string kind;          // tape or optical
    bool writable = false;
    DWORD lastError = 0;
    int32_t lastCompcode = 0;   // of the last failed changer request
};

std::mutex ctxLock;
std::map<HANDLE, Ctx> contexts;

// Runs `fn` on the device's description entry.
template <class F>
bool withDevice(const std::string& name, F fn)
{
    return simWithDescription([&](SimDescription& d, bool& changed) {
        SimDevice* dev = d.find(name);
        if (!dev)
            return false;
        fn(*dev, changed);
        return true;
    });
}

// Unloading: the drive is empty, unless the automatic operator (autoload=1)
// puts the cartridge straight back, an optical one turned over.
void unloadMedium(const std::string& name)
{
    withDevice(name, [](SimDevice& d, bool& ch) {
        ch = true;
        if (!d.num("autoload")) {
            d.set("loaded", "0");
            return;
        }
        if (d.get("kind") == "optical")
            d.set("side", d.get("side", "A") == "A" ? "B" : "A");
        d.set("unloads", std::to_string(d.num("unloads") + 1));
    });
}

Ctx* ctxOf(HANDLE h)
{
    std::lock_guard<std::mutex> g(ctxLock);
    auto it = contexts.find(h);
    return it == contexts.end() ? nullptr : &it->second;
}

BOOL fail(Ctx* c, DWORD err)
{
    if (c)
        c->lastError = err;
    SetLastError(err);
    return FALSE;
}

// Media access on a drive that is not ready, unloaded or still counting
// down its not-ready operations.
DWORD mediaState(const std::string& name)
{
    DWORD err = 0;
    withDevice(name, [&](SimDevice& d, bool& changed) {
        if (d.num("loaded", 1) == 0) {
            err = ERROR_NOT_READY;
        } else if (d.num("notready") > 0) {
            d.set("notready", std::to_string(d.num("notready") - 1));
            changed = true;
            err = ERROR_NOT_READY;
        }
    });
    return err;
}

std::string imagePath(const SimDevice& d, const std::string& kind)
{
    if (kind == "optical") {
        std::string base = d.get("image", d.name);
        return simStateDir() + "\\" + base + "." + d.get("side", "A") + ".img";
    }
    if (kind == "changer")
        return simStateDir() + "\\" + d.name + ".lock";
    return simStateDir() + "\\" + d.get("image", d.name + ".tap");
}

HANDLE simOpen(const char* ntName, DWORD access)
{
    const char* p = ntName;
    if (std::strlen(p) > 4 && (p[0] == '/' || p[0] == '\\') && p[2] == '.')
        p += 4;
    std::string name = p, kind, path;
    long long sectors = 0;
    bool found = withDevice(name, [&](SimDevice& d, bool&) {
        kind = d.get("kind");
        path = imagePath(d, kind);
        sectors = d.num("sectors", 512);
        name = d.name;
    });
    if (!found || (kind != "tape" && kind != "optical" && kind != "changer")) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    // No sharing: a drive is one process's at a time, as a real device is.
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                           FILE_FLAG_WRITE_THROUGH, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        SetLastError(GetLastError() == ERROR_SHARING_VIOLATION ? ERROR_BUSY : GetLastError());
        return INVALID_HANDLE_VALUE;
    }
    if (kind == "optical") {
        LARGE_INTEGER size;
        GetFileSizeEx(h, &size);
        if (size.QuadPart < sectors * 2048) {
            LARGE_INTEGER want;
            want.QuadPart = sectors * 2048;
            SetFilePointerEx(h, want, nullptr, FILE_BEGIN);
            SetEndOfFile(h);
            want.QuadPart = 0;
            SetFilePointerEx(h, want, nullptr, FILE_BEGIN);
        }
    }
    Ctx c;
    c.name = name;
    c.kind = kind;
    c.writable = (access & GENERIC_WRITE) != 0;
    std::lock_guard<std::mutex> g(ctxLock);
    contexts[h] = c;
    return h;
}

BOOL simClose(HANDLE h)
{
    {
        std::lock_guard<std::mutex> g(ctxLock);
        contexts.erase(h);
    }
    return CloseHandle(h);
}

long long filePos(HANDLE h)
{
    LARGE_INTEGER z{}, pos{};
    SetFilePointerEx(h, z, &pos, FILE_CURRENT);
    return pos.QuadPart;
}

void seekTo(HANDLE h, long long to)
{
    LARGE_INTEGER p;
    p.QuadPart = to;
    SetFilePointerEx(h, p, nullptr, FILE_BEGIN);
}

bool readAll(HANDLE h, void* buf, DWORD n)
{
    DWORD got = 0;
    return ReadFile(h, buf, n, &got, nullptr) && got == n;
}

BOOL tapeRead(Ctx* c, HANDLE h, void* buf, DWORD size, DWORD* done)
{
    *done = 0;
    unsigned char lenBytes[4];
    DWORD got = 0;
    if (!ReadFile(h, lenBytes, 4, &got, nullptr) || got == 0)
        return fail(c, ERROR_NO_DATA_DETECTED);
    DWORD len = lenBytes[0] | lenBytes[1] << 8 | lenBytes[2] << 16 | (DWORD)lenBytes[3] << 24;
    if (got != 4)
        return fail(c, ERROR_NO_DATA_DETECTED);
    if (len == 0)
        return fail(c, ERROR_FILEMARK_DETECTED);
    long long start = filePos(h);
    DWORD take = len < size ? len : size;
    if (!readAll(h, buf, take))
        return fail(c, ERROR_CRC);
    seekTo(h, start + len + 4);
    *done = take;
    return take < len ? fail(c, ERROR_MORE_DATA) : TRUE;
}

BOOL tapeAppend(Ctx* c, HANDLE h, const void* buf, DWORD size)
{
    std::string rec;
    unsigned char l[4] = {(unsigned char)size, (unsigned char)(size >> 8), (unsigned char)(size >> 16),
                          (unsigned char)(size >> 24)};
    rec.append((const char*)l, 4);
    if (size) {
        rec.append((const char*)buf, size);
        rec.append((const char*)l, 4);
    }
    DWORD done = 0;
    if (!WriteFile(h, rec.data(), (DWORD)rec.size(), &done, nullptr) || done != rec.size())
        return fail(c, ERROR_WRITE_FAULT);
    // Writing on tape ends the data there.
    SetEndOfFile(h);
    return TRUE;
}

bool protectedMedium(const std::string& name)
{
    bool p = false;
    withDevice(name, [&](SimDevice& d, bool&) { p = d.num("protect") != 0; });
    return p;
}

BOOL simRead(HANDLE h, void* buf, DWORD size, DWORD* done)
{
    Ctx* c = ctxOf(h);
    *done = 0;
    if (!c)
        return fail(c, ERROR_INVALID_HANDLE);
    if (DWORD e = mediaState(c->name))
        return fail(c, e);
    if (c->kind == "tape")
        return tapeRead(c, h, buf, size, done);
    bool formatted = true;
    withDevice(c->name, [&](SimDevice& d, bool&) { formatted = d.num("formatted", 1) != 0; });
    if (!formatted)
        return fail(c, ERROR_SECTOR_NOT_FOUND);
    if (!ReadFile(h, buf, size, done, nullptr))
        return fail(c, GetLastError());
    return TRUE;
}

BOOL simWrite(HANDLE h, const void* buf, DWORD size, DWORD* done)
{
    Ctx* c = ctxOf(h);
    *done = 0;
    if (!c)
        return fail(c, ERROR_INVALID_HANDLE);
    if (!c->writable)
        return fail(c, ERROR_ACCESS_DENIED);
    if (DWORD e = mediaState(c->name))
        return fail(c, e);
    if (protectedMedium(c->name))
        return fail(c, ERROR_WRITE_PROTECT);
    if (c->kind == "tape") {
        // A simulated write time, for measuring several drives at once.
        long long latency = 0;
        withDevice(c->name, [&](SimDevice& d, bool&) { latency = d.num("latency"); });
        if (latency > 0)
            Sleep((DWORD)latency);
        if (!tapeAppend(c, h, buf, size))
            return FALSE;
        *done = size;
        return TRUE;
    }
    bool worm = false, formatted = true;
    withDevice(c->name, [&](SimDevice& d, bool&) {
        worm = d.num("worm") != 0;
        formatted = d.num("formatted", 1) != 0;
    });
    if (!formatted)
        return fail(c, ERROR_SECTOR_NOT_FOUND);
    long long at = filePos(h);
    if (worm) {
        // Write-once: a sector that holds data is never written again.
        std::string old(size, '\0');
        DWORD got = 0;
        ReadFile(h, &old[0], size, &got, nullptr);
        seekTo(h, at);
        if (old.find_first_not_of('\0') != std::string::npos)
            return fail(c, ERROR_WRITE_FAULT);
    }
    if (!WriteFile(h, buf, size, done, nullptr))
        return fail(c, GetLastError());
    return TRUE;
}

BOOL simSeek(HANDLE h, LONGLONG offset, DWORD method, LONGLONG* newPos)
{
    LARGE_INTEGER o, n;
    o.QuadPart = offset;
    if (!SetFilePointerEx(h, o, &n, method))
        return FALSE;
    if (newPos)
        *newPos = n.QuadPart;
    return TRUE;
}

void copyField(char* dst, size_t size, const std::string& s)
{
    std::memset(dst, ' ', size);
    std::memcpy(dst, s.data(), s.size() < size ? s.size() : size);
}

BOOL tapeIoctl(Ctx* c, HANDLE h, DWORD code, void* buf, DWORD size)
{
    if (code == QORA_MTIOC_OP && size >= sizeof(stop)) {
        stop* s = (stop*)buf;
        if (DWORD e = mediaState(c->name))
            return fail(c, e);
        switch (s->st_op) {
        case MT_OP_REW:
            seekTo(h, 0);
            return TRUE;
        case MT_OP_OFFL:
            seekTo(h, 0);
            unloadMedium(c->name);
            return TRUE;
        case MT_OP_WEOF:
            if (!c->writable)
                return fail(c, ERROR_ACCESS_DENIED);
            if (protectedMedium(c->name))
                return fail(c, ERROR_WRITE_PROTECT);
            for (int i = 0; i < s->st_count; i++)
                if (!tapeAppend(c, h, nullptr, 0))
                    return FALSE;
            return TRUE;
        }
        return fail(c, ERROR_INVALID_FUNCTION);
    }
    if (code == QORA_MTIOC_SET_MODE && size >= sizeof(qora_mt_set_mode_t)) {
        qora_mt_set_mode_t* m = (qora_mt_set_mode_t*)buf;
        if (DWORD e = mediaState(c->name))
            return fail(c, e);
        char f[16];
        std::snprintf(f, sizeof f, "0x%lX", (unsigned long)m->format);
        withDevice(c->name, [&](SimDevice& d, bool& ch) { d.set("lastformat", f); ch = true; });
        return TRUE;
    }
    return fail(c, ERROR_INVALID_FUNCTION);
}

BOOL opticalIoctl(Ctx* c, HANDLE h, DWORD code, void* buf, DWORD size)
{
    if (code == QORA_OPIOC_PREPARE_DRIVE && size >= 4) {
        if (DWORD e = mediaState(c->name))
            return fail(c, e);
        // Write-protected media refuse readiness even for reading, as the drive does.
        if (protectedMedium(c->name))
            return fail(c, ERROR_WRITE_PROTECT);
        return TRUE;
    }
    if (code == QORA_OPIOC_FORMAT_UNIT && size >= sizeof(qora_op_format_unit_t)) {
        bool worm = false;
        withDevice(c->name, [&](SimDevice& d, bool&) { worm = d.num("worm") != 0; });
        LARGE_INTEGER sz;
        GetFileSizeEx(h, &sz);
        std::string zero(65536, '\0');
        if (worm) {
            std::string data(65536, '\0');
            seekTo(h, 0);
            DWORD got;
            while (ReadFile(h, &data[0], (DWORD)data.size(), &got, nullptr) && got)
                if (data.find_first_not_of('\0') < got)
                    return fail(c, ERROR_WRITE_FAULT);
        }
        seekTo(h, 0);
        for (long long left = sz.QuadPart; left > 0;) {
            DWORD n = (DWORD)(left < (long long)zero.size() ? left : zero.size()), done;
            WriteFile(h, zero.data(), n, &done, nullptr);
            left -= n;
        }
        seekTo(h, 0);
        withDevice(c->name, [](SimDevice& d, bool& ch) { d.set("formatted", "1"); ch = true; });
        return TRUE;
    }
    if (code == QORA_OPIOC_EJECT && size >= 4) {
        unloadMedium(c->name);
        return TRUE;
    }
    return fail(c, ERROR_INVALID_FUNCTION);
}

// Medium changer: elements with addresses (transport, drives, slots,
// ports), cartridges named by their barcode ("_" first: no barcode label,
// "+" for a blank), a port that is open or closed, and a fault plan:
// fault_<kind>=N:CODE makes the next N requests of that kind end with
// completion code CODE.
struct ChangerLayout {
    int tBase, drives, dBase, slots, sBase, ports, pBase;
    explicit ChangerLayout(const SimDevice& d)
        : tBase((int)d.num("transportbase", 0)), drives((int)d.num("drives", 1)),
          dBase((int)d.num("drivebase", 1)), slots((int)d.num("slots", 10)),
          sBase((int)d.num("slotbase", 1000)), ports((int)d.num("ports", 0)),
          pBase((int)d.num("portbase", 10)) {}
    char kindOf(int a) const
    {
        if (a == tBase) return 't';
        if (a >= dBase && a < dBase + drives) return 'd';
        if (a >= sBase && a < sBase + slots) return 's';
        if (a >= pBase && a < pBase + ports) return 'p';
        return 0;
    }
};

template <class T>
void fillBarcode(T& e, const std::string& cart)
{
    e.full = !cart.empty();
    if (cart.empty() || cart[0] == '_')
        return;
    std::string code = cart;
    for (char& ch : code)
        if (ch == '+')
            ch = ' ';
    e.barcode_flag = 1;
    e.barcode_len = (int32_t)(code.size() < sizeof e.barcode ? code.size() : sizeof e.barcode);
    std::memcpy(e.barcode, code.data(), (size_t)e.barcode_len);
}

template <class T>
void fillElement(T& e, const SimDevice& d, int a)
{
    std::memset(&e, 0, sizeof e);
    e.address = (uint16_t)a;
    e.accessible = 1;
    e.abnormal_state = (int32_t)d.num("abnormal" + std::to_string(a));
    fillBarcode(e, d.get("elem" + std::to_string(a)));
    std::string src = d.get("src" + std::to_string(a));
    if (e.full && !src.empty()) {
        e.source_addr_flag = 1;
        e.source_elem_addr = (uint16_t)std::atoi(src.c_str());
    }
    e.invert_media_flag = d.num("inv" + std::to_string(a)) != 0;
}

// A cartridge arriving in or leaving a drive loads or unloads the drive's device.
void driveTakes(SimDescription& desc, const SimDevice& lib, int addr, const std::string& cart, bool inverted)
{
    SimDevice* drv = desc.find(lib.get("drive" + std::to_string(addr)));
    if (!drv)
        return;
    if (cart.empty()) {
        drv->set("loaded", "0");
        return;
    }
    drv->set("loaded", "1");
    if (drv->get("kind") == "optical") {
        drv->set("image", "cart_" + cart);
        drv->set("side", inverted ? "B" : "A");
    } else {
        drv->set("image", "cart_" + cart + ".tap");
    }
}

BOOL changerDone(Ctx* c, int32_t* compcode, int32_t code)
{
    *compcode = code;
    c->lastCompcode = code;
    return code ? fail(c, ERROR_IO_DEVICE) : TRUE;
}

BOOL changerIoctl(Ctx* c, DWORD code, void* buf, DWORD size)
{
    static const struct { DWORD code; const char* kind; DWORD size; } kinds[] = {
        {QORA_LBIOC_MOVE_MEDIUM, "move", sizeof(qora_lb_move_medium_t)},
        {QORA_LBIOC_INVENTORY, "inventory", sizeof(qora_lb_inventory_t)},
        {QORA_LBIOC_AUDIT, "audit", sizeof(qora_lb_audit_t)},
        {QORA_LBIOC_POSITION, "position", sizeof(qora_lb_position_t)},
        {QORA_LBIOC_EXTEND_RETRACT, "port", sizeof(qora_lb_extend_retract_t)},
        {QORA_LBIOC_LIBRARY_INFO, "info", sizeof(qora_lb_library_info_t)},
        {QORA_LBIOC_ELEMENT_COUNT, "count", sizeof(qora_lb_element_count_t)},
        {QORA_DDIOC_DEVINFO, "devinfo", sizeof(devinfo)},
        {QORA_MTIOC_GET_DEVICE_INFO, "inquiry", sizeof(qora_dd_inquiry_t)},
    };
    const char* kind = nullptr;
    for (const auto& k : kinds)
        if (k.code == code) {
            if (size < k.size)
                return fail(c, ERROR_INSUFFICIENT_BUFFER);
            kind = k.kind;
        }
    if (!kind)
        return fail(c, ERROR_INVALID_FUNCTION);
    BOOL result = FALSE;
    simWithDescription([&](SimDescription& desc, bool& changed) {
        SimDevice* lib = desc.find(c->name);
        if (!lib)
            return false;
        const ChangerLayout L(*lib);
        int32_t* compcode = (int32_t*)buf;
        std::string faultKey = std::string("fault_") + kind;
        std::string plan = lib->get(faultKey);
        if (!plan.empty()) {
            int left = std::atoi(plan.c_str());
            size_t colon = plan.find(':');
            int cc = colon == std::string::npos ? 1 : std::atoi(plan.c_str() + colon + 1);
            if (left > 0) {
                lib->set(faultKey, std::to_string(left - 1) + ":" + std::to_string(cc));
                changed = true;
                result = changerDone(c, compcode, cc);
                return true;
            }
        }
        switch (code) {
        case QORA_DDIOC_DEVINFO:
            std::memset(buf, 0, sizeof(devinfo));
            ((devinfo*)buf)->devtype = (char)QORA_DEVTYPE_CHANGER;
            result = TRUE;
            break;
        case QORA_MTIOC_GET_DEVICE_INFO: {
            auto* q = (qora_dd_inquiry_t*)buf;
            std::memset(q, 0, sizeof *q);
            q->data.device_type = 8;
            copyField(q->data.vendor_id, sizeof q->data.vendor_id, lib->get("vendor", "QSIM"));
            copyField(q->data.product_id, sizeof q->data.product_id, lib->get("product", "SIMLIB"));
            copyField(q->data.product_revision_level, 4, lib->get("revision", "1.0"));
            result = TRUE;
            break;
        }
        case QORA_LBIOC_LIBRARY_INFO: {
            auto* li = (qora_lb_library_info_t*)buf;
            std::memset(li, 0, sizeof *li);
            li->robot_can_eject = (int32_t)lib->num("robot_can_eject");
            li->inv_unreliable = (int32_t)lib->num("inv_unreliable");
            li->must_position_to_elem = (int32_t)lib->num("must_position");
            li->moves_slot_to_slot = 1;
            li->uses_magazine = (int32_t)lib->num("magazine");
            li->robot_can_invert = (int32_t)lib->num("robot_can_invert", 1);
            result = TRUE;
            break;
        }
        case QORA_LBIOC_ELEMENT_COUNT: {
            auto* ec = (qora_lb_element_count_t*)buf;
            *ec = {0, L.drives, L.slots, 1, L.ports};
            result = TRUE;
            break;
        }
        case QORA_LBIOC_INVENTORY: {
            auto* inv = (qora_lb_inventory_t*)buf;
            int nd = inv->drives < L.drives ? inv->drives : L.drives;
            int ns = inv->slots < L.slots ? inv->slots : L.slots;
            int np = inv->eeports < L.ports ? inv->eeports : L.ports;
            for (int i = 0; inv->drive_state && i < nd; i++)
                fillElement(inv->drive_state[i], *lib, L.dBase + i);
            for (int i = 0; inv->storage_element_state && i < ns; i++)
                fillElement(inv->storage_element_state[i], *lib, L.sBase + i);
            for (int i = 0; inv->import_export_state && i < np; i++) {
                auto& e = inv->import_export_state[i];
                fillElement(e, *lib, L.pBase + i);
                e.import_enable = e.export_enable = 1;
                e.oper_placed_media = lib->num("placed" + std::to_string(L.pBase + i)) != 0;
            }
            if (inv->medium_changer_state && inv->transp_elems > 0)
                fillElement(inv->medium_changer_state[0], *lib, L.tBase);
            inv->drives = nd;
            inv->slots = ns;
            inv->eeports = np;
            inv->transp_elems = inv->transp_elems > 0 ? 1 : 0;
            result = changerDone(c, &inv->compcode, 0);
            break;
        }
        case QORA_LBIOC_AUDIT:
            lib->set("audits", std::to_string(lib->num("audits") + 1));
            changed = true;
            result = changerDone(c, compcode, 0);
            break;
        case QORA_LBIOC_POSITION: {
            auto* p = (qora_lb_position_t*)buf;
            lib->set("lastposition", std::to_string(p->destination_address));
            changed = true;
            result = changerDone(c, compcode, L.kindOf(p->destination_address) ? 0 : 320);
            break;
        }
        case QORA_LBIOC_EXTEND_RETRACT: {
            auto* er = (qora_lb_extend_retract_t*)buf;
            lib->set("portopen", er->option == 0 ? "1" : "0");
            changed = true;
            // The automatic operator (feed=N): takes out what the library put
            // into the port, and fills an empty port for the next volume.
            std::string pk = std::to_string(er->eeport_addr);
            if (L.kindOf(er->eeport_addr) == 'p' && er->option == 0 && lib->num("ejected" + pk)) {
                std::string out = lib->get("out");
                lib->set("out", out.empty() ? lib->get("elem" + pk) : out + "," + lib->get("elem" + pk));
                lib->set("elem" + pk, "");
                lib->set("ejected" + pk, "");
                lib->set("inv" + pk, "");
            }
            if (L.kindOf(er->eeport_addr) == 'p' && er->option == 1 && lib->get("elem" + pk).empty()
                && lib->num("feed") > 0) {
                int fed = (int)lib->num("fed") + 1;
                lib->set("fed", std::to_string(fed));
                lib->set("feed", std::to_string(lib->num("feed") - 1));
                lib->set("elem" + pk, "FEED" + std::to_string(fed));
                lib->set("placed" + pk, "1");
            }
            result = changerDone(c, compcode, L.ports ? 0 : 320);
            break;
        }
        case QORA_LBIOC_MOVE_MEDIUM: {
            auto* m = (qora_lb_move_medium_t*)buf;
            int s = m->source_address, d = m->destination_address;
            // A magazine library moves its magazine between transport and port;
            // the automatic operator (feed=N) puts a cartridge into the first
            // empty slot while the magazine is out.
            if (lib->num("magazine") && L.kindOf(s) != L.kindOf(d)
                && ((L.kindOf(s) == 't' && L.kindOf(d) == 'p') || (L.kindOf(s) == 'p' && L.kindOf(d) == 't'))) {
                bool out = L.kindOf(d) == 'p';
                lib->set("magazineout", out ? "1" : "");
                if (out && lib->num("feed") > 0) {
                    for (int a = L.sBase; a < L.sBase + L.slots; a++)
                        if (lib->get("elem" + std::to_string(a)).empty()) {
                            int fed = (int)lib->num("fed") + 1;
                            lib->set("fed", std::to_string(fed));
                            lib->set("feed", std::to_string(lib->num("feed") - 1));
                            lib->set("elem" + std::to_string(a), "FEED" + std::to_string(fed));
                            break;
                        }
                }
                changed = true;
                result = changerDone(c, &m->compcode, 0);
                break;
            }
            std::string ks = "elem" + std::to_string(s), kd = "elem" + std::to_string(d);
            std::string cart = lib->get(ks);
            int32_t cc = 0;
            if (!L.kindOf(s) || !L.kindOf(d))
                cc = 320;                                   // no such element
            else if (cart.empty())
                cc = 321;                                   // source empty
            else if (s != d && !lib->get(kd).empty())
                cc = 322;                                   // destination full
            else if (m->invert && !lib->num("robot_can_invert", 1))
                cc = 323;
            else if ((L.kindOf(s) == 'p' || L.kindOf(d) == 'p') && lib->num("portopen"))
                cc = 307;                                   // the port is open
            if (cc == 0) {
                bool inv = (lib->num("inv" + std::to_string(s)) != 0) != (m->invert != 0);
                std::string home = L.kindOf(s) == 's' ? std::to_string(s) : lib->get("src" + std::to_string(s));
                lib->set(ks, "");
                lib->set("inv" + std::to_string(s), "0");
                lib->set("src" + std::to_string(s), "");
                lib->set(kd, cart);
                lib->set("inv" + std::to_string(d), inv ? "1" : "0");
                lib->set("src" + std::to_string(d), home);
                lib->set("placed" + std::to_string(d), "0");
                lib->set("ejected" + std::to_string(d), L.kindOf(d) == 'p' && L.kindOf(s) == 'd' ? "1" : "");
                SimDevice libCopy = *lib;
                if (L.kindOf(s) == 'd')
                    driveTakes(desc, libCopy, s, "", false);
                if (L.kindOf(d) == 'd')
                    driveTakes(desc, libCopy, d, cart, inv);
                lib = desc.find(c->name);
                lib->set("moves", std::to_string(lib->num("moves") + 1));
                changed = true;
            }
            result = changerDone(c, &m->compcode, cc);
            break;
        }
        }
        return true;
    });
    return result;
}

BOOL simIoctl(HANDLE h, DWORD code, void* buf, DWORD size, DWORD* returned)
{
    Ctx* c = ctxOf(h);
    *returned = 0;
    if (!c)
        return fail(c, ERROR_INVALID_HANDLE);
    SimDevice dev;
    if (!withDevice(c->name, [&](SimDevice& d, bool&) { dev = d; }))
        return fail(c, ERROR_DEV_NOT_EXIST);
    if (c->kind == "changer" && code != QORA_DDIOC_RETURN_ERROR_STATE)
        return changerIoctl(c, code, buf, size);
    bool tape = c->kind == "tape";
    if (dev.num("fail_" + std::to_string(code & 0xFFF)) > 0) {
        withDevice(c->name, [&](SimDevice& d, bool& ch) {
            std::string key = "fail_" + std::to_string(code & 0xFFF);
            d.set(key, std::to_string(d.num(key) - 1));
            ch = true;
        });
        return fail(c, ERROR_IO_DEVICE);
    }
    switch (code) {
    case QORA_DDIOC_DEVINFO:
        if (size < sizeof(devinfo)) break;
        std::memset(buf, 0, sizeof(devinfo));
        ((devinfo*)buf)->devtype = (char)(tape ? 0x01 : QORA_DEVTYPE_OPTICAL);
        return TRUE;
    case QORA_DDIOC_GET_DEVICE_INFO: {
        if (size < sizeof(qora_dd_get_device_info_t)) break;
        auto* gi = (qora_dd_get_device_info_t*)buf;
        std::memset(gi, 0, sizeof *gi);
        gi->device_group = (uint32_t)dev.num("group", tape ? 4 : 8);
        gi->read_formats = (uint32_t)dev.num("rformats", dev.num("wformats"));
        gi->write_formats = (uint32_t)dev.num("wformats");
        gi->transfer_limit = 65536;
        return TRUE;
    }
    case QORA_DDIOC_GET_MEDIUM_INFO: {
        if (size < sizeof(qora_dd_get_medium_info_t)) break;
        if (dev.num("mediumfail"))
            return fail(c, ERROR_IO_DEVICE);
        auto* mi = (qora_dd_get_medium_info_t*)buf;
        std::memset(mi, 0, sizeof *mi);
        mi->medium_type = (int32_t)dev.num("media");
        mi->write_protect = dev.num("protect") != 0;
        mi->worm = dev.num("worm") != 0;
        mi->device_group = (uint32_t)dev.num("group", tape ? 4 : 8);
        mi->block_size = tape ? 0 : 2048;
        return TRUE;
    }
    case QORA_MTIOC_GET_DEVICE_INFO: {
        if (size < sizeof(qora_dd_inquiry_t)) break;
        auto* q = (qora_dd_inquiry_t*)buf;
        std::memset(q, 0, sizeof *q);
        q->data.device_type = tape ? 1 : 7;
        copyField(q->data.vendor_id, sizeof q->data.vendor_id, dev.get("vendor", "QSIM"));
        copyField(q->data.product_id, sizeof q->data.product_id, dev.get("product", "SIMDRIVE"));
        copyField(q->data.product_revision_level, 4, dev.get("revision", "1.0"));
        return TRUE;
    }
    case QORA_MTIOC_GET_DEVICE_NUMBER:
        if (size < 4) break;
        *(int32_t*)buf = (int32_t)dev.num("devno");
        return TRUE;
    case QORA_DDIOC_RETURN_ERROR_STATE: {
        if (size < sizeof(qora_dd_return_error_state_t)) break;
        auto* es = (qora_dd_return_error_state_t*)buf;
        std::memset(es, 0, sizeof *es);
        es->last_status = (int32_t)c->lastError;
        es->last_compcode = c->lastCompcode ? c->lastCompcode : c->lastError ? 1 : 0;
        unsigned char key = c->lastError == ERROR_NOT_READY ? 2
                          : c->lastError == ERROR_WRITE_PROTECT ? 7 : 3;
        unsigned char sense[] = {0x70, 0, key, 0, 0, 0, 0, 10};
        std::memcpy(es->sense_bytes, sense, sizeof sense);
        es->number_sense = sizeof sense;
        return TRUE;
    }
    default:
        return tape ? tapeIoctl(c, h, code, buf, size) : opticalIoctl(c, h, code, buf, size);
    }
    return fail(c, ERROR_INSUFFICIENT_BUFFER);
}

// The system's tape interface, for drives described with tapeapi=1.
DWORD tapeApiCheck(Ctx* c, SimDevice& dev)
{
    if (!c || c->kind != "tape")
        return ERROR_INVALID_HANDLE;
    std::string name = c->name;
    if (!withDevice(name, [&](SimDevice& d, bool&) { dev = d; }))
        return ERROR_DEV_NOT_EXIST;
    return dev.num("tapeapi") ? 0 : ERROR_INVALID_FUNCTION;
}

DWORD simGetTapeParameters(HANDLE h, DWORD op, DWORD* size, void* info)
{
    Ctx* c = ctxOf(h);
    SimDevice dev;
    if (DWORD e = tapeApiCheck(c, dev))
        return e;
    if (op != GET_TAPE_DRIVE_INFORMATION || *size < sizeof(TAPE_GET_DRIVE_PARAMETERS))
        return ERROR_INVALID_PARAMETER;
    auto* p = (TAPE_GET_DRIVE_PARAMETERS*)info;
    std::memset(p, 0, sizeof *p);
    p->FeaturesLow = (DWORD)dev.num("featureslow", TAPE_DRIVE_VARIABLE_BLOCK);
    p->FeaturesHigh = (DWORD)dev.num("featureshigh", TAPE_DRIVE_FILEMARKS | TAPE_DRIVE_RELATIVE_BLKS
                                                      | TAPE_DRIVE_REVERSE_POSITION);
    p->MaximumBlockSize = 65536;
    *size = sizeof *p;
    return NO_ERROR;
}

DWORD simSetTapeParameters(HANDLE h, DWORD op, void*)
{
    Ctx* c = ctxOf(h);
    SimDevice dev;
    if (DWORD e = tapeApiCheck(c, dev))
        return e;
    if (dev.num("setparamfail") > 0) {
        withDevice(c->name, [](SimDevice& d, bool& ch) {
            d.set("setparamfail", std::to_string(d.num("setparamfail") - 1));
            ch = true;
        });
        return ERROR_INVALID_PARAMETER;
    }
    return op == SET_TAPE_MEDIA_INFORMATION || op == SET_TAPE_DRIVE_INFORMATION
        ? NO_ERROR : ERROR_INVALID_PARAMETER;
}

DWORD simSetTapePosition(HANDLE h, DWORD method, DWORD, DWORD, DWORD, BOOL)
{
    Ctx* c = ctxOf(h);
    SimDevice dev;
    if (DWORD e = tapeApiCheck(c, dev))
        return e;
    if (DWORD e = mediaState(c->name))
        return e;
    if (method != TAPE_REWIND)
        return ERROR_INVALID_FUNCTION;
    seekTo(h, 0);
    return NO_ERROR;
}

DWORD simWriteTapemark(HANDLE h, DWORD type, DWORD count, BOOL)
{
    Ctx* c = ctxOf(h);
    SimDevice dev;
    if (DWORD e = tapeApiCheck(c, dev))
        return e;
    if (type == TAPE_FILEMARKS && dev.num("longmarks"))
        return ERROR_INVALID_FUNCTION;
    if (type != TAPE_FILEMARKS && type != TAPE_LONG_FILEMARKS)
        return ERROR_INVALID_FUNCTION;
    if (DWORD e = mediaState(c->name))
        return e;
    if (!c->writable)
        return ERROR_ACCESS_DENIED;
    if (dev.num("protect"))
        return ERROR_WRITE_PROTECT;
    for (DWORD i = 0; i < count; i++)
        if (!tapeAppend(c, h, nullptr, 0))
            return ERROR_WRITE_FAULT;
    return NO_ERROR;
}

DWORD simPrepareTape(HANDLE h, DWORD op, BOOL)
{
    Ctx* c = ctxOf(h);
    SimDevice dev;
    if (DWORD e = tapeApiCheck(c, dev))
        return e;
    if (op == TAPE_UNLOAD) {
        seekTo(h, 0);
        unloadMedium(c->name);
    }
    return NO_ERROR;
}

const psDevFuncsT simFuncs = {
    sizeof(psDevFuncsT), simOpen, simClose, simRead, simWrite, simIoctl, simSeek,
    simGetTapeParameters, simSetTapeParameters, simSetTapePosition, simWriteTapemark,
    simPrepareTape,
};

}  // namespace

extern "C" __declspec(dllexport) const psDevFuncsT* simDeviceFuncs(void)
{
    return &simFuncs;
}
