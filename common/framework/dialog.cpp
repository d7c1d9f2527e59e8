#include "common/framework/dialog.h"
#include "common/framework/msgloop.h"
#include "common/framework/resmod.h"

namespace fw {

std::wstring CDialogBase::itemText(int id) const {
    HWND h = item(id);
    int len = h ? GetWindowTextLengthW(h) : 0;
    std::wstring s(static_cast<size_t>(len) + 1, L'\0');
    len = h ? GetWindowTextW(h, s.data(), len + 1) : 0;
    s.resize(static_cast<size_t>(len > 0 ? len : 0));
    return s;
}

void CDialogBase::setItemText(int id, const std::wstring& text) {
    SetDlgItemTextW(hwnd(), id, text.c_str());
}

INT_PTR CDialogBase::dialogProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_INITDIALOG:
        return onInitDialog();
    case WM_COMMAND:
        return onCommand(LOWORD(wp), HIWORD(wp), reinterpret_cast<HWND>(lp)) ? TRUE : FALSE;
    case WM_NOTIFY:
        return onNotify(reinterpret_cast<NMHDR*>(lp)) ? TRUE : FALSE;
    case WM_SIZE:
        onSize(LOWORD(lp), HIWORD(lp));
        return FALSE;
    default:
        return FALSE;
    }
}

INT_PTR CDialogBase::dispatch(CDialogBase* self, HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    if (!self) return FALSE;
    INT_PTR result = self->dialogProc(msg, wp, lp);
    if (msg == WM_NCDESTROY) {
        self->detachHandle();
        self->onFinalDestroy();
    }
    return result;
}

INT_PTR CDialog::doModal(HWND owner) {
    modal_ = true;
    return DialogBoxParamW(resourceModule(), MAKEINTRESOURCEW(templateId()), owner, staticProc,
                           reinterpret_cast<LPARAM>(this));
}

bool CDialog::createModeless(HWND owner) {
    modal_ = false;
    HWND h = CreateDialogParamW(resourceModule(), MAKEINTRESOURCEW(templateId()), owner, staticProc,
                                reinterpret_cast<LPARAM>(this));
    if (!h) return false;
    registerModeless(h, false);
    return true;
}

void CDialog::endDialog(INT_PTR result) {
    if (modal_) {
        EndDialog(hwnd(), result);
    } else {
        destroy();
    }
}

bool CDialog::onCommand(UINT id, UINT code, HWND control) {
    if (id == IDOK) {
        onOK();
        return true;
    }
    if (id == IDCANCEL) {
        onCancel();
        return true;
    }
    return false;
}

INT_PTR CALLBACK CDialog::staticProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    auto* self = static_cast<CDialog*>(CWnd::fromHandle(h));
    if (msg == WM_INITDIALOG) {
        self = reinterpret_cast<CDialog*>(lp);
        self->attachHandle(h);
    }
    if (msg == WM_DESTROY && self && !self->modal_) unregisterModeless(h);
    return dispatch(self, h, msg, wp, lp);
}

}  // namespace fw
