#include "common/framework/frame.h"
#include "common/framework/app.h"
#include "common/framework/resmod.h"
#include "app_ids.h"
#include <commctrl.h>

namespace fw {
namespace {
// "prompt\ntip": either half of a command's string resource.
std::wstring commandTextPart(UINT command, bool tip) {
    std::wstring s = loadResString(command);
    size_t nl = s.find(L'\n');
    if (tip) return nl == std::wstring::npos ? std::wstring() : s.substr(nl + 1);
    return nl == std::wstring::npos ? s : s.substr(0, nl);
}
}  // namespace

bool CFrameWnd::create(const wchar_t* className, const std::wstring& title, UINT menuId, DWORD style) {
    if (!registerClass(className, CS_HREDRAW | CS_VREDRAW, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1),
                       LoadIconW(nullptr, IDI_APPLICATION)))
        return false;
    HMENU menu = menuId ? LoadMenuW(resourceModule(), MAKEINTRESOURCEW(menuId)) : nullptr;
    HWND h = CreateWindowExW(0, className, title.c_str(), style, CW_USEDEFAULT, CW_USEDEFAULT,
                             CW_USEDEFAULT, CW_USEDEFAULT, nullptr, menu, GetModuleHandleW(nullptr), this);
    if (!h && menu) DestroyMenu(menu);
    return h != nullptr;
}

void CFrameWnd::showFrame(int showCommand) {
    ShowWindow(hwnd(), showCommand);
    UpdateWindow(hwnd());
}

void CFrameWnd::recalcLayout() {
    RECT r = clientRect();
    if (toolBar_.hwnd()) {
        toolBar_.autoSize();
        r.top += toolBar_.height();
    }
    if (statusBar_.hwnd()) {
        statusBar_.layout();
        r.bottom -= statusBar_.height();
    }
    if (r.bottom < r.top) r.bottom = r.top;
    if (client_ && client_->hwnd()) client_->move(r);
}

void CFrameWnd::setMessageText(const std::wstring& text) {
    if (statusBar_.hwnd()) statusBar_.setPaneText(0, text);
}

void CFrameWnd::showPrompt(UINT command) {
    if (command == shownPrompt_) return;
    shownPrompt_ = command;
    setMessageText(command ? commandTextPart(command, false) : loadResString(IDS_FW_READY));
}

void CFrameWnd::onIdle() {
    struct Indicator {
        UINT id;
        int key;
    };
    static const Indicator keys[] = {
        {IDS_FW_INDICATOR_CAPS, VK_CAPITAL},
        {IDS_FW_INDICATOR_NUM, VK_NUMLOCK},
        {IDS_FW_INDICATOR_SCRL, VK_SCROLL},
    };
    for (const Indicator& k : keys) {
        int pane = statusBar_.hwnd() ? statusBar_.paneIndex(k.id) : -1;
        if (pane < 0) continue;
        std::wstring want = (GetKeyState(k.key) & 1) ? loadResString(k.id) : std::wstring();
        if (statusBar_.paneText(pane) != want) statusBar_.setPaneText(pane, want);
    }
}

LRESULT CFrameWnd::windowProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_CREATE:
        if (!onCreateFrame()) return -1;
        shownPrompt_ = ~0u;
        showPrompt(0);
        recalcLayout();
        return 0;
    case WM_SIZE:
        recalcLayout();
        return 0;
    case WM_COMMAND:
        if (onCommand(LOWORD(wp))) return 0;
        break;
    case WM_INITMENU:
        onInitMenu(reinterpret_cast<HMENU>(wp));
        return 0;
    case WM_MENUSELECT: {
        bool closed = HIWORD(wp) == 0xFFFF && lp == 0;
        bool popup = (HIWORD(wp) & MF_POPUP) != 0;
        showPrompt(closed || popup ? 0 : LOWORD(wp));
        return 0;
    }
    case WM_GETMINMAXINFO:
        onMinMaxInfo(reinterpret_cast<MINMAXINFO*>(lp));
        return 0;
    case WM_TIMER:
        onTimer(wp);
        return 0;
    case WM_NOTIFY: {
        auto* header = reinterpret_cast<NMHDR*>(lp);
        if (header->code == TTN_GETDISPINFOW) {
            auto* info = reinterpret_cast<NMTTDISPINFOW*>(lp);
            static std::wstring tip;
            tip = commandTextPart(static_cast<UINT>(header->idFrom), true);
            info->lpszText = tip.data();
            return 0;
        }
        if (header->code == TBN_HOTITEMCHANGE) {
            auto* hot = reinterpret_cast<NMTBHOTITEM*>(lp);
            showPrompt((hot->dwFlags & HICF_LEAVING) ? 0 : static_cast<UINT>(hot->idNew));
            return 0;
        }
        break;
    }
    case WM_SETFOCUS:
        if (client_ && client_->hwnd()) SetFocus(client_->hwnd());
        return 0;
    case WM_DESTROY:
        onDestroyFrame();
        if (CWinApp* app = CWinApp::current(); app && app->mainWnd() == this) PostQuitMessage(0);
        return 0;
    default:
        break;
    }
    return defaultProc(msg, wp, lp);
}

}  // namespace fw
