// The assigned and the unassigned service lists side by side, as the mapping dialog holds them:
// their rows read back from the real list views, the table in and out, and drags driven through
// their drop targets and data objects, with their own data and with a test's, and once through
// the platform's drag loop.
#include "framework/com/TypeLibrary.h"
#include "servicemap/DragData.h"
#include "servicemap/MapStream.h"
#include "servicemap/ServiceAssignList.h"
#include "servicemap/ServicePoolList.h"
#include "tests/support/MessagePump.h"
#include "tests/support/ServiceMapFuzz.h"
#include "tests/support/TestContainer.h"

#include <gtest/gtest.h>
#include <wrl/client.h>

#include <map>
#include <string>
#include <vector>

using Microsoft::WRL::ComPtr;
using Bytes = std::vector<std::uint8_t>;

namespace {

CLIPFORMAT Format(const char* name) {
    return static_cast<CLIPFORMAT>(::RegisterClipboardFormatA(name));
}

FORMATETC Request(const char* name) {
    return {Format(name), nullptr, DVASPECT_CONTENT, static_cast<LONG>(::GetCurrentProcessId()), TYMED_ISTREAM};
}

// A drag's data as another source would offer it: streams by format name, and what reached
// SetData.
class TestData : public IDataObject {
public:
    std::map<CLIPFORMAT, Bytes> offered;
    std::vector<Bytes> handedBack;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** ppv) override {
        if (iid != IID_IUnknown && iid != IID_IDataObject)
            return *ppv = nullptr, E_NOINTERFACE;
        *ppv = this;
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) override {
        const auto found = offered.find(format->cfFormat);
        if (found == offered.end())
            return DV_E_FORMATETC;
        medium->tymed = TYMED_ISTREAM;
        medium->pstm = ServiceMap::NewStream(found->second).Detach();
        medium->pUnkForRelease = nullptr;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* format) override {
        return offered.contains(format->cfFormat) ? S_OK : DV_E_FORMATETC;
    }
    HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetData(FORMATETC* format, STGMEDIUM* medium, BOOL release) override {
        EXPECT_EQ(Format(ServiceMap::unassignedServiceFormat), format->cfFormat);
        handedBack.push_back(ServiceMap::ReadFromStart(medium->pstm, 100));
        EXPECT_FALSE(release) << "the medium stays the caller's";
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD, IEnumFORMATETC**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override { return E_NOTIMPL; }
};

class ServiceListsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(S_OK, Fw::Object<CRdmSvcAsgn>::Create(nullptr, IID_PPV_ARGS(&assigned)));
        ASSERT_EQ(S_OK, Fw::Object<CRdmSvcPool>::Create(nullptr, IID_PPV_ARGS(&pool)));
        TestSupport::EmbedOptions options;
        options.rect = {10, 10, 250, 280};
        assignedSite = &container.Embed(assigned.Get(), options);
        options.rect = {270, 10, 510, 280};
        poolSite = &container.Embed(pool.Get(), options);
        ASSERT_EQ(S_OK, assignedSite->Activate());
        ASSERT_EQ(S_OK, poolSite->Activate());
        devices = Fw::ListView(::GetDlgItem(assignedSite->Window(), ServiceListView::listId));
        services = Fw::ListView(::GetDlgItem(poolSite->Window(), ServiceListView::listId));
        ASSERT_TRUE(devices && services);
        ASSERT_EQ(S_OK, assigned.As(&assignedTarget));
        ASSERT_EQ(S_OK, pool.As(&poolTarget));
        ASSERT_EQ(S_OK, assigned.As(&assignedData));
        ASSERT_EQ(S_OK, pool.As(&poolData));
    }
    void TearDown() override {
        // The controls go before the type library their dispatch uses.
        assignedTarget = poolTarget = nullptr;
        assignedData = poolData = nullptr;
        assigned.Reset();
        pool.Reset();
        Fw::TypeLibrary::Release();
    }

    static std::vector<std::string> Texts(const Fw::ListView& list, int column) {
        std::vector<std::string> texts;
        for (int row = 0; row < list.GetItemCount(); ++row)
            texts.push_back(list.GetItemText(row, column));
        return texts;
    }
    // The service each device row shows, by device name, for the rows that show one.
    std::map<std::string, std::string> Assigned() const {
        std::map<std::string, std::string> shown;
        for (int row = 0; row < devices.GetItemCount(); ++row)
            if (devices.GetItemText(row, 1) != "NULL")
                shown[devices.GetItemText(row, 0)] = devices.GetItemText(row, 1);
        return shown;
    }
    Bytes Table() const {
        ComPtr<IUnknown> out;
        ComPtr<IStream> stream;
        EXPECT_EQ(S_OK, assigned->ReadDevTable(&out));
        EXPECT_EQ(S_OK, out.As(&stream));
        return ServiceMap::ReadFromStart(stream.Get(), 200);
    }
    void Write(const Bytes& table) {
        ASSERT_EQ(S_OK, assigned->WriteDevTable(ServiceMap::NewStream(table).Get()));
        ASSERT_EQ(S_OK, pool->WriteDevTable(ServiceMap::NewStream(table).Get()));
    }
    static POINTL Centre(const Fw::ListView& list, int row) {
        const RECT rect = list.GetItemRect(row, LVIR_LABEL);
        POINT point = {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
        ::ClientToScreen(list.Handle(), &point);
        return {point.x, point.y};
    }
    int DeviceRow(const char* name) const {
        const std::vector<std::string> names = Texts(devices, 0);
        return static_cast<int>(std::find(names.begin(), names.end(), name) - names.begin());
    }
    void SelectService(const char* name) {
        const std::vector<std::string> names = Texts(services, 0);
        const int row = static_cast<int>(std::find(names.begin(), names.end(), name) - names.begin());
        ASSERT_LT(row, services.GetItemCount()) << name;
        services.SetSelectionMark(row);
    }
    // The pool's selected service dragged onto a device, through the assigned list's drop
    // target with the pool's own data; the drop's effect.
    DWORD DropOnDevice(IDataObject* data, const char* device) {
        const POINTL at = Centre(devices, DeviceRow(device));
        DWORD effect = DROPEFFECT_COPY;
        EXPECT_EQ(S_OK, assignedTarget->DragEnter(data, MK_LBUTTON, at, &effect));
        effect = DROPEFFECT_COPY;
        EXPECT_EQ(S_OK, assignedTarget->DragOver(MK_LBUTTON, at, &effect));
        const DWORD over = effect;
        effect = DROPEFFECT_COPY;
        EXPECT_EQ(S_OK, assignedTarget->Drop(data, 0, at, &effect));
        EXPECT_EQ(over & DROPEFFECT_COPY, effect) << "DragOver promised what Drop did not do";
        return effect;
    }

    TestSupport::TestContainer container{true};
    ComPtr<IRdmSvcAsgn> assigned;
    ComPtr<IRdmSvcPool> pool;
    TestSupport::ControlSite* assignedSite = nullptr;
    TestSupport::ControlSite* poolSite = nullptr;
    ComPtr<IDropTarget> assignedTarget, poolTarget;
    ComPtr<IDataObject> assignedData, poolData;
    Fw::ListView devices, services;
};

