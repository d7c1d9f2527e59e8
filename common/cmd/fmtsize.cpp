#include "common/cmd/fmtsize.h"

namespace {
bool isWhite(wchar_t c) {
    return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n' || c == L'\v' || c == L'\f';
}
}  // namespace

std::wstring trimWhite(const std::wstring& text) {
    size_t begin = 0, end = text.size();
    while (begin < end && isWhite(text[begin])) ++begin;
    while (end > begin && isWhite(text[end - 1])) --end;
    return text.substr(begin, end - begin);
}

int parseSizeMb(const std::wstring& text, uint64_t& mb) {
    mb = 0;
    for (wchar_t c : text)
        if (c < L'0' || c > L'9') return FMT_BAD_SIZE_CHAR;
    uint64_t value = 0;
    for (wchar_t c : text) {
        if (__builtin_mul_overflow(value, uint64_t{10}, &value) ||
            __builtin_add_overflow(value, uint64_t(c - L'0'), &value))
            return FMT_NO_SPACE;
    }
    mb = value;
    return FMT_OK;
}

int applySizeRule(int32_t volumeType, uint64_t& mb) {
    uint64_t minimum;
    switch (volumeType) {
    case VOLUME_DISKPOOL:
        if (mb < 1) mb = 1;
        return FMT_OK;
    case VOLUME_DATABASE: minimum = 5; break;
    case VOLUME_RECOVERYLOG: minimum = 9; break;
    default: return FMT_BAD_TYPE;
    }
    // The server uses 4 MB partitions plus one for its own header.
    if (mb == 1 || mb % 4 != 1) {
        uint64_t partitions = mb / 4 + (mb % 4 != 0);  // (mb + 3) / 4 without wrapping
        if (partitions > (UINT64_MAX - 1) / 4) partitions = (UINT64_MAX - 1) / 4;
        mb = partitions * 4 + 1;
    }
    if (mb < minimum) mb = minimum;
    return FMT_OK;
}

bool megabytesToBytes(uint64_t mb, uint64_t& bytes) {
    return !__builtin_mul_overflow(mb, kBytesPerMb, &bytes);
}

std::wstring groupedDecimal(uint64_t value) {
    std::wstring digits = std::to_wstring(value);
    std::wstring out;
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i && (digits.size() - i) % 3 == 0) out += L',';
        out += digits[i];
    }
    return out;
}

int publicFormatCode(int internalCode) {
    switch (internalCode) {
    case FMT_OK: return VOLFMT_OK;
    case FMT_NO_SPACE: return VOLFMT_NO_SPACE;
    case FMT_FILE_EXISTS: return VOLFMT_FILE_EXISTS;
    case FMT_SEEK_FAILED: return VOLFMT_SEEK_FAILED;
    case FMT_WRITE_FAILED: return VOLFMT_WRITE_FAILED;
    case FMT_CLOSE_FAILED: return VOLFMT_CLOSE_FAILED;
    case FMT_BAD_SIZE_CHAR: return VOLFMT_BAD_SIZE_CHAR;
    case FMT_DIR_FAILED: return VOLFMT_DIR_FAILED;
    case FMT_CREATE_FAILED: return VOLFMT_CREATE_FAILED;
    default: return VOLFMT_OTHER;
    }
}
