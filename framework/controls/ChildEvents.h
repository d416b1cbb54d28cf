#pragma once

#include "framework/com/ComObject.h"

#include <oaidl.h>
#include <wrl/client.h>

#include <functional>
#include <memory>
#include <string>

namespace Fw {

// Where a composite's embedded children's events go: the child's control id, the event's
// DISPID and its arguments as the child fired them.
using ChildEventRelay = std::function<HRESULT(int childId, DISPID member, const DISPPARAMS& arguments)>;

// The plain IDispatch a composite advises on one child's event interface, as a script host's
// sink. It holds the relay weakly: once the composite lets its children go, a late event from
// one of them reaches nothing.
class ChildEventSink : public ObjectRoot, public IDispatch {
public:
    static inline const InterfaceEntry interfaces[] = {Entry<ChildEventSink, IDispatch>()};

    // Null when no memory is left for it.
    static Microsoft::WRL::ComPtr<IDispatch> Create(int childId, std::weak_ptr<const ChildEventRelay> relay);

    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* pctinfo) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** ppTInfo) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID member, REFIID, LCID, WORD, DISPPARAMS* arguments, VARIANT*,
                                     EXCEPINFO*, UINT*) override;

private:
    int m_childId = 0;
    std::weak_ptr<const ChildEventRelay> m_relay;
};

// The argument at a position of an event call as text (DISPPARAMS hold the arguments last
// first); DISP_E_BADPARAMCOUNT, DISP_E_NONAMEDARGS or the conversion's failure is raised.
std::string TextArgument(const DISPPARAMS& arguments, UINT position);

// One line of a composite's child event map, after ATL's sink map:
//     static inline const Fw::ChildEventEntry<T> childEvents[] = {
//         Fw::OnChildEvent<comboId, DISPID_SERVERCOMBO_SERVERCHANGED, &T::OnServerChanged>(), ...};
// The handler takes the event's arguments typed.
template <class T>
struct ChildEventEntry {
    int childId;
    DISPID member;
    void (*call)(T& owner, const DISPPARAMS& arguments);
};

template <class Handler>
struct ChildEventHandler;

// An event with one text argument.
template <class T>
struct ChildEventHandler<void (T::*)(const std::string&)> {
    using Owner = T;
    template <void (T::*Handler)(const std::string&)>
    static void Call(T& owner, const DISPPARAMS& arguments) {
        (owner.*Handler)(TextArgument(arguments, 0));
    }
};

template <int ChildId, DISPID Member, auto Handler>
constexpr ChildEventEntry<typename ChildEventHandler<decltype(Handler)>::Owner> OnChildEvent() {
    return {ChildId, Member, &ChildEventHandler<decltype(Handler)>::template Call<Handler>};
}

} // namespace Fw
