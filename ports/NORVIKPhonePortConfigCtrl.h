#pragma once

#include "framework/controls/CompositeControl.h"
#include "framework/controls/DataObject.h"
#include "framework/controls/PersistStorage.h"
#include "framework/controls/SpecifyPropertyPages.h"
#include "interfaces/OstrelUITools.h"
#include "resources/resource.h"

// A control hosts can create and place, whose face is an empty dialog: it has no members, fires
// no events, saves nothing but its extent and never talks to a device server. What it answers
// is what every composite control answers, plus its (empty) event interface's connection point.
class CNORVIKPhonePortConfigCtrl
    : public Fw::CompositeControl<CNORVIKPhonePortConfigCtrl, INORVIKPhonePortConfigCtrl,
                                  &CLSID_NORVIKPhonePortConfigCtrl, _INORVIKPhonePortConfigCtrlEvents>,
      public Fw::PersistStorage,
      public Fw::DataObject,
      public Fw::SpecifyPropertyPages {
public:
    static constexpr const char* displayName = "NORVIKPhonePortConfigCtrl";
    static constexpr UINT faceTemplate = IDD_NORVIK_PHONE_PORT_CONFIG;
    static inline const auto interfaces =
        Fw::Interfaces(Fw::ControlInterfaces<CNORVIKPhonePortConfigCtrl>(),
                       Fw::Entry<CNORVIKPhonePortConfigCtrl, IPersistStorage>(),
                       Fw::Entry<CNORVIKPhonePortConfigCtrl, IDataObject>(),
                       Fw::Entry<CNORVIKPhonePortConfigCtrl, ISpecifyPropertyPages>(),
                       Fw::Entry<CNORVIKPhonePortConfigCtrl, IConnectionPointContainer>());

    int OnCreate(const CREATESTRUCTA*);

    static inline const Fw::MessageEntry<CNORVIKPhonePortConfigCtrl> messages[] = {
        Fw::OnMessage<WM_CREATE, &CNORVIKPhonePortConfigCtrl::OnCreate>(),
    };
};
