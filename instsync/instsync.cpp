// instsync: copies update files into the directory of an installed component.
#include <windows.h>
#include <cstdlib>
#include <string>
#include <vector>
#include "instsync/instargs.h"
#include "instsync/instdlg.h"
#include "instsync/instlevel.h"
#include "instsync/instupd.h"
#include "instsync/resource.h"

namespace {

// Brings the first interactive copy's window to the front: its dialog, or
// the message box it ends with. False when it shows none.
bool activateFirstCopy() {
    for (UINT titleId : {IDS_DIALOG_TITLE, IDS_TITLE}) {
        HWND window = FindWindowA("#32770", loadText(titleId).c_str());
        if (!window) continue;
        if (IsIconic(window)) ShowWindow(window, SW_RESTORE);
        SetForegroundWindow(window);
        SetForegroundWindow(GetLastActivePopup(window));
        return true;
    }
    return false;
}

// Parameters from the dialog; false when it was cancelled.
bool askParameters(HINSTANCE instance, ParsedCommandLine& parsed) {
    CUpdateDialog dialog;
    if (dialog.runModal(instance, IDD_INSTSYNC, nullptr) != IDOK) return false;
    parsed.params.regKey = dialog.regKey;
    parsed.params.filePath = dialog.filePath;
    if (dialog.minVersion.empty())
        parsed.params.minVersion = loadText(IDS_DEFAULT_MINVER);
    else if (!isValidMinVersion(dialog.minVersion))
        parsed.errorId = IDS_ERR_MINVER_FORM;
    else
        parsed.params.minVersion = dialog.minVersion;
    return true;
}

void showOutcome(const ParsedCommandLine& parsed, int errorId) {
    std::string text = loadText(IDS_HELP);
    if (errorId) {
        // The no-help flag counts only once the command line was accepted.
        bool noHelp = parsed.params.noHelp && parsed.errorId == 0;
        text = noHelp ? loadText(errorId) : loadText(errorId) + "\n" + text;
    }
    MessageBoxA(nullptr, text.c_str(), loadText(IDS_TITLE).c_str(), MB_OK | MB_ICONINFORMATION);
}

}  // namespace

// Exit code: 0, or the id of the error text shown.
int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    std::vector<std::string> args(__argv + 1, __argv + __argc);
    ParsedCommandLine parsed;
    HANDLE mutex = nullptr;
    if (args.empty()) {
        // One interactive copy at a time. Runs with arguments come from
        // scripts, which must get their own result rather than a hand-over.
        mutex = CreateMutexA(nullptr, TRUE, loadText(IDS_TITLE).c_str());
        if (mutex && GetLastError() == ERROR_ALREADY_EXISTS && activateFirstCopy()) {
            CloseHandle(mutex);
            return 0;
        }
        if (!askParameters(instance, parsed)) {
            if (mutex) {
                ReleaseMutex(mutex);
                CloseHandle(mutex);
            }
            return 0;
        }
    } else {
        parsed = parseCommandLine(args);
    }

    int errorId = parsed.errorId;
    if (!errorId && !parsed.helpRequested) errorId = runUpdate(parsed.params);
    if (errorId || parsed.helpRequested) showOutcome(parsed, errorId);

    if (mutex) {
        ReleaseMutex(mutex);
        CloseHandle(mutex);
    }
    return errorId;
}
