// The window framework driven in-process: handles, dialogs, property sheets
// (modeless, pressed as a user would), bars, splitter and help requests.
#include <gtest/gtest.h>
#include "common/framework/app.h"
#include "common/framework/bars.h"
#include "common/framework/dialog.h"
#include "common/framework/frame.h"
#include "common/framework/handle.h"
#include "common/framework/help.h"
#include "common/framework/msgloop.h"
#include "common/framework/propsheet.h"
#include "common/framework/splitter.h"
#include "app_ids.h"
#include "tests/common/framework/fwtest_ids.h"
#include "tests/support/testsupport.h"
#include <commctrl.h>
#include <string>
#include <vector>

namespace {

TEST(Handle, ReleasesOnceAndMovesOwnership) {
    HANDLE raw = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    DWORD flags = 0;
    {
        fw::UniqueHandle a(raw);
        fw::UniqueHandle b(std::move(a));
        EXPECT_FALSE(a);
        EXPECT_EQ(b.get(), raw);
        EXPECT_TRUE(GetHandleInformation(raw, &flags));
    }
    EXPECT_FALSE(GetHandleInformation(raw, &flags));

    fw::UniqueFile file;
    EXPECT_FALSE(file);  // INVALID_HANDLE_VALUE is "none" for files
    EXPECT_EQ(file.get(), INVALID_HANDLE_VALUE);

    fw::UniqueHandle c(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    HANDLE first = c.get();
    c.reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    EXPECT_FALSE(GetHandleInformation(first, &flags));
    HANDLE kept = c.release();
    EXPECT_FALSE(c);
    EXPECT_TRUE(CloseHandle(kept));
}

class EchoDialog : public fw::CDialog {
public:
    EchoDialog() : CDialog(IDD_FWT_DIALOG) {}
    int initCount = 0;
    std::wstring okText;

protected:
    BOOL onInitDialog() override {
        ++initCount;
        setItemText(IDC_FWT_EDIT, L"hello");
        return TRUE;
    }
    void onOK() override {
        okText = itemText(IDC_FWT_EDIT);
        endDialog(IDOK);
    }
};

TEST(Dialog, ModelessStoresItselfAndForwardsCommands) {
    auto dlg = std::make_unique<EchoDialog>();
    ASSERT_TRUE(dlg->createModeless(nullptr));
    HWND h = dlg->hwnd();
    EXPECT_EQ(fw::CWnd::fromHandle(h), dlg.get());
    EXPECT_EQ(dlg->initCount, 1);
    SendMessageW(h, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(dlg->okText, L"hello");
    EXPECT_FALSE(IsWindow(h));  // a modeless dialog ends by destroying itself
    EXPECT_EQ(dlg->hwnd(), nullptr);
}

TEST(Dialog, DestructorDetachesBeforeTheWindowDies) {
    HWND h;
    {
        EchoDialog dlg;
        ASSERT_TRUE(dlg.createModeless(nullptr));
        h = dlg.hwnd();
    }
    EXPECT_FALSE(IsWindow(h));
}

TEST(Dialog, ModalReturnsTheEndValue) {
    struct Closing : EchoDialog {
        BOOL onInitDialog() override {
            PostMessageW(hwnd(), WM_COMMAND, IDCANCEL, 0);
            return EchoDialog::onInitDialog();
        }
    } dlg;
    EXPECT_EQ(dlg.doModal(nullptr), IDCANCEL);
}

// The pages of the test wizard share this model, as real wizards do.
struct WizardModel {
    bool skipSecond = false;
    bool blockFirst = false;
    bool refuseFinish = false;
    std::vector<std::wstring> seen;
    std::wstring typed;
};

class ModelPage : public fw::CPropertyPage {
public:
    ModelPage(UINT id, const wchar_t* name, WizardModel& model) : CPropertyPage(id), name_(name), model_(model) {}

protected:
    bool onSetActive() override {
        if (name_ == L"two" && model_.skipSecond) return false;
        model_.seen.push_back(name_);
        setWizardButtons(name_ == L"three" ? PSWIZB_BACK | PSWIZB_FINISH : PSWIZB_NEXT | PSWIZB_BACK);
        return true;
    }
    LRESULT onWizardNext() override {
        if (name_ == L"one") model_.typed = itemText(IDC_FWT_EDIT);
        return name_ == L"one" && model_.blockFirst ? -1 : 0;
    }
    bool onWizardFinish() override { return !model_.refuseFinish; }

private:
    std::wstring name_;
    WizardModel& model_;
};

struct TestWizard {
    WizardModel model;
    ModelPage one{IDD_FWT_PAGE1, L"one", model};
    ModelPage two{IDD_FWT_PAGE2, L"two", model};
    ModelPage three{IDD_FWT_PAGE3, L"three", model};
    fw::CPropertySheet sheet{L"Test wizard", fw::CPropertySheet::Mode::Wizard};
    TestWizard() {
        sheet.addPage(one);
        sheet.addPage(two);
        sheet.addPage(three);
    }
};

// A short pump: the sheet's requests are posted.
void settle() {
    for (int i = 0; i < 20; ++i) {
        fw::pumpWaitingMessages();
        Sleep(5);
    }
}

TEST(Sheet, WizardWalksPagesByTheirContracts) {
    struct Case {
        const char* name;
        bool skipSecond, blockFirst, refuseFinish;
        int nextPresses;
        std::vector<std::wstring> seen;
        bool finished;
    };
    const Case cases[] = {
        {"all pages", false, false, false, 2, {L"one", L"two", L"three"}, true},
        {"second skipped", true, false, false, 1, {L"one", L"three"}, true},
        {"first blocks Next", false, true, false, 1, {L"one"}, true},
        {"finish refused", false, false, true, 2, {L"one", L"two", L"three"}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TestWizard w;
        w.model.skipSecond = c.skipSecond;
        w.model.blockFirst = c.blockFirst;
        w.model.refuseFinish = c.refuseFinish;
        ASSERT_TRUE(w.sheet.createModeless(nullptr));
        settle();
        SetDlgItemTextW(w.one.hwnd(), IDC_FWT_EDIT, L"typed");
        for (int i = 0; i < c.nextPresses; ++i) {
            w.sheet.pressButton(PSBTN_NEXT);
            settle();
        }
        EXPECT_EQ(w.model.typed, L"typed");
        w.sheet.pressButton(PSBTN_FINISH);
        settle();
        EXPECT_EQ(w.model.seen, c.seen);
        EXPECT_EQ(w.sheet.finished(), c.finished);
    }
}

TEST(Sheet, ActivePageIsTheObjectBehindTheWindow) {
    TestWizard w;
    ASSERT_TRUE(w.sheet.createModeless(nullptr));
    settle();
    EXPECT_EQ(w.sheet.activePage(), &w.one);
    EXPECT_EQ(w.sheet.activeIndex(), 0);
    w.sheet.pressButton(PSBTN_NEXT);
    settle();
    EXPECT_EQ(w.sheet.activePage(), &w.two);
    w.sheet.pressButton(PSBTN_CANCEL);
    settle();
    EXPECT_TRUE(w.sheet.finished());
}

class TestFrame : public fw::CFrameWnd {
public:
    fw::CSplitterWnd splitter;
    fw::CWnd left, right;

protected:
    bool onCreateFrame() override {
        if (!statusBar().create(hwnd(), {IDS_FW_INDICATOR_CAPS})) return false;
        if (!toolBar().create(hwnd(), IDR_FWT_TOOLBAR)) return false;
        if (!splitter.createStatic(hwnd(), 2, 1)) return false;
        fw::CWnd::registerClass(L"FwTestPane");
        RECT r{0, 0, 10, 10};
        left.createEx(0, L"FwTestPane", L"left", WS_CHILD | WS_VISIBLE, r, splitter.hwnd());
        right.createEx(0, L"FwTestPane", L"right", WS_CHILD | WS_VISIBLE, r, splitter.hwnd());
        splitter.setPane(0, left.hwnd());
        splitter.setPane(1, right.hwnd());
        splitter.setColumnWidth(0, 170);
        setClient(&splitter);
        return true;
    }
};

RECT childRect(HWND child) {
    RECT r;
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

TEST(Frame, LaysOutBarsAndSplitterPanes) {
    TestFrame frame;
    ASSERT_TRUE(frame.create(L"FwTestFrame", L"Frame", 0));
    SetWindowPos(frame.hwnd(), nullptr, 0, 0, 640, 480, SWP_NOZORDER);
    frame.showFrame(SW_SHOWNOACTIVATE);
    settle();

    EXPECT_EQ(frame.toolBar().commands(), (std::vector<UINT>{ID_FWT_FIRST, ID_FWT_SECOND}));
    frame.toolBar().enableButton(ID_FWT_SECOND, false);
    EXPECT_FALSE(frame.toolBar().isButtonEnabled(ID_FWT_SECOND));

    RECT client = frame.clientRect(), split = childRect(frame.splitter.hwnd());
    EXPECT_EQ(split.top, frame.toolBar().height());
    EXPECT_EQ(split.bottom, client.bottom - frame.statusBar().height());
    RECT left = childRect(frame.left.hwnd()), right = childRect(frame.right.hwnd());
    EXPECT_EQ(left.right - left.left, 170);
    EXPECT_EQ(right.left, 170 + fw::CSplitterWnd::barWidth);
    EXPECT_EQ(right.right, client.right);

    // Dragging the bar moves the boundary; the left pane keeps its new width.
    SendMessageW(frame.splitter.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(172, 20));
    SendMessageW(frame.splitter.hwnd(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(252, 20));
    SendMessageW(frame.splitter.hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(252, 20));
    EXPECT_EQ(frame.splitter.columnWidth(0), 250);
    SetWindowPos(frame.hwnd(), nullptr, 0, 0, 700, 480, SWP_NOZORDER | SWP_NOMOVE);
    EXPECT_EQ(frame.splitter.columnWidth(0), 250);
}

TEST(Frame, FlyByTextAndToolTipComeFromTheCommandString) {
    TestFrame frame;
    ASSERT_TRUE(frame.create(L"FwTestFrame", L"Frame", 0));
    settle();
    EXPECT_EQ(frame.statusBar().paneText(0), L"Ready");
    SendMessageW(frame.hwnd(), WM_MENUSELECT, MAKEWPARAM(ID_FWT_FIRST, MF_STRING), 1);
    EXPECT_EQ(frame.statusBar().paneText(0), L"Does the first thing");
    SendMessageW(frame.hwnd(), WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0);
    EXPECT_EQ(frame.statusBar().paneText(0), L"Ready");

    NMTTDISPINFOW tip{};
    tip.hdr.hwndFrom = frame.toolBar().hwnd();
    tip.hdr.idFrom = ID_FWT_FIRST;
    tip.hdr.code = TTN_GETDISPINFOW;
    SendMessageW(frame.hwnd(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&tip));
    ASSERT_NE(tip.lpszText, nullptr);
    EXPECT_STREQ(tip.lpszText, L"First");
    tip.hdr.idFrom = ID_FWT_SECOND;  // no tip part: an empty tip
    SendMessageW(frame.hwnd(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&tip));
    EXPECT_STREQ(tip.lpszText, L"");
}

TEST(StatusBar, PanesCollapseAndFitTheirText) {
    TestFrame frame;
    ASSERT_TRUE(frame.create(L"FwTestFrame", L"Frame", 0));
    SetWindowPos(frame.hwnd(), nullptr, 0, 0, 640, 480, SWP_NOZORDER);
    fw::CStatusBar& bar = frame.statusBar();
    int pane = bar.paneIndex(IDS_FW_INDICATOR_CAPS);
    ASSERT_EQ(pane, 1);
    EXPECT_EQ(bar.paneIndex(12345), -1);
    bar.setPaneWidth(pane, 0);
    EXPECT_LE(bar.paneWidth(pane), 0);  // a collapsed pane has no room for text
    bar.setPaneWidth(pane, bar.fittingWidth(L"12:00  PM "));
    EXPECT_GT(bar.paneWidth(pane), bar.fittingWidth(L"1"));
}

struct HelpCall {
    std::wstring file;
    UINT command;
    ULONG_PTR data;
    std::wstring keyword;
};
std::vector<HelpCall> g_helpCalls;
BOOL recordHelp(HWND, const wchar_t* file, UINT command, ULONG_PTR data) {
    g_helpCalls.push_back({file, command, data,
                           command == HELP_KEY ? reinterpret_cast<const wchar_t*>(data) : L""});
    return command != HELP_HELPONHELP;
}

TEST(Help, EveryRequestNamesTheHelpFile) {
    g_helpCalls.clear();
    fw::HelpEngine old = fw::setHelpEngine(recordHelp);
    fw::setHelpFile(L"C:\\u\\hlpengu.hlp");
    EXPECT_FALSE(fw::helpKeyword(nullptr, L""));  // no keyword, no request
    EXPECT_TRUE(fw::helpKeyword(nullptr, L"Services Network Resource List"));
    EXPECT_TRUE(fw::helpContext(nullptr, 7));
    EXPECT_FALSE(fw::helpOnHelp(nullptr));  // refused by the engine
    fw::setHelpEngine(old);
    ASSERT_EQ(g_helpCalls.size(), 3u);
    EXPECT_EQ(g_helpCalls[0].command, (UINT)HELP_KEY);
    EXPECT_EQ(g_helpCalls[0].keyword, L"Services Network Resource List");
    EXPECT_EQ(g_helpCalls[1].command, (UINT)HELP_CONTEXT);
    EXPECT_EQ(g_helpCalls[1].data, 7u);
    EXPECT_EQ(g_helpCalls[2].command, (UINT)HELP_HELPONHELP);
    for (const HelpCall& c : g_helpCalls) EXPECT_EQ(c.file, L"C:\\u\\hlpengu.hlp");
}

}  // namespace