const std::vector<std::string> offeredServices = {"TOLV", "BT HCI", "DATA", "DATA WWAN",
                                                  "DIAG", "NMEA", "NULL", "RPC"};

TEST_F(ServiceListsTest, FreshListsShowEveryDeviceUnassignedAndTheOfferedServices) {
    const std::vector<std::string> deviceNames = {
        "UART1",  "UART2",         "UART3",         "USB MDM",       "USB MMC",       "USB SER1",    "BT NA",
        "SMEM DS", "LSM CSD",      "USB SER2",      "BT SPP",        "USB NET WWAN",  "APPS uP",     "APPS uP DATA1",
        "APPS uP DATA2", "APPS uP DATA3", "APPS uP DATA4", "3RD PARTY OS", "APPS NMEA", "TOLV EX DATA", "TOLV EX NOTI"};
    EXPECT_EQ(deviceNames, Texts(devices, 0));
    EXPECT_EQ(std::vector<std::string>(21, "NULL"), Texts(devices, 1));
    EXPECT_EQ(offeredServices, Texts(services, 0));

    const auto title = [](const Fw::ListView& list, int column) {
        char text[32] = {};
        LVCOLUMNA format = {};
        format.mask = LVCF_TEXT;
        format.pszText = text;
        format.cchTextMax = sizeof text;
        list.GetColumn(column, format);
        return std::string(text);
    };
    // The header's width when the list was made: the list's less its border, before a scroll bar
    // came.
    const auto widthAtStart = [](const Fw::ListView& list) {
        RECT frame = {};
        ::GetWindowRect(list.Handle(), &frame);
        return int(frame.right - frame.left) - 2 * ::GetSystemMetrics(SM_CXBORDER) - ::GetSystemMetrics(SM_CXVSCROLL);
    };
    const int width = widthAtStart(devices);
    EXPECT_EQ("device", title(devices, 0));
    EXPECT_EQ("service", title(devices, 1));
    EXPECT_EQ(width - width / 3, devices.GetColumnWidth(0));
    EXPECT_EQ(width / 3, devices.GetColumnWidth(1));
    EXPECT_EQ("service", title(services, 0));
    EXPECT_EQ(widthAtStart(services), services.GetColumnWidth(0));
    const LONG_PTR style = devices.Style();
    EXPECT_EQ(LVS_REPORT | LVS_SINGLESEL | LVS_NOSORTHEADER, style & (LVS_TYPEMASK | LVS_SINGLESEL | LVS_NOSORTHEADER));

    EXPECT_EQ(Bytes(23, 0xFF), Table());
    EXPECT_EQ(E_POINTER, assigned->ReadDevTable(nullptr));
    EXPECT_EQ(E_POINTER, assigned->WriteDevTable(nullptr));
    EXPECT_EQ(E_NOINTERFACE, pool->WriteDevTable(assignedData.Get()));
}

