// The file edge of the setup file reader.
#pragma once
#include "common/ofe/cfgparse.h"

namespace ofe {

// 0, 102 (cannot open), 103 (read error) or a line's code (101, 104, 406);
// `message` says what went wrong.
OptCode ReadSetupFile(const OptChar* path, ClientConfig& config, OptString& message);

}  // namespace ofe
