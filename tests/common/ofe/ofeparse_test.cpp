// The server options model, its line parser and the file reader.
#include <gtest/gtest.h>
#include "tests/common/ofe/ofetestutil.h"
#include <climits>
#include <random>

using namespace ofe;
using namespace ofetest;
using Id = ServerOptionId;

TEST(ServerOptionsModel, ResetGivesTheTableDefaults) {
    auto m = freshModel();
    NumericOption rec;
    ASSERT_EQ(GetNumericOption(m.get(), Id::USE_LARGE_BUFFERS, rec), 0);
    EXPECT_EQ(rec, (NumericOption{0, 0, 1, 1}));
    ASSERT_EQ(GetNumericOption(m.get(), Id::IPX_SOCKET, rec), 0);
    EXPECT_EQ(rec, (NumericOption{34082, 0, 65535, 34082}));
    EXPECT_EQ(m->CommMethods, 137u);
    EXPECT_EQ(textOf(*m, TextOptionId::PIPE_NAME), L"QORAPIPE");
    EXPECT_EQ(textOf(*m, TextOptionId::EVX_HOSTNAME), L"testhost");
    std::wstring d;
    GetListDefault(ListOptionId::NETBIOS_NAMES, d);
    EXPECT_EQ(d, L"QORASERV1");
}

TEST(ServerOptionsModel, AccessErrorsHaveTheirCodes) {
    EXPECT_EQ(CreateServerOptions(nullptr, L"h"), OFE_NO_SLOT);
    EXPECT_EQ(ResetServerOptions(nullptr), OFE_NO_MODEL);
    NumericOption rec;
    EXPECT_EQ(GetNumericOption(nullptr, Id::TCPIP, rec), OFE_NO_MODEL);
    auto m = freshModel();
    EXPECT_EQ(GetNumericOption(m.get(), static_cast<Id>(60), rec), OFE_BAD_OPTION_ID);
    EXPECT_EQ(SetNumericOption(m.get(), static_cast<Id>(-1), rec), OFE_BAD_OPTION_ID);
    std::wstring line;
    EXPECT_EQ(GetVerbatimLine(m.get(), 0, line), OFE_BAD_VERBATIM_INDEX);
    for (std::size_t i = 0; i < kVerbatimCapacity; ++i) ASSERT_EQ(AddVerbatimLine(m.get(), L"TRACE x"), 0);
    EXPECT_EQ(AddVerbatimLine(m.get(), L"TRACE y"), OFE_NO_MEMORY);
    EXPECT_EQ(GetVerbatimLine(m.get(), -1, line), OFE_BAD_VERBATIM_INDEX);
    EXPECT_EQ(GetVerbatimLine(m.get(), 256, line), OFE_BAD_VERBATIM_INDEX);
    EXPECT_EQ(ResetServerOptions(m.get()), 0);
    int count = -1;
    GetVerbatimLineCount(m.get(), count);
    EXPECT_EQ(count, 0);
}

TEST(ServerOptionsModel, TextsAreCutToTheirCapacity) {
    auto m = freshModel();
    SetTextOption(m.get(), TextOptionId::LANGUAGE, std::wstring(40, L'X'));
    EXPECT_EQ(textOf(*m, TextOptionId::LANGUAGE), std::wstring(16, L'X'));
}

struct NumericCase {
    const wchar_t* line;
    OfeCode rc;
    Id id;
    std::int32_t value;
};

class ParseNumeric : public testing::TestWithParam<NumericCase> {};

TEST_P(ParseNumeric, StoresTheValue) {
    const auto& c = GetParam();
    auto m = freshModel();
    EXPECT_EQ(ParseServerOptionsLine(m.get(), c.line), c.rc) << testing::PrintToString(std::wstring(c.line));
    if (c.rc == 0) {
        EXPECT_EQ(current(*m, c.id), c.value);
    }
}

