#include "common/cmd/utilsettings.h"

CUtilSettings::CUtilSettings() { setDefaults(); }
void CUtilSettings::setDefaults() {
    animation_ = keepCmdLine_ = displayTimeAndDate_ = servicePanelEnablePolling_ = true;
    servicePanelRefreshInMs_ = 15000;
    launchTimeout_ = 300000;
    accountingMask_ = 33554431;
    doNext_ = 1;
    inicfgState_ = 0;
    standalone_ = wantTips_ = manualTapes_ = autoTapes_ = false;
    maxLinesCM_ = 2048;
}
void CUtilSettings::load() { loaded_ = true; }
LONG CUtilSettings::save() const { return ERROR_CALL_NOT_IMPLEMENTED; }
void CUtilSettings::setAccountingMask(LONG mask) { if (mask >= 0) accountingMask_ = mask; }
void CUtilSettings::setMaxLinesCM(DWORD v) { maxLinesCM_ = v; }
void CUtilSettings::setDevFile(const TCHAR* path) { devFileOverride_ = true; devFile_ = path ? path : _T(""); }
void CUtilSettings::clearDevFile() { devFileOverride_ = false; devFile_.clear(); }
void CUtilSettings::setLanguageOverride(int index) { languageOverride_ = true; languageIndex_ = index; }
void CUtilSettings::clearLanguageOverride() { languageOverride_ = false; languageIndex_ = 25; }

CUtilSettings& utilSettings() {
    static CUtilSettings settings;
    return settings;
}

PlacementRecord readPlacementRecord(const TCHAR*) { return {}; }
LONG writePlacementRecord(const PlacementRecord&, const TCHAR*) { return ERROR_CALL_NOT_IMPLEMENTED; }
bool parsePlacementRect(const TCHAR*, RECT&) { return false; }
tstring formatPlacementRect(const RECT&) { return {}; }
WINDOWPLACEMENT placementFromRecord(const PlacementRecord&, int, int, int, int) {
    WINDOWPLACEMENT wp{};
    wp.length = sizeof wp;
    return wp;
}
PlacementRecord recordFromPlacement(const WINDOWPLACEMENT&) { return {}; }
