// The srvutil application: settings and messages ready at construction,
// installation check, language libraries and main window at start-up.
#pragma once
#include "common/cmd/msglib.h"
#include "common/cmd/utilsettings.h"
#include "common/framework/app.h"
#include "common/framework/handle.h"
#include "srvutil/frame.h"
#include <memory>
#include <string>

// The five files a working installation has in its utilities directory, in
// the order they are checked.
void installationFiles(tstring files[5]);

// Checks that the utilities directory is known and holds the five files;
// shows what is missing (stop icon) and returns false when it is not.
bool checkInstallation(HWND owner);

class CQoraApp : public fw::CWinApp {
public:
    CQoraApp();
    ~CQoraApp() override;

    static constexpr UINT splashMilliseconds = 3500;

protected:
    bool initInstance() override;
    int exitInstance() override;
    void onIdle() override;

private:
    bool loadUserInterface();

    CUtilSettings& settings_;
    CIfcMsgLib msgLib_;
    CUtilSettings& settingsAgain_;
    std::wstring savedHelpPath_;
    fw::UniqueModule guiLibrary_;
    bool oleStarted_ = false;
    std::unique_ptr<CQoraFrame> frame_;
};
