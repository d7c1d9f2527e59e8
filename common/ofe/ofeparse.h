// The server options model and the reader of kvtserv.opt. Pure: the file and
// the code page conversion are supplied by the caller (see ofefile.h).
#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace ofe {

using OfeCode = std::uint16_t;
enum : OfeCode {
    OFE_OK = 0,
    OFE_BAD_VALUE = 1,  // inside the parser; surfaces as OFE_SYNTAX_ERROR
    OFE_OPEN_FAILED = 1801,
    OFE_SYNTAX_ERROR = 1802,
    OFE_READ_ERROR = 1803,
    OFE_NO_SLOT = 1804,
    OFE_NO_MODEL = 1805,
    OFE_NO_KEYWORD = 1806,  // inside the parser; surfaces as OFE_SYNTAX_ERROR
    OFE_BAD_OPTION_ID = 1807,
    OFE_NO_MEMORY = 1808,
    OFE_BAD_VERBATIM_INDEX = 1809,
};

enum class ServerOptionId : int {
    MAX_SESSIONS = 0, BUF_POOLSIZE, LOG_POOLSIZE, CKPT_INTERVAL, COMM_TIMEOUT, IDLE_TIMEOUT,
    DATE_FMT, TIME_FMT, NUMBER_FMT, PM_CACHE, TXN_GROUP, DB_MIRRORREAD, LOG_MIRRORREAD,
    DB_MIRRORWRITE, LOG_MIRRORWRITE, EXP_INTERVAL, TCPIP, SNA_BUFFSIZE, NETB_BUFFSIZE,
    IPX_BUFFSIZE, IPX_SOCKET, NETB_SESSIONS, EOT_BLOCK, UNUSED_23, UNUSED_24, TCPWINDOW_KB,
    MSG_INTERVAL, ENABLE_8140, MOVE_BATCH_SIZE, MOVE_SIZE_THRESH, STATUS_MSG_COUNT,
    MESSAGE_FORMAT, SHMEM_PROTOCOL, TCPNODELAY, NP_BUFFSIZE, EXP_QUIET, NO_AUDIT_STORAGE,
    RESTORE_INTERVAL, HTTP_PORT, SNMP_HEARTBEAT, SNMP_SUBAGENT_PORT, UNUSED_41,
    USE_LARGE_BUFFERS, FILEEXIT_PRESENT, FILEEXIT_START, FILEEXIT_MODE, USEREXIT_PRESENT,
    USEREXIT_START, EVX_PRESENT, EVX_PORT, SECURE_PIPES, NP_AUDIT_SUCCESS, NP_AUDIT_FAILURE,
    HTTPS_PORT, DISABLE_SCHEDS, NO_PREEMPT, EVENT_SERVER, REQ_SYS_AUTH, IPX_PROTOCOL,
    SHARED_8120,
};
inline constexpr int kNumericOptionCount = 60;

enum class TextOptionId : int {
    PIPE_NAME, LANGUAGE, TPN_PROFILE, SNMP_SUBAGENT_HOST, EVX_HOSTNAME, GROUP_NAME,
    FILEEXIT_NAME, USEREXIT_DLL, USEREXIT_MODULE,
};
inline constexpr int kTextOptionCount = 9;

enum class ListOptionId : int { NETBIOS_NAMES, LAN_ADAPTERS, LU_NAMES, VOLUME_HISTORY, DEV_CONFIG };
inline constexpr int kListOptionCount = 5;

// Bits of CommMethods.
enum : std::uint32_t {
    CM_TCPIP = 1, CM_IPXSPX = 2, CM_NETBIOS = 4, CM_NAMEDPIPE = 8, CM_SHAREDMEM = 16,
    CM_SNA = 32, CM_SNMP = 64, CM_HTTP = 128, CM_HTTPS = 256,
};
inline constexpr std::uint32_t kInitialCommMethods = CM_TCPIP | CM_NAMEDPIPE | CM_HTTP;
inline constexpr std::size_t kVerbatimCapacity = 256;

