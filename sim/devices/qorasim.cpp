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

namespace {

struct Ctx {
    std::string name;          // device name in the description
    std::string kind;          // tape or optical
    bool writable = false;
    DWORD lastError = 0;
};

std::mutex ctxLock;
std::map<HANDLE, Ctx> contexts;

std::string stateDir()
{
    char buf[MAX_PATH];
    DWORD n = GetEnvironmentVariableA("QORA_SIM_DIR", buf, sizeof buf);
    if (n > 0 && n < sizeof buf)
        return buf;
    HKEY k;
    std::string dir;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "HARDWARE\\DEVICEMAP\\QoraSim", 0, KEY_READ, &k) == 0) {
        DWORD type = 0, len = sizeof buf - 1;
        if (RegQueryValueExA(k, "StateDir", nullptr, &type, (BYTE*)buf, &len) == 0 && type == REG_SZ) {
            buf[len] = '\0';
            dir = buf;
        }
        RegCloseKey(k);
    }
    return dir;
}

std::string descPath() { return stateDir() + "\\devices.txt"; }

// The description is shared by every process using the devices.
struct StateLock {
    HANDLE m;
    StateLock() : m(CreateMutexA(nullptr, FALSE, "qorasim-state")) { WaitForSingleObject(m, INFINITE); }
    ~StateLock() { ReleaseMutex(m); CloseHandle(m); }
};

bool readText(const std::string& path, std::string& out)
{
    HANDLE f = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE)
        return false;
    out.clear();
    char buf[4096];
    DWORD got;
    while (ReadFile(f, buf, sizeof buf, &got, nullptr) && got)
        out.append(buf, got);
    CloseHandle(f);
    return true;
}

bool writeText(const std::string& path, const std::string& text)
{
    std::string tmp = path + ".new";
    HANDLE f = CreateFileA(tmp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE)
        return false;
    DWORD done;
    BOOL ok = WriteFile(f, text.data(), (DWORD)text.size(), &done, nullptr);
    CloseHandle(f);
    return ok && MoveFileExA(tmp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING);
}

// Runs `fn` on the device's description entry; saves when it returns true
// in `changed`.
template <class F>
bool withDevice(const std::string& name, F fn)
{
    StateLock lock;
    std::string text, err;
    SimDescription d;
    if (!readText(descPath(), text) || !simParseDescription(text, d, err))
        return false;
    SimDevice* dev = d.find(name);
    if (!dev)
        return false;
    bool changed = false;
    fn(*dev, changed);
    if (changed)
        writeText(descPath(), simFormatDescription(d));
    return true;
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
        return stateDir() + "\\" + base + "." + d.get("side", "A") + ".img";
    }
    return stateDir() + "\\" + d.get("image", d.name + ".tap");
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
    if (!found || (kind != "tape" && kind != "optical")) {
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
            withDevice(c->name, [](SimDevice& d, bool& ch) { d.set("loaded", "0"); ch = true; });
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
        withDevice(c->name, [](SimDevice& d, bool& ch) { d.set("loaded", "0"); ch = true; });
        return TRUE;
    }
    return fail(c, ERROR_INVALID_FUNCTION);
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
        es->last_compcode = c->lastError ? 1 : 0;
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
        withDevice(c->name, [](SimDevice& d, bool& ch) { d.set("loaded", "0"); ch = true; });
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
