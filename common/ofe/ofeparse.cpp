#include "common/ofe/ofeparse.h"
#include "common/cmd/optfiles.h"
#include "common/ofe/textlines.h"
#include <climits>
#include <new>

namespace ofe {
namespace {

struct NumericDefault { int id; std::int32_t minimum, maximum, value; };

constexpr std::int32_t kMaxInt = INT32_MAX;
using Id = ServerOptionId;
constexpr int I(Id id) { return static_cast<int>(id); }

constexpr NumericDefault kNumericDefaults[] = {
    {I(Id::MAX_SESSIONS), 2, kMaxInt, 25},      {I(Id::BUF_POOLSIZE), 256, kMaxInt, 2048},
    {I(Id::LOG_POOLSIZE), 128, kMaxInt, 512},   {I(Id::COMM_TIMEOUT), 0, kMaxInt, 60},
    {I(Id::IDLE_TIMEOUT), 0, kMaxInt, 15},      {I(Id::DATE_FMT), 1, 5, 1},
    {I(Id::TIME_FMT), 1, 4, 1},                 {I(Id::NUMBER_FMT), 1, 6, 1},
    {I(Id::TXN_GROUP), 4, 256, 40},             {I(Id::DB_MIRRORREAD), 0, 1, 0},
    {I(Id::LOG_MIRRORREAD), 0, 1, 0},           {I(Id::DB_MIRRORWRITE), 0, 1, 0},
    {I(Id::LOG_MIRRORWRITE), 0, 1, 1},          {I(Id::EXP_INTERVAL), 0, 336, 24},
    {I(Id::TCPIP), 1024, 32767, 1500},          {I(Id::SNA_BUFFSIZE), 1, 31, 15},
    {I(Id::NETB_BUFFSIZE), 1, 32, 32},          {I(Id::IPX_BUFFSIZE), 1, 32, 32},
    {I(Id::IPX_SOCKET), 0, 65535, 0x8522},      {I(Id::NETB_SESSIONS), 1, 255, 25},
    {I(Id::EOT_BLOCK), 0, kMaxInt, 0},          {I(Id::TCPWINDOW_KB), 0, 64, 0},
    {I(Id::MSG_INTERVAL), 1, 9999, 1},          {I(Id::ENABLE_8140), 0, 1, 1},
    {I(Id::MOVE_BATCH_SIZE), 1, 1000, 40},      {I(Id::MOVE_SIZE_THRESH), 1, 500, 500},
    {I(Id::STATUS_MSG_COUNT), 1, 1024, 1},      {I(Id::MESSAGE_FORMAT), 1, 2, 1},
    {I(Id::SHMEM_PROTOCOL), 1024, 32767, 1510}, {I(Id::TCPNODELAY), 0, 1, 0},
    {I(Id::NP_BUFFSIZE), 0, 512, 8},            {I(Id::EXP_QUIET), 0, 1, 1},
    {I(Id::NO_AUDIT_STORAGE), 0, 1, 1},         {I(Id::RESTORE_INTERVAL), 0, 10080, 1440},
    {I(Id::HTTP_PORT), 1, 32767, 1580},         {I(Id::SNMP_HEARTBEAT), 0, 1440, 5},
    {I(Id::SNMP_SUBAGENT_PORT), 1000, 32767, 1521}, {I(Id::USE_LARGE_BUFFERS), 0, 1, 1},
    {I(Id::FILEEXIT_PRESENT), 0, 1, 0},         {I(Id::FILEEXIT_START), 0, 1, 0},
    {I(Id::FILEEXIT_MODE), 0, 2, 2},            {I(Id::USEREXIT_PRESENT), 0, 1, 0},
    {I(Id::USEREXIT_START), 0, 1, 0},           {I(Id::EVX_PRESENT), 0, 1, 0},
    {I(Id::EVX_PORT), 0, 32767, 1},             {I(Id::SECURE_PIPES), 0, 1, 0},
    {I(Id::NP_AUDIT_SUCCESS), 0, 1, 0},         {I(Id::NP_AUDIT_FAILURE), 0, 1, 0},
    {I(Id::HTTPS_PORT), 1, 32767, 1543},        {I(Id::DISABLE_SCHEDS), 0, 1, 0},
    {I(Id::NO_PREEMPT), 0, 1, 0},               {I(Id::EVENT_SERVER), 0, 1, 1},
    {I(Id::REQ_SYS_AUTH), 0, 1, 1},             {I(Id::IPX_PROTOCOL), 0, 1, 1},
    {I(Id::SHARED_8120), 0, 1, 1},
};

struct TextDefault { std::size_t capacity; const wchar_t* value; };  // null value: local host
constexpr TextDefault kTextDefaults[kTextOptionCount] = {
    {255, L"QORAPIPE"}, {16, L"AMENG"}, {15, L"APINGDLOCAL"}, {64, nullptr}, {64, nullptr},
    {256, L"qoraserver"}, {255, L"fileexit.log"}, {255, L"dllname.dll"}, {255, L"dllmodulename"},
};

struct ListLimits { std::size_t capacity, entryLength; };
constexpr ListLimits kListLimits[kListOptionCount] = {{4, 17}, {4, 1}, {4, 9}, {8, 511}, {8, 511}};

bool validNumeric(Id id) { return I(id) >= 0 && I(id) < kNumericOptionCount; }
bool validText(TextOptionId id) { return static_cast<int>(id) >= 0 && static_cast<int>(id) < kTextOptionCount; }
bool validList(ListOptionId id) { return static_cast<int>(id) >= 0 && static_cast<int>(id) < kListOptionCount; }

wchar_t upperChar(wchar_t c) {
    if ((c >= L'a' && c <= L'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7)) return wchar_t(c - 0x20);
    return c;
}
std::wstring upper(std::wstring_view s) {
    std::wstring u(s);
    for (auto& c : u) c = upperChar(c);
    return u;
}
bool startsWith(std::wstring_view s, std::wstring_view prefix) {
    return s.substr(0, prefix.size()) == prefix;
}
bool equalsNoCase(std::wstring_view a, std::wstring_view b) { return upper(a) == upper(b); }

// Signed decimal as the C library reads it, held to 32 bits.
std::int32_t readNumber(std::wstring_view s) {
    std::size_t i = 0;
    while (i < s.size() && (s[i] == L' ' || s[i] == L'\t')) ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == L'+' || s[i] == L'-')) negative = s[i++] == L'-';
    long long v = 0;
    for (; i < s.size() && s[i] >= L'0' && s[i] <= L'9'; ++i) {
        v = v * 10 + (s[i] - L'0');
        if (v > 1LL + INT32_MAX) v = 1LL + INT32_MAX;
    }
    if (negative) v = -v;
    if (v > INT32_MAX) return INT32_MAX;
    if (v < INT32_MIN) return INT32_MIN;
    return static_cast<std::int32_t>(v);
}

bool readHex4(std::wstring_view s, std::int32_t& out) {
    if (s.size() != 4) return false;
    std::int32_t v = 0;
    for (wchar_t c : s) {
        int d;
        if (c >= L'0' && c <= L'9') d = c - L'0';
        else if (c >= L'a' && c <= L'f') d = c - L'a' + 10;
        else if (c >= L'A' && c <= L'F') d = c - L'A' + 10;
        else return false;
        v = v * 16 + d;
    }
    out = v;
    return true;
}

// Words separated by blanks only; runs of blanks separate once.
std::vector<std::wstring> splitWords(std::wstring_view line) {
    std::vector<std::wstring> words;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && line[i] == L' ') ++i;
        std::size_t start = i;
        while (i < line.size() && line[i] != L' ') ++i;
        if (i > start) words.emplace_back(line.substr(start, i - start));
    }
    return words;
}

