// The trace and the log file, written to real files and read back.
#include <gtest/gtest.h>
#include <regex>
#include "common/cmd/logfile.h"
#include "common/cmd/textfmt.h"
#include "common/cmd/trace.h"
#include "tests/support/testsupport.h"

namespace {

std::string withoutCR(std::string s) {
    std::erase(s, '\r');
    return s;
}

std::string contentOf(const std::wstring& path) { return withoutCR(qtest::readFile(path)); }

const std::string RULE68(68, '=');

}  // namespace

// The trace can be started once per process, so this one test walks through
// its life in order: flags before the start, the banner after old text, the
// line layout, a second start.
TEST(Trace, LifeOfTheProcessTrace) {
    qtest::TempDir dir(L"trace");
    std::wstring path = dir / L"trace.out";

    // Nothing is written before the start, whatever the flags.
    ASSERT_EQ(traceSetFlag(T_ALL, 1), 0);
    QTRACE(T_OFE, _T("enter %s\n"), _T("early()"));
    QTRACE_ERROR(_T("DefaultErrorTrace - RC: %u\n"), 5u);
    EXPECT_FALSE(traceStarted());

    ASSERT_TRUE(qtest::writeFile(path, "old trace text\n"));
    ASSERT_EQ(traceStart(path.c_str()), 0);
    // Flags set before the start are cleared by it.
    for (int i = 0; i < TRACE_FLAG_COUNT; ++i) EXPECT_EQ(traceFlags[i], 0) << i;

    QTRACE(T_OFE, _T("enter %s\n"), _T("flagOff()"));  // flag off: nothing
    ASSERT_EQ(traceSetFlag(T_ALL, 1), 0);
    for (int i = 0; i < T_ALL; ++i) EXPECT_EQ(traceFlags[i], 1) << i;
    EXPECT_EQ(traceFlags[T_ALL], 0);
    unsigned line = __LINE__ + 1;
    QTRACE_ENTER(T_OFE, _T("addListItemDrive()"));
    QTRACE_RC(1801);
    // Arguments are never formats: a '%' in them is printed as it is.
    traceMessage("..\\..\\common\\cmd\\ifcregis.cpp", 77, _T("szBuf: %s\n"), _T("100%s done"));

    EXPECT_EQ(traceStart((dir / L"other.out").c_str()), TRACE_ERROR);
    EXPECT_EQ(GetFileAttributesW((dir / L"other.out").c_str()), INVALID_FILE_ATTRIBUTES);

    std::string text = contentOf(path);
    std::string banner = "old trace text\n\n*" + RULE68 + "\n* trace started ";
    ASSERT_EQ(text.compare(0, banner.size(), banner), 0) << text;
    // ctime form: "Fri Dec 11 16:09:02 2026", then the closing rule.
    std::regex layout(
        "old trace text\n\n\\*={68}\n\\* trace started [A-Z][a-z]{2} [A-Z][a-z]{2} [ 0-9]\\d "
        "\\d\\d:\\d\\d:\\d\\d \\d{4}\n\\*={68}\n\n"
        "<(\\d+)>(.*)\\((\\d+)\\): enter addListItemDrive\\(\\)\n"
        "<\\d+>.*\\(\\d+\\): DefaultErrorTrace - RC: 1801\n"
        "<\\d+>\\.\\.\\\\\\.\\.\\\\common\\\\cmd\\\\ifcregis\\.cpp\\(77\\): szBuf: 100%s done\n");
    std::smatch m;
    ASSERT_TRUE(std::regex_match(text, m, layout)) << text;
    EXPECT_EQ(m[1].str(), std::to_string(GetCurrentThreadId()));
    EXPECT_NE(m[2].str().find("trace_test.cpp"), std::string::npos);
    EXPECT_EQ(m[3].str(), std::to_string(line));
}

TEST(Trace, SetFlagRefusesOutOfRangeAndChangesNothing) {
    int before[TRACE_FLAG_COUNT];
    std::copy(std::begin(traceFlags), std::end(traceFlags), before);
    const struct {
        int index, value;
    } bad[] = {{-1, 1}, {16, 1}, {3, 2}, {3, -1}, {15, 7}};
    for (auto c : bad) {
        EXPECT_EQ(traceSetFlag(c.index, c.value), TRACE_ERROR) << c.index << "," << c.value;
        EXPECT_TRUE(std::equal(std::begin(traceFlags), std::end(traceFlags), before));
    }
    EXPECT_EQ(traceSetFlag(T_ELEMENT, 0), 0);
    EXPECT_EQ(traceFlags[T_ELEMENT], 0);
}

