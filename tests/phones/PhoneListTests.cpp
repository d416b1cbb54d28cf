// The phone list as a host embeds it: in a container, started on the in-process simulator's
// bench scenario, read back from its real list view and header, its properties windows and
// dialogs, and its property page.
#include "devicesim/ScenarioLoader.h"
#include "devicesim/SimServer.h"
#include "foundation/Lang/ErrorText.h"
#include "framework/com/TypeLibrary.h"
#include "framework/windows/ListView.h"
#include "interfaces/OstrelUITools.h"
#include "phones/PhoneList.h"
#include "phones/PhoneListProps.h"
#include "resources/resource.h"
#include "tests/support/MenuDriver.h"
#include "tests/support/MessagePump.h"
#include "tests/support/ModalDriver.h"
#include "tests/support/NotificationListener.h"
#include "tests/support/Scoped.h"
#include "tests/support/Streams.h"
#include "tests/support/TestContainer.h"

#include <comdef.h>
#include <gtest/gtest.h>
#include <wrl/client.h>

#include <string>
#include <vector>

using Microsoft::WRL::ComPtr;

namespace {

using Row = std::vector<std::string>;

// The bench scenario's phones on enabled ports, in the server's order: five texts and the icon.
// COM9's phone sits on a pending port and has no row.
const std::vector<Row> benchRows = {
    {"VX-210", "12345678", "5550101", "READY", "COM1 (Bench serial)", "icon 2"},
    {"P/PHN-XXX", "*Download*", "*Download*", "*Download*", "COM7 (Flash station)", "icon 4"},
    {"Tarn 5", "FFFFFFFF", "5550177", "IN USE", "lab-rig:2500 (Rack 3)", "icon 7"},
    {"Halden S2", "No ESN", " ", " ", "COM20 (Field unit)", "icon 8"},
};

std::string ColumnTitle(const Fw::ListView& list, int column) {
    char title[64] = {};
    LVCOLUMNA format = {};
    format.mask = LVCF_TEXT;
    format.pszText = title;
    format.cchTextMax = sizeof title;
    list.GetColumn(column, format);
    return title;
}

// The window a properties window of this thread shows, or null.
HWND PropertiesWindow() {
    return ::FindWindowA(nullptr, "Phone Properties");
}

std::string TextOf(HWND dialog, int id) {
    return Fw::Window(::GetDlgItem(dialog, id)).Text();
}

class PhoneListTest : public ::testing::Test {
protected:
    void SetUp() override {
        server = Sim::CreateSimServer(Sim::LoadScenario(std::string(OSTREL_SCENARIO_DIR) + "/bench.json"));
        ASSERT_EQ(S_OK, server.As(&sim));
        ASSERT_EQ(S_OK, Fw::Object<COstrelPhoneList>::Create(nullptr, IID_PPV_ARGS(&control)));
        TestSupport::EmbedOptions options;
        options.rect = {0, 0, 520, 260};
        site = &container.Embed(control.Get(), options);
        ASSERT_EQ(S_OK, site->Activate());
        list = Fw::ListView(::GetDlgItem(site->Window(), COstrelPhoneList::listId));
        ASSERT_TRUE(list);
        ASSERT_EQ(S_OK, control->StartupEx(server.Get()));
    }
    void TearDown() override {
        control->Shutdown();
        TestSupport::FlushMessages();
        control.Reset();
        Fw::TypeLibrary::Release();
    }

    COstrelPhoneList& Object() const { return *static_cast<COstrelPhoneList*>(control.Get()); }

    std::vector<Row> Rows() const {
        std::vector<Row> rows(list.GetItemCount());
        for (int row = 0; row < int(rows.size()); ++row) {
            for (int column = 0; column < phoneColumnCount; ++column)
                rows[row].push_back(list.GetItemText(row, column));
            LVITEMA item{};
            item.mask = LVIF_IMAGE;
            item.iItem = row;
            list.Send(LVM_GETITEMA, 0, &item);
            rows[row].push_back("icon " + std::to_string(item.iImage));
        }
        return rows;
    }
    std::vector<int> Widths() const {
        std::vector<int> widths;
        for (int column = 0; column < phoneColumnCount; ++column)
            widths.push_back(list.GetColumnWidth(column));
        return widths;
    }
    // Opens the properties window of a row.
    HWND OpenProperties(int row) {
        list.SelectItem(row);
        EXPECT_EQ(S_OK, control->ShowProperties());
        return PropertiesWindow();
    }
    void ClickColumn(int column) {
        NMLISTVIEW click = {};
        click.hdr = {list.Handle(), COstrelPhoneList::listId, LVN_COLUMNCLICK};
        click.iSubItem = column;
        ::SendMessageA(site->Window(), WM_NOTIFY, COstrelPhoneList::listId, reinterpret_cast<LPARAM>(&click));
    }