enum class Rule {
    Comment, Number, YesNo, Hex4, FlagOn, Text, TextNotEmpty, VolumeList, Verbatim,
    MirrorRead, MirrorWrite, IpxProtocol, LanAdapter, NetbiosName, LuName, PipeName,
    CommMethod, MaxMemory, EvxHost, FileExit, UserExit,
};

struct Row {
    const wchar_t* text;
    Rule rule;
    int target;         // option id of the rule's kind
    bool keepVerbatim;  // the writer has no lines for it: keep the line as read
};

constexpr int T(TextOptionId id) { return static_cast<int>(id); }
constexpr int L(ListOptionId id) { return static_cast<int>(id); }

constexpr Row kRows[] = {
    {L"*", Rule::Comment, 0, false},
    {L"MAXS", Rule::Number, I(Id::MAX_SESSIONS), false},
    {L"BUFP", Rule::Number, I(Id::BUF_POOLSIZE), false},
    {L"LOGP", Rule::Number, I(Id::LOG_POOLSIZE), false},
    {L"COMMT", Rule::Number, I(Id::COMM_TIMEOUT), false},
    {L"IDLET", Rule::Number, I(Id::IDLE_TIMEOUT), false},
    {L"DATE", Rule::Number, I(Id::DATE_FMT), false},
    {L"TIME", Rule::Number, I(Id::TIME_FMT), false},
    {L"NUM", Rule::Number, I(Id::NUMBER_FMT), false},
    {L"TXNG", Rule::Number, I(Id::TXN_GROUP), false},
    {L"MIRRORR", Rule::MirrorRead, 0, false},
    {L"MIRRORW", Rule::MirrorWrite, 0, false},
    {L"EXPI", Rule::Number, I(Id::EXP_INTERVAL), false},
    {L"TCPP", Rule::Number, I(Id::TCPIP), false},
    {L"SHMP", Rule::Number, I(Id::SHMEM_PROTOCOL), true},
    {L"SNAB", Rule::Number, I(Id::SNA_BUFFSIZE), true},
    {L"NETBIOSB", Rule::Number, I(Id::NETB_BUFFSIZE), false},
    {L"IPXP", Rule::IpxProtocol, 0, false},
    {L"IPXB", Rule::Number, I(Id::IPX_BUFFSIZE), false},
    {L"IPX", Rule::Hex4, I(Id::IPX_SOCKET), false},
    {L"NETBIOSS", Rule::Number, I(Id::NETB_SESSIONS), false},
    {L"EOT", Rule::Number, I(Id::EOT_BLOCK), true},
    {L"TCPW", Rule::Number, I(Id::TCPWINDOW_KB), false},
    {L"MSGINT", Rule::Number, I(Id::MSG_INTERVAL), false},
    {L"MES", Rule::Number, I(Id::MESSAGE_FORMAT), false},
    {L"MOVEB", Rule::Number, I(Id::MOVE_BATCH_SIZE), false},
    {L"MOVES", Rule::Number, I(Id::MOVE_SIZE_THRESH), false},
    {L"STA", Rule::Number, I(Id::STATUS_MSG_COUNT), false},
    {L"ENABLE8140", Rule::YesNo, I(Id::ENABLE_8140), false},
    {L"TCPNODELAY", Rule::YesNo, I(Id::TCPNODELAY), false},
    {L"LANA", Rule::LanAdapter, 0, false},
    {L"NETB", Rule::NetbiosName, 0, false},
    {L"LU", Rule::LuName, 0, true},
    {L"NAME", Rule::PipeName, 0, false},
    {L"LANG", Rule::Text, T(TextOptionId::LANGUAGE), false},
    {L"TPNP", Rule::Text, T(TextOptionId::TPN_PROFILE), true},
    {L"VOLUMEH", Rule::VolumeList, L(ListOptionId::VOLUME_HISTORY), false},
    {L"VOLH", Rule::VolumeList, L(ListOptionId::VOLUME_HISTORY), false},
    {L"DEVCONF", Rule::VolumeList, L(ListOptionId::DEV_CONFIG), false},
    {L"COMMM", Rule::CommMethod, 0, false},
    {L"TR", Rule::Verbatim, 0, false},
    {L"MAXMEM", Rule::MaxMemory, 0, true},
    {L"NOAUDITS", Rule::FlagOn, I(Id::NO_AUDIT_STORAGE), true},
    {L"EXPQU", Rule::YesNo, I(Id::EXP_QUIET), false},
    {L"NPBUF", Rule::Number, I(Id::NP_BUFFSIZE), false},
    {L"RESTOREINT", Rule::Number, I(Id::RESTORE_INTERVAL), false},
    {L"HTTPP", Rule::Number, I(Id::HTTP_PORT), false},
    {L"HTTPS", Rule::Number, I(Id::HTTPS_PORT), false},
    {L"SNMPHEARTBEATINTERVAL", Rule::Number, I(Id::SNMP_HEARTBEAT), false},
    {L"SNMPSUBAGENTPORT", Rule::Number, I(Id::SNMP_SUBAGENT_PORT), false},
    {L"SNMPSUBAGENTHOST", Rule::TextNotEmpty, T(TextOptionId::SNMP_SUBAGENT_HOST), false},
    {L"SNMPSUBAGENT", Rule::Verbatim, 0, false},
    {L"SNMPM", Rule::Verbatim, 0, false},
    {L"EVXH", Rule::EvxHost, 0, false},
    {L"EVXP", Rule::Number, I(Id::EVX_PORT), false},
    {L"FILEEX", Rule::FileExit, 0, false},
    {L"USEREX", Rule::UserExit, 0, false},
    {L"USELARG", Rule::YesNo, I(Id::USE_LARGE_BUFFERS), false},
    {L"QORAGROUP", Rule::TextNotEmpty, T(TextOptionId::GROUP_NAME), false},
    {L"SECUREP", Rule::YesNo, I(Id::SECURE_PIPES), false},
    {L"NPAUDITS", Rule::YesNo, I(Id::NP_AUDIT_SUCCESS), false},
    {L"NPAUDITF", Rule::YesNo, I(Id::NP_AUDIT_FAILURE), false},
    {L"DISABLESC", Rule::YesNo, I(Id::DISABLE_SCHEDS), false},
    {L"NOPREEMPT", Rule::FlagOn, I(Id::NO_PREEMPT), false},
    {L"EVENTSERV", Rule::YesNo, I(Id::EVENT_SERVER), false},
    {L"REQSYS", Rule::YesNo, I(Id::REQ_SYS_AUTH), false},
    {L"8120SHARED", Rule::YesNo, I(Id::SHARED_8120), false},
};

