#include "common/cmd/element.h"

#include <cwctype>

namespace {

const std::wstring kEmpty;

bool isWhite(wchar_t c) {
    return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n' || c == L'\v' || c == L'\f';
}

std::wstring trimmed(const std::wstring& s) {
    size_t b = 0, e = s.size();
    while (b < e && isWhite(s[b])) ++b;
    while (e > b && isWhite(s[e - 1])) --e;
    return s.substr(b, e - b);
}

std::wstring lowered(std::wstring s) {
    for (auto& c : s) c = static_cast<wchar_t>(std::towlower(c));
    return s;
}

bool equalsNoCase(const std::wstring& a, const wchar_t* b) {
    return lowered(a) == lowered(b);
}

bool startsWith(const std::wstring& s, const wchar_t* prefix) {
    return s.compare(0, std::char_traits<wchar_t>::length(prefix), prefix) == 0;
}

// Pieces between separators; runs of separators count as one.
std::vector<std::wstring> split(const std::wstring& line, wchar_t sep) {
    std::vector<std::wstring> pieces;
    size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && line[i] == sep) ++i;
        if (i == line.size()) break;
        size_t j = line.find(sep, i);
        if (j == std::wstring::npos) j = line.size();
        pieces.push_back(line.substr(i, j - i));
        i = j;
    }
    return pieces;
}

// A decimal integer that may have leading blanks; false without digits or
// when it does not fit.
bool readNumber(const std::wstring& s, int& value) {
    size_t i = 0;
    while (i < s.size() && isWhite(s[i])) ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == L'-' || s[i] == L'+')) negative = s[i++] == L'-';
    long long v = 0;
    size_t digits = 0;
    for (; i < s.size() && s[i] >= L'0' && s[i] <= L'9'; ++i, ++digits) {
        v = v * 10 + (s[i] - L'0');
        if (v > 0x7fffffff) return false;
    }
    if (!digits) return false;
    value = static_cast<int>(negative ? -v : v);
    return true;
}

// Line as the parser sees it: no line end, lower case, trimmed, no remark.
std::wstring preparedLine(std::wstring line) {
    while (!line.empty() && (line.back() == L'\r' || line.back() == L'\n')) line.pop_back();
    line = trimmed(lowered(line));
    size_t remark = line.find(L"//");
    if (remark != std::wstring::npos) line.erase(remark);
    return line;
}

enum class Section { none, version, inquiry, element, comment };

}  // namespace

ElementTable::ElementTable() { initializeQoraElementInfo(); }

void ElementTable::initializeQoraElementInfo() {
    trace(__FILE__, __LINE__, L"ELEMENT - enter initializeQoraElementInfo()\n");
    entries_.assign(kMaxEntries, InquiryEntry{});
    entryCount_ = 0;
    Table blank;
    for (auto& d : blank.drives) d = -1;
    for (auto& l : blank.libraries) l = -1;
    tables_.assign(kMaxTables, blank);
    tableCount_ = 0;
    comments_.assign(kMaxComments, std::wstring());
    commentCount_ = 0;
    title_.clear();
    version_.clear();
    date_.clear();
    trace(__FILE__, __LINE__, L"ELEMENT - exit initializeQoraElementInfo()\n");
}

const std::wstring& ElementTable::entryText(int i) const {
    return i >= 0 && i < entryCount_ ? entries_[i].inquiry : kEmpty;
}

void ElementTable::parseElementData(const std::wstring& content) {
    std::vector<std::wstring> lines;
    size_t start = 0;
    while (start <= content.size()) {
        size_t end = content.find(L'\n', start);
        if (end == std::wstring::npos) end = content.size();
        std::wstring raw = content.substr(start, end - start);
        if (!raw.empty() && raw != L"\r") lines.push_back(raw);
        start = end + 1;
    }

    Section section = Section::none;
    for (const auto& raw : lines) {
        std::wstring line = preparedLine(raw);
        if (equalsNoCase(line, L"[versioninfo]")) { section = Section::version; continue; }
        if (equalsNoCase(line, L"[inquiryinfo]")) { section = Section::inquiry; continue; }
        if (equalsNoCase(line, L"[elementinfo]")) { section = Section::element; continue; }
        if (equalsNoCase(line, L"[commentinfo]")) { section = Section::comment; continue; }
        switch (section) {
        case Section::none: break;
        case Section::version: parseVersionLine(line); break;
        case Section::inquiry: parseInquiryLine(line); break;
        case Section::element: parseElementLine(line); break;
        case Section::comment: parseCommentLine(line); break;
        }
    }
    trace(__FILE__, __LINE__, L"ELEMENT - title: " + title_ + L"\n");
    trace(__FILE__, __LINE__, L"ELEMENT - version: " + version_ + L"\n");
    trace(__FILE__, __LINE__, L"ELEMENT - date: " + date_ + L"\n");
}

