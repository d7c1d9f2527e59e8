#include "common/cmd/msglib.h"
#include "common/cmd/ifcregis.h"
#include "common/cmd/utilsettings.h"
#include "foundation_ids.h"

namespace {

struct LanguageName {
    const TCHAR* name;
    int index;
};
// Matched in this order.
const LanguageName languageNames[] = {
    {_T("ENG"), QLANG_ENG}, {_T("CHS"), QLANG_CHS}, {_T("CHT"), QLANG_CHT}, {_T("DEU"), QLANG_DEU},
    {_T("ESP"), QLANG_ESP}, {_T("FRA"), QLANG_FRA}, {_T("ITA"), QLANG_ITA}, {_T("JPN"), QLANG_JPN},
    {_T("KOR"), QLANG_KOR}, {_T("PTB"), QLANG_PTB}, {_T("UNK"), QLANG_UNK},
};

struct Libraries {
    bool loaded = false;
    HMODULE english = nullptr;
    HMODULE language = nullptr;  // the English one for ENG and UNK
};

Libraries& libraries() {
    static Libraries libs;
    return libs;
}

MessageBoxHook boxHook = nullptr;

int showBox(HWND owner, const TCHAR* title, const TCHAR* text, UINT flags) {
    if (boxHook) return boxHook(owner, title, text, flags);
    return MessageBoxEx(owner, text, title, flags, MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US));
}

UINT boxFlags(int type) {
    switch (type) {
    case MSG_WARNING: return MB_OK | MB_ICONEXCLAMATION;
    case MSG_INFO: return MB_OK | MB_ICONINFORMATION;
    case MSG_QUESTION: return MB_OK | MB_ICONQUESTION;
    case MSG_STOP: return MB_OK | MB_ICONSTOP;
    case MSG_YESNO: return MB_YESNO | MB_ICONQUESTION;
    case MSG_YESNOCANCEL: return MB_YESNOCANCEL | MB_ICONQUESTION;
    default: return MB_OK;
    }
}

UINT titleMessage(int type) {
    switch (type) {
    case MSG_WARNING: return MSG_TITLE_WARNING;
    case MSG_INFO: return MSG_TITLE_INFO;
    case MSG_QUESTION:
    case MSG_YESNO:
    case MSG_YESNOCANCEL: return MSG_TITLE_QUESTION;
    case MSG_STOP: return MSG_TITLE_STOP;
    default: return 0;
    }
}

// Shows a finished text: it is never used as a format again.
int display(HWND owner, int type, const tstring& text) {
    tstring title, message;
    splitTitle(type, text, title, message);
    return showBox(owner, title.c_str(), message.c_str(), boxFlags(type));
}

tstring formatMessage(const TCHAR* format, va_list args) {
    tstring out(MESSAGE_CHARS, 0);
    vformatText(out.data(), MESSAGE_CHARS, format, args);
    out.resize(_tcslen(out.c_str()));
    return out;
}

// Message `id` formatted with args; false when neither library has it.
bool formatNumbered(UINT id, va_list args, tstring& text) {
    tstring format(MESSAGE_CHARS, 0);
    if (loadText(id, format.data(), MESSAGE_CHARS) == 0) return false;
    text = formatMessage(format.c_str(), args);
    return true;
}

int showMissing(HWND owner, UINT id) {
    return display(owner, MSG_STOP,
                   formatString(_T("Could not obtain string resource %u from msg dll %s\n"), id,
                                QORA_ENGLISH_MSG_LIBRARY));
}

}  // namespace

int languageIndexOfName(const TCHAR* name) {
    if (!name) return -1;
    tstring upper = name;
    CharUpperBuff(upper.data(), static_cast<DWORD>(upper.size()));
    for (const auto& l : languageNames)
        if (upper.compare(0, _tcslen(l.name), l.name) == 0) return l.index;
    return -1;
}

const TCHAR* languageCode(int index) {
    switch (index) {
    case QLANG_CHT: return _T("cht");
    case QLANG_CHS: return _T("chs");
    case QLANG_JPN: return _T("jpn");
    case QLANG_FRA: return _T("fra");
    case QLANG_ESP: return _T("esp");
    case QLANG_ITA: return _T("ita");
    case QLANG_PTB: return _T("ptb");
    case QLANG_DEU: return _T("deu");
    case QLANG_KOR: return _T("kor");
    default: return _T("eng");
    }
}

int languageIndex() {
    const CUtilSettings& s = utilSettings();
    return s.languageOverride() ? s.languageOverrideIndex() : QLANG_ENG;
}

