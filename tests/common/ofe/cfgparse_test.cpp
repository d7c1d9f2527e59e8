// kvtcfg's setup file reader (single-byte, as kvtcfg builds it).
#include <gtest/gtest.h>
#include "common/ofe/cfgparse.h"
#include <random>

using namespace ofe;

static OptString asIs(std::string_view b) { return OptString(b); }

static OptCode readSetup(const std::string& content, ClientConfig& c, OptString& message,
                         bool readFailed = false) {
    return ReadSetupText(content, readFailed, "c:\\cfg\\site.cfg", asIs, c, message);
}

struct LineCase {
    const char* line;
    OptCode rc;
    std::function<bool(const ClientConfig&)> check;
};

class SetupLine : public testing::TestWithParam<LineCase> {};

TEST_P(SetupLine, ParsesAsKvtcfgExpects) {
    ClientConfig c;
    c.uCommMethod = 9;
    c.iAttachBaseOptions = 1;
    EXPECT_EQ(ParseSetupLine(GetParam().line, c), GetParam().rc) << GetParam().line;
    EXPECT_TRUE(GetParam().check(c)) << GetParam().line;
}

static auto any = [](const ClientConfig&) { return true; };

INSTANTIATE_TEST_SUITE_P(Lines, SetupLine, testing::Values(
    LineCase{"commmethod=tcpip", 0, [](const ClientConfig& c) { return c.uCommMethod == CLIENT_TCPIP; }},
    LineCase{"COMMMETHOD=named pipe, namedpipe", 0, [](const ClientConfig& c) { return c.uCommMethod == CLIENT_NAMEDPIPE; }},
    LineCase{"COMMMETHOD=tcp", OPT_INVALID_ARGUMENT, any},
    LineCase{"TCPPORT = 1500", 0, [](const ClientConfig& c) { return fieldText(c.szTcpPort) == " 1500"; }},
    LineCase{"TCPPORT 1500", OPT_NO_EQUALS, any},
    LineCase{"tcpserveraddress=", 0, [](const ClientConfig& c) { return c.szTcpServerAddress[0] == 0; }},
    LineCase{"NODENAME=mine", OPT_UNKNOWN_KEYWORD, any},
    LineCase{" TCPPORT=1", OPT_UNKNOWN_KEYWORD, any},
    LineCase{"* note=this", 0, any},
    LineCase{"IF_OPTIONS_EXIST=please replace", 0, [](const ClientConfig& c) { return c.iIfOptionsExist == 1; }},
    LineCase{"if_options_exist=keep", OPT_INVALID_ARGUMENT, any},
    LineCase{"BASE_KVT_OPT_FILENAME", OPT_NO_EQUALS, [](const ClientConfig& c) { return c.iAttachBaseOptions == 0; }},
    LineCase{"base_kvt_opt_filename=b.opt", 0, [](const ClientConfig& c) { return fieldText(c.szBaseOptionsFile) == "b.opt"; }},
    LineCase{"LANADAPTER=12", 0, [](const ClientConfig& c) { return c.uLanAdapter == 12; }},
    LineCase{"IPXSERVERADDRESS=0001:00a0", 0, [](const ClientConfig& c) {
        return fieldText(c.szIpxServerAddress) == "0001:00a0" && !c.szIpxNetworkPrefix[0]; }},
    LineCase{"netbiosservername=QSRV", 0, [](const ClientConfig& c) { return fieldText(c.szNetbiosServerName) == "QSRV"; }},
    LineCase{"INSTRUCTIONS=call first", 0, [](const ClientConfig& c) { return fieldText(c.szAdminNotes) == "call first"; }}));

// A value is never cut to fit its field: the line is reported.
TEST(SetupLineValues, LongerThanTheFieldIsAnError) {
    ClientConfig c;
    EXPECT_EQ(ParseSetupLine("TCPSERVERADDRESS=" + std::string(63, 'a'), c), 0);
    EXPECT_EQ(ParseSetupLine("TCPSERVERADDRESS=" + std::string(64, 'b'), c), OPT_INVALID_ARGUMENT);
    EXPECT_EQ(fieldText(c.szTcpServerAddress), std::string(63, 'a'));
}

TEST(ReadSetup, ErrorOnLineSevenShowsTheContactReadBefore) {
    const std::string lines = "*====\r\n**\r\nif_options_exist=update\r\nqora_admin_contact=Ann at 42\r\n"
                              "commmethod=TCPIP\r\ntcpport=1500\r\ntcpserveraddress\r\n";
    ClientConfig c;
    OptString message;
    EXPECT_EQ(readSetup(lines, c, message), OPT_NO_EQUALS);
    EXPECT_EQ(message, "There is a syntax error on line 7 of the setup file:\n\nc:\\cfg\\site.cfg\n\n"
                       "Line Contents:\n\ntcpserveraddress\n\nYou will need to correct the error before "
                       "continuing.\n\nYou may want to contact your QORA system administrator Ann at 42for help.");
    ClientConfig d;
    EXPECT_EQ(readSetup("bogus=1\nqora_admin_contact=Ann\n", d, message), OPT_UNKNOWN_KEYWORD);
    EXPECT_NE(message.find("administrator for help."), std::string::npos);
}

