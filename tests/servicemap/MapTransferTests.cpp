// Reading and writing a phone's service map on the in-process simulator's bench phone on COM1,
// alone and through the dialog: what reaches the phone (its file, the server calls) and the
// messages the user sees.
#include "devicesim/ScenarioLoader.h"
#include "devicesim/SimServer.h"
#include "foundation/Com/Failure.h"
#include "foundation/Lang/ErrorText.h"
#include "foundation/Lang/Text.h"
#include "framework/com/ClassTable.h"
#include "framework/com/Module.h"
#include "framework/com/TypeLibrary.h"
#include "framework/windows/ListView.h"
#include "servicemap/MapStream.h"
#include "servicemap/MapTransfer.h"
#include "servicemap/RdmPortAssignDlg.h"
#include "servicemap/ServiceAssignList.h"
#include "servicemap/ServiceListView.h"
#include "servicemap/ServicePoolList.h"
#include "tests/support/ModalDriver.h"
#include "tests/support/Scoped.h"
#include "tests/support/SimCalls.h"
#include "tests/support/TestContainer.h"

#include <gtest/gtest.h>

#include <new>
#include <string>
#include <vector>

using Microsoft::WRL::ComPtr;
using namespace ServiceMap;
using Bytes = std::vector<std::uint8_t>;

namespace {

// DIAG on UART1, DATA on USB MDM, NMEA on USB SER2; the edit moves DIAG to USB SER1.
constexpr char benchMap[] = "FF 00 FF FF 01 FF FF FF FF FF 05 FF FF FF FF FF FF FF FF FF FF FF FF";
constexpr char editedMap[] = "FF FF FF FF 01 FF 00 FF FF FF 05 FF FF FF FF FF FF FF FF FF FF FF FF";
constexpr char noDiagMap[] = "FF FF FF FF 01 FF FF FF FF FF 05 FF FF FF FF FF FF FF FF FF FF FF FF";
constexpr char deviceZeroDiagMap[] = "00 FF FF FF 01 FF FF FF FF FF 05 FF FF FF FF FF FF FF FF FF FF FF FF";
constexpr char noEfs[] = "stop: No EFS on mobile or not version 2.0";
constexpr char writeFailed[] = "stop: The application could not write RDM_DEV_MAP to selected phone. Is this "
                               "phone online, configured correctly, and responding to other requests?";
constexpr char noDiag[] = "info: The DIAG service is not assigned to a port. If you continue, you will be "
                          "unable to communicate with the phone. Do you really wish to do this?";
constexpr char allWrites[] = "OpenFile(RDM_DEV_MAP,1) Write Commit(1) RequestPhoneMode(4) AwaitPhoneMode(5,6000,0)";
constexpr char mapRead[] = "OpenFile(RDM_DEV_MAP,0)";

std::string Hex(const Bytes& bytes) {
    std::string text;
    for (const std::uint8_t byte : bytes)
        text += Lang::Format(text.empty() ? "%02X" : " %02X", byte);
    return text;
}

Table TableOf(const char* hex) {
    Table table;
    for (size_t d = 0; d < tableSize; ++d)
        table[d] = static_cast<std::uint8_t>(std::stoi(std::string(hex + 3 * d, 2), nullptr, 16));
    return table;
}

const Fw::ClassEntry listClasses[] = {{&CLSID_RdmSvcAsgn, 0, Fw::CreatorOf<CRdmSvcAsgn>},
                                      {&CLSID_RdmSvcPool, 0, Fw::CreatorOf<CRdmSvcPool>}};

class MapTransferTest : public ::testing::Test {
protected:
    void SetUp() override { Start(); }
    void TearDown() override { Fw::TypeLibrary::Release(); }

