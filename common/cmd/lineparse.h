// Line model of the server's query replies: lines split at line feeds, words
// split at blanks, the value after a label's colon, numbers with thousands
// separators. Pure text handling, shared by every reply parser.
#pragma once
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace qora::parse {

// The reply split at line feeds. Runs of line feeds give no empty lines, but
// a line that held only a carriage return stays as an (empty) line: with CR LF
// line ends the blank separator lines count. Each line loses its line-end
// characters. The views point into the text given to splitLines.
using Lines = std::vector<std::wstring_view>;
Lines splitLines(std::wstring_view text);

// Words of a line, split at runs of blanks and tabs.
std::vector<std::wstring_view> words(std::wstring_view line);
std::size_t wordCount(std::wstring_view line);
// Word n counted from 0; empty when the line has n words or fewer.
std::wstring_view word(std::wstring_view line, std::size_t n);

// The whole text after the first colon, blanks trimmed on both sides; empty
// when the line has no colon.
std::wstring_view afterLabel(std::wstring_view line);

std::wstring_view trimBlanks(std::wstring_view text);
std::wstring_view trimLeadingBlanks(std::wstring_view text);
bool isBlankLine(std::wstring_view line);
bool contains(std::wstring_view line, std::wstring_view text);

// The word without its commas ("1,024" gives "1024").
std::wstring withoutCommas(std::wstring_view word);
// Decimal integer after removing commas; 0 when empty, not a number or out of
// range of int.
int numberOf(std::wstring_view word);
// A word that says "No" (trimmed, case-insensitive).
bool isNo(std::wstring_view word);

}  // namespace qora::parse
