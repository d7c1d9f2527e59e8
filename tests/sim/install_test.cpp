// siminst: fragments parsed in-process, and the real program laying out,
// breaking and removing the installation, checked with reg.exe and the files.
#include <gtest/gtest.h>
#include "sim/install/siminst.h"
#include "tests/support/testsupport.h"

namespace {

const std::wstring PRODUCT = L"HKLM\\SOFTWARE\\Tevra\\QORA\\CurrentVersion";
const std::wstring ROOT = L"C:\\Program Files\\Tevra\\QORA";
const std::wstring UTILS = ROOT + L"\\server utilities";

qtest::RunResult siminstRun(const std::wstring& args) {
    return qtest::run(L"\"" + qtest::binDir() + L"siminst.exe\" " + args);
}

std::string regQuery(const std::wstring& key, const std::wstring& value = {}) {
    std::wstring cmd = L"reg query \"" + key + L"\"" + (value.empty() ? L"" : L" /v \"" + value + L"\"");
    qtest::RunResult r = qtest::run(cmd + L" /s");
    return r.started && r.exitCode == 0 ? r.output : std::string();
}

bool exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

bool parse(const std::wstring& text, siminst::Layout& layout, std::wstring& error) {
    siminst::Vars vars{{L"BIN", L"C:\\bin"}};
    return siminst::parseFragment(text, L"t.txt", vars, {}, layout, error);
}

class Siminst : public ::testing::Test {
protected:
    static void TearDownTestSuite() { siminst::installDefault(); }
};

}  // namespace

TEST(SiminstLayout, EachLineKindBecomesAnItemWithItsId) {
    siminst::Layout layout;
    std::wstring error;
    ASSERT_TRUE(parse(L"# comment\n"
                      L"set D = C:\\Some Dir\n"
                      L"key .\n"
                      L"sz Utils | Path | ${D}\\utils\n"
                      L"dword Utils\\Settings | LaunchTimeout | 0x10\n"
                      L"multi HKLM\\SYSTEM\\X | List | a | b\n"
                      L"dir ${D}\\\n"
                      L"copy ${D} | tool.exe\n"
                      L"copy ${D} | other.exe | ${BIN}\\recorder.exe\n"
                      L"text ${D}\\a.opt\n"
                      L"  COMMMETHOD ${D}\n"
                      L"end\n"
                      L"service QORA Server | ${D}\\s.exe | | auto\n",
                      layout, error))
        << qtest::narrow(error);
    const wchar_t* ids[] = {L"key:.", L"value:Utils\\Path", L"value:Utils\\Settings\\LaunchTimeout",
                            L"value:HKLM\\SYSTEM\\X\\List", L"dir:C:\\Some Dir", L"file:C:\\Some Dir\\tool.exe",
                            L"file:C:\\Some Dir\\other.exe", L"file:C:\\Some Dir\\a.opt", L"service:QORA Server"};
    ASSERT_EQ(layout.items.size(), std::size(ids));
    for (size_t i = 0; i < std::size(ids); ++i) EXPECT_EQ(layout.items[i].id, ids[i]);
    const auto& items = layout.items;
    EXPECT_EQ(items[1].key, L"SOFTWARE\\Tevra\\QORA\\CurrentVersion\\Utils");
    EXPECT_EQ(items[1].data[0], L"C:\\Some Dir\\utils");
    EXPECT_EQ(items[2].type, (DWORD)REG_DWORD);
    EXPECT_EQ(items[3].key, L"SYSTEM\\X");
    EXPECT_EQ(items[3].data.size(), 2u);
    EXPECT_EQ(items[5].source, L"C:\\bin\\tool.exe");
    EXPECT_EQ(items[6].source, L"C:\\bin\\recorder.exe");
    EXPECT_EQ(items[7].text, L"  COMMMETHOD C:\\Some Dir\r\n");
    EXPECT_EQ(items[8].text, L"QORA Server");
    EXPECT_EQ(items[8].start, (DWORD)SERVICE_AUTO_START);
}

