#include "common/framework/propsheet.h"
#include "common/framework/msgloop.h"
#include "common/framework/resmod.h"

namespace fw {

CPropertyPage::~CPropertyPage() {
    // The sheet owns the page window; the page object only lets go of it.
    detachHandle();
}

void CPropertyPage::setHeader(std::wstring title, std::wstring subtitle) {
    headerTitle_ = std::move(title);
    headerSubtitle_ = std::move(subtitle);
}

void CPropertyPage::setModified(bool changed) {
    if (changed) {
        PropSheet_Changed(sheetWindow(), hwnd());
    } else {
        PropSheet_UnChanged(sheetWindow(), hwnd());
    }
}

PROPSHEETPAGEW CPropertyPage::describe() {
    PROPSHEETPAGEW p{};
    p.dwSize = sizeof p;
    p.dwFlags = PSP_DEFAULT;
    p.hInstance = resourceModule();
    p.pszTemplate = MAKEINTRESOURCEW(templateId());
    p.pfnDlgProc = staticProc;
    p.lParam = reinterpret_cast<LPARAM>(this);
    if (!caption_.empty()) {
        p.dwFlags |= PSP_USETITLE;
        p.pszTitle = caption_.c_str();
    }
    if (!headerTitle_.empty()) {
        p.dwFlags |= PSP_USEHEADERTITLE;
        p.pszHeaderTitle = headerTitle_.c_str();
    }
    if (!headerSubtitle_.empty()) {
        p.dwFlags |= PSP_USEHEADERSUBTITLE;
        p.pszHeaderSubTitle = headerSubtitle_.c_str();
    }
    return p;
}

bool CPropertyPage::onNotify(NMHDR* header) {
    if (header->hwndFrom != sheetWindow()) return false;
    switch (header->code) {
    case PSN_SETACTIVE:
        setResult(onSetActive() ? 0 : -1);
        return true;
    case PSN_KILLACTIVE:
        setResult(onKillActive() ? FALSE : TRUE);
        return true;
    case PSN_WIZNEXT:
        setResult(onWizardNext());
        return true;
    case PSN_WIZBACK:
        setResult(onWizardBack());
        return true;
    case PSN_WIZFINISH:
        setResult(onWizardFinish() ? FALSE : TRUE);
        return true;
    case PSN_APPLY:
        setResult(onApply() ? PSNRET_NOERROR : PSNRET_INVALID_NOCHANGEPAGE);
        return true;
    case PSN_RESET:
        onReset();
        return true;
    case PSN_QUERYCANCEL:
        setResult(onQueryCancel() ? FALSE : TRUE);
        return true;
    case PSN_HELP:
        onHelp();
        return true;
    default:
        return false;
    }
}

INT_PTR CALLBACK CPropertyPage::staticProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    auto* self = static_cast<CPropertyPage*>(CWnd::fromHandle(h));
    if (msg == WM_INITDIALOG) {
        self = reinterpret_cast<CPropertyPage*>(reinterpret_cast<PROPSHEETPAGEW*>(lp)->lParam);
        self->attachHandle(h);
    }
    return dispatch(self, h, msg, wp, lp);
}

CPropertySheet::CPropertySheet(std::wstring caption, Mode mode)
    : caption_(std::move(caption)), mode_(mode) {}

CPropertySheet::~CPropertySheet() {
    if (hwnd_ && IsWindow(hwnd_)) {
        unregisterModeless(hwnd_);
        DestroyWindow(hwnd_);
    }
}

PROPSHEETHEADERW CPropertySheet::describe(HWND owner, std::vector<HPROPSHEETPAGE>& pages,
                                          bool modeless) {
    bool anyHeader = false;
    for (CPropertyPage* page : pages_) anyHeader |= !page->headerTitle_.empty();
    for (CPropertyPage* page : pages_) {
        PROPSHEETPAGEW p = page->describe();
        if (mode_ == Mode::Wizard && anyHeader && p.pszHeaderTitle == nullptr)
            p.dwFlags |= PSP_HIDEHEADER;
        pages.push_back(CreatePropertySheetPageW(&p));
    }
    PROPSHEETHEADERW h{};
    h.dwSize = sizeof h;
    h.dwFlags = PSH_NOCONTEXTHELP | extraFlags_;
    if (mode_ == Mode::Wizard) h.dwFlags |= PSH_WIZARD97 | (anyHeader ? PSH_HEADER : 0);
    if (modeless) h.dwFlags |= PSH_MODELESS;
    h.hwndParent = owner;
    h.hInstance = resourceModule();
    h.pszCaption = caption_.c_str();
    h.nPages = static_cast<UINT>(pages.size());
    h.nStartPage = static_cast<UINT>(startPage_);
    h.phpage = pages.data();
    return h;
}

INT_PTR CPropertySheet::doModal(HWND owner) {
    std::vector<HPROPSHEETPAGE> pages;
    PROPSHEETHEADERW h = describe(owner, pages, false);
    INT_PTR result = PropertySheetW(&h);
    hwnd_ = nullptr;
    return result;
}

bool CPropertySheet::createModeless(HWND owner) {
    std::vector<HPROPSHEETPAGE> pages;
    PROPSHEETHEADERW h = describe(owner, pages, true);
    INT_PTR result = PropertySheetW(&h);
    if (result <= 0) return false;
    hwnd_ = reinterpret_cast<HWND>(result);
    registerModeless(hwnd_, true);
    return true;
}

bool CPropertySheet::finished() const {
    return !hwnd_ || !IsWindow(hwnd_) || !PropSheet_GetCurrentPageHwnd(hwnd_);
}

int CPropertySheet::activeIndex() const {
    if (finished()) return -1;
    return static_cast<int>(SendMessageW(hwnd_, PSM_HWNDTOINDEX,
                                         reinterpret_cast<WPARAM>(PropSheet_GetCurrentPageHwnd(hwnd_)), 0));
}

CPropertyPage* CPropertySheet::activePage() const {
    if (finished()) return nullptr;
    return static_cast<CPropertyPage*>(CWnd::fromHandle(PropSheet_GetCurrentPageHwnd(hwnd_)));
}

}  // namespace fw
