// The built language files: each DLL loads as data, the foundation's texts
// are there with their line breaks, and German lacks 1040 on purpose.
#include <gtest/gtest.h>
#include "common/framework/handle.h"
#include "foundation_ids.h"
#include "tests/support/testsupport.h"

namespace {

fw::UniqueModule loadData(const wchar_t* name) {
    return fw::UniqueModule(
        LoadLibraryExW((qtest::binDir() + name).c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
}

std::wstring text(HMODULE lib, UINT id) {
    wchar_t buf[4096];
    int n = LoadStringW(lib, id, buf, 4096);
    return n > 0 ? std::wstring(buf, n) : std::wstring();
}

}  // namespace

TEST(LanguageFiles, AllEightExistAndTheDllsLoadAsData) {
    for (const wchar_t* dll : {L"msgengu.dll", L"guiengu.dll", L"msgdeuu.dll", L"guideuu.dll"})
        EXPECT_TRUE(loadData(dll)) << qtest::narrow(dll);
    for (const wchar_t* file : {L"tipengu.txt", L"hlpengu.hlp", L"tipdeuu.txt", L"hlpdeuu.hlp"})
        EXPECT_FALSE(qtest::readFile(qtest::binDir() + file).empty()) << qtest::narrow(file);
}

TEST(LanguageFiles, EnglishHoldsTheFoundationTexts) {
    fw::UniqueModule eng = loadData(L"msgengu.dll");
    ASSERT_TRUE(eng);
    EXPECT_EQ(text(eng.get(), MSG_TITLE_WARNING), L"QORA Server Utilities - Warning");
    EXPECT_EQ(text(eng.get(), MSG_TITLE_INFO), L"QORA Server Utilities - Information");
    EXPECT_EQ(text(eng.get(), MSG_TITLE_QUESTION), L"QORA Server Utilities - Question");
    EXPECT_EQ(text(eng.get(), MSG_TITLE_STOP), L"QORA Server Utilities - Error");
    std::wstring exitCode = text(eng.get(), MSG_EXIT_CODE_UNREADABLE);
    EXPECT_EQ(exitCode.rfind(L"Command Run -- ", 0), 0u) << qtest::narrow(exitCode);
    EXPECT_NE(exitCode.find(L"succeeded.\n\nCheck"), std::wstring::npos) << qtest::narrow(exitCode);
}

TEST(LanguageFiles, GermanTranslatesTitlesAndLacks1040) {
    fw::UniqueModule deu = loadData(L"msgdeuu.dll");
    ASSERT_TRUE(deu);
    EXPECT_EQ(text(deu.get(), MSG_TITLE_STOP), L"QORA-Serverdienstprogramme - Fehler");
    EXPECT_EQ(text(deu.get(), MSG_EXIT_CODE_UNREADABLE), L"");
}