TEST_F(ServiceListsTest, WriteDevTableShowsTheMapAndHidesWhatItAssigns) {
    // Device 0 carries DATA WWAN, which hides it though no row shows device 0; device 5 an
    // identifier no service has; device 22 DIAG, which is not looked at.
    Bytes table(23, 0xFF);
    table[0] = 7;
    table[1] = 0;
    table[4] = 1;
    table[5] = 0x20;
    table[6] = 1;
    table[22] = 0;
    Write(table);
    EXPECT_EQ((std::map<std::string, std::string>{
                  {"UART1", "DIAG"}, {"USB MDM", "DATA"}, {"USB MMC", "UNKNOWN"}, {"USB SER1", "DATA"}}),
              Assigned());
    EXPECT_EQ((std::vector<std::string>{"TOLV", "BT HCI", "DATA", "NMEA", "NULL", "RPC"}), Texts(services, 0));
    Bytes expected = table;
    expected[0] = expected[22] = 0xFF;
    EXPECT_EQ(expected, Table());

    // A second map without DIAG lists it again, at the end rather than at its place by name;
    // a short one changes only the devices it reaches (1 and 2, below min(3, 22)).
    Write({0xFF, 8, 8});
    EXPECT_EQ((std::vector<std::string>{"BT HCI", "DATA", "NMEA", "NULL", "RPC", "DATA WWAN", "DIAG"}),
              Texts(services, 0));
    EXPECT_EQ((std::map<std::string, std::string>{
                  {"UART1", "TOLV"}, {"UART2", "TOLV"}, {"USB MDM", "DATA"}, {"USB MMC", "UNKNOWN"}, {"USB SER1", "DATA"}}),
              Assigned());
}

