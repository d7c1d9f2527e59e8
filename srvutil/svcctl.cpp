#include "srvutil/svcctl.h"

#include <vector>

#include "common/cmd/textfmt.h"
#include "common/framework/handle.h"

namespace {

// Records a failed Windows call; a failure without a system code gets the
// fixed one so callers never see success.
DWORD fail(ServiceRequest& req, DWORD code) {
    req.ok = 0;
    req.lastError = code ? code : SVC_ERROR_UNEXPECTED_VALUE;
    return req.ok;
}

DWORD failLast(ServiceRequest& req) { return fail(req, GetLastError()); }

bool readConfig(ServiceRequest& req, std::vector<BYTE>& buf) {
    DWORD need = 0;
    if (!QueryServiceConfigW(req.service, nullptr, 0, &need) && GetLastError() != ERROR_INSUFFICIENT_BUFFER) {
        failLast(req);
        return false;
    }
    try {
        buf.assign(need ? need : sizeof(QUERY_SERVICE_CONFIGW), 0);
    } catch (const std::bad_alloc&) {
        fail(req, ERROR_NOT_ENOUGH_MEMORY);
        return false;
    }
    if (!QueryServiceConfigW(req.service, reinterpret_cast<QUERY_SERVICE_CONFIGW*>(buf.data()), (DWORD)buf.size(),
                             &need)) {
        failLast(req);
        return false;
    }
    return true;
}

bool isDriver(DWORD serviceType) { return (serviceType & (SERVICE_KERNEL_DRIVER | SERVICE_FILE_SYSTEM_DRIVER)) != 0; }

}  // namespace

const wchar_t* svcStartTypeText(DWORD startType) {
    static const wchar_t* const texts[] = {L"Boot", L"System", L"Automatic", L"Manual", L"Disabled"};
    return startType < 5 ? texts[startType] : nullptr;
}

const wchar_t* svcTypeText(DWORD serviceType) {
    switch (serviceType & 0x1B) {
    case SERVICE_KERNEL_DRIVER: return L"Driver";
    case SERVICE_WIN32_OWN_PROCESS: return L"Service";
    default: return nullptr;
    }
}

const wchar_t* svcStateText(DWORD state) {
    switch (state) {
    case SERVICE_STOPPED:
    case SERVICE_STOP_PENDING: return L"Stopped";
    case SERVICE_START_PENDING:
    case SERVICE_RUNNING: return L"Running";
    case SERVICE_CONTINUE_PENDING: return L"Continue Pending";
    case SERVICE_PAUSE_PENDING: return L"Pause Pending";
    case SERVICE_PAUSED: return L"Paused";
    default: return nullptr;
    }
}