    // A fresh bench; `fault` then fails a server member ("Write") or changes the phone's file
    // system ("{...}"), `noFile` removes the map.
    void Start(const std::string& fault = "", bool noFile = false) {
        server = Sim::CreateSimServer(Sim::LoadScenario(std::string(OSTREL_SCENARIO_DIR) + "/bench.json"));
        ASSERT_EQ(S_OK, server.As(&sim));
        ComPtr<IOstrelPortManager> manager;
        ComPtr<IUnknown> object;
        ASSERT_EQ(S_OK, server->GetPortManager(&manager));
        ASSERT_EQ(S_OK, manager->GetPort(1, &port));
        ASSERT_EQ(S_OK, port->GetPortObject(17, 0, &object));
        ASSERT_EQ(S_OK, object.As(&efs));
        if (noFile)
            efs->RemoveFile(_bstr_t("RDM_DEV_MAP"));
        if (fault[0] == '{')
            sim->ChangePhone(1, _bstr_t(("{\"efs\": " + fault + "}").c_str()));
        else if (!fault.empty())
            sim->FailOperation(_bstr_t(fault.c_str()), STG_E_MEDIUMFULL);
        asRead.fill(0xFF);
        Calls();
    }
    std::string File() {
        _bstr_t hex;
        EXPECT_EQ(S_OK, sim->GetPhoneFile(1, _bstr_t("RDM_DEV_MAP"), hex.GetAddress()));
        return hex.length() ? std::string(hex) : std::string();
    }
    std::string Calls() {
        return TestSupport::TakeCalls(sim.Get(),
                                      {"OpenFile", "Write", "Commit", "RequestPhoneMode", "AwaitPhoneMode"});
    }
    // The one message box shown ("" for none) as "stop: text" or "info: text", its caption and
    // owner checked.
    std::string Message(const TestSupport::ModalDriver& driver, size_t dialogs = 0) {
        if (driver.Seen().size() <= dialogs)
            return "";
        EXPECT_EQ(dialogs + 1, driver.Seen().size());
        const TestSupport::DialogRecord& box = driver.Seen()[0];
        EXPECT_EQ("NORVIK Service Port Mapping", box.caption);
        EXPECT_EQ(container.Window(), box.owner);
        const bool stop = box.icon == TestSupport::DialogIcon::Stop;
        EXPECT_EQ((stop ? std::vector<int>{IDOK} : std::vector<int>{IDYES, IDNO}), box.buttons);
        return (stop                                               ? "stop: "
                : box.icon == TestSupport::DialogIcon::Information ? "info: "
                                                                   : "?: ") +
               box.message;
    }

