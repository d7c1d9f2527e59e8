// Size rules and size text parsing of server volumes. Data only, so it is
// also built natively under the sanitizers.
#pragma once
#include <cstdint>
#include <string>

// Kinds of volume file; any other value is refused.
enum VolumeType : int32_t {
    VOLUME_DISKPOOL = 0,
    VOLUME_DATABASE = 1,
    VOLUME_RECOVERYLOG = 2,
};

// Internal codes of FormatFile and FormatExtent.
enum : int {
    FMT_OK = 0,
    FMT_BAD_SIZE_CHAR = 103,
    FMT_FILE_EXISTS = 104,
    FMT_NO_SPACE = 105,       // also: the byte size does not fit in 64 bits
    FMT_DIR_FAILED = 106,
    FMT_SEEK_FAILED = 112,
    FMT_CLOSE_FAILED = 113,
    FMT_WRITE_FAILED = 114,
    FMT_BAD_TYPE = 115,
    FMT_CREATE_FAILED = 116,
};

// Public codes of FormatVolume, the only ones the format job hands on.
enum : int {
    VOLFMT_OK = 0,
    VOLFMT_NO_SPACE = 1600,
    VOLFMT_FILE_EXISTS = 1601,
    VOLFMT_SEEK_FAILED = 1602,
    VOLFMT_WRITE_FAILED = 1603,
    VOLFMT_CLOSE_FAILED = 1604,
    VOLFMT_OTHER = 1605,
    VOLFMT_BAD_SIZE_CHAR = 1606,
    VOLFMT_DIR_FAILED = 1607,
    VOLFMT_CREATE_FAILED = 1608,
};

// Free-space codes of GetPathFreeSpace, GetPathSpaceUsage and EnsureDirectory.
enum : int {
    SPACE_NO_CURRENT_DIR = 1200,
    SPACE_DIR_MISSING = 1201,
    SPACE_PATH_TOO_LONG = 1202,
    SPACE_QUERY_FAILED = 1203,
    SPACE_OVERFLOW = 1204,
};

constexpr uint64_t kBytesPerMb = 1048576;

// White space removed from both ends.
std::wstring trimWhite(const std::wstring& text);

// Reads an already trimmed size text of decimal megabytes; empty reads as 0.
// Returns FMT_OK, FMT_BAD_SIZE_CHAR for any non-digit, FMT_NO_SPACE when the
// number does not fit in 64 bits.
int parseSizeMb(const std::wstring& text, uint64_t& mb);

// Applies the minimum and granularity of the volume type to a megabyte count.
// Returns FMT_OK or FMT_BAD_TYPE.
int applySizeRule(int32_t volumeType, uint64_t& mb);

// Megabytes to bytes; false when the product does not fit in 64 bits.
bool megabytesToBytes(uint64_t mb, uint64_t& bytes);

// Decimal digits grouped by three with ',' (5,242,880).
std::wstring groupedDecimal(uint64_t value);

// Maps an internal code of FormatFile to the public code of FormatVolume.
int publicFormatCode(int internalCode);
