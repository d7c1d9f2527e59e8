// Language libraries from the installed utilities directory, and the
// message boxes they feed, seen through the box hook instead of a window.
#include <gtest/gtest.h>
#include <thread>
#include "common/cmd/logfile.h"
#include "common/cmd/msglib.h"
#include "common/cmd/utilsettings.h"
#include "foundation_ids.h"
#include "tests/common/cmd/regtest.h"

namespace {

struct Box {
    std::wstring title, text;
    UINT flags;
};
std::vector<Box> boxes;
int nextButton = IDOK;

int recordBox(HWND, const TCHAR* title, const TCHAR* text, UINT flags) {
    boxes.push_back({title, text, flags});
    return nextButton;
}

const wchar_t EXIT_CODE_TEXT[] =
    L"The exit code of the program that was started could not be read, so it is not known whether "
    L"its commands succeeded.\n\nCheck the server's activity log, then repeat the step if needed.";

class Messages : public regtest::InstalledProduct {
protected:
    void SetUp() override {
        boxes.clear();
        nextButton = IDOK;
        setMessageBoxHook(recordBox);
    }
    void TearDown() override {
        freeMessageLibraries();
        utilSettings().clearLanguageOverride();
        setMessageBoxHook(nullptr);
        reinstall();
    }
    void useLanguage(int index) { utilSettings().setLanguageOverride(index); }
};

}  // namespace

TEST_F(Messages, EnglishTextsAndTheTitleRule) {
    ASSERT_EQ(loadMessageLibraries(), 0);
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(messageLibrary(), englishMessageLibrary());
    tstring title;
    EXPECT_GT(loadString(MSG_TITLE_WARNING, title), 0);
    EXPECT_EQ(title, L"QORA Server Utilities - Warning");

    showMessage(nullptr, MSG_STOP, MSG_EXIT_CODE_UNREADABLE);
    showMessage(nullptr, MSG_PLAIN, MSG_EXIT_CODE_UNREADABLE);
    showText(nullptr, MSG_INFO, L"%s has %d drives", L"LIB1", 4);
    showText(nullptr, MSG_PLAIN, L"no heading");
    ASSERT_EQ(boxes.size(), 4u);
    EXPECT_EQ(boxes[0].title, L"Command Run");
    EXPECT_EQ(boxes[0].text, EXIT_CODE_TEXT);
    EXPECT_EQ(boxes[0].flags, (UINT)(MB_OK | MB_ICONSTOP));
    EXPECT_EQ(boxes[1].title, L"");
    EXPECT_EQ(boxes[1].text, EXIT_CODE_TEXT);
    EXPECT_EQ(boxes[2].title, L"QORA Server Utilities - Information");
    EXPECT_EQ(boxes[2].text, L"LIB1 has 4 drives");
    EXPECT_EQ(boxes[3].title, L"");
    EXPECT_EQ(boxes[3].text, L"no heading");
}

TEST_F(Messages, SevenBoxTypes) {
    ASSERT_EQ(loadMessageLibraries(), 0);
    const struct {
        int type;
        const wchar_t* title;
        UINT flags;
    } cases[] = {
        {0, L"QORA Server Utilities - Warning", MB_OK | MB_ICONEXCLAMATION},
        {1, L"QORA Server Utilities - Information", MB_OK | MB_ICONINFORMATION},
        {2, L"QORA Server Utilities - Question", MB_OK | MB_ICONQUESTION},
        {3, L"QORA Server Utilities - Error", MB_OK | MB_ICONSTOP},
        {4, L"", MB_OK},
        {5, L"QORA Server Utilities - Question", MB_YESNO | MB_ICONQUESTION},
        {6, L"QORA Server Utilities - Question", MB_YESNOCANCEL | MB_ICONQUESTION},
    };
    for (auto c : cases) {
        boxes.clear();
        showText(nullptr, c.type, L"text");
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].title, c.title) << c.type;
        EXPECT_EQ(boxes[0].flags, c.flags) << c.type;
    }
}

