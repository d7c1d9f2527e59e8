// The single-byte form of the foundation, as kvtcfg and instsync link it.
// The Unicode test support passes UNICODE on to every test; this file is
// the ANSI side, so it takes the definitions back before any header.
#undef UNICODE
#undef _UNICODE
#include <gtest/gtest.h>
#include "common/cmd/ifcregis.h"
#include "common/cmd/msglib.h"
#include "common/cmd/textfmt.h"
#include "common/cmd/trace.h"
#include "foundation_ids.h"
#include "tests/common/cmd/regtest.h"

static_assert(sizeof(TCHAR) == 1, "built as ANSI");

TEST(AnsiFormatting, NarrowStringsAndBoundedResults) {
    char buf[8];
    EXPECT_EQ(formatText(buf, sizeof buf, "%s-%d", "ab", 7), 4);
    EXPECT_STREQ(buf, "ab-7");
    EXPECT_EQ(formatText(buf, sizeof buf, "%s", "much too long"), -1);
    EXPECT_STREQ(buf, "much to");
    EXPECT_EQ(formatString("%s %u", "x", 3u), "x 3");
    EXPECT_EQ(traceFlagOfName("t_element"), T_ELEMENT);
}

class AnsiInstalled : public regtest::InstalledProduct {};

TEST_F(AnsiInstalled, LookupsAndMessagesInTheAnsiCodePage) {
    std::string out;
    ASSERT_TRUE(getUtilsPath("msgengu.dll", out));
    EXPECT_EQ(out.find(' '), std::string::npos) << out;
    EXPECT_EQ(GetFileAttributesA(out.c_str()) & FILE_ATTRIBUTE_DIRECTORY, 0u) << out;
    std::string dir;
    EXPECT_TRUE(getAdminClientDir(dir));
    EXPECT_EQ(dir, "C:\\Program Files\\Tevra\\QORA\\admin client\\");

    ASSERT_EQ(loadMessageLibraries(), 0);
    std::string title;
    loadString(MSG_TITLE_INFO, title);
    EXPECT_EQ(title, "QORA Server Utilities - Information");
    static std::string seenTitle, seenText;
    setMessageBoxHook([](HWND, const char* t, const char* x, UINT) {
        seenTitle = t;
        seenText = x;
        return IDOK;
    });
    showText(nullptr, MSG_PLAIN, "%s -- %s", "Heading", "body");
    EXPECT_EQ(seenTitle, "");
    EXPECT_EQ(seenText, "body");
    setMessageBoxHook(nullptr);
    freeMessageLibraries();
}
