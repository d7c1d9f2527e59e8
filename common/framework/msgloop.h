// The message loop's side of modeless dialogs and property sheets: their
// keyboard navigation only works when the loop offers them each message.
#pragma once
#include <windows.h>

namespace fw {

void registerModeless(HWND window, bool propertySheet);
void unregisterModeless(HWND window);

// Offers `msg` to the modeless dialogs; true when one of them took it. A
// property sheet whose last page has closed is destroyed here.
bool routeDialogMessage(MSG& msg);

// Dispatches every waiting message (tests and waits that must keep windows
// responsive); false once WM_QUIT was seen.
bool pumpWaitingMessages();

}  // namespace fw