TEST_F(ServiceListsTest, DropsFromTheUnassignedListFollowTheMasksAndHandServicesBack) {
    struct Case {
        const char* service;
        const char* device;
        DWORD effect;
        std::map<std::string, std::string> assigned;
        std::vector<std::string> unassigned;
    };
    // In order, each on what the ones before left. The unassigned list's drag source would
    // delete a dropped service's row after its drag loop; here only the drops run.
    const Case cases[] = {
        {"DIAG", "UART2", DROPEFFECT_NONE, {}, offeredServices},
        {"DIAG", "UART1", DROPEFFECT_COPY, {{"UART1", "DIAG"}}, offeredServices},
        {"DATA", "USB MDM", DROPEFFECT_COPY, {{"UART1", "DIAG"}, {"USB MDM", "DATA"}}, offeredServices},
        {"DATA", "APPS uP", DROPEFFECT_COPY, {{"UART1", "DIAG"}, {"USB MDM", "DATA"}, {"APPS uP", "DATA"}},
         offeredServices},
        // TOLV displaces DATA, which is listed already.
        {"TOLV", "USB MDM", DROPEFFECT_COPY, {{"UART1", "DIAG"}, {"USB MDM", "TOLV"}, {"APPS uP", "DATA"}},
         offeredServices},
        {"RPC", "UART3", DROPEFFECT_NONE, {{"UART1", "DIAG"}, {"USB MDM", "TOLV"}, {"APPS uP", "DATA"}},
         offeredServices},
    };
    for (const Case& step : cases) {
        SCOPED_TRACE(std::string(step.service) + " on " + step.device);
        SelectService(step.service);
        EXPECT_EQ(step.effect, DropOnDevice(poolData.Get(), step.device));
        EXPECT_EQ(step.assigned, Assigned());
        EXPECT_EQ(step.unassigned, Texts(services, 0));
    }

    // Services the drag source took out come back at their place by name when displaced:
    // NULL dropped on DIAG's device gives DIAG back, before the first name after it.
    services.DeleteItem(services.FindItem(ServiceMap::diagService));
    services.DeleteItem(services.FindItem(8));
    SelectService("NULL");
    EXPECT_EQ(DROPEFFECT_COPY, DropOnDevice(poolData.Get(), "UART1"));
    SelectService("NULL");
    EXPECT_EQ(DROPEFFECT_COPY, DropOnDevice(poolData.Get(), "USB MDM"));
    EXPECT_EQ((std::vector<std::string>{"BT HCI", "DATA", "DATA WWAN", "DIAG", "NMEA", "NULL", "RPC", "TOLV"}),
              Texts(services, 0));
    EXPECT_EQ((std::map<std::string, std::string>{{"APPS uP", "DATA"}}), Assigned());
}

