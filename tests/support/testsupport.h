// Helpers for tests that start real programs and look at real windows.
#pragma once
#include <windows.h>
#include <string>
#include <vector>
#include <chrono>
#include <functional>

namespace qtest {

// Directory of the running test executable, ending in a backslash: the
// build's bin\ folder, where every program and DLL lands.
std::wstring binDir();

// The source tree as this process sees it (Y:\ under Wine), ending in "\".
std::wstring sourceDir();

// A fresh empty directory under the prefix's temp folder, removed by the
// destructor.
class TempDir {
public:
    explicit TempDir(const std::wstring& tag = L"t");
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::wstring& path() const { return path_; }  // ends in "\"
    std::wstring operator/(const std::wstring& name) const { return path_ + name; }
private:
    std::wstring path_;
};

struct RunResult {
    DWORD exitCode = 0;
    bool timedOut = false;
    bool started = false;
    std::string output;   // standard output and error together, CR removed
};

// Runs a command line, feeding `input` to its standard input, capturing
// output; kills it after `timeout`.
RunResult run(const std::wstring& commandLine, const std::string& input = {},
              std::chrono::milliseconds timeout = std::chrono::seconds(60),
              const std::wstring& workDir = {});

// Polls `pred` until it holds or `timeout` passes; returns its last value.
bool waitFor(const std::function<bool()>& pred,
             std::chrono::milliseconds timeout = std::chrono::seconds(20));

// Top-level windows of a process that are visible, with their titles.
std::vector<HWND> windowsOfProcess(DWORD pid);
std::wstring windowText(HWND h);
// All texts of a window's child controls, in order (static texts of a message
// box hold its message).
std::vector<std::wstring> childTexts(HWND h);

// Reads and writes whole files as bytes.
std::string readFile(const std::wstring& path);
bool writeFile(const std::wstring& path, const std::string& bytes);

std::wstring widen(const std::string& s);
std::string narrow(const std::wstring& s);

// Multiplies test waits; QORA_TIME_SCALE in the environment (default 1).
double timeScale();

}  // namespace qtest
