#include "common/cmd/utilsettings.h"
#include "common/cmd/ifcregis.h"

namespace {

constexpr DWORD DEFAULT_ACCOUNTING_MASK = 33554431;  // the 25 report columns

DWORD clampMaxLines(DWORD v) {
    if (v < MAX_LINES_CM_MIN) return MAX_LINES_CM_MIN;
    if (v > MAX_LINES_CM_MAX) return MAX_LINES_CM_MAX;
    return v;
}

void readBool(CIfcRegistry& reg, const TCHAR* name, bool& target) {
    DWORD v = 0;
    if (reg.readDword(name, v) == ERROR_SUCCESS) target = (v == 1);
}

void readNumber(CIfcRegistry& reg, const TCHAR* name, DWORD& target) {
    reg.readDword(name, target);
}

tstring placementKey(const TCHAR* profileName) {
    return tstring(QORA_PROFILE_KEY) + (profileName ? profileName : QORA_PROFILE_NAME) +
           _T("\\") QORA_PLACEMENT_SECTION;
}

}  // namespace

CUtilSettings::CUtilSettings() { setDefaults(); }

void CUtilSettings::setDefaults() {
    animation_ = true;
    keepCmdLine_ = true;
    displayTimeAndDate_ = true;
    servicePanelRefreshInMs_ = 15000;
    servicePanelEnablePolling_ = true;
    launchTimeout_ = 300000;
    accountingMask_ = DEFAULT_ACCOUNTING_MASK;
    doNext_ = 1;
    inicfgState_ = 0;
    standalone_ = false;
    wantTips_ = false;
    manualTapes_ = false;
    autoTapes_ = false;
    maxLinesCM_ = 2048;
}

void CUtilSettings::load() {
    if (loaded_) return;
    loaded_ = true;
    setDefaults();
    CIfcRegistry reg;
    if (reg.open(HKEY_LOCAL_MACHINE, QORA_SETTINGS_KEY) != ERROR_SUCCESS) return;
    readBool(reg, _T("Animation"), animation_);
    readBool(reg, _T("KeepCmdLine"), keepCmdLine_);
    readBool(reg, _T("DisplayTimeAndDate"), displayTimeAndDate_);
    readNumber(reg, _T("ServicePanelRefreshInMs"), servicePanelRefreshInMs_);
    readBool(reg, _T("ServicePanelEnablePolling"), servicePanelEnablePolling_);
    readNumber(reg, _T("LaunchTimeout"), launchTimeout_);
    DWORD mask = 0;
    if (reg.readDword(_T("AccountingMask"), mask) == ERROR_SUCCESS) setAccountingMask(static_cast<LONG>(mask));
    readNumber(reg, _T("DoNext"), doNext_);
    readNumber(reg, _T("inicfgState"), inicfgState_);
    readBool(reg, _T("Standalone"), standalone_);
    readBool(reg, _T("WantTips"), wantTips_);
    readBool(reg, _T("ManualTapes"), manualTapes_);
    readBool(reg, _T("AutoTapes"), autoTapes_);
    DWORD lines = 0;
    if (reg.readDword(_T("MaxLinesCM"), lines) == ERROR_SUCCESS) setMaxLinesCM(lines);
}

LONG CUtilSettings::save() const {
    CIfcRegistry reg;
    LONG rc = reg.open(HKEY_LOCAL_MACHINE, QORA_SETTINGS_KEY);
    if (rc != ERROR_SUCCESS) return rc;
    const struct {
        const TCHAR* name;
        DWORD value;
    } values[] = {
        {_T("Animation"), animation_},
        {_T("KeepCmdLine"), keepCmdLine_},
        {_T("DisplayTimeAndDate"), displayTimeAndDate_},
        {_T("ServicePanelRefreshInMs"), servicePanelRefreshInMs_},
        {_T("ServicePanelEnablePolling"), servicePanelEnablePolling_},
        {_T("LaunchTimeout"), launchTimeout_},
        {_T("AccountingMask"), static_cast<DWORD>(accountingMask_)},
        {_T("DoNext"), doNext_},
        {_T("inicfgState"), inicfgState_},
        {_T("Standalone"), standalone_},
        {_T("WantTips"), wantTips_},
        {_T("ManualTapes"), manualTapes_},
        {_T("AutoTapes"), autoTapes_},
        {_T("MaxLinesCM"), maxLinesCM_},
    };
    LONG first = ERROR_SUCCESS;
    for (const auto& v : values) {
        LONG r = reg.writeDword(v.name, v.value);
        if (first == ERROR_SUCCESS) first = r;
    }
    return first;
}

void CUtilSettings::setAccountingMask(LONG mask) {
    if (mask >= 0) accountingMask_ = mask;
}

