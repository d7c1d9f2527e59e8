// libtevra.dll: the 8120 library manager client library, served from the
// simulator's description. A library is a line of kind lmcp; its volumes are
// vol_VOLSER=CATEGORY (hex) with attr_VOLSER=ATTR (hex, default the line's
// attr); mounted_DEVNO=VOLSER records what each drive holds, and the drive
// with that devno is loaded with the cartridge as the SCSI changer does.
#include <windows.h>
#include <errno.h>
#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>
#include <string>
#include "label/lmcpapi.h"
#include "sim/devices/simstate.h"

namespace {

std::mutex handleLock;
std::map<int, std::string> handles;   // handle -> library name
int nextHandle = 3;

bool libraryOf(int handle, std::string& name)
{
    std::lock_guard<std::mutex> g(handleLock);
    auto it = handles.find(handle);
    if (it == handles.end())
        return false;
    name = it->second;
    return true;
}

std::string volserOf(const char* field)
{
    std::string s(field, strnlen(field, LMCP_VOLSER_SIZE));
    size_t end = s.find_first_of(' ');
    return end == std::string::npos ? s : s.substr(0, end);
}

unsigned hexValue(const std::string& s, unsigned def)
{
    if (s.empty())
        return def;
    char* end = nullptr;
    unsigned long v = std::strtoul(s.c_str(), &end, 16);
    return *end ? def : (unsigned)v;
}

std::string hex4(unsigned v)
{
    char b[8];
    _snprintf(b, sizeof b, "%04X", v & 0xFFFF);
    b[sizeof b - 1] = '\0';
    return b;
}

void putBE(unsigned char* p, unsigned long v, int n)
{
    for (int i = n - 1; i >= 0; i--, v >>= 8)
        p[i] = (unsigned char)(v & 0xFF);
}

struct Library {
    SimDescription& desc;
    SimDevice& lib;

