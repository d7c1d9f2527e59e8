#include "common/cmd/lineparse.h"

#include <climits>

namespace qora::parse {

namespace {

bool isBlank(wchar_t c) { return c == L' ' || c == L'\t'; }

std::wstring_view withoutLineEnd(std::wstring_view line) {
    while (!line.empty() && (line.back() == L'\r' || line.back() == L'\n')) line.remove_suffix(1);
    return line;
}

// Calls f(word) for each word until f returns false.
template <class F>
void forEachWord(std::wstring_view line, F&& f) {
    std::size_t i = 0;
    const std::size_t n = line.size();
    while (i < n) {
        while (i < n && isBlank(line[i])) ++i;
        if (i == n) break;
        std::size_t start = i;
        while (i < n && !isBlank(line[i])) ++i;
        if (!f(line.substr(start, i - start))) return;
    }
}

}  // namespace

Lines splitLines(std::wstring_view text) {
    Lines lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find(L'\n', start);
        if (end == std::wstring_view::npos) end = text.size();
        if (end > start) lines.push_back(withoutLineEnd(text.substr(start, end - start)));
        start = end + 1;
    }
    return lines;
}

std::vector<std::wstring_view> words(std::wstring_view line) {
    std::vector<std::wstring_view> out;
    forEachWord(line, [&](std::wstring_view w) {
        out.push_back(w);
        return true;
    });
    return out;
}

std::size_t wordCount(std::wstring_view line) {
    std::size_t count = 0;
    forEachWord(line, [&](std::wstring_view) {
        ++count;
        return true;
    });
    return count;
}

std::wstring_view word(std::wstring_view line, std::size_t n) {
    std::wstring_view found;
    std::size_t index = 0;
    forEachWord(line, [&](std::wstring_view w) {
        if (index++ < n) return true;
        found = w;
        return false;
    });
    return found;
}

std::wstring_view trimLeadingBlanks(std::wstring_view text) {
    std::size_t i = 0;
    while (i < text.size() && isBlank(text[i])) ++i;
    return text.substr(i);
}

std::wstring_view trimBlanks(std::wstring_view text) {
    text = trimLeadingBlanks(text);
    while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
    return text;
}

std::wstring_view afterLabel(std::wstring_view line) {
    std::size_t colon = line.find(L':');
    if (colon == std::wstring_view::npos) return {};
    return trimBlanks(line.substr(colon + 1));
}

bool isBlankLine(std::wstring_view line) { return trimBlanks(line).empty(); }

bool contains(std::wstring_view line, std::wstring_view text) {
    return !text.empty() && line.find(text) != std::wstring_view::npos;
}

std::wstring withoutCommas(std::wstring_view word) {
    std::wstring out;
    out.reserve(word.size());
    for (wchar_t c : word)
        if (c != L',') out.push_back(c);
    return out;
}

int numberOf(std::wstring_view word) {
    long long value = 0;
    bool negative = false;
    bool digits = false;
    std::size_t i = 0;
    if (!word.empty() && (word[0] == L'-' || word[0] == L'+')) {
        negative = word[0] == L'-';
        i = 1;
    }
    for (; i < word.size(); ++i) {
        wchar_t c = word[i];
        if (c == L',') continue;
        if (c < L'0' || c > L'9') return 0;
        value = value * 10 + (c - L'0');
        if (value > INT_MAX) return 0;
        digits = true;
    }
    if (!digits) return 0;
    return static_cast<int>(negative ? -value : value);
}

bool isNo(std::wstring_view word) {
    word = trimBlanks(word);
    return word.size() == 2 && (word[0] == L'N' || word[0] == L'n') &&
           (word[1] == L'O' || word[1] == L'o');
}

}  // namespace qora::parse
