// Enumeration of the SCSI device map as the system publishes it: volatile
// keys under HKLM\HARDWARE\DEVICEMAP\Scsi made by the test itself.
#include <gtest/gtest.h>
#include <windows.h>
#include <string>
#include <utility>
#include <vector>
#include "common/cmd/elemload.h"
#include "common/cmd/msglib.h"
#include "srvutil/devenum.h"
#include "tests/support/testsupport.h"

namespace {

const wchar_t kScsi[] = L"HARDWARE\\DEVICEMAP\\Scsi";

using Values = std::vector<std::pair<const wchar_t*, std::wstring>>;

// One logical unit key with its values; every level volatile, as the
// system's own device map is.
void addUnit(const std::wstring& path, const Values& values) {
    std::wstring at = kScsi;
    size_t pos = 0;
    HKEY key = nullptr;
    while (pos <= path.size()) {
        size_t next = path.find(L'\\', pos);
        if (next == std::wstring::npos) next = path.size();
        at += L"\\" + path.substr(pos, next - pos);
        if (key) RegCloseKey(key);
        ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, at.c_str(), 0, nullptr, REG_OPTION_VOLATILE,
                                  KEY_ALL_ACCESS, nullptr, &key, nullptr),
                  ERROR_SUCCESS) << qtest::narrow(at);
        pos = next + 1;
    }
    for (const auto& [name, text] : values)
        RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                       DWORD((text.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
}

void clearDeviceMap() {
    HKEY scsi;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kScsi, 0, KEY_ALL_ACCESS, &scsi) != ERROR_SUCCESS) return;
    wchar_t name[256];
    DWORD len = 256;
    while (len = 256, RegEnumKeyExW(scsi, 0, name, &len, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS)
        if (RegDeleteTreeW(scsi, name) != ERROR_SUCCESS) break;
    RegCloseKey(scsi);
}

const std::wstring kBus0 = L"Scsi Port 0\\Scsi Bus 0\\";

// The map the device simulator publishes: a library with two drives owned
// by QoraScsi, a stand-alone tape drive, a disk and a CD-ROM.
void addLibraryMap() {
    addUnit(kBus0 + L"Initiator Id 7", {});
    addUnit(kBus0 + L"Target Id 1\\Logical Unit Id 0",
            {{L"Type", L"MediumChangerPeripheral"}, {L"Identifier", L"TEVRA   QLIB-2          1.00"},
             {L"DeviceName", L"Changer0"}, {L"QORADriver", L"QoraScsi"}, {L"DEVCLASS", L"LIBRARY"}});
    addUnit(kBus0 + L"Target Id 2\\Logical Unit Id 0",
            {{L"Type", L"TapePeripheral"}, {L"Identifier", L"TEVRA   QT-40           3.02"},
             {L"DeviceName", L"qt2.0.0.0"}, {L"QORADriver", L"QoraScsi"}, {L"DEVCLASS", L"QTAPE"}});
    addUnit(kBus0 + L"Target Id 3\\Logical Unit Id 0",
            {{L"Type", L"TapePeripheral"}, {L"Identifier", L"TEVRA   QT-40           3.02"},
             {L"DeviceName", L"qt3.0.0.0"}, {L"QORADriver", L"QoraScsi"}, {L"DEVCLASS", L"QTAPE"}});
    addUnit(kBus0 + L"Target Id 12\\Logical Unit Id 0",
            {{L"Type", L"TapePeripheral"}, {L"Identifier", L"ACME    DAT-4           1.0"},
             {L"DeviceName", L"Tape12"}});
    addUnit(L"Scsi Port 12\\Scsi Bus 0\\Target Id 0\\Logical Unit Id 0",
            {{L"Type", L"DiskPeripheral"}, {L"Identifier", L"ACME    DISK-9          1.0"}});
    addUnit(L"Scsi Port 12\\Scsi Bus 0\\Target Id 5\\Logical Unit Id 0",
            {{L"Type", L"CdRomPeripheral"}, {L"Identifier", L"ACME    CDROM-32        2.0"},
             {L"DeviceName", L"CdRom0"}});
}