struct CommWord { const wchar_t* prefix; std::uint32_t bit; };
constexpr CommWord kCommWords[] = {
    {L"NONE", 0}, {L"TCP", CM_TCPIP}, {L"SNA", CM_SNA}, {L"NETB", CM_NETBIOS},
    {L"IPX", CM_IPXSPX}, {L"NAME", CM_NAMEDPIPE}, {L"SHARE", CM_SHAREDMEM},
    {L"HTTP", CM_HTTP}, {L"HTTPS", CM_HTTPS}, {L"SNMP", CM_SNMP},
};

// Applies one matched row to the model. Returns the rule's code.
class LineParser {
public:
    LineParser(ServerOptions& m, std::vector<std::wstring>& words, std::vector<std::wstring>* notices)
        : m_(m), words_(words), notices_(notices) {}

    OfeCode apply(const Row& row) {
        switch (row.rule) {
        case Rule::Comment: return OFE_OK;
        case Rule::Number: return number(row.target);
        case Rule::YesNo: return yesNo(row.target);
        case Rule::Hex4: {
            std::int32_t v;
            if (!has(1) || !readHex4(words_[1], v)) return OFE_BAD_VALUE;
            return set(row.target, v);
        }
        case Rule::FlagOn: return set(row.target, 1);
        case Rule::Text: case Rule::TextNotEmpty:
            if (!has(1)) return OFE_BAD_VALUE;
            return SetTextOption(&m_, TextOptionId(row.target), words_[1]);
        case Rule::VolumeList:
            if (!has(1)) return OFE_BAD_VALUE;
            return AddListEntry(&m_, ListOptionId(row.target), words_[1]);
        case Rule::Verbatim: return AddVerbatimLine(&m_, joined());
        case Rule::MirrorRead:
            return mirror(Id::LOG_MIRRORREAD, Id::DB_MIRRORREAD, L"NORMAL");
        case Rule::MirrorWrite:
            return mirror(Id::LOG_MIRRORWRITE, Id::DB_MIRRORWRITE, L"SEQUENTIAL");
        case Rule::IpxProtocol:
            if (!has(1)) return OFE_BAD_VALUE;
            return set(I(Id::IPX_PROTOCOL), equalsNoCase(words_[1], L"SPX") ? 0 : 1);
        case Rule::LanAdapter:
            return skippableEntry(ListOptionId::LAN_ADAPTERS,
                L"Exceeded the maximum number of NetBIOS lan adapters. Skipping options file entry: ");
        case Rule::NetbiosName:
            return skippableEntry(ListOptionId::NETBIOS_NAMES,
                L"Exceeded the maximum number of NetBIOS names. Skipping options file entry: ");
        case Rule::LuName:
            return skippableEntry(ListOptionId::LU_NAMES,
                L"Exceeded the maximum number of appc names. Skipping options file entry: ");
        case Rule::PipeName: {
            if (!has(1)) return OFE_BAD_VALUE;
            std::wstring_view v = words_[1];
            std::size_t slash = v.find_last_of(L'\\');
            if (slash != std::wstring_view::npos) v.remove_prefix(slash + 1);
            if (v.empty()) return OFE_BAD_VALUE;
            return SetTextOption(&m_, TextOptionId::PIPE_NAME, v);
        }
        case Rule::CommMethod: {
            if (!has(1)) return OFE_BAD_VALUE;
            std::wstring value = upper(words_[1]);
            for (const auto& w : kCommWords)
                if (startsWith(value, w.prefix)) m_.CommMethods |= w.bit;
            return OFE_OK;
        }
        case Rule::MaxMemory:
            if (!has(1)) return OFE_BAD_VALUE;
            m_.MAX_MEMORY = readNumber(words_[1]);
            return OFE_OK;
        case Rule::EvxHost:
            if (!has(1)) return OFE_BAD_VALUE;
            if (OfeCode rc = SetTextOption(&m_, TextOptionId::EVX_HOSTNAME, words_[1])) return rc;
            return set(I(Id::EVX_PRESENT), 1);
        case Rule::FileExit:
            return serverExit(Id::FILEEXIT_PRESENT, Id::FILEEXIT_START, [this] {
                if (has(2)) SetTextOption(&m_, TextOptionId::FILEEXIT_NAME, upper(words_[2]));
                if (has(3)) {
                    wchar_t mode = upperChar(words_[3][0]);
                    if (mode == L'P') set(I(Id::FILEEXIT_MODE), 0);
                    else if (mode == L'R') set(I(Id::FILEEXIT_MODE), 1);
                    else if (mode == L'A') set(I(Id::FILEEXIT_MODE), 2);
                }
            });
        case Rule::UserExit:
            return serverExit(Id::USEREXIT_PRESENT, Id::USEREXIT_START, [this] {
                if (has(2)) SetTextOption(&m_, TextOptionId::USEREXIT_DLL, upper(words_[2]));
                if (has(3)) SetTextOption(&m_, TextOptionId::USEREXIT_MODULE, upper(words_[3]));
            });
        }
        return OFE_BAD_VALUE;
    }

