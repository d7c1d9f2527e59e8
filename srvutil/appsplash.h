// Start-up splash: a borderless pop-up the size of its bitmap, owned by the
// main window, that closes itself when its time is up.
#pragma once
#include "common/framework/handle.h"
#include "common/framework/wnd.h"

class CSplashWnd : public fw::CWnd {
public:
    // Shows bitmap `bitmapId` of the resource module centred on the screen
    // for `milliseconds`. false when the bitmap or the window is missing.
    bool show(HWND owner, UINT bitmapId, UINT milliseconds);

protected:
    LRESULT windowProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    static constexpr UINT_PTR closeTimer = 1;
    fw::UniqueGdiObject bitmap_;
    SIZE size_{};
};