void ElementTable::parseVersionLine(const std::wstring& line) {
    auto kv = split(line, L'=');
    if (kv.size() != 2) return;
    if (kv[0] == L"title") title_ = kv[1];
    else if (kv[0] == L"version") version_ = kv[1];
    else if (kv[0] == L"date") date_ = kv[1];
}

void ElementTable::parseInquiryLine(const std::wstring& line) {
    auto kv = split(line, L',');
    int table;
    if (kv.size() != 2 || entryCount_ >= kMaxEntries || !readNumber(kv[1], table)) return;
    entries_[entryCount_].inquiry = kv[0];
    entries_[entryCount_].table = table;
    ++entryCount_;
}

void ElementTable::parseElementLine(const std::wstring& line) {
    Table* current = nullptr;
    for (const auto& part : split(line, L';')) {
        auto kv = split(part, L',');
        int number;
        if (kv.size() != 2 || !readNumber(kv[1], number)) continue;
        const std::wstring& key = kv[0];
        if (startsWith(key, L"table")) {
            current = nullptr;
            if (number < 0 || number >= kMaxTables) continue;
            current = &tables_[number];
            current->driveCount = 0;
            current->libraryCount = 0;
            current->comment = -1;
            current->defined = true;
            ++tableCount_;
        } else if (!current) {
            continue;
        } else if (startsWith(key, L"td")) {
            if (current->driveCount < kMaxElements) current->drives[current->driveCount++] = number;
        } else if (startsWith(key, L"lb")) {
            if (current->libraryCount < kMaxElements) current->libraries[current->libraryCount++] = number;
        } else if (startsWith(key, L"comment")) {
            if (number >= 0 && number < kMaxComments) current->comment = number;
        }
    }
}

void ElementTable::parseCommentLine(const std::wstring& line) {
    auto kv = split(line, L';');
    int number;
    if (kv.size() != 2 || !readNumber(kv[0], number) || number < 0 || number >= kMaxComments)
        return;
    comments_[number] = kv[1];
    ++commentCount_;
}

bool ElementTable::lookupQoraElementInfo(const std::wstring& inquiry, bool stripRevision,
                                         int driveNumber, int& driveCount, int& element,
                                         std::wstring& comment) const {
    trace(__FILE__, __LINE__, L"ELEMENT - enter lookupQoraElementInfo()\n");
    trace(__FILE__, __LINE__, L"ELEMENT - params - inquiry data: " + inquiry + L", drive number: " +
                        std::to_wstring(driveNumber) + L"\n");
    driveCount = -1;
    element = -1;
    comment.clear();

    std::wstring text = inquiry;
    while (!text.empty() && isWhite(text.back())) text.pop_back();
    if (stripRevision) {
        size_t blank = text.find_last_of(L" \t");
        text = blank == std::wstring::npos ? std::wstring() : text.substr(0, blank);
    }
    text = lowered(trimmed(text));
    trace(__FILE__, __LINE__, L"ELEMENT - massaged inquiry data to: " + text + L"\n");

    bool found = false;
    // An empty identity would match any entry: leave it to the administrator.
    for (int i = 0; !text.empty() && i < entryCount_; ++i) {
        const InquiryEntry& entry = entries_[i];
        trace(__FILE__, __LINE__, L"ELEMENT - looking for substring " + text + L" in string " +
                            entry.inquiry + L"\n");
        if (entry.inquiry.compare(0, text.size(), text) != 0) continue;
        if (entry.table < 0 || entry.table >= kMaxTables || !tables_[entry.table].defined)
            continue;
        trace(__FILE__, __LINE__, L"ELEMENT - found it, ref element table index: " +
                            std::to_wstring(entry.table) + L"\n");
        const Table& table = tables_[entry.table];
        int index = driveNumber - 1;
        if (index < 0 || index >= table.driveCount) {
            trace(__FILE__, __LINE__, L"ELEMENT - not found, drive number " + std::to_wstring(index) +
                                L" out of range( 0 <= drive number < " +
                                std::to_wstring(table.driveCount) + L"\n");
            break;
        }
        driveCount = table.driveCount;
        element = table.drives[index];
        trace(__FILE__, __LINE__, L"ELEMENT - found element #: " + std::to_wstring(element) + L"\n");
        if (table.comment >= 0 && table.comment < kMaxComments) comment = comments_[table.comment];
        found = true;
        break;
    }
    trace(__FILE__, __LINE__, std::wstring(L"ELEMENT - exiting, found: ") + (found ? L"yes" : L"no") + L"\n");
    return found;
}
