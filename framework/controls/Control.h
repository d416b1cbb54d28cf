#pragma once

#include "framework/com/ComObject.h"
#include "framework/com/ConnectionPoint.h"
#include "framework/com/Dispatch.h"
#include "framework/com/TypeLibrary.h"
#include "framework/controls/ControlBase.h"
#include "framework/controls/InPlaceObject.h"
#include "framework/controls/OleControl.h"
#include "framework/controls/OleObject.h"
#include "framework/controls/PersistStreamInit.h"
#include "framework/controls/ProvideClassInfo.h"
#include "framework/windows/DialogTemplate.h"
#include "framework/controls/QuickActivation.h"
#include "framework/controls/ViewObject.h"
#include "framework/windows/Window.h"

#include <wrl/client.h>

#include <array>
#include <span>
#include <tuple>

namespace Fw {

// The table lines of the pieces every visual control takes. A class's own table joins them
// with the lines of the pieces it adds (PersistStorage, PersistPropertyBag, DataObject,
// SpecifyPropertyPages) and of its other interfaces (IConnectionPointContainer,
// ISupportErrorInfo, IMarshal).
template <class T>
std::array<InterfaceEntry, 16> ControlInterfaces() {
    using Default = typename T::DefaultInterfaceType;
    return {
        Entry<T, Default>(),
        Entry<T, IDispatch, Default>(),
        Entry<T, IViewObjectEx>(),
        Entry<T, IViewObject2, IViewObjectEx>(),
        Entry<T, IViewObject, IViewObjectEx>(),
        Entry<T, IOleInPlaceObjectWindowless>(),
        Entry<T, IOleInPlaceObject, IOleInPlaceObjectWindowless>(),
        Entry<T, IOleWindow, IOleInPlaceObjectWindowless>(),
        Entry<T, IOleInPlaceActiveObject>(),
        Entry<T, IOleControl>(),
        Entry<T, IOleObject>(),
        Entry<T, IPersistStreamInit>(),
        Entry<T, IPersist, IPersistStreamInit>(),
        Entry<T, IQuickActivate>(),
        Entry<T, IProvideClassInfo, IProvideClassInfo2>(),
        Entry<T, IProvideClassInfo2>(),
    };
}

template <size_t N, class... More>
std::array<InterfaceEntry, N + sizeof...(More)> Interfaces(const std::array<InterfaceEntry, N>& common,
                                                           More... more) {
    std::array<InterfaceEntry, N + sizeof...(More)> all;
    std::copy(common.begin(), common.end(), all.begin());
    const InterfaceEntry added[] = {more..., InterfaceEntry{}};
    std::copy(added, added + sizeof...(More), all.begin() + N);
    return all;
}

// A control class T:
//     class PortList : public Fw::Control<PortList, IOstrelPortList, &CLSID_OstrelPortList,
//                                         _IOstrelPortListEvents>,
//                      public Fw::PersistPropertyBag, ... { ... };
// Control takes the pieces every container needs (IOleObject, the in-place interfaces,
// IOleControl, IViewObjectEx, IPersistStreamInit, IQuickActivate, IProvideClassInfo2); T adds
// the optional ones it answers as further bases and table lines.
// T implements the default interface's members and may declare, all static:
//   displayName        text of the designer's face (default "Control")
//   defaultExtent      SIZEL in HIMETRIC (default: a composite's face on this screen, else
//                      2540 x 2540)
//   properties[]       Fw::PersistedProperty, in save order (default none)
//   propertyPages[]    const CLSID*, what ISpecifyPropertyPages names (default none)
//   messages[]         its window's message map, written after the handlers it names
//   interfaces         its interface table, usually Fw::Interfaces(Fw::ControlInterfaces<T>(), ...)
// IPropertyNotifySink is always among its connection points, after its events.
template <class T, class Default, const CLSID* Clsid, class... Events>
class Control : public ObjectRoot,
                public Dispatch<Default>,
                public OleObject,
                public InPlaceObject,
                public OleControl,
                public ViewObject,
                public PersistStreamInit,
                public QuickActivation,
                public ProvideClassInfo,
                public ConnectionPoints<Events..., IPropertyNotifySink>,
                public WindowImpl<T> {
public:
    using DefaultInterfaceType = Default;

    // A reference to the object while one of its window messages is handled.
    Microsoft::WRL::ComPtr<IUnknown> KeepAlive() { return this->OwnUnknown(); }

    // The control's events reach every sink, except while the container has them frozen
    // (IOleControl::FreezeEvents, a form loading): those are dropped, as containers expect.
    template <class Event, class Call>
    void Fire(Call&& call) {
        if (!this->EventsFrozen())
            ConnectionPoints<Events..., IPropertyNotifySink>::template Fire<Event>(std::forward<Call>(call));
    }

    // Messages T's map left alone: the control's focus and activation duties, then the default.
    LRESULT DefaultMessage(UINT message, WPARAM wParam, LPARAM lParam) {
        LRESULT result = 0;
        if (HandleControlMessage(message, wParam, lParam, result))
            return result;
        return WindowImpl<T>::DefaultMessage(message, wParam, lParam);
    }

protected:
    Control() { this->SetInitialExtent(InitialExtent()); }

    const CLSID& ClassId() const override { return *Clsid; }
    ITypeInfo* DefaultTypeInfo() override { return TypeLibrary::TypeInfoOf(__uuidof(Default)); }
    IDispatch* DefaultDispatch() override { return static_cast<Default*>(this); }
    IOleInPlaceActiveObject* ActiveObject() override { return this; }
    IOleObject* OleObjectInterface() override { return this; }
    std::span<const PersistedProperty> Properties() const override {
        if constexpr (requires { T::properties; })
            return T::properties;
        else
            return {};
    }
    std::span<const CLSID* const> PropertyPages() const override {
        if constexpr (requires { T::propertyPages; })
            return T::propertyPages;
        else
            return {};
    }
    const char* DisplayName() const override {
        if constexpr (requires { T::displayName; })
            return T::displayName;
        else
            return "Control";
    }
    ConnectionPoint* PropertyNotifyPoint() override { return &this->template PointOf<IPropertyNotifySink>(); }
    ConnectionPoint* DefaultEventPoint() override {
        if constexpr (sizeof...(Events) > 0)
            return &this->template PointOf<std::tuple_element_t<0, std::tuple<Events...>>>();
        else
            return nullptr;
    }
    HWND CreateControlWindow(HWND parent, const RECT& rect) override {
        return this->Create(parent, rect, WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS);
    }
    HWND ControlWindow() const override { return this->m_hWnd; }
    void DestroyControlWindow() override { this->Destroy(); }

private:
    static SIZEL InitialExtent() {
        if constexpr (requires { T::defaultExtent; })
            return T::defaultExtent;
        else if constexpr (requires { T::faceTemplate; })
            return DialogExtent(T::faceTemplate).value_or(SIZEL{2540, 2540});
        else
            return {2540, 2540};
    }
};

} // namespace Fw
