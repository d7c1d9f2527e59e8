// Splits file content into lines as the option file readers see them. Pure:
// no Win32 header, so the readers built on it run natively too.
#pragma once
#include <cstddef>
#include <string_view>

namespace ofe {

// Longest line the readers accept, line feed included.
inline constexpr std::size_t kMaxLineBytes = 511;

struct TextLine {
    std::size_t number;     // from 1
    std::string_view text;  // as read, line end included
    bool tooLong;           // longer than kMaxLineBytes: reported, never split
};

// Calls f(const TextLine&) for every line until f returns false. A last line
// without a line feed counts; `completeOnly` leaves it out (content cut short
// by a read error).
template <class F>
void forEachLine(std::string_view bytes, bool completeOnly, F&& f) {
    std::size_t number = 0;
    while (!bytes.empty()) {
        std::size_t lf = bytes.find('\n');
        if (lf == std::string_view::npos && completeOnly) return;
        std::size_t len = lf == std::string_view::npos ? bytes.size() : lf + 1;
        TextLine line{++number, bytes.substr(0, len), len > kMaxLineBytes};
        bytes.remove_prefix(len);
        if (!f(line)) return;
    }
}

// The line without its trailing CR and LF characters.
template <class Ch>
std::basic_string_view<Ch> withoutLineEnd(std::basic_string_view<Ch> s) {
    while (!s.empty() && (s.back() == Ch('\n') || s.back() == Ch('\r'))) s.remove_suffix(1);
    return s;
}

}  // namespace ofe
