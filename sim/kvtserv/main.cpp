// Simulated QORA server: a real service under the service control manager
// ("QORA Server": start, stop, pause, continue) or a console program. While it
// runs it writes its console messages to console.log in the directory of the
// instance Server1 (simsvc.h), where "cmdpilot -console" shows them.
//   kvtserv              run (as the service, or in the console when started by hand)
//   kvtserv -install     register the service (demand start, system account)
//   kvtserv -remove      delete the service
#include <windows.h>

#include <cstdio>
#include <string>

#include "sim/simcommon/simsvc.h"

namespace {

SERVICE_STATUS_HANDLE g_statusHandle = nullptr;
SERVICE_STATUS g_status{};
HANDLE g_stopEvent = nullptr;
std::string g_console;

void say(const std::string& line) {
    simsvc::appendConsole(g_console, line);
    if (!g_statusHandle) std::printf("%s\n", line.c_str());
}

void report(DWORD state) {
    g_status.dwServiceType = SERVICE_WIN32_OWN_PROCESS;
    g_status.dwCurrentState = state;
    g_status.dwControlsAccepted =
        state == SERVICE_START_PENDING ? 0 : SERVICE_ACCEPT_STOP | SERVICE_ACCEPT_PAUSE_CONTINUE;
    g_status.dwWin32ExitCode = NO_ERROR;
    g_status.dwWaitHint = 2000;
    if (g_statusHandle) SetServiceStatus(g_statusHandle, &g_status);
}

DWORD WINAPI control(DWORD code, DWORD, void*, void*) {
    switch (code) {
    case SERVICE_CONTROL_STOP:
    case SERVICE_CONTROL_SHUTDOWN:
        report(SERVICE_STOP_PENDING);
        SetEvent(g_stopEvent);
        return NO_ERROR;
    case SERVICE_CONTROL_PAUSE:
        report(SERVICE_PAUSED);
        say("ANR0993I Server paused: no new sessions are accepted.");
        return NO_ERROR;
    case SERVICE_CONTROL_CONTINUE:
        report(SERVICE_RUNNING);
        say("ANR0994I Server continued: sessions are accepted again.");
        return NO_ERROR;
    case SERVICE_CONTROL_INTERROGATE:
        report(g_status.dwCurrentState);
        return NO_ERROR;
    default:
        return ERROR_CALL_NOT_IMPLEMENTED;
    }
}

void serve() {
    say("ANR0900I Processing options file kvtserv.opt.");
    say("ANR0916I QORA server (simulated) is ready for use.");
    report(SERVICE_RUNNING);
    WaitForSingleObject(g_stopEvent, INFINITE);
    say("ANR0991I Server shutdown complete.");
}

void WINAPI serviceMain(DWORD, LPSTR*) {
    g_statusHandle = RegisterServiceCtrlHandlerExA(simsvc::kServiceName, control, nullptr);
    if (!g_statusHandle) return;
    report(SERVICE_START_PENDING);
    serve();
    report(SERVICE_STOPPED);
}

BOOL WINAPI onConsoleBreak(DWORD) {
    SetEvent(g_stopEvent);
    return TRUE;
}

int install() {
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    SC_HANDLE scm = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
    if (!scm) return (int)GetLastError();
    SC_HANDLE svc = CreateServiceA(scm, simsvc::kServiceName, simsvc::kServiceName, SERVICE_ALL_ACCESS,
                                   SERVICE_WIN32_OWN_PROCESS, SERVICE_DEMAND_START, SERVICE_ERROR_NORMAL,
                                   path, nullptr, nullptr, nullptr, nullptr, nullptr);
    DWORD err = svc ? 0 : GetLastError();
    if (svc) CloseServiceHandle(svc);
    CloseServiceHandle(scm);
    if (err == ERROR_SERVICE_EXISTS) err = 0;
    if (err) std::printf("kvtserv: service not installed, error %lu\n", err);
    else std::printf("kvtserv: service \"%s\" installed\n", simsvc::kServiceName);
    return (int)err;
}

int removeService() {
    SC_HANDLE scm = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
    if (!scm) return (int)GetLastError();
    SC_HANDLE svc = OpenServiceA(scm, simsvc::kServiceName, SERVICE_ALL_ACCESS | DELETE);
    DWORD err = 0;
    if (!svc) {
        err = GetLastError();
    } else {
        SERVICE_STATUS st;
        ControlService(svc, SERVICE_CONTROL_STOP, &st);
        if (!DeleteService(svc)) err = GetLastError();
        CloseServiceHandle(svc);
    }
    CloseServiceHandle(scm);
    if (err == ERROR_SERVICE_DOES_NOT_EXIST) err = 0;
    return (int)err;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1 && _stricmp(argv[1], "-install") == 0) return install();
    if (argc > 1 && _stricmp(argv[1], "-remove") == 0) return removeService();
    g_console = simsvc::instanceDirectory(simsvc::kDefaultInstance) + "console.log";
    g_stopEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    SERVICE_TABLE_ENTRYA table[] = {{const_cast<char*>(simsvc::kServiceName), serviceMain}, {nullptr, nullptr}};
    if (StartServiceCtrlDispatcherA(table)) return 0;
    if (GetLastError() != ERROR_FAILED_SERVICE_CONTROLLER_CONNECT) return 1;
    // Started by hand: run in the console until Ctrl+C or Ctrl+Break.
    SetConsoleCtrlHandler(onConsoleBreak, TRUE);
    serve();
    return 0;
}
