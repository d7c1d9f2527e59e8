// simdev: creates and inspects the simulated devices and publishes them in
// the SCSI device map (volatile keys, so it runs after the wineserver starts).
//   simdev create DIR
//   simdev add DIR NAME kind=tape|optical|... key=value ...
//   simdev set DIR NAME key=value ...
//   simdev show DIR NAME
//   simdev fill DIR LIBRARY COUNT PREFIX   barcoded cartridges into the first slots
//   simdev publish DIR
//   simdev unpublish
#include <windows.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include "simdesc.h"
#include "label/utils.h"

static bool readFile(const std::string& path, std::string& out)
{
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f)
        return false;
    out.clear();
    char buf[4096];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0)
        out.append(buf, n);
    std::fclose(f);
    return true;
}

static bool writeFile(const std::string& path, const std::string& text)
{
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    bool ok = std::fwrite(text.data(), 1, text.size(), f) == text.size();
    return std::fclose(f) == 0 && ok;
}

static int load(const std::string& dir, SimDescription& d)
{
    std::string text, err;
    if (!readFile(dir + "\\devices.txt", text)) {
        std::fprintf(stderr, "simdev: no devices.txt in %s\n", dir.c_str());
        return 2;
    }
    if (!simParseDescription(text, d, err)) {
        std::fprintf(stderr, "simdev: devices.txt: %s\n", err.c_str());
        return 2;
    }
    return 0;
}

static int save(const std::string& dir, const SimDescription& d)
{
    HANDLE m = CreateMutexA(nullptr, FALSE, "qorasim-state");
    WaitForSingleObject(m, INFINITE);
    bool ok = writeFile(dir + "\\devices.txt", simFormatDescription(d));
    ReleaseMutex(m);
    CloseHandle(m);
    if (!ok) {
        std::fprintf(stderr, "simdev: cannot write %s\\devices.txt\n", dir.c_str());
        return 2;
    }
    return 0;
}

static int setAttrs(SimDevice& dev, int argc, char** argv, int from)
{
    for (int i = from; i < argc; i++) {
        const char* eq = std::strchr(argv[i], '=');
        if (!eq || eq == argv[i] || std::strchr(argv[i], ' ')) {
            std::fprintf(stderr, "simdev: expected key=value, got %s\n", argv[i]);
            return 2;
        }
        dev.set(std::string(argv[i], (size_t)(eq - argv[i])), eq + 1);
    }
    return 0;
}

static void showTape(const std::string& path)
{
    std::string image;
    std::vector<SimTapeItem> items;
    if (!readFile(path, image) || image.empty()) {
        std::printf("empty\n");
        return;
    }
    if (!simDecodeTape(image, items)) {
        std::printf("damaged image\n");
        return;
    }
    for (const auto& it : items) {
        if (it.mark) {
            std::printf("mark\n");
            continue;
        }
        char name[TAPE_VOLNAME_MAX + 1];
        if (labParseVol1((const unsigned char*)it.data.data(), it.data.size(), name))
            std::printf("record %zu VOL1 %s\n", it.data.size(), name);
        else
            std::printf("record %zu\n", it.data.size());
    }
    std::printf("end\n");
}

static void showOptical(const std::string& base)
{
    for (const char* side : {"A", "B"}) {
        std::string image;
        char name[OPT_VOLNAME_MAX + 1];
        if (readFile(base + "." + side + ".img", image) && image.size() >= OPT_SECTOR_SIZE
            && labParseOpticalSector((const unsigned char*)image.data(), image.size(), name))
            std::printf("side %s: label %s side-byte %d\n", side, name, (unsigned char)image[80]);
        else
            std::printf("side %s: no label\n", side);
    }
}

static LONG createVolatile(HKEY parent, const std::string& sub, HKEY* out)
{
    return RegCreateKeyExA(parent, sub.c_str(), 0, nullptr, REG_OPTION_VOLATILE, KEY_ALL_ACCESS,
                           nullptr, out, nullptr);
}

static void setSz(HKEY k, const char* name, const std::string& v)
{
    RegSetValueExA(k, name, 0, REG_SZ, (const BYTE*)v.c_str(), (DWORD)v.size() + 1);
}

static std::string padded(const std::string& s, size_t n)
{
    std::string r = s.substr(0, n);
    r.resize(n, ' ');
    return r;
}

