// Dialogs built from templates in the resource module. One static dialog
// procedure stores `this` at WM_INITDIALOG and forwards every message to the
// virtual dialogProc; the typed handlers below are what pages override.
#pragma once
#include "common/framework/wnd.h"

namespace fw {

class CDialogBase : public CWnd {
public:
    explicit CDialogBase(UINT templateId) : templateId_(templateId) {}
    UINT templateId() const { return templateId_; }
    HWND item(int id) const { return GetDlgItem(hwnd(), id); }
    std::wstring itemText(int id) const;
    void setItemText(int id, const std::wstring& text);
    bool isChecked(int id) const { return IsDlgButtonChecked(hwnd(), id) == BST_CHECKED; }
    void setChecked(int id, bool on) { CheckDlgButton(hwnd(), id, on ? BST_CHECKED : BST_UNCHECKED); }

protected:
    // TRUE lets the system give the focus to the first control.
    virtual BOOL onInitDialog() { return TRUE; }
    // true when the command was handled.
    virtual bool onCommand(UINT id, UINT code, HWND control) { return false; }
    // true when handled; a result for the sender goes through setResult.
    virtual bool onNotify(NMHDR* header) { return false; }
    virtual void onSize(int cx, int cy) {}
    // Every message; the default dispatches to the handlers above. Returns
    // TRUE when the message was handled (dialog procedure rules).
    virtual INT_PTR dialogProc(UINT msg, WPARAM wp, LPARAM lp);
    // The result a notification or message returns to its sender.
    void setResult(LRESULT result) { SetWindowLongPtrW(hwnd(), DWLP_MSGRESULT, result); }

    static INT_PTR dispatch(CDialogBase* self, HWND h, UINT msg, WPARAM wp, LPARAM lp);

private:
    UINT templateId_;
};

class CDialog : public CDialogBase {
public:
    using CDialogBase::CDialogBase;
    // Runs the dialog; the value passed to endDialog, or -1 when it could not
    // be created.
    INT_PTR doModal(HWND owner);
    // Creates the dialog without waiting; the message loop routes its keys.
    bool createModeless(HWND owner);
    void endDialog(INT_PTR result);
    bool isModal() const { return modal_; }

protected:
    bool onCommand(UINT id, UINT code, HWND control) override;
    virtual void onOK() { endDialog(IDOK); }
    virtual void onCancel() { endDialog(IDCANCEL); }

private:
    static INT_PTR CALLBACK staticProc(HWND h, UINT msg, WPARAM wp, LPARAM lp);
    bool modal_ = false;
};

}  // namespace fw
