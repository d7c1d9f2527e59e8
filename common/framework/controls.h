// Thin typed views of the common controls. They own nothing: the dialog or
// view that holds the control owns its window.
#pragma once
#include <windows.h>
#include <commctrl.h>
#include <string>

namespace fw {

class CControl {
public:
    CControl() = default;
    explicit CControl(HWND h) : hwnd_(h) {}
    void attach(HWND h) { hwnd_ = h; }
    void attach(HWND dialog, int id) { hwnd_ = GetDlgItem(dialog, id); }
    HWND hwnd() const { return hwnd_; }
    explicit operator bool() const { return hwnd_ != nullptr; }
    void enable(bool on) { EnableWindow(hwnd_, on); }
    bool isEnabled() const { return IsWindowEnabled(hwnd_) != FALSE; }
    void show(bool on) { ShowWindow(hwnd_, on ? SW_SHOW : SW_HIDE); }
    std::wstring text() const;
    void setText(const std::wstring& text) { SetWindowTextW(hwnd_, text.c_str()); }

protected:
    LRESULT send(UINT msg, WPARAM wp = 0, LPARAM lp = 0) const { return SendMessageW(hwnd_, msg, wp, lp); }

private:
    HWND hwnd_ = nullptr;
};

class CTreeCtrl : public CControl {
public:
    using CControl::CControl;
    HTREEITEM insertItem(const std::wstring& text, HTREEITEM parent = TVI_ROOT,
                         HTREEITEM after = TVI_LAST, LPARAM data = 0, int image = -1);
    bool deleteAllItems() { return send(TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT)) != 0; }
    int count() const { return static_cast<int>(send(TVM_GETCOUNT)); }
    HTREEITEM selected() const { return reinterpret_cast<HTREEITEM>(send(TVM_GETNEXTITEM, TVGN_CARET)); }
    bool select(HTREEITEM item) { return send(TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item)) != 0; }
    std::wstring itemText(HTREEITEM item) const;
    LPARAM itemData(HTREEITEM item) const;
};

class CTabCtrl : public CControl {
public:
    using CControl::CControl;
    int insertItem(int index, const std::wstring& text, LPARAM data = 0);
    int count() const { return static_cast<int>(send(TCM_GETITEMCOUNT)); }
    int curSel() const { return static_cast<int>(send(TCM_GETCURSEL)); }
    int setCurSel(int index) { return static_cast<int>(send(TCM_SETCURSEL, index)); }
    LPARAM itemData(int index) const;
    // The display area for a window rectangle of the control.
    RECT displayRect(RECT window) const;
};

class CListCtrl : public CControl {
public:
    using CControl::CControl;
    int insertColumn(int index, const std::wstring& heading, int width);
    int insertItem(int index, const std::wstring& text, LPARAM data = 0, int image = -1);
    bool setItemText(int item, int column, const std::wstring& text);
    std::wstring itemText(int item, int column) const;
    int count() const { return static_cast<int>(send(LVM_GETITEMCOUNT)); }
    bool deleteAllItems() { return send(LVM_DELETEALLITEMS) != 0; }
    LPARAM itemData(int item) const;
};

class CEdit : public CControl {
public:
    using CControl::CControl;
    void limitText(int characters) { send(EM_LIMITTEXT, characters); }
};

class CButton : public CControl {
public:
    using CControl::CControl;
    bool checked() const { return send(BM_GETCHECK) == BST_CHECKED; }
    void setChecked(bool on) { send(BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED); }
};

class CProgressCtrl : public CControl {
public:
    using CControl::CControl;
    void setRange(int low, int high) { send(PBM_SETRANGE32, low, high); }
    int setPos(int pos) { return static_cast<int>(send(PBM_SETPOS, pos)); }
    int pos() const { return static_cast<int>(send(PBM_GETPOS)); }
};

class CAnimateCtrl : public CControl {
public:
    using CControl::CControl;
    bool open(const std::wstring& file) { return send(ACM_OPENW, 0, reinterpret_cast<LPARAM>(file.c_str())) != 0; }
    bool play(int repeat = -1) { return send(ACM_PLAY, repeat, MAKELONG(0, 0xFFFF)) != 0; }
    bool stop() { return send(ACM_STOP) != 0; }
    void close() { send(ACM_OPENW, 0, 0); }
};

}  // namespace fw
