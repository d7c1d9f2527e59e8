#include "srvutil/viewtree.h"
#include "app_ids.h"

CViewTree::CViewTree() : CFormView(IDD_VIEW_TREE) {}

BOOL CViewTree::onInitDialog() {
    tree_.attach(hwnd(), IDC_VIEW_TREE);
    return FALSE;
}

void CViewTree::onSize(int cx, int cy) {
    if (tree_) MoveWindow(tree_.hwnd(), 0, 0, cx, cy, TRUE);
}