    ComPtr<IOstrelServer> server;
    ComPtr<IOstrelSimControl> sim;
    ComPtr<IOstrelPort> port;
    ComPtr<IPhoneEfs> efs;
    TestSupport::TestContainer container;
    Table asRead;
    Fw::ClassTable classTable{listClasses};
    const TestSupport::Scoped<Fw::ClassTable*> classes{
        [](Fw::ClassTable* table) { return Fw::Module::Current().SetClasses(table); }, &classTable};
};

TEST_F(MapTransferTest, FilesOfAnyLengthGoBackOnlyWhenTheListsDifferFromThem) {
    // DIAG on UART1, the unknown service 0x20 on USB MMC and bytes beyond the table; the second
    // map holds other values than 0xFF on devices 0 and 22, which no list shows.
    Bytes plain(64, 0xA5);
    for (size_t d = 0; d < tableSize; ++d)
        plain[d] = d == 1 ? 0x00 : d == 5 ? 0x20 : d % 3 && d != 22 ? 0x01 : 0xFF;
    Bytes odd = plain;
    odd[0] = 0x00;
    odd[22] = 0x07;
    for (const Bytes& map : {plain, odd}) {
        for (size_t length = 0; length <= map.size(); ++length) {
            const Bytes file(map.begin(), map.begin() + length);
            SCOPED_TRACE(Hex(file));
            ASSERT_EQ(S_OK, sim->SetPhoneFile(1, _bstr_t("RDM_DEV_MAP"), _bstr_t(Hex(file).c_str())));
            asRead.fill(0xFF);
            Bytes handedOn;
            std::vector<int> rows(lastShownDevice, nullService); // the assigned list's
            ASSERT_TRUE(ReadMap(efs.Get(), container.Window(), asRead, [&](IStream* table) {
                handedOn = ReadFromStart(table, 100);
                ApplyTable(ReadTable(ReadFromStart(table, tableSize)), rows);
            }));
            EXPECT_EQ(file, handedOn);
            EXPECT_EQ(ReadTable(file).table, asRead);
            EXPECT_EQ(mapRead, Calls());

            const Table edited = TableOfRows(rows);
            const bool differs = (length > 0 && file[0] != 0xFF) || (length > 22 && file[22] != 0xFF);
            TestSupport::ModalDriver driver;
            if (differs && length < 2) // DIAG's device is not in the file
                driver.Expect([](TestSupport::ModalDialog& box) { box.Click(IDYES); });
            EXPECT_EQ(
                differs ? WriteOutcome::written : WriteOutcome::unchanged,
                WriteMap(asRead, NewStream(edited).Get(), efs.Get(), port.Get(), true, container.Window()));
            EXPECT_EQ(differs ? Hex({edited.begin(), edited.end()}) : Hex(file), File());
            EXPECT_EQ(differs ? allWrites : "", Calls());
            EXPECT_EQ(length > 5 ? 0x20 : 0xFF, edited[5]);
        }
    }
}

TEST_F(MapTransferTest, AFailedReadIsShownWithItsStatusAndLeavesTheTableUnread) {
    enum Fault { server, noFile, noFileSystem, listRefuses, listThrows };
    const auto failed = [](HRESULT status) {
        return Lang::Format("stop: Could not read RDM_DEV_MAP from selected phone - Error = 0x%08x, ",
                            unsigned(status)) +
               Lang::ErrorText(status);
    };
    const struct {
        Fault fault;
        const char* member; // or the phone's file system
        std::string message;
    } cases[] = {
        {server, "IsEfsPresent", failed(STG_E_MEDIUMFULL)},
        {server, "OpenFile", failed(STG_E_MEDIUMFULL)},
        {server, "Read", failed(STG_E_MEDIUMFULL)},
        {server, R"({"present": false, "version": 2})", noEfs},
        {server, R"({"present": true, "version": 1})", noEfs},
        {server, R"({"present": true, "version": 3})", noEfs},
        {noFile, "", failed(STG_E_FILENOTFOUND)},
        {noFileSystem, "", failed(E_POINTER)},
        {listRefuses, "", failed(E_OUTOFMEMORY)},
        {listThrows, "",
         "stop: There was an unexpected exception on the phone. Is it still connected and online?"},
    };
    const Table unread = asRead;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.member + std::to_string(c.fault));
        Start(c.member, c.fault == noFile);
        TestSupport::ModalDriver driver;
        driver.Expect([](TestSupport::ModalDialog& box) { box.Click(IDOK); });
        int handedOn = 0;
        EXPECT_FALSE(
            ReadMap(c.fault == noFileSystem ? nullptr : efs.Get(), container.Window(), asRead, [&](IStream*) {
                ++handedOn;
                if (c.fault == listRefuses)
                    Com::Throw(E_OUTOFMEMORY);
                if (c.fault == listThrows)
                    throw std::bad_alloc();
            }));
        EXPECT_EQ(c.fault >= listRefuses ? 1 : 0, handedOn);
        // The table is taken as read before the lists get it.
        EXPECT_EQ(c.fault >= listRefuses ? TableOf(benchMap) : unread, asRead);
        EXPECT_EQ(c.message, Message(driver));
    }
}

