#include "srvutil/appcmdl.h"
#include "common/cmd/msglib.h"
#include "common/cmd/trace.h"
#include <cwctype>
#include <vector>

namespace {
constexpr size_t MAX_PIECES = 1024;

// Pieces of `text` between separators; runs of separators count as one.
std::vector<std::wstring> split(const std::wstring& text, const wchar_t* separators, size_t limit) {
    std::vector<std::wstring> pieces;
    size_t pos = 0;
    while (pieces.size() < limit) {
        pos = text.find_first_not_of(separators, pos);
        if (pos == std::wstring::npos) break;
        size_t end = text.find_first_of(separators, pos);
        pieces.push_back(text.substr(pos, end == std::wstring::npos ? std::wstring::npos : end - pos));
        pos = end;
    }
    return pieces;
}

std::wstring upper(std::wstring s) {
    for (wchar_t& c : s) c = static_cast<wchar_t>(std::towupper(c));
    return s;
}

bool beginsWith(const std::wstring& text, const wchar_t* name) {
    return text.compare(0, wcslen(name), name) == 0;
}

enum Option { OPT_TRACEFILE, OPT_TRACEFLAG, OPT_DEVFILE, OPT_NLSLANG, OPT_NONE };

Option optionOf(const std::wstring& piece) {
    static const wchar_t* const names[] = {L"TRACEFILE", L"TRACEFLAG", L"DEVFILE", L"NLSLANG"};
    std::wstring name = upper(piece);
    for (int i = 0; i < OPT_NONE; ++i)
        if (beginsWith(name, names[i])) return static_cast<Option>(i);
    return OPT_NONE;
}

CommandLineResult reject(int code, const std::wstring& word) {
    return {code, word.substr(0, word.find(L':'))};
}
}  // namespace

const wchar_t* skipProgramName(const wchar_t* commandLine) {
    const wchar_t* p = commandLine ? commandLine : L"";
    // The program name ends at the first blank outside quotes; quotes in it
    // are not escapes.
    bool quoted = false;
    for (; *p; ++p) {
        if (*p == L'"') {
            quoted = !quoted;
        } else if (!quoted && (*p == L' ' || *p == L'\t')) {
            break;
        }
    }
    return p;
}

CommandLineResult parseCommandLine(const wchar_t* arguments, CUtilSettings& settings) {
    for (const std::wstring& word : split(arguments ? arguments : L"", L" ", MAX_PIECES - 1)) {
        if (word[0] != L'-' && word[0] != L'/') return reject(CMDLINE_REJECTED, word);
        std::vector<std::wstring> pieces = split(word.substr(1), L":", MAX_PIECES);
        if (pieces.empty()) return reject(CMDLINE_REJECTED, word);
        Option option = optionOf(pieces[0]);
        if (option == OPT_NONE) return reject(CMDLINE_REJECTED, word);
        if (pieces.size() != 2) return reject(CMDLINE_MISSING_VALUE, word);
        const std::wstring& value = pieces[1];
        switch (option) {
        case OPT_TRACEFILE:
            traceStart(value.c_str());
            break;
        case OPT_TRACEFLAG: {
            std::vector<std::wstring> names = split(value, L",", MAX_PIECES);
            int flag = names.empty() ? -1 : traceFlagOfName(upper(names[0]).c_str());
            if (flag >= 0) traceSetFlag(flag, 1);
            break;
        }
        case OPT_DEVFILE:
            settings.setDevFile(value.c_str());
            break;
        case OPT_NLSLANG: {
            int index = languageIndexOfName(upper(value).c_str());
            if (index < 0) return reject(CMDLINE_REJECTED, word);
            settings.setLanguageOverride(index);
            break;
        }
        case OPT_NONE:
            break;
        }
    }
    return {};
}
