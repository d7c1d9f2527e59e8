// Utilities settings and the window placement record, in the real registry.
#include <gtest/gtest.h>
#include "common/cmd/ifcregis.h"
#include "common/cmd/utilsettings.h"
#include "tests/common/cmd/regtest.h"

using regtest::PRODUCT;
using regtest::regAdd;
using regtest::regQuery;

namespace {

const std::wstring SETTINGS = PRODUCT + L"\\Utils\\Settings";

class Settings : public regtest::InstalledProduct {
protected:
    void SetUp() override { reinstall({L"key:Utils\\Settings"}); }
    void TearDown() override { reinstall(); }
};

}  // namespace

TEST_F(Settings, DefaultsWhenNothingIsStored) {
    CUtilSettings s;
    s.load();
    EXPECT_TRUE(s.animation());
    EXPECT_TRUE(s.keepCmdLine());
    EXPECT_TRUE(s.displayTimeAndDate());
    EXPECT_EQ(s.servicePanelRefreshInMs(), 15000u);
    EXPECT_TRUE(s.servicePanelEnablePolling());
    EXPECT_EQ(s.launchTimeout(), 300000u);
    EXPECT_EQ(s.accountingMask(), 33554431);
    EXPECT_EQ(s.doNext(), 1u);
    EXPECT_EQ(s.inicfgState(), 0u);
    EXPECT_FALSE(s.standalone());
    EXPECT_FALSE(s.wantTips());
    EXPECT_FALSE(s.manualTapes());
    EXPECT_FALSE(s.autoTapes());
    EXPECT_EQ(s.maxLinesCM(), 2048u);
    EXPECT_FALSE(s.devFileOverride());
    EXPECT_FALSE(s.languageOverride());
}

TEST_F(Settings, SavedAsDwordsAndLoadedBack) {
    CUtilSettings s;
    s.setAnimation(false);
    s.setLaunchTimeoutSeconds(12);
    s.setServicePanelRefreshInSeconds(3);
    s.setAccountingMask(0x155);
    s.setDoNext(4);
    s.setInicfgState(0x2f);
    s.setStandalone(true);
    s.setWantTips(true);
    s.setAutoTapes(true);
    s.setMaxLinesCM(500);
    ASSERT_EQ(s.save(), ERROR_SUCCESS);

    std::string out = regQuery(SETTINGS);
    const char* expected[] = {
        "Animation    REG_DWORD    0x0",           "KeepCmdLine    REG_DWORD    0x1",
        "DisplayTimeAndDate    REG_DWORD    0x1",  "ServicePanelRefreshInMs    REG_DWORD    0xbb8",
        "ServicePanelEnablePolling    REG_DWORD    0x1", "LaunchTimeout    REG_DWORD    0x2ee0",
        "AccountingMask    REG_DWORD    0x155",    "DoNext    REG_DWORD    0x4",
        "inicfgState    REG_DWORD    0x2f",        "Standalone    REG_DWORD    0x1",
        "WantTips    REG_DWORD    0x1",            "ManualTapes    REG_DWORD    0x0",
        "AutoTapes    REG_DWORD    0x1",           "MaxLinesCM    REG_DWORD    0x1f4",
    };
    for (const char* e : expected) EXPECT_NE(out.find(e), std::string::npos) << e << "\n" << out;

    CUtilSettings back;
    back.load();
    EXPECT_FALSE(back.animation());
    EXPECT_EQ(back.launchTimeout(), 12000u);
    EXPECT_EQ(back.servicePanelRefreshInMs(), 3000u);
    EXPECT_EQ(back.accountingMask(), 0x155);
    EXPECT_EQ(back.doNext(), 4u);
    EXPECT_EQ(back.inicfgState(), 0x2fu);
    EXPECT_TRUE(back.standalone());
    EXPECT_TRUE(back.wantTips());
    EXPECT_FALSE(back.manualTapes());
    EXPECT_TRUE(back.autoTapes());
    EXPECT_EQ(back.maxLinesCM(), 500u);
}

TEST_F(Settings, MaxLinesAreClampedWhenSetAndWhenLoaded) {
    const struct {
        DWORD in, kept;
    } cases[] = {{0, 25}, {10, 25}, {24, 25}, {25, 25}, {2048, 2048}, {8192, 8192}, {8193, 8192}, {10000, 8192}};
    for (auto c : cases) {
        CUtilSettings s;
        s.setMaxLinesCM(c.in);
        EXPECT_EQ(s.maxLinesCM(), c.kept) << c.in;
        regAdd(SETTINGS, L"MaxLinesCM", L"REG_DWORD", std::to_wstring(c.in));
        CUtilSettings loaded;
        loaded.load();
        EXPECT_EQ(loaded.maxLinesCM(), c.kept) << c.in;
    }
}

TEST_F(Settings, BooleansOnlyForOneAndBadValuesKeepTheirDefault) {
    regAdd(SETTINGS, L"Animation", L"REG_DWORD", L"2");
    regAdd(SETTINGS, L"Standalone", L"REG_DWORD", L"1");
    regAdd(SETTINGS, L"LaunchTimeout", L"REG_SZ", L"60000");  // not a DWORD
    regAdd(SETTINGS, L"AccountingMask", L"REG_DWORD", L"4294967295");  // negative
    CUtilSettings s;
    s.load();
    EXPECT_FALSE(s.animation());
    EXPECT_TRUE(s.standalone());
    EXPECT_EQ(s.launchTimeout(), 300000u);
    EXPECT_EQ(s.accountingMask(), 33554431);
    s.setAccountingMask(-5);
    EXPECT_EQ(s.accountingMask(), 33554431);
}