    // The line rebuilt from its words, single blanks between them.
    std::wstring joined() const {
        std::wstring s;
        for (const auto& w : words_) {
            if (!s.empty()) s += L' ';
            s += w;
        }
        return s;
    }

private:
    bool has(std::size_t index) const { return words_.size() > index; }

    OfeCode set(int id, std::int32_t value) {
        m_.numeric[id].current = value;
        return OFE_OK;
    }
    OfeCode number(int id) {
        if (!has(1)) return OFE_BAD_VALUE;
        return set(id, readNumber(words_[1]));
    }
    OfeCode yesNo(int id) {
        if (!has(1)) return OFE_BAD_VALUE;
        wchar_t c = upperChar(words_[1][0]);
        if (c == L'Y') return set(id, 1);
        if (c == L'N') return set(id, 0);
        return OFE_BAD_VALUE;
    }
    OfeCode mirror(Id logId, Id dbId, std::wstring_view zeroWord) {
        if (!has(2)) return OFE_BAD_VALUE;
        Id id = equalsNoCase(words_[1], L"LOG") ? logId : dbId;
        return set(I(id), upper(words_[2]) == zeroWord ? 0 : 1);
    }
    OfeCode skippableEntry(ListOptionId list, std::wstring_view notice) {
        if (!has(1)) return OFE_BAD_VALUE;
        if (AddListEntry(&m_, list, words_[1]) != OFE_OK && notices_)
            notices_->push_back(std::wstring(notice) + words_[1] + L"\n");
        return OFE_OK;
    }
    template <class Rest>
    OfeCode serverExit(Id present, Id start, Rest rest) {
        if (!has(1)) return OFE_BAD_VALUE;
        set(I(present), 1);
        wchar_t c = upperChar(words_[1][0]);
        bool startKnown = c == L'Y' || c == L'N';
        if (startKnown) set(I(start), c == L'Y' ? 1 : 0);
        rest();
        return startKnown || has(2) ? OFE_OK : OFE_BAD_VALUE;
    }