TEST(ReadSetup, LineEndsDoNotMatterAndLaterLinesWin) {
    const std::string lf = "commmethod=NETBIOS\ncommmethod=ipxspx\nipxsocket=8522\nipxserveraddress=x\n";
    std::string crlf;
    for (char ch : lf) crlf += ch == '\n' ? std::string("\r\n") : std::string(1, ch);
    ClientConfig a, b;
    OptString message;
    ASSERT_EQ(readSetup(lf, a, message), 0);
    ASSERT_EQ(readSetup(crlf, b, message), 0);
    EXPECT_EQ(a.uCommMethod, CLIENT_IPXSPX);
    EXPECT_EQ(fieldText(a.szIpxSocket), fieldText(b.szIpxSocket));
    EXPECT_EQ(fieldText(b.szIpxServerAddress), "x");
}

TEST(ReadSetup, ReadErrorAndOverlongLines) {
    ClientConfig c;
    OptString message;
    EXPECT_EQ(readSetup("tcpport=1\ntcpserveraddress=partial", c, message, true), OPT_READ_ERROR);
    EXPECT_EQ(message, "Error reading file: c:\\cfg\\site.cfg Processing will not continue\n");
    EXPECT_EQ(fieldText(c.szTcpPort), "1");
    EXPECT_FALSE(c.szTcpServerAddress[0]);

    std::string content = "* " + std::string(100000, 'c') + "\ninstructions=" + std::string(600, 'i') +
                          "tcpport=9\n";
    EXPECT_EQ(readSetup(content, c, message), OPT_INVALID_ARGUMENT);
    EXPECT_NE(message.find("on line 2 of"), std::string::npos);
    EXPECT_EQ(fieldText(c.szTcpPort), "1");
}

TEST(ReadSetup, MalformedInputGivesClearCodes) {
    std::mt19937 random(11);
    std::vector<std::string> corpus;
    for (int n = 0; n < 50; ++n) {
        std::string bytes(1 + random() % 3000, '\0');
        for (auto& b : bytes) b = char(random() % 256);
        corpus.push_back(bytes);
    }
    for (std::string keyword : {"IF_OPTIONS_EXIST", "COMMMETHOD", "BASE_KVT_OPT_FILENAME", "QORA_ADMIN_CONTACT"})
        for (std::size_t len = 1; len <= keyword.size(); ++len) corpus.push_back(keyword.substr(0, len) + "=\n");
    corpus.push_back(std::string(100000, 'Q'));
    std::string many;
    for (int i = 0; i < 10000; ++i) many += "tcpport=" + std::to_string(i) + "\n";
    corpus.push_back(many);
    for (const auto& content : corpus) {
        ClientConfig c;
        OptString message;
        OptCode rc = readSetup(content, c, message);
        EXPECT_TRUE(rc == 0 || rc == OPT_NO_EQUALS || rc == OPT_INVALID_ARGUMENT || rc == OPT_UNKNOWN_KEYWORD) << rc;
        EXPECT_EQ(rc != 0, !message.empty());
    }
    ClientConfig c;
    OptString message;
    EXPECT_EQ(readSetup(many, c, message), 0);
    EXPECT_EQ(fieldText(c.szTcpPort), "9999");
}

// What the utilities program writes for a remote client, kvtcfg reads back.
TEST(ReadSetup, ReadsWhatSaveSetupFileWrites) {
    ClientConfig written;
    written.iIfOptionsExist = IF_EXIST_CANCEL;
    written.uCommMethod = CLIENT_NETBIOS;
    setField(written.szNetbiosName, "detect");
    setField(written.szNetbiosServerName, "QSRV");
    written.uLanAdapter = 3;
    written.iAttachBaseOptions = 1;
    setField(written.szBaseOptionsFile, "base.opt");
    setField(written.szAdminContact, "Ann");
    setField(written.szAdminNotes, std::string(2000, 'n').c_str());
    OptString text;
    ASSERT_EQ(BuildSetupFileText(written, "Thu Jan 01 00:00:00 1970", text), 0);
    ClientConfig read;
    OptString message;
    ASSERT_EQ(readSetup(text, read, message), 0) << message;
    EXPECT_EQ(read.iIfOptionsExist, IF_EXIST_CANCEL);
    EXPECT_EQ(read.uCommMethod, CLIENT_NETBIOS);
    EXPECT_EQ(fieldText(read.szNetbiosName), "detect");
    EXPECT_EQ(read.uLanAdapter, 3u);
    EXPECT_EQ(fieldText(read.szBaseOptionsFile), "base.opt");
    EXPECT_EQ(fieldText(read.szAdminContact), "Ann");
    EXPECT_FALSE(read.szAdminNotes[0]);
}