TEST_F(Settings, LoadReadsOnlyOnce) {
    CUtilSettings s;
    s.load();
    regAdd(SETTINGS, L"DoNext", L"REG_DWORD", L"3");
    s.load();
    EXPECT_EQ(s.doNext(), 1u);
}

TEST(SettingsOverrides, DeviceFileAndLanguageAreHeldNotStored) {
    CUtilSettings s;
    s.setDevFile(std::wstring(300, L'd').c_str());
    EXPECT_TRUE(s.devFileOverride());
    EXPECT_EQ(s.devFile().size(), 259u);
    s.clearDevFile();
    EXPECT_FALSE(s.devFileOverride());
    s.setLanguageOverride(8);
    EXPECT_TRUE(s.languageOverride());
    EXPECT_EQ(s.languageOverrideIndex(), 8);
    s.setEnvironmentMarker(true);
    s.setStepMarker(true);
    EXPECT_TRUE(s.environmentMarker() && s.stepMarker());
    EXPECT_EQ(&utilSettings(), &utilSettings());
}

class Placement : public regtest::InstalledProduct {
protected:
    const std::wstring key = L"HKCU\\Software\\Tevra\\QORA\\CurrentVersion\\srvutil\\Window size";
    void SetUp() override {
        RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Tevra\\QORA\\CurrentVersion\\srvutil\\Window size");
        RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\Tevra\\QORA\\CurrentVersion\\srvutil\\Window size");
    }
};

TEST_F(Placement, RecordIsWrittenInTheProfileAndReadBack) {
    PlacementRecord rec;
    rec.rect = {100, 50, 800, 600};
    rec.iconized = 1;
    rec.maximized = 1;
    ASSERT_EQ(writePlacementRecord(rec), ERROR_SUCCESS);
    std::string out = regQuery(key);
    EXPECT_NE(out.find("Rect    REG_SZ    0100 0050 0800 0600"), std::string::npos) << out;
    EXPECT_NE(out.find("iconized    REG_DWORD    0x1"), std::string::npos) << out;
    EXPECT_NE(out.find("maximized    REG_DWORD    0x1"), std::string::npos) << out;

    PlacementRecord back = readPlacementRecord();
    EXPECT_TRUE(back.hasRect);
    EXPECT_EQ(back.rect.left, 100);
    EXPECT_EQ(back.rect.top, 50);
    EXPECT_EQ(back.rect.right, 800);
    EXPECT_EQ(back.rect.bottom, 600);

    WINDOWPLACEMENT wp = placementFromRecord(back, 1280, 1024, 1, 1);
    EXPECT_EQ(wp.rcNormalPosition.left, 100);
    EXPECT_EQ(wp.rcNormalPosition.bottom, 600);
    // Closed while minimized from maximized: minimized again, maximized when restored.
    EXPECT_EQ(wp.showCmd, (UINT)SW_SHOWMINNOACTIVE);
    EXPECT_TRUE(wp.flags & WPF_RESTORETOMAXIMIZED);
    EXPECT_EQ(wp.ptMinPosition.x, 0);
    EXPECT_EQ(wp.ptMaxPosition.x, -1);
    EXPECT_EQ(wp.ptMaxPosition.y, -1);
}

TEST_F(Placement, MissingRecordCentresTheDefaultWindow) {
    PlacementRecord rec = readPlacementRecord();
    EXPECT_FALSE(rec.hasRect);
    EXPECT_EQ(rec.iconized, 0);
    EXPECT_EQ(rec.maximized, 0);
    WINDOWPLACEMENT wp = placementFromRecord(rec, 1280, 1024, 1, 1);
    EXPECT_EQ(wp.rcNormalPosition.left, 330);
    EXPECT_EQ(wp.rcNormalPosition.top, 297);
    EXPECT_EQ(wp.rcNormalPosition.right - wp.rcNormalPosition.left, 620);
    EXPECT_EQ(wp.rcNormalPosition.bottom - wp.rcNormalPosition.top, 430);
    EXPECT_EQ(wp.showCmd, (UINT)SW_SHOWNORMAL);
}

TEST(PlacementRecordOf, EachShowStateOfTheWindow) {
    const struct {
        UINT showCmd;
        UINT flags;
        int iconized, maximized;
        UINT restoredShow;
    } cases[] = {
        {SW_SHOWNORMAL, 0, 0, 0, SW_SHOWNORMAL},
        {SW_SHOWMAXIMIZED, 0, 0, 1, SW_SHOWMAXIMIZED},
        {SW_SHOWMINIMIZED, 0, 1, 0, SW_SHOWMINNOACTIVE},
        {SW_SHOWMINIMIZED, WPF_RESTORETOMAXIMIZED, 1, 1, SW_SHOWMINNOACTIVE},
    };
    for (auto c : cases) {
        WINDOWPLACEMENT wp{};
        wp.length = sizeof wp;
        wp.showCmd = c.showCmd;
        wp.flags = c.flags;
        wp.rcNormalPosition = {1, 2, 3, 4};
        PlacementRecord rec = recordFromPlacement(wp);
        EXPECT_EQ(rec.iconized, c.iconized) << c.showCmd;
        EXPECT_EQ(rec.maximized, c.maximized) << c.showCmd;
        EXPECT_EQ(formatPlacementRect(rec.rect), L"0001 0002 0003 0004");
        EXPECT_EQ(placementFromRecord(rec, 800, 600, 0, 0).showCmd, c.restoredShow) << c.showCmd;
    }
    RECT r;
    EXPECT_FALSE(parsePlacementRect(L"0100 0050", r));
}
