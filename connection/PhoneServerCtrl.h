#pragma once

#include "framework/controls/CompositeControl.h"
#include "framework/controls/DataObject.h"
#include "framework/controls/PersistPropertyBag.h"
#include "framework/controls/PersistStorage.h"
#include "framework/controls/PropertyTable.h"
#include "framework/controls/SpecifyPropertyPages.h"
#include "interfaces/DispIds.h"
#include "interfaces/OstrelUITools.h"
#include "resources/resource.h"

#include <array>
#include <string>

// What a tool needs to pick a phone on any machine: the server combo and the browse button above
// a phone list. When the user names a machine it connects to that machine's device server itself
// and hands the agent to its phone list. It talks to its children only through their interfaces
// and events, and has no events of its own.
class COstrelPhoneServerCtrl
    : public Fw::CompositeControl<COstrelPhoneServerCtrl, IOstrelPhoneServerCtrl, &CLSID_OstrelPhoneServerCtrl>,
      public Fw::PersistStorage,
      public Fw::PersistPropertyBag,
      public Fw::DataObject,
      public Fw::SpecifyPropertyPages {
public:
    static constexpr const char* displayName = "OstrelPhoneServerCtrl";
    static constexpr UINT faceTemplate = IDD_PHONE_SERVER;
    static constexpr SIZEL defaultExtent = {15240, 8176};
    static constexpr int labelId = IDC_PHONE_SERVER_LABEL;
    static constexpr int comboId = IDC_PHONE_SERVER_COMBO;
    static constexpr int buttonId = IDC_PHONE_SERVER_BROWSE;
    static constexpr int listId = IDC_PHONE_SERVER_LIST;

    // The six Show...Label flags, kept here and handed to the phone list's property of the same
    // name, in the order a new face gets them.
    using ListPut = HRESULT (STDMETHODCALLTYPE IOstrelPhoneList::*)(LONG);
    static constexpr Fw::PropertyEntry<ListPut> shownFlags[] = {
        {"ShowPhoneTypeLabel", DISPID_PHONESERVER_SHOWPHONETYPELABEL, &IOstrelPhoneList::put_ShowPhoneTypeLabel},
        {"ShowESNLabel", DISPID_PHONESERVER_SHOWESNLABEL, &IOstrelPhoneList::put_ShowESNLabel},
        {"ShowNumberLabel", DISPID_PHONESERVER_SHOWNUMBERLABEL, &IOstrelPhoneList::put_ShowNumberLabel},
        {"ShowBannerLabel", DISPID_PHONESERVER_SHOWBANNERLABEL, &IOstrelPhoneList::put_ShowBannerLabel},
        {"ShowPortLabel", DISPID_PHONESERVER_SHOWPORTLABEL, &IOstrelPhoneList::put_ShowPortLabel},
        {"ShowServerLabel", DISPID_PHONESERVER_SHOWSERVERLABEL, &IOstrelPhoneList::put_ShowServerLabel},
    };
    // Saved with the control, in this order; the banner's flag is not.
    static constexpr Fw::PersistedProperty properties[] = {
        {"ShowPhoneTypeLabel", DISPID_PHONESERVER_SHOWPHONETYPELABEL},
        {"ShowESNLabel", DISPID_PHONESERVER_SHOWESNLABEL},
        {"ShowPortLabel", DISPID_PHONESERVER_SHOWPORTLABEL},
        {"ShowServerLabel", DISPID_PHONESERVER_SHOWSERVERLABEL},
        {"ShowNumberLabel", DISPID_PHONESERVER_SHOWNUMBERLABEL},
    };
    static inline const CLSID* const propertyPages[] = {&CLSID_PhoneListProps};
    static inline const auto interfaces = Fw::Interfaces(
        Fw::ControlInterfaces<COstrelPhoneServerCtrl>(), Fw::Entry<COstrelPhoneServerCtrl, IPersistStorage>(),
        Fw::Entry<COstrelPhoneServerCtrl, IPersistPropertyBag>(), Fw::Entry<COstrelPhoneServerCtrl, IDataObject>(),
        Fw::Entry<COstrelPhoneServerCtrl, ISpecifyPropertyPages>());

    // IOstrelPhoneServerCtrl
    HRESULT STDMETHODCALLTYPE Startup() override;
    HRESULT STDMETHODCALLTYPE Shutdown() override;
    HRESULT STDMETHODCALLTYPE DefaultServer(BSTR bStrOstrelServer) override;
    HRESULT STDMETHODCALLTYPE GetSelectedPhone(LONG* pESN, LONG* pPortID) override;
    HRESULT STDMETHODCALLTYPE get_ShowPhoneTypeLabel(LONG* pVal) override;
    HRESULT STDMETHODCALLTYPE put_ShowPhoneTypeLabel(LONG newVal) override;
    HRESULT STDMETHODCALLTYPE get_ShowESNLabel(LONG* pVal) override;
    HRESULT STDMETHODCALLTYPE put_ShowESNLabel(LONG newVal) override;
    HRESULT STDMETHODCALLTYPE get_ShowBannerLabel(LONG* pVal) override;
    HRESULT STDMETHODCALLTYPE put_ShowBannerLabel(LONG newVal) override;
    HRESULT STDMETHODCALLTYPE get_ShowPortLabel(LONG* pVal) override;
    HRESULT STDMETHODCALLTYPE put_ShowPortLabel(LONG newVal) override;
    HRESULT STDMETHODCALLTYPE get_ShowServerLabel(LONG* pVal) override;
    HRESULT STDMETHODCALLTYPE put_ShowServerLabel(LONG newVal) override;
    HRESULT STDMETHODCALLTYPE get_ShowNumberLabel(LONG* pVal) override;
    HRESULT STDMETHODCALLTYPE put_ShowNumberLabel(LONG newVal) override;
    HRESULT STDMETHODCALLTYPE get_SelectedServer(BSTR* pVal) override;
    HRESULT STDMETHODCALLTYPE put_SelectedServer(BSTR newVal) override;

    bool OnInitDialog(HWND);
    void OnSize(UINT type, SIZE client);
    void OnServerChanged(const std::string& name);
    void OnServerSelChanged(const std::string& name);

    static inline const Fw::MessageEntry<COstrelPhoneServerCtrl> messages[] = {
        Fw::OnMessage<WM_INITDIALOG, &COstrelPhoneServerCtrl::OnInitDialog>(),
        Fw::OnMessage<WM_SIZE, &COstrelPhoneServerCtrl::OnSize>(),
    };
    static inline const Fw::ChildEventEntry<COstrelPhoneServerCtrl> childEvents[] = {
        Fw::OnChildEvent<comboId, DISPID_SERVERCOMBO_SERVERCHANGED, &COstrelPhoneServerCtrl::OnServerChanged>(),
        Fw::OnChildEvent<buttonId, DISPID_SERVERBUTTON_SERVERSELCHANGED,
                         &COstrelPhoneServerCtrl::OnServerSelChanged>(),
    };

private:
    // Connects to the machine's device server, with the wait cursor up meanwhile, and gives the
    // phone list the agent, or none when that failed; only a machine connected to is remembered
    // in the combo. Success without a phone list.
    HRESULT ConnectTo(const std::string& machine);
    HRESULT GetShown(DISPID id, LONG* value) const;
    HRESULT PutShown(DISPID id, LONG value);

    std::array<LONG, std::size(shownFlags)> m_shown = {1, 1, 1, 1, 1, 1};
};
