// Main frame base that remembers its placement in the per-user profile:
// restored on the first showing, saved when the frame is destroyed.
#pragma once
#include "common/framework/frame.h"

class CIfcSdiFrameWnd : public fw::CFrameWnd {
public:
    void showFrame(int showCommand) override;
    void restorePlacement();
    void savePlacement();

protected:
    LRESULT windowProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    bool restored_ = false;
};