void languageFiles(tstring* gui, tstring* msg, tstring* tip, tstring* hlp) {
    tstring code = languageCode(languageIndex());
    if (gui) *gui = _T("gui") + code + _T("u.dll");
    if (msg) *msg = _T("msg") + code + _T("u.dll");
    if (tip) *tip = _T("tip") + code + _T("u.txt");
    if (hlp) *hlp = _T("hlp") + code + _T("u.hlp");
}

HMODULE loadResourceLibrary(const TCHAR* fileName) {
    tstring path;
    if (!getUtilsPath(fileName, path)) path = fileName ? fileName : _T("");
    return LoadLibraryEx(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
}

int loadMessageLibraries() {
    Libraries& libs = libraries();
    freeMessageLibraries();
    libs.loaded = true;
    int index = languageIndex();
    tstring name;
    languageFiles(nullptr, &name, nullptr, nullptr);
    int rc = 0;
    libs.english = loadResourceLibrary(QORA_ENGLISH_MSG_LIBRARY);
    if (!libs.english) {
        showText(nullptr, MSG_STOP,
                 _T("Could not load the NLS resource dll -- %s\n\nEither re-install or replace ")
                 _T("the copy of the missing DLL file."),
                 QORA_ENGLISH_MSG_LIBRARY);
        rc = MSG_LIBRARY_MISSING;
    }
    if (index >= QLANG_CHT && index <= QLANG_KOR) {
        libs.language = loadResourceLibrary(name.c_str());
        if (!libs.language) {
            showText(nullptr, MSG_WARNING,
                     _T("Could not load the NLS msg resource dll -- %s\n\nEither re-install or ")
                     _T("replace the copy of the missing DLL file."),
                     name.c_str());
            return MSG_LIBRARY_MISSING;
        }
    } else {
        libs.language = libs.english;
    }
    return rc;
}

void freeMessageLibraries() {
    Libraries& libs = libraries();
    if (libs.language && libs.language != libs.english) FreeLibrary(libs.language);
    if (libs.english) FreeLibrary(libs.english);
    libs.language = libs.english = nullptr;
    libs.loaded = false;
}

HMODULE messageLibrary() { return libraries().language; }
HMODULE englishMessageLibrary() { return libraries().english; }

CIfcMsgLib::CIfcMsgLib() {
    if (!libraries().loaded) loadMessageLibraries();
}

int loadText(UINT id, TCHAR* buffer, int size) {
    if (!buffer || size <= 0) return 0;
    buffer[0] = 0;
    const Libraries& libs = libraries();
    int n = 0;
    if (libs.language) n = LoadString(libs.language, id, buffer, size);
    if (n <= 0 && libs.english && libs.english != libs.language)
        n = LoadString(libs.english, id, buffer, size);
    if (n <= 0) {
        buffer[0] = 0;
        return 0;
    }
    return n;
}

int loadString(UINT id, tstring& text) {
    TCHAR buf[STRING_CHARS];
    int n = loadText(id, buf, STRING_CHARS);
    text.assign(buf, static_cast<size_t>(n));
    return n;
}

void showMessage(HWND owner, int type, UINT id, ...) {
    va_list args;
    va_start(args, id);
    tstring text;
    bool found = formatNumbered(id, args, text);
    va_end(args);
    if (found) display(owner, type, text);
    else showMissing(owner, id);
}

void showText(HWND owner, int type, const TCHAR* format, ...) {
    va_list args;
    va_start(args, format);
    tstring text = formatMessage(format ? format : _T(""), args);
    va_end(args);
    display(owner, type, text);
}

int askMessage(HWND owner, int type, UINT id, ...) {
    va_list args;
    va_start(args, id);
    tstring text;
    bool found = formatNumbered(id, args, text);
    va_end(args);
    if (!found) {
        showMissing(owner, id);
        return 0;
    }
    return display(owner, type, text);
}

void splitTitle(int type, const tstring& text, tstring& title, tstring& message) {
    size_t at = text.find(QORA_TITLE_SEPARATOR);
    if (at != tstring::npos) {
        title = type == MSG_PLAIN ? tstring() : text.substr(0, at);
        message = text.substr(at + _tcslen(QORA_TITLE_SEPARATOR));
        return;
    }
    title.clear();
    if (UINT id = titleMessage(type)) loadString(id, title);
    message = text;
}

MessageBoxHook setMessageBoxHook(MessageBoxHook hook) {
    MessageBoxHook old = boxHook;
    boxHook = hook;
    return old;
}