TEST(SiminstLayout, MistakesNameTheFragmentAndLine) {
    const struct {
        const wchar_t* text;
        const wchar_t* error;
    } cases[] = {
        {L"key Utils\nfrobnicate x\n", L"t.txt(2): unknown line \"frobnicate\""},
        {L"sz Utils | Path\n", L"t.txt(1): sz needs KEY | NAME | DATA"},
        {L"dir ${NOPE}\\x\n", L"t.txt(1): unknown variable ${NOPE}"},
        {L"text C:\\a.opt\nline\n", L"t.txt(2): text without its closing \"end\" line"},
        {L"copy C:\\x\n", L"t.txt(1): copy needs DIR | FILE [| SOURCE]"},
        {L"service S | C:\\s.exe | S | sometimes\n", L"t.txt(1): unknown start type \"sometimes\""},
        {L"set X\n", L"t.txt(1): set needs NAME = VALUE"},
    };
    for (auto c : cases) {
        siminst::Layout layout;
        std::wstring error;
        EXPECT_FALSE(parse(c.text, layout, error)) << qtest::narrow(c.text);
        EXPECT_EQ(error, c.error);
    }
}

TEST(SiminstLayout, OmissionsCoverWhatTheyContain) {
    siminst::Layout layout;
    std::wstring error;
    ASSERT_TRUE(parse(L"key Utils\nkey Utils\\Settings\nsz Utils | Path | x\nkey Utilities\n"
                      L"dir C:\\A\ncopy C:\\A\\b | f.dll\ncopy C:\\AB | f.dll\n",
                      layout, error));
    auto omitted = [&](const std::vector<std::wstring>& omit) {
        std::wstring flags;
        for (const auto& item : layout.items) flags += siminst::isOmitted(item, omit) ? L'-' : L'+';
        return flags;
    };
    EXPECT_EQ(omitted({}), L"+++++++");
    EXPECT_EQ(omitted({L"key:Utils"}), L"---++++");
    EXPECT_EQ(omitted({L"KEY:utils\\settings"}), L"+-+++++");
    EXPECT_EQ(omitted({L"value:Utils\\Path"}), L"++-++++");
    EXPECT_EQ(omitted({L"key:."}), L"----+++");
    EXPECT_EQ(omitted({L"dir:C:\\A"}), L"++++--+");
    EXPECT_EQ(omitted({L"file:f.dll"}), L"+++++--");
    EXPECT_EQ(omitted({L"file:C:\\AB\\f.dll"}), L"++++++-");
}

TEST_F(Siminst, LaysOutTheProductTwiceTheSameWay) {
    for (int round = 0; round < 2; ++round) {
        qtest::RunResult r = siminstRun(L"install");
        ASSERT_TRUE(r.started);
        ASSERT_EQ(r.exitCode, 0u) << r.output;
    }
    std::string out = regQuery(PRODUCT);
    const char* expected[] = {
        "CurrentVersion\n    Path    REG_SZ    C:\\Program Files\\Tevra\\QORA\n",
        "CurrentVersion\\Utils\n    Path    REG_SZ    C:\\Program Files\\Tevra\\QORA\\server utilities\n",
        "CurrentVersion\\Utils\\Settings\n",
        "CurrentVersion\\Books\n    Path    REG_SZ    ",
        "CurrentVersion\\BackupClient\n    Path    REG_SZ    ",
        "CurrentVersion\\BackupClient\\Scheduler Service\n",
        "CurrentVersion\\AdminClient\n    Path    REG_SZ    C:\\Program Files\\Tevra\\QORA\\admin client\n",
        "CurrentVersion\\Server\n    Path    REG_SZ    C:\\Program Files\\Tevra\\QORA\\server\n",
        "CurrentVersion\\Server\\Server1\n    Path    REG_SZ    C:\\Program Files\\Tevra\\QORA\\server\\Server1\n",
        "CurrentVersion\\Multimedia\n    Path    REG_SZ    ",
        "QORA Server    REG_SZ    3.1.2.30\n",
    };
    for (const char* e : expected) EXPECT_NE(out.find(e), std::string::npos) << e << "\n" << out;
    // Each value once, although installed twice.
    EXPECT_EQ(out.find("QORA Server    REG_SZ"), out.rfind("QORA Server    REG_SZ"));
    for (const wchar_t* f : {L"msgengu.dll", L"guiengu.dll", L"tipengu.txt", L"hlpengu.hlp", L"msgdeuu.dll"})
        EXPECT_TRUE(exists(UTILS + L"\\" + f)) << qtest::narrow(f);
    EXPECT_EQ(qtest::readFile(UTILS + L"\\tipengu.txt"), qtest::readFile(qtest::binDir() + L"tipengu.txt"));
    std::string opt = qtest::readFile(ROOT + L"\\server\\Server1\\kvtserv.opt");
    EXPECT_NE(opt.find("COMMMETHOD TCPIP\r\n"), std::string::npos) << opt;
}