TEST_F(ServiceListsTest, DropTargetsTakeOnlyWhatTheirPeerOffers) {
    // The assigned list's own drag offers no devices: a device cannot go to another device.
    ASSERT_EQ(S_OK, assigned->WriteDevTable(ServiceMap::NewStream(Bytes{0xFF, 0}).Get()));
    devices.SetSelectionMark(0);
    EXPECT_EQ(DROPEFFECT_NONE, DropOnDevice(assignedData.Get(), "USB SER1"));

    // A foreign device list is read from at most 92 bytes; the service comes from its own
    // format, and the displaced one goes back through SetData even when it is NULL.
    TestData data;
    Bytes many;
    for (int i = 0; i < 30; ++i)
        for (const std::uint8_t byte : ServiceMap::ServiceBytes(i < 23 ? 2 : 3))
            many.push_back(byte);
    data.offered[Format(ServiceMap::compatibleDevicesFormat)] = many;
    data.offered[Format(ServiceMap::unassignedServiceFormat)] = ServiceMap::ServiceBytes(5);
    EXPECT_EQ(DROPEFFECT_NONE, DropOnDevice(&data, "UART3"));
    EXPECT_EQ(DROPEFFECT_COPY, DropOnDevice(&data, "UART2"));
    EXPECT_EQ((std::map<std::string, std::string>{{"UART1", "DIAG"}, {"UART2", "NMEA"}}), Assigned());
    EXPECT_EQ(std::vector<Bytes>{ServiceMap::ServiceBytes(-1)}, data.handedBack);

    // Devices without the service itself: the drop fails and changes nothing.
    data.offered.erase(Format(ServiceMap::unassignedServiceFormat));
    const POINTL uart2 = Centre(devices, 1);
    DWORD effect = DROPEFFECT_COPY;
    ASSERT_EQ(S_OK, assignedTarget->DragEnter(&data, MK_LBUTTON, uart2, &effect));
    EXPECT_EQ(E_FAIL, assignedTarget->Drop(&data, 0, uart2, &effect));
    EXPECT_EQ(DROPEFFECT_NONE, effect);
    EXPECT_EQ("NMEA", devices.GetItemText(1, 1));

    // The unassigned list takes only a device of the assigned list, and lists a service once.
    const POINTL top = Centre(services, 0);
    effect = DROPEFFECT_COPY;
    EXPECT_EQ(DRAGDROP_S_CANCEL, poolTarget->DragEnter(poolData.Get(), MK_LBUTTON, top, &effect));
    EXPECT_EQ(DROPEFFECT_NONE, effect);
    TestData device;
    device.offered[Format(ServiceMap::assignedServiceFormat)] = ServiceMap::ServiceBytes(6);
    for (const DWORD offered : {DWORD{DROPEFFECT_MOVE}, DWORD{DROPEFFECT_COPY}, DWORD{DROPEFFECT_COPY}}) {
        effect = offered;
        ASSERT_EQ(S_OK, poolTarget->DragEnter(&device, MK_LBUTTON, top, &effect));
        effect = offered;
        ASSERT_EQ(S_OK, poolTarget->DragOver(MK_LBUTTON, top, &effect));
        EXPECT_EQ(DWORD{DROPEFFECT_COPY}, effect);
        EXPECT_EQ(LVIS_DROPHILITED, services.GetItemState(0, LVIS_DROPHILITED));
        effect = offered;
        ASSERT_EQ(S_OK, poolTarget->Drop(&device, 0, top, &effect));
        EXPECT_EQ(offered == DROPEFFECT_COPY ? DWORD{DROPEFFECT_COPY} : DWORD{DROPEFFECT_NONE}, effect);
        EXPECT_EQ(0u, services.GetItemState(0, LVIS_DROPHILITED));
    }
    EXPECT_EQ(offeredServices, Texts(services, 0));
    // Its place by name is before the first row whose name sorts after it, which in the
    // list's first order is the top row.
    services.DeleteItem(services.FindItem(6));
    effect = DROPEFFECT_COPY;
    ASSERT_EQ(S_OK, poolTarget->Drop(&device, 0, top, &effect));
    EXPECT_EQ((std::vector<std::string>{"RPC", "TOLV", "BT HCI", "DATA", "DATA WWAN", "DIAG", "NMEA", "NULL"}),
              Texts(services, 0));
}

