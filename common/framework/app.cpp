#include "common/framework/app.h"
#include "common/framework/msgloop.h"
#include "common/framework/wnd.h"

namespace fw {
namespace {
CWinApp* g_app = nullptr;
}

CWinApp::CWinApp() { g_app = this; }
CWinApp::~CWinApp() {
    if (g_app == this) g_app = nullptr;
}
CWinApp* CWinApp::current() { return g_app; }

HWND CWinApp::mainWindow() const { return mainWnd_ ? mainWnd_->hwnd() : nullptr; }

void CWinApp::onIdle() {}

int CWinApp::run() {
    if (!initInstance()) return exitInstance();
    MSG msg;
    for (;;) {
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                exitCode_ = static_cast<int>(msg.wParam);
                return exitInstance();
            }
            if (routeDialogMessage(msg)) continue;
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        onIdle();
        WaitMessage();
    }
}

}  // namespace fw
