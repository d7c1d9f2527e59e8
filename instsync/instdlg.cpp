#include "instsync/instdlg.h"
#include "instsync/resource.h"

std::string loadText(UINT id) {
    char buf[4096];
    int n = LoadStringA(GetModuleHandleA(nullptr), id, buf, sizeof buf);
    if (n <= 0) return "ERROR LOADING REQUIRED STRING.  EXITING NOW.\n";
    return std::string(buf, n);
}

CDialogWindow::~CDialogWindow() {
    if (hwnd_ && IsWindow(hwnd_)) SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
}

INT_PTR CDialogWindow::runModal(HINSTANCE instance, int templateId, HWND parent) {
    instance_ = instance;
    return DialogBoxParamA(instance, MAKEINTRESOURCEA(templateId), parent, dialogProc,
                           reinterpret_cast<LPARAM>(this));
}

INT_PTR CALLBACK CDialogWindow::dialogProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_INITDIALOG) {
        auto* self = reinterpret_cast<CDialogWindow*>(lp);
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, lp);
        self->hwnd_ = hwnd;
    }
    auto* self = reinterpret_cast<CDialogWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (!self) return FALSE;
    INT_PTR result = self->onMessage(msg, wp, lp);
    if (msg == WM_NCDESTROY) {
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
        self->hwnd_ = nullptr;
    }
    return result;
}

INT_PTR CAboutDialog::onMessage(UINT msg, WPARAM wp, LPARAM) {
    switch (msg) {
    case WM_INITDIALOG:
        SetDlgItemTextA(hwnd_, IDC_ABOUT_NAME, loadText(IDS_TITLE).c_str());
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wp) == IDOK || LOWORD(wp) == IDCANCEL) {
            EndDialog(hwnd_, LOWORD(wp));
            return TRUE;
        }
        break;
    }
    return FALSE;
}

std::string CUpdateDialog::fieldText(int id) const {
    HWND field = GetDlgItem(hwnd_, id);
    int n = GetWindowTextLengthA(field);
    std::string text(n + 1, '\0');
    n = GetWindowTextA(field, text.data(), n + 1);
    text.resize(n > 0 ? n : 0);
    return trimBlanks(text);
}

void CUpdateDialog::onInit() {
    SetDlgItemTextA(hwnd_, IDC_REGKEY, loadText(IDS_DEFAULT_REGKEY).c_str());
    SetDlgItemTextA(hwnd_, IDC_MINVER, loadText(IDS_DEFAULT_MINVER).c_str());
    SendDlgItemMessageA(hwnd_, IDC_MINVER, EM_LIMITTEXT, 11, 0);
    if (HMENU menu = GetSystemMenu(hwnd_, FALSE)) {
        AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
        AppendMenuA(menu, MF_STRING, IDM_ABOUTBOX, loadText(IDS_ABOUT_MENU).c_str());
    }
}

void CUpdateDialog::onOk() {
    std::string key = fieldText(IDC_REGKEY);
    if (key.empty()) {
        MessageBoxA(hwnd_, loadText(IDS_REGKEY_MISSING).c_str(), loadText(IDS_TITLE).c_str(),
                    MB_OK | MB_ICONEXCLAMATION);
        SetFocus(GetDlgItem(hwnd_, IDC_REGKEY));
        return;
    }
    regKey = key;
    filePath = fieldText(IDC_FILEPATH);
    minVersion = fieldText(IDC_MINVER);
    EndDialog(hwnd_, IDOK);
}

INT_PTR CUpdateDialog::onMessage(UINT msg, WPARAM wp, LPARAM) {
    switch (msg) {
    case WM_INITDIALOG:
        onInit();
        return TRUE;
    case WM_SYSCOMMAND:
        if ((wp & 0xFFF0) == IDM_ABOUTBOX) {
            CAboutDialog about;
            about.runModal(instance_, IDD_ABOUT, hwnd_);
            return TRUE;
        }
        break;
    case WM_COMMAND:
        if (LOWORD(wp) == IDOK) {
            onOk();
            return TRUE;
        }
        if (LOWORD(wp) == IDCANCEL) {
            EndDialog(hwnd_, IDCANCEL);
            return TRUE;
        }
        break;
    }
    return FALSE;
}
