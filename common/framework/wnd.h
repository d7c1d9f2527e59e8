// Base of every window object. A static window procedure stores `this` in
// GWLP_USERDATA when the window is created and forwards each message to the
// virtual windowProc; the destructor detaches before the window dies, so no
// message ever reaches a half-destroyed object.
#pragma once
#include <windows.h>
#include <string>

namespace fw {

class CWnd {
public:
    CWnd() = default;
    virtual ~CWnd();
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    HWND hwnd() const { return hwnd_; }
    explicit operator bool() const { return hwnd_ != nullptr; }

    // Registers `className` once per process with this class's procedure.
    static bool registerClass(const wchar_t* className, UINT style = CS_HREDRAW | CS_VREDRAW,
                              HBRUSH background = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1),
                              HICON icon = nullptr);
    bool createEx(DWORD exStyle, const wchar_t* className, const wchar_t* title, DWORD style,
                  const RECT& rect, HWND parent, HMENU menuOrId = nullptr);
    void destroy();

    std::wstring text() const;
    void setText(const std::wstring& text);
    RECT clientRect() const;
    void move(const RECT& r, bool repaint = true);

    // The object behind a window made by this framework, nullptr otherwise.
    static CWnd* fromHandle(HWND h);

protected:
    // Handles one message; the default passes it to defaultProc.
    virtual LRESULT windowProc(UINT msg, WPARAM wp, LPARAM lp);
    virtual LRESULT defaultProc(UINT msg, WPARAM wp, LPARAM lp);
    // Called once the window is gone (after WM_NCDESTROY).
    virtual void onFinalDestroy() {}

    // Ties an existing window to this object (dialogs do it at WM_INITDIALOG).
    void attachHandle(HWND h);
    void detachHandle();

private:
    static LRESULT CALLBACK staticProc(HWND h, UINT msg, WPARAM wp, LPARAM lp);
    HWND hwnd_ = nullptr;
};

inline int width(const RECT& r) { return r.right - r.left; }
inline int height(const RECT& r) { return r.bottom - r.top; }

}  // namespace fw
