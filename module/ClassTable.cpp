#include "module/ClassTable.h"

#include "clients/ClientList.h"
#include "clients/ObjectList.h"
#include "connection/PhoneServerCtrl.h"
#include "connection/ServerButton.h"
#include "connection/ServerCombo.h"
#include "interfaces/OstrelUITools.h"
#include "lookup/CKmMobModelTools.h"
#include "lookup/CKmNvTools.h"
#include "phones/PhoneList.h"
#include "phones/PhoneListProps.h"
#include "ports/NORVIKPhonePortConfigCtrl.h"
#include "ports/PortConfigCtrl.h"
#include "ports/PortList.h"
#include "ports/PortListProps.h"
#include "ports/PortViewCtrl.h"
#include "resources/resource.h"
#include "servicemap/ServiceAssignList.h"
#include "servicemap/ServicePoolList.h"

namespace {

// Registration, class-object lookup and unregistration walk the classes in this order.
const Fw::ClassEntry classes[] = {
    {&CLSID_OstrelPhoneList, IDR_OSTRELPHONELIST, Fw::CreatorOf<COstrelPhoneList>},
    {&CLSID_PhoneListProps, IDR_PHONELISTPROPS, Fw::CreatorOf<CPhoneListProps>},
    {&CLSID_OstrelServerButton, IDR_OSTRELSERVERBUTTON, Fw::CreatorOf<COstrelServerButton>},
    {&CLSID_OstrelServerCombo, IDR_OSTRELSERVERCOMBO, Fw::CreatorOf<COstrelServerCombo>},
    {&CLSID_OstrelPhoneServerCtrl, IDR_OSTRELPHONESERVERCTRL, Fw::CreatorOf<COstrelPhoneServerCtrl>},
    {&CLSID_OstrelPortList, IDR_OSTRELPORTLIST, Fw::CreatorOf<PortList>},
    {&CLSID_PortListProps, IDR_PORTLISTPROPS, Fw::CreatorOf<CPortListProps>},
    {&CLSID_OstrelPortConfigCtrl, IDR_OSTRELPORTCONFIGCTRL, Fw::CreatorOf<COstrelPortConfigCtrl>},
    {&CLSID_OstrelClientList, IDR_OSTRELCLIENTLIST, Fw::CreatorOf<COstrelClientList>},
    {&CLSID_OstrelObjectList, IDR_OSTRELOBJECTLIST, Fw::CreatorOf<COstrelObjectList>},
    {&CLSID_OstrelPortViewCtrl, IDR_OSTRELPORTVIEWCTRL, Fw::CreatorOf<COstrelPortViewCtrl>},
    {&CLSID_KmNvTools, IDR_KMNVTOOLS, Fw::CreatorOf<CKmNvTools>},
    {&CLSID_KmMobModelTools, IDR_KMMOBMODELTOOLS, Fw::CreatorOf<CKmMobModelTools>},
    {&CLSID_RdmSvcAsgn, IDR_RDMSVCASGN, Fw::CreatorOf<CRdmSvcAsgn>},
    {&CLSID_RdmSvcPool, IDR_RDMSVCPOOL, Fw::CreatorOf<CRdmSvcPool>},
    {&CLSID_NORVIKPhonePortConfigCtrl, IDR_NORVIKPHONEPORTCONFIGCTRL,
     Fw::CreatorOf<CNORVIKPhonePortConfigCtrl>},
};

} // namespace

Fw::ClassTable& ModuleClasses() {
    static Fw::ClassTable table(classes);
    return table;
}
