#include "common/framework/splitter.h"
#include <windowsx.h>

namespace fw {

bool CSplitterWnd::createStatic(HWND parent, int columns, UINT id) {
    if (columns < 1) return false;
    columns_.assign(static_cast<size_t>(columns), Column{});
    if (!registerClass(L"FwSplitter", CS_HREDRAW | CS_VREDRAW, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1)))
        return false;
    RECT r{0, 0, 0, 0};
    return createEx(0, L"FwSplitter", nullptr, WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, r, parent,
                    reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)));
}

void CSplitterWnd::setPane(int column, HWND pane) {
    columns_[static_cast<size_t>(column)].pane = pane;
    recalcLayout();
}

void CSplitterWnd::setColumnWidth(int column, int width, int minimum) {
    columns_[static_cast<size_t>(column)].width = width;
    columns_[static_cast<size_t>(column)].minimum = minimum;
    recalcLayout();
}

int CSplitterWnd::columnWidth(int column) const {
    HWND pane = columns_[static_cast<size_t>(column)].pane;
    if (!pane) return columns_[static_cast<size_t>(column)].width;
    RECT r{};
    GetWindowRect(pane, &r);
    return r.right - r.left;
}

void CSplitterWnd::recalcLayout() {
    if (!hwnd()) return;
    RECT client = clientRect();
    int x = 0;
    for (size_t i = 0; i < columns_.size(); ++i) {
        bool last = i + 1 == columns_.size();
        int w = last ? client.right - x : columns_[i].width;
        if (w < 0) w = 0;
        if (columns_[i].pane) MoveWindow(columns_[i].pane, x, 0, w, client.bottom, TRUE);
        x += w + barWidth;
    }
}

int CSplitterWnd::barAt(int x) const {
    int edge = 0;
    for (size_t i = 0; i + 1 < columns_.size(); ++i) {
        edge += columns_[i].width;
        if (x >= edge && x < edge + barWidth) return static_cast<int>(i);
        edge += barWidth;
    }
    return -1;
}

LRESULT CSplitterWnd::windowProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_SIZE:
        recalcLayout();
        return 0;
    case WM_SETCURSOR: {
        POINT p;
        GetCursorPos(&p);
        ScreenToClient(hwnd(), &p);
        if (reinterpret_cast<HWND>(wp) == hwnd() && barAt(p.x) >= 0) {
            SetCursor(LoadCursorW(nullptr, IDC_SIZEWE));
            return TRUE;
        }
        break;
    }
    case WM_LBUTTONDOWN: {
        int bar = barAt(GET_X_LPARAM(lp));
        if (bar < 0) break;
        dragging_ = bar;
        // Where in the bar it was grabbed stays under the pointer.
        dragOffset_ = GET_X_LPARAM(lp) - columns_[static_cast<size_t>(bar)].width;
        SetCapture(hwnd());
        return 0;
    }
    case WM_MOUSEMOVE:
        if (dragging_ >= 0) {
            Column& c = columns_[static_cast<size_t>(dragging_)];
            int w = GET_X_LPARAM(lp) - dragOffset_;
            RECT client = clientRect();
            if (w > client.right - barWidth) w = client.right - barWidth;
            c.width = w < c.minimum ? c.minimum : w;
            recalcLayout();
            return 0;
        }
        break;
    case WM_LBUTTONUP:
    case WM_CAPTURECHANGED:
        if (dragging_ >= 0) {
            dragging_ = -1;
            if (msg == WM_LBUTTONUP) ReleaseCapture();
            return 0;
        }
        break;
    default:
        break;
    }
    return defaultProc(msg, wp, lp);
}

}  // namespace fw
