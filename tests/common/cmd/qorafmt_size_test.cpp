// Size rules of the server's volume kinds and the size text they start from.
#include <gtest/gtest.h>
#include "common/cmd/fmtsize.h"

namespace {

struct RuleCase {
    int32_t type;
    uint64_t requested;
    uint64_t expected;
};

class SizeRule : public testing::TestWithParam<RuleCase> {};

TEST_P(SizeRule, GivesTheServersSize) {
    uint64_t mb = GetParam().requested;
    ASSERT_EQ(applySizeRule(GetParam().type, mb), FMT_OK);
    EXPECT_EQ(mb, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Volumes, SizeRule, testing::Values(
    RuleCase{VOLUME_DISKPOOL, 0, 1}, RuleCase{VOLUME_DISKPOOL, 1, 1},
    RuleCase{VOLUME_DISKPOOL, 6, 6}, RuleCase{VOLUME_DISKPOOL, 4096, 4096},
    RuleCase{VOLUME_DATABASE, 0, 5}, RuleCase{VOLUME_DATABASE, 1, 5},
    RuleCase{VOLUME_DATABASE, 4, 5}, RuleCase{VOLUME_DATABASE, 5, 5},
    RuleCase{VOLUME_DATABASE, 6, 9}, RuleCase{VOLUME_DATABASE, 8, 9},
    RuleCase{VOLUME_DATABASE, 10, 13}, RuleCase{VOLUME_DATABASE, 101, 101},
    RuleCase{VOLUME_RECOVERYLOG, 0, 9}, RuleCase{VOLUME_RECOVERYLOG, 5, 9},
    RuleCase{VOLUME_RECOVERYLOG, 13, 13}, RuleCase{VOLUME_RECOVERYLOG, 14, 17},
    // The largest count still gets a valid, non-wrapped size.
    RuleCase{VOLUME_DATABASE, UINT64_MAX, UINT64_MAX - 2}));

TEST(SizeRule, RefusesUnknownType) {
    uint64_t mb = 10;
    EXPECT_EQ(applySizeRule(3, mb), FMT_BAD_TYPE);
    EXPECT_EQ(applySizeRule(-1, mb), FMT_BAD_TYPE);
}

TEST(SizeText, ReadsDigitsAfterTrimming) {
    uint64_t mb = 99;
    EXPECT_EQ(parseSizeMb(trimWhite(L"  12 \t"), mb), FMT_OK);
    EXPECT_EQ(mb, 12u);
    EXPECT_EQ(parseSizeMb(L"", mb), FMT_OK);
    EXPECT_EQ(mb, 0u);
    EXPECT_EQ(parseSizeMb(L"18446744073709551615", mb), FMT_OK);
    EXPECT_EQ(mb, UINT64_MAX);
}

TEST(SizeText, RefusesOtherCharactersAndOverflow) {
    uint64_t mb;
    EXPECT_EQ(parseSizeMb(L"12a", mb), FMT_BAD_SIZE_CHAR);
    EXPECT_EQ(parseSizeMb(L"-5", mb), FMT_BAD_SIZE_CHAR);
    EXPECT_EQ(parseSizeMb(L"1 2", mb), FMT_BAD_SIZE_CHAR);
    EXPECT_EQ(parseSizeMb(L"18446744073709551616", mb), FMT_NO_SPACE);
}

TEST(SizeText, BytesRecogniseOverflow) {
    uint64_t bytes;
    ASSERT_TRUE(megabytesToBytes(4096, bytes));
    EXPECT_EQ(bytes, 4294967296ull);
    ASSERT_TRUE(megabytesToBytes(17592186044415ull, bytes));
    EXPECT_FALSE(megabytesToBytes(17592186044416ull, bytes));
}

TEST(SizeText, GroupsByThousands) {
    EXPECT_EQ(groupedDecimal(0), L"0");
    EXPECT_EQ(groupedDecimal(999), L"999");
    EXPECT_EQ(groupedDecimal(5242880), L"5,242,880");
    EXPECT_EQ(groupedDecimal(4294967296ull), L"4,294,967,296");
}

TEST(PublicCode, MapsEveryInternalCode) {
    const std::pair<int, int> table[] = {
        {FMT_OK, 0}, {FMT_NO_SPACE, 1600}, {FMT_FILE_EXISTS, 1601}, {FMT_SEEK_FAILED, 1602},
        {FMT_WRITE_FAILED, 1603}, {FMT_CLOSE_FAILED, 1604}, {FMT_BAD_TYPE, 1605},
        {SPACE_NO_CURRENT_DIR, 1605}, {SPACE_PATH_TOO_LONG, 1605}, {SPACE_QUERY_FAILED, 1605},
        {SPACE_OVERFLOW, 1605}, {FMT_BAD_SIZE_CHAR, 1606}, {FMT_DIR_FAILED, 1607},
        {FMT_CREATE_FAILED, 1608}, {42, 1605}};
    for (auto [internal, pub] : table) EXPECT_EQ(publicFormatCode(internal), pub) << internal;
}

}  // namespace
