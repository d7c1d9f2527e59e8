#include "common/framework/wnd.h"

namespace fw {

CWnd::~CWnd() { destroy(); }

void CWnd::destroy() {
    if (!hwnd_) return;
    HWND h = hwnd_;
    detachHandle();
    DestroyWindow(h);
}

bool CWnd::registerClass(const wchar_t* className, UINT style, HBRUSH background, HICON icon) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    HINSTANCE inst = GetModuleHandleW(nullptr);
    if (GetClassInfoExW(inst, className, &wc)) return true;
    wc.cbSize = sizeof wc;
    wc.style = style;
    wc.lpfnWndProc = staticProc;
    wc.hInstance = inst;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = background;
    wc.hIcon = icon;
    wc.lpszClassName = className;
    return RegisterClassExW(&wc) != 0;
}

bool CWnd::createEx(DWORD exStyle, const wchar_t* className, const wchar_t* title, DWORD style,
                    const RECT& r, HWND parent, HMENU menuOrId) {
    HWND h = CreateWindowExW(exStyle, className, title, style, r.left, r.top, width(r), height(r),
                             parent, menuOrId, GetModuleHandleW(nullptr), this);
    return h != nullptr;
}

void CWnd::attachHandle(HWND h) {
    hwnd_ = h;
    SetWindowLongPtrW(h, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

void CWnd::detachHandle() {
    if (hwnd_ && fromHandle(hwnd_) == this) SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
    hwnd_ = nullptr;
}

CWnd* CWnd::fromHandle(HWND h) {
    return h ? reinterpret_cast<CWnd*>(GetWindowLongPtrW(h, GWLP_USERDATA)) : nullptr;
}

std::wstring CWnd::text() const {
    int len = GetWindowTextLengthW(hwnd_);
    std::wstring s(static_cast<size_t>(len) + 1, L'\0');
    len = GetWindowTextW(hwnd_, s.data(), len + 1);
    s.resize(static_cast<size_t>(len > 0 ? len : 0));
    return s;
}

void CWnd::setText(const std::wstring& text) { SetWindowTextW(hwnd_, text.c_str()); }

RECT CWnd::clientRect() const {
    RECT r{};
    GetClientRect(hwnd_, &r);
    return r;
}

void CWnd::move(const RECT& r, bool repaint) {
    MoveWindow(hwnd_, r.left, r.top, width(r), height(r), repaint);
}

LRESULT CWnd::windowProc(UINT msg, WPARAM wp, LPARAM lp) { return defaultProc(msg, wp, lp); }

LRESULT CWnd::defaultProc(UINT msg, WPARAM wp, LPARAM lp) {
    return DefWindowProcW(hwnd_, msg, wp, lp);
}

LRESULT CALLBACK CWnd::staticProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    CWnd* self = fromHandle(h);
    if (msg == WM_NCCREATE) {
        self = static_cast<CWnd*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
        if (self) self->attachHandle(h);
    }
    if (!self) return DefWindowProcW(h, msg, wp, lp);
    LRESULT result = self->windowProc(msg, wp, lp);
    if (msg == WM_NCDESTROY) {
        self->detachHandle();
        self->onFinalDestroy();
    }
    return result;
}

}  // namespace fw