INSTANTIATE_TEST_SUITE_P(Lines, ParseNumeric, testing::Values(
    NumericCase{L"tcpport 1600\r\n", 0, Id::TCPIP, 1600},
    NumericCase{L"TCPPort 1600", 0, Id::TCPIP, 1600},
    NumericCase{L"TCPPXYZ 1600", 0, Id::TCPIP, 1600},
    NumericCase{L"TCP 1600", OFE_NO_KEYWORD, Id::TCPIP, 0},
    NumericCase{L"TCPWindowsize 32", 0, Id::TCPWINDOW_KB, 32},
    NumericCase{L"TCPNODELAY yes", 0, Id::TCPNODELAY, 1},
    NumericCase{L"IPXsocket 8522", 0, Id::IPX_SOCKET, 34082},
    NumericCase{L"IPXsocket 1a2B", 0, Id::IPX_SOCKET, 0x1a2b},
    NumericCase{L"IPXsocket 852", OFE_BAD_VALUE, Id::IPX_SOCKET, 0},
    NumericCase{L"IPXsocket 85g2", OFE_BAD_VALUE, Id::IPX_SOCKET, 0},
    NumericCase{L"IPXBuffersize 16", 0, Id::IPX_BUFFSIZE, 16},
    NumericCase{L"IPXPROTOCOL spx", 0, Id::IPX_PROTOCOL, 0},
    NumericCase{L"NETBIOSSessions 9", 0, Id::NETB_SESSIONS, 9},
    NumericCase{L"NETBIOSBuffersize 9", 0, Id::NETB_BUFFSIZE, 9},
    NumericCase{L"MAXSessions abc", 0, Id::MAX_SESSIONS, 0},
    NumericCase{L"MAXSessions 99999", 0, Id::MAX_SESSIONS, 99999},
    NumericCase{L"MAXSessions 99999999999", 0, Id::MAX_SESSIONS, INT32_MAX},
    NumericCase{L"MAXSessions -99999999999", 0, Id::MAX_SESSIONS, INT32_MIN},
    NumericCase{L"MAXSessions", OFE_BAD_VALUE, Id::MAX_SESSIONS, 0},
    NumericCase{L"MIRRORRead LOG verify", 0, Id::LOG_MIRRORREAD, 1},
    NumericCase{L"MIRRORRead x y", 0, Id::DB_MIRRORREAD, 1},
    NumericCase{L"MIRRORRead DB normal", 0, Id::DB_MIRRORREAD, 0},
    NumericCase{L"MIRRORWrite log SEQUENTIAL", 0, Id::LOG_MIRRORWRITE, 0},
    NumericCase{L"MIRRORWrite DB", OFE_BAD_VALUE, Id::DB_MIRRORWRITE, 0},
    NumericCase{L"ENABLE8140 maybe", OFE_BAD_VALUE, Id::ENABLE_8140, 0},
    NumericCase{L"EXPQUiet No", 0, Id::EXP_QUIET, 0},
    NumericCase{L"NOPREEMPT", 0, Id::NO_PREEMPT, 1},
    NumericCase{L"COMMTimeout 90", 0, Id::COMM_TIMEOUT, 90},
    NumericCase{L"HTTPSport 1544", 0, Id::HTTPS_PORT, 1544},
    NumericCase{L"HTTPport 1581", 0, Id::HTTP_PORT, 1581},
    NumericCase{L"SNMPHEARTBEATINTERVAL 7", 0, Id::SNMP_HEARTBEAT, 7},
    NumericCase{L"8120shared no", 0, Id::SHARED_8120, 0},
    NumericCase{L"     \r\n", OFE_NO_KEYWORD, Id::TCPIP, 0},
    NumericCase{L"MAXS\t25", OFE_BAD_VALUE, Id::MAX_SESSIONS, 0}));

TEST(ParseLine, CommMethodsAccumulateAndHttpsSetsHttpToo) {
    auto m = freshModel();
    m->CommMethods = 0;
    EXPECT_EQ(ParseServerOptionsLine(m.get(), L"COMMmethod HTTPS"), 0);
    EXPECT_EQ(m->CommMethods, CM_HTTPS | CM_HTTP);
    EXPECT_EQ(ParseServerOptionsLine(m.get(), L"commm none"), 0);
    EXPECT_EQ(ParseServerOptionsLine(m.get(), L"COMMmethod tcpip"), 0);
    EXPECT_EQ(m->CommMethods, CM_HTTPS | CM_HTTP | CM_TCPIP);
    EXPECT_TRUE(m->verbatim.empty());
}

TEST(ParseLine, PipeNameKeepsOnlyTheName) {
    auto m = freshModel();
    EXPECT_EQ(ParseServerOptionsLine(m.get(), L"NAMEdpipename \\\\.\\pipe\\mypipe"), 0);
    EXPECT_EQ(textOf(*m, TextOptionId::PIPE_NAME), L"mypipe");
    EXPECT_EQ(ParseServerOptionsLine(m.get(), L"NAME \\\\.\\pipe\\"), OFE_BAD_VALUE);
}

