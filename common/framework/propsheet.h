// Property pages and sheets, normal and wizard, modal and modeless.
//
// The pages of one wizard never talk to each other: they share one model
// object that the wizard owns and hands to each page's constructor.
#pragma once
#include "common/framework/dialog.h"
#include <commctrl.h>
#include <prsht.h>
#include <string>
#include <vector>

namespace fw {

class CPropertySheet;

class CPropertyPage : public CDialogBase {
public:
    explicit CPropertyPage(UINT templateId) : CDialogBase(templateId) {}
    ~CPropertyPage() override;

    // Wizard-97 header texts; empty texts leave the header without them.
    void setHeader(std::wstring title, std::wstring subtitle);
    // Caption on the page's tab, instead of the template's own.
    void setCaption(std::wstring caption) { caption_ = std::move(caption); }

    // The sheet window holding this page.
    HWND sheetWindow() const { return GetParent(hwnd()); }
    void setWizardButtons(DWORD flags) { PropSheet_SetWizButtons(sheetWindow(), flags); }
    void setModified(bool changed = true);

protected:
    // The page is about to be shown. true shows it; false skips it in the
    // direction of travel (wizards).
    virtual bool onSetActive() { return true; }
    // The page is about to be left (or OK pressed). false keeps it shown,
    // after the page has told the user why.
    virtual bool onKillActive() { return true; }
    // Next pressed. 0 goes to the next page, -1 stays on this one, any other
    // value is the template number of the page to go to.
    virtual LRESULT onWizardNext() { return 0; }
    // Back pressed; the same contract as onWizardNext.
    virtual LRESULT onWizardBack() { return 0; }
    // Finish pressed. true lets the wizard close; false keeps it open.
    virtual bool onWizardFinish() { return true; }
    // OK or Apply pressed: store the page's values. false keeps the sheet open
    // on this page.
    virtual bool onApply() { return true; }
    // Cancel pressed or the sheet closed without OK.
    virtual void onReset() {}
    // Cancel asked for. true lets the sheet close.
    virtual bool onQueryCancel() { return true; }
    // Help pressed on this page.
    virtual void onHelp() {}

    bool onNotify(NMHDR* header) override;

private:
    friend class CPropertySheet;
    PROPSHEETPAGEW describe();
    static INT_PTR CALLBACK staticProc(HWND h, UINT msg, WPARAM wp, LPARAM lp);
    std::wstring headerTitle_, headerSubtitle_, caption_;
};

class CPropertySheet {
public:
    enum class Mode { Tabbed, Wizard };
    CPropertySheet(std::wstring caption, Mode mode = Mode::Tabbed);
    ~CPropertySheet();
    CPropertySheet(const CPropertySheet&) = delete;
    CPropertySheet& operator=(const CPropertySheet&) = delete;

    void addPage(CPropertyPage& page) { pages_.push_back(&page); }
    // Sets the sheet's flags beyond the mode's own (PSH_NOAPPLYNOW, PSH_HASHELP ...).
    void addFlags(DWORD flags) { extraFlags_ |= flags; }
    void setStartPage(size_t index) { startPage_ = index; }

    // Runs the sheet. >0 when it closed by OK or Finish, 0 by Cancel or the
    // close box, -1 when it could not be created.
    INT_PTR doModal(HWND owner);
    // Creates the sheet and returns at once; the message loop (or a test
    // pumping messages) drives it. false when it could not be created.
    bool createModeless(HWND owner);

    HWND hwnd() const { return hwnd_; }
    // A modeless sheet is finished once its last page has closed.
    bool finished() const;
    // Presses a button as the user would (PSBTN_NEXT, PSBTN_FINISH ...). The
    // request is posted: pump messages before reading the result.
    void pressButton(int button) { PropSheet_PressButton(hwnd_, button); }
    CPropertyPage* activePage() const;
    int activeIndex() const;

private:
    PROPSHEETHEADERW describe(HWND owner, std::vector<HPROPSHEETPAGE>& pages, bool modeless);

    std::wstring caption_;
    Mode mode_;
    DWORD extraFlags_ = 0;
    size_t startPage_ = 0;
    std::vector<CPropertyPage*> pages_;
    HWND hwnd_ = nullptr;
};

}  // namespace fw
