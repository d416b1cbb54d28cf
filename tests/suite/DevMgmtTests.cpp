// The device-management stand-in as the module's loader reaches it: found beside the host program
// by the names of its entry points, listing what NorvikDevMgmt.ports beside it names.
#include "ports/DevMgmtProxy.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>

namespace {

std::wstring HostFolder() {
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    const std::wstring folder(path);
    return folder.substr(0, folder.find_last_of(L'\\') + 1);
}

// "COM7 usb Diag/Bench;" for each port.
std::string Summary(const CDevMgmtProxy::Listing& listing) {
    std::string summary;
    for (const LocalPortDescription& port : Described(listing))
        summary += std::string(port.portName.begin(), port.portName.end()) +
                   (port.isUsb ? " usb " : " serial ") +
                   std::string(port.description.begin(), port.description.end()) + "/" +
                   std::string(port.detail.begin(), port.detail.end()) + ";";
    return summary;
}

class DevMgmtStandIn : public ::testing::Test {
protected:
    // The demo leaves its own listing here.
    void SetUp() override { ::DeleteFileW(listing.c_str()); }
    void TearDown() override { ::DeleteFileW(listing.c_str()); }
    void Lists(const char* text) const { std::ofstream(listing.c_str(), std::ios::binary) << text; }

    const std::wstring listing = HostFolder() + L"NorvikDevMgmt.ports";
};

TEST_F(DevMgmtStandIn, ListsWhatItsFileNamesByListAndKind) {
    CDevMgmtProxy proxy;
    ASSERT_EQ(0u, proxy.Load());
    EXPECT_EQ("", Summary(proxy.GetPortListCom(16))) << "no file: a machine without ports";

    Lists("# bench\r\ncom\tCOM1\tserial\tCommunications Port\t\r\n"
          "com\tCOM7\tusb\tDiag \xC3\xA9\tBench\n"
          "modem\tCOM9\tusb\tData modem\t\n"
          "com\tCOM12\tusb\t\tNMEA\n");
    EXPECT_EQ("COM1 serial Communications Port/;COM7 usb Diag \xE9/Bench;COM12 usb /NMEA;",
              Summary(proxy.GetPortListCom(16)));
    EXPECT_EQ(Summary(proxy.GetPortListCom(16)), Summary(proxy.GetPortListCom(1)))
        << "every port, whatever the version";
    EXPECT_EQ("COM9 usb Data modem/;", Summary(proxy.GetPortListModem(16)));

    // The forms the module never calls answer too.
    const HMODULE library = ::GetModuleHandleW(L"NorvikDevMgmt.dll");
    ASSERT_TRUE(library);
    const auto usbOnly = reinterpret_cast<CPortDescriptions* (*)(bool)>(
        reinterpret_cast<void*>(::GetProcAddress(library, "_Z14GetPortListComb")));
    ASSERT_TRUE(usbOnly);
    EXPECT_EQ("COM7 usb Diag \xE9/Bench;COM12 usb /NMEA;", Summary(CDevMgmtProxy::Listing(usbOnly(true))));
}

TEST_F(DevMgmtStandIn, LoadsOnlyAWholeLibraryBesideTheHost) {
    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    const std::wstring empty =
        std::wstring(temp) + L"OstrelDevMgmt-" + std::to_wstring(::GetCurrentProcessId()) + L"\\";
    ::CreateDirectoryW(empty.c_str(), nullptr);
    CDevMgmtProxy proxy;
    EXPECT_EQ(DWORD(ERROR_MOD_NOT_FOUND), proxy.LoadFrom(empty));
    EXPECT_FALSE(proxy.GetPortListCom(16)) << "no library, no listing";

    const std::wstring older = empty + L"NorvikDevMgmt.dll";
    ASSERT_TRUE(
        ::CopyFileW((HostFolder() + L"NorvikDevMgmtWithoutComBool.dll").c_str(), older.c_str(), FALSE));
    EXPECT_EQ(DWORD(ERROR_INVALID_ADDRESS), proxy.LoadFrom(empty)) << "an entry point missing";
    EXPECT_FALSE(proxy.GetPortListModem(16));
    EXPECT_EQ(nullptr, ::GetModuleHandleW(older.c_str())) << "nothing is kept of a library refused";
    ::DeleteFileW(older.c_str());
    ::RemoveDirectoryW(empty.c_str());
}

} // namespace
