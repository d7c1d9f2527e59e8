#include "srvutil/frame.h"
#include "app_ids.h"
#include "common/cmd/ifcregis.h"
#include "common/cmd/utilsettings.h"
#include "common/framework/help.h"
#include "common/framework/resmod.h"
#include "srvutil/frameabout.h"
#include "srvutil/framepref.h"
#include "srvutil/objslots.h"
#include <cwchar>

namespace {
constexpr UINT splitterId = 59648;

bool fileExists(const std::wstring& path) {
    DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::wstring menuText(HMENU menu, UINT position) {
    wchar_t buffer[256] = L"";
    GetMenuStringW(menu, position, buffer, static_cast<int>(std::size(buffer)), MF_BYPOSITION);
    return buffer;
}

std::wstring systemFile(const wchar_t* name) {
    wchar_t root[MAX_PATH] = L"";
    GetEnvironmentVariableW(L"SystemRoot", root, MAX_PATH);
    return std::wstring(root) + L"\\system32\\" + name;
}
}  // namespace

SIZE minTrackSize(SIZE screen) {
    return {screen.cx < 100 ? screen.cx - 5 : 100, screen.cy < 100 ? screen.cy - 5 : 100};
}

std::wstring dateText(const std::tm& t) {
    wchar_t buffer[64] = L"";
    wcsftime(buffer, std::size(buffer), L"%x", &t);
    return buffer;
}

std::wstring timeText(const std::tm& t) {
    wchar_t buffer[64] = L"";
    wcsftime(buffer, std::size(buffer), L"%I:%M  ", &t);
    return std::wstring(buffer) + (t.tm_hour < 12 ? L"AM " : L"PM ");
}

bool adjustTasksMenu(HMENU menuBar, const std::wstring& menuTitle, const std::wstring& itemText, UINT command) {
    int count = GetMenuItemCount(menuBar);
    for (int i = 0; i < count; ++i) {
        if (menuText(menuBar, static_cast<UINT>(i)) != menuTitle) continue;
        HMENU popup = GetSubMenu(menuBar, i);
        if (!popup || menuText(popup, 0) == itemText) return false;
        InsertMenuW(popup, 0, MF_BYPOSITION | MF_STRING, command, itemText.c_str());
        InsertMenuW(popup, 1, MF_BYPOSITION | MF_SEPARATOR, 0, nullptr);
        return true;
    }
    HMENU popup = CreatePopupMenu();
    AppendMenuW(popup, MF_STRING, command, itemText.c_str());
    AppendMenuW(menuBar, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(popup), menuTitle.c_str());
    return true;
}

CQoraFrame::CQoraFrame(CUtilSettings& settings) : settings_(settings) {}

// A frame destroyed without its window closing first must not leave its
// views in the slots either.
CQoraFrame::~CQoraFrame() { unpublishViews(); }

void CQoraFrame::unpublishViews() {
    clearSlot(SLOT_TREE_VIEW);
    clearSlot(SLOT_TAB_VIEW);
    clearSlot(SLOT_TREE_CONTROL);
}

void CQoraFrame::armSplash(UINT bitmapId, UINT milliseconds) {
    splashBitmap_ = bitmapId;
    splashTime_ = milliseconds;
}

bool CQoraFrame::onCreateFrame() {
    if (splashBitmap_) splash_.show(hwnd(), splashBitmap_, splashTime_);
    if (!statusBar().create(hwnd(), {IDS_FW_INDICATOR_CAPS, IDS_FW_INDICATOR_NUM, IDS_FW_INDICATOR_SCRL,
                                     ID_INDICATOR_DATE, ID_INDICATOR_TIME}))
        return false;
    if (!toolBar().create(hwnd(), IDR_MAINFRAME)) return false;
    if (!createClient()) return false;
    setText(fw::loadResString(IDS_MAIN_TITLE));
    findAvailableTools();
    refreshTimeAndDate();
    return true;
}

bool CQoraFrame::createClient() {
    if (!splitter_.createStatic(hwnd(), 2, splitterId)) return false;
    if (!tree_.create(splitter_.paneParent()) || !tab_.create(splitter_.paneParent())) return false;
    splitter_.setPane(0, tree_.hwnd());
    splitter_.setPane(1, tab_.hwnd());
    setSlot(SLOT_TREE_VIEW, &tree_);
    setSlot(SLOT_TAB_VIEW, &tab_);
    setSlot(SLOT_TREE_CONTROL, &tree_.tree());
    splitter_.setRowHeight(tree_.preferredSize().cy);
    splitter_.setColumnWidth(0, treeWidth);
    setClient(&splitter_);
    return true;
}

void CQoraFrame::findAvailableTools() {
    tstring dir;
    getServerDir(dir);
    serverAvailable = fileExists(dir + L"kvtserv.exe");
    adminClientAvailable = getAdminClientDir(dir) && fileExists(dir + L"kvtadmc.exe");
    backupClientAvailable = getBackupClientDir(dir) && fileExists(dir + L"kvt.exe");
    readmeAvailable = getBooksPath(L"readtevra.exe", dir) && fileExists(dir);
    eventViewerAvailable = fileExists(systemFile(L"eventvwr.exe"));
    diagnosticsAvailable = fileExists(systemFile(L"winmsd.exe"));
    browserAvailableWebAdmin = browserAvailableBooks = getBrowserDir(dir);
    animationsAvailable = getMultimediaPath(L"qorac30.avi", dir) && fileExists(dir);
}

void CQoraFrame::refreshTimeAndDate() {
    showTimeAndDate_ = settings_.displayTimeAndDate();
    // The clock only needs its timer while it is shown.
    if (showTimeAndDate_) {
        SetTimer(hwnd(), clockTimer, clockInterval, nullptr);
    } else {
        KillTimer(hwnd(), clockTimer);
    }
    updateClock();
}

void CQoraFrame::updateClock() {
    fw::CStatusBar& bar = statusBar();
    int datePane = bar.paneIndex(ID_INDICATOR_DATE), timePane = bar.paneIndex(ID_INDICATOR_TIME);
    if (datePane < 0 || timePane < 0) return;
    std::wstring date = L" ", time = L" ";
    if (showTimeAndDate_) {
        std::time_t now = std::time(nullptr);
        std::tm local = *std::localtime(&now);
        date = dateText(local);
        time = timeText(local);
    }
    bar.setPaneWidth(datePane, showTimeAndDate_ ? bar.fittingWidth(date) : 0);
    bar.setPaneWidth(timePane, showTimeAndDate_ ? bar.fittingWidth(time) : 0);
    bar.setPaneText(datePane, date);
    bar.setPaneText(timePane, time);
}

void CQoraFrame::onTimer(UINT_PTR id) {
    if (id == clockTimer) updateClock();
}

void CQoraFrame::onMinMaxInfo(MINMAXINFO* info) {
    SIZE least = minTrackSize({GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)});
    info->ptMinTrackSize = {least.cx, least.cy};
}

