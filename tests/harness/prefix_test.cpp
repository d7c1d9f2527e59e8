// The project's prefix: no Linux root offered as a disk, the test drives fixed.
#include <gtest/gtest.h>
#include "tests/support/testsupport.h"

TEST(Prefix, OffersNoLinuxRootAndOnlyOurDrives) {
    EXPECT_EQ(GetDriveTypeW(L"Z:\\"), (UINT)DRIVE_NO_ROOT_DIR);
    EXPECT_EQ(GetDriveTypeW(L"C:\\"), (UINT)DRIVE_FIXED);
    EXPECT_EQ(GetDriveTypeW(L"D:\\"), (UINT)DRIVE_FIXED);
    EXPECT_EQ(GetDriveTypeW(L"Y:\\"), (UINT)DRIVE_REMOTE);
}

TEST(Prefix, SourceTreeIsReachable) {
    EXPECT_NE(GetFileAttributesW((qtest::sourceDir() + L"CMakeLists.txt").c_str()),
              INVALID_FILE_ATTRIBUTES) << qtest::narrow(qtest::sourceDir());
}

TEST(Prefix, CmdPassesExitCodesThrough) {
    auto r = qtest::run(L"cmd /c exit 7");
    ASSERT_TRUE(r.started);
    EXPECT_EQ(r.exitCode, 7u);
}

TEST(Prefix, PlatformPrintfRules) {
    wchar_t buf[32];
    _snwprintf(buf, 32, L"%s", L"wide");
    EXPECT_STREQ(buf, L"wide");
}
