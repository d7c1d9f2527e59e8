#include "tests/support/testsupport.h"
#include <cstdlib>
#include <thread>

namespace qtest {

std::wstring widen(const std::string& s) {
    if (s.empty()) return {};
    int n = MultiByteToWideChar(CP_ACP, 0, s.data(), (int)s.size(), nullptr, 0);
    std::wstring w(n, L'\0');
    MultiByteToWideChar(CP_ACP, 0, s.data(), (int)s.size(), w.data(), n);
    return w;
}

std::string narrow(const std::wstring& w) {
    if (w.empty()) return {};
    int n = WideCharToMultiByte(CP_ACP, 0, w.data(), (int)w.size(), nullptr, 0, nullptr, nullptr);
    std::string s(n, '\0');
    WideCharToMultiByte(CP_ACP, 0, w.data(), (int)w.size(), s.data(), n, nullptr, nullptr);
    return s;
}

std::wstring binDir() {
    wchar_t buf[MAX_PATH];
    DWORD n = GetModuleFileNameW(nullptr, buf, MAX_PATH);
    std::wstring p(buf, n);
    return p.substr(0, p.find_last_of(L'\\') + 1);
}

// bin\ sits in the build folder, which sits in the source tree.
std::wstring sourceDir() {
    std::wstring p = binDir();
    for (int up = 0; up < 2; ++up) p = p.substr(0, p.find_last_of(L'\\', p.size() - 2) + 1);
    return p;
}

TempDir::TempDir(const std::wstring& tag) {
    wchar_t base[MAX_PATH];
    GetTempPathW(MAX_PATH, base);
    static LONG counter = 0;
    for (;;) {
        std::wstring p = std::wstring(base) + L"qt_" + tag + L"_" +
                         std::to_wstring(GetCurrentProcessId()) + L"_" +
                         std::to_wstring(InterlockedIncrement(&counter));
        if (CreateDirectoryW(p.c_str(), nullptr)) { path_ = p + L"\\"; return; }
        if (GetLastError() != ERROR_ALREADY_EXISTS) { path_ = p + L"\\"; return; }
    }
}

static void removeTree(const std::wstring& dir) {
    WIN32_FIND_DATAW fd;
    HANDLE h = FindFirstFileW((dir + L"*").c_str(), &fd);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            std::wstring name = fd.cFileName;
            if (name == L"." || name == L"..") continue;
            std::wstring full = dir + name;
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) removeTree(full + L"\\");
            else { SetFileAttributesW(full.c_str(), FILE_ATTRIBUTE_NORMAL); DeleteFileW(full.c_str()); }
        } while (FindNextFileW(h, &fd));
        FindClose(h);
    }
    RemoveDirectoryW(dir.c_str());
}

TempDir::~TempDir() { removeTree(path_); }