std::wstring localName() {
    wchar_t name[MAX_COMPUTERNAME_LENGTH + 1];
    DWORD len = MAX_COMPUTERNAME_LENGTH + 1;
    GetComputerNameW(name, &len);
    return name;
}

class DeviceMap : public testing::Test {
protected:
    void SetUp() override { clearDeviceMap(); }
    void TearDown() override {
        FreeDeviceList(list, kMaxDevices);
        clearDeviceMap();
    }
    DeviceEntry* list[kMaxDevices] = {};
    int count = -1;
};

TEST_F(DeviceMap, EnumeratesEveryLogicalUnit) {
    addLibraryMap();
    ASSERT_EQ(scanScsiDevices(localName().c_str(), list, kMaxDevices, count, false), 0u);
    ASSERT_EQ(count, 6);
    // In the registry's order of key names: Target Id 12 before Target Id 2.
    struct Expected {
        uint32_t port, bus, id, lun;
        DeviceKind kind;
        uint32_t owned;
        const wchar_t *name, *cls, *driver;
    } expected[] = {
        {0, 0, 1, 0, DEVKIND_CHANGER, 1, L"Changer0", L"LIBRARY", L"QoraScsi"},
        {0, 0, 12, 0, DEVKIND_TAPE, 0, L"\\\\.\\Tape12", L"GENERICTAPE", L""},
        {0, 0, 2, 0, DEVKIND_TAPE, 1, L"qt2.0.0.0", L"QTAPE", L"QoraScsi"},
        {0, 0, 3, 0, DEVKIND_TAPE, 1, L"qt3.0.0.0", L"QTAPE", L"QoraScsi"},
        {12, 0, 0, 0, DEVKIND_DISK, 0, L"", L"", L""},
        {12, 0, 5, 0, DEVKIND_CDROM, 0, L"CdRom0", L"", L""},
    };
    for (int i = 0; i < count; ++i) {
        const DeviceEntry& e = *list[i];
        const Expected& x = expected[i];
        EXPECT_EQ(e.port, x.port) << i;
        EXPECT_EQ(e.bus, x.bus) << i;
        EXPECT_EQ(e.targetId, x.id) << i;
        EXPECT_EQ(e.lun, x.lun) << i;
        EXPECT_EQ(e.kind, x.kind) << i;
        EXPECT_EQ(e.owned, x.owned) << i;
        EXPECT_EQ(e.deviceName, x.name) << i;
        EXPECT_EQ(e.deviceClass, x.cls) << i;
        EXPECT_EQ(e.driver, x.driver) << i;
        EXPECT_EQ(e.key, uint32_t(i));
        EXPECT_TRUE(e.element.empty());
    }
    EXPECT_EQ(list[0]->identifier, L"TEVRA   QLIB-2          1.00");
    EXPECT_EQ(list[0]->type, L"MediumChangerPeripheral");
}

TEST_F(DeviceMap, TapeNamesOfTheSystem) {
    const std::pair<const wchar_t*, const wchar_t*> names[] = {
        {L"Tape0", L"\\\\.\\Tape0"}, {L"Tape24", L"\\\\.\\Tape24"}, {L"Tape", L"\\\\.\\Tape0"},
        {L"Tape25", L"Tape25"}, {L"mt0.1.0.0", L"mt0.1.0.0"}};
    int id = 0;
    for (auto [name, _] : names)
        addUnit(kBus0 + L"Target Id " + std::to_wstring(id++) + L"\\Logical Unit Id 0",
                {{L"Type", L"TapePeripheral"}, {L"DeviceName", name}});
    ASSERT_EQ(scanScsiDevices(nullptr, list, kMaxDevices, count, false), 0u);
    ASSERT_EQ(count, 5);
    for (int i = 0; i < count; ++i) EXPECT_EQ(list[i]->deviceName, names[i].second) << i;
}

TEST_F(DeviceMap, OnlyTheAdaptersOwnKeyIsNoDevice) {
    addUnit(kBus0 + L"Initiator Id 7", {});
    EXPECT_EQ(scanScsiDevices(nullptr, list, kMaxDevices, count, false), 0u);
    EXPECT_EQ(count, 0);
}

