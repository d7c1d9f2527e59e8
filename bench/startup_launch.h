// Starting a windowed program and waiting for its main window, shared by the
// start-up benchmark and the screenshot tool.
#pragma once
#include <windows.h>
#include <string>

struct LaunchedWindow {
    PROCESS_INFORMATION process{};
    HWND window = nullptr;
    double startToShownMs = 0;  // process creation to the window being visible
};

// Starts `commandLine` and polls until the process shows a visible top-level
// window of class `windowClass`. false when it could not start or no such
// window appeared within `timeoutMs` (the process is then ended).
bool launchAndWait(const std::wstring& commandLine, const std::wstring& windowClass, DWORD timeoutMs,
                   LaunchedWindow& out);

// Asks the window to close and waits for the process; ends it when it does
// not go in time. Closes the process handles.
void closeLaunched(LaunchedWindow& launched, DWORD timeoutMs);

// The multiplier of every wait, from QORA_TIME_SCALE (default 1).
double waitScale();