    ComPtr<IOstrelServer> server;
    ComPtr<IOstrelSimControl> sim;
    TestSupport::TestContainer container;
    TestSupport::ControlSite* site = nullptr;
    ComPtr<IOstrelPhoneList> control;
    Fw::ListView list;
};

TEST_F(PhoneListTest, ShowsThePhonesOfEnabledPortsAndAnswersForTheSelectedOne) {
    EXPECT_EQ(benchRows, Rows());
    EXPECT_EQ((std::vector<int>{95, 80, 115, 85, 120}), Widths());
    std::vector<std::string> titles;
    for (int column = 0; column < phoneColumnCount; ++column)
        titles.push_back(ColumnTitle(list, column));
    EXPECT_EQ((std::vector<std::string>{"Phone", "ESN", "Phone Number", "Banner", "Port"}), titles);

    int count = 0;
    EXPECT_EQ(S_OK, control->GetItemCount(&count));
    EXPECT_EQ(4, count);
    LONG esn = 0, portId = 0, authorized = 0;
    EXPECT_EQ(S_OK, control->GetSelectedPhone(&esn, &portId));
    EXPECT_EQ(0x12345678, esn);
    EXPECT_EQ(1, portId);
    unsigned short model = 0;
    EXPECT_EQ(S_OK, control->GetModelNumber(&model));
    EXPECT_EQ(2100, model) << "the wide model number wins over the record's";
    _bstr_t text;
    EXPECT_EQ(S_OK, control->GetBuildVersion(text.GetAddress()));
    EXPECT_EQ(std::string("VX210-4.2.0017"), static_cast<const char*>(text));
    EXPECT_EQ(S_OK, control->GetPortName(text.GetAddress()));
    EXPECT_EQ(std::string("COM1 (Bench serial)"), static_cast<const char*>(text));
    EXPECT_EQ(S_OK, control->IsPhoneAuthorized(&authorized));
    EXPECT_EQ(1, authorized);

    // Detached, the list is empty and every accessor of the selection fails but one.
    EXPECT_EQ(S_OK, control->InitializeList(nullptr));
    EXPECT_EQ(S_OK, control->GetItemCount(&count));
    EXPECT_EQ(0, count);
    EXPECT_EQ(E_FAIL, control->GetModelString(text.GetAddress()));
    EXPECT_EQ(E_FAIL, control->GetModelNumber(&model));
    EXPECT_EQ(E_FAIL, control->IsPhoneAuthorized(&authorized));
    EXPECT_EQ(S_OK, control->GetSelectedPhone(&esn, &portId));
    EXPECT_EQ(0, esn);
    EXPECT_EQ(0, portId);
}

TEST_F(PhoneListTest, HidingALabelZeroesOnlyItsColumnAndIsSavedInOrder) {
    site->ClearChangedProperties();
    EXPECT_EQ(S_OK, control->put_ShowESNLabel(0));
    EXPECT_EQ((std::vector<int>{95, 0, 115, 85, 120}), Widths());
    EXPECT_EQ(S_OK, control->put_ShowServerLabel(0));
    EXPECT_EQ((std::vector<int>{95, 0, 115, 85, 120}), Widths()) << "the server has no column";
    EXPECT_EQ(S_OK, control->put_ShowServerLabel(0));
    EXPECT_EQ((std::vector<DISPID>{DISPID_PHONELIST_SHOWESNLABEL, DISPID_PHONELIST_SHOWSERVERLABEL}),
              site->ChangedProperties())
        << "a put of the same value changes nothing";

    ComPtr<IPersistStreamInit> persist;
    ASSERT_EQ(S_OK, control.As(&persist));
    const ComPtr<IStream> stream = TestSupport::StreamOf({});
    ASSERT_EQ(S_OK, persist->Save(stream.Get(), TRUE));
    const std::vector<BYTE> bytes = TestSupport::Contents(stream.Get());
    ASSERT_EQ(12u + 6 * 6, bytes.size());
    // Phone type, ESN, banner, port, server, number: each VT_I4 and its value.
    const std::vector<int> values = {1, 0, 1, 1, 0, 1};
    for (size_t index = 0; index < values.size(); ++index) {
        const BYTE* property = bytes.data() + 12 + 6 * index;
        EXPECT_EQ(VT_I4, property[0] | property[1] << 8) << index;
        EXPECT_EQ(values[index], property[2] | property[3] << 8 | property[4] << 16 | property[5] << 24) << index;
    }
    EXPECT_EQ(S_OK, control->put_ShowESNLabel(1));
    EXPECT_EQ(80, list.GetColumnWidth(phoneColumnEsn));
}

TEST_F(PhoneListTest, SortsThePortColumnByComNumberAndDescendsWithShift) {
    const auto ports = [&] {
        std::vector<std::string> texts;
        for (const Row& row : Rows())
            texts.push_back(row[phoneColumnPort]);
        return texts;
    };
    ClickColumn(phoneColumnPort);
    const std::vector<std::string> ascending = {"COM1 (Bench serial)", "COM7 (Flash station)", "COM20 (Field unit)",
                                                "lab-rig:2500 (Rack 3)"};
    EXPECT_EQ(ascending, ports());
    {
        const TestSupport::ScopedKey shift(VK_SHIFT, true);
        ClickColumn(phoneColumnPort);
    }
    EXPECT_EQ(std::vector<std::string>(ascending.rbegin(), ascending.rend()), ports());
}

TEST_F(PhoneListTest, FollowsServerEventsRowByRowAndTellsItsParent) {
    TestSupport::NotificationListener parent(::GetParent(site->Window()));
    ASSERT_EQ(S_OK, sim->ChangePhone(7, _bstr_t(L"{\"banner\": \"BUSY\"}")));
    TestSupport::FlushMessages();
    std::vector<Row> expected = benchRows;
    expected[2][phoneColumnBanner] = "BUSY";
    EXPECT_EQ(expected, Rows()) << "the row is rebuilt at its place";
    EXPECT_EQ(std::vector<UINT>{COstrelPhoneList::refreshedCode}, parent.Codes());
    ASSERT_FALSE(parent.heard.empty());
    EXPECT_EQ(site->Window(), parent.heard[0].hwndFrom);

    ASSERT_EQ(S_OK, sim->DetachPhone(1));
    TestSupport::FlushMessages();
    expected.erase(expected.begin());
    EXPECT_EQ(expected, Rows());

    list.SelectItem(0);
    parent.heard.clear();
    list.SelectItem(1);
    list.Send(WM_KEYDOWN, VK_RETURN);
    EXPECT_EQ((std::vector<UINT>{COstrelPhoneList::selectionCode, COstrelPhoneList::selectionCode,
                                 COstrelPhoneList::activateCode}),
              parent.Codes());
}

TEST_F(PhoneListTest, PropertiesWindowShowsThePhoneAndFollowsItUntilItGoes) {
    const HWND window = OpenProperties(0);
    ASSERT_TRUE(window);
    EXPECT_EQ("VX-210", TextOf(window, IDC_PHONE_MODEL));
    EXPECT_EQ("COM1 (Bench serial)", TextOf(window, IDC_PHONE_PORT));
    EXPECT_EQ("12345678", TextOf(window, IDC_PHONE_ESN));
    EXPECT_EQ("Unknown (2.1)", TextOf(window, IDC_PHONE_TMX));
    EXPECT_EQ("10101010", TextOf(window, IDC_PHONE_SCM));
    EXPECT_EQ("Mar 02 2006   14:21:07", TextOf(window, IDC_PHONE_COMPILED));
    EXPECT_EQ("VX210-4.2.0017", TextOf(window, IDC_PHONE_VERSION));
    LOGFONTA font = {};
    ::GetObjectA(reinterpret_cast<HFONT>(::SendMessageA(::GetDlgItem(window, IDC_PHONE_ESN), WM_GETFONT, 0, 0)),
                 sizeof font, &font);
    EXPECT_EQ(FW_BOLD, font.lfWeight);
    EXPECT_EQ(window, OpenProperties(0)) << "one window per port";

    // A tick shows what the server says now; the row's rebuild and the download mode follow.
    ASSERT_EQ(S_OK, sim->ChangePhone(1, _bstr_t(L"{\"stateText\": \"Calling\", \"slotCycleIndex\": 4}")));
    ::SendMessageA(window, WM_TIMER, CPhoneProps::refreshTimer, 0);
    EXPECT_EQ("Calling", TextOf(window, IDC_PHONE_STATE));
    EXPECT_EQ("4", TextOf(window, IDC_PHONE_SLOT_CYCLE));
    // A tick keeps the picture; a rebuilt row with another one brings it.
    const auto icon = [&] { return ::SendDlgItemMessageA(window, IDC_PHONE_ICON, STM_GETICON, 0, 0); };
    const LRESULT barPhone = icon();
    ::SendMessageA(window, WM_TIMER, CPhoneProps::refreshTimer, 0);
    EXPECT_EQ(barPhone, icon());
    ASSERT_EQ(S_OK, sim->ChangePhone(1, _bstr_t(L"{\"locked\": true}")));
    TestSupport::FlushMessages();
    EXPECT_NE(barPhone, icon());
    ASSERT_EQ(S_OK, sim->SetPhoneMode(1, 2));
    ASSERT_TRUE(TestSupport::PumpUntil(
        [&] { return TextOf(window, IDC_PHONE_PHONE_STATE) == "* SOFTWARE DOWNLOAD *"; },
        CPhoneProps::refreshInterval * 3));
    EXPECT_EQ("* SOFTWARE DOWNLOAD *", TextOf(window, IDC_PHONE_STATE));
    ASSERT_EQ(S_OK, sim->SetPhoneMode(1, 5));
    ASSERT_TRUE(TestSupport::PumpUntil([&] { return TextOf(window, IDC_PHONE_STATE) == "Calling"; },
                                       CPhoneProps::refreshInterval * 3))
        << "back from download mode: " << TextOf(window, IDC_PHONE_STATE);
    EXPECT_EQ("VX-210", TextOf(window, IDC_PHONE_MODEL));

    ASSERT_EQ(S_OK, sim->DetachPhone(1));
    TestSupport::FlushMessages();
    EXPECT_FALSE(::IsWindow(window)) << "the row went, and its window with it";
    EXPECT_EQ(0u, Object().OpenPropertiesWindows());
}

// The host's message loop knows nothing of the window; its dialog keys work all the same.
TEST_F(PhoneListTest, EscapeInAPropertiesWindowClosesIt) {
    const HWND window = OpenProperties(0);
    ASSERT_TRUE(window);
    ::PostMessageA(::GetFocus(), WM_KEYDOWN, VK_ESCAPE, 0);
    TestSupport::FlushMessages();
    EXPECT_FALSE(::IsWindow(window));
    EXPECT_EQ(0u, Object().OpenPropertiesWindows());
}

TEST_F(PhoneListTest, PhoneWithoutModelNumberShowsNoPhoneConnected) {
    ASSERT_EQ(S_OK, sim->ChangePhone(7, _bstr_t(L"{\"modelNumber\": 0}")));
    TestSupport::FlushMessages();
    const HWND window = OpenProperties(2);
    ASSERT_TRUE(window);
    EXPECT_EQ("No Phone Connected", TextOf(window, IDC_PHONE_MODEL));
    EXPECT_EQ("lab-rig:2500 (Rack 3)", TextOf(window, IDC_PHONE_PORT));
    for (const int id : {IDC_PHONE_BANNER, IDC_PHONE_ESN, IDC_PHONE_MIN, IDC_PHONE_TMX, IDC_PHONE_PROTOCOL_REVISION})
        EXPECT_EQ("", TextOf(window, id)) << id;
}

TEST_F(PhoneListTest, DetachWaitsForEveryOpenWindowToReportClosed) {
    ASSERT_TRUE(OpenProperties(0));
    ASSERT_TRUE(OpenProperties(2));
    EXPECT_EQ(2u, Object().OpenPropertiesWindows());
    ::SendMessageA(site->Window(), WM_SERVER_DETACH, 0, 0);
    EXPECT_FALSE(PropertiesWindow());
    EXPECT_EQ(4, list.GetItemCount()) << "the rows stay until the windows have reported";
    TestSupport::FlushMessages();
    EXPECT_EQ(0, list.GetItemCount());
    IUnknown* agent = nullptr;
    EXPECT_EQ(E_FAIL, control->GetConfigAgent(&agent));
}

TEST_F(PhoneListTest, DownloadModeRefusesPropertiesButShowsAccumulatedData) {
    ASSERT_EQ(S_OK, sim->SetListeners(3, _bstr_t(L"[{\"cookie\": -5, \"bytes\": \"6000000000\"},"
                                                 L" {\"cookie\": 9, \"bytes\": \"12\"}]")));
    list.SelectItem(1);
    std::vector<Row> listeners;
    TestSupport::ModalDriver driver;
    driver.Expect([](TestSupport::ModalDialog& box) { box.Click(IDOK); });
    driver.Expect([&](TestSupport::ModalDialog& dialog) {
        const Fw::ListView rows(dialog.Control(IDC_ACCUMULATED_LIST));
        listeners.push_back({ColumnTitle(rows, 0), ColumnTitle(rows, 1)});
        for (int row = 0; row < rows.GetItemCount(); ++row)
            listeners.push_back({rows.GetItemText(row, 0), rows.GetItemText(row, 1)});
        dialog.Click(IDOK);
    });
    EXPECT_EQ(S_OK, control->ShowProperties());
    EXPECT_EQ(S_OK, control->ShowAccumulatedData());
    ASSERT_EQ(2u, driver.Seen().size());
    EXPECT_EQ("Phone Properties Not Available", driver.Seen()[0].caption);
    EXPECT_EQ("Cannot display properties associated with a phone\nthat is currently in download mode.",
              driver.Seen()[0].message);
    EXPECT_EQ(TestSupport::DialogIcon::Exclamation, driver.Seen()[0].icon);
    EXPECT_EQ("Listeners - Accumulated Data(Bytes)", driver.Seen()[1].caption);
    EXPECT_EQ((std::vector<Row>{{"Cokkie ID", "Accumulated Data(Bytes)"}, {"-5", "6000000000"}, {"9", "12"}}),
              listeners);
    EXPECT_FALSE(PropertiesWindow());
}

TEST_F(PhoneListTest, ContextMenuOffersItsCommandsAndTheMappingEntryOpensTheMapOfTheSelectedPhone) {
    const auto rightClick = [&](int row, UINT command) {
        TestSupport::MenuDriver menus;
        command ? menus.Choose(command) : menus.Dismiss();
        const RECT rect = row < 0 ? RECT{200, 230, 200, 230} : list.GetItemRect(row, LVIR_LABEL);
        const LPARAM at = MAKELPARAM((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
        // A right press makes Wine's list follow the mouse until a button message comes.
        list.Post(WM_RBUTTONUP, 0, at);
        list.Send(WM_RBUTTONDOWN, MK_RBUTTON, at);
        return menus.Seen().empty() ? std::vector<std::string>{} : menus.Seen()[0];
    };
    TestSupport::ModalDriver dialogs;
    // Without the service lists (this test's module makes none) OK has no table to take: it says
    // so and the dialog stays open.
    dialogs.Expect([](TestSupport::ModalDialog& dialog) {
        EXPECT_EQ(BST_CHECKED, dialog.CheckState(IDC_SERVICE_MAPPING_RESET));
        dialog.Click(IDOK);
        EXPECT_TRUE(::IsWindowVisible(dialog.Window()));
        dialog.Click(IDCANCEL);
    });
    dialogs.Expect([](TestSupport::ModalDialog& box) { box.Click(IDOK); });
    const std::vector<std::string> offered = {"&View[Lar&ge Icons, S&mall Icons, &List, &Details]",
                                              "-",
                                              "&Properties...",
                                              "Port &Shutdown...",
                                              "Configure Service to Port Mapping...",
                                              "Accumulated Data(Bytes)"};
    EXPECT_EQ(offered, rightClick(0, ID_PHONE_SERVICE_MAPPING));
    ASSERT_EQ(2u, dialogs.Seen().size());
    EXPECT_EQ("Service to Phone Port Mappings", dialogs.Seen()[0].caption);
    EXPECT_EQ("NORVIK Service Port Mapping", dialogs.Seen()[1].caption);
    EXPECT_EQ("The application could not write RDM_DEV_MAP to selected phone. Is this phone online, configured "
              "correctly, and responding to other requests?",
              dialogs.Seen()[1].message);
    EXPECT_EQ((std::vector<int>{IDC_SERVICE_MAPPING_RESET, IDOK, IDCANCEL}), dialogs.Seen()[0].buttons);
    EXPECT_EQ(::GetAncestor(site->Window(), GA_ROOT), dialogs.Seen()[0].owner);

    // A port that gives no file system leaves no dialog to open, and the user is told.
    dialogs.Expect([](TestSupport::ModalDialog& box) { box.Click(IDOK); });
    ASSERT_EQ(S_OK, sim->FailOperation(_bstr_t("GetPortObject"), E_ACCESSDENIED));
    rightClick(0, ID_PHONE_SERVICE_MAPPING);
    ASSERT_EQ(3u, dialogs.Seen().size());
    EXPECT_EQ("NORVIK Service Port Mapping", dialogs.Seen()[2].caption);
    EXPECT_EQ("Could not read RDM_DEV_MAP from selected phone - Error = 0x80070005, " + Lang::ErrorText(E_ACCESSDENIED),
              dialogs.Seen()[2].message);
    EXPECT_EQ(TestSupport::DialogIcon::Stop, dialogs.Seen()[2].icon);
    EXPECT_EQ(::GetAncestor(site->Window(), GA_ROOT), dialogs.Seen()[2].owner);
    ASSERT_EQ(S_OK, sim->FailOperation(_bstr_t("GetPortObject"), S_OK));

    list.SetItemState(-1, 0, LVIS_SELECTED);
    std::vector<std::string> unselected = offered;
    unselected[2] += " (greyed)";
    EXPECT_EQ(unselected, rightClick(-1, ID_VIEW_LIST));
    EXPECT_EQ(LVS_LIST, list.Style() & LVS_TYPEMASK);
}

TEST_F(PhoneListTest, PropertyPageReadsAppliesInOrderAndRefusesOtherObjects) {
    ComPtr<IPropertyPage> page;
    ASSERT_EQ(S_OK, Fw::Object<CPhoneListProps>::Create(nullptr, IID_PPV_ARGS(&page)));
    ASSERT_EQ(S_OK, control->put_ShowBannerLabel(0));
    IUnknown* objects[] = {control.Get()};
    ASSERT_EQ(S_OK, page->SetObjects(1, objects));
    const RECT rect = {0, 0, 200, 120};
    ASSERT_EQ(S_OK, page->Activate(container.Window(), &rect, FALSE));
    const HWND dialog = ::FindWindowExA(container.Window(), nullptr, "#32770", nullptr);
    ASSERT_TRUE(dialog);
    EXPECT_EQ(BST_UNCHECKED, ::IsDlgButtonChecked(dialog, IDC_PHONE_SHOW_BANNER));
    EXPECT_EQ(S_FALSE, page->IsPageDirty());
    site->ClearChangedProperties();
    for (const int box : {IDC_PHONE_SHOW_SERVER, IDC_PHONE_SHOW_TYPE, IDC_PHONE_SHOW_ESN, IDC_PHONE_SHOW_BANNER,
                          IDC_PHONE_SHOW_PORT, IDC_PHONE_SHOW_NUMBER})
        ::SendMessageA(::GetDlgItem(dialog, box), BM_CLICK, 0, 0);
    EXPECT_EQ(S_OK, page->IsPageDirty());
    EXPECT_EQ(S_OK, page->Apply());
    EXPECT_EQ(S_FALSE, page->IsPageDirty());
    EXPECT_EQ((std::vector<DISPID>{DISPID_PHONELIST_SHOWBANNERLABEL, DISPID_PHONELIST_SHOWPHONETYPELABEL,
                                   DISPID_PHONELIST_SHOWESNLABEL, DISPID_PHONELIST_SHOWNUMBERLABEL,
                                   DISPID_PHONELIST_SHOWSERVERLABEL, DISPID_PHONELIST_SHOWPORTLABEL}),
              site->ChangedProperties());
    EXPECT_EQ((std::vector<int>{0, 0, 0, 85, 0}), Widths());
    EXPECT_EQ(S_OK, page->Deactivate());

    IUnknown* strangers[] = {server.Get()};
    ASSERT_EQ(S_OK, page->SetObjects(1, strangers));
    EXPECT_EQ(E_INVALIDARG, page->Activate(container.Window(), &rect, FALSE));
    page->Deactivate();
}

} // namespace
