#include "srvutil/outview.h"

#include <vector>

#include "common/framework/handle.h"

namespace {

// The dialog is built in memory, so it needs no resource library.
class OutputViewer {
public:
    OutputViewer(const std::wstring& heading, const std::wstring& text) : heading_(heading) {
        for (wchar_t c : text) {
            if (c == L'\n' && (text_.empty() || text_.back() != L'\r')) text_ += L'\r';
            text_ += c;
        }
    }

    void show(HWND owner) {
        std::vector<WORD> tpl = buildTemplate();
        DialogBoxIndirectParamW(GetModuleHandleW(nullptr), reinterpret_cast<DLGTEMPLATE*>(tpl.data()), owner,
                                dialogProc, reinterpret_cast<LPARAM>(this));
    }

private:
    static INT_PTR CALLBACK dialogProc(HWND dlg, UINT msg, WPARAM wp, LPARAM lp) {
        if (msg == WM_INITDIALOG) SetWindowLongPtrW(dlg, GWLP_USERDATA, lp);
        auto* self = reinterpret_cast<OutputViewer*>(GetWindowLongPtrW(dlg, GWLP_USERDATA));
        return self ? self->handle(dlg, msg, wp) : FALSE;
    }

    INT_PTR handle(HWND dlg, UINT msg, WPARAM wp) {
        switch (msg) {
        case WM_INITDIALOG:
            font_.reset(CreateFontW(-16, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                                    CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, FIXED_PITCH | FF_MODERN, L"Courier New"));
            SetDlgItemTextW(dlg, IDC_OUTPUT_HEADING, heading_.c_str());
            SendDlgItemMessageW(dlg, IDC_OUTPUT_TEXT, EM_SETLIMITTEXT, 0, 0);
            if (font_) SendDlgItemMessageW(dlg, IDC_OUTPUT_TEXT, WM_SETFONT, (WPARAM)font_.get(), TRUE);
            SetDlgItemTextW(dlg, IDC_OUTPUT_TEXT, text_.c_str());
            return TRUE;
        case WM_COMMAND:
            if (LOWORD(wp) == IDOK || LOWORD(wp) == IDCANCEL) {
                EndDialog(dlg, LOWORD(wp));
                return TRUE;
            }
            return FALSE;
        default:
            return FALSE;
        }
    }

    static void put(std::vector<WORD>& t, const wchar_t* s) {
        do t.push_back((WORD)*s); while (*s++);
    }
    static void align(std::vector<WORD>& t) {
        if (t.size() % 2) t.push_back(0);
    }
    static void item(std::vector<WORD>& t, DWORD style, short x, short y, short cx, short cy, WORD id, WORD cls,
                     const wchar_t* text) {
        align(t);
        DLGITEMTEMPLATE it{style | WS_CHILD | WS_VISIBLE, 0, x, y, cx, cy, id};
        const WORD* w = reinterpret_cast<const WORD*>(&it);
        t.insert(t.end(), w, w + sizeof it / sizeof(WORD));
        t.push_back(0xFFFF);
        t.push_back(cls);
        put(t, text);
        t.push_back(0);  // no creation data
    }

    std::vector<WORD> buildTemplate() const {
        std::vector<WORD> t;
        DLGTEMPLATE dt{DS_MODALFRAME | DS_SETFONT | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU, 0, 3, 0, 0, 400, 250};
        const WORD* w = reinterpret_cast<const WORD*>(&dt);
        t.insert(t.end(), w, w + sizeof dt / sizeof(WORD));
        t.push_back(0);  // no menu
        t.push_back(0);  // default class
        put(t, L"QORA Server Utilities");
        t.push_back(8);
        put(t, L"MS Shell Dlg");
        item(t, SS_LEFT, 7, 7, 386, 10, IDC_OUTPUT_HEADING, 0x0082, L"");
        item(t, ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | ES_AUTOHSCROLL | WS_VSCROLL | WS_HSCROLL | WS_BORDER |
                    WS_TABSTOP,
             7, 20, 386, 203, IDC_OUTPUT_TEXT, 0x0081, L"");
        item(t, BS_DEFPUSHBUTTON | WS_TABSTOP, 343, 229, 50, 14, IDOK, 0x0080, L"OK");
        return t;
    }

    std::wstring heading_, text_;
    fw::UniqueGdiObject font_;
};

}  // namespace

void showOutputViewer(HWND owner, const std::wstring& heading, const std::wstring& text) {
    OutputViewer(heading, text).show(owner);
}