RunResult run(const std::wstring& commandLine, const std::string& input,
              std::chrono::milliseconds timeout, const std::wstring& workDir) {
    RunResult r;
    SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
    HANDLE outRead, outWrite, inRead, inWrite;
    if (!CreatePipe(&outRead, &outWrite, &sa, 0)) return r;
    if (!CreatePipe(&inRead, &inWrite, &sa, 0)) { CloseHandle(outRead); CloseHandle(outWrite); return r; }
    SetHandleInformation(outRead, HANDLE_FLAG_INHERIT, 0);
    SetHandleInformation(inWrite, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = inRead;
    si.hStdOutput = outWrite;
    si.hStdError = outWrite;
    PROCESS_INFORMATION pi{};
    std::wstring cmd = commandLine;
    BOOL ok = CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW,
                             nullptr, workDir.empty() ? nullptr : workDir.c_str(), &si, &pi);
    CloseHandle(outWrite);
    CloseHandle(inRead);
    if (!ok) { CloseHandle(outRead); CloseHandle(inWrite); return r; }
    r.started = true;
    std::thread writer([&] {
        DWORD n;
        if (!input.empty()) WriteFile(inWrite, input.data(), (DWORD)input.size(), &n, nullptr);
        CloseHandle(inWrite);
    });
    struct Reader { HANDLE pipe; std::string raw; } rd{outRead, {}};
    HANDLE reader = CreateThread(nullptr, 0, [](LPVOID p) -> DWORD {
        auto* r = static_cast<Reader*>(p);
        char buf[4096];
        DWORD n;
        while (ReadFile(r->pipe, buf, sizeof buf, &n, nullptr) && n) r->raw.append(buf, n);
        return 0;
    }, &rd, 0, nullptr);
    auto ms = (DWORD)(timeout.count() * timeScale());
    if (WaitForSingleObject(pi.hProcess, ms) == WAIT_TIMEOUT) {
        r.timedOut = true;
        TerminateProcess(pi.hProcess, 9999);
        WaitForSingleObject(pi.hProcess, 5000);
    }
    GetExitCodeProcess(pi.hProcess, &r.exitCode);
    writer.join();
    // A grandchild may still hold the pipe open; stop reading after a while.
    if (WaitForSingleObject(reader, 5000) == WAIT_TIMEOUT) {
        CancelSynchronousIo(reader);
        WaitForSingleObject(reader, 2000);
    }
    CloseHandle(reader);
    const std::string& raw = rd.raw;
    CloseHandle(outRead);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    for (char c : raw) if (c != '\r') r.output += c;
    return r;
}

bool waitFor(const std::function<bool()>& pred, std::chrono::milliseconds timeout) {
    auto end = std::chrono::steady_clock::now() + timeout * timeScale();
    for (;;) {
        if (pred()) return true;
        if (std::chrono::steady_clock::now() >= end) return pred();
        MSG m;
        while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) { TranslateMessage(&m); DispatchMessageW(&m); }
        Sleep(20);
    }
}

std::vector<HWND> windowsOfProcess(DWORD pid) {
    struct Ctx { DWORD pid; std::vector<HWND> found; } ctx{pid, {}};
    EnumWindows([](HWND h, LPARAM lp) -> BOOL {
        auto* c = reinterpret_cast<Ctx*>(lp);
        DWORD p = 0;
        GetWindowThreadProcessId(h, &p);
        if (p == c->pid && IsWindowVisible(h)) c->found.push_back(h);
        return TRUE;
    }, reinterpret_cast<LPARAM>(&ctx));
    return ctx.found;
}

std::wstring windowText(HWND h) {
    wchar_t buf[4096];
    DWORD_PTR len = 0;
    if (!SendMessageTimeoutW(h, WM_GETTEXT, 4096, (LPARAM)buf, SMTO_ABORTIFHUNG, 2000, &len)) return {};
    return std::wstring(buf, len);
}

std::vector<std::wstring> childTexts(HWND h) {
    std::vector<std::wstring> texts;
    EnumChildWindows(h, [](HWND c, LPARAM lp) -> BOOL {
        reinterpret_cast<std::vector<std::wstring>*>(lp)->push_back(windowText(c));
        return TRUE;
    }, reinterpret_cast<LPARAM>(&texts));
    return texts;
}

std::string readFile(const std::wstring& path) {
    HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return {};
    std::string s;
    char buf[65536];
    DWORD n;
    while (ReadFile(h, buf, sizeof buf, &n, nullptr) && n) s.append(buf, n);
    CloseHandle(h);
    return s;
}

bool writeFile(const std::wstring& path, const std::string& bytes) {
    HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    DWORD n = 0;
    BOOL ok = WriteFile(h, bytes.data(), (DWORD)bytes.size(), &n, nullptr);
    ok = CloseHandle(h) && ok;
    return ok && n == bytes.size();
}

double timeScale() {
    const char* s = std::getenv("QORA_TIME_SCALE");
    double v = s ? std::atof(s) : 1.0;
    return v > 0 ? v : 1.0;
}

}  // namespace qtest
