// instsync's command line, level rules and copy command.
#include <gtest/gtest.h>
#include "instsync/copycmd.h"
#include "instsync/instargs.h"
#include "instsync/instlevel.h"
#include "instsync/resource.h"

namespace {

struct ArgsCase {
    const char* name;
    std::vector<std::string> args;
    int errorId;
    bool help;
};

class CommandLine : public ::testing::TestWithParam<ArgsCase> {};

TEST_P(CommandLine, GivesTheFirstError) {
    const ArgsCase& c = GetParam();
    ParsedCommandLine p = parseCommandLine(c.args);
    EXPECT_EQ(p.errorId, c.errorId);
    EXPECT_EQ(p.helpRequested, c.help);
}

INSTANTIATE_TEST_SUITE_P(Cases, CommandLine, ::testing::Values(
    ArgsCase{"AllFlags", {"-regkey", "k", "/FILEPATH", "c:\\upd", "-MinVer", "3.1.0.2", "-nohelp", "-savefiles"}, 0, false},
    ArgsCase{"HelpAlone", {"/?"}, 0, true},
    ArgsCase{"HelpWord", {"-HELP"}, 0, true},
    ArgsCase{"UnknownFlag", {"-x"}, IDS_ERR_INVALID_FLAG, false},
    ArgsCase{"ValueWithoutFlag", {"value"}, IDS_ERR_INVALID_PARAMETER, false},
    ArgsCase{"ExtraValue", {"-regkey", "k", "extra"}, IDS_ERR_INVALID_PARAMETER, false},
    ArgsCase{"FlagWhereValueExpected", {"-regkey", "-nohelp"}, IDS_ERR_INVALID_PARAMETER, false},
    ArgsCase{"RegkeyWithoutValue", {"-regkey"}, IDS_ERR_NO_REGKEY, false},
    ArgsCase{"NoRegkey", {"-filepath", "c:\\upd"}, IDS_ERR_NO_REGKEY, false},
    ArgsCase{"FilepathWithoutValue", {"-regkey", "k", "-filepath"}, IDS_ERR_INVALID_PARAMETER, false},
    ArgsCase{"MinverWithoutValue", {"-regkey", "k", "-minver"}, IDS_ERR_INVALID_PARAMETER, false},
    ArgsCase{"ShortMinver", {"-regkey", "k", "-nohelp", "-minver", "3.1.0"}, IDS_ERR_MINVER_FORM, false},
    ArgsCase{"ErrorStopsParsing", {"-x", "-?"}, IDS_ERR_INVALID_FLAG, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CommandLine, KeepsTheValues) {
    ParsedCommandLine p = parseCommandLine({"-regkey", "SOFTWARE\\A B", "-filepath", "d:\\x y", "-minver",
                                            "1.2.3.4", "-nohelp"});
    EXPECT_EQ(p.params.regKey, "SOFTWARE\\A B");
    EXPECT_EQ(p.params.filePath, "d:\\x y");
    EXPECT_EQ(p.params.minVersion, "1.2.3.4");
    EXPECT_TRUE(p.params.noHelp);
}

struct FormCase { const char* version; bool valid; };
class MinVersionForm : public ::testing::TestWithParam<FormCase> {};

TEST_P(MinVersionForm, AcceptsFourFieldsOfOneOrTwoDigits) {
    EXPECT_EQ(isValidMinVersion(GetParam().version), GetParam().valid) << GetParam().version;
}

INSTANTIATE_TEST_SUITE_P(Cases, MinVersionForm, ::testing::Values(
    FormCase{"0.0.0.0", true}, FormCase{"10.20.30.40", true}, FormCase{"1.2.3.45678", true},
    FormCase{"3.1.0", false}, FormCase{"1.2.3.", false}, FormCase{"123.1.1.1", false},
    FormCase{"1.2.3.x1", false}, FormCase{"a.b.c.d.e", false}, FormCase{"1..2.3.4", false},
    FormCase{"", false}));

struct LevelCase { const char* installed; const char* minimum; int sign; };
class Levels : public ::testing::TestWithParam<LevelCase> {};

TEST_P(Levels, CompareNumericallyFieldByField) {
    int c = compareLevels(GetParam().installed, GetParam().minimum);
    EXPECT_EQ((c > 0) - (c < 0), GetParam().sign) << GetParam().installed << " vs " << GetParam().minimum;
}

INSTANTIATE_TEST_SUITE_P(Cases, Levels, ::testing::Values(
    LevelCase{"3.1.2.10", "3.1.2.9", 1}, LevelCase{"3.1.2.9", "3.1.2.10", -1},
    LevelCase{"3.1.2.9", "3.1.2.9", 0}, LevelCase{"03.01.2.9", "3.1.2.9", 0},
    LevelCase{"4.0", "3.9.9.9", 1}, LevelCase{"3.1", "3.1.0.1", -1},
    LevelCase{"1.2.3.45678", "1.2.3.45", 1},
    LevelCase{"99999999999999999999.0.0.0", "99999999999999999998.0.0.0", 1},
    LevelCase{"", "0.0.0.0", 0}, LevelCase{"", "0.0.0.1", -1}));

TEST(CopyCommand, QuotesOnlyWhatNeedsIt) {
    EXPECT_EQ(commandWord("C:\\QORA\\SERVER\\"), "C:\\QORA\\SERVER\\");
    EXPECT_EQ(commandWord("C:\\Program Files\\QORA\\"), "\"C:\\Program Files\\QORA\\\"");
    EXPECT_EQ(commandWord("D:\\R&D\\"), "\"D:\\R&D\\\"");
}

TEST(CopyCommand, NeverAsksAndKeepsItsOutput) {
    EXPECT_EQ(buildCopyCommand("D:\\upd files\\", "C:\\QORA\\server\\", "C:\\QORA\\server\\instsync.out"),
              "xcopy \"D:\\upd files\\*.*\" C:\\QORA\\server\\ /s /y < NUL >> "
              "C:\\QORA\\server\\instsync.out 2>&1");
}

TEST(CopyCommand, AddsTheBackslashOnce) {
    EXPECT_EQ(withTrailingBackslash("C:\\a"), "C:\\a\\");
    EXPECT_EQ(withTrailingBackslash("C:\\a\\"), "C:\\a\\");
}

TEST(CopyCommand, FindsATargetInsideTheSource) {
    EXPECT_TRUE(isSameOrInside("D:\\UPD\\", "d:\\upd\\"));
    EXPECT_TRUE(isSameOrInside("D:\\upd\\sub\\", "D:\\upd\\"));
    EXPECT_FALSE(isSameOrInside("D:\\updates\\", "D:\\upd\\"));
    EXPECT_FALSE(isSameOrInside("D:\\", "D:\\upd\\"));
}

TEST(Blanks, TrimmedAtBothEnds) {
    EXPECT_EQ(trimBlanks(" \t 3.1.2.9 \t"), "3.1.2.9");
    EXPECT_EQ(trimBlanks("   "), "");
}

}  // namespace
