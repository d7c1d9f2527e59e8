// Reply fixtures of tests/common/cmd/fixtures as wide text, and the English
// labels the translated parsers look for.
#pragma once
#include <fstream>
#include <iterator>
#include <string>

#include "common/cmd/parsblk.h"

namespace fixture {

// The fixture's bytes widened one to one (the replies are plain ASCII).
inline std::wstring read(const std::string& name) {
    std::ifstream in(std::string(QORA_SOURCE_DIR) + "tests/common/cmd/fixtures/" + name,
                     std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return std::wstring(bytes.begin(), bytes.end());
}

// Texts of messages 10002 to 10019 in the English message library.
inline const qora::parse::BlockLabels copyGroupLabels{L"Policy Domain Name", L"Policy Set Name",
                                                      L"Copy Destination"};
inline const qora::parse::BlockLabels nodeLabels{L"Node Name", L"Platform", L"Node Type"};
inline const qora::parse::BlockLabels scheduleLabels{L"Policy Domain Name", L"Schedule Name",
                                                     L"Day of Week"};
inline const qora::parse::BlockLabels associationLabels{L"Policy Domain Name", L"Schedule Name",
                                                        L"Associated Nodes"};
inline const qora::parse::BlockLabels domainLabels{L"Policy Domain Name", L"Activated Policy Set",
                                                   L"Number of Registered Nodes"};
inline const qora::parse::BlockLabels poolLabels{L"Storage Pool Name", L"Storage Pool Type",
                                                 L"Migration in Progress?"};

}  // namespace fixture
