// Whole data files in the system's ANSI code page, and the file error box
// their readers show.
#pragma once
#include <windows.h>
#include <string>

// Reads and widens the whole file. False with the system error on failure.
bool readAnsiFile(const std::wstring& path, std::wstring& text, DWORD& error);

// "File error - ..." with the cause and the system's description of `error`.
void showFileError(HWND owner, DWORD error);