TEST_F(ServiceListsTest, DataRequestsOfAnotherShapeAreRefusedFieldByField) {
    const CLIPFORMAT assignedFormat = Format(ServiceMap::assignedServiceFormat);
    const CLIPFORMAT unassignedFormat = Format(ServiceMap::unassignedServiceFormat);
    const CLIPFORMAT devicesFormat = Format(ServiceMap::compatibleDevicesFormat);
    const LONG self = static_cast<LONG>(::GetCurrentProcessId());
    struct Case {
        FORMATETC request;
        HRESULT poolAnswer;
        HRESULT assignedAnswer;
    };
    const Case cases[] = {
        {{unassignedFormat, nullptr, DVASPECT_CONTENT, self, TYMED_ISTREAM}, S_OK, DV_E_FORMATETC},
        {{devicesFormat, nullptr, DVASPECT_CONTENT, self, TYMED_ISTREAM | TYMED_HGLOBAL}, S_OK, DV_E_FORMATETC},
        {{assignedFormat, nullptr, DVASPECT_CONTENT, self, TYMED_ISTREAM}, DV_E_FORMATETC, S_OK},
        {{CF_TEXT, nullptr, DVASPECT_CONTENT, self, TYMED_ISTREAM}, DV_E_FORMATETC, DV_E_FORMATETC},
        {{unassignedFormat, nullptr, DVASPECT_ICON, self, TYMED_ISTREAM}, DV_E_DVASPECT, DV_E_FORMATETC},
        {{assignedFormat, nullptr, DVASPECT_THUMBNAIL, -1, TYMED_HGLOBAL}, DV_E_FORMATETC, DV_E_DVASPECT},
        {{devicesFormat, nullptr, DVASPECT_CONTENT, -1, TYMED_ISTREAM}, DV_E_LINDEX, DV_E_FORMATETC},
        {{assignedFormat, nullptr, DVASPECT_CONTENT, self + 1, TYMED_ISTREAM}, DV_E_FORMATETC, DV_E_LINDEX},
        {{unassignedFormat, nullptr, DVASPECT_CONTENT, self, TYMED_HGLOBAL}, DV_E_TYMED, DV_E_FORMATETC},
        {{assignedFormat, nullptr, DVASPECT_CONTENT, self, TYMED_FILE}, DV_E_FORMATETC, DV_E_TYMED},
    };
    for (const Case& ask : cases) {
        FORMATETC request = ask.request;
        SCOPED_TRACE(::testing::Message() << "format " << request.cfFormat << " aspect " << request.dwAspect
                                          << " index " << request.lindex << " medium " << request.tymed);
        EXPECT_EQ(ask.poolAnswer, poolData->QueryGetData(&request));
        EXPECT_EQ(ask.assignedAnswer, assignedData->QueryGetData(&request));
        STGMEDIUM medium = {};
        if (FAILED(ask.poolAnswer)) {
            EXPECT_EQ(ask.poolAnswer, poolData->GetData(&request, &medium));
        }
        if (FAILED(ask.assignedAnswer)) {
            EXPECT_EQ(ask.assignedAnswer, assignedData->GetData(&request, &medium));
        }
        EXPECT_EQ(DWORD{TYMED_NULL}, medium.tymed);
    }

    // Data exists only for a selected service, or while a device is dragged.
    FORMATETC request = Request(ServiceMap::unassignedServiceFormat);
    STGMEDIUM medium = {};
    services.SetSelectionMark(-1);
    EXPECT_EQ(DRAGDROP_S_CANCEL, poolData->GetData(&request, &medium));
    FORMATETC assignedRequest = Request(ServiceMap::assignedServiceFormat);
    EXPECT_EQ(DRAGDROP_S_CANCEL, assignedData->GetData(&assignedRequest, &medium));
    const auto data = [&](const char* format) {
        FORMATETC ask = Request(format);
        STGMEDIUM given = {};
        EXPECT_EQ(S_OK, poolData->GetData(&ask, &given));
        EXPECT_EQ(DWORD{TYMED_ISTREAM}, given.tymed);
        const Bytes bytes = given.pstm ? ServiceMap::ReadFromStart(given.pstm, 200) : Bytes{};
        ::ReleaseStgMedium(&given);
        return bytes;
    };
    SelectService("DIAG");
    EXPECT_EQ((Bytes{0, 0, 0, 0}), data(ServiceMap::unassignedServiceFormat));
    EXPECT_EQ((Bytes{0, 0, 0, 0, 1, 0, 0, 0, 6, 0, 0, 0}), data(ServiceMap::compatibleDevicesFormat));
    SelectService("NULL");
    EXPECT_EQ((Bytes{0xFF, 0xFF, 0xFF, 0xFF}), data(ServiceMap::unassignedServiceFormat));
    EXPECT_EQ(14u * 4, data(ServiceMap::compatibleDevicesFormat).size());

    // SetData: the two formats the list offers, in a stream; the medium released when asked.
    services.DeleteItem(services.FindItem(5));
    services.DeleteItem(services.FindItem(8));
    const auto hand = [&](CLIPFORMAT format, DWORD tymed, int service) {
        FORMATETC given = {format, nullptr, DVASPECT_CONTENT, self, tymed};
        STGMEDIUM back = {};
        back.tymed = tymed;
        back.pstm = ServiceMap::NewStream(ServiceMap::ServiceBytes(service)).Detach();
        IStream* stream = back.pstm;
        stream->AddRef();
        const HRESULT status = poolData->SetData(&given, &back, TRUE);
        EXPECT_EQ(SUCCEEDED(status) ? 0u : 1u, stream->Release()) << "released only when taken";
        if (FAILED(status))
            back.pstm->Release();
        return status;
    };
    EXPECT_EQ(DV_E_FORMATETC, hand(assignedFormat, TYMED_ISTREAM, 5));
    EXPECT_EQ(DV_E_TYMED, hand(unassignedFormat, TYMED_HGLOBAL, 5));
    EXPECT_EQ(S_OK, hand(devicesFormat, TYMED_ISTREAM, -1));
    EXPECT_EQ(S_OK, hand(unassignedFormat, TYMED_ISTREAM, 1));
    EXPECT_EQ(offeredServices.size() - 2, size_t(services.GetItemCount()));
    EXPECT_EQ(S_OK, hand(unassignedFormat, TYMED_ISTREAM, 5));
    EXPECT_EQ((std::vector<std::string>{"BT HCI", "DATA", "DATA WWAN", "DIAG", "NMEA", "NULL", "RPC"}),
              Texts(services, 0));
}