    ServerOptions& m_;
    std::vector<std::wstring>& words_;
    std::vector<std::wstring>* notices_;
};

std::wstring textDefault(const ServerOptions& m, TextOptionId id) {
    const TextDefault& d = kTextDefaults[static_cast<int>(id)];
    return d.value ? std::wstring(d.value) : m.localHost;
}

// A comment may be of any length: nothing in it is read.
bool isComment(std::string_view bytes) {
    std::size_t first = bytes.find_first_not_of(' ');
    return first != std::string_view::npos && bytes[first] == '*';
}

OfeCode traced(OfeCode rc) {
    if (rc != OFE_OK) optionsErrorTrace("ofeparse", rc);
    return rc;
}

}  // namespace

OfeCode CreateServerOptions(std::unique_ptr<ServerOptions>* slot, std::wstring_view localHost) {
    if (!slot) return traced(OFE_NO_SLOT);
    try {
        auto model = std::make_unique<ServerOptions>();
        model->localHost = localHost.empty() ? L"localhost" : std::wstring(localHost);
        *slot = std::move(model);
    } catch (const std::bad_alloc&) {
        return traced(OFE_NO_MEMORY);
    }
    return OFE_OK;
}

OfeCode ResetServerOptions(ServerOptions* m) {
    if (!m) return traced(OFE_NO_MODEL);
    m->numeric.fill(NumericOption{});
    for (const auto& d : kNumericDefaults) m->numeric[d.id] = {d.value, d.minimum, d.maximum, d.value};
    m->numeric[I(Id::USE_LARGE_BUFFERS)].current = 0;
    for (int i = 0; i < kTextOptionCount; ++i) m->text[i] = textDefault(*m, TextOptionId(i));
    for (auto& list : m->lists) list.clear();
    m->CommMethods = kInitialCommMethods;
    m->verbatim.clear();
    return OFE_OK;
}

