// Service control layer: one request record wrapping the service control
// manager for the server, the SCSI driver and the scheduler services, local
// or on another computer. It shows nothing; callers display `errorText`.
#pragma once
#include <windows.h>
#include <string>

struct ServiceRequest {
    SC_HANDLE scManager = nullptr;
    SC_HANDLE service = nullptr;
    std::wstring machine;      // empty: the local computer
    std::wstring serviceName;  // key name
    std::wstring account;      // to set, or as read ("LocalSystem" for the system account)
    std::wstring password;     // to set; never read back
    std::wstring binaryPath;
    std::wstring startTypeText;
    std::wstring typeText;
    std::wstring stateText;
    std::wstring errorText;
    DWORD isLocalSystem = 1;
    DWORD changeAccount = 1;
    DWORD ok = 1;              // stays 0 once a step has failed
    DWORD lastError = 0;
    DWORD startType = 0;
    DWORD state = 0;
    DWORD serviceType = 0;
    DWORD controlsAccepted = 0;
};

// Code recorded when a step fails without a system error (a start type, kind
// or state outside the tables), so a failure never reads as code 0.
constexpr DWORD SVC_ERROR_UNEXPECTED_VALUE = ERROR_INVALID_DATA;

void svcInitRequest(ServiceRequest& req);
DWORD svcOpenManager(ServiceRequest& req);
DWORD svcOpenService(ServiceRequest& req);   // opens the manager first
DWORD svcQueryStatus(ServiceRequest& req);
DWORD svcQueryConfig(ServiceRequest& req);   // configuration, status and every text
DWORD svcStart(ServiceRequest& req);         // starts a stopped service, continues a paused one
DWORD svcStop(ServiceRequest& req);
DWORD svcPause(ServiceRequest& req);
DWORD svcContinue(ServiceRequest& req);
// Opens the service itself, sets the start type and, with changeAccount, the
// logon account (never for a driver); closes the handles.
DWORD svcChangeConfig(ServiceRequest& req);
void svcCloseHandles(ServiceRequest& req);
void svcDescribeError(ServiceRequest& req);

// One complete query: 0, or the Windows error code with its text in errorText.
DWORD svcIsRunning(const std::wstring& machine, const std::wstring& serviceName, std::wstring& errorText,
                   bool& running);

// The display texts of the tables.
const wchar_t* svcStartTypeText(DWORD startType);  // null outside 0..4
const wchar_t* svcTypeText(DWORD serviceType);     // null for an unknown kind
const wchar_t* svcStateText(DWORD state);          // null outside 1..7
std::wstring svcErrorText(DWORD code);