TEST_F(ServiceListsTest, AutoScrollWaitsOnTheEdgesThenRepeats) {
    ASSERT_TRUE(assignedSite->SetRect({10, 10, 250, 120}) == S_OK);
    TestSupport::FlushMessages();
    const RECT client = devices.ClientRect();
    const RECT first = devices.GetItemRect(0, LVIR_BOUNDS);
    const LONG height = first.bottom - first.top;
    const POINT topRow = {20, first.top + 1};
    const POINT bottom = {20, client.bottom - height / 2};
    const POINT middle = {20, (first.bottom + client.bottom - height) / 2};
    ASSERT_GT(middle.y, first.bottom);
    ASSERT_LT(middle.y, client.bottom - height);

    DragAutoScroll scroll;
    scroll.Start(10000);
    const struct {
        POINT cursor;
        DWORD at;
        int topIndex;
    } steps[] = {
        {bottom, 11500, 0}, // the first delay not passed yet
        {bottom, 11501, 1}, {bottom, 11700, 1}, {bottom, 11877, 2},
        {middle, 11900, 2}, // away from the edges: the first delay again
        {topRow, 13200, 2}, {topRow, 13402, 1}, {topRow, 13778, 0},
        {topRow, 20000, 0}, // nothing above the first row
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.at);
        const int before = devices.GetTopIndex();
        EXPECT_EQ(step.topIndex != before, scroll.Apply(devices, step.cursor, step.at));
        EXPECT_EQ(step.topIndex, devices.GetTopIndex());
    }

    // At the bottom with the last row in sight there is nothing more to show.
    devices.EnsureVisible(devices.GetItemCount() - 1);
    const int last = devices.GetTopIndex();
    EXPECT_FALSE(scroll.Apply(devices, bottom, 40000));
    EXPECT_EQ(last, devices.GetTopIndex());
}

// Moves the cursor onto the drop row once the drag loop runs, and lets the button go once the
// row shows that the drop target saw the drag there (or after three seconds).
struct DragPath {
    POINT to;
    Fw::ListView target;
    int row;
    int ticks = 0;
    static inline DragPath* current = nullptr;

    static void CALLBACK Step(HWND, UINT, UINT_PTR, DWORD) {
        DragPath& path = *current;
        if (++path.ticks == 1) {
            ::SetCursorPos(path.to.x, path.to.y);
        } else if (path.target.GetItemState(path.row, LVIS_DROPHILITED) || path.ticks > 60) {
            BYTE keys[256] = {};
            ::GetKeyboardState(keys);
            keys[VK_LBUTTON] = 0;
            ::SetKeyboardState(keys);
        }
    }
};

