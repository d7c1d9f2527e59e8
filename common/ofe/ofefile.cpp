#include "common/ofe/ofefile.h"
#include "common/cmd/optfiles_io.h"
#include <winsock2.h>
#include <nspapi.h>
#include <cstdio>
#include <vector>

namespace ofe {

OfeCode ReadServerOptionsFile(ServerOptions* model, const std::wstring& path, std::wstring& message) {
    message.clear();
    FileContent content;
    unsigned long error;
    if (!readWholeFile(path, content, error)) {
        optionsErrorTrace("ofeparse", OFE_OPEN_FAILED);
        return OFE_OPEN_FAILED;
    }
    std::vector<std::wstring> notices;
    OfeCode rc = ReadServerOptionsText(model, content.bytes, content.readFailed, path,
                                       [](std::string_view b) { return fromAnsi(b); }, message, &notices);
    for (const auto& n : notices) std::fputs(toAnsi(n).c_str(), stdout);
    std::fflush(stdout);
    return rc;
}

OfeCode WriteServerOptions(const ServerOptions* model, const std::wstring& path, bool toFile,
                           std::wstring& text) {
    if (!toFile) return WriteServerOptionsText(model, text);
    std::wstring content;
    if (OfeCode rc = WriteServerOptionsText(model, content)) return rc;
    if (replaceFileContent(path, toAnsi(content))) {
        optionsErrorTrace("ntofeuti", OFE_OPEN_FAILED);
        return OFE_OPEN_FAILED;
    }
    return OFE_OK;
}

namespace {
// Winsock for the duration of one call.
struct WinsockSession {
    bool started;
    WinsockSession() {
        WSADATA data;
        started = WSAStartup(MAKEWORD(2, 2), &data) == 0;
    }
    ~WinsockSession() {
        if (started) WSACleanup();
    }
};
}  // namespace

std::wstring localHostName() {
    WinsockSession ws;
    char name[256] = {};
    if (!ws.started || gethostname(name, sizeof name - 1) != 0) return {};
    return fromAnsi(name);
}

void ProbeInstalledProtocols(InstalledProtocols& out) {
    out = {};
    WinsockSession ws;
    // The list may need more room than the usual 2048 bytes: the call
    // reports the size it needs, so ask again with that. The call comes from
    // wsock32: the one in mswsock lists another record layout under Wine.
    std::vector<unsigned char> buffer(2048);
    DWORD size = static_cast<DWORD>(buffer.size());
    int count = EnumProtocolsW(nullptr, buffer.data(), &size);
    if (count == SOCKET_ERROR && size > buffer.size()) {
        buffer.resize(size);
        count = EnumProtocolsW(nullptr, buffer.data(), &size);
    }
    if (count == SOCKET_ERROR || count <= 0) return;
    const auto* info = reinterpret_cast<const PROTOCOL_INFOW*>(buffer.data());
    for (int i = 0; i < count; ++i)
        if (info[i].lpProtocol) NoteInstalledProtocol(out, info[i].lpProtocol);
}

}  // namespace ofe
