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

std::string vol1Name(const std::string& image)
{
    // The first record's volume serial, decoded by hand from EBCDIC digits and letters.
    if (image.size() < 14)
        return "";
    std::string name;
    for (size_t i = 8; i < 14; i++) {
        unsigned char c = (unsigned char)image[i];
        if (c >= 0xF0 && c <= 0xF9) name += (char)('0' + c - 0xF0);
        else if (c >= 0xC1 && c <= 0xC9) name += (char)('A' + c - 0xC1);
        else if (c >= 0xD1 && c <= 0xD9) name += (char)('J' + c - 0xD1);
        else if (c >= 0xE2 && c <= 0xE9) name += (char)('S' + c - 0xE2);
        else if (c == 0x40) break;
        else name += '?';
    }
    return name;
}

class LabelLibrary : public LabelProgram {
protected:
    void library(const std::string& libAttrs)
    {
        std::string lib = "QSIMLIB kind=changer drives=2 slots=20 ports=1 drive1=QSIMD1 drive2=QSIMD2 " + libAttrs;
        qtest::writeFile(state / L"devices.txt",
                         lib + "\nQSIMD1 kind=tape group=4 loaded=0\nQSIMD2 kind=tape group=4 loaded=0\n");
    }
    std::string slot(int addr)
    {
        std::string text = qtest::readFile(state / L"devices.txt");
        std::string key = " elem" + std::to_string(addr) + "=";
        size_t at = text.find(key);
        if (at == std::string::npos || at > text.find('\n'))
            return "";
        at += key.size();
        return text.substr(at, text.find_first_of(" \n", at) - at);
    }
};

TEST_F(LabelLibrary, SearchWithBarcodesLabelsEveryCartridgeInItsHomeSlot)
{
    std::string carts;
    for (int i = 0; i < 18; i++)
        carts += " elem" + std::to_string(1000 + i) + "=BAR" + (i < 9 ? "00" : "0") + std::to_string(i + 1);
    library(carts + " elem1018=ABC+D elem1019=ABCDEFGH");
    qtest::RunResult r = kvtlabel(L"-library=QSIMLIB -drive=QSIMD1,1 -drive=QSIMD2,2 -search -barcode");
    EXPECT_EQ(r.exitCode, 0u) << r.output;
    for (int i = 0; i < 18; i++) {
        std::string bar = std::string("BAR") + (i < 9 ? "00" : "0") + std::to_string(i + 1);
        EXPECT_EQ(slot(1000 + i), bar);
        EXPECT_EQ(vol1Name(qtest::readFile(state / qtest::widen("cart_" + bar + ".tap"))), bar);
        EXPECT_NE(r.output.find("ANR9720I Volume " + bar + " labeled in drive QSIMD"), std::string::npos) << bar;
    }
    EXPECT_EQ(vol1Name(qtest::readFile(state / L"cart_ABC+D.tap")), "ABC");
    EXPECT_NE(r.output.find("ANR9754W The barcode of the volume in slot 1019, ABCDEFGH, is longer than 6"),
              std::string::npos) << r.output;
    EXPECT_NE(r.output.find("ANR9753W The volume in slot 1019 has no usable barcode"), std::string::npos);
    EXPECT_EQ(qtest::readFile(state / L"cart_ABCDEFGH.tap"), "");
    EXPECT_EQ(slot(1019), "ABCDEFGH");
}

TEST_F(LabelLibrary, CompletionCodesAndTheirRetries)
{
    struct { const char* fault; DWORD rc; const char* text; int waitMessages; } cases[] = {
        {"fault_move=2:203", 0, "ANR9720I Volume BAR001 labeled", 1},
        {"fault_move=2:307 portopen=1", 0, "ANR9720I Volume BAR001 labeled", 0},
        {"fault_move=99:210", 0, "ANR9736E A cartridge could not be moved in library QSIMLIB.", 0},
    };
    for (const auto& c : cases) {
        library(std::string("elem1000=BAR001 ") + c.fault);
        DeleteFileW((state / L"cart_BAR001.tap").c_str());
        qtest::RunResult r = kvtlabel(L"-library=QSIMLIB -drive=QSIMD1,1 -search -barcode");
        EXPECT_EQ(r.exitCode, c.rc) << c.fault << "\n" << r.output;
        EXPECT_NE(r.output.find(c.text), std::string::npos) << c.fault << "\n" << r.output;
        size_t waits = 0;
        for (size_t at = 0; (at = r.output.find("ANR9730W", at)) != std::string::npos; at++)
            waits++;
        EXPECT_EQ(waits, (size_t)c.waitMessages) << c.fault;
    }
}

