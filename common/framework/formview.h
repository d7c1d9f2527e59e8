// A view made from a child dialog template: controls laid out in the
// resource, living inside a frame's client area or a splitter pane.
#pragma once
#include "common/framework/dialog.h"

namespace fw {

class CFormView : public CDialogBase {
public:
    using CDialogBase::CDialogBase;
    // The template must have the WS_CHILD style.
    bool create(HWND parent, UINT id = 0);
    // The size the template asks for, in pixels.
    SIZE preferredSize() const { return preferred_; }

private:
    static INT_PTR CALLBACK staticProc(HWND h, UINT msg, WPARAM wp, LPARAM lp);
    SIZE preferred_{};
};

}  // namespace fw