TEST_F(Messages, AskReturnsTheButtonAndZeroForAMissingText) {
    ASSERT_EQ(loadMessageLibraries(), 0);
    nextButton = IDNO;
    EXPECT_EQ(askMessage(nullptr, MSG_YESNO, MSG_EXIT_CODE_UNREADABLE), IDNO);
    nextButton = IDCANCEL;
    EXPECT_EQ(askMessage(nullptr, MSG_YESNOCANCEL, MSG_EXIT_CODE_UNREADABLE), IDCANCEL);
    EXPECT_EQ(askMessage(nullptr, MSG_YESNO, 59999), 0);
    ASSERT_EQ(boxes.size(), 3u);
    EXPECT_EQ(boxes[2].text, L"Could not obtain string resource 59999 from msg dll msgengu.dll\n");
    EXPECT_EQ(boxes[2].title, L"QORA Server Utilities - Error");
    EXPECT_EQ(boxes[2].flags, (UINT)(MB_OK | MB_ICONSTOP));
}

TEST_F(Messages, GermanLibraryFallsBackToEnglishFor1040) {
    useLanguage(QLANG_DEU);
    ASSERT_EQ(loadMessageLibraries(), 0);
    EXPECT_NE(messageLibrary(), englishMessageLibrary());
    tstring text;
    loadString(MSG_TITLE_STOP, text);
    EXPECT_EQ(text, L"QORA-Serverdienstprogramme - Fehler");
    showMessage(nullptr, MSG_WARNING, MSG_EXIT_CODE_UNREADABLE);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].title, L"Command Run");
    EXPECT_EQ(boxes[0].text, EXIT_CODE_TEXT);
    wchar_t small[8];
    EXPECT_EQ(loadText(MSG_TITLE_STOP, small, 8), 7);  // cut and terminated
    EXPECT_EQ(loadText(59999, small, 8), 0);
    EXPECT_STREQ(small, L"");
}

TEST_F(Messages, MissingEnglishLibraryShowsReplacementTexts) {
    reinstall({L"file:msgengu.dll"});
    EXPECT_EQ(loadMessageLibraries(), MSG_LIBRARY_MISSING);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].title, L"Could not load the NLS resource dll");
    EXPECT_EQ(boxes[0].text, L"msgengu.dll\n\nEither re-install or replace the copy of the missing DLL file.");
    EXPECT_EQ(boxes[0].flags, (UINT)(MB_OK | MB_ICONSTOP));
    showMessage(nullptr, MSG_INFO, MSG_EXIT_CODE_UNREADABLE);
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[1].text, L"Could not obtain string resource 1040 from msg dll msgengu.dll\n");
    EXPECT_EQ(boxes[1].title, L"");  // the title text is missing too
}

TEST_F(Messages, MissingLanguageLibraryIsReported) {
    reinstall({L"file:msgdeuu.dll"});
    useLanguage(QLANG_DEU);
    EXPECT_EQ(loadMessageLibraries(), MSG_LIBRARY_MISSING);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].title, L"Could not load the NLS msg resource dll");
    EXPECT_EQ(boxes[0].text, L"msgdeuu.dll\n\nEither re-install or replace the copy of the missing DLL file.");
    EXPECT_EQ(boxes[0].flags, (UINT)(MB_OK | MB_ICONEXCLAMATION));
}

TEST_F(Messages, MessageLibHandleLoadsOnce) {
    CIfcMsgLib first;
    HMODULE lib = messageLibrary();
    ASSERT_NE(lib, nullptr);
    CIfcMsgLib second;
    EXPECT_EQ(messageLibrary(), lib);
}

TEST_F(Messages, LogFileWritesNumberedMessages) {
    ASSERT_EQ(loadMessageLibraries(), 0);
    qtest::TempDir dir(L"logmsg");
    CIfcLogFile log;
    log.init();
    log.enable(true);
    ASSERT_EQ(log.open((dir / L"report.log").c_str()), 0);
    log.writeMessage(MSG_TITLE_INFO);
    log.writeMessage(59998);
    log.close();
    log.term();
    std::string text = qtest::readFile(dir / L"report.log");
    std::erase(text, '\r');
    EXPECT_NE(text.find("\nQORA Server Utilities - Information\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\nCould not obtain string resource 59998 from msg dll\n"), std::string::npos) << text;
}