struct NumericOption {
    std::int32_t current = 0;
    std::int32_t minimum = 0;
    std::int32_t maximum = 0;
    std::int32_t defaultValue = 0;
    bool operator==(const NumericOption&) const = default;
};

// One server options file in memory. Every user holds its own instance.
struct ServerOptions {
    std::array<NumericOption, kNumericOptionCount> numeric{};
    std::array<std::wstring, kTextOptionCount> text;
    std::array<std::vector<std::wstring>, kListOptionCount> lists;
    std::uint32_t CommMethods = kInitialCommMethods;
    std::int32_t MAX_MEMORY = 0;
    std::vector<std::wstring> verbatim;
    std::wstring localHost;  // default of the SNMP subagent and event console hosts
    bool operator==(const ServerOptions&) const = default;
};

// Lifecycle. `slot` holds the caller's own model; 1804 when there is none to
// hold it, 1808 when memory runs out (the slot is left as it was).
OfeCode CreateServerOptions(std::unique_ptr<ServerOptions>* slot, std::wstring_view localHost);
OfeCode ResetServerOptions(ServerOptions* model);

// Access; 1805 when `model` is null.
OfeCode GetNumericOption(const ServerOptions* model, ServerOptionId id, NumericOption& out);
OfeCode SetNumericOption(ServerOptions* model, ServerOptionId id, const NumericOption& record);
OfeCode GetCommMethods(const ServerOptions* model, std::uint32_t& out);
OfeCode SetCommMethods(ServerOptions* model, std::uint32_t methods);
OfeCode GetTextOption(const ServerOptions* model, TextOptionId id, std::wstring& out);
OfeCode SetTextOption(ServerOptions* model, TextOptionId id, std::wstring_view text);  // cut to capacity
OfeCode GetTextDefault(const ServerOptions* model, TextOptionId id, std::wstring& out);
std::size_t TextCapacity(TextOptionId id);
OfeCode AddListEntry(ServerOptions* model, ListOptionId list, std::wstring_view text);  // 1 when full
OfeCode ClearList(ServerOptions* model, ListOptionId list);
OfeCode GetList(const ServerOptions* model, ListOptionId list, std::vector<std::wstring>& out);
OfeCode GetListDefault(ListOptionId list, std::wstring& out);
OfeCode AddVerbatimLine(ServerOptions* model, std::wstring_view text);  // 1808 when the store is full
OfeCode GetVerbatimLineCount(const ServerOptions* model, int& count);
OfeCode GetVerbatimLine(const ServerOptions* model, int index, std::wstring& out);

// Parses one line into the model. Skipped list entries add their notice to
// `notices` when given.
OfeCode ParseServerOptionsLine(ServerOptions* model, std::wstring_view line,
                               std::vector<std::wstring>* notices = nullptr);

// Turns one line's bytes into wide text (the system code page on Windows).
using LineDecoder = std::function<std::wstring(std::string_view)>;

// Reads a whole file's content into the existing model: 0, 1802 (with
// `message`) or 1803 when `readFailed` says the content stopped short.
OfeCode ReadServerOptionsText(ServerOptions* model, std::string_view content, bool readFailed,
                              std::wstring_view path, const LineDecoder& decode,
                              std::wstring& message, std::vector<std::wstring>* notices = nullptr);

// Network protocols installed on the machine (see ProbeInstalledProtocols).
struct InstalledProtocols {
    std::uint32_t tcpip = 0;
    std::uint32_t ipx = 0;
    std::uint32_t netbeui = 0;
    std::uint32_t netbiosOverIpx = 0;
    std::uint32_t netbiosOverTcpip = 0;
    bool operator==(const InstalledProtocols&) const = default;
};
// Sets the flag of one listed protocol by its name.
void NoteInstalledProtocol(InstalledProtocols& found, std::wstring_view protocolName);

}  // namespace ofe
