// The scheme every reply parser shares: a window slides over the reply's
// lines; where a block's signature lines hold their labels, one record is
// filled from a table of fields, each naming its line, its word and its
// width. A parser is its record, its signature and its field table.
#pragma once
#include <cstddef>
#include <functional>
#include <new>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "common/cmd/lineparse.h"

namespace qora::parse {

enum ParseCode : unsigned {
    PARSE_OK = 0,
    PARSE_NO_MEMORY = 1901,
    PARSE_LABEL_MISSING = 1902,
    PARSE_NO_BLOCK = 1903,
};
// The system error code that goes with PARSE_NO_MEMORY (not enough memory).
constexpr unsigned SYSTEM_ERROR_NO_MEMORY = 8;

// Receives finished trace text (whole lines); empty when tracing is off. The
// Win32 side supplies it, so the parsers need no trace module of their own.
using TraceSink = std::function<void(std::wstring_view)>;

// Records of one list query. Records keep every block of the reply: a reply
// may describe more than 256 objects.
template <class Rec>
struct ParseResults {
    std::vector<Rec> records;
    bool success = true;
    unsigned errorCode = PARSE_OK;
    unsigned systemError = 0;

    std::size_t count() const { return records.size(); }
};

// The database and log queries describe one object; the last block wins.
template <class Rec>
struct SingleResult {
    bool success = true;
    unsigned errorCode = PARSE_OK;
    unsigned systemError = 0;
    bool found = false;
    Rec record;
};

// A line that must hold a label for a block to start there.
struct Signature {
    std::size_t offset;
    std::wstring_view label;
};

// How a parser recognises its blocks.
struct BlockTest {
    std::span<const Signature> signature;  // lines that must hold their labels
    std::size_t lastLine;                  // the block needs the reply to reach this offset
    std::wstring_view marker = {};         // a label that only tells a layout apart

