// Top-level frame window: menu, tool bar at the top, status bar at the
// bottom and one client window (a view or a splitter) filling the rest.
// Commands come from the menu and the tool bar alike; their string resource
// "prompt\ntip" gives the status bar's fly-by text and the tool tip.
#pragma once
#include "common/framework/bars.h"
#include "common/framework/wnd.h"

namespace fw {

class CFrameWnd : public CWnd {
public:
    // Creates the (hidden) frame with menu `menuId` from the resource module
    // (0 for none). onCreateFrame builds the bars and the client area.
    bool create(const wchar_t* className, const std::wstring& title, UINT menuId,
                DWORD style = WS_OVERLAPPEDWINDOW);
    // First and later showing of the frame by the application.
    virtual void showFrame(int showCommand);

    CToolBar& toolBar() { return toolBar_; }
    CStatusBar& statusBar() { return statusBar_; }
    void setClient(CWnd* client) { client_ = client; }
    void recalcLayout();
    // Text of the status bar's message pane.
    void setMessageText(const std::wstring& text);
    // Idle time: keeps the keyboard state panes current.
    virtual void onIdle();

protected:
    // Builds the bars and the client area; false makes creation fail.
    virtual bool onCreateFrame() { return true; }
    // A menu, tool bar or accelerator command. true when handled.
    virtual bool onCommand(UINT id) { return false; }
    virtual void onInitMenu(HMENU menu) {}
    virtual void onMinMaxInfo(MINMAXINFO* info) {}
    virtual void onTimer(UINT_PTR id) {}
    // The frame is being destroyed, its children still exist.
    virtual void onDestroyFrame() {}

    LRESULT windowProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void showPrompt(UINT command);
    CToolBar toolBar_;
    CStatusBar statusBar_;
    CWnd* client_ = nullptr;
    UINT shownPrompt_ = 0;
};

}  // namespace fw