void CQoraFrame::onInitMenu(HMENU menu) {
    if (adjustTasksMenu(menu, fw::loadResString(IDS_TASKS_MENU), fw::loadResString(IDS_STARTUP_TASKS_ITEM),
                        ID_STARTUP_TASKS))
        DrawMenuBar(hwnd());
}

bool CQoraFrame::onCommand(UINT id) {
    switch (id) {
    case ID_PREFERENCES:
        showPreferences();
        return true;
    case ID_APP_ABOUT:
        showAbout();
        return true;
    case ID_HELP_USING:
        helpOnHelp();
        return true;
    case ID_APP_EXIT:
        PostMessageW(hwnd(), WM_CLOSE, 0, 0);
        return true;
    default:
        return false;
    }
}

void CQoraFrame::showPreferences() {
    runPreferences(hwnd(), settings_);
    refreshTimeAndDate();
}

void CQoraFrame::showAbout() {
    CAboutDlg about;
    about.doModal(hwnd());
}

void CQoraFrame::helpOnHelp() {
    if (!fw::helpOnHelp(hwnd())) showMessage(hwnd(), MSG_STOP, MSG_HELP_ON_HELP_FAILED);
}

void CQoraFrame::onDestroyFrame() {
    KillTimer(hwnd(), clockTimer);
    unpublishViews();
}
