// The main window: tool bar, status bar with date and time, and a splitter
// with the tree of utilities (left) and the tabbed pages (right).
#pragma once
#include "common/cmd/msglib.h"
#include "common/framework/splitter.h"
#include "srvutil/appsplash.h"
#include "srvutil/framesdi.h"
#include "srvutil/viewtab.h"
#include "srvutil/viewtree.h"
#include <ctime>
#include <string>

class CUtilSettings;

// The smallest size the user may drag the frame to on a screen this big.
SIZE minTrackSize(SIZE screen);

// Date pane ("%x") and time pane ("%I:%M  " and "AM " or "PM ") texts.
std::wstring dateText(const std::tm& t);
std::wstring timeText(const std::tm& t);

// Puts the start-up task item on top of the menu titled `menuTitle` (once),
// or appends a pop-up with that title holding the item when there is none.
// true when the menu bar changed.
bool adjustTasksMenu(HMENU menuBar, const std::wstring& menuTitle, const std::wstring& itemText, UINT command);

class CQoraFrame : public CIfcSdiFrameWnd {
public:
    explicit CQoraFrame(CUtilSettings& settings);
    ~CQoraFrame() override;
    // Shows the splash first when armed.
    void armSplash(UINT bitmapId, UINT milliseconds);

    CViewTree& treeView() { return tree_; }
    CViewTab& tabView() { return tab_; }
    // Copies DisplayTimeAndDate and shows or hides the clock accordingly.
    void refreshTimeAndDate();
    bool showTimeAndDate() const { return showTimeAndDate_; }
    void updateClock();

    // Availability of the external tools, set when the client area is made.
    bool serverAvailable = false;
    bool adminClientAvailable = false;
    bool backupClientAvailable = false;
    bool readmeAvailable = false;
    bool eventViewerAvailable = false;
    bool diagnosticsAvailable = false;
    bool browserAvailableWebAdmin = false;
    bool browserAvailableBooks = false;
    bool animationsAvailable = false;

    static constexpr UINT_PTR clockTimer = 4096;
    static constexpr UINT clockInterval = 10000;
    static constexpr int treeWidth = 170;

protected:
    bool onCreateFrame() override;
    bool onCommand(UINT id) override;
    void onInitMenu(HMENU menu) override;
    void onMinMaxInfo(MINMAXINFO* info) override;
    void onTimer(UINT_PTR id) override;
    void onDestroyFrame() override;

private:
    bool createClient();
    void findAvailableTools();
    void showPreferences();
    void showAbout();
    void helpOnHelp();
    void unpublishViews();

    CUtilSettings& settings_;
    CIfcMsgLib msgLib_;
    CSplashWnd splash_;
    UINT splashBitmap_ = 0;
    UINT splashTime_ = 0;
    fw::CSplitterWnd splitter_;
    CViewTree tree_;
    CViewTab tab_;
    bool showTimeAndDate_ = false;
};