TEST(Trace, FlagNamesFollowTheTableWithItsSwap) {
    const struct {
        const TCHAR* name;
        int flag;
    } cases[] = {
        {_T("T_CMD_PARSE"), 0}, {_T("T_KVTCFG"), 1},     {_T("T_VOLFMT"), 2},
        {_T("T_DEVENUM"), 3},   {_T("t_ofe"), 4},        {_T("T_TCP"), 5},
        {_T("T_ACCOUNTING"), 6}, {_T("T_SRVMONITOR"), 7}, {_T("T_DRAGDROP"), 8},
        {_T("T_HIERAR"), 9},    {_T("T_REGISTRY"), 10},  {_T("T_SERVICE_INFO"), 11},
        {_T("T_ELEMENT"), 13},  {_T("T_MSGBUF"), 12},    {_T("T_ADMINSTREAM"), 14},
        {_T("T_ALL"), 15},      {_T("T_ALLES"), 15},     {_T("T_OF"), -1},
        {_T("NOFLAG"), -1},     {_T(""), -1},
    };
    for (auto c : cases) EXPECT_EQ(traceFlagOfName(c.name), c.flag) << qtest::narrow(c.name);
}

class LogFile : public ::testing::Test {
protected:
    void SetUp() override {
        log.init();
        log.setTitle(_T("Log file opened: "));
        log.enable(true);
    }
    void TearDown() override {
        log.close();
        log.term();
    }
    qtest::TempDir dir{L"log"};
    CIfcLogFile log;
};

TEST_F(LogFile, HeaderThenRecordsWithOneLineEndEach) {
    std::wstring path = dir / L"perf.log";
    ASSERT_EQ(log.open(path.c_str()), 0);
    log.write(_T("ends in CR LF\r\n"));
    log.write(_T("ends in two LF\n\n\n"));
    log.write(_T("%s and %u"), _T("wide text"), 42u);
    log.close();
    log.write(_T("after close: dropped"));
    std::string text = contentOf(path);
    std::regex layout(RULE68 + "\nLog file opened: \\d\\d/\\d\\d/\\d{4} \\d\\d:\\d\\d:\\d\\d\n" + RULE68 +
                      "\nends in CR LF\nends in two LF\n\nwide text and 42\n");
    EXPECT_TRUE(std::regex_match(text, layout)) << text;
}

TEST_F(LogFile, DisabledDropsWritesAndReopenAppendsANewHeader) {
    std::wstring path = dir / L"a.log";
    log.setTitle(_T("Performance report: "));
    ASSERT_EQ(log.open(path.c_str()), 0);
    log.enable(false);
    log.write(_T("dropped"));
    log.enable(true);
    ASSERT_EQ(log.open(path.c_str()), 0);  // closes the open file first
    log.write(_T("kept"));
    log.close();
    std::string text = contentOf(path);
    EXPECT_EQ(text.find("dropped"), std::string::npos);
    size_t first = text.find("Performance report: "), second = text.find("Performance report: ", first + 1);
    EXPECT_NE(second, std::string::npos) << text;
    EXPECT_NE(text.find("\nkept\n", second), std::string::npos) << text;
}

TEST_F(LogFile, UnopenableFileGives1101) {
    EXPECT_EQ(log.open((dir / L"no such dir\\x.log").c_str()), LOG_OPEN_FAILED);
    log.write(_T("goes nowhere"));
}

TEST(StreamDump, ThirtyThousandCharactersWriteTheFirst24575) {
    qtest::TempDir dir(L"dump");
    std::wstring path = dir / L"utilstrm.dat";
    tstring output;
    for (int i = 0; i < 30000; ++i) output += static_cast<TCHAR>('a' + i % 26);
    ASSERT_EQ(dumpStream(output.c_str(), path.c_str()), 0);
    ASSERT_EQ(dumpStream(_T("second %s run"), path.c_str()), 0);
    std::string text = contentOf(path);
    std::string expected = qtest::narrow(output.substr(0, 24575)) + "\n";
    size_t at = text.find(expected);
    ASSERT_NE(at, std::string::npos);
    EXPECT_NE(text.find("=\n" + std::string("second %s run") + "\n", at), std::string::npos);
    EXPECT_EQ(text.find(qtest::narrow(output.substr(0, 24576))), std::string::npos);
}