TEST_F(DeviceMap, FullListFailsTheWholeEnumeration) {
    addLibraryMap();
    EXPECT_EQ(scanScsiDevices(nullptr, list, 5, count, false), SCSI_LIST_FULL);
    EXPECT_EQ(count, 0);
    for (auto* e : list) EXPECT_EQ(e, nullptr);
    ASSERT_EQ(scanScsiDevices(nullptr, list, 6, count, false), 0u);
    EXPECT_EQ(count, 6);
}

TEST_F(DeviceMap, MissingMapMeansNoDevicesAndIsNotCreated) {
    LONG deleted = RegDeleteTreeW(HKEY_LOCAL_MACHINE, kScsi);
    DWORD status = scanScsiDevices(nullptr, list, kMaxDevices, count, false);
    HKEY probe;
    LONG reopened = RegOpenKeyExW(HKEY_LOCAL_MACHINE, kScsi, 0, KEY_READ, &probe);
    if (reopened == ERROR_SUCCESS) RegCloseKey(probe);
    // Put the system's key back as it was.
    HKEY scsi;
    RegCreateKeyExW(HKEY_LOCAL_MACHINE, kScsi, 0, nullptr, REG_OPTION_VOLATILE, KEY_ALL_ACCESS,
                    nullptr, &scsi, nullptr);
    RegCloseKey(scsi);
    ASSERT_EQ(deleted, ERROR_SUCCESS);
    EXPECT_EQ(status, 0u);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(reopened, ERROR_FILE_NOT_FOUND);
}

// The prefix has fixed drives and the network drive Y: only.
TEST_F(DeviceMap, FixedAndNetworkDrivesAreNoRemovableDevices) {
    addLibraryMap();
    ASSERT_EQ(scanScsiDevices(localName().c_str(), list, kMaxDevices, count, true), 0u);
    EXPECT_EQ(count, 6);
    EXPECT_TRUE(isLocalComputer(nullptr));
    EXPECT_TRUE(isLocalComputer((L"\\\\" + localName()).c_str()));
    EXPECT_FALSE(isLocalComputer(L"NOSUCHHOST"));
}

TEST_F(DeviceMap, AnotherComputerIsTheBadNetworkPath) {
    addLibraryMap();
    EXPECT_EQ(scanScsiDevices(L"\\\\NOSUCHHOST", list, kMaxDevices, count, true), DWORD(ERROR_BAD_NETPATH));
    EXPECT_EQ(count, 0);
}

int boxes;
std::wstring boxTitle, boxText;
UINT boxFlags;
int recordBox(HWND, const TCHAR* title, const TCHAR* text, UINT flags) {
    ++boxes;
    boxTitle = title;
    boxText = text;
    boxFlags = flags;
    return IDOK;
}

TEST_F(DeviceMap, FailureIsShownWithTheSystemsText) {
    MessageBoxHook old = setMessageBoxHook(recordBox);
    boxes = 0;
    int rc = EnumerateScsiDevices(L"NOSUCHHOST", list, kMaxDevices, count, false);
    setMessageBoxHook(old);
    EXPECT_EQ(rc, 0);
    EXPECT_EQ(boxes, 1);
    EXPECT_EQ(boxTitle, L"Error - FM");
    EXPECT_FALSE(boxText.empty());
    EXPECT_EQ(boxFlags & MB_ICONMASK, UINT(MB_ICONINFORMATION));
}

TEST_F(DeviceMap, MissingDeviceFileIsReportedAndListsNothing) {
    MessageBoxHook old = setMessageBoxHook(recordBox);
    boxes = 0;
    int rc = ReadDeviceFile(L"D:\\no-such-devices.txt", list, kMaxDevices, count);
    setMessageBoxHook(old);
    EXPECT_EQ(rc, 0);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(boxes, 1);
    EXPECT_EQ(boxText.rfind(L"File error - 2, 2 (", 0), 0u) << qtest::narrow(boxText);
}

