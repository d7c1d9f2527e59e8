// Client options files (kvt.opt) and setup files (.cfg): the configuration
// record and the text of both files. Pure and built for both character sets:
// the Unicode utilities program and the single-byte kvtcfg share this source.
// The file edges are in optfiles_io.h.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace ofe {

#ifdef UNICODE
using OptChar = wchar_t;
#else
using OptChar = char;
#endif
using OptString = std::basic_string<OptChar>;
using OptView = std::basic_string_view<OptChar>;

using OptCode = std::uint16_t;
enum : OptCode {
    OPT_OK = 0,
    OPT_NO_EQUALS = 101,         // a setup file keyword line without "="
    OPT_CANNOT_CREATE = 102,     // output cannot be written (or read, for a setup file)
    OPT_READ_ERROR = 103,
    OPT_INVALID_ARGUMENT = 104,  // incomplete or unknown communication settings
    OPT_BASE_MISSING_KVTCFG = 402,
    OPT_UNKNOWN_KEYWORD = 406,
    OPT_BASE_MISSING = 1702,
};
#ifdef UNICODE
inline constexpr OptCode kBaseMissingCode = OPT_BASE_MISSING;
#else
inline constexpr OptCode kBaseMissingCode = OPT_BASE_MISSING_KVTCFG;
#endif

enum : std::uint32_t { CLIENT_TCPIP = 0, CLIENT_IPXSPX = 1, CLIENT_NETBIOS = 2, CLIENT_NAMEDPIPE = 3 };
enum : std::int32_t { IF_EXIST_UPDATE = 0, IF_EXIST_REPLACE = 1, IF_EXIST_CANCEL = 2 };

// One client's options file settings. Capacities as the arrays say, less the
// terminating null.
struct ClientConfig {
    std::int32_t iIfOptionsExist = IF_EXIST_UPDATE;
    std::uint32_t uCommMethod = CLIENT_TCPIP;
    OptChar szTcpServerAddress[64] = {};
    OptChar szTcpPort[64] = {};
    OptChar szIpxSocket[64] = {};
    OptChar szIpxServerAddress[64] = {};
    OptChar szIpxNetworkPrefix[64] = {};
    OptChar szNetbiosName[64] = {};
    OptChar szNetbiosServerName[64] = {};
    std::uint32_t uLanAdapter = 0;
    OptChar szNamedPipeName[64] = {};
    std::int32_t iAttachBaseOptions = 0;
    OptChar szBaseOptionsFile[256] = {};
    OptChar szAdminContact[1024] = {};
    OptChar szAdminNotes[2048] = {};
    OptChar szNodeName[64] = {};
};

template <std::size_t N>
OptView fieldText(const OptChar (&field)[N]) {
    return OptView(field, std::char_traits<OptChar>::length(field));
}

// Stores `text` in `field`; false (field unchanged) when it does not fit.
template <std::size_t N>
bool setField(OptChar (&field)[N], OptView text) {
    if (text.size() >= N) return false;
    text.copy(field, text.size());
    field[text.size()] = OptChar(0);
    return true;
}

// What the options file needs from outside the record.
struct ClientFileContext {
    std::string timeStamp;  // local time in the 24-character ctime form
    OptString computerName;
    enum class Base { Read, Missing, ReadError } base = Base::Read;
    OptString baseText;  // what could be read of the base options file
};

// The whole text of a client options file, lines ended by "\n". Returns 0,
// the missing-base code (the text is usable), 103 or 104 (do not write it).
OptCode BuildClientOptionsText(const ClientConfig& config, const ClientFileContext& context,
                               OptString& out);

// The whole text of a setup file: 0 or 104 (do not write it).
OptCode BuildSetupFileText(const ClientConfig& config, std::string_view timeStamp, OptString& out);

// The communication method's lines, each ended by `lineEnd`; empty when the
// method's fields are incomplete or the method is unknown.
OptString CommMethodLines(const ClientConfig& config, OptView computerName, std::string_view lineEnd);

// Where an existing options file is kept: the file name's extension replaced
// by ".old".
OptString ClientOptionsBackupName(OptView path);

// Error trace of the options code: the edges route it to the trace file.
using ErrorTraceSink = void (*)(const char* module, unsigned code);
void setOptionsErrorTrace(ErrorTraceSink sink);
void optionsErrorTrace(const char* module, unsigned code);

}  // namespace ofe
