// Starting a program without talking to it, and finding or closing the
// top-level window of a program that already runs.
#pragma once
#include <windows.h>

// Starts `commandLine` (no inherited handles, the command line as window
// title, start-up cursor feedback) in `workDir`, or in this program's current
// directory when it is empty; waits for its end when `wait` is set. 0 when it
// started, 1 when it could not be started; the program's exit code is not
// reported.
int runProcess(const wchar_t* commandLine, const wchar_t* workDir, bool wait);

// Finds a top-level window by its exact title, or with `partial` the first
// visible, titled, ownerless one whose title contains `title`; restores it
// when minimized and brings it and its last active pop-up to the front.
bool activateWindow(const wchar_t* title, bool partial);

// The same search, case-insensitive when `partial`; asks the window found to
// close.
bool closeWindow(const wchar_t* title, bool partial);