TEST(ParseLine, FileExitStoresStartNameAndMode) {
    auto m = freshModel();
    EXPECT_EQ(ParseServerOptionsLine(m.get(), L"FILEEXIT y c:\\qora\\ev.log replace"), 0);
    EXPECT_EQ(current(*m, Id::FILEEXIT_PRESENT), 1);
    EXPECT_EQ(current(*m, Id::FILEEXIT_START), 1);
    EXPECT_EQ(current(*m, Id::FILEEXIT_MODE), 1);
    EXPECT_EQ(textOf(*m, TextOptionId::FILEEXIT_NAME), L"C:\\QORA\\EV.LOG");
    EXPECT_EQ(ParseServerOptionsLine(m.get(), L"FILEEXIT x"), OFE_BAD_VALUE);
    EXPECT_EQ(ParseServerOptionsLine(m.get(), L"FILEEXIT x other.log"), 0);
    EXPECT_EQ(current(*m, Id::FILEEXIT_START), 1);
    EXPECT_EQ(ParseServerOptionsLine(m.get(), L"USEREXIT n mine.dll entry"), 0);
    EXPECT_EQ(textOf(*m, TextOptionId::USEREXIT_MODULE), L"ENTRY");
}

TEST(ParseLine, TraceLinesAreKeptWithSingleBlanks) {
    auto m = freshModel();
    EXPECT_EQ(ParseServerOptionsLine(m.get(), L"traceflag   session    pvr\r\n"), 0);
    ASSERT_EQ(m->verbatim.size(), 1u);
    EXPECT_EQ(m->verbatim[0], L"TRACEFLAG session pvr");
}

// Options the writer has no lines for are kept whole so a save keeps them.
TEST(ParseLine, OptionsWithoutWriterLinesAreKeptVerbatim) {
    auto m = freshModel();
    for (const wchar_t* line : {L"ShmPort 1511", L"COMMmethod SHAREDMEM", L"COMMmethod sna", L"MAXMEMORY 64",
                                L"NOAUDITStorage", L"LUname LU1", L"TPNProfile PROF", L"SNABuffersize 8",
                                L"EOTblock 3"})
        ASSERT_EQ(ParseServerOptionsLine(m.get(), line), 0) << testing::PrintToString(std::wstring(line));
    EXPECT_EQ(current(*m, Id::SHMEM_PROTOCOL), 1511);
    EXPECT_EQ(m->MAX_MEMORY, 64);
    EXPECT_EQ(m->CommMethods & (CM_SHAREDMEM | CM_SNA), CM_SHAREDMEM | CM_SNA);
    ASSERT_EQ(m->verbatim.size(), 9u);
    EXPECT_EQ(m->verbatim[0], L"SHMPORT 1511");
    EXPECT_EQ(m->verbatim[1], L"COMMMETHOD SHAREDMEM");
}

TEST(ParseLine, FullListsSkipOrFail) {
    auto m = freshModel();
    std::vector<std::wstring> notices;
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(ParseServerOptionsLine(m.get(), L"NETBiosname SRV" + std::to_wstring(i), &notices), 0);
    EXPECT_EQ(m->lists[int(ListOptionId::NETBIOS_NAMES)].size(), 4u);
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_EQ(notices[0], L"Exceeded the maximum number of NetBIOS names. Skipping options file entry: SRV4\n");
    for (int i = 0; i < 8; ++i) EXPECT_EQ(ParseServerOptionsLine(m.get(), L"VOLUMEHistory v.out"), 0);
    EXPECT_EQ(ParseServerOptionsLine(m.get(), L"VOLH v.out"), OFE_BAD_VALUE);
    EXPECT_EQ(ParseServerOptionsLine(m.get(), L"LANAdapter 12"), 0);
    EXPECT_EQ(m->lists[int(ListOptionId::LAN_ADAPTERS)].back(), L"1");
}

static OfeCode readText(ServerOptions* m, const std::string& content, std::wstring& message,
                        bool readFailed = false) {
    return ReadServerOptionsText(m, content, readFailed, L"c:\\srv\\kvtserv.opt", latin1, message);
}

TEST(ReadServerOptions, SyntaxErrorNamesLineFileAndContents) {
    auto m = freshModel();
    std::wstring message;
    EXPECT_EQ(readText(m.get(), "* comment\r\nTR\r\nMAXS 30\r\n     \r\nBUFP 999\r\n", message), OFE_SYNTAX_ERROR);
    EXPECT_EQ(message,
              L"There is a syntax error on line 4 of the server options file:\n\nc:\\srv\\kvtserv.opt"
              L"\n\nLine Contents:\n\n     \r\n\n\nWould you like to edit the file to correct the "
              L"syntax error now?\n\n");
    EXPECT_EQ(current(*m, Id::MAX_SESSIONS), 30);
    EXPECT_EQ(current(*m, Id::BUF_POOLSIZE), 2048);
    EXPECT_EQ(m->CommMethods, 0u);
}