OfeCode GetNumericOption(const ServerOptions* m, ServerOptionId id, NumericOption& out) {
    if (!m) return traced(OFE_NO_MODEL);
    if (!validNumeric(id)) return traced(OFE_BAD_OPTION_ID);
    out = m->numeric[I(id)];
    return OFE_OK;
}

OfeCode SetNumericOption(ServerOptions* m, ServerOptionId id, const NumericOption& record) {
    if (!m) return traced(OFE_NO_MODEL);
    if (!validNumeric(id)) return traced(OFE_BAD_OPTION_ID);
    m->numeric[I(id)] = record;
    return OFE_OK;
}

OfeCode GetCommMethods(const ServerOptions* m, std::uint32_t& out) {
    if (!m) return traced(OFE_NO_MODEL);
    out = m->CommMethods;
    return OFE_OK;
}

OfeCode SetCommMethods(ServerOptions* m, std::uint32_t methods) {
    if (!m) return traced(OFE_NO_MODEL);
    m->CommMethods = methods;
    return OFE_OK;
}

std::size_t TextCapacity(TextOptionId id) {
    return validText(id) ? kTextDefaults[static_cast<int>(id)].capacity : 0;
}

OfeCode GetTextOption(const ServerOptions* m, TextOptionId id, std::wstring& out) {
    if (!m) return traced(OFE_NO_MODEL);
    if (!validText(id)) return traced(OFE_BAD_OPTION_ID);
    out = m->text[static_cast<int>(id)];
    return OFE_OK;
}

