// kvtcfg: reads a setup file on a client machine, asks for the node name and
// writes the backup-archive client's options file (kvt.opt).
#include <windows.h>
#include <cstdlib>
#include <memory>
#include "common/cmd/ifcregis.h"
#include "common/cmd/optfiles_io.h"
#include "common/framework/handle.h"
#include "common/ofe/cfgfile.h"
#include "kvtcfg/resource.h"

namespace {

using ofe::ClientConfig;
using ofe::OptString;

constexpr char kMutexName[] = "QORA Client Configuration";
constexpr char kWindowTitle[] = "QORA Client Configuration";

std::string text(UINT id) {
    char buf[2048];
    int n = LoadStringA(GetModuleHandleA(nullptr), id, buf, sizeof buf);
    return std::string(buf, n > 0 ? n : 0);
}

int tell(HWND owner, const std::string& message, UINT type = MB_OK | MB_ICONINFORMATION) {
    return MessageBoxA(owner, message.c_str(), text(IDS_TITLE).c_str(), type);
}

std::string computerName() {
    char name[MAX_COMPUTERNAME_LENGTH + 1] = {};
    DWORD size = sizeof name;
    return GetComputerNameA(name, &size) ? std::string(name, size) : std::string();
}

// Where kvt.opt goes: the backup-archive client's directory, or the current
// one when the administrator agrees. Empty: do not go on.
std::string optionsFilePath() {
    tstring path;
    if (getComponentPath(QORA_BACKUPCLIENT_KEY, "kvt.opt", path)) return path;
    if (tell(nullptr, text(IDS_NO_CLIENT_DIR), MB_YESNO | MB_ICONQUESTION) != IDYES) return {};
    return currentDirectory() + "kvt.opt";
}

std::string summary(const ClientConfig& config, const std::string& path, const std::string& computer) {
    std::string s;
    if (config.szAdminContact[0])
        s += text(IDS_SUMMARY_CONTACT) + "\r\n\r\n" + config.szAdminContact + "\r\n\r\n";
    s += text(IDS_SUMMARY_PATH) + "\r\n\r\n" + path + "\r\n\r\n";
    s += text(IDS_SUMMARY_PARAMETERS) + "\r\n\r\n";
    s += ofe::CommMethodLines(config, computer, "\r\n");
    return s;
}

// The configuration dialog: a static procedure that finds its object through
// the window's user data.
class ConfigDialog {
public:
    ConfigDialog(ClientConfig& config, std::string path)
        : config_(config), path_(std::move(path)), computer_(computerName()) {}

    bool run() {
        DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_KVTCFG), nullptr, &ConfigDialog::proc,
                        reinterpret_cast<LPARAM>(this));
        return written_;
    }