    bool startsAt(const Lines& lines, std::size_t index) const;
};

// The lines of one block, counted from its first line; lines past the end of
// the reply read as absent.
class Block {
public:
    Block(const Lines& lines, std::size_t start, const BlockTest& test)
        : lines_(lines), start_(start), test_(test) {}
    bool has(std::size_t offset) const { return start_ + offset < lines_.size(); }
    std::wstring_view line(std::size_t offset) const {
        return has(offset) ? lines_[start_ + offset] : std::wstring_view();
    }
    // True when a block of the same kind starts at this offset.
    bool startsBlock(std::size_t offset) const { return test_.startsAt(lines_, start_ + offset); }
    bool holdsMarker(std::size_t offset) const { return contains(line(offset), test_.marker); }

private:
    const Lines& lines_;
    std::size_t start_;
    const BlockTest& test_;
};

enum class Source {
    Word,        // word n of the line
    AfterLabel,  // everything after the label's colon
    Number,      // number from word n
    NotNo,       // 1 unless word n is "No"; 0 when the line has n words or fewer
    Set,         // a fixed value
    Custom,      // filled by the parser's own completion (multi-line fields)
};

// A field's line: an offset from the block's first line, or an anchor that
// the parser's locate() turns into one for each block.
constexpr int ANCHOR = 1000;
constexpr std::size_t NO_LINE = static_cast<std::size_t>(-1);

template <class Rec>
struct Field {
    const wchar_t* caption;  // name in the trace dump
    Source source;
    int line = 0;
    std::size_t word = 0;
    std::wstring Rec::*text = nullptr;
    int Rec::*number = nullptr;
    std::size_t width = 0;               // characters including the terminator
    std::size_t minWords = 0;            // the value needs this many words on the line
    const wchar_t* fallback = nullptr;   // text when the value is empty
    int value = 0;                       // for Source::Set
};

template <class Rec>
Field<Rec> wordField(const wchar_t* caption, int line, std::size_t n, std::wstring Rec::*text,
                     std::size_t width, const wchar_t* fallback = nullptr, std::size_t minWords = 0) {
    return {caption, Source::Word, line, n, text, nullptr, width, minWords, fallback};
}
template <class Rec>
Field<Rec> labelField(const wchar_t* caption, int line, std::wstring Rec::*text, std::size_t width) {
    return {caption, Source::AfterLabel, line, 0, text, nullptr, width};
}
template <class Rec>
Field<Rec> numberField(const wchar_t* caption, int line, std::size_t n, int Rec::*number) {
    return {caption, Source::Number, line, n, nullptr, number};
}
template <class Rec>
Field<Rec> notNoField(const wchar_t* caption, int line, std::size_t n, int Rec::*number) {
    return {caption, Source::NotNo, line, n, nullptr, number};
}
template <class Rec>
Field<Rec> setField(const wchar_t* caption, int Rec::*number, int value) {
    return {caption, Source::Set, 0, 0, nullptr, number, 0, 0, nullptr, value};
}
template <class Rec>
Field<Rec> customField(const wchar_t* caption, std::wstring Rec::*text, std::size_t width) {
    return {caption, Source::Custom, 0, 0, text, nullptr, width};
}
template <class Rec>
Field<Rec> customField(const wchar_t* caption, int Rec::*number) {
    return {caption, Source::Custom, 0, 0, nullptr, number};
}

template <class Rec>
struct Scheme {
    BlockTest test;
    std::span<const Field<Rec>> fields;
    // Offsets of the parser's anchors in one block (NO_LINE when absent).
    std::size_t (*locate)(const Block&, int anchor) = nullptr;
    // Fills the fields that span several lines.
    void (*complete)(Rec&, const Block&) = nullptr;
};

// Text cut to a field of `width` characters including the terminator.
std::wstring fitted(std::wstring_view text, std::size_t width);

void traceNumber(const TraceSink& sink, std::wstring_view format, std::size_t value);

// Empties a result and marks it failed with `code`; returns the code.
template <class Result>
unsigned failed(Result& result, unsigned code) {
    result = Result();
    result.success = false;
    result.errorCode = code;
    if (code == PARSE_NO_MEMORY) result.systemError = SYSTEM_ERROR_NO_MEMORY;
    return code;
}

template <class Rec>
void fillRecord(Rec& rec, const Block& block, const Scheme<Rec>& scheme) {
    for (const Field<Rec>& f : scheme.fields) {
        if (f.source == Source::Set) {
            rec.*f.number = f.value;
            continue;
        }
        if (f.source == Source::Custom) continue;
        std::size_t offset = f.line >= ANCHOR ? scheme.locate(block, f.line) : std::size_t(f.line);
        std::wstring_view line = offset == NO_LINE ? std::wstring_view() : block.line(offset);
        switch (f.source) {
        case Source::Word: {
            std::wstring_view value;
            if (f.minWords == 0 || wordCount(line) >= f.minWords) value = word(line, f.word);
            if (value.empty() && f.fallback) value = f.fallback;
            rec.*f.text = fitted(value, f.width);
            break;
        }
        case Source::AfterLabel:
            rec.*f.text = fitted(afterLabel(line), f.width);
            break;
        case Source::Number:
            rec.*f.number = numberOf(word(line, f.word));
            break;
        case Source::NotNo:
            rec.*f.number = wordCount(line) > f.word && !isNo(word(line, f.word)) ? 1 : 0;
            break;
        default:
            break;
        }
    }
    if (scheme.complete) scheme.complete(rec, block);
}

template <class Rec>
void traceRecord(const TraceSink& sink, const Rec& rec, const Scheme<Rec>& scheme) {
    if (!sink) return;
    std::wstring dump;
    for (const Field<Rec>& f : scheme.fields) {
        dump += f.caption;
        dump += L": ";
        if (f.text)
            dump += rec.*f.text;
        else
            dump += std::to_wstring(rec.*f.number);
        dump += L'\n';
    }
    sink(dump);
}

// A list query: one record per block. Returns the error code.
template <class Rec>
unsigned parseList(ParseResults<Rec>& results, std::wstring_view text, const Scheme<Rec>& scheme,
                   const TraceSink& sink) {
    results = ParseResults<Rec>();
    try {
        Lines lines = splitLines(text);
        traceNumber(sink, L"Parsed %d lines\n", lines.size());
        for (std::size_t i = 0; i < lines.size(); ++i) {
            if (!scheme.test.startsAt(lines, i)) continue;
            Rec& rec = results.records.emplace_back();
            fillRecord(rec, Block(lines, i, scheme.test), scheme);
        }
    } catch (const std::bad_alloc&) {
        return failed(results, PARSE_NO_MEMORY);
    }
    if (results.records.empty()) failed(results, PARSE_NO_BLOCK);
    for (const Rec& rec : results.records) traceRecord(sink, rec, scheme);
    return results.errorCode;
}

// A query of one object: every block replaces the previous one.
template <class Rec>
void parseSingle(SingleResult<Rec>& result, std::wstring_view text, const Scheme<Rec>& scheme,
                 const TraceSink& sink) {
    result = SingleResult<Rec>();
    try {
        Lines lines = splitLines(text);
        traceNumber(sink, L"Parsed %d lines\n", lines.size());
        for (std::size_t i = 0; i < lines.size(); ++i) {
            if (!scheme.test.startsAt(lines, i)) continue;
            Rec rec;
            fillRecord(rec, Block(lines, i, scheme.test), scheme);
            result.record = std::move(rec);
            result.found = true;
        }
    } catch (const std::bad_alloc&) {
        failed(result, PARSE_NO_MEMORY);
        return;
    }
    if (result.found) traceRecord(sink, result.record, scheme);
}

// The labels of a translated parser, in the order of their lines.
struct BlockLabels {
    std::wstring first, second, third;
};

// The translated parsers' labels come from the message library; a missing
// one (empty) stops the parse with 1902.
template <class Rec>
bool labelsMissing(ParseResults<Rec>& results, const BlockLabels& labels) {
    if (!labels.first.empty() && !labels.second.empty() && !labels.third.empty()) return false;
    failed(results, PARSE_LABEL_MISSING);
    return true;
}

// What a free operation traces about its container.
struct FreeTrace {
    const wchar_t* freeing;          // "Freeing ... results\n"
    const wchar_t* container = nullptr;  // "pAsp" and the like, or none
    const wchar_t* countName = nullptr;  // "nStgpools" and the like
    const wchar_t* perRecord = nullptr;  // "freeing pool info: %u\n" or none
};

void traceFree(const TraceSink& sink, const FreeTrace& what, std::size_t count);

// Releases every record and leaves an empty, successful container.
template <class Rec>
void releaseResults(ParseResults<Rec>& results, const FreeTrace& what, const TraceSink& sink) {
    traceFree(sink, what, results.records.size());
    results = ParseResults<Rec>();
}

}  // namespace qora::parse