OfeCode SetTextOption(ServerOptions* m, TextOptionId id, std::wstring_view text) {
    if (!m) return traced(OFE_NO_MODEL);
    if (!validText(id)) return traced(OFE_BAD_OPTION_ID);
    m->text[static_cast<int>(id)] = text.substr(0, TextCapacity(id));
    return OFE_OK;
}

OfeCode GetTextDefault(const ServerOptions* m, TextOptionId id, std::wstring& out) {
    if (!m) return traced(OFE_NO_MODEL);
    if (!validText(id)) return traced(OFE_BAD_OPTION_ID);
    out = textDefault(*m, id);
    return OFE_OK;
}

OfeCode AddListEntry(ServerOptions* m, ListOptionId list, std::wstring_view text) {
    if (!m) return traced(OFE_NO_MODEL);
    if (!validList(list)) return traced(OFE_BAD_OPTION_ID);
    const ListLimits& limits = kListLimits[static_cast<int>(list)];
    auto& entries = m->lists[static_cast<int>(list)];
    if (entries.size() >= limits.capacity) return OFE_BAD_VALUE;
    entries.emplace_back(text.substr(0, limits.entryLength));
    return OFE_OK;
}

OfeCode ClearList(ServerOptions* m, ListOptionId list) {
    if (!m) return traced(OFE_NO_MODEL);
    if (!validList(list)) return traced(OFE_BAD_OPTION_ID);
    m->lists[static_cast<int>(list)].clear();
    return OFE_OK;
}

OfeCode GetList(const ServerOptions* m, ListOptionId list, std::vector<std::wstring>& out) {
    if (!m) return traced(OFE_NO_MODEL);
    if (!validList(list)) return traced(OFE_BAD_OPTION_ID);
    out = m->lists[static_cast<int>(list)];
    return OFE_OK;
}

OfeCode GetListDefault(ListOptionId list, std::wstring& out) {
    if (list == ListOptionId::NETBIOS_NAMES) out = L"QORASERV1";
    else if (list == ListOptionId::LAN_ADAPTERS) out = L"0";
    else out.clear();
    return OFE_OK;
}