// A line beyond the limit is one error at its own number; its tail is never
// taken for a line of its own.
TEST(ReadServerOptions, OverlongLineIsAnErrorAtItsOwnNumber) {
    auto m = freshModel();
    std::wstring message;
    std::string content = "MAXS 30\n* " + std::string(100000, 'c') + "\nLANG " + std::string(510, 'x') +
                          "TCPPort 1700\nTCPPort 1800\n";
    EXPECT_EQ(readText(m.get(), content, message), OFE_SYNTAX_ERROR);
    EXPECT_NE(message.find(L"on line 3 of"), std::wstring::npos);
    EXPECT_EQ(current(*m, Id::TCPIP), 1500);
}

TEST(ReadServerOptions, ReadErrorKeepsWhatCameBefore) {
    auto m = freshModel();
    std::wstring message;
    EXPECT_EQ(readText(m.get(), "MAXS 30\nTCPPort 17", message, true), OFE_READ_ERROR);
    EXPECT_TRUE(message.empty());
    EXPECT_EQ(current(*m, Id::MAX_SESSIONS), 30);
    EXPECT_EQ(current(*m, Id::TCPIP), 1500);
}

TEST(ReadServerOptions, MoreTraceLinesThanTheModelHoldsIsAnError) {
    auto m = freshModel();
    std::string content;
    for (int i = 0; i < 10000; ++i) content += "TRACEFLAG x\r\n";
    std::wstring message;
    EXPECT_EQ(readText(m.get(), content, message), OFE_SYNTAX_ERROR);
    EXPECT_NE(message.find(L"on line 257 of"), std::wstring::npos);
    EXPECT_EQ(m->verbatim.size(), kVerbatimCapacity);
}

TEST(ReadServerOptions, MalformedInputGivesClearCodes) {
    std::mt19937 random(7);
    std::vector<std::string> corpus;
    for (int n = 0; n < 50; ++n) {
        std::string bytes(1 + random() % 3000, '\0');
        for (auto& b : bytes) b = char(random() % 256);
        corpus.push_back(bytes);
    }
    for (const wchar_t* row : {L"MAXS", L"MIRRORR", L"IPXP", L"FILEEX", L"USEREX", L"COMMM", L"SNMPSUBAGENTHOST",
                               L"NAME", L"EVXH", L"LANA", L"VOLUMEH", L"8120SHARED"})
        for (std::size_t len = 1; len <= std::wcslen(row); ++len)
            corpus.push_back(narrowAscii(std::wstring(row, len)) + " \r\n" + narrowAscii(std::wstring(row, len)) + "\n");
    corpus.push_back(std::string(100000, 'T'));
    corpus.push_back("TRACE " + std::string(100000, 'x') + "\n");
    corpus.push_back(std::string(20000, '\n'));
    corpus.push_back(std::string("MAXS 1\0 2\r\n", 11));
    for (const auto& content : corpus) {
        for (bool readFailed : {false, true}) {
            auto m = freshModel();
            std::wstring message;
            OfeCode rc = readText(m.get(), content, message, readFailed);
            EXPECT_TRUE(rc == 0 || rc == OFE_SYNTAX_ERROR || rc == OFE_READ_ERROR) << rc;
            EXPECT_EQ(rc == OFE_SYNTAX_ERROR, !message.empty());
            EXPECT_LE(m->verbatim.size(), kVerbatimCapacity);
            for (int l = 0; l < kListOptionCount; ++l) EXPECT_LE(m->lists[l].size(), 8u);
        }
    }
}

TEST(InstalledProtocolsProbe, FirstMatchingNameDecides) {
    InstalledProtocols p;
    for (const wchar_t* name : {L"MSAFD Tcpip [TCP/IP]", L"SPX II", L"IPX", L"NwlnkNb", L"NetBT", L"Nbf x"})
        NoteInstalledProtocol(p, name);
    EXPECT_EQ(p, (InstalledProtocols{1, 1, 1, 1, 1}));
    InstalledProtocols q;
    NoteInstalledProtocol(q, L"NetBT over IPX");
    EXPECT_EQ(q, (InstalledProtocols{0, 1, 0, 0, 0}));
}
