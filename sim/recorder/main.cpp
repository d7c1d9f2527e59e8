// Stand-in for the programs the utilities start (kvtadmc, kvt, kvtc,
// readtevra, kvtcutil and system tools Wine lacks). It appends one record per
// start to a log: program name, command line, working directory and whatever
// arrived on standard input; it can show a titled window.
// Controls (environment):
//   QORA_RECORDER_LOG=path      the log (default recorder.log beside the program)
//   QORA_RECORDER_WINDOW=1      show a window titled "NAME (simulated)"
//   QORA_RECORDER_TITLE=text    the window's title instead
//   QORA_RECORDER_SECONDS=n     close the window after n seconds (default: on close)
//   QORA_RECORDER_EXIT=n        exit code (default 0)
#include <windows.h>

#include <cstdlib>
#include <string>

namespace {

std::wstring envVar(const wchar_t* name) {
    wchar_t buf[2048];
    DWORD n = GetEnvironmentVariableW(name, buf, 2048);
    return n && n < 2048 ? std::wstring(buf, n) : std::wstring();
}

std::string utf8(const std::wstring& w) {
    if (w.empty()) return {};
    int n = WideCharToMultiByte(CP_UTF8, 0, w.data(), (int)w.size(), nullptr, 0, nullptr, nullptr);
    std::string s((size_t)n, '\0');
    WideCharToMultiByte(CP_UTF8, 0, w.data(), (int)w.size(), s.data(), n, nullptr, nullptr);
    return s;
}

std::string readInput() {
    HANDLE in = GetStdHandle(STD_INPUT_HANDLE);
    DWORD type = in && in != INVALID_HANDLE_VALUE ? GetFileType(in) : FILE_TYPE_UNKNOWN;
    if (type != FILE_TYPE_PIPE && type != FILE_TYPE_DISK) return {};  // never wait on a console
    std::string s;
    char buf[4096];
    DWORD n = 0;
    while (ReadFile(in, buf, sizeof buf, &n, nullptr) && n) s.append(buf, n);
    return s;
}

LRESULT CALLBACK windowProc(HWND h, UINT m, WPARAM w, LPARAM l) {
    if (m == WM_TIMER || m == WM_CLOSE) {
        DestroyWindow(h);
        return 0;
    }
    if (m == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(h, m, w, l);
}

void showWindow(const std::wstring& title, int seconds) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = windowProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"QoraRecorderWindow";
    wc.hbrBackground = (HBRUSH)(COLOR_WINDOW + 1);
    RegisterClassW(&wc);
    HWND h = CreateWindowW(wc.lpszClassName, title.c_str(), WS_OVERLAPPEDWINDOW | WS_VISIBLE, CW_USEDEFAULT,
                           CW_USEDEFAULT, 480, 240, nullptr, nullptr, wc.hInstance, nullptr);
    if (!h) return;
    if (seconds > 0) SetTimer(h, 1, (UINT)seconds * 1000, nullptr);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

}  // namespace

int wmain() {
    wchar_t path[MAX_PATH];
    DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring exe(path, n);
    std::wstring dir = exe.substr(0, exe.find_last_of(L'\\') + 1);
    std::wstring name = exe.substr(dir.size());
    if (name.size() > 4 && _wcsicmp(name.c_str() + name.size() - 4, L".exe") == 0) name.resize(name.size() - 4);

    wchar_t cwd[MAX_PATH] = L"";
    GetCurrentDirectoryW(MAX_PATH, cwd);
    std::string input = readInput();

    std::wstring log = envVar(L"QORA_RECORDER_LOG");
    if (log.empty()) log = dir + L"recorder.log";
    std::string rec = "program: " + utf8(name) + "\r\ncommand line: " + utf8(GetCommandLineW()) +
                      "\r\nworking directory: " + utf8(cwd) + "\r\nstandard input: " +
                      std::to_string(input.size()) + " bytes\r\n" + input +
                      (input.empty() || input.back() == '\n' ? "" : "\r\n") + "end of record\r\n";
    // Several starts may log at once: append under a lock.
    HANDLE mtx = CreateMutexW(nullptr, FALSE, L"Local\\QoraRecorderLog");
    WaitForSingleObject(mtx, 10000);
    HANDLE h = CreateFileW(log.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS, 0, nullptr);
    if (h != INVALID_HANDLE_VALUE) {
        DWORD w = 0;
        WriteFile(h, rec.data(), (DWORD)rec.size(), &w, nullptr);
        CloseHandle(h);
    }
    ReleaseMutex(mtx);
    CloseHandle(mtx);

    std::wstring title = envVar(L"QORA_RECORDER_TITLE");
    if (envVar(L"QORA_RECORDER_WINDOW") == L"1" || !title.empty())
        showWindow(title.empty() ? name + L" (simulated)" : title, _wtoi(envVar(L"QORA_RECORDER_SECONDS").c_str()));
    return _wtoi(envVar(L"QORA_RECORDER_EXIT").c_str());
}