OfeCode AddVerbatimLine(ServerOptions* m, std::wstring_view text) {
    if (!m) return traced(OFE_NO_MODEL);
    if (m->verbatim.size() >= kVerbatimCapacity) return traced(OFE_NO_MEMORY);
    try {
        m->verbatim.emplace_back(text);
    } catch (const std::bad_alloc&) {
        return traced(OFE_NO_MEMORY);
    }
    return OFE_OK;
}

OfeCode GetVerbatimLineCount(const ServerOptions* m, int& count) {
    if (!m) return traced(OFE_NO_MODEL);
    count = static_cast<int>(m->verbatim.size());
    return OFE_OK;
}

OfeCode GetVerbatimLine(const ServerOptions* m, int index, std::wstring& out) {
    if (!m) return traced(OFE_NO_MODEL);
    if (index < 0 || static_cast<std::size_t>(index) >= m->verbatim.size())
        return traced(OFE_BAD_VERBATIM_INDEX);
    out = m->verbatim[index];
    return OFE_OK;
}

OfeCode ParseServerOptionsLine(ServerOptions* m, std::wstring_view line,
                               std::vector<std::wstring>* notices) {
    if (!m) return traced(OFE_NO_MODEL);
    std::vector<std::wstring> words = splitWords(withoutLineEnd(line));
    if (words.empty()) return OFE_NO_KEYWORD;
    words[0] = upper(words[0]);
    for (const Row& row : kRows) {
        if (!startsWith(words[0], row.text)) continue;
        LineParser parser(*m, words, notices);
        OfeCode rc = parser.apply(row);
        bool keep = row.keepVerbatim ||
                    (row.rule == Rule::CommMethod && words.size() > 1 &&
                     (startsWith(upper(words[1]), L"SHARE") || startsWith(upper(words[1]), L"SNA")));
        if (rc == OFE_OK && keep) rc = AddVerbatimLine(m, parser.joined());
        return rc;
    }
    return OFE_NO_KEYWORD;
}

OfeCode ReadServerOptionsText(ServerOptions* m, std::string_view content, bool readFailed,
                              std::wstring_view path, const LineDecoder& decode,
                              std::wstring& message, std::vector<std::wstring>* notices) {
    message.clear();
    if (!m) return traced(OFE_NO_MODEL);
    m->CommMethods = 0;
    m->numeric[I(Id::FILEEXIT_PRESENT)].current = 0;
    m->numeric[I(Id::USEREXIT_PRESENT)].current = 0;
    m->numeric[I(Id::EVX_PRESENT)].current = 0;
    OfeCode result = OFE_OK;
    forEachLine(content, readFailed, [&](const TextLine& line) {
        if (line.tooLong && isComment(line.text)) return true;
        std::wstring text = decode(line.text.substr(0, kMaxLineBytes));
        OfeCode rc = OFE_OK;
        if (line.tooLong) rc = OFE_BAD_VALUE;
        else if (text.size() > 4) rc = ParseServerOptionsLine(m, text, notices);
        if (rc == OFE_OK) return true;
        traced(rc);
        message = L"There is a syntax error on line " + std::to_wstring(line.number) +
                  L" of the server options file:\n\n" + std::wstring(path) +
                  L"\n\nLine Contents:\n\n" + text +
                  L"\n\nWould you like to edit the file to correct the syntax error now?\n\n";
        result = OFE_SYNTAX_ERROR;
        return false;
    });
    if (result == OFE_OK && readFailed) result = traced(OFE_READ_ERROR);
    return result;
}

void NoteInstalledProtocol(InstalledProtocols& found, std::wstring_view name) {
    auto has = [&](std::wstring_view part) { return name.find(part) != std::wstring_view::npos; };
    if (has(L"TCP/IP")) found.tcpip = 1;
    else if (has(L"IPX")) found.ipx = 1;
    else if (has(L"NwlnkNb")) found.netbiosOverIpx = 1;
    else if (has(L"NetBT")) found.netbiosOverTcpip = 1;
    else if (has(L"Nbf")) found.netbeui = 1;
}

}  // namespace ofe