TEST_F(Siminst, OmissionsBreakTheInstallationAndAFullInstallMendsIt) {
    ASSERT_EQ(siminstRun(L"install").exitCode, 0u);
    qtest::RunResult r = siminstRun(L"install --omit key:Utils --omit file:tipengu.txt --omit value:Server\\Server1\\Path");
    ASSERT_EQ(r.exitCode, 0u) << r.output;
    EXPECT_EQ(regQuery(PRODUCT + L"\\Utils"), "");
    EXPECT_FALSE(exists(UTILS + L"\\tipengu.txt"));
    EXPECT_TRUE(exists(UTILS + L"\\msgengu.dll"));
    std::string server1 = regQuery(PRODUCT + L"\\Server\\Server1");
    EXPECT_NE(server1.find("Server1\\Service\n"), std::string::npos) << server1;  // the key stays
    EXPECT_EQ(server1.find("Server1\n    Path"), std::string::npos) << server1;

    ASSERT_EQ(siminstRun(L"install").exitCode, 0u);
    EXPECT_NE(regQuery(PRODUCT + L"\\Utils", L"Path").find("server utilities"), std::string::npos);
    EXPECT_TRUE(exists(UTILS + L"\\tipengu.txt"));
}

TEST_F(Siminst, VariablesFromTheCommandLineMoveComponents) {
    qtest::RunResult r = siminstRun(L"install --set \"UTILS=C:\\Other Place\\utils\"");
    ASSERT_EQ(r.exitCode, 0u) << r.output;
    EXPECT_NE(regQuery(PRODUCT + L"\\Utils", L"Path").find("C:\\Other Place\\utils"), std::string::npos);
    EXPECT_TRUE(exists(L"C:\\Other Place\\utils\\msgengu.dll"));
    siminstRun(L"remove --set \"UTILS=C:\\Other Place\\utils\"");
    EXPECT_FALSE(exists(L"C:\\Other Place\\utils"));
    RemoveDirectoryW(L"C:\\Other Place");
}

TEST_F(Siminst, RemoveTakesEverythingAway) {
    ASSERT_EQ(siminstRun(L"install").exitCode, 0u);
    qtest::RunResult r = siminstRun(L"remove");
    ASSERT_EQ(r.exitCode, 0u) << r.output;
    EXPECT_EQ(regQuery(PRODUCT), "");
    EXPECT_EQ(regQuery(L"HKLM\\SOFTWARE\\Tevra"), "");
    EXPECT_FALSE(exists(ROOT));
    EXPECT_EQ(siminstRun(L"remove").exitCode, 0u);  // nothing left to remove
}

TEST_F(Siminst, BadCommandLinesAreRefusedWithUsage) {
    const wchar_t* bad[] = {L"", L"frob", L"install --omit", L"install --set NOEQUALS", L"install --bogus x",
                            L"install --layout C:\\no\\such\\dir"};
    for (const wchar_t* args : bad) {
        qtest::RunResult r = siminstRun(args);
        EXPECT_EQ(r.exitCode, 2u) << qtest::narrow(args) << "\n" << r.output;
        EXPECT_NE(r.output.find("siminst"), std::string::npos) << r.output;
    }
    qtest::RunResult list = siminstRun(L"list --omit key:Utils");
    EXPECT_NE(list.output.find("- value:Utils\\Path\n"), std::string::npos) << list.output;
    EXPECT_NE(list.output.find("+ value:Books\\Path\n"), std::string::npos) << list.output;
}
