#include "sim/simcommon/simsvc.h"

#include <windows.h>

#include <vector>

namespace simsvc {

bool serverRunning() {
    SC_HANDLE scm = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT);
    if (!scm) return false;
    SC_HANDLE svc = OpenServiceA(scm, kServiceName, SERVICE_QUERY_STATUS);
    bool running = false;
    if (svc) {
        SERVICE_STATUS st{};
        if (QueryServiceStatus(svc, &st))
            running = st.dwCurrentState == SERVICE_RUNNING || st.dwCurrentState == SERVICE_START_PENDING;
        CloseServiceHandle(svc);
    }
    CloseServiceHandle(scm);
    return running;
}

std::string serverDirectory() {
    std::string dir = ".\\";
    SC_HANDLE scm = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT);
    if (!scm) return dir;
    SC_HANDLE svc = OpenServiceA(scm, kServiceName, SERVICE_QUERY_CONFIG);
    if (svc) {
        DWORD need = 0;
        QueryServiceConfigA(svc, nullptr, 0, &need);
        std::vector<char> buf(need + 16);
        auto* cfg = reinterpret_cast<QUERY_SERVICE_CONFIGA*>(buf.data());
        if (need && QueryServiceConfigA(svc, cfg, (DWORD)buf.size(), &need) && cfg->lpBinaryPathName) {
            std::string p = cfg->lpBinaryPathName;
            if (!p.empty() && p[0] == '"') {
                size_t e = p.find('"', 1);
                p = p.substr(1, e == std::string::npos ? std::string::npos : e - 1);
            }
            size_t slash = p.find_last_of("\\/");
            if (slash != std::string::npos) dir = p.substr(0, slash + 1);
        }
        CloseServiceHandle(svc);
    }
    CloseServiceHandle(scm);
    return dir;
}

std::string instanceDirectory(const std::string& instance) {
    std::string key = "SOFTWARE\\Tevra\\QORA\\CurrentVersion\\Server\\" + instance;
    char path[MAX_PATH];
    DWORD size = sizeof path;
    if (RegGetValueA(HKEY_LOCAL_MACHINE, key.c_str(), "Path", RRF_RT_REG_SZ, nullptr, path, &size) == ERROR_SUCCESS &&
        path[0]) {
        std::string dir = path;
        if (dir.back() != '\\') dir += '\\';
        if (GetFileAttributesA(dir.c_str()) != INVALID_FILE_ATTRIBUTES) return dir;
    }
    return serverDirectory();
}

void appendConsole(const std::string& path, const std::string& line) {
    HANDLE h = CreateFileA(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_ALWAYS, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return;
    SYSTEMTIME t;
    GetLocalTime(&t);
    char stamp[32];
    _snprintf(stamp, sizeof stamp, "%02u/%02u/%04u %02u:%02u:%02u ", t.wMonth, t.wDay, t.wYear, t.wHour,
              t.wMinute, t.wSecond);
    std::string s = stamp + line + "\r\n";
    DWORD w = 0;
    WriteFile(h, s.data(), (DWORD)s.size(), &w, nullptr);
    CloseHandle(h);
}

}  // namespace simsvc
