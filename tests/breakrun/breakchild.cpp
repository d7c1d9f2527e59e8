// breakrun_child <marker file> <seconds>: writes "started" to the marker,
// then waits; a Ctrl+Break appends "break" and ends it with 3, a Ctrl+C
// appends "ctrl-c" and ends it with 4; otherwise it ends with 9 after the
// given time (scaled by QORA_TIME_SCALE).
#include <windows.h>
#include <cstdlib>
#include <string>

static std::wstring marker;

static void note(const char* text) {
    HANDLE h = CreateFileW(marker.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                           nullptr, OPEN_ALWAYS, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return;
    DWORD n;
    WriteFile(h, text, (DWORD)strlen(text), &n, nullptr);
    CloseHandle(h);
}

static BOOL WINAPI onControl(DWORD kind) {
    if (kind == CTRL_BREAK_EVENT) {
        note("break\n");
        ExitProcess(3);
    }
    if (kind == CTRL_C_EVENT) {
        note("ctrl-c\n");
        ExitProcess(4);
    }
    return FALSE;
}

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) return 2;
    marker = argv[1];
    SetConsoleCtrlHandler(onControl, TRUE);
    note("started\n");
    const char* scale = std::getenv("QORA_TIME_SCALE");
    double factor = scale && std::atof(scale) > 0 ? std::atof(scale) : 1.0;
    Sleep((DWORD)(_wtof(argv[2]) * 1000 * factor));
    return 9;
}
