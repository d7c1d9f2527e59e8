// A fresh simulator state directory for one test, named by QORA_SIM_DIR, with
// the description written and read back as the stand-ins see it.
#pragma once
#include <gtest/gtest.h>
#include <windows.h>
#include <string>
#include "tests/support/testsupport.h"
#include "sim/devices/simdesc.h"

class SimStateTest : public ::testing::Test {
protected:
    qtest::TempDir state{L"sim"};

    void SetUp() override { SetEnvironmentVariableA("QORA_SIM_DIR", qtest::narrow(state.path()).c_str()); }
    void TearDown() override { SetEnvironmentVariableA("QORA_SIM_DIR", nullptr); }

    void devices(const std::string& text) { ASSERT_TRUE(qtest::writeFile(state / L"devices.txt", text)); }

    // One attribute of a device as the description now holds it.
    std::string attr(const std::string& device, const std::string& key)
    {
        SimDescription d;
        std::string err;
        EXPECT_TRUE(simParseDescription(qtest::readFile(state / L"devices.txt"), d, err)) << err;
        SimDevice* dev = d.find(device);
        return dev ? dev->get(key) : "<no device>";
    }
};
