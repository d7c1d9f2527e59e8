#include "srvutil/appprocs.h"
#include "common/framework/handle.h"
#include <cwctype>
#include <string>

namespace {
std::wstring folded(std::wstring s) {
    for (wchar_t& c : s) c = static_cast<wchar_t>(std::towlower(c));
    return s;
}

struct Search {
    std::wstring title;
    bool ignoreCase;
    HWND found = nullptr;
};

BOOL CALLBACK matchPartial(HWND h, LPARAM lp) {
    auto* search = reinterpret_cast<Search*>(lp);
    if (!IsWindowVisible(h) || GetWindow(h, GW_OWNER)) return TRUE;
    int len = GetWindowTextLengthW(h);
    if (len <= 0) return TRUE;
    std::wstring text(static_cast<size_t>(len) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(h, text.data(), len + 1)));
    if (search->ignoreCase) text = folded(text);
    if (text.find(search->title) == std::wstring::npos) return TRUE;
    search->found = h;
    return FALSE;
}

HWND findTopLevel(const wchar_t* title, bool partial, bool ignoreCase) {
    // An empty title would match whichever window comes first.
    if (!title || !*title) return nullptr;
    if (!partial) return FindWindowW(nullptr, title);
    Search search{ignoreCase ? folded(title) : std::wstring(title), ignoreCase};
    EnumWindows(matchPartial, reinterpret_cast<LPARAM>(&search));
    return search.found;
}
}  // namespace

int runProcess(const wchar_t* commandLine, const wchar_t* workDir, bool wait) {
    std::wstring line = commandLine ? commandLine : L"";
    STARTUPINFOW si{};
    si.cb = sizeof si;
    si.lpTitle = line.data();
    si.dwFlags = STARTF_FORCEONFEEDBACK;
    std::wstring mutableLine = line;
    PROCESS_INFORMATION pi{};
    bool started = CreateProcessW(nullptr, mutableLine.data(), nullptr, nullptr, FALSE, NORMAL_PRIORITY_CLASS,
                                  nullptr, workDir && *workDir ? workDir : nullptr, &si, &pi) != FALSE;
    if (!started) return 1;
    fw::UniqueHandle process(pi.hProcess), thread(pi.hThread);
    if (wait) WaitForSingleObject(process.get(), INFINITE);
    return 0;
}

bool activateWindow(const wchar_t* title, bool partial) {
    HWND h = findTopLevel(title, partial, false);
    if (!h) return false;
    if (IsIconic(h)) ShowWindow(h, SW_RESTORE);
    SetForegroundWindow(h);
    HWND popup = GetLastActivePopup(h);
    if (popup && popup != h) {
        BringWindowToTop(popup);
        SetForegroundWindow(popup);
    }
    return true;
}

bool closeWindow(const wchar_t* title, bool partial) {
    HWND h = findTopLevel(title, partial, partial);
    if (!h) return false;
    PostMessageW(h, WM_CLOSE, 0, 0);
    return true;
}
