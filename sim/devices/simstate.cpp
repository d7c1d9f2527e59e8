#include "simstate.h"
#include <windows.h>
#include <cstdlib>

namespace {

// The same named mutex as QORASIM.DLL, so drive and library state never race.
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
    DWORD done = 0;
    BOOL ok = WriteFile(f, text.data(), (DWORD)text.size(), &done, nullptr) && done == text.size();
    ok = CloseHandle(f) && ok;
    if (!ok) {
        DeleteFileA(tmp.c_str());
        return false;
    }
    return MoveFileExA(tmp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING);
}

}  // namespace

std::string simStateDir()
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

bool simWithDescription(const std::function<bool(SimDescription&, bool&)>& fn)
{
    std::string dir = simStateDir();
    if (dir.empty())
        return false;
    std::string path = dir + "\\devices.txt";
    StateLock lock;
    std::string text, err;
    SimDescription d;
    if (!readText(path, text) || !simParseDescription(text, d, err))
        return false;
    bool changed = false;
    bool ok = fn(d, changed);
    if (changed)
        writeText(path, simFormatDescription(d));
    return ok;
}

bool simTakeFault(SimDevice& dev, const std::string& kind, int& code, int& extra)
{
    std::string key = "fault_" + kind, plan = dev.get(key);
    char* end = nullptr;
    long n = std::strtol(plan.c_str(), &end, 0);
    if (n <= 0 || *end != ':')
        return false;
    code = (int)std::strtol(end + 1, &end, 0);
    extra = *end == ':' ? (int)std::strtol(end + 1, nullptr, 0) : 0;
    std::string rest = plan.substr(plan.find(':'));
    dev.set(key, n > 1 ? std::to_string(n - 1) + rest : "");
    return true;
}

void simDriveHolds(SimDevice& drive, const std::string& cart)
{
    if (cart.empty()) {
        drive.set("loaded", "0");
        return;
    }
    drive.set("loaded", "1");
    if (drive.get("kind") == "optical") {
        drive.set("image", "cart_" + cart);
        drive.set("side", "A");
    } else {
        drive.set("image", "cart_" + cart + ".tap");
    }
}
