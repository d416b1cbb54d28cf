// The device-management stand-in as a loader reaches it: by the decorated names of its entry
// points, listing what NorvikDevMgmt.ports beside it names, the caller owning what it gets.
#include "PortDescription.h"

#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <string>

namespace {

using ListByCount = CPortDescriptions* (*)(unsigned int);
using ListUsbOnly = CPortDescriptions* (*)(bool);
using ListByClass = CPortDescriptions* (*)(GUID, unsigned int);

const GUID portsClass = {0x4D36E978, 0xE325, 0x11CE, {0xBF, 0xC1, 0x08, 0x00, 0x2B, 0xE1, 0x03, 0x18}};

std::string BesideTheLibrary(const char* name) {
    char path[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    const std::string folder(path);
    return folder.substr(0, folder.find_last_of('\\') + 1) + name;
}

// "COM7 usb Diag/Bench" for each port.
std::string Summary(CPortDescriptions* owned) {
    const std::unique_ptr<CPortDescriptions> ports(owned);
    std::string summary;
    for (const CPortDescription& port : *ports)
        summary += std::string(port.portName.begin(), port.portName.end()) + (port.isUsb ? " usb " : " serial ") +
                   std::string(port.description.begin(), port.description.end()) + "/" +
                   std::string(port.detail.begin(), port.detail.end()) + ";";
    return summary;
}

class DevMgmtStandIn : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(library) << "NorvikDevMgmt.dll beside the tests"; }
    void TearDown() override {
        ::FreeLibrary(library);
        ::DeleteFileA(listing.c_str());
    }
    template <class Function>
    Function Entry(const char* decorated) const {
        return reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(library, decorated)));
    }
    void Lists(const char* text) const { std::ofstream(listing, std::ios::binary) << text; }

    const std::string listing = BesideTheLibrary("NorvikDevMgmt.ports");
    HMODULE library = ::LoadLibraryA(BesideTheLibrary("NorvikDevMgmt.dll").c_str());
};

TEST_F(DevMgmtStandIn, ListsWhatItsFileNamesByListAndKind) {
    const auto com = Entry<ListByCount>("_Z14GetPortListComj");
    const auto modem = Entry<ListByCount>("_Z16GetPortListModemj");
    const auto comUsb = Entry<ListUsbOnly>("_Z14GetPortListComb");
    const auto byClass = Entry<ListByClass>("_Z11GetPortList5_GUIDj");
    ASSERT_TRUE(com && modem && comUsb && byClass);
    EXPECT_EQ("", Summary(com(16))) << "no file: a machine without ports";

    Lists("# bench\r\ncom\tCOM1\tserial\tCommunications Port\t\r\n"
          "com\tCOM7\tusb\tDiag \xC3\xA9\tBench\n"
          "modem\tCOM9\tusb\tData modem\t\n"
          "com\tCOM12\tusb\t\tNMEA\n");
    EXPECT_EQ("COM1 serial Communications Port/;COM7 usb Diag \xE9/Bench;COM12 usb /NMEA;", Summary(com(16)));
    EXPECT_EQ("COM1 serial Communications Port/;", Summary(com(1))) << "at most the count asked for";
    EXPECT_EQ("COM9 usb Data modem/;", Summary(modem(16)));
    EXPECT_EQ("COM7 usb Diag \xE9/Bench;COM12 usb /NMEA;", Summary(comUsb(true)));
    EXPECT_EQ(Summary(com(16)), Summary(byClass(portsClass, 16)));
    EXPECT_EQ("", Summary(byClass(GUID{}, 16)));
}

TEST_F(DevMgmtStandIn, AnOlderBuildLacksOneEntryPoint) {
    const HMODULE older = ::LoadLibraryA(BesideTheLibrary("NorvikDevMgmtWithoutComBool.dll").c_str());
    ASSERT_TRUE(older);
    EXPECT_EQ(nullptr, ::GetProcAddress(older, "_Z14GetPortListComb"));
    EXPECT_NE(nullptr, ::GetProcAddress(older, "_Z14GetPortListComj"));
    ::FreeLibrary(older);
}

} // namespace
