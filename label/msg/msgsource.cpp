#include "msgsource.h"
#include "label/msgrepo.h"
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <sstream>

bool msgParseSource(const std::string& source, std::vector<MsgSource>& out, std::string& error)
{
    std::istringstream in(source);
    std::string line;
    int lineNo = 0;
    out.clear();
    while (std::getline(in, line)) {
        lineNo++;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty() || line[0] == '#')
            continue;
        const std::string where = "line " + std::to_string(lineNo) + ": ";
        char* end = nullptr;
        unsigned long num = std::strtoul(line.c_str(), &end, 10);
        if (end == line.c_str() || *end != ' ' || num > 32767) {
            error = where + "expected a message number";
            return false;
        }
        int sev = end[1] ? msgSeverityOfLetter(end[1]) : -1;
        if (sev < 0 || sev > 7 || (end[2] != ' ' && end[2] != '\0')) {
            error = where + "expected a severity letter of " + msgSevCodes;
            return false;
        }
        MsgSource m{(unsigned)num, sev, end[2] ? std::string(end + 3) : std::string()};
        for (const MsgSource& o : out)
            if (o.num == m.num) {
                error = where + "message " + std::to_string(num) + " is there twice";
                return false;
            }
        char body[MSG_BODY_SIZE];
        size_t len = 0;
        msgBodyT b;
        char sig[64];
        if (msgPreParse(m.text.c_str(), body, sizeof body, &len) != MSG_OK
            || msgParseBody(body, len, &b) != MSG_OK || msgSignature(&b, sig, sizeof sig) != MSG_OK) {
            error = where + "bad insert in message " + std::to_string(num);
            return false;
        }
        const char* expected = msgExpectedSignature(m.num);
        if (strcmp(sig, expected ? expected : "") != 0) {
            error = where + "message " + std::to_string(num) + " takes inserts \"" + sig
                  + "\", the program passes \"" + (expected ? expected : "") + "\"";
            return false;
        }
        out.push_back(m);
    }
    return true;
}

std::vector<unsigned> msgMissingNumbers(const std::vector<MsgSource>& msgs)
{
    std::vector<unsigned> missing;
    for (unsigned n = 0; n <= 32767; n++) {
        if (!msgExpectedSignature(n))
            continue;
        bool found = std::any_of(msgs.begin(), msgs.end(), [n](const MsgSource& m) { return m.num == n; });
        if (!found)
            missing.push_back(n);
    }
    return missing;
}

bool msgBuildStandard(const std::vector<MsgSource>& msgs, std::string& image, std::string& error)
{
    std::vector<std::string> bodies(msgs.size());
    std::vector<msgEntryT> entries(msgs.size());
    for (size_t i = 0; i < msgs.size(); i++) {
        char body[MSG_BODY_SIZE];
        size_t len = 0;
        if (msgPreParse(msgs[i].text.c_str(), body, sizeof body, &len) != MSG_OK) {
            error = "message " + std::to_string(msgs[i].num) + " cannot be converted";
            return false;
        }
        bodies[i].assign(body, len);
        entries[i] = {msgs[i].num, msgs[i].severity, bodies[i].data(), bodies[i].size()};
    }
    unsigned char* img = nullptr;
    size_t size = 0;
    if (msgBuildRepository(entries.data(), entries.size(), 4095, &img, &size) != MSG_OK) {
        error = "repository cannot be built";
        return false;
    }
    image.assign((const char*)img, size);
    std::free(img);
    return true;
}

static void put32(std::string& s, unsigned v)
{
    for (int i = 0; i < 4; i++)
        s += (char)(v >> (8 * i));
}

bool msgBuildTable(const std::vector<MsgSource>& msgs, std::string& image, std::string& error)
{
    std::vector<MsgSource> sorted = msgs;
    std::sort(sorted.begin(), sorted.end(), [](const MsgSource& a, const MsgSource& b) { return a.num < b.num; });
    // Runs of consecutive numbers form the table's blocks.
    std::vector<std::pair<size_t, size_t>> runs;
    for (size_t i = 0; i < sorted.size(); i++) {
        if (!runs.empty() && sorted[i].num == sorted[runs.back().second - 1].num + 1)
            runs.back().second = i + 1;
        else
            runs.push_back({i, i + 1});
    }
    std::string entries;
    std::vector<unsigned> offsets;
    size_t head = 4 + 12 * runs.size();
    for (const auto& r : runs) {
        offsets.push_back((unsigned)(head + entries.size()));
        for (size_t i = r.first; i < r.second; i++) {
            char prefix[MSG_PREFIX_LEN + 1];
            msgPrefix(prefix, sorted[i].num, sorted[i].severity);
            std::string text = std::string(prefix) + sorted[i].text + "\r\n";
            text += '\0';
            while ((text.size() + 4) % 4)
                text += '\0';
            if (text.size() + 4 > 0xFFFF) {
                error = "message " + std::to_string(sorted[i].num) + " is too long";
                return false;
            }
            unsigned len = (unsigned)text.size() + 4;
            entries += (char)len;
            entries += (char)(len >> 8);
            entries += '\0';
            entries += '\0';   // flags 0: single-byte text
            entries += text;
        }
    }
    image.clear();
    put32(image, (unsigned)runs.size());
    for (size_t k = 0; k < runs.size(); k++) {
        put32(image, sorted[runs[k].first].num);
        put32(image, sorted[runs[k].second - 1].num);
        put32(image, offsets[k]);
    }
    image += entries;
    return true;
}
