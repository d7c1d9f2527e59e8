#include "srvutil/app.h"
#include "app_ids.h"
#include "common/cmd/ifcregis.h"
#include "common/framework/help.h"
#include "common/framework/resmod.h"
#include "srvutil/appcmdl.h"
#include "srvutil/objslots.h"
#include <commctrl.h>
#include <ole2.h>
#include <cwctype>

namespace {
CUtilSettings& loadedSettings() {
    utilSettings().load();
    return utilSettings();
}

std::wstring lowerCase(std::wstring s) {
    for (wchar_t& c : s) c = static_cast<wchar_t>(std::towlower(c));
    return s;
}

bool fileExists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }
}  // namespace

void installationFiles(tstring files[5]) {
    tstring gui, msg, tip, hlp;
    languageFiles(&gui, &msg, &tip, &hlp);
    files[0] = QORA_ENGLISH_MSG_LIBRARY;
    files[1] = msg;
    files[2] = gui;
    files[3] = tip;
    files[4] = hlp;
}

bool checkInstallation(HWND owner) {
    tstring files[5];
    installationFiles(files);
    for (const tstring& file : files) {
        tstring dir;
        if (!getUtilsPath(L"", dir)) {
            showText(owner, MSG_STOP,
                     L"The QORA Server Utilities are not properly installed.\n\n"
                     L"The utilities' registry key could not be located.\n\n"
                     L"Please re-install the QORA server.\n");
            return false;
        }
        std::wstring path = dir + L"\\" + file;
        if (!fileExists(path)) {
            showText(owner, MSG_STOP,
                     L"The QORA Server Utilities are not properly installed.\n\n%s\n\n"
                     L"is a required file and could not be located.\n\nPlease re-install the QORA server.\n",
                     lowerCase(path).c_str());
            return false;
        }
    }
    return true;
}

CQoraApp::CQoraApp() : settings_(loadedSettings()), settingsAgain_(loadedSettings()) {}

CQoraApp::~CQoraApp() = default;

bool CQoraApp::initInstance() {
    if (FAILED(OleInitialize(nullptr))) {
        showText(nullptr, MSG_STOP, L"Could not initialize OLE.");
        return false;
    }
    oleStarted_ = true;
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_BAR_CLASSES | ICC_TAB_CLASSES |
                                                       ICC_TREEVIEW_CLASSES | ICC_LISTVIEW_CLASSES |
                                                       ICC_PROGRESS_CLASS | ICC_ANIMATE_CLASS};
    InitCommonControlsEx(&controls);

    bool hadLanguage = settings_.languageOverride();
    int oldLanguage = settings_.languageOverrideIndex();
    parseCommandLine(skipProgramName(GetCommandLineW()), settings_);
    if (settings_.languageOverride() &&
        (!hadLanguage || settings_.languageOverrideIndex() != oldLanguage)) {
        freeMessageLibraries();
        loadMessageLibraries();
    }

    savedHelpPath_ = fw::helpFile();
    tstring hlp;
    languageFiles(nullptr, nullptr, nullptr, &hlp);
    tstring helpPath;
    fw::setHelpFile(getUtilsPath(hlp.c_str(), helpPath) ? helpPath : hlp);

    if (!checkInstallation(nullptr)) return false;
    if (!loadUserInterface()) return false;

    frame_ = std::make_unique<CQoraFrame>(settings_);
    frame_->armSplash(IDB_SPLASH, splashMilliseconds);
    if (!frame_->create(L"QoraFrame", fw::loadResString(IDS_MAIN_TITLE), IDR_MAINFRAME)) return false;
    setMainWnd(frame_.get());
    frame_->showFrame(SW_SHOWDEFAULT);
    return true;
}

bool CQoraApp::loadUserInterface() {
    tstring gui;
    languageFiles(&gui, nullptr, nullptr, nullptr);
    guiLibrary_.reset(loadResourceLibrary(gui.c_str()));
    if (!guiLibrary_) {
        showText(nullptr, MSG_STOP,
                 L"Could not load the local resource dll -- %s\n\n"
                 L"Either re-install or replace the copy of the missing DLL file.",
                 gui.c_str());
        return false;
    }
    fw::setResourceModule(guiLibrary_.get());
    setResourceSlot(guiLibrary_.get());
    return true;
}

void CQoraApp::onIdle() {
    if (frame_ && frame_->hwnd()) frame_->onIdle();
}

int CQoraApp::exitInstance() {
    frame_.reset();
    fw::setHelpFile(savedHelpPath_);
    fw::setResourceModule(nullptr);
    setResourceSlot(nullptr);
    guiLibrary_.reset();
    settings_.save();
    if (oleStarted_) OleUninitialize();
    return CWinApp::exitInstance();
}