TEST(Languages, NamesIndexesAndFileNames) {
    const struct {
        const wchar_t* name;
        int index;
        const wchar_t* code;
    } cases[] = {
        {L"ENG", 25, L"eng"}, {L"chs", 2, L"chs"}, {L"CHT", 1, L"cht"}, {L"DEU", 8, L"deu"},
        {L"ESP", 5, L"esp"},  {L"FRA", 4, L"fra"}, {L"ITA", 6, L"ita"}, {L"JPN", 3, L"jpn"},
        {L"KOR", 9, L"kor"},  {L"PTB", 7, L"ptb"}, {L"UNK", 75, L"eng"}, {L"DEUTSCH", 8, L"deu"},
        {L"XYZ", -1, nullptr}, {L"DE", -1, nullptr},
    };
    for (auto c : cases) {
        EXPECT_EQ(languageIndexOfName(c.name), c.index) << qtest::narrow(c.name);
        if (c.code) {
            EXPECT_STREQ(languageCode(c.index), c.code);
        }
    }
    utilSettings().setLanguageOverride(QLANG_DEU);
    tstring gui, msg, tip, hlp;
    languageFiles(&gui, &msg, &tip, &hlp);
    EXPECT_EQ(gui + L" " + msg + L" " + tip + L" " + hlp, L"guideuu.dll msgdeuu.dll tipdeuu.txt hlpdeuu.hlp");
    utilSettings().clearLanguageOverride();
    EXPECT_EQ(languageIndex(), 25);
    languageFiles(nullptr, &msg, nullptr, &hlp);
    EXPECT_EQ(msg + L" " + hlp, L"msgengu.dll hlpengu.hlp");
}

TEST(Splitting, AtTheFirstSeparatorOnly) {
    tstring title, message;
    splitTitle(MSG_STOP, L"Heading -- one -- two", title, message);
    EXPECT_EQ(title, L"Heading");
    EXPECT_EQ(message, L"one -- two");
    splitTitle(MSG_PLAIN, L"Heading -- rest", title, message);
    EXPECT_EQ(title, L"");
    EXPECT_EQ(message, L"rest");
    splitTitle(MSG_PLAIN, L"dash--without blanks", title, message);
    EXPECT_EQ(message, L"dash--without blanks");
}

// Without a hook the message is a real message box: the German title of a
// German text, and the English fallback text, as a user sees them.
TEST_F(Messages, RealBoxShowsTitleAndTextAndClosesOnOk) {
    setMessageBoxHook(nullptr);
    useLanguage(QLANG_DEU);
    ASSERT_EQ(loadMessageLibraries(), 0);
    std::thread shower([] { showText(nullptr, MSG_STOP, L"%s could not be found.", L"kvtserv.opt"); });
    HWND box = nullptr;
    bool shown = qtest::waitFor([&] {
        for (HWND h : qtest::windowsOfProcess(GetCurrentProcessId()))
            if (qtest::windowText(h) == L"QORA-Serverdienstprogramme - Fehler") box = h;
        return box != nullptr;
    });
    if (shown) {
        std::vector<std::wstring> texts = qtest::childTexts(box);
        EXPECT_NE(std::find(texts.begin(), texts.end(), L"kvtserv.opt could not be found."), texts.end());
        PostMessageW(box, WM_COMMAND, IDOK, 0);
    } else {  // whatever did appear, close it so the thread can end
        for (HWND h : qtest::windowsOfProcess(GetCurrentProcessId())) PostMessageW(h, WM_COMMAND, IDOK, 0);
    }
    shower.join();
    ASSERT_TRUE(shown) << "no message box appeared";
    EXPECT_FALSE(IsWindow(box));
}
