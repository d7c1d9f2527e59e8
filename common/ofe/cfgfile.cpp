#include "common/ofe/cfgfile.h"
#include "common/cmd/optfiles_io.h"

namespace ofe {

OptCode ReadSetupFile(const OptChar* path, ClientConfig& config, OptString& message) {
#ifdef UNICODE
    const std::wstring widePath = path;
    const SetupDecoder decode = [](std::string_view b) { return fromAnsi(b); };
    const OptString prefix = L"Could not open file ";
#else
    const std::wstring widePath = fromAnsi(path);
    const SetupDecoder decode = [](std::string_view b) { return OptString(b); };
    const OptString prefix = "Could not open file ";
#endif
    FileContent content;
    unsigned long error;
    if (!readWholeFile(widePath, content, error)) {
        message = prefix + path;
        return OPT_CANNOT_CREATE;
    }
    return ReadSetupText(content.bytes, content.readFailed, path, decode, config, message);
}

}  // namespace ofe
