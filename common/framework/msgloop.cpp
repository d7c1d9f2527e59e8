#include "common/framework/msgloop.h"
#include <commctrl.h>
#include <algorithm>
#include <vector>

namespace fw {
namespace {
struct Modeless {
    HWND window;
    bool sheet;
};
std::vector<Modeless>& modelessList() {
    static std::vector<Modeless> list;
    return list;
}
}  // namespace

void registerModeless(HWND window, bool propertySheet) {
    modelessList().push_back({window, propertySheet});
}

void unregisterModeless(HWND window) {
    auto& list = modelessList();
    list.erase(std::remove_if(list.begin(), list.end(),
                              [&](const Modeless& m) { return m.window == window; }),
               list.end());
}

bool routeDialogMessage(MSG& msg) {
    // Copy: a dialog may close while it handles the message.
    std::vector<Modeless> list = modelessList();
    for (const Modeless& m : list) {
        if (!IsWindow(m.window)) continue;
        if (m.sheet) {
            if (PropSheet_IsDialogMessage(m.window, &msg)) {
                if (!PropSheet_GetCurrentPageHwnd(m.window)) DestroyWindow(m.window);
                return true;
            }
        } else if (IsDialogMessageW(m.window, &msg)) {
            return true;
        }
    }
    return false;
}

bool pumpWaitingMessages() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return false;
        }
        if (routeDialogMessage(msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return true;
}

}  // namespace fw
