// The utilities' preferences (DWORD values under Utils\Settings\), the
// run-time overrides set by the command line, and the main window's
// placement record in the per-user profile.
#pragma once
#include <windows.h>
#include <tchar.h>
#include "common/cmd/textfmt.h"

constexpr DWORD MAX_LINES_CM_MIN = 25;
constexpr DWORD MAX_LINES_CM_MAX = 8192;
constexpr size_t DEV_FILE_CHARS = 260;

class CUtilSettings {
public:
    CUtilSettings();              // every value at its default

    // Defaults, then each value found under the settings key. Only the first
    // call on an object reads; later calls do nothing.
    void load();
    // Writes every stored value as a DWORD. The registry status, 0 for success.
    LONG save() const;
    void setDefaults();

    bool animation() const { return animation_; }
    void setAnimation(bool v) { animation_ = v; }
    bool keepCmdLine() const { return keepCmdLine_; }
    void setKeepCmdLine(bool v) { keepCmdLine_ = v; }
    bool displayTimeAndDate() const { return displayTimeAndDate_; }
    void setDisplayTimeAndDate(bool v) { displayTimeAndDate_ = v; }
    DWORD servicePanelRefreshInMs() const { return servicePanelRefreshInMs_; }
    void setServicePanelRefreshInMs(DWORD ms) { servicePanelRefreshInMs_ = ms; }
    void setServicePanelRefreshInSeconds(DWORD s) { servicePanelRefreshInMs_ = s * 1000; }
    bool servicePanelEnablePolling() const { return servicePanelEnablePolling_; }
    void setServicePanelEnablePolling(bool v) { servicePanelEnablePolling_ = v; }
    DWORD launchTimeout() const { return launchTimeout_; }  // milliseconds
    void setLaunchTimeout(DWORD ms) { launchTimeout_ = ms; }
    void setLaunchTimeoutSeconds(DWORD s) { launchTimeout_ = s * 1000; }
    LONG accountingMask() const { return accountingMask_; }
    void setAccountingMask(LONG mask);  // a negative mask is refused
    DWORD doNext() const { return doNext_; }
    void setDoNext(DWORD v) { doNext_ = v; }
    DWORD inicfgState() const { return inicfgState_; }
    void setInicfgState(DWORD v) { inicfgState_ = v; }
    bool standalone() const { return standalone_; }
    void setStandalone(bool v) { standalone_ = v; }
    bool wantTips() const { return wantTips_; }
    void setWantTips(bool v) { wantTips_ = v; }
    bool manualTapes() const { return manualTapes_; }
    void setManualTapes(bool v) { manualTapes_ = v; }
    bool autoTapes() const { return autoTapes_; }
    void setAutoTapes(bool v) { autoTapes_ = v; }
    DWORD maxLinesCM() const { return maxLinesCM_; }
    void setMaxLinesCM(DWORD v);  // clamped to 25..8192

    // Not stored: the DEVFILE override (path cut to 259 characters).
    bool devFileOverride() const { return devFileOverride_; }
    const tstring& devFile() const { return devFile_; }
    void setDevFile(const TCHAR* path);
    void clearDevFile();
    // Not stored: the NLSLANG override (a language index of msglib.h).
    bool languageOverride() const { return languageOverride_; }
    int languageOverrideIndex() const { return languageIndex_; }
    void setLanguageOverride(int index);
    void clearLanguageOverride();
    // Not stored: set by the initial configuration sequence while it runs
    // the environment wizard, or any other of its wizards.
    bool environmentMarker() const { return environmentMarker_; }
    void setEnvironmentMarker(bool v) { environmentMarker_ = v; }
    bool stepMarker() const { return stepMarker_; }
    void setStepMarker(bool v) { stepMarker_ = v; }

private:
    bool loaded_ = false;
    bool animation_, keepCmdLine_, displayTimeAndDate_, servicePanelEnablePolling_;
    DWORD servicePanelRefreshInMs_, launchTimeout_;
    LONG accountingMask_;
    DWORD doNext_, inicfgState_;
    bool standalone_, wantTips_, manualTapes_, autoTapes_;
    DWORD maxLinesCM_;
    bool devFileOverride_ = false;
    tstring devFile_;
    bool languageOverride_ = false;
    int languageIndex_ = 25;
    bool environmentMarker_ = false, stepMarker_ = false;
};

// The process's one settings object (the application's).
CUtilSettings& utilSettings();

// The main window's placement, section "Window size" of the per-user
// profile: HKCU\Software\Tevra\QORA\CurrentVersion\<profileName>\Window size.
#define QORA_PROFILE_NAME _T("srvutil")
#define QORA_PLACEMENT_SECTION _T("Window size")
constexpr int DEFAULT_WINDOW_WIDTH = 620;
constexpr int DEFAULT_WINDOW_HEIGHT = 430;

struct PlacementRecord {
    bool hasRect = false;  // Rect was present
    RECT rect{};           // normal (restored) rectangle, screen coordinates
    int iconized = 0;
    int maximized = 0;
};

// Reads Rect ("%04d %04d %04d %04d", numbers at positions 0, 5, 10, 15),
// iconized and maximized (default 0).
PlacementRecord readPlacementRecord(const TCHAR* profileName = QORA_PROFILE_NAME);
LONG writePlacementRecord(const PlacementRecord& rec,
                          const TCHAR* profileName = QORA_PROFILE_NAME);
// "0100 0050 0800 0600" -> rect; false when the text is too short.
bool parsePlacementRect(const TCHAR* text, RECT& rect);
tstring formatPlacementRect(const RECT& rect);

// What restorePlacement applies: a missing Rect centres 620 x 430 on a
// screen of screenWidth x screenHeight; iconized shows minimized without
// activation (restoring maximized when maximized is set too), else
// maximized, else normal. Minimized position (0,0), maximized position
// (-borderWidth, -borderHeight).
WINDOWPLACEMENT placementFromRecord(const PlacementRecord& rec, int screenWidth,
                                    int screenHeight, int borderWidth, int borderHeight);
// What savePlacement stores for a window's placement.
PlacementRecord recordFromPlacement(const WINDOWPLACEMENT& wp);
