#include "common/framework/formview.h"
#include "common/framework/resmod.h"

namespace fw {

bool CFormView::create(HWND parent, UINT id) {
    HWND h = CreateDialogParamW(resourceModule(), MAKEINTRESOURCEW(templateId()), parent, staticProc,
                                reinterpret_cast<LPARAM>(this));
    if (!h) return false;
    if (id) SetWindowLongPtrW(h, GWLP_ID, static_cast<LONG_PTR>(id));
    ShowWindow(h, SW_SHOW);
    return true;
}

INT_PTR CALLBACK CFormView::staticProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    auto* self = static_cast<CFormView*>(CWnd::fromHandle(h));
    if (msg == WM_INITDIALOG) {
        self = reinterpret_cast<CFormView*>(lp);
        self->attachHandle(h);
        RECT r{};
        GetClientRect(h, &r);
        self->preferred_ = {r.right, r.bottom};
    }
    return dispatch(self, h, msg, wp, lp);
}

}  // namespace fw
