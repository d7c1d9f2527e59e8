// Every help request of the programs goes through here, so the help file is
// named in one place and tests can see requests without a help window.
#pragma once
#include <windows.h>
#include <string>

namespace fw {

void setHelpFile(const std::wstring& path);
const std::wstring& helpFile();

// The engine behind the requests (the system's help by default).
using HelpEngine = BOOL (*)(HWND owner, const wchar_t* file, UINT command, ULONG_PTR data);
HelpEngine setHelpEngine(HelpEngine engine);

// Each returns false when the help system refused the request.
bool helpKeyword(HWND owner, const std::wstring& keyword);
bool helpContext(HWND owner, DWORD context);
bool helpOnHelp(HWND owner);
// Context help for a control: HELP_WM_HELP or HELP_CONTEXTMENU with a table
// of (control, context) pairs ending in (0, 0).
bool helpForControl(HWND control, UINT command, const DWORD* idTable);

}  // namespace fw
