#include "common/framework/bars.h"
#include "common/framework/resmod.h"
#include <commctrl.h>
#include <shlwapi.h>

namespace fw {
namespace {
// A TOOLBAR statement as our resource compiler stores it: button size, count,
// then one command per button (0 for a separator), all 32-bit.
struct ToolBarResource {
    DWORD width;
    DWORD height;
    DWORD count;
    DWORD items[1];
};

// Flat tool bars need a common controls library above 4.70.
bool flatStyleAvailable() {
    HMODULE comctl = GetModuleHandleW(L"comctl32.dll");
    auto getVersion = comctl ? reinterpret_cast<DLLGETVERSIONPROC>(
                                   reinterpret_cast<void*>(GetProcAddress(comctl, "DllGetVersion")))
                             : nullptr;
    if (!getVersion) return false;
    DLLVERSIONINFO info{};
    info.cbSize = sizeof info;
    if (FAILED(getVersion(&info))) return false;
    return info.dwMajorVersion > 4 || (info.dwMajorVersion == 4 && info.dwMinorVersion > 70);
}
}  // namespace

bool CToolBar::create(HWND parent, UINT id) {
    HINSTANCE module = resourceModule();
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(241));
    HGLOBAL data = found ? LoadResource(module, found) : nullptr;
    auto* res = data ? static_cast<const ToolBarResource*>(LockResource(data)) : nullptr;
    if (!res || SizeofResource(module, found) < 3 * sizeof(DWORD) + res->count * sizeof(DWORD)) return false;

    DWORD style = WS_CHILD | WS_VISIBLE | CCS_TOP | TBSTYLE_TOOLTIPS;
    if (flatStyleAvailable()) style |= TBSTYLE_FLAT;
    hwnd_ = CreateWindowExW(0, TOOLBARCLASSNAMEW, nullptr, style, 0, 0, 0, 0, parent,
                            reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), GetModuleHandleW(nullptr),
                            nullptr);
    if (!hwnd_) return false;
    SendMessageW(hwnd_, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    SendMessageW(hwnd_, TB_SETBITMAPSIZE, 0, MAKELONG(res->width, res->height));

    int images = 0;
    for (DWORD i = 0; i < res->count; ++i) images += res->items[i] != 0;
    bitmap_.reset(LoadImageW(module, MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_LOADMAP3DCOLORS));
    if (bitmap_) {
        TBADDBITMAP add{nullptr, reinterpret_cast<UINT_PTR>(bitmap_.get())};
        SendMessageW(hwnd_, TB_ADDBITMAP, images, reinterpret_cast<LPARAM>(&add));
    }
    std::vector<TBBUTTON> buttons;
    int image = 0;
    for (DWORD i = 0; i < res->count; ++i) {
        TBBUTTON b{};
        if (res->items[i] == 0) {
            b.fsStyle = BTNS_SEP;
        } else {
            b.iBitmap = image++;
            b.idCommand = static_cast<int>(res->items[i]);
            b.fsState = TBSTATE_ENABLED;
            b.fsStyle = BTNS_BUTTON;
            commands_.push_back(static_cast<UINT>(res->items[i]));
        }
        buttons.push_back(b);
    }
    SendMessageW(hwnd_, TB_ADDBUTTONSW, buttons.size(), reinterpret_cast<LPARAM>(buttons.data()));
    autoSize();
    return true;
}

void CToolBar::enableButton(UINT command, bool enable) {
    SendMessageW(hwnd_, TB_ENABLEBUTTON, command, MAKELONG(enable ? TRUE : FALSE, 0));
}

bool CToolBar::isButtonEnabled(UINT command) const {
    return SendMessageW(hwnd_, TB_ISBUTTONENABLED, command, 0) != 0;
}

void CToolBar::autoSize() { SendMessageW(hwnd_, TB_AUTOSIZE, 0, 0); }

int CToolBar::height() const {
    RECT r{};
    if (!hwnd_ || !IsWindowVisible(hwnd_)) return 0;
    GetWindowRect(hwnd_, &r);
    return r.bottom - r.top;
}

bool CStatusBar::create(HWND parent, const std::vector<UINT>& indicators) {
    hwnd_ = CreateWindowExW(0, STATUSCLASSNAMEW, nullptr, WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP, 0, 0,
                            0, 0, parent, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (!hwnd_) return false;
    indicators_ = indicators;
    indicators_.insert(indicators_.begin(), 0);
    widths_.assign(indicators_.size(), 0);
    for (size_t i = 1; i < indicators_.size(); ++i)
        widths_[i] = fittingWidth(loadResString(indicators_[i]));
    layout();
    return true;
}

int CStatusBar::paneIndex(UINT indicator) const {
    for (size_t i = 1; i < indicators_.size(); ++i)
        if (indicators_[i] == indicator) return static_cast<int>(i);
    return -1;
}

void CStatusBar::setPaneText(int index, const std::wstring& text) {
    SendMessageW(hwnd_, SB_SETTEXTW, index, reinterpret_cast<LPARAM>(text.c_str()));
}

std::wstring CStatusBar::paneText(int index) const {
    LRESULT info = SendMessageW(hwnd_, SB_GETTEXTLENGTHW, index, 0);
    std::wstring s(LOWORD(info) + 1, L'\0');
    SendMessageW(hwnd_, SB_GETTEXTW, index, reinterpret_cast<LPARAM>(s.data()));
    s.resize(LOWORD(info));
    return s;
}

int CStatusBar::fittingWidth(const std::wstring& text) const {
    HDC dc = GetDC(hwnd_);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(hwnd_, WM_GETFONT, 0, 0)));
    SIZE size{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    SelectObject(dc, old);
    ReleaseDC(hwnd_, dc);
    int borders[3] = {};
    SendMessageW(hwnd_, SB_GETBORDERS, 0, reinterpret_cast<LPARAM>(borders));
    return size.cx + 2 * borders[2] + 6;
}

void CStatusBar::setPaneWidth(int index, int width) {
    if (index <= 0 || index >= static_cast<int>(widths_.size())) return;
    widths_[index] = width;
    layout();
}

int CStatusBar::paneWidth(int index) const {
    RECT r{};
    SendMessageW(hwnd_, SB_GETRECT, index, reinterpret_cast<LPARAM>(&r));
    return r.right - r.left;
}

void CStatusBar::layout() {
    if (!hwnd_) return;
    SendMessageW(hwnd_, WM_SIZE, 0, 0);
    RECT client{};
    GetClientRect(hwnd_, &client);
    int right = client.right - GetSystemMetrics(SM_CXVSCROLL);
    std::vector<int> edges(widths_.size());
    for (size_t i = widths_.size(); i-- > 1;) {
        edges[i] = right > 0 ? right : 0;
        right -= widths_[i];
    }
    edges[0] = right > 0 ? right : 0;
    SendMessageW(hwnd_, SB_SETPARTS, edges.size(), reinterpret_cast<LPARAM>(edges.data()));
}

int CStatusBar::height() const {
    RECT r{};
    if (!hwnd_) return 0;
    GetWindowRect(hwnd_, &r);
    return r.bottom - r.top;
}

}  // namespace fw