void CUtilSettings::setMaxLinesCM(DWORD v) { maxLinesCM_ = clampMaxLines(v); }

void CUtilSettings::setDevFile(const TCHAR* path) {
    devFileOverride_ = true;
    devFile_ = path ? path : _T("");
    if (devFile_.size() > DEV_FILE_CHARS - 1) devFile_.resize(DEV_FILE_CHARS - 1);
}

void CUtilSettings::clearDevFile() {
    devFileOverride_ = false;
    devFile_.clear();
}

void CUtilSettings::setLanguageOverride(int index) {
    languageOverride_ = true;
    languageIndex_ = index;
}

void CUtilSettings::clearLanguageOverride() {
    languageOverride_ = false;
    languageIndex_ = 25;
}

CUtilSettings& utilSettings() {
    static CUtilSettings settings;
    return settings;
}

bool parsePlacementRect(const TCHAR* text, RECT& rect) {
    if (!text || _tcslen(text) < 16) return false;
    rect.left = _ttoi(text);
    rect.top = _ttoi(text + 5);
    rect.right = _ttoi(text + 10);
    rect.bottom = _ttoi(text + 15);
    return true;
}

tstring formatPlacementRect(const RECT& rect) {
    return formatString(_T("%04d %04d %04d %04d"), (int)rect.left, (int)rect.top, (int)rect.right,
                        (int)rect.bottom);
}

PlacementRecord readPlacementRecord(const TCHAR* profileName) {
    PlacementRecord rec;
    CIfcRegistry reg;
    if (reg.open(HKEY_CURRENT_USER, placementKey(profileName).c_str()) != ERROR_SUCCESS) return rec;
    tstring text;
    if (reg.readString(_T("Rect"), text) == ERROR_SUCCESS)
        rec.hasRect = parsePlacementRect(text.c_str(), rec.rect);
    DWORD v = 0;
    if (reg.readDword(_T("iconized"), v) == ERROR_SUCCESS) rec.iconized = static_cast<int>(v);
    v = 0;
    if (reg.readDword(_T("maximized"), v) == ERROR_SUCCESS) rec.maximized = static_cast<int>(v);
    return rec;
}

LONG writePlacementRecord(const PlacementRecord& rec, const TCHAR* profileName) {
    CIfcRegistry reg;
    LONG rc = reg.open(HKEY_CURRENT_USER, placementKey(profileName).c_str());
    if (rc != ERROR_SUCCESS) return rc;
    if ((rc = reg.writeString(_T("Rect"), formatPlacementRect(rec.rect).c_str())) != ERROR_SUCCESS)
        return rc;
    if ((rc = reg.writeDword(_T("iconized"), static_cast<DWORD>(rec.iconized))) != ERROR_SUCCESS)
        return rc;
    return reg.writeDword(_T("maximized"), static_cast<DWORD>(rec.maximized));
}

WINDOWPLACEMENT placementFromRecord(const PlacementRecord& rec, int screenWidth, int screenHeight,
                                    int borderWidth, int borderHeight) {
    WINDOWPLACEMENT wp{};
    wp.length = sizeof wp;
    if (rec.hasRect) {
        wp.rcNormalPosition = rec.rect;
    } else {
        int left = (screenWidth - DEFAULT_WINDOW_WIDTH) / 2;
        int top = (screenHeight - DEFAULT_WINDOW_HEIGHT) / 2;
        wp.rcNormalPosition = {left, top, left + DEFAULT_WINDOW_WIDTH, top + DEFAULT_WINDOW_HEIGHT};
    }
    if (rec.iconized) {
        wp.showCmd = SW_SHOWMINNOACTIVE;
        if (rec.maximized) wp.flags = WPF_RESTORETOMAXIMIZED;
    } else if (rec.maximized) {
        wp.showCmd = SW_SHOWMAXIMIZED;
    } else {
        wp.showCmd = SW_SHOWNORMAL;
    }
    wp.flags |= WPF_SETMINPOSITION;
    wp.ptMinPosition = {0, 0};
    wp.ptMaxPosition = {-borderWidth, -borderHeight};
    return wp;
}

PlacementRecord recordFromPlacement(const WINDOWPLACEMENT& wp) {
    PlacementRecord rec;
    rec.hasRect = true;
    rec.rect = wp.rcNormalPosition;
    switch (wp.showCmd) {
    case SW_SHOWMAXIMIZED:
        rec.maximized = 1;
        break;
    case SW_SHOWMINIMIZED:
    case SW_MINIMIZE:
    case SW_SHOWMINNOACTIVE:
        rec.iconized = 1;
        rec.maximized = (wp.flags & WPF_RESTORETOMAXIMIZED) ? 1 : 0;
        break;
    default:
        break;
    }
    return rec;
}
