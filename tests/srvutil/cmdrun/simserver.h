// The simulated server service for tests: installed from bin\ when the
// prefix has none, so the tests run in a fresh prefix too.
#pragma once
#include <windows.h>

#include <string>

#include "tests/support/testsupport.h"

namespace simserver {

inline const wchar_t kName[] = L"QORA Server";

inline void ensureInstalled() {
    SC_HANDLE scm = OpenSCManagerW(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
    if (!scm) return;
    SC_HANDLE svc = OpenServiceW(scm, kName, SERVICE_QUERY_STATUS);
    if (!svc) {
        std::wstring path = L"\"" + qtest::binDir() + L"kvtserv.exe\"";
        svc = CreateServiceW(scm, kName, kName, SERVICE_ALL_ACCESS, SERVICE_WIN32_OWN_PROCESS, SERVICE_DEMAND_START,
                             SERVICE_ERROR_NORMAL, path.c_str(), nullptr, nullptr, nullptr, nullptr, nullptr);
    }
    if (svc) CloseServiceHandle(svc);
    CloseServiceHandle(scm);
}

inline DWORD state() {
    DWORD st = 0;
    SC_HANDLE scm = OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT);
    SC_HANDLE svc = scm ? OpenServiceW(scm, kName, SERVICE_QUERY_STATUS) : nullptr;
    SERVICE_STATUS s{};
    if (svc && QueryServiceStatus(svc, &s)) st = s.dwCurrentState;
    if (svc) CloseServiceHandle(svc);
    if (scm) CloseServiceHandle(scm);
    return st;
}

// Sends a control or starts the service, then waits for `want`.
inline bool bringTo(DWORD want) {
    if (state() == want) return true;
    SC_HANDLE scm = OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT);
    SC_HANDLE svc = scm ? OpenServiceW(scm, kName, SERVICE_ALL_ACCESS) : nullptr;
    if (svc) {
        SERVICE_STATUS s{};
        if (want == SERVICE_RUNNING && state() == SERVICE_STOPPED) StartServiceW(svc, 0, nullptr);
        else if (want == SERVICE_RUNNING) ControlService(svc, SERVICE_CONTROL_CONTINUE, &s);
        else if (want == SERVICE_STOPPED) ControlService(svc, SERVICE_CONTROL_STOP, &s);
        else if (want == SERVICE_PAUSED) ControlService(svc, SERVICE_CONTROL_PAUSE, &s);
        CloseServiceHandle(svc);
    }
    if (scm) CloseServiceHandle(scm);
    return qtest::waitFor([&] { return state() == want; }, std::chrono::seconds(15));
}

}  // namespace simserver
