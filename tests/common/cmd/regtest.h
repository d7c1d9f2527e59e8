// Shared by the registry-touching tests: the demo installation as the
// starting point, and Wine's own reg.exe as the independent witness.
#pragma once
#include <gtest/gtest.h>
#include <string>
#include "sim/install/siminst.h"
#include "tests/support/testsupport.h"

namespace regtest {

// `reg query "KEY" [/v NAME]` output, CR removed; empty when reg fails.
inline std::string regQuery(const std::wstring& key, const std::wstring& value = {}) {
    std::wstring cmd = L"reg query \"" + key + L"\"";
    if (!value.empty()) cmd += L" /v \"" + value + L"\"";
    qtest::RunResult r = qtest::run(cmd);
    return r.started && r.exitCode == 0 ? r.output : std::string();
}

inline void regAdd(const std::wstring& key, const std::wstring& value, const std::wstring& type,
                   const std::wstring& data) {
    qtest::RunResult r =
        qtest::run(L"reg add \"" + key + L"\" /v \"" + value + L"\" /t " + type + L" /d \"" + data + L"\" /f");
    ASSERT_TRUE(r.started && r.exitCode == 0) << r.output;
}

inline const std::wstring PRODUCT = L"HKLM\\SOFTWARE\\Tevra\\QORA\\CurrentVersion";

// Each suite starts from the full demo installation and leaves one behind.
class InstalledProduct : public ::testing::Test {
protected:
    static void SetUpTestSuite() { reinstall(); }
    static void TearDownTestSuite() { reinstall(); }
    static void reinstall(const std::vector<std::wstring>& omit = {}) {
        std::wstring report;
        ASSERT_EQ(siminst::installDefault(omit, {}, &report), 0) << qtest::narrow(report);
    }
};

}  // namespace regtest
