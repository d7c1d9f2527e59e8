#include "srvutil/appsplash.h"
#include "common/framework/resmod.h"

bool CSplashWnd::show(HWND owner, UINT bitmapId, UINT milliseconds) {
    bitmap_.reset(LoadImageW(fw::resourceModule(), MAKEINTRESOURCEW(bitmapId), IMAGE_BITMAP, 0, 0, 0));
    if (!bitmap_) return false;
    BITMAP info{};
    GetObjectW(bitmap_.get(), sizeof info, &info);
    size_ = {info.bmWidth, info.bmHeight};
    if (!registerClass(L"QoraSplash", 0, nullptr)) return false;
    int x = (GetSystemMetrics(SM_CXSCREEN) - size_.cx) / 2, y = (GetSystemMetrics(SM_CYSCREEN) - size_.cy) / 2;
    RECT r{x, y, x + size_.cx, y + size_.cy};
    if (!createEx(WS_EX_TOOLWINDOW, L"QoraSplash", nullptr, WS_POPUP, r, owner)) return false;
    SetTimer(hwnd(), closeTimer, milliseconds, nullptr);
    ShowWindow(hwnd(), SW_SHOWNOACTIVATE);
    UpdateWindow(hwnd());
    return true;
}

LRESULT CSplashWnd::windowProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd(), &ps);
        fw::UniqueMemoryDc memory(CreateCompatibleDC(dc));
        HGDIOBJ old = SelectObject(memory.get(), bitmap_.get());
        BitBlt(dc, 0, 0, size_.cx, size_.cy, memory.get(), 0, 0, SRCCOPY);
        SelectObject(memory.get(), old);
        EndPaint(hwnd(), &ps);
        return 0;
    }
    case WM_TIMER:
        if (wp == closeTimer) {
            KillTimer(hwnd(), closeTimer);
            destroy();
        }
        return 0;
    default:
        return defaultProc(msg, wp, lp);
    }
}