    bool known(const std::string& vol) const { return !lib.get("vol_" + vol).empty(); }
    unsigned category(const std::string& vol) const { return hexValue(lib.get("vol_" + vol), 0); }
    unsigned attr(const std::string& vol) const
    {
        return hexValue(lib.get("attr_" + vol), hexValue(lib.get("attr"), 0));
    }
    SimDevice* drive(int devno)
    {
        for (auto& d : desc.devices) {
            std::string k = d.get("kind");
            if ((k == "tape" || k == "optical") && !d.get("devno").empty() && d.num("devno") == devno)
                return &d;
        }
        return nullptr;
    }
    std::string mounted(int devno) const { return lib.get("mounted_" + std::to_string(devno)); }
    bool mountedElsewhere(const std::string& vol, int devno) const
    {
        for (const auto& a : lib.attrs)
            if (a.first.rfind("mounted_", 0) == 0 && a.second == vol && a.first != "mounted_" + std::to_string(devno))
                return true;
        return false;
    }
};

// Completion of one request: cc and, with a recovery action, four sense bytes.
struct Outcome {
    int cc = LMCP_CC_OK;
    int era = 0;
};

template <class Ret>
int finish(Ret& r, const Outcome& o)
{
    r.cc = o.cc;
    r.number_sense = 0;
    std::memset(r.sense_bytes, 0, sizeof r.sense_bytes);
    if (o.era) {
        r.number_sense = 4;
        r.sense_bytes[3] = (unsigned char)o.era;
    }
    if (o.cc == LMCP_CC_OK)
        return 0;
    errno = EIO;
    return -1;
}

// Runs a request on the library's state; a planned fault of `kind` wins.
template <class F>
Outcome onLibrary(const std::string& name, const char* kind, F fn)
{
    Outcome o;
    bool found = simWithDescription([&](SimDescription& d, bool& changed) {
        SimDevice* lib = d.find(name);
        if (!lib || lib->get("kind") != "lmcp")
            return false;
        if (simTakeFault(*lib, kind, o.cc, o.era)) {
            changed = true;
            return true;
        }
        Library l{d, *lib};
        o.cc = fn(l, changed);
        return true;
    });
    if (!found)
        o.cc = LMCP_CC_INVALID;
    return o;
}

int mount(const std::string& name, mtlmarg* a)
{
    std::string vol = volserOf(a->volser);
    Outcome o = onLibrary(name, "mount", [&](Library& l, bool& changed) {
        SimDevice* drv = l.drive(a->device);
        if (!drv)
            return LMCP_CC_NO_DEVICE;
        if (!l.known(vol))
            return LMCP_CC_NO_VOLUME;
        std::string held = l.mounted(a->device);
        if (held == vol)
            return LMCP_CC_ALREADY_DONE;
        if (!held.empty())
            return LMCP_CC_DRIVE_OCCUPIED;
        if (l.mountedElsewhere(vol, a->device))
            return LMCP_CC_VOLUME_IN_USE;
        if (a->source_cat && l.category(vol) != a->source_cat)
            return LMCP_CC_WRONG_CATEGORY;
        if (a->target_cat)
            l.lib.set("vol_" + vol, hex4(a->target_cat));
        l.lib.set("mounted_" + std::to_string(a->device), vol);
        simDriveHolds(*drv, vol);
        changed = true;
        return LMCP_CC_OK;
    });
    return finish(a->mtlmret, o);
}

int demount(const std::string& name, mtldarg* a)
{
    Outcome o = onLibrary(name, "demount", [&](Library& l, bool& changed) {
        SimDevice* drv = l.drive(a->device);
        if (!drv)
            return LMCP_CC_NO_DEVICE;
        std::string held = l.mounted(a->device);
        if (held.empty())
            return LMCP_CC_ALREADY_DONE;
        if (a->target_cat)
            l.lib.set("vol_" + held, hex4(a->target_cat));
        l.lib.set("mounted_" + std::to_string(a->device), "");
        simDriveHolds(*drv, "");
        changed = true;
        return LMCP_CC_OK;
    });
    return finish(a->mtldret, o);
}

int setCategory(const std::string& name, mtlsvcarg* a)
{
    std::string vol = volserOf(a->volser);
    Outcome o = onLibrary(name, "category", [&](Library& l, bool& changed) {
        if (!l.known(vol))
            return LMCP_CC_NO_VOLUME;
        if (a->source_cat && l.category(vol) != a->source_cat)
            return LMCP_CC_WRONG_CATEGORY;
        l.lib.set("vol_" + vol, hex4(a->target_cat));
        changed = true;
        return LMCP_CC_OK;
    });
    a->mtlsvcret.device = a->device;
    return finish(a->mtlsvcret, o);
}

void blankVolser(char* dst, const std::string& vol, size_t size)
{
    std::memset(dst, ' ', size);
    std::memcpy(dst, vol.data(), vol.size() < size ? vol.size() : size);
}

int query(const std::string& name, mtlqarg* a)
{
    mtlqret& r = a->mtlqret;
    std::memset(&r.info, 0, sizeof r.info);
    r.info.info_type = (unsigned char)a->sub_cmd;
    r.device = a->device;
    Outcome o;
    switch (a->sub_cmd) {
    case LMCP_QUERY_LIBRARY_DATA:
        o = onLibrary(name, "library", [](Library&, bool&) { return LMCP_CC_OK; });
        break;
    case LMCP_QUERY_VOLUME_DATA: {
        std::string vol = volserOf(a->volser);
        o = onLibrary(name, "volume", [&](Library& l, bool&) {
            if (!l.known(vol))
                return LMCP_CC_NO_VOLUME;
            auto* v = (lmcpVolumeData*)r.info.data;
            blankVolser(v->volser, vol, sizeof v->volser);
            putBE(v->category, l.category(vol), 2);
            return LMCP_CC_OK;
        });
        break;
    }
    case LMCP_QUERY_INVENTORY:
        o = onLibrary(name, "inventory", [&](Library& l, bool&) {
            auto* inv = (lmcpInventoryData*)r.info.data;
            std::memset(inv->inv_rec, ' ', sizeof inv->inv_rec);
            putBE(inv->category, a->source_cat, 2);
            unsigned long total = 0, placed = 0;
            unsigned long start = a->cat_seqno > 0 ? (unsigned long)a->cat_seqno : 0;
            for (const auto& at : l.lib.attrs) {
                if (at.first.rfind("vol_", 0) != 0 || hexValue(at.second, 0) != a->source_cat)
                    continue;
                std::string vol = at.first.substr(4);
                if (total++ < start || placed == LMCP_INVENTORY_RECORDS)
                    continue;
                lmcpInvRecord& rec = inv->inv_rec[placed++];
                putBE(rec.cat, a->source_cat, 2);
                blankVolser(rec.volser, vol, sizeof rec.volser);
                putBE(rec.attr, l.attr(vol), 2);
            }
            putBE(inv->no_vols, total, 4);
            putBE(inv->cat_seqno, start + placed, 4);
            return LMCP_CC_OK;
        });
        break;
    default:
        o.cc = LMCP_CC_INVALID;
    }
    return finish(r, o);
}

}  // namespace

extern "C" __declspec(dllexport) int open_tevraatl(const char* name)
{
    std::string lib = name ? name : "";
    int errorCode = 0, unused;
    bool known = simWithDescription([&](SimDescription& d, bool& changed) {
        SimDevice* dev = d.find(lib);
        if (!dev || dev->get("kind") != "lmcp")
            return false;
        if (simTakeFault(*dev, "open", errorCode, unused))
            changed = true;
        return true;
    });
    if (!known || errorCode) {
        errno = known ? errorCode : ENOENT;
        return -1;
    }
    std::lock_guard<std::mutex> g(handleLock);
    handles[nextHandle] = lib;
    return nextHandle++;
}

extern "C" __declspec(dllexport) int close_tevraatl(int handle)
{
    std::lock_guard<std::mutex> g(handleLock);
    if (!handles.erase(handle)) {
        errno = EBADF;
        return -1;
    }
    return 0;
}

extern "C" __declspec(dllexport) int ioctl_tevraatl(int handle, int function, void* argP)
{
    std::string name;
    if (!libraryOf(handle, name)) {
        errno = EBADF;
        return -1;
    }
    if (!argP) {
        errno = EFAULT;
        return -1;
    }
    switch ((unsigned)function) {
    case LMCP_MOUNT: return mount(name, (mtlmarg*)argP);
    case LMCP_DEMOUNT: return demount(name, (mtldarg*)argP);
    case LMCP_SET_CATEGORY: return setCategory(name, (mtlsvcarg*)argP);
    case LMCP_QUERY: return query(name, (mtlqarg*)argP);
    }
    errno = EINVAL;
    return -1;
}
