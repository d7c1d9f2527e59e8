// The preferences sheet: three pages over one model of the settings. OK
// stores the model (seconds become milliseconds, MaxLinesCM is clamped);
// whichever button closes the sheet, the settings are saved.
#pragma once
#include "common/cmd/msglib.h"
#include "common/framework/propsheet.h"

class CUtilSettings;

struct PreferencesModel {
    bool animation = true;
    bool keepCmdLine = true;
    bool displayTimeAndDate = true;
    DWORD launchTimeoutSeconds = 300;
    DWORD maxLinesCM = 2048;
    DWORD refreshSeconds = 15;
    bool polling = true;
    bool accepted = false;  // OK was pressed

    static PreferencesModel of(const CUtilSettings& settings);
    void storeIn(CUtilSettings& settings) const;
};

// Largest number of seconds that still fits in milliseconds.
constexpr DWORD MAX_PREF_SECONDS = 4294967;

class CPrefGeneralPage : public fw::CPropertyPage {
public:
    explicit CPrefGeneralPage(PreferencesModel& model);

protected:
    BOOL onInitDialog() override;
    bool onKillActive() override;
    bool onApply() override;

private:
    PreferencesModel& model_;
};

class CPrefCommandsPage : public fw::CPropertyPage {
public:
    explicit CPrefCommandsPage(PreferencesModel& model);

protected:
    BOOL onInitDialog() override;
    bool onKillActive() override;
    bool onApply() override;

private:
    PreferencesModel& model_;
    CIfcMsgLib msgLib_;
};

class CPrefServicesPage : public fw::CPropertyPage {
public:
    explicit CPrefServicesPage(PreferencesModel& model);

protected:
    BOOL onInitDialog() override;
    bool onKillActive() override;
    bool onApply() override;

private:
    PreferencesModel& model_;
    CIfcMsgLib msgLib_;
};

class CPreferencesSheet : public fw::CPropertySheet {
public:
    explicit CPreferencesSheet(CUtilSettings& settings);
    // After the sheet has closed: stores the model when OK was pressed, then
    // saves the settings.
    void storeResult();

private:
    CUtilSettings& settings_;
    PreferencesModel model_;
    CPrefGeneralPage general_;
    CPrefCommandsPage commands_;
    CPrefServicesPage services_;
};

// Command 32776: runs the sheet modally and stores its result.
void runPreferences(HWND owner, CUtilSettings& settings);
