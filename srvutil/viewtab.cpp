#include "srvutil/viewtab.h"
#include "app_ids.h"
#include <algorithm>

namespace {
constexpr int margin = 7;
}

CViewTab::CViewTab() : CFormView(IDD_VIEW_TAB) {}

BOOL CViewTab::onInitDialog() {
    tab_.attach(hwnd(), IDC_VIEW_TAB);
    RECT r{};
    GetWindowRect(tab_.hwnd(), &r);
    minimum_ = {r.right - r.left, r.bottom - r.top};
    return FALSE;
}

void CViewTab::onSize(int cx, int cy) {
    if (!tab_) return;
    int w = std::max<int>(cx - 2 * margin, minimum_.cx), h = std::max<int>(cy - 2 * margin, minimum_.cy);
    MoveWindow(tab_.hwnd(), margin, margin, w, h, TRUE);
}
