// Right pane of the main window: the tabbed pages of the selected utility.
// The tab keeps 7 pixels to every edge and never shrinks below its first
// size.
#pragma once
#include "common/framework/controls.h"
#include "common/framework/formview.h"

class CViewTab : public fw::CFormView {
public:
    CViewTab();
    fw::CTabCtrl& tab() { return tab_; }

protected:
    BOOL onInitDialog() override;
    void onSize(int cx, int cy) override;

private:
    fw::CTabCtrl tab_;
    SIZE minimum_{};
};
