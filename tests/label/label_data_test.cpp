// Label formats, format tables and the message repository, without devices.
#include <gtest/gtest.h>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>
#include "label/utils.h"
#include "label/dtsformat.h"
#include "label/msgrepo.h"
#include "label/msg/msgsource.h"

namespace {

TEST(Ebcdic, TablesAreInverseAndFollowTheExceptions)
{
    for (int i = 0; i < 256; i++) {
        unsigned char c = (unsigned char)i;
        ConvertToEbcdic(&c, 1);
        ConvertToAscii(&c, 1);
        EXPECT_EQ(c, i);
    }
    struct { unsigned char ascii, ebcdic; } cases[] = {
        {0x1C, 0x22}, {0x1E, 0x35}, {'[', 0xAD}, {']', 0xBD}, {'^', 0x5F},
        {'A', 0xC1}, {'I', 0xC9}, {'J', 0xD1}, {'R', 0xD9}, {'S', 0xE2}, {'Z', 0xE9},
        {'a', 0x81}, {'s', 0xA2}, {'z', 0xA9}, {'0', 0xF0}, {'9', 0xF9}, {' ', 0x40}, {0, 0},
    };
    for (auto c : cases) {
        unsigned char b = c.ascii;
        ConvertToEbcdic(&b, 1);
        EXPECT_EQ(b, c.ebcdic) << "ascii " << (int)c.ascii;
    }
}

TEST(Vol1, RecordLayoutAndShortNames)
{
    unsigned char r[80];
    labBuildVol1("ABCD", r);
    ConvertToAscii(r, 80);
    EXPECT_EQ(std::string((char*)r, 80), "VOL1ABCD" + std::string(72, ' '));
    labBuildVol1("ABCD", r);
    char name[7];
    ASSERT_TRUE(labParseVol1(r, 80, name));
    EXPECT_STREQ(name, "ABCD");
    EXPECT_FALSE(labParseVol1(r, 79, name));
    r[0] = 0x40;
    EXPECT_FALSE(labParseVol1(r, 80, name));
}

#ifndef _WIN32
// A decoder we did not write reads the record back.
TEST(Vol1, DdDecodesTheRecord)
{
    unsigned char r[80];
    labBuildVol1("VOL042", r);
    char path[] = "/tmp/vol1XXXXXX";
    int fd = mkstemp(path);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(write(fd, r, 80), 80);
    close(fd);
    std::string cmd = std::string("dd if=") + path + " conv=ascii status=none";
    FILE* p = popen(cmd.c_str(), "r");
    ASSERT_NE(p, nullptr);
    char out[81] = {};
    size_t n = fread(out, 1, 80, p);
    pclose(p);
    unlink(path);
    ASSERT_EQ(n, 80u);
    EXPECT_EQ(std::string(out, 80), "VOL1VOL042" + std::string(70, ' '));
}
#endif

TEST(OpticalSector, LayoutPerSide)
{
    unsigned char s[OPT_SECTOR_SIZE];
    std::string name32(32, 'N');
    for (int side = 0; side < 2; side++) {
        labBuildOpticalSector(name32.c_str(), side, s);
        EXPECT_EQ(std::string((char*)s, 8), "$QORA$00");
        EXPECT_EQ(std::string((char*)s + 8, 8), std::string("1.0\0\0\0\0\0", 8));
        EXPECT_EQ(std::string((char*)s + 16, 32), name32);
        EXPECT_EQ(std::string((char*)s + 48, 32), std::string(32, '\0'));
        EXPECT_EQ(s[80], side);
        EXPECT_EQ(std::string((char*)s + 81, 4), std::string("\x00\x00\x28\x00", 4));
        EXPECT_EQ(std::string((char*)s + 85, 1963), std::string(1963, '\0'));
        char back[33];
        ASSERT_TRUE(labParseOpticalSector(s, sizeof s, back));
        EXPECT_EQ(back, name32);
    }
}

TEST(FormatChoice, Table)
{
    const uint32_t NONE = DTS_NO_FORMAT;
    struct { const char* kind; uint32_t group, w; int m; uint32_t expect; } cases[] = {
        {"8mm", 1, 0x400 | 0x100, 367, 0x400},
        {"8mm", 1, 0x100, 300, 0x100},
        {"8mm", 1, 0x100, 367, NONE},
        {"8mm", 1, 0x1000, 368, 0x1000},
        {"8mm", 1, 0, 310, 0x100000},
        {"8mm", 1, 0x1000, 300, NONE},
        {"dlt", 4, 0x80000000, 356, 0x40000000},
        {"dlt", 4, 0x40000000, 356, 0x40000000},
        {"dlt", 4, 0x3FFFFFFF, 356, 0x01000000},
        {"dlt", 4, 0xC0000000, 355, 0x01000000},
        {"qic", 3, 0x1C000, 323, 0x4000},
        {"qic", 3, 0x18000, 323, 0x8000},
        {"qic", 3, 0xFFFFFFFF, 353, 0x04000000},
        {"qic", 3, 0xFFFFFFFF, 999, NONE},
        {"qic", 3, 0x00020000, 331, NONE},
        {"qic", 5, 0, 999, 0x4000},
        {"ecart", 14, 0xFFFFFFFF, 373, 0x02000000},
        {"ecart", 14, 0x00001000, 377, 0x00001000},
        {"ecart", 14, 0x00001000, 373, NONE},
        {"ecart", 2, 0, 0, 0},
    };
    for (auto c : cases) {
        std::string k = c.kind;
        uint32_t got = k == "8mm" ? emmChooseFormat(c.w, c.m)
                     : k == "dlt" ? dltChooseFormat(c.w, c.m)
                     : k == "qic" ? qicChooseFormat(c.group, c.w, c.m)
                                  : ecartChooseFormat(c.group, c.w, c.m);
        EXPECT_EQ(got, c.expect) << k << " w=" << std::hex << c.w << " m=" << std::dec << c.m;
    }
}

TEST(MessagePrefix, NumberRanges)
{
    char p[MSG_PREFIX_LEN + 1];
    msgPrefix(p, 9722, 2);
    EXPECT_STREQ(p, "ANR9722I ");
    msgPrefix(p, 10005, 4);
    EXPECT_STREQ(p, "ANE0005E ");
    msgPrefix(p, 20000, 3);
    EXPECT_STREQ(p, "ANR4e20W ");
    msgPrefix(p, 7, 9);
    EXPECT_STREQ(p, "ANR0007D ");
}

std::vector<std::string> wrap(const std::string& text)
{
    std::vector<std::string> lines;
    msgWrap(text.c_str(), MSG_LINE_WIDTH,
            [](const char* l, size_t n, void* ctx) {
                ((std::vector<std::string>*)ctx)->emplace_back(l, n);
            },
            &lines);
    return lines;
}

TEST(MessageWrap, Cases)
{
    std::string x79(79, 'x'), x80(80, 'x');
    struct { std::string text; std::vector<std::string> lines; } cases[] = {
        {x79, {x79}},
        {x80, {std::string(78, 'x') + "-", "xx"}},
        {x79 + " next", {x79, "next"}},
        {x79 + "   next", {x79, "next"}},
        {"one~  two", {"one", "  two"}},
        {"a~~b", {"a", "", "b"}},
        {std::string(70, 'y') + ",yyyyyyyyyyyyyy", {std::string(70, 'y') + ",", "yyyyyyyyyyyyyy"}},
        {std::string(50, 'y') + " " + std::string(40, 'z'), {std::string(50, 'y') + " ", std::string(40, 'z')}},
        {"", {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(wrap(c.text), c.lines) << c.text;
}

std::string format(const std::string& body, const char* prefix, ...)
{
    msgBodyT b;
    EXPECT_EQ(msgParseBody(body.data(), body.size(), &b), MSG_OK);
    char out[MSG_TEXT_SIZE];
    va_list ap;
    va_start(ap, prefix);
    msgFormat(&b, prefix, ap, out, sizeof out);
    va_end(ap);
    return out;
}

std::string preParse(const char* text, int expectRc = MSG_OK)
{
    char body[MSG_BODY_SIZE];
    size_t len = 0;
    EXPECT_EQ(msgPreParse(text, body, sizeof body, &len), expectRc) << text;
    return expectRc == MSG_OK ? std::string(body, len) : std::string();
}

TEST(MessageBody, FormsAndInserts)
{
    std::string rising = preParse("Drive @1%s holds @2%-6s.");
    EXPECT_EQ(rising, "\x01" "Drive %s holds %-6s.");
    EXPECT_EQ(format(rising, "ANR9725E ", "D1", "V1"), "ANR9725E Drive D1 holds V1    .");

    std::string ordered = preParse("Vol @2%s in @1%s, @3%*d@@");
    EXPECT_EQ(ordered[0], 2);
    char sig[16];
    msgBodyT b;
    ASSERT_EQ(msgParseBody(ordered.data(), ordered.size(), &b), MSG_OK);
    ASSERT_EQ(msgSignature(&b, sig, sizeof sig), MSG_OK);
    EXPECT_STREQ(sig, "ssii");
    EXPECT_EQ(format(ordered, "", "drv", "vol", 4, 7), "Vol vol in drv,    7@@");
    EXPECT_EQ(format(ordered, "", (const char*)nullptr, "vol", 1, 2), "Vol vol in UNKNOWN, 2@@");

    preParse("@9%s", MSG_ERR_INSERT_SYNTAX);
    preParse("@x", MSG_ERR_INSERT_SYNTAX);
    preParse("@1%***d", MSG_ERR_ASTERISKS);
    preParse("@1%lf", MSG_ERR_LONG_DOUBLE);
    preParse("@1%s @1%s", MSG_ERR_INSERT_SYNTAX);
    preParse("@2%s", MSG_ERR_INSERT_SYNTAX);
}

TEST(MessageBody, DangerousConversionsAreRefused)
{
    msgBodyT b;
    for (const char* t : {"\x01" "%n", "\x01" "%S", "\x01" "%Lf", "\x01" "%s%s%s%s%s%s%s%s%s", "\x01" "%"})
        EXPECT_NE(msgParseBody(t, strlen(t), &b), MSG_OK) << t + 1;
}

std::string sourceText(const char* rel)
{
    std::ifstream in(std::string(QORA_SOURCE_DIR) + rel, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

TEST(MessageSource, EnglishCoversEveryMessageAndBuilds)
{
    std::vector<MsgSource> msgs;
    std::string error, image;
    ASSERT_TRUE(msgParseSource(sourceText("label/msg/kvtameng.msg"), msgs, error)) << error;
    EXPECT_TRUE(msgMissingNumbers(msgs).empty());
    ASSERT_TRUE(msgBuildStandard(msgs, image, error)) << error;
    ASSERT_TRUE(msgParseSource(sourceText("label/msg/qoranls_de.msg"), msgs, error)) << error;
    ASSERT_TRUE(msgBuildTable(msgs, image, error)) << error;
}

TEST(MessageSource, RefusesTextsTheProgramCannotFill)
{
    struct { const char* line; } bad[] = {
        {"9725 E Drive @1%d holds @2%s"},   // the program passes a text first
        {"9745 E Tracing @1%s"},            // no inserts expected
        {"9725 Q Drive @1%s holds @2%s"},   // no such severity
        {"x E text"},
        {"9720 I a\n9720 I b"},
    };
    for (auto b : bad) {
        std::vector<MsgSource> msgs;
        std::string error;
        EXPECT_FALSE(msgParseSource(b.line, msgs, error)) << b.line;
    }
}

// Repository image with `segmentMax` split bodies, read back through a file.
struct Repo {
    std::string image;
    std::string read(unsigned num, int* rc, int* sev = nullptr)
    {
        FILE* f = tmpfile();
        fwrite(image.data(), 1, image.size(), f);
        rewind(f);
        char body[MSG_BODY_SIZE];
        size_t len = 0;
        int last = 0;
        *rc = msgReadStandard(f, num, body, sizeof body, &len, nullptr, &last);
        fclose(f);
        if (sev)
            *sev = last;
        return *rc == MSG_OK ? std::string(body, len) : std::string();
    }
};

Repo build(const std::vector<msgEntryT>& entries, size_t segmentMax)
{
    unsigned char* img = nullptr;
    size_t size = 0;
    EXPECT_EQ(msgBuildRepository(entries.data(), entries.size(), segmentMax, &img, &size), MSG_OK);
    Repo r{std::string((char*)img, size)};
    free(img);
    return r;
}

TEST(Repository, JoinsSegmentsAndReportsMissingNumbers)
{
    std::string long1 = "\x01" + std::string(300, 'a');
    Repo r = build({{9720, 2, long1.data(), long1.size()}, {10005, 4, "\x01" "x", 2}}, 100);
    int rc, sev;
    EXPECT_EQ(r.read(9720, &rc, &sev), "ANR9720I " + long1);
    EXPECT_EQ(sev, 2);
    EXPECT_EQ(r.read(10005, &rc), "ANE0005E \x01" "x");
    r.read(9721, &rc);
    EXPECT_EQ(rc, MSG_ERR_INDEX);
    r.read(30000, &rc);
    EXPECT_EQ(rc, MSG_ERR_INDEX);
}

void fillV(const msgBodyT* b, char* out, ...)
{
    va_list ap;
    va_start(ap, out);
    msgFormat(b, "", ap, out, MSG_TEXT_SIZE);
    va_end(ap);
}

// Fills a body with arguments of the kinds its signature names.
std::string fill(const msgBodyT* b, const std::string& sig)
{
    char out[MSG_TEXT_SIZE];
    if (sig == "") fillV(b, out);
    else if (sig == "s") fillV(b, out, "a");
    else if (sig == "ss") fillV(b, out, "a", "b");
    else if (sig == "i") fillV(b, out, 1);
    else if (sig == "isi") fillV(b, out, 1, "b", 3);
    else if (sig == "sii") fillV(b, out, "a", 2, 3);
    else return "unhandled " + sig;
    return out;
}

TEST(Repository, DamagedFilesGiveErrorsNeverOverruns)
{
    std::vector<MsgSource> msgs;
    std::string error, image;
    ASSERT_TRUE(msgParseSource(sourceText("label/msg/kvtameng.msg"), msgs, error)) << error;
    ASSERT_TRUE(msgBuildStandard(msgs, image, error));
    const unsigned nums[] = {9717, 9725, 9748, 9773, 9745};
    unsigned seed = 12345;
    int readable = 0, refused = 0;
    for (int round = 0; round < 400; round++) {
        Repo r{image};
        for (int k = 0; k < 1 + round % 6; k++) {
            seed = seed * 1103515245u + 12345u;
            size_t at = (seed >> 8) % r.image.size();
            seed = seed * 1103515245u + 12345u;
            r.image[at] = (char)(seed >> 16);
        }
        if (round % 7 == 0)
            r.image.resize((seed >> 4) % r.image.size());
        for (unsigned n : nums) {
            int rc;
            std::string body = r.read(n, &rc);
            msgBodyT b;
            char sig[64];
            if (rc != MSG_OK || body.size() < MSG_PREFIX_LEN
                || msgParseBody(body.data() + MSG_PREFIX_LEN, body.size() - MSG_PREFIX_LEN, &b) != MSG_OK
                || msgSignature(&b, sig, sizeof sig) != MSG_OK
                || strcmp(sig, msgExpectedSignature(n)) != 0) {
                refused++;
                continue;
            }
            std::string out = fill(&b, sig);
            EXPECT_LT(out.size(), (size_t)MSG_TEXT_SIZE);
            readable++;
        }
    }
    EXPECT_GT(refused, 0);
    EXPECT_GT(readable, 0);
}

}  // namespace
