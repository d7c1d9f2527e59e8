// Language resource libraries and numbered messages. Message texts are
// printf formats in string tables of msg<lang>u.dll; the English library
// msgengu.dll is always loaded too and answers every lookup the language
// library cannot. A text "Heading -- message" shows Heading as the title.
#pragma once
#include <windows.h>
#include <tchar.h>
#include "common/cmd/textfmt.h"

// Language indexes (NLSLANG values).
enum LanguageIndex {
    QLANG_CHT = 1,
    QLANG_CHS = 2,
    QLANG_JPN = 3,
    QLANG_FRA = 4,
    QLANG_ESP = 5,
    QLANG_ITA = 6,
    QLANG_PTB = 7,
    QLANG_DEU = 8,
    QLANG_KOR = 9,
    QLANG_ENG = 25,
    QLANG_UNK = 75,
};

constexpr int MSG_LIBRARY_MISSING = 700;
constexpr size_t MESSAGE_CHARS = 16384;
constexpr size_t STRING_CHARS = 4096;
#define QORA_ENGLISH_MSG_LIBRARY _T("msgengu.dll")
#define QORA_TITLE_SEPARATOR _T(" -- ")

// Message box types.
enum MessageType {
    MSG_WARNING = 0,   // exclamation, title 1020, OK
    MSG_INFO = 1,      // information, title 1021, OK
    MSG_QUESTION = 2,  // question, title 1022, OK
    MSG_STOP = 3,      // stop, title 1023, OK
    MSG_PLAIN = 4,     // no icon, no title, OK
    MSG_YESNO = 5,     // question, title 1022, Yes / No
    MSG_YESNOCANCEL = 6,  // question, title 1022, Yes / No / Cancel
};

// NLSLANG name (upper-cased, begins-with rule, order ENG CHS CHT DEU ESP
// FRA ITA JPN KOR PTB UNK) to index; -1 when none matches.
int languageIndexOfName(const TCHAR* name);
// "eng", "deu", ...; UNK and unknown indexes give "eng".
const TCHAR* languageCode(int index);
// The override of utilSettings() when set, otherwise 25.
int languageIndex();
// gui<code>u.dll, msg<code>u.dll, tip<code>u.txt, hlp<code>u.hlp for the
// current language; pass null for names not wanted.
void languageFiles(tstring* gui, tstring* msg, tstring* tip, tstring* hlp);

// Loads msgengu.dll and the language's library from the utilities
// directory, as data files. 0, or 700 after showing what is missing.
int loadMessageLibraries();
void freeMessageLibraries();
// The loaded libraries (null when not loaded); the language library is the
// English one for ENG and UNK.
HMODULE messageLibrary();
HMODULE englishMessageLibrary();
// Loads a resource library (e.g. gui<code>u.dll) as a data file from the
// utilities directory; null on failure.
HMODULE loadResourceLibrary(const TCHAR* fileName);

// Embedded in classes that show messages: makes sure the libraries are loaded.
class CIfcMsgLib {
public:
    CIfcMsgLib();
};

// Text `id` into buffer (size characters) from the language library, else
// from the English one. Its length; 0 (buffer empty) when neither has it.
int loadText(UINT id, TCHAR* buffer, int size);
int loadString(UINT id, tstring& text);

// Message `id` formatted with the arguments. A missing text shows the
// "Could not obtain string resource" replacement, type 3.
void showMessage(HWND owner, int type, UINT id, ...);
void showText(HWND owner, int type, const TCHAR* format, ...);
// For types 5 and 6: IDYES, IDNO or IDCANCEL; 0 when the text is missing.
int askMessage(HWND owner, int type, UINT id, ...);

// Splits a text at the first " -- " into title and message; without the
// separator the title is the type's title message. Type 4 has no title.
void splitTitle(int type, const tstring& text, tstring& title, tstring& message);

// Every message box goes through this; tests replace it to see the box
// without a window. Returns the button pressed.
using MessageBoxHook = int (*)(HWND owner, const TCHAR* title, const TCHAR* text, UINT flags);
// Sets the hook (null: the real message box); returns the previous one.
MessageBoxHook setMessageBoxHook(MessageBoxHook hook);