TEST_F(LabelLibrary, PortModeAndLibraryRefusals)
{
    // The automatic operator feeds five cartridges through the port and takes
    // each labeled one out again; the test answers the prompts (a name, then
    // Enter once the volume is out).
    library("elem1000=BAR001 feed=5");
    qtest::RunResult r = kvtlabel(L"-library=QSIMLIB -drive=QSIMD1,1", "P1\n\nP2\n\nP3\n\nP4\n\nP5\n\n");
    EXPECT_EQ(r.exitCode, 0u);
    EXPECT_NE(r.output.find("Put a volume into the entry/exit port of library QSIMLIB"), std::string::npos) << r.output;
    for (int i = 1; i <= 5; i++) {
        std::string name = "P" + std::to_string(i);
        EXPECT_EQ(vol1Name(qtest::readFile(state / qtest::widen("cart_FEED" + std::to_string(i) + ".tap"))), name)
            << r.output;
    }
    std::string text = qtest::readFile(state / L"devices.txt");
    EXPECT_NE(text.find(" out=FEED1,FEED2,FEED3,FEED4,FEED5"), std::string::npos) << text;
    struct { std::wstring args; DWORD rc; const char* text; } cases[] = {
        {L"-library=QSIMLIB -drive=QSIMD1,1 -drive=QSIMD2,1", 500, "ANR9741E Drives QSIMD1 and QSIMD2"},
        {L"-library=QSIMLIB -drive=QSIMD1,7", 500, "ANR9742E The element of drive QSIMD1"},
        {L"-library=QSIMLIB -library=QSIMLIB -drive=QSIMD1,1", 102, "ANR9713E"},
    };
    for (const auto& c : cases) {
        r = kvtlabel(c.args);
        EXPECT_EQ(r.exitCode, c.rc) << r.output;
        EXPECT_NE(r.output.find(c.text), std::string::npos) << r.output;
    }
    // Magazine mode with -keep: each volume goes into its slot while the
    // magazine is out and stays there once labeled.
    library("magazine=1 feed=3");
    for (int i = 1; i <= 5; i++)
        DeleteFileW((state / (L"cart_FEED" + std::to_wstring(i) + L".tap")).c_str());
    r = kvtlabel(L"-library=QSIMLIB -drive=QSIMD1,1 -keep", "M1\nM2\nM3\n");
    EXPECT_EQ(r.exitCode, 0u);
    for (int i = 0; i < 3; i++) {
        EXPECT_NE(r.output.find("Put a volume into slot " + std::to_string(1000 + i) + " of library QSIMLIB"),
                  std::string::npos) << r.output;
        EXPECT_EQ(slot(1000 + i), "FEED" + std::to_string(i + 1));
        EXPECT_EQ(vol1Name(qtest::readFile(state / qtest::widen("cart_FEED" + std::to_string(i + 1) + ".tap"))),
                  "M" + std::to_string(i + 1));
    }
    std::string full;
    for (int i = 0; i < 20; i++)
        full += " elem" + std::to_string(1000 + i) + "=F" + std::to_string(i);
    library(full);
    r = kvtlabel(L"-library=QSIMLIB -drive=QSIMD1,1");
    EXPECT_NE(r.output.find("ANR8314E Library QSIMLIB has no empty slot"), std::string::npos) << r.output;
    library("");
    r = kvtlabel(L"-library=QSIMLIB -drive=QSIMD1,1 -search");
    EXPECT_EQ(r.exitCode, 106u);
    EXPECT_NE(r.output.find("ANR9756E"), std::string::npos) << r.output;
}

}  // namespace
