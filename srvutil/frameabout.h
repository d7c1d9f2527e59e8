// The About box: bitmap 137 with the version line drawn on it.
#pragma once
#include "common/framework/dialog.h"
#include "common/framework/handle.h"
#include <string>

// "Version %u, Release %u, Level %u.%u" for this build.
std::wstring aboutVersionText();

class CAboutDlg : public fw::CDialog {
public:
    CAboutDlg();

protected:
    BOOL onInitDialog() override;
    INT_PTR dialogProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void paint(HDC dc);
    fw::UniqueGdiObject bitmap_;
    fw::UniqueGdiObject font_;
};
