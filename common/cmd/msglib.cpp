#include "common/cmd/msglib.h"

int languageIndexOfName(const TCHAR*) { return -1; }
const TCHAR* languageCode(int) { return _T("eng"); }
int languageIndex() { return QLANG_ENG; }
void languageFiles(tstring*, tstring*, tstring*, tstring*) {}
int loadMessageLibraries() { return MSG_LIBRARY_MISSING; }
void freeMessageLibraries() {}
HMODULE messageLibrary() { return nullptr; }
HMODULE englishMessageLibrary() { return nullptr; }
HMODULE loadResourceLibrary(const TCHAR*) { return nullptr; }
CIfcMsgLib::CIfcMsgLib() {}
int loadText(UINT, TCHAR* buffer, int size) { if (buffer && size > 0) buffer[0] = 0; return 0; }
int loadString(UINT, tstring& text) { text.clear(); return 0; }
void showMessage(HWND, int, UINT, ...) {}
void showText(HWND, int, const TCHAR*, ...) {}
int askMessage(HWND, int, UINT, ...) { return 0; }
void splitTitle(int, const tstring& text, tstring& title, tstring& message) { title.clear(); message = text; }
MessageBoxHook setMessageBoxHook(MessageBoxHook) { return nullptr; }
