// The DEVFILE report: blocks of labelled lines, one per device.
#include <gtest/gtest.h>
#include <string>
#include "srvutil/devlist.h"

namespace {

std::wstring block(const std::wstring& type, const std::wstring& name, const std::wstring& cls,
                   int id, int lun, int bus, int port, const std::wstring& identifier) {
    return L"Device Type:        " + type + L"\r\n" +
           L"QORA Device Name:   " + name + L"\r\n" +
           L"QORA Device Type:   " + cls + L"\r\n" +
           L"ID:                 " + std::to_wstring(id) + L"\r\n" +
           L"LUN:                " + std::to_wstring(lun) + L"\r\n" +
           L"Bus:                " + std::to_wstring(bus) + L"\r\n" +
           L"Port:               " + std::to_wstring(port) + L"\r\n" +
           L"Device Identifier:  " + identifier + L"\r\n\r\n";
}

class Report : public testing::Test {
protected:
    void TearDown() override { FreeDeviceList(list, kMaxDevices); }
    DeviceEntry* list[kMaxDevices] = {};
};

TEST_F(Report, ReadsEachBlock) {
    std::wstring text = L"Devices attached to SERVER1\r\n\r\n" +
        block(L"MediumChangerPeripheral", L"lb0.1.0.2", L"LIBRARY", 1, 0, 0, 2, L"TEVRA   QLIB-2          1.00") +
        block(L"TapePeripheral", L"qt0.2.0.2", L"QTAPE", 2, 0, 0, 2, L"TEVRA   QT-40           3.02") +
        block(L"TapePeripheral", L"\\\\.\\Tape12", L"GENERICTAPE", 12, 0, 0, 1, L"ACME    DAT-4           1.0") +
        block(L"DiskPeripheral", L"n/a", L"DISK", 0, 0, 0, 0, L"ACME    DISK-9          1.0") +
        block(L"DiskPartition", L"e:\\", L"REMOVABLEFILE", 0, 0, 0, 0, L"e:\\ n/a") +
        block(L"ScannerPeripheral", L"n/a", L"n/a", 5, 1, 0, 3, L"ACME    SCAN            1.0");
    ASSERT_EQ(parseDeviceReport(text, list, kMaxDevices), 6);

    struct Expected {
        DeviceKind kind;
        uint32_t owned;
        const wchar_t* name;
    } expected[] = {{DEVKIND_CHANGER, 1, L"lb0.1.0.2"}, {DEVKIND_TAPE, 1, L"qt0.2.0.2"},
                    {DEVKIND_TAPE, 0, L"\\\\.\\Tape12"}, {DEVKIND_DISK, 0, L"n/a"},
                    {DEVKIND_REMOVABLE, 1, L"e:\\"}, {DEVKIND_TAPE, 0, L"n/a"}};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(list[i]->kind, expected[i].kind) << i;
        EXPECT_EQ(list[i]->owned, expected[i].owned) << i;
        EXPECT_EQ(list[i]->deviceName, expected[i].name) << i;
        EXPECT_EQ(list[i]->key, uint32_t(i));
    }
    EXPECT_EQ(list[0]->type, L"MediumChangerPeripheral");
    EXPECT_EQ(list[0]->deviceClass, L"LIBRARY");
    EXPECT_EQ(list[0]->identifier, L"TEVRA   QLIB-2          1.00");
    EXPECT_EQ(list[0]->port, 2u);
    EXPECT_EQ(list[0]->targetId, 1u);
    EXPECT_EQ(list[2]->targetId, 12u);
    EXPECT_EQ(list[4]->identifier, L"e:\\ n/a");
    EXPECT_EQ(list[5]->port, 3u);
    EXPECT_EQ(list[5]->lun, 1u);
}

TEST_F(Report, StopsAtTheListsCapacity) {
    std::wstring text;
    for (int i = 0; i < 300; ++i)
        text += block(L"TapePeripheral", L"qt" + std::to_wstring(i), L"QTAPE", i % 16, 0, 0, 0, L"T");
    EXPECT_EQ(parseDeviceReport(text, list, kMaxDevices), kMaxDevices);
    EXPECT_EQ(list[255]->deviceName, L"qt255");
}

TEST_F(Report, ShortBlocksLeaveTheRestEmpty) {
    std::wstring text = L"Device Type:        TapePeripheral\nQORA Device Name:   qt1\n"
                        L"Device Type:        CdRomPeripheral\nQORA Device Name:   cd0";
    ASSERT_EQ(parseDeviceReport(text, list, kMaxDevices), 2);
    EXPECT_EQ(list[0]->deviceName, L"qt1");
    EXPECT_EQ(list[0]->deviceClass, L"");
    EXPECT_EQ(list[0]->targetId, 0u);
    EXPECT_EQ(list[1]->kind, DEVKIND_CDROM);
    EXPECT_EQ(list[1]->deviceName, L"cd0");
    EXPECT_EQ(parseDeviceReport(L"", list + 2, kMaxDevices - 2), 0);
}

TEST(DeviceKinds, FollowTheTypeWithoutCase) {
    EXPECT_EQ(deviceKindOfType(L"tapeperipheral", false), DEVKIND_TAPE);
    EXPECT_EQ(deviceKindOfType(L"MEDIUMCHANGERPERIPHERAL", false), DEVKIND_CHANGER);
    EXPECT_EQ(deviceKindOfType(L"OpticalDiskPeripheral", false), DEVKIND_OPTICAL);
    EXPECT_EQ(deviceKindOfType(L"DiskPartition", false), DEVKIND_OTHER);
    EXPECT_EQ(deviceKindOfType(L"DiskPartition", true), DEVKIND_REMOVABLE);
    EXPECT_EQ(deviceKindOfType(L"TapePeripheralX", false), DEVKIND_OTHER);
}

}  // namespace