private:
    static INT_PTR CALLBACK proc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
        if (msg == WM_INITDIALOG) SetWindowLongPtrA(h, GWLP_USERDATA, lp);
        auto* self = reinterpret_cast<ConfigDialog*>(GetWindowLongPtrA(h, GWLP_USERDATA));
        return self ? self->handle(h, msg, wp, lp) : FALSE;
    }

    INT_PTR handle(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
        switch (msg) {
        case WM_INITDIALOG: return init(h);
        case WM_PAINT: paint(h); return TRUE;
        case WM_SYSCOMMAND:
            if ((wp & 0xFFF0) == IDM_ABOUTBOX) {
                DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_ABOUTBOX), h, &aboutProc, 0);
                return TRUE;
            }
            return FALSE;
        case WM_COMMAND:
            if (LOWORD(wp) == IDOK) onOK(h);
            else if (LOWORD(wp) == IDCANCEL) EndDialog(h, IDCANCEL);
            return TRUE;
        }
        return FALSE;
    }

    BOOL init(HWND h) {
        HINSTANCE inst = GetModuleHandleA(nullptr);
        icon_ = LoadIconA(inst, MAKEINTRESOURCEA(IDI_KVTCFG));
        SendMessageA(h, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));
        SendMessageA(h, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon_));
        logo_.reset(LoadImageA(inst, MAKEINTRESOURCEA(IDB_LOGO), IMAGE_BITMAP, 0, 0, 0));
        if (HMENU menu = GetSystemMenu(h, FALSE)) {
            AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
            AppendMenuA(menu, MF_STRING, IDM_ABOUTBOX, text(IDS_ABOUT_MENU).c_str());
        }
        font_.reset(CreateFontA(14, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                                CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, FIXED_PITCH | FF_MODERN, "Courier New"));
        SendDlgItemMessageA(h, IDC_SUMMARY, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), TRUE);
        SetDlgItemTextA(h, IDC_SUMMARY, summary(config_, path_, computer_).c_str());
        SendDlgItemMessageA(h, IDC_NODENAME, EM_LIMITTEXT, 255, 0);
        SetDlgItemTextA(h, IDC_NODENAME, computer_.c_str());
        return TRUE;
    }

    void paint(HWND h) {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(h, &ps);
        if (IsIconic(h)) {
            DrawIcon(dc, 0, 0, icon_);
        } else if (logo_) {
            fw::UniqueMemoryDc mem(CreateCompatibleDC(dc));
            BITMAP bm{};
            GetObjectA(logo_.get(), sizeof bm, &bm);
            HGDIOBJ old = SelectObject(mem.get(), logo_.get());
            BitBlt(dc, 10, 10, bm.bmWidth, bm.bmHeight, mem.get(), 0, 0, SRCCOPY);
            SelectObject(mem.get(), old);
        }
        EndPaint(h, &ps);
    }

    void onOK(HWND h) {
        char node[256] = {};
        GetDlgItemTextA(h, IDC_NODENAME, node, sizeof node);
        if (!node[0]) {
            tell(h, text(IDS_NODE_EMPTY), MB_OK | MB_ICONEXCLAMATION);
            return;
        }
        if (!ofe::setField(config_.szNodeName, node)) {
            tell(h, text(IDS_NODE_TOO_LONG), MB_OK | MB_ICONEXCLAMATION);
            return;
        }
        switch (ofe::SaveClientOptionsFile(path_.c_str(), config_)) {
        case ofe::OPT_OK:
            tell(h, text(IDS_CREATED) + path_ + text(IDS_CREATED_TAIL));
            written_ = true;
            EndDialog(h, IDOK);
            return;
        case ofe::OPT_BASE_MISSING_KVTCFG:
            tell(h, text(IDS_BASE_MISSING) + config_.szBaseOptionsFile + text(IDS_BASE_MISSING_TAIL),
                 MB_OK | MB_ICONWARNING);
            written_ = true;
            EndDialog(h, IDOK);
            return;
        case ofe::OPT_INVALID_ARGUMENT:
            tell(h, text(IDS_INVALID_ARGUMENT), MB_OK | MB_ICONSTOP);
            return;
        default:
            tell(h, text(IDS_WRITE_FAILED) + path_ + text(IDS_WRITE_FAILED_TAIL), MB_OK | MB_ICONSTOP);
            return;
        }
    }

    static INT_PTR CALLBACK aboutProc(HWND h, UINT msg, WPARAM wp, LPARAM) {
        if (msg == WM_INITDIALOG) return TRUE;
        if (msg == WM_COMMAND && (LOWORD(wp) == IDOK || LOWORD(wp) == IDCANCEL)) {
            EndDialog(h, LOWORD(wp));
            return TRUE;
        }
        return FALSE;
    }

    ClientConfig& config_;
    const std::string path_;
    const std::string computer_;
    HICON icon_ = nullptr;
    fw::UniqueGdiObject logo_;
    fw::UniqueGdiObject font_;
    bool written_ = false;
};

// A copy already runs: bring its window forward instead.
void activateFirstCopy() {
    HWND first = FindWindowA(nullptr, kWindowTitle);
    if (!first) return;
    if (IsIconic(first)) ShowWindow(first, SW_RESTORE);
    SetForegroundWindow(first);
    SetForegroundWindow(GetLastActivePopup(first));
}

}  // namespace

// Exit code 0 when an options file was written, 1 otherwise.
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    if (__argc != 2) {
        tell(nullptr, text(IDS_USAGE));
        return 1;
    }
    fw::UniqueHandle mutex(CreateMutexA(nullptr, TRUE, kMutexName));
    if (!mutex || GetLastError() == ERROR_ALREADY_EXISTS) {
        activateFirstCopy();
        return 1;
    }
    auto config = std::make_unique<ClientConfig>();
    OptString message;
    if (ofe::ReadSetupFile(__argv[1], *config, message) != ofe::OPT_OK) {
        tell(nullptr, message, MB_OK | MB_ICONSTOP);
        return 1;
    }
    std::string path = optionsFilePath();
    if (path.empty()) return 1;
    bool written = ConfigDialog(*config, path).run();
    ReleaseMutex(mutex.get());
    return written ? 0 : 1;
}
