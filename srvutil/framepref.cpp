#include "srvutil/framepref.h"
#include "app_ids.h"
#include "common/cmd/utilsettings.h"
#include "common/framework/resmod.h"
#include <cwchar>

namespace {
// A whole number from an edit control; false for an empty or oversized text.
bool readNumber(const std::wstring& text, DWORD maximum, DWORD& out) {
    if (text.empty() || text.size() > 10) return false;
    wchar_t* end = nullptr;
    unsigned long long value = wcstoull(text.c_str(), &end, 10);
    if (*end != L'\0' || value > maximum) return false;
    out = static_cast<DWORD>(value);
    return true;
}

bool readSeconds(fw::CDialogBase& page, int id, DWORD& out, bool tell) {
    DWORD value = 0;
    if (readNumber(page.itemText(id), MAX_PREF_SECONDS, value) && value > 0) {
        out = value;
        return true;
    }
    if (tell) {
        showMessage(page.hwnd(), MSG_WARNING, MSG_PREF_BAD_SECONDS, MAX_PREF_SECONDS);
        SetFocus(page.item(id));
    }
    return false;
}
}  // namespace

PreferencesModel PreferencesModel::of(const CUtilSettings& s) {
    PreferencesModel m;
    m.animation = s.animation();
    m.keepCmdLine = s.keepCmdLine();
    m.displayTimeAndDate = s.displayTimeAndDate();
    m.launchTimeoutSeconds = s.launchTimeout() / 1000;
    m.maxLinesCM = s.maxLinesCM();
    m.refreshSeconds = s.servicePanelRefreshInMs() / 1000;
    m.polling = s.servicePanelEnablePolling();
    return m;
}

void PreferencesModel::storeIn(CUtilSettings& s) const {
    s.setAnimation(animation);
    s.setKeepCmdLine(keepCmdLine);
    s.setDisplayTimeAndDate(displayTimeAndDate);
    s.setLaunchTimeoutSeconds(launchTimeoutSeconds);
    s.setMaxLinesCM(maxLinesCM);
    s.setServicePanelRefreshInSeconds(refreshSeconds);
    s.setServicePanelEnablePolling(polling);
}

CPrefGeneralPage::CPrefGeneralPage(PreferencesModel& model) : CPropertyPage(IDD_PREF_GENERAL), model_(model) {}

BOOL CPrefGeneralPage::onInitDialog() {
    setChecked(IDC_PREF_ANIMATION, model_.animation);
    setChecked(IDC_PREF_KEEPCMDLINE, model_.keepCmdLine);
    setChecked(IDC_PREF_TIMEANDDATE, model_.displayTimeAndDate);
    return TRUE;
}

bool CPrefGeneralPage::onKillActive() {
    model_.animation = isChecked(IDC_PREF_ANIMATION);
    model_.keepCmdLine = isChecked(IDC_PREF_KEEPCMDLINE);
    model_.displayTimeAndDate = isChecked(IDC_PREF_TIMEANDDATE);
    return true;
}

bool CPrefGeneralPage::onApply() {
    onKillActive();
    model_.accepted = true;
    return true;
}

CPrefCommandsPage::CPrefCommandsPage(PreferencesModel& model) : CPropertyPage(IDD_PREF_COMMANDS), model_(model) {}

BOOL CPrefCommandsPage::onInitDialog() {
    setItemText(IDC_PREF_LAUNCHTIMEOUT, std::to_wstring(model_.launchTimeoutSeconds));
    setItemText(IDC_PREF_MAXLINES, std::to_wstring(model_.maxLinesCM));
    return TRUE;
}

bool CPrefCommandsPage::onKillActive() {
    if (!readSeconds(*this, IDC_PREF_LAUNCHTIMEOUT, model_.launchTimeoutSeconds, true)) return false;
    // Any number is taken; the settings clamp it to what the console keeps.
    DWORD lines = 0;
    std::wstring text = itemText(IDC_PREF_MAXLINES);
    if (readNumber(text, 0xFFFFFFFFu, lines)) {
        model_.maxLinesCM = lines;
    } else if (!text.empty() && text.find_first_not_of(L"0123456789") == std::wstring::npos) {
        model_.maxLinesCM = MAX_LINES_CM_MAX;
    } else {
        showMessage(hwnd(), MSG_WARNING, MSG_PREF_BAD_LINES);
        SetFocus(item(IDC_PREF_MAXLINES));
        return false;
    }
    return true;
}

bool CPrefCommandsPage::onApply() {
    model_.accepted = true;
    return true;
}

CPrefServicesPage::CPrefServicesPage(PreferencesModel& model) : CPropertyPage(IDD_PREF_SERVICES), model_(model) {}

BOOL CPrefServicesPage::onInitDialog() {
    setChecked(IDC_PREF_POLLING, model_.polling);
    setItemText(IDC_PREF_REFRESH, std::to_wstring(model_.refreshSeconds));
    return TRUE;
}

bool CPrefServicesPage::onKillActive() {
    model_.polling = isChecked(IDC_PREF_POLLING);
    return readSeconds(*this, IDC_PREF_REFRESH, model_.refreshSeconds, true);
}

bool CPrefServicesPage::onApply() {
    model_.accepted = true;
    return true;
}

CPreferencesSheet::CPreferencesSheet(CUtilSettings& settings)
    : CPropertySheet(fw::loadResString(IDS_PREFERENCES_CAPTION)),
      settings_(settings),
      model_(PreferencesModel::of(settings)),
      general_(model_),
      commands_(model_),
      services_(model_) {
    addFlags(PSH_NOAPPLYNOW);
    addPage(general_);
    addPage(commands_);
    addPage(services_);
}

void CPreferencesSheet::storeResult() {
    if (model_.accepted) model_.storeIn(settings_);
    settings_.save();
}

void runPreferences(HWND owner, CUtilSettings& settings) {
    CPreferencesSheet sheet(settings);
    sheet.doModal(owner);
    sheet.storeResult();
}
