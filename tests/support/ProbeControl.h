#pragma once

// A control for the framework's tests, on the probe interface and class of Probes.idl, whose type
// library the framework tests' executable carries: five persisted properties, an event and a list
// view child.
#include "framework/com/Boundary.h"
#include "framework/com/SupportErrorInfo.h"
#include "framework/controls/Control.h"
#include "framework/controls/DataObject.h"
#include "framework/controls/PersistPropertyBag.h"
#include "framework/controls/PersistStorage.h"
#include "framework/controls/SpecifyPropertyPages.h"
#include "framework/windows/ListView.h"
#include "tests/support/Probes.h"

#include <string>

namespace TestSupport {

// The page the probe names; the framework tests make it themselves.
constexpr CLSID probePageClass = {0xF1D26AF0, 0x4E18, 0x4888, {0xB6, 0xB0, 0xE9, 0x6E, 0x81, 0xC5, 0xA6, 0xB8}};

class ProbeControl
    : public Fw::Control<ProbeControl, IProbeControl, &CLSID_Probe, _IProbeControlEvents>,
      public Fw::PersistStorage,
      public Fw::PersistPropertyBag,
      public Fw::DataObject,
      public Fw::SpecifyPropertyPages,
      public Fw::SupportErrorInfo<IProbeControl> {
public:
    static constexpr const char* displayName = "ProbeControl";
    static constexpr const char* windowClassName = "OstrelProbeControl";
    static constexpr SIZEL defaultExtent = {2000, 1000};
    static inline const Fw::PersistedProperty properties[] = {
        {"Flag5", 5}, {"Flag6", 6}, {"Flag7", 7}, {"Flag8", 8}, {"Flag9", 9},
    };
    static inline const CLSID* const propertyPages[] = {&probePageClass};
    static inline const auto interfaces = Fw::Interfaces(
        Fw::ControlInterfaces<ProbeControl>(), Fw::Entry<ProbeControl, IPersistStorage>(),
        Fw::Entry<ProbeControl, IPersistPropertyBag>(), Fw::Entry<ProbeControl, IDataObject>(),
        Fw::Entry<ProbeControl, ISpecifyPropertyPages>(),
        Fw::Entry<ProbeControl, IConnectionPointContainer>(), Fw::Entry<ProbeControl, ISupportErrorInfo>());
    // A value the last setter refuses, to show that a failed load puts everything back.
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
    // A key a test has the probe take itself, besides the base's.
    UINT ownKey = 0;
    bool WantsKey(UINT key) const override { return key == ownKey || Fw::ControlBase::WantsKey(key); }

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

    HRESULT STDMETHODCALLTYPE get_Flag5(LONG* value) override { return Get(0, value); }
    HRESULT STDMETHODCALLTYPE put_Flag5(LONG value) override { return Put(0, value); }
    HRESULT STDMETHODCALLTYPE get_Flag6(LONG* value) override { return Get(1, value); }
    HRESULT STDMETHODCALLTYPE put_Flag6(LONG value) override { return Put(1, value); }
    HRESULT STDMETHODCALLTYPE get_Flag7(LONG* value) override { return Get(2, value); }
    HRESULT STDMETHODCALLTYPE put_Flag7(LONG value) override { return Put(2, value); }
    HRESULT STDMETHODCALLTYPE get_Flag8(LONG* value) override { return Get(3, value); }
    HRESULT STDMETHODCALLTYPE put_Flag8(LONG value) override { return Put(3, value); }
    HRESULT STDMETHODCALLTYPE get_Flag9(LONG* value) override { return Get(4, value); }
    HRESULT STDMETHODCALLTYPE put_Flag9(LONG value) override { return Put(4, value); }

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

} // namespace TestSupport
