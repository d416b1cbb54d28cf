#pragma once

// A control for the framework's tests, standing on the port list's interface and class, whose
// type library the test executable carries (ControlTests.rc): five persisted properties and a
// list view child.
#include "framework/com/Boundary.h"
#include "framework/controls/Control.h"
#include "framework/controls/DataObject.h"
#include "framework/controls/PersistPropertyBag.h"
#include "framework/controls/PersistStorage.h"
#include "framework/controls/SpecifyPropertyPages.h"
#include "framework/windows/ListView.h"
#include "framework/com/SupportErrorInfo.h"
#include "interfaces/OstrelUITools.h"

#include <wrl/client.h>

#include <string>
#include <vector>

namespace FrameworkTests {

class ProbeControl
    : public Fw::Control<ProbeControl, IOstrelPortList, &CLSID_OstrelPortList, _IOstrelPortListEvents>,
      public Fw::PersistStorage,
      public Fw::PersistPropertyBag,
      public Fw::DataObject,
      public Fw::SpecifyPropertyPages,
      public Fw::SupportErrorInfo<IOstrelPortList> {
public:
    static constexpr const char* displayName = "ProbeControl";
    static constexpr const char* windowClassName = "OstrelProbeControl";
    static constexpr SIZEL defaultExtent = {2000, 1000};
    static inline const Fw::PersistedProperty properties[] = {
        {"ShowPortNumberLabel", 5}, {"ShowPortLabel", 6},      {"ShowBaudLabel", 7},
        {"ShowPhoneLabel", 8},      {"ShowPortErrorLabel", 9},
    };
    static inline const CLSID* const propertyPages[] = {&CLSID_PortListProps};
    static inline const auto interfaces = Fw::Interfaces(
        Fw::ControlInterfaces<ProbeControl>(), Fw::Entry<ProbeControl, IPersistStorage>(),
        Fw::Entry<ProbeControl, IPersistPropertyBag>(), Fw::Entry<ProbeControl, IDataObject>(),
        Fw::Entry<ProbeControl, ISpecifyPropertyPages>(),
        Fw::Entry<ProbeControl, IConnectionPointContainer>(), Fw::Entry<ProbeControl, ISupportErrorInfo>());
    // A value the error column's setter refuses, to show that a failed load puts everything back.
    static constexpr LONG refused = 99;

    Fw::ListView list;
    // Probes alive now, so that a test sees a host let its controls go.
    static inline int instances = 0;
    ProbeControl() { ++instances; }
    ~ProbeControl() override { --instances; }

    // What its container called, in order: hosts differ in whether the site or the data comes first.
    std::string calls;
    HRESULT STDMETHODCALLTYPE SetClientSite(IOleClientSite* site) override {
        calls += site ? "SetClientSite " : "SetClientSite(null) ";
        return OleObject::SetClientSite(site);
    }
    HRESULT STDMETHODCALLTYPE Load(LPSTREAM stream) override {
        calls += "Load ";
        return PersistStreamInit::Load(stream);
    }
    void OnInitNew() override { calls += "InitNew "; }
    size_t PropertySinks() { return PointOf<IPropertyNotifySink>().Sinks().size(); }

    int OnCreate(const CREATESTRUCTA*) {
        INITCOMMONCONTROLSEX classes = {sizeof(classes), ICC_LISTVIEW_CLASSES};
        ::InitCommonControlsEx(&classes);
        list = Fw::ListView(::CreateWindowExA(0, WC_LISTVIEWA, "", WS_CHILD | WS_VISIBLE | LVS_REPORT, 0, 0,
                                              0, 0, m_hWnd, nullptr, nullptr, nullptr));
        return list ? 0 : -1;
    }
    void OnSize(UINT, SIZE size) { list.Move({0, 0, size.cx, size.cy}); }
    static inline const Fw::MessageEntry<ProbeControl> messages[] = {
        Fw::OnMessage<WM_CREATE, &ProbeControl::OnCreate>(),
        Fw::OnMessage<WM_SIZE, &ProbeControl::OnSize>(),
    };

    HRESULT STDMETHODCALLTYPE get_ShowPortNumberLabel(LONG* pVal) override { return Get(0, pVal); }
    HRESULT STDMETHODCALLTYPE put_ShowPortNumberLabel(LONG newVal) override { return Put(0, newVal); }
    HRESULT STDMETHODCALLTYPE get_ShowPortLabel(LONG* pVal) override { return Get(1, pVal); }
    HRESULT STDMETHODCALLTYPE put_ShowPortLabel(LONG newVal) override { return Put(1, newVal); }
    HRESULT STDMETHODCALLTYPE get_ShowBaudLabel(LONG* pVal) override { return Get(2, pVal); }
    HRESULT STDMETHODCALLTYPE put_ShowBaudLabel(LONG newVal) override { return Put(2, newVal); }
    HRESULT STDMETHODCALLTYPE get_ShowPhoneLabel(LONG* pVal) override { return Get(3, pVal); }
    HRESULT STDMETHODCALLTYPE put_ShowPhoneLabel(LONG newVal) override { return Put(3, newVal); }
    HRESULT STDMETHODCALLTYPE get_ShowPortErrorLabel(LONG* pVal) override { return Get(4, pVal); }
    HRESULT STDMETHODCALLTYPE put_ShowPortErrorLabel(LONG newVal) override { return Put(4, newVal); }

    HRESULT STDMETHODCALLTYPE Startup() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Shutdown() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE InitializeList(IUnknown*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetSelectedPort(LONG*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetConfigAgent(IUnknown**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE StartupEx(IUnknown*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE ShowProperties() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE RefreshDisplay() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE ShowPropertiesOnDoubleClick(LONG) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetSelectedPortState(short*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetDisplayMask(int) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetNotificationWindow(ULONG) override { return E_NOTIMPL; }

private:
    HRESULT Get(int index, LONG* value) {
        return Fw::Boundary(value, [&] { *value = m_flags[index]; });
    }
    HRESULT Put(int index, LONG value) {
        return Fw::Boundary([&] {
            if (value == refused)
                return E_INVALIDARG;
            if (m_flags[index] != value) {
                m_flags[index] = value;
                PropertyChanged(5 + index);
            }
            return S_OK;
        });
    }

    LONG m_flags[5] = {1, 1, 1, 1, 1};
};

// Saved states as a host keeps them: its defaults, and one with every value set apart from them.
inline const Fw::SavedState defaults = {{2000, 1000}, {1, 1, 1, 1, 1}};
inline const Fw::SavedState saved = {{15399, 7911}, {1, 0, 1, 0, 0}};

// The bytes as a stream a host hands to IPersistStreamInit::Load, read from its start.
inline Microsoft::WRL::ComPtr<IStream> StreamOf(const std::vector<BYTE>& bytes) {
    Microsoft::WRL::ComPtr<IStream> stream;
    ::CreateStreamOnHGlobal(nullptr, TRUE, &stream);
    stream->Write(bytes.data(), static_cast<ULONG>(bytes.size()), nullptr);
    stream->Seek({}, STREAM_SEEK_SET, nullptr);
    return stream;
}

} // namespace FrameworkTests
