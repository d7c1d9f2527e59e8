// The application object: start-up, the message loop with idle work, exit.
#pragma once
#include <windows.h>
#include <string>

namespace fw {

class CWnd;

class CWinApp {
public:
    CWinApp();
    virtual ~CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    static CWinApp* current();

    // initInstance, then the message loop while it succeeded, then
    // exitInstance; the process exit code.
    int run();

    CWnd* mainWnd() const { return mainWnd_; }
    void setMainWnd(CWnd* wnd) { mainWnd_ = wnd; }
    HWND mainWindow() const;

protected:
    // false ends the program without a message loop.
    virtual bool initInstance() { return true; }
    // Exit code of the program.
    virtual int exitInstance() { return exitCode_; }
    // Runs whenever the message queue has run dry.
    virtual void onIdle();

private:
    int exitCode_ = 0;
    CWnd* mainWnd_ = nullptr;
};

}  // namespace fw
