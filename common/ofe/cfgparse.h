// The setup file (.cfg) reader of kvtcfg: name=value lines into a
// ClientConfig. Pure; ReadSetupFile in cfgfile.h is its file edge.
#pragma once
#include "common/cmd/optfiles.h"
#include <functional>

namespace ofe {

// Parses one line (line end removed, longer than two characters) into
// `config`: 0, 101, 104 or 406.
OptCode ParseSetupLine(OptView line, ClientConfig& config);

using SetupDecoder = std::function<OptString(std::string_view)>;

// Reads a whole setup file's content: 0, the code of the first bad line
// (with `message` naming the line) or 103 when `readFailed` says the content
// stopped short.
OptCode ReadSetupText(std::string_view content, bool readFailed, OptView path,
                      const SetupDecoder& decode, ClientConfig& config, OptString& message);

}  // namespace ofe