std::wstring svcErrorText(DWORD code) {
    struct Entry {
        DWORD code;
        const wchar_t* text;
    };
    static const Entry table[] = {
        {2, L"The system cannot find kvtsvc.exe in the path specified.\nRemove and then install the service using remove.exe and install.exe int the qora\\utils directory.\n"},
        {3, L"The service binary file could not be found.\n"},
        {5, L"The requested access was denied.\n"},
        {6, L"The specified handle is invalid.\n"},
        {20, L"The system cannot find the device specified.\n"},
        {21, L"The device is not ready.\n"},
        {22, L"The device does not recognize the command.\n"},
        {87, L"A parameter that was specified is invalid.\n"},
        {122, L"There is more service configuration information than would fit into the\nlpServiceConfig buffer. The number of bytes required to get all the\ninformation is returned in the pcbBytesNeeded parameter. Nothing is\nwritten to the lpServiceConfig buffer.\n"},
        {123, L"The specified service name is invalid.\n"},
        {1051, L"A stop control has been sent to a service which other running services are dependent on.\n"},
        {1052, L"The requested control is not valid for this service.\n"},
        {1053, L"The service did not respond to the start request in a timely fashion.\n"},
        {1054, L"A thread could not be created for the Win32 service.\n"},
        {1055, L"The database is locked.\n"},
        {1056, L"An instance of the service is already running.\n"},
        {1057, L"The account name is invalid or does not exist.\n"},
        {1058, L"The service has been disabled.\n"},
        {1059, L"Circular service dependency was specified.\n"},
        {1060, L"The specified service does not exist as an installed service.\n"},
        {1061, L"The service cannot accept control messages at this time.\n"},
        {1062, L"The service has not been started.\n"},
        {1063, L"The service process could not connect to the service controller.\n"},
        {1064, L"An exception occurred in the service when handling the control request.\n"},
        {1065, L"The specified database does not exist.\n"},
        {1066, L"The service has returned a service-specific error code.\n"},
        {1067, L"The process terminated unexpectedly.\n"},
        {1068, L"The service depends on another service that has failed to start.\n"},
        {1069, L"The service could not be logged on.\n"},
        {1070, L"After starting, the service hung in a start-pending state.\n"},
        {1071, L"The specified service database lock is invalid.\n"},
        {1072, L"The specified service has been marked for deletion.\n"},
        {1073, L"The specified service already exists.\n"},
        {1074, L"The system is currently running with the last-known-good configuration.\n"},
        {1075, L"The dependency service does not exist or has been marked for deletion.\n"},
        {1076, L"The current boot has already been accepted for use as the last-known-good control set.\n"},
        {1077, L"No attempts to start the service have been made since the last boot.\n"},
        {1078, L"The name is already in use as either a service name or a service display name.\n"},
    };
    for (const Entry& e : table)
        if (e.code == code) return e.text;
    return formatString(L"Unknown error. RC: %u\n", code);
}

void svcInitRequest(ServiceRequest& req) {
    req.scManager = nullptr;
    req.service = nullptr;
    req.ok = 1;
    req.lastError = 0;
    req.startType = 0;
    req.state = 0;
    req.serviceType = 0;
    req.controlsAccepted = 0;
    req.isLocalSystem = 1;
    req.changeAccount = 1;
}

DWORD svcOpenManager(ServiceRequest& req) {
    req.scManager = OpenSCManagerW(req.machine.empty() ? nullptr : req.machine.c_str(), nullptr,
                                   SC_MANAGER_ALL_ACCESS);
    return req.scManager ? req.ok : failLast(req);
}

DWORD svcOpenService(ServiceRequest& req) {
    if (!svcOpenManager(req)) return req.ok;
    req.service = OpenServiceW(req.scManager, req.serviceName.c_str(), SERVICE_ALL_ACCESS);
    return req.service ? req.ok : failLast(req);
}

DWORD svcQueryStatus(ServiceRequest& req) {
    SERVICE_STATUS st{};
    if (!QueryServiceStatus(req.service, &st)) return failLast(req);
    req.state = st.dwCurrentState;
    req.serviceType = st.dwServiceType;
    req.controlsAccepted = st.dwControlsAccepted;
    return req.ok;
}

DWORD svcQueryConfig(ServiceRequest& req) {
    std::vector<BYTE> buf;
    if (!readConfig(req, buf)) return req.ok;
    const auto* cfg = reinterpret_cast<const QUERY_SERVICE_CONFIGW*>(buf.data());
    req.serviceType = cfg->dwServiceType;
    req.startType = cfg->dwStartType;
    req.binaryPath = cfg->lpBinaryPathName ? cfg->lpBinaryPathName : L"";
    req.account = cfg->lpServiceStartName ? cfg->lpServiceStartName : L"";
    // ".\LocalSystem" is what a change to the system account stores.
    if (req.account.empty() || _wcsicmp(req.account.c_str(), L"LocalSystem") == 0 ||
        _wcsicmp(req.account.c_str(), L".\\LocalSystem") == 0) {
        req.account = L"LocalSystem";
        req.isLocalSystem = 1;
    } else {
        req.isLocalSystem = 0;
    }
    const wchar_t* text = svcStartTypeText(req.startType);
    if (!text) return fail(req, 0);
    req.startTypeText = text;
    text = svcTypeText(req.serviceType);
    req.typeText = text ? text : L"Unknown";
    if (!text) return fail(req, 0);
    if (!svcQueryStatus(req)) return req.ok;
    text = svcStateText(req.state);
    req.stateText = text ? text : L"Unknown";
    if (!text) return fail(req, 0);
    return svcQueryStatus(req);
}