TEST_F(DeviceMap, DeviceFileIsReadWhole) {
    qtest::TempDir dir(L"devfile");
    std::string report =
        "Device Type:        DiskPartition\r\nQORA Device Name:   e:\\\r\n"
        "QORA Device Type:   REMOVABLEFILE\r\nID:                 0\r\n";
    ASSERT_TRUE(qtest::writeFile(dir / L"devices.txt", report));
    ASSERT_EQ(ReadDeviceFile((dir / L"devices.txt").c_str(), list, kMaxDevices, count), 1);
    ASSERT_EQ(count, 1);
    EXPECT_EQ(list[0]->deviceName, L"e:\\");
    EXPECT_EQ(list[0]->kind, DEVKIND_REMOVABLE);
}

// The map as the device simulator publishes it, and the element numbers of
// its library's drives from our element.dat.
TEST_F(DeviceMap, SimulatorsLibraryAndItsElementNumbers) {
    qtest::TempDir state(L"simdev");
    ASSERT_TRUE(qtest::writeFile(state / L"devices.txt",
        "lb0.1.0.0 kind=changer vendor=TEVRA product=QLIB-2 revision=1.00 target=1\n"
        "qt0.2.0.0 kind=tape vendor=TEVRA product=QT-40 revision=3.02 target=2 devclass=QTAPE\n"
        "qt0.3.0.0 kind=tape vendor=TEVRA product=QT-40 revision=3.02 target=3 devclass=QTAPE\n"
        "Tape0 kind=tape vendor=ACME product=DAT-4 target=4 owned=0\n"
        "Disk0 type=DiskPeripheral vendor=ACME product=DISK-9 port=1 target=0 owned=0\n"
        "CdRom0 type=CdRomPeripheral vendor=ACME product=CDROM-32 port=1 target=5 owned=0\n"));
    qtest::RunResult r = qtest::run(L"\"" + qtest::binDir() + L"simdev.exe\" publish " + state.path());
    ASSERT_EQ(r.exitCode, 0u) << r.output;
    DWORD status = scanScsiDevices(localName().c_str(), list, kMaxDevices, count, false);
    qtest::run(L"\"" + qtest::binDir() + L"simdev.exe\" unpublish");
    ASSERT_EQ(status, 0u);
    ASSERT_EQ(count, 6);
    struct Expected {
        DeviceKind kind;
        uint32_t port, id, owned;
        const wchar_t *name, *cls;
    } expected[] = {
        {DEVKIND_CHANGER, 0, 1, 1, L"lb0.1.0.0", L"LIBRARY"},
        {DEVKIND_TAPE, 0, 2, 1, L"qt0.2.0.0", L"QTAPE"},
        {DEVKIND_TAPE, 0, 3, 1, L"qt0.3.0.0", L"QTAPE"},
        {DEVKIND_TAPE, 0, 4, 0, L"\\\\.\\Tape0", L"GENERICTAPE"},
        {DEVKIND_DISK, 1, 0, 0, L"Disk0", L""},
        {DEVKIND_CDROM, 1, 5, 0, L"CdRom0", L""},
    };
    for (int i = 0; i < count; ++i) {
        EXPECT_EQ(list[i]->kind, expected[i].kind) << i;
        EXPECT_EQ(list[i]->port, expected[i].port) << i;
        EXPECT_EQ(list[i]->targetId, expected[i].id) << i;
        EXPECT_EQ(list[i]->owned, expected[i].owned) << i;
        EXPECT_EQ(list[i]->deviceName, expected[i].name) << i;
        EXPECT_EQ(list[i]->deviceClass, expected[i].cls) << i;
    }

    ElementTable table;
    ASSERT_EQ(loadQoraElementInformation(table, qtest::sourceDir() + L"resources\\data\\element.dat"), 0);
    for (bool strip : {false, true}) {
        int drives, element;
        std::wstring comment;
        ASSERT_TRUE(table.lookupQoraElementInfo(list[0]->identifier, strip, 1, drives, element, comment))
            << qtest::narrow(list[0]->identifier);
        EXPECT_EQ(drives, 2);
        EXPECT_EQ(element, 128);
        ASSERT_TRUE(table.lookupQoraElementInfo(list[0]->identifier, strip, 2, drives, element, comment));
        EXPECT_EQ(element, 129);
    }
    EXPECT_EQ(loadQoraElementInformation(table, L"D:\\no-element.dat"), ELEMENT_FILE_MISSING);
}

}  // namespace
