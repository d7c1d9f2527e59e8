// The file and network edges of the server options model.
#pragma once
#include "common/ofe/ntofeuti.h"

namespace ofe {

// Reads kvtserv.opt into the existing model: 0, 1801 (message empty), 1802
// (message filled) or 1803 (message empty). Skipped list entries are noted
// on the standard output.
OfeCode ReadServerOptionsFile(ServerOptions* model, const std::wstring& path, std::wstring& message);

// toFile: the file at `path` is replaced in one step (1801 when it cannot be
// written; the old file stays as it was); otherwise the text is appended to
// `text`. A model error stops before the disk is touched.
OfeCode WriteServerOptions(const ServerOptions* model, const std::wstring& path, bool toFile,
                           std::wstring& text);

// The machine's host name, the default of the host options.
std::wstring localHostName();

// Asks the system for its installed protocols; all flags 0 when it cannot.
void ProbeInstalledProtocols(InstalledProtocols& out);

}  // namespace ofe
