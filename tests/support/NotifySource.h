#pragma once

// An object with one connection point, for IPropertyNotifySink, that fires on demand: what the
// framework's connection point tests advise to.
#include "framework/com/ComObject.h"
#include "framework/com/ConnectionPoint.h"

namespace TestSupport {

class NotifySource : public Fw::ObjectRoot, public Fw::ConnectionPoints<IPropertyNotifySink> {
public:
    static inline const Fw::InterfaceEntry interfaces[] = {
        Fw::Entry<NotifySource, IConnectionPointContainer>(),
    };
    void Changed(DISPID id) {
        Fire<IPropertyNotifySink>([&](IPropertyNotifySink* sink) { sink->OnChanged(id); });
    }
};

} // namespace TestSupport