TEST_F(ServiceListsTest, DragsRunThroughThePlatformLoopBothWays) {
    const auto drag = [&](const Fw::ListView& from, int row, const Fw::ListView& to, int onto) {
        const POINTL start = Centre(from, row), end = Centre(to, onto);
        from.SetSelectionMark(row);
        ::SetCursorPos(start.x, start.y);
        BYTE keys[256] = {};
        ::GetKeyboardState(keys);
        keys[VK_LBUTTON] = 0x80;
        ::SetKeyboardState(keys);
        DragPath path{{end.x, end.y}, to, onto};
        DragPath::current = &path;
        const UINT_PTR timer = ::SetTimer(nullptr, 0, 50, &DragPath::Step);
        NMLISTVIEW begin = {};
        begin.hdr = {from.Handle(), ServiceListView::listId, LVN_BEGINDRAG};
        begin.iItem = row;
        ::SendMessageA(from.Parent().Handle(), WM_NOTIFY, ServiceListView::listId, reinterpret_cast<LPARAM>(&begin));
        ::KillTimer(nullptr, timer);
        keys[VK_LBUTTON] = 0;
        ::SetKeyboardState(keys);
        return path.ticks <= 60;
    };
    SelectService("DIAG");
    EXPECT_TRUE(drag(services, services.GetSelectionMark(), devices, DeviceRow("USB SER1")));
    EXPECT_EQ((std::map<std::string, std::string>{{"USB SER1", "DIAG"}}), Assigned());
    EXPECT_EQ((std::vector<std::string>{"TOLV", "BT HCI", "DATA", "DATA WWAN", "NMEA", "NULL", "RPC"}),
              Texts(services, 0));

    // DATA may go to several devices, so the drag leaves it listed.
    SelectService("DATA");
    EXPECT_TRUE(drag(services, services.GetSelectionMark(), devices, DeviceRow("USB MDM")));
    EXPECT_EQ((std::map<std::string, std::string>{{"USB SER1", "DIAG"}, {"USB MDM", "DATA"}}), Assigned());
    EXPECT_EQ(7, services.GetItemCount());
    ASSERT_EQ(S_OK, assigned->WriteDevTable(ServiceMap::NewStream(Bytes{0xFF}).Get()));

    EXPECT_TRUE(drag(devices, DeviceRow("USB SER1"), services, 0));
    EXPECT_EQ((std::map<std::string, std::string>{{"USB MDM", "DATA"}}), Assigned());
    EXPECT_EQ((std::vector<std::string>{"DIAG", "TOLV", "BT HCI", "DATA", "DATA WWAN", "NMEA", "NULL", "RPC"}),
              Texts(services, 0)) << "DIAG goes before the first row whose name sorts after it";
}

TEST_F(ServiceListsTest, MalformedTablesAndDragDataAreReadWithinBounds) {
    TestSupport::ServiceMapInputs inputs(1907);
    TestData data;
    for (int input = 0; input < 600; ++input) {
        const Bytes bytes = inputs.Next();
        ASSERT_EQ(S_OK, assigned->WriteDevTable(ServiceMap::NewStream(bytes).Get()));
        ASSERT_EQ(S_OK, pool->WriteDevTable(ServiceMap::NewStream(bytes).Get()));
        data.offered[Format(ServiceMap::compatibleDevicesFormat)] = bytes;
        data.offered[Format(ServiceMap::unassignedServiceFormat)] = bytes;
        const DWORD effect = DropOnDevice(&data, "UART1");
        ASSERT_EQ(21, devices.GetItemCount());
        ASSERT_LE(services.GetItemCount(), 8);
        const Bytes table = Table();
        ASSERT_EQ(23u, table.size());
        ASSERT_EQ(0xFF, table[0]);
        ASSERT_EQ(0xFF, table[22]);
        if (effect == DROPEFFECT_COPY) {
            ASSERT_EQ(bytes[0], table[1]) << "the dropped service's low byte";
        }
    }
}

} // namespace
