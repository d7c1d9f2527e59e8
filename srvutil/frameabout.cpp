#include "srvutil/frameabout.h"
#include "app_ids.h"
#include "common/cmd/textfmt.h"
#include "common/framework/resmod.h"

std::wstring aboutVersionText() { return formatString(L"Version %u, Release %u, Level %u.%u", 3u, 1u, 2u, 30u); }

CAboutDlg::CAboutDlg() : CDialog(IDD_ABOUTBOX) {}

BOOL CAboutDlg::onInitDialog() {
    bitmap_.reset(LoadImageW(fw::resourceModule(), MAKEINTRESOURCEW(IDB_ABOUT), IMAGE_BITMAP, 0, 0, 0));
    HDC dc = GetDC(hwnd());
    int height = -MulDiv(9, GetDeviceCaps(dc, LOGPIXELSY), 72);
    ReleaseDC(hwnd(), dc);
    font_.reset(CreateFontW(height, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                            CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, L"Times New Roman"));
    return TRUE;
}

void CAboutDlg::paint(HDC dc) {
    if (!bitmap_) return;
    fw::UniqueMemoryDc memory(CreateCompatibleDC(dc));
    BITMAP info{};
    GetObjectW(bitmap_.get(), sizeof info, &info);
    HGDIOBJ oldBitmap = SelectObject(memory.get(), bitmap_.get());
    BitBlt(dc, 0, 0, info.bmWidth, info.bmHeight, memory.get(), 0, 0, SRCCOPY);
    SelectObject(memory.get(), oldBitmap);
    HGDIOBJ oldFont = SelectObject(dc, font_.get());
    SetBkMode(dc, TRANSPARENT);
    std::wstring version = aboutVersionText();
    TextOutW(dc, 70, 250, version.c_str(), static_cast<int>(version.size()));
    TextOutW(dc, 70, 270, L"", 0);
    SelectObject(dc, oldFont);
}

INT_PTR CAboutDlg::dialogProc(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_PAINT) {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd(), &ps);
        paint(dc);
        EndPaint(hwnd(), &ps);
        return TRUE;
    }
    return CDialog::dialogProc(msg, wp, lp);
}
