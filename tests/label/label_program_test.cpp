// kvtlabel started as an operator or srvutil starts it.
#include <gtest/gtest.h>
#include <windows.h>
#include <string>
#include "tests/support/testsupport.h"

namespace {

class LabelProgram : public ::testing::Test {
protected:
    qtest::TempDir state{L"simp"};
    void SetUp() override
    {
        SetEnvironmentVariableW(L"QORA_SIM_DIR", state.path().c_str());
        SetEnvironmentVariableW(L"KVTLABEL_WAIT_SCALE", L"0.001");
        qtest::writeFile(state / L"devices.txt",
                         "QSIMT kind=tape group=4 target=3 autoload=1\n"
                         "QSIMG99 kind=tape group=99\n");
    }
    qtest::RunResult kvtlabel(const std::wstring& args, const std::string& input = "")
    {
        return qtest::run(L"\"" + qtest::binDir() + L"kvtlabel.exe\" " + args, input);
    }
};

TEST_F(LabelProgram, CommandLineTable)
{
    std::wstring nine;
    for (int i = 0; i < 9; i++)
        nine += L" -drive=QSIMT";
    struct { std::wstring args; DWORD rc; const char* text; } cases[] = {
        {L"", 100, "The maximum number of drives you can specify is 8."},
        {L"-help", 100, "This program writes labels to storage volumes"},
        {nine, 102, "ANR9719E At most 8 drives may be given."},
        {L"-drive=QSIMT,70000", 102, "ANR9717E Element 70000 of drive QSIMT must be"},
        {L"-drive=QSIMT,-1", 102, "ANR9717E Element -1 of drive QSIMT"},
        {L"-drive=QSIMT,99999999999", 102, "ANR9717E Element 99999999999 of drive QSIMT"},
        {L"-drive=QSIMT,0,0,24,1", 102, "ANR9757E Drive id 0.0.24.1 of drive QSIMT"},
        {L"-drive=QSIMT stray -overwrite", 102, "ANR9711E Invalid argument: -overwrite"},
        {L"-drive=QSIMT stray", 0, "Insert a volume into drive QSIMT"},
        {L"-overwrite", 102, "ANR9714E At least one -drive argument must be given."},
        {L"-trace=t1.txt -trace=t2.txt -drive=QSIMT", 102, "ANR9745E Tracing is already active."},
        {L"-keepx -drive=QSIMT", 102, "ANR9711E Invalid argument: -keepx"},
        {L"-KEEP -drive=qsimt", 0, "Insert a volume into drive QSIMT"},
        {L"-library=LB1 -drive=QSIMT", 500, "ANR9716E Library LB1 was not identified"},
        {L"-drive=QSIMNONE", 603, "ANR9752E Drive QSIMNONE could not be opened."},
        {L"-drive=QSIMG99", 600, "ANR9718E Drive QSIMG99 is not a supported device."},
    };
    for (const auto& c : cases) {
        qtest::RunResult r = kvtlabel(c.args);
        EXPECT_EQ(r.exitCode, c.rc) << qtest::narrow(c.args) << "\n" << r.output;
        EXPECT_NE(r.output.find(c.text), std::string::npos) << qtest::narrow(c.args) << "\n" << r.output;
        EXPECT_NE(r.output.find("QORA for Windows NT\nVolume Label Utility Program\n"), std::string::npos);
    }
}

TEST_F(LabelProgram, WizardCommandLineLabelsAManualDrive)
{
    qtest::RunResult pub = qtest::run(L"\"" + qtest::binDir() + L"simdev.exe\" publish " + state.path());
    ASSERT_EQ(pub.exitCode, 0u) << pub.output;
    qtest::writeFile(state / L"tmp.lbl", "vol001\nbad-name\nVOL002\n\n");
    qtest::RunResult r = qtest::run(L"CMD /C \"" + qtest::binDir() + L"kvtlabel\" -drive=mt3 -overwrite < "
                                    + state.path() + L"tmp.lbl");
    qtest::run(L"\"" + qtest::binDir() + L"simdev.exe\" unpublish");
    EXPECT_EQ(r.exitCode, 0u) << r.output;
    for (const char* line : {"ANR9720I Volume VOL001 labeled in drive MT3.",
                             "ANR9721E Volume name BAD-NAME is not valid",
                             "ANR9720I Volume VOL002 labeled in drive MT3."})
        EXPECT_NE(r.output.find(line), std::string::npos) << line << "\n" << r.output;
    std::string img = qtest::readFile(state / L"QSIMT.tap");
    ASSERT_EQ(img.size(), 96u);
    EXPECT_EQ(img.substr(8, 6), std::string("\xE5\xD6\xD3\xF0\xF0\xF2", 6));   // VOL002 in EBCDIC
}

}  // namespace
