#include "common/cmd/parsblk.h"

namespace qora::parse {

bool BlockTest::startsAt(const Lines& lines, std::size_t index) const {
    if (index >= lines.size() || lastLine >= lines.size() - index) return false;
    for (const Signature& s : signature)
        if (!contains(lines[index + s.offset], s.label)) return false;
    return true;
}

std::wstring fitted(std::wstring_view text, std::size_t width) {
    if (width > 0 && text.size() > width - 1) text = text.substr(0, width - 1);
    return std::wstring(text);
}

void traceNumber(const TraceSink& sink, std::wstring_view format, std::size_t value) {
    if (!sink) return;
    // format holds one %d or %u
    std::wstring text(format);
    std::size_t at = text.find(L'%');
    if (at != std::wstring::npos && at + 1 < text.size()) text.replace(at, 2, std::to_wstring(value));
    sink(text);
}

void traceFree(const TraceSink& sink, const FreeTrace& what, std::size_t count) {
    if (!sink) return;
    sink(what.freeing);
    if (what.container) {
        sink(std::wstring(what.container) + L" != NULL\n");
        sink(std::wstring(what.countName) + L": " + std::to_wstring(count) + L"\n");
    }
    if (what.perRecord)
        for (std::size_t i = 0; i < count; ++i) traceNumber(sink, what.perRecord, i);
}

}  // namespace qora::parse
