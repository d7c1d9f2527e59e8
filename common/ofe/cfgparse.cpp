#include "common/ofe/cfgparse.h"
#include "common/ofe/textlines.h"
#include <algorithm>
#include <initializer_list>

namespace ofe {
namespace {

OptString widen(std::string_view ascii) {
    OptString s;
    for (char c : ascii) s += OptChar(static_cast<unsigned char>(c));
    return s;
}

OptString upper(OptView text) {
    OptString s(text);
    for (auto& c : s)
        if (c >= OptChar('a') && c <= OptChar('z')) c = OptChar(c - 'a' + 'A');
    return s;
}

bool contains(const OptString& text, std::string_view ascii) {
    return text.find(widen(ascii)) != OptString::npos;
}

// Index of the first word the value contains, or -1.
int firstContained(OptView value, std::initializer_list<std::string_view> words) {
    OptString u = upper(value);
    int i = 0;
    for (auto w : words) {
        if (contains(u, w)) return i;
        ++i;
    }
    return -1;
}

std::uint32_t readUnsigned(OptView s) {
    std::size_t i = 0;
    while (i < s.size() && (s[i] == OptChar(' ') || s[i] == OptChar('\t'))) ++i;
    if (i < s.size() && s[i] == OptChar('+')) ++i;
    unsigned long long v = 0;
    for (; i < s.size() && s[i] >= OptChar('0') && s[i] <= OptChar('9'); ++i)
        v = std::min<unsigned long long>(v * 10 + (s[i] - OptChar('0')), UINT32_MAX);
    return static_cast<std::uint32_t>(v);
}

enum class Key {
    IfOptionsExist, CommMethod, TcpServerAddress, TcpPort, IpxSocket, IpxServerAddress,
    NetbiosName, NetbiosServerName, LanAdapter, NamedPipeName, BaseOptionsFile, AdminContact,
    Instructions,
};

struct Keyword { std::string_view text; Key key; };
constexpr Keyword kKeywords[] = {
    {"IF_OPTIONS_EXIST", Key::IfOptionsExist}, {"COMMMETHOD", Key::CommMethod},
    {"TCPSERVERADDRESS", Key::TcpServerAddress}, {"TCPPORT", Key::TcpPort},
    {"IPXSOCKET", Key::IpxSocket}, {"IPXSERVERADDRESS", Key::IpxServerAddress},
    {"NETBIOSNAME", Key::NetbiosName}, {"NETBIOSSERVERNAME", Key::NetbiosServerName},
    {"LANADAPTER", Key::LanAdapter}, {"NAMEDPIPENAME", Key::NamedPipeName},
    {"BASE_KVT_OPT_FILENAME", Key::BaseOptionsFile}, {"QORA_ADMIN_CONTACT", Key::AdminContact},
    {"INSTRUCTIONS", Key::Instructions},
};

const Keyword* findKeyword(OptView name) {
    OptString u = upper(name);
    for (const auto& k : kKeywords)
        if (u.compare(0, k.text.size(), widen(k.text)) == 0) return &k;
    return nullptr;
}

// A value that does not fit its field is an error of its line, never cut.
template <std::size_t N>
OptCode store(OptChar (&field)[N], OptView value) {
    return setField(field, value) ? OPT_OK : OPT_INVALID_ARGUMENT;
}

OptCode apply(Key key, OptView value, ClientConfig& c) {
    switch (key) {
    case Key::IfOptionsExist: {
        int i = firstContained(value, {"UPDATE", "REPLACE", "CANCEL"});
        if (i < 0) return OPT_INVALID_ARGUMENT;
        c.iIfOptionsExist = i;
        return OPT_OK;
    }
    case Key::CommMethod: {
        int i = firstContained(value, {"TCPIP", "IPXSPX", "NETBIOS", "NAMEDPIPE"});
        if (i < 0) return OPT_INVALID_ARGUMENT;
        c.uCommMethod = static_cast<std::uint32_t>(i);
        return OPT_OK;
    }
    case Key::TcpServerAddress: return store(c.szTcpServerAddress, value);
    case Key::TcpPort: return store(c.szTcpPort, value);
    case Key::IpxSocket: return store(c.szIpxSocket, value);
    case Key::IpxServerAddress: return store(c.szIpxServerAddress, value);
    case Key::NetbiosName: return store(c.szNetbiosName, value);
    case Key::NetbiosServerName: return store(c.szNetbiosServerName, value);
    case Key::LanAdapter: c.uLanAdapter = readUnsigned(value); return OPT_OK;
    case Key::NamedPipeName: return store(c.szNamedPipeName, value);
    case Key::BaseOptionsFile:
        c.iAttachBaseOptions = 1;
        return store(c.szBaseOptionsFile, value);
    case Key::AdminContact: return store(c.szAdminContact, value);
    case Key::Instructions: return store(c.szAdminNotes, value);
    }
    return OPT_UNKNOWN_KEYWORD;
}

}  // namespace

OptCode ParseSetupLine(OptView line, ClientConfig& config) {
    std::size_t eq = line.find(OptChar('='));
    OptView name = line.substr(0, eq);
    if (!name.empty() && name[0] == OptChar('*')) return OPT_OK;
    const Keyword* k = findKeyword(name);
    if (!k) return OPT_UNKNOWN_KEYWORD;
    if (eq == OptView::npos) {
        if (k->key == Key::BaseOptionsFile) config.iAttachBaseOptions = 0;
        return OPT_NO_EQUALS;
    }
    return apply(k->key, line.substr(eq + 1), config);
}

OptCode ReadSetupText(std::string_view content, bool readFailed, OptView path,
                      const SetupDecoder& decode, ClientConfig& config, OptString& message) {
    message.clear();
    OptCode result = OPT_OK;
    forEachLine(content, readFailed, [&](const TextLine& raw) {
        std::string_view bytes = withoutLineEnd(raw.text);
        if (bytes.size() <= 2) return true;
        bool comment = bytes[0] == '*';
        if (comment) return true;
        OptString text = decode(bytes.substr(0, kMaxLineBytes));
        OptCode rc = raw.tooLong ? OptCode(OPT_INVALID_ARGUMENT) : ParseSetupLine(text, config);
        if (rc == OPT_OK) return true;
        message = widen("There is a syntax error on line ") + widen(std::to_string(raw.number)) +
                  widen(" of the setup file:\n\n") + OptString(path) + widen("\n\nLine Contents:\n\n") +
                  text +
                  widen("\n\nYou will need to correct the error before continuing.\n\n"
                        "You may want to contact your QORA system administrator ") +
                  OptString(fieldText(config.szAdminContact)) + widen("for help.");
        result = rc;
        return false;
    });
    if (result == OPT_OK && readFailed) {
        message = widen("Error reading file: ") + OptString(path) + widen(" Processing will not continue\n");
        result = OPT_READ_ERROR;
    }
    return result;
}

}  // namespace ofe