TEST_F(MapTransferTest, AnEditedTableIsWrittenAfterTheDiagQuestionAndAFailedWriteIsShown) {
    const struct {
        const char* table;
        const char* fault; // a member failing, or the phone's file system
        int answer;        // to the DIAG question
        bool reset;
        const char* message;
        const char* file;
        const char* calls;
    } cases[] = {
        {editedMap, "", 0, true, "", editedMap, allWrites},
        {noDiagMap, "", IDNO, true, noDiag, benchMap, ""},
        {deviceZeroDiagMap, "", IDNO, true, noDiag, benchMap, ""},
        {noDiagMap, "", IDYES, false, noDiag, noDiagMap, "OpenFile(RDM_DEV_MAP,1) Write Commit(1)"},
        {editedMap, R"({"present": true, "version": 3})", 0, true, noEfs, benchMap, ""},
        {editedMap, "OpenFile", 0, true, writeFailed, benchMap, "OpenFile(RDM_DEV_MAP,1)"},
        {editedMap, "Write", 0, true, writeFailed, benchMap, "OpenFile(RDM_DEV_MAP,1) Write"},
        {editedMap, "Commit", 0, true, writeFailed, benchMap, "OpenFile(RDM_DEV_MAP,1) Write Commit(1)"},
        {editedMap, "RequestPhoneMode", 0, true, writeFailed, editedMap,
         "OpenFile(RDM_DEV_MAP,1) Write Commit(1) RequestPhoneMode(4)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.table) + c.fault);
        Start(c.fault);
        TestSupport::ModalDriver driver;
        if (*c.message)
            driver.Expect([&](TestSupport::ModalDialog& box) { box.Click(c.answer ? c.answer : IDOK); });
        const WriteOutcome outcome = c.answer == IDNO ? WriteOutcome::declined
                                     : !*c.message || std::string(c.message) == noDiag ? WriteOutcome::written
                                                                                       : WriteOutcome::failed;
        asRead = TableOf(benchMap);
        EXPECT_EQ(outcome, WriteMap(asRead, NewStream(TableOf(c.table)).Get(), efs.Get(), port.Get(), c.reset,
                                    container.Window()));
        EXPECT_EQ(c.message, Message(driver));
        EXPECT_EQ(c.file, File());
        EXPECT_EQ(c.calls, Calls());
    }
}

TEST_F(MapTransferTest, TheDialogShowsThePhonesMapAndWritesItBackOnlyWhenEditedAndConfirmed) {
    const struct {
        const char* fault; // while the dialog opens
        bool edited, reset;
        int button;
        const char* firstRow; // of the assigned list, once open
        const char* file;
        const char* calls;
    } cases[] = {
        {"", true, true, IDCANCEL, "UART1 DIAG", benchMap, mapRead},
        {"", false, true, IDOK, "UART1 DIAG", benchMap, mapRead},
        {"", true, false, IDOK, "UART1 DIAG", editedMap, "OpenFile(RDM_DEV_MAP,0) OpenFile(RDM_DEV_MAP,1) Write Commit(1)"},
        {"OpenFile", false, true, IDOK, "UART1 NULL", benchMap, mapRead},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.fault) + (c.edited ? " edited " : " ") + (c.reset ? "reset " : "") +
                     std::to_string(c.button));
        Start(c.fault);
        CRdmPortAssignDlg dialog(port.Get());
        TestSupport::ModalDriver driver;
        if (*c.fault)
            driver.Expect([](TestSupport::ModalDialog& box) { box.Click(IDOK); });
        std::string firstRow;
        driver.Expect([&](TestSupport::ModalDialog& window) {
            const Fw::ListView rows(
                ::GetDlgItem(window.Control(CRdmPortAssignDlg::assignedId), ServiceListView::listId));
            firstRow = rows.GetItemText(0, 0) + " " + rows.GetItemText(0, 1);
            EXPECT_EQ(BST_CHECKED, window.CheckState(CRdmPortAssignDlg::resetId));
            EXPECT_TRUE(::SendMessageA(window.Window(), WM_GETICON, ICON_BIG, 0));
            sim->FailOperation(_bstr_t(c.fault), S_OK);
            if (c.edited) {
                const Table edit = TableOf(editedMap);
                EXPECT_EQ(S_OK, dialog.AssignedList()->WriteDevTable(NewStream(edit).Get()));
            }
            if (!c.reset)
                window.Click(CRdmPortAssignDlg::resetId);
            window.Click(c.button);
        });
        EXPECT_EQ(c.button, dialog.Run(container.Window()));
        EXPECT_EQ(c.firstRow, firstRow);
        EXPECT_EQ(c.file, File());
        EXPECT_EQ(c.calls, Calls());
        ASSERT_EQ(*c.fault ? 2u : 1u, driver.Seen().size());
        EXPECT_EQ("Service to Phone Port Mappings", driver.Seen().back().caption);
        EXPECT_EQ((std::vector<int>{CRdmPortAssignDlg::resetId, IDOK, IDCANCEL}),
                  driver.Seen().back().buttons);
        EXPECT_EQ(container.Window(), driver.Seen().back().owner);
    }
    // Without its phone's file system there is no dialog.
    Start("GetPortObject");
    try {
        CRdmPortAssignDlg dialog(port.Get());
        ADD_FAILURE() << "made without a file system";
    } catch (const _com_error& failure) {
        EXPECT_EQ(STG_E_MEDIUMFULL, failure.Error());
    }
}

} // namespace
