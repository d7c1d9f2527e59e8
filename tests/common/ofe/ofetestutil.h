// Helpers shared by the options model tests: a fresh model, fixtures, and
// the byte-for-byte decoding the pure tests use in place of the code page.
#pragma once
#include "common/ofe/ofeparse.h"
#include <fstream>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>

namespace ofetest {

inline std::unique_ptr<ofe::ServerOptions> freshModel() {
    std::unique_ptr<ofe::ServerOptions> m;
    ofe::CreateServerOptions(&m, L"testhost");
    ofe::ResetServerOptions(m.get());
    return m;
}

inline std::wstring latin1(std::string_view b) {
    std::wstring w;
    for (unsigned char c : b) w += wchar_t(c);
    return w;
}

inline std::string narrowAscii(const std::wstring& w) {
    std::string s;
    for (wchar_t c : w) s += char(c);
    return s;
}

inline std::string fixturePath(const std::string& name) {
    return std::string(QORA_SOURCE_DIR) + "tests/common/ofe/fixtures/" + name;
}

inline std::string readFixture(const std::string& name) {
    std::ifstream in(fixturePath(name), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

inline std::int32_t current(const ofe::ServerOptions& m, ofe::ServerOptionId id) {
    return m.numeric[static_cast<int>(id)].current;
}

inline std::wstring textOf(const ofe::ServerOptions& m, ofe::TextOptionId id) {
    return m.text[static_cast<int>(id)];
}

}  // namespace ofetest
