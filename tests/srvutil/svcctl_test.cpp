// The service layer against Wine's service control manager and the
// simulated server service.
#include <gtest/gtest.h>

#include "srvutil/svcctl.h"
#include "tests/srvutil/cmdrun/simserver.h"
#include "tests/support/testsupport.h"

namespace {

ServiceRequest request(const std::wstring& name) {
    ServiceRequest req;
    svcInitRequest(req);
    req.serviceName = name;
    return req;
}

// Reads the configuration through the layer, closing the handles again.
ServiceRequest query(const std::wstring& name) {
    ServiceRequest req = request(name);
    if (svcOpenService(req)) svcQueryConfig(req);
    svcCloseHandles(req);
    return req;
}

bool reaches(const wchar_t* stateText) {
    return qtest::waitFor([&] { return query(simserver::kName).stateText == stateText; }, std::chrono::seconds(15));
}

class ServiceLayer : public ::testing::Test {
protected:
    static void SetUpTestSuite() { simserver::ensureInstalled(); }
    void SetUp() override { ASSERT_TRUE(simserver::bringTo(SERVICE_STOPPED)); }
    void TearDown() override {
        ServiceRequest req = request(simserver::kName);
        req.startType = SERVICE_DEMAND_START;
        svcChangeConfig(req);  // back to a manual service under the system account
    }
};

TEST_F(ServiceLayer, StartsStopsPausesAndContinuesTheServer) {
    ServiceRequest req = request(simserver::kName);
    ASSERT_TRUE(svcOpenService(req));
    EXPECT_TRUE(svcStart(req));
    EXPECT_TRUE(reaches(L"Running"));

    EXPECT_TRUE(svcStart(req)) << "a running service is only queried";
    EXPECT_EQ(req.lastError, 0u);

    EXPECT_TRUE(svcPause(req));
    EXPECT_TRUE(reaches(L"Paused"));
    EXPECT_TRUE(svcStart(req)) << "a paused service is continued";
    EXPECT_TRUE(reaches(L"Running"));

    std::wstring error;
    bool running = false;
    EXPECT_EQ(svcIsRunning(L"", simserver::kName, error, running), 0u);
    EXPECT_TRUE(running);

    EXPECT_TRUE(svcStop(req));
    EXPECT_TRUE(reaches(L"Stopped"));
    EXPECT_EQ(svcIsRunning(L"", simserver::kName, error, running), 0u);
    EXPECT_FALSE(running);
    svcCloseHandles(req);
    EXPECT_EQ(req.service, nullptr);
}

TEST_F(ServiceLayer, ReadsTheConfiguration) {
    ServiceRequest req = query(simserver::kName);
    ASSERT_TRUE(req.ok) << req.lastError;
    EXPECT_EQ(req.typeText, L"Service");
    EXPECT_EQ(req.startTypeText, L"Manual");
    EXPECT_EQ(req.stateText, L"Stopped");
    EXPECT_EQ(req.account, L"LocalSystem");
    EXPECT_EQ(req.isLocalSystem, 1u);
    EXPECT_NE(req.binaryPath.find(L"kvtserv.exe"), std::wstring::npos);
}

TEST_F(ServiceLayer, ChangesStartTypeAndAccount) {
    ServiceRequest req = request(simserver::kName);
    req.startType = SERVICE_AUTO_START;
    req.isLocalSystem = 0;
    req.account = L".\\qoraop";
    req.password = L"secret";
    ASSERT_TRUE(svcChangeConfig(req)) << req.lastError;
    EXPECT_EQ(req.scManager, nullptr);
    ServiceRequest back = query(simserver::kName);
    EXPECT_EQ(back.startTypeText, L"Automatic");
    EXPECT_EQ(back.account, L".\\qoraop");
    EXPECT_EQ(back.isLocalSystem, 0u);

    // Without changeAccount only the start type changes.
    req = request(simserver::kName);
    req.startType = SERVICE_DISABLED;
    req.changeAccount = 0;
    ASSERT_TRUE(svcChangeConfig(req));
    back = query(simserver::kName);
    EXPECT_EQ(back.startTypeText, L"Disabled");
    EXPECT_EQ(back.account, L".\\qoraop");

    // Back to the system account, which reads as LocalSystem.
    req = request(simserver::kName);
    req.startType = SERVICE_DEMAND_START;
    ASSERT_TRUE(svcChangeConfig(req));
    back = query(simserver::kName);
    EXPECT_EQ(back.account, L"LocalSystem");
    EXPECT_EQ(back.isLocalSystem, 1u);
}

TEST_F(ServiceLayer, StartingADisabledServiceFailsWithItsText) {
    ServiceRequest req = request(simserver::kName);
    req.startType = SERVICE_DISABLED;
    req.changeAccount = 0;
    ASSERT_TRUE(svcChangeConfig(req));
    req = request(simserver::kName);
    ASSERT_TRUE(svcOpenService(req));
    EXPECT_FALSE(svcStart(req));
    EXPECT_EQ(req.lastError, 1058u);
    svcDescribeError(req);
    EXPECT_EQ(req.errorText, L"The service has been disabled.\n");
    EXPECT_FALSE(svcStop(req)) << "a failed request stays failed";
    svcCloseHandles(req);
}

TEST(ServiceLayerErrors, MissingServiceGivesItsFixedText) {
    ServiceRequest req = request(L"QoraNoSuchService");
    EXPECT_FALSE(svcOpenService(req));
    EXPECT_EQ(req.lastError, 1060u);
    svcDescribeError(req);
    EXPECT_EQ(req.errorText, L"The specified service does not exist as an installed service.\n");
    svcCloseHandles(req);

    std::wstring error;
    bool running = true;
    EXPECT_EQ(svcIsRunning(L"", L"QoraNoSuchService", error, running), 1060u);
    EXPECT_FALSE(running);
    EXPECT_EQ(error, L"The specified service does not exist as an installed service.\n");
}

TEST(ServiceLayerErrors, TextTables) {
    EXPECT_EQ(svcErrorText(1079), L"Unknown error. RC: 1079\n");
    EXPECT_EQ(svcErrorText(5), L"The requested access was denied.\n");
    EXPECT_EQ(svcErrorText(SVC_ERROR_UNEXPECTED_VALUE), L"Unknown error. RC: 13\n");
    EXPECT_STREQ(svcTypeText(0x110), L"Service");
    EXPECT_STREQ(svcTypeText(0x01), L"Driver");
    EXPECT_EQ(svcTypeText(0x20), nullptr);
    EXPECT_STREQ(svcStateText(2), L"Running");
    EXPECT_STREQ(svcStateText(3), L"Stopped");
    EXPECT_EQ(svcStateText(9), nullptr);
    EXPECT_STREQ(svcStartTypeText(4), L"Disabled");
    EXPECT_EQ(svcStartTypeText(5), nullptr);
}

// The driver rewrite of its image path only touches an existing key, and a
// driver is never given a logon account.
TEST(ServiceLayerDriver, NoAccountForADriverAndNoKeyForAMissingOne) {
    HKEY key = nullptr;
    const wchar_t* driverKey = L"System\\CurrentControlSet\\Services\\QoraScsi";
    bool existed = RegOpenKeyExW(HKEY_LOCAL_MACHINE, driverKey, 0, KEY_READ, &key) == 0;
    if (key) RegCloseKey(key);
    if (!existed) {
        ServiceRequest req = request(L"QORAScsi");
        req.startType = SERVICE_SYSTEM_START;
        EXPECT_FALSE(svcChangeConfig(req));
        EXPECT_EQ(req.lastError, 1060u);
        EXPECT_NE(RegOpenKeyExW(HKEY_LOCAL_MACHINE, driverKey, 0, KEY_READ, &key), 0) << "key was created";
    }

    SC_HANDLE scm = OpenSCManagerW(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
    ASSERT_NE(scm, nullptr);
    SC_HANDLE drv = CreateServiceW(scm, L"QoraTestDrv", L"QoraTestDrv", SERVICE_ALL_ACCESS, SERVICE_KERNEL_DRIVER,
                                   SERVICE_DEMAND_START, SERVICE_ERROR_IGNORE,
                                   L"\\SystemRoot\\system32\\drivers\\qoratestdrv.sys", nullptr, nullptr, nullptr,
                                   nullptr, nullptr);
    ASSERT_NE(drv, nullptr) << GetLastError();
    ServiceRequest req = request(L"QoraTestDrv");
    req.startType = SERVICE_SYSTEM_START;
    req.isLocalSystem = 0;
    req.account = L".\\bob";
    EXPECT_TRUE(svcChangeConfig(req)) << req.lastError;
    ServiceRequest back = query(L"QoraTestDrv");
    EXPECT_EQ(back.typeText, L"Driver");
    EXPECT_EQ(back.startTypeText, L"System");
    EXPECT_NE(back.account, L".\\bob");
    DeleteService(drv);
    CloseServiceHandle(drv);
    CloseServiceHandle(scm);
}

}  // namespace
