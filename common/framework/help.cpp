#include "common/framework/help.h"

namespace fw {
namespace {
std::wstring g_helpFile;
BOOL systemHelp(HWND owner, const wchar_t* file, UINT command, ULONG_PTR data) {
    return WinHelpW(owner, file, command, data);
}
HelpEngine g_engine = systemHelp;

bool request(HWND owner, UINT command, ULONG_PTR data) {
    return g_engine(owner, g_helpFile.c_str(), command, data) != FALSE;
}
}  // namespace

void setHelpFile(const std::wstring& path) { g_helpFile = path; }
const std::wstring& helpFile() { return g_helpFile; }

HelpEngine setHelpEngine(HelpEngine engine) {
    HelpEngine old = g_engine;
    g_engine = engine ? engine : systemHelp;
    return old;
}

bool helpKeyword(HWND owner, const std::wstring& keyword) {
    if (keyword.empty()) return false;
    return request(owner, HELP_KEY, reinterpret_cast<ULONG_PTR>(keyword.c_str()));
}

bool helpContext(HWND owner, DWORD context) { return request(owner, HELP_CONTEXT, context); }

bool helpOnHelp(HWND owner) { return request(owner, HELP_HELPONHELP, 0); }

bool helpForControl(HWND control, UINT command, const DWORD* idTable) {
    return request(control, command, reinterpret_cast<ULONG_PTR>(idTable));
}

}  // namespace fw
