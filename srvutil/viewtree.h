// Left pane of the main window: the tree of utilities.
#pragma once
#include "common/framework/controls.h"
#include "common/framework/formview.h"

class CViewTree : public fw::CFormView {
public:
    CViewTree();
    fw::CTreeCtrl& tree() { return tree_; }

protected:
    BOOL onInitDialog() override;
    void onSize(int cx, int cy) override;

private:
    fw::CTreeCtrl tree_;
};