static int publish(const std::string& dir, SimDescription& d)
{
    HKEY root;
    if (createVolatile(HKEY_LOCAL_MACHINE, "HARDWARE\\DEVICEMAP\\QoraSim", &root) != 0) {
        std::fprintf(stderr, "simdev: cannot create HARDWARE\\DEVICEMAP\\QoraSim\n");
        return 2;
    }
    char full[MAX_PATH];
    GetFullPathNameA(dir.c_str(), sizeof full, full, nullptr);
    setSz(root, "StateDir", full);
    RegCloseKey(root);
    for (const SimDevice& dev : d.devices) {
        if (dev.get("target").empty())
            continue;
        std::string kind = dev.get("kind");
        std::string path = "HARDWARE\\DEVICEMAP\\Scsi";
        const std::string levels[] = {"Scsi Port " + dev.get("port", "0"), "Scsi Bus " + dev.get("bus", "0")};
        HKEY k = nullptr;
        for (const std::string& l : levels) {
            path += "\\" + l;
            if (createVolatile(HKEY_LOCAL_MACHINE, path, &k) != 0) {
                std::fprintf(stderr, "simdev: cannot create %s\n", path.c_str());
                return 2;
            }
            RegCloseKey(k);
        }
        // The adapter itself, as the system lists it under every bus.
        if (createVolatile(HKEY_LOCAL_MACHINE, path + "\\Initiator Id 7", &k) == 0)
            RegCloseKey(k);
        path += "\\Target Id " + dev.get("target");
        if (createVolatile(HKEY_LOCAL_MACHINE, path, &k) != 0)
            return 2;
        RegCloseKey(k);
        path += "\\Logical Unit Id " + dev.get("lun", "0");
        if (createVolatile(HKEY_LOCAL_MACHINE, path, &k) != 0)
            return 2;
        std::string type = kind == "tape" ? "TapePeripheral"
                         : kind == "optical" ? "OpticalDiskPeripheral"
                         : kind == "changer" ? "MediumChangerPeripheral" : dev.get("type", "OtherPeripheral");
        setSz(k, "Type", dev.get("type", type));
        setSz(k, "Identifier", padded(dev.get("vendor", "QSIM"), 8) + padded(dev.get("product", "SIMDRIVE"), 16)
                                   + padded(dev.get("revision", "1.0"), 4));
        setSz(k, "DeviceName", dev.get("devicename", dev.name));
        if (dev.get("owned", "1") == "1") {
            setSz(k, "QORADriver", "QoraScsi");
            setSz(k, "DEVCLASS", dev.get("devclass", kind == "optical" ? "OPTICAL"
                                                     : kind == "changer" ? "LIBRARY" : "TAPE"));
        }
        RegCloseKey(k);
        std::printf("%s -> %s\n", dev.name.c_str(), path.c_str());
    }
    return 0;
}

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: simdev create|add|set|show|publish|unpublish ...\n");
        return 2;
    }
    std::string cmd = argv[1];
    if (cmd == "unpublish") {
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, "HARDWARE\\DEVICEMAP\\QoraSim");
        HKEY k;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "HARDWARE\\DEVICEMAP\\Scsi", 0, KEY_ALL_ACCESS, &k) == 0) {
            char name[256];
            while (RegEnumKeyA(k, 0, name, sizeof name) == 0 && RegDeleteTreeA(k, name) == 0) {
            }
            RegCloseKey(k);
        }
        return 0;
    }
    if (argc < 3) {
        std::fprintf(stderr, "simdev: %s needs a state directory\n", cmd.c_str());
        return 2;
    }
    std::string dir = argv[2];
    SimDescription d;
    if (cmd == "create") {
        CreateDirectoryA(dir.c_str(), nullptr);
        d.comments.push_back("# simulated devices: NAME kind=... key=value ...");
        return save(dir, d);
    }
    if (int rc = load(dir, d))
        return rc;
    if (cmd == "publish")
        return publish(dir, d);
    if (argc < 4) {
        std::fprintf(stderr, "simdev: %s needs a device name\n", cmd.c_str());
        return 2;
    }
    std::string name = argv[3];
    SimDevice* dev = d.find(name);
    if (cmd == "add") {
        if (dev) {
            std::fprintf(stderr, "simdev: %s exists\n", name.c_str());
            return 2;
        }
        SimDevice n;
        n.name = name;
        if (int rc = setAttrs(n, argc, argv, 4))
            return rc;
        if (n.get("kind").empty()) {
            std::fprintf(stderr, "simdev: %s needs kind=\n", name.c_str());
            return 2;
        }
        d.devices.push_back(n);
        return save(dir, d);
    }
    if (!dev) {
        std::fprintf(stderr, "simdev: no device %s\n", name.c_str());
        return 2;
    }
    if (cmd == "set") {
        if (int rc = setAttrs(*dev, argc, argv, 4))
            return rc;
        return save(dir, d);
    }
    if (cmd == "fill" && argc == 6) {
        int count = std::atoi(argv[4]);
        int base = (int)dev->num("slotbase", 1000), slots = (int)dev->num("slots", 10);
        if (count < 0 || count > slots) {
            std::fprintf(stderr, "simdev: %s has %d slots\n", name.c_str(), slots);
            return 2;
        }
        for (int i = 0; i < count; i++) {
            char code[64];
            std::snprintf(code, sizeof code, "%s%03d", argv[5], i + 1);
            dev->set("elem" + std::to_string(base + i), code);
        }
        return save(dir, d);
    }
    if (cmd == "show") {
        std::string kind = dev->get("kind");
        if (kind == "tape")
            showTape(dir + "\\" + dev->get("image", dev->name + ".tap"));
        else if (kind == "optical")
            showOptical(dir + "\\" + dev->get("image", dev->name));
        for (const auto& a : dev->attrs)
            if (kind == "changer" && a.first.rfind("elem", 0) == 0)
                std::printf("element %s: %s\n", a.first.c_str() + 4, a.second.c_str());
        std::printf("%s\n", simFormatDescription(SimDescription{{}, {*dev}}).c_str());
        return 0;
    }
    std::fprintf(stderr, "simdev: unknown command %s\n", cmd.c_str());
    return 2;
}
