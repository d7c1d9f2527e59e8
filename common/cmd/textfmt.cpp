#include "common/cmd/textfmt.h"
#include <cstdio>
#include <cwchar>
#include <cstring>

namespace {

// The platform's bounded formatters: they return -1 when the text does not
// fit and leave the buffer unterminated then.
int platformFormat(wchar_t* buf, size_t count, const wchar_t* fmt, va_list args) {
    return _vsnwprintf(buf, count, fmt, args);
}
int platformFormat(char* buf, size_t count, const char* fmt, va_list args) {
    return _vsnprintf(buf, count, fmt, args);
}
int platformLength(const wchar_t* fmt, va_list args) { return _vscwprintf(fmt, args); }
int platformLength(const char* fmt, va_list args) { return _vscprintf(fmt, args); }

template <typename C>
int boundedFormat(C* buf, size_t count, const C* fmt, va_list args) {
    if (!buf || count == 0) return -1;
    int n = platformFormat(buf, count, fmt, args);
    if (n < 0 || static_cast<size_t>(n) >= count) {
        buf[count - 1] = 0;
        return -1;
    }
    return n;
}

template <typename C>
std::basic_string<C> growingFormat(const C* fmt, va_list args) {
    va_list probe;
    va_copy(probe, args);
    int n = platformLength(fmt, probe);
    va_end(probe);
    if (n <= 0) return {};
    std::basic_string<C> out(static_cast<size_t>(n) + 1, C(0));
    int written = platformFormat(out.data(), out.size(), fmt, args);
    out.resize(written < 0 ? 0 : static_cast<size_t>(written));
    return out;
}

template <typename C>
size_t boundedCopy(C* buf, size_t count, const C* src) {
    if (!buf || count == 0) return 0;
    size_t i = 0;
    if (src)
        for (; i + 1 < count && src[i]; ++i) buf[i] = src[i];
    buf[i] = 0;
    return i;
}

}  // namespace

int vformatText(wchar_t* buf, size_t count, const wchar_t* fmt, va_list args) {
    return boundedFormat(buf, count, fmt, args);
}
int vformatText(char* buf, size_t count, const char* fmt, va_list args) {
    return boundedFormat(buf, count, fmt, args);
}
int formatText(wchar_t* buf, size_t count, const wchar_t* fmt, ...) {
    va_list args;
    va_start(args, fmt);
    int n = boundedFormat(buf, count, fmt, args);
    va_end(args);
    return n;
}
int formatText(char* buf, size_t count, const char* fmt, ...) {
    va_list args;
    va_start(args, fmt);
    int n = boundedFormat(buf, count, fmt, args);
    va_end(args);
    return n;
}

std::wstring vformatString(const wchar_t* fmt, va_list args) { return growingFormat(fmt, args); }
std::string vformatString(const char* fmt, va_list args) { return growingFormat(fmt, args); }
std::wstring formatString(const wchar_t* fmt, ...) {
    va_list args;
    va_start(args, fmt);
    std::wstring s = growingFormat(fmt, args);
    va_end(args);
    return s;
}
std::string formatString(const char* fmt, ...) {
    va_list args;
    va_start(args, fmt);
    std::string s = growingFormat(fmt, args);
    va_end(args);
    return s;
}

size_t copyText(wchar_t* buf, size_t count, const wchar_t* src) { return boundedCopy(buf, count, src); }
size_t copyText(char* buf, size_t count, const char* src) { return boundedCopy(buf, count, src); }

std::wstring ansiToWide(const char* text) {
    if (!text || !*text) return {};
    int n = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    if (n <= 0) return {};
    std::wstring out(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text, -1, out.data(), n);
    out.resize(static_cast<size_t>(n) - 1);
    return out;
}

std::string wideToAnsi(const wchar_t* text) {
    if (!text || !*text) return {};
    int n = WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (n <= 0) return {};
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_ACP, 0, text, -1, out.data(), n, nullptr, nullptr);
    out.resize(static_cast<size_t>(n) - 1);
    return out;
}
