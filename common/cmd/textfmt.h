// Bounded text formatting with the platform's printf rules: in a wide format
// %s takes a wide string, in a narrow one a narrow string. Every result is
// terminated, whatever its length. Never pass registry contents, file
// contents or program output as the format: pass them as a "%s" argument.
#pragma once
#include <windows.h>
#include <tchar.h>
#include <cstdarg>
#include <cstddef>
#include <string>

using tstring = std::basic_string<TCHAR>;

// Formats into buf (count characters including the terminator). Returns the
// length written; when the text does not fit it is cut at count - 1
// characters and -1 is returned. count 0 writes nothing and returns -1.
int formatText(wchar_t* buf, size_t count, const wchar_t* fmt, ...);
int formatText(char* buf, size_t count, const char* fmt, ...);
int vformatText(wchar_t* buf, size_t count, const wchar_t* fmt, va_list args);
int vformatText(char* buf, size_t count, const char* fmt, va_list args);

// Formats into a string of whatever length the text needs.
std::wstring formatString(const wchar_t* fmt, ...);
std::string formatString(const char* fmt, ...);
std::wstring vformatString(const wchar_t* fmt, va_list args);
std::string vformatString(const char* fmt, va_list args);

// Copies src into buf (count characters), cut and terminated; returns the
// length copied. The safe way to fill a fixed buffer from any text.
size_t copyText(wchar_t* buf, size_t count, const wchar_t* src);
size_t copyText(char* buf, size_t count, const char* src);

// Converts between the ANSI code page and UTF-16.
std::wstring ansiToWide(const char* text);
std::string wideToAnsi(const wchar_t* text);
