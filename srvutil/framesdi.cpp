#include "srvutil/framesdi.h"
#include "common/cmd/utilsettings.h"

void CIfcSdiFrameWnd::showFrame(int showCommand) {
    if (restored_) {
        CFrameWnd::showFrame(showCommand);
        return;
    }
    restorePlacement();
}

void CIfcSdiFrameWnd::restorePlacement() {
    restored_ = true;
    PlacementRecord record = readPlacementRecord();
    WINDOWPLACEMENT wp = placementFromRecord(record, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
                                             GetSystemMetrics(SM_CXFRAME), GetSystemMetrics(SM_CYFRAME));
    SetWindowPlacement(hwnd(), &wp);
    UpdateWindow(hwnd());
}

void CIfcSdiFrameWnd::savePlacement() {
    WINDOWPLACEMENT wp{};
    wp.length = sizeof wp;
    if (GetWindowPlacement(hwnd(), &wp)) writePlacementRecord(recordFromPlacement(wp));
}

LRESULT CIfcSdiFrameWnd::windowProc(UINT msg, WPARAM wp, LPARAM lp) {
    // Only a frame that was shown has a placement worth keeping.
    if (msg == WM_DESTROY && restored_) savePlacement();
    return CFrameWnd::windowProc(msg, wp, lp);
}
