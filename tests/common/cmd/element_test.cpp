// element.dat: the four sections, the line rules, and the lookup of a drive's
// element number by the changer's inquiry text.
#include <gtest/gtest.h>
#include <fstream>
#include <sstream>
#include "common/cmd/element.h"

namespace {

struct Found {
    bool found;
    int count, element;
    std::wstring comment;
};

Found lookup(const ElementTable& t, const std::wstring& inquiry, bool strip, int drive) {
    Found f{};
    f.found = t.lookupQoraElementInfo(inquiry, strip, drive, f.count, f.element, f.comment);
    return f;
}

ElementTable parsed(const std::wstring& text) {
    ElementTable t;
    t.parseElementData(text);
    return t;
}

const wchar_t kSample[] =
    L"ignored before any header\r\n"
    L"[VersionInfo]\r\n"
    L"title=Sample\r\n"
    L"title = kept blank key\r\n"
    L"version=2\r\n"
    L"date=today\r\n"
    L"[INQUIRYINFO]\r\n"
    L"ACME LIB-10,5\r\n"
    L"abc x,1\r\n"
    L"abc,2\r\n"
    L"NOTABLE,7\r\n"
    L"broken line without table\r\n"
    L"[ELEMENTINFO]\r\n"
    L"td,99;table,5;td,16;td,17;comment,0\r\n"
    L"table,1;td,1\r\n"
    L"table,2;td,10;td,11 // a remark\r\n"
    L"table,9; td,3\r\n"
    L"table,600;td,1\r\n"
    L"[COMMENTINFO]\r\n"
    L"0;Upper drive first\r\n"
    L"70;out of range\r\n"
    L"1;last line of the file";

TEST(ElementData, ReadsTheFourSections) {
    ElementTable t = parsed(kSample);
    EXPECT_EQ(t.title(), L"sample");
    EXPECT_EQ(t.version(), L"2");
    EXPECT_EQ(t.date(), L"today");
    ASSERT_EQ(t.entryCount(), 4);
    EXPECT_EQ(t.entryText(0), L"acme lib-10");
    EXPECT_EQ(t.entryText(4), L"");
    EXPECT_EQ(t.tableCount(), 4);  // table 600 is out of range
    // The last line is a comment like any other.
    EXPECT_EQ(t.commentCount(), 2);
}

TEST(ElementData, LooksUpDriveElements) {
    ElementTable t = parsed(kSample);
    struct Case {
        const wchar_t* inquiry;
        bool strip;
        int drive;
        bool found;
        int count, element;
        const wchar_t* comment;
    } cases[] = {
        {L"ACME LIB-10 1.0", true, 1, true, 2, 16, L"upper drive first"},
        {L"ACME LIB-10 1.0", true, 2, true, 2, 17, L"upper drive first"},
        {L"ACME LIB-10 1.0", false, 1, false, -1, -1, L""},  // revision kept: no entry begins so
        {L"  acme lib-10  ", false, 1, true, 2, 16, L"upper drive first"},
        {L"ACME LIB-10 1.0", true, 0, false, -1, -1, L""},
        {L"ACME LIB-10 1.0", true, 3, false, -1, -1, L""},
        {L"abc", false, 1, true, 1, 1, L""},           // first entry that begins so
        {L"table2 xx", true, 1, false, -1, -1, L""},
        {L"NOTABLE", false, 1, false, -1, -1, L""},     // table 7 never defined
        {L"", false, 1, false, -1, -1, L""},            // nothing prepared: ask the administrator
        {L"ONEWORD", true, 1, false, -1, -1, L""},       // stripping leaves nothing
    };
    for (const auto& c : cases) {
        Found f = lookup(t, c.inquiry, c.strip, c.drive);
        EXPECT_EQ(f.found, c.found) << testing::PrintToString(std::wstring(c.inquiry)) << c.drive;
        EXPECT_EQ(f.count, c.count) << testing::PrintToString(std::wstring(c.inquiry));
        EXPECT_EQ(f.element, c.element) << testing::PrintToString(std::wstring(c.inquiry));
        EXPECT_EQ(f.comment, c.comment) << testing::PrintToString(std::wstring(c.inquiry));
    }
}

TEST(ElementData, RemarkAndBlanksFollowTheLineRules) {
    ElementTable t = parsed(L"[INQUIRYINFO]\nremark lib,2\nblank key lib,9\n"
                            L"[ELEMENTINFO]\ntable,2;td,10;td,11 // two drives\ntable,9; td,3\n");
    Found f = lookup(t, L"remark lib", false, 2);
    EXPECT_TRUE(f.found);
    EXPECT_EQ(f.count, 2);
    EXPECT_EQ(f.element, 11);
    // " td" does not name a drive element.
    EXPECT_FALSE(lookup(t, L"blank key lib", false, 1).found);
}

TEST(ElementData, KeepsToTheLimits) {
    std::wstring text = L"[INQUIRYINFO]\n";
    for (int i = 0; i < 600; ++i) text += L"lib" + std::to_wstring(i) + L",0\n";
    text += L"[ELEMENTINFO]\ntable,0";
    for (int i = 0; i < 70; ++i) text += L";td," + std::to_wstring(100 + i);
    text += L";comment,63\n[COMMENTINFO]\n63;last slot\n64;no slot\n";
    ElementTable t = parsed(text);
    EXPECT_EQ(t.entryCount(), ElementTable::kMaxEntries);
    Found f = lookup(t, L"lib511", false, 64);
    EXPECT_TRUE(f.found);
    EXPECT_EQ(f.count, 64);
    EXPECT_EQ(f.element, 163);
    EXPECT_EQ(f.comment, L"last slot");
    EXPECT_FALSE(lookup(t, L"lib512", false, 1).found);
}

TEST(ElementData, OurTableKnowsTheSimulatedLibraries) {
    std::ifstream in(QORA_SOURCE_DIR "resources/data/element.dat", std::ios::binary);
    ASSERT_TRUE(in) << "resources/data/element.dat";
    std::stringstream bytes;
    bytes << in.rdbuf();
    std::string narrow = bytes.str();
    ElementTable t = parsed(std::wstring(narrow.begin(), narrow.end()));
    EXPECT_EQ(t.title(), L"qora element number table");

    const std::wstring changer = L"TEVRA   QLIB-2          1.00";
    for (bool strip : {false, true}) {
        Found first = lookup(t, changer, strip, 1), second = lookup(t, changer, strip, 2);
        EXPECT_TRUE(first.found && second.found) << strip;
        EXPECT_EQ(first.count, 2);
        EXPECT_EQ(first.element, 128);
        EXPECT_EQ(second.element, 129);
        EXPECT_EQ(first.comment, L"two-drive library, drive 1 is the lower drive.");
        EXPECT_FALSE(lookup(t, changer, strip, 3).found);
    }
    EXPECT_EQ(lookup(t, L"TEVRA   QLIB-4          1.00", true, 4).element, 259);
}

}  // namespace