DWORD svcStart(ServiceRequest& req) {
    if (!svcQueryStatus(req)) return req.ok;
    if (req.state == SERVICE_STOPPED) {
        if (!StartServiceW(req.service, 0, nullptr)) return failLast(req);
    } else if (req.state == SERVICE_PAUSED) {
        if (!svcContinue(req)) return req.ok;
    }
    return svcQueryStatus(req);
}

static DWORD sendControl(ServiceRequest& req, DWORD control) {
    SERVICE_STATUS st{};
    if (!ControlService(req.service, control, &st)) return failLast(req);
    return svcQueryStatus(req);
}

DWORD svcStop(ServiceRequest& req) { return sendControl(req, SERVICE_CONTROL_STOP); }
DWORD svcPause(ServiceRequest& req) { return sendControl(req, SERVICE_CONTROL_PAUSE); }
DWORD svcContinue(ServiceRequest& req) { return sendControl(req, SERVICE_CONTROL_CONTINUE); }

// The driver's image path is restored after every change; only an existing
// key is touched, so a missing driver is never half-created.
static void restoreDriverImagePath(const std::wstring& machine) {
    fw::UniqueKey hive, key;
    if (RegConnectRegistryW(machine.empty() ? nullptr : machine.c_str(), HKEY_LOCAL_MACHINE, hive.put()) != 0)
        return;
    if (RegOpenKeyExW(hive.get(), L"System\\CurrentControlSet\\Services\\QoraScsi", 0, KEY_SET_VALUE, key.put()) != 0)
        return;
    static const wchar_t path[] = L"system32\\drivers\\qorascsi.sys";
    RegSetValueExW(key.get(), L"ImagePath", 0, REG_SZ, reinterpret_cast<const BYTE*>(path), sizeof path);
}

DWORD svcChangeConfig(ServiceRequest& req) {
    if (svcOpenService(req)) {
        std::vector<BYTE> buf;
        if (readConfig(req, buf)) {
            DWORD type = reinterpret_cast<const QUERY_SERVICE_CONFIGW*>(buf.data())->dwServiceType;
            const wchar_t* account = nullptr;
            const wchar_t* password = nullptr;
            if (req.changeAccount && !isDriver(type)) {
                account = req.isLocalSystem ? L".\\LocalSystem" : req.account.c_str();
                password = req.isLocalSystem ? L"" : req.password.c_str();
            }
            if (!ChangeServiceConfigW(req.service, type, req.startType, SERVICE_NO_CHANGE, nullptr, nullptr, nullptr,
                                      nullptr, account, password, nullptr))
                failLast(req);
        }
    }
    if (_wcsicmp(req.serviceName.c_str(), L"QORAScsi") == 0) restoreDriverImagePath(req.machine);
    svcCloseHandles(req);
    return req.ok;
}

void svcCloseHandles(ServiceRequest& req) {
    if (req.service) CloseServiceHandle(req.service);
    if (req.scManager) CloseServiceHandle(req.scManager);
    req.service = nullptr;
    req.scManager = nullptr;
}

void svcDescribeError(ServiceRequest& req) { req.errorText = svcErrorText(req.lastError); }

DWORD svcIsRunning(const std::wstring& machine, const std::wstring& serviceName, std::wstring& errorText,
                   bool& running) {
    ServiceRequest req;
    svcInitRequest(req);
    req.machine = machine;
    req.serviceName = serviceName;
    if (svcOpenService(req)) svcQueryConfig(req);
    DWORD result = req.ok ? 0 : req.lastError;
    if (!req.ok) {
        svcDescribeError(req);
        errorText = req.errorText;
    }
    running = req.ok && (req.state == SERVICE_START_PENDING || req.state == SERVICE_RUNNING);
    svcCloseHandles(req);
    return result;
}
