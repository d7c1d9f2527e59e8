// instsync's dialogs: the parameters dialog and its About box.
#pragma once
#include <windows.h>
#include <string>
#include "instsync/instargs.h"

// A modal dialog whose messages go to a virtual handler: the static
// procedure keeps `this` in the window's user data.
class CDialogWindow {
public:
    virtual ~CDialogWindow();
    INT_PTR runModal(HINSTANCE instance, int templateId, HWND parent);

protected:
    // Returns what a dialog procedure returns.
    virtual INT_PTR onMessage(UINT msg, WPARAM wp, LPARAM lp) = 0;
    HWND hwnd_ = nullptr;
    HINSTANCE instance_ = nullptr;

private:
    static INT_PTR CALLBACK dialogProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
};

class CAboutDialog : public CDialogWindow {
protected:
    INT_PTR onMessage(UINT msg, WPARAM wp, LPARAM lp) override;
};

// Asks for the file path, the registry key and the minimum version.
class CUpdateDialog : public CDialogWindow {
public:
    // The fields as OK left them, trimmed of blanks.
    std::string filePath, regKey, minVersion;

protected:
    INT_PTR onMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void onInit();
    void onOk();
    std::string fieldText(int id) const;
};

// A text of the string table, or the fixed text that says it is missing.
std::string loadText(UINT id);
