// The module's exports as a host calls them: class objects, unloading and aggregation.
#include "AutomationContract.h"
#include "interfaces/OstrelUITools.h"
#include "tests/support/ModuleRegistration.h"
#include "tests/support/OuterObject.h"

#include <comdef.h>
#include <gtest/gtest.h>
#include <wrl/client.h>

#include <iterator>
#include <map>
#include <string>
#include <utility>
#include <vector>

using Microsoft::WRL::ComPtr;

namespace {

// The module loaded directly, so that DllCanUnloadNow and DllGetClassObject are the ones
// a host's COM runtime would call.
class ModuleExports : public ::testing::Test {
protected:
    void SetUp() override {
        m_module = ::LoadLibraryA(TestSupport::modulePath().c_str());
        ASSERT_NE(nullptr, m_module);
        getClassObject = Export<decltype(getClassObject)>("DllGetClassObject");
        canUnloadNow = Export<decltype(canUnloadNow)>("DllCanUnloadNow");
        ASSERT_TRUE(getClassObject && canUnloadNow);
    }
    void TearDown() override { ::FreeLibrary(m_module); }

    template <class Function>
    Function Export(const char* name) const {
        return reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(m_module, name)));
    }

    ComPtr<IClassFactory> ClassObject(REFCLSID clsid) {
        ComPtr<IClassFactory> factory;
        EXPECT_EQ(S_OK, getClassObject(clsid, IID_IClassFactory, &factory));
        return factory;
    }

    HRESULT(STDAPICALLTYPE* getClassObject)(REFCLSID, REFIID, void**) = nullptr;
    HRESULT(STDAPICALLTYPE* canUnloadNow)() = nullptr;

private:
    HMODULE m_module = nullptr;
};

// Each class of the contract with the interface its objects answer; a class the module never
// heard of has no class object.
TEST_F(ModuleExports, ClassObjectsForEveryClassOfTheContractOnly) {
    const std::map<std::string, IID> built = {{"OstrelPhoneList", IID_IOstrelPhoneList},
                                              {"PhoneListProps", IID_IPropertyPage},
                                              {"OstrelServerButton", IID_IOstrelServerButton},
                                              {"OstrelServerCombo", IID_IOstrelServerCombo},
                                              {"OstrelPhoneServerCtrl", IID_IOstrelPhoneServerCtrl},
                                              {"OstrelPortList", IID_IOstrelPortList},
                                              {"PortListProps", IID_IPropertyPage},
                                              {"KmNvTools", IID_IKmNvTools},
                                              {"KmMobModelTools", IID_IKmMobModelTools},
                                              {"OstrelPortViewCtrl", IID_IOstrelPortViewCtrl},
                                              {"NORVIKPhonePortConfigCtrl", IID_INORVIKPhonePortConfigCtrl},
                                              {"OstrelPortConfigCtrl", IID_IOstrelPortConfigCtrl},
                                              {"OstrelClientList", IID_IOstrelClientList},
                                              {"OstrelObjectList", IID_IOstrelObjectList},
                                              {"RdmSvcAsgn", IID_IRdmSvcAsgn},
                                              {"RdmSvcPool", IID_IRdmSvcPool}};
    std::vector<std::pair<std::string, CLSID>> classes = {
        {"unknown", {0x0badc0de, 0, 0x4000, {0x80, 0, 0, 0, 0, 0, 0, 1}}}};
    for (const Contract::ClassRow& c : Contract::kClasses) {
        classes.push_back({c.name, {}});
        ::CLSIDFromString(_bstr_t(c.clsid), &classes.back().second);
    }
    for (const auto& [name, clsid] : classes) {
        IUnknown* object = reinterpret_cast<IUnknown*>(1);
        const HRESULT status = getClassObject(clsid, IID_IClassFactory, reinterpret_cast<void**>(&object));
        EXPECT_EQ(built.count(name) ? S_OK : CLASS_E_CLASSNOTAVAILABLE, status) << name;
        if (FAILED(status)) {
            EXPECT_EQ(nullptr, object) << name;
            continue;
        }
        ComPtr<IClassFactory> factory;
        factory.Attach(static_cast<IClassFactory*>(object));
        EXPECT_EQ(factory, ClassObject(clsid)) << name << ": the class object is made once and kept";
        ComPtr<IUnknown> unknown;
        EXPECT_EQ(S_OK, getClassObject(clsid, IID_IUnknown, &unknown)) << name;
        EXPECT_EQ(E_NOINTERFACE, getClassObject(clsid, IID_IDispatch, &unknown)) << name;
        EXPECT_EQ(S_OK, factory->CreateInstance(nullptr, built.at(name), &unknown)) << name;
    }
}

TEST_F(ModuleExports, CanUnloadOnlyWithoutLiveObjectsOrServerLocks) {
    EXPECT_EQ(S_OK, canUnloadNow());
    const ComPtr<IClassFactory> factory = ClassObject(CLSID_KmMobModelTools);
    EXPECT_EQ(S_OK, canUnloadNow()) << "a class object alone does not hold the module";

    ComPtr<IKmMobModelTools> object;
    ASSERT_EQ(S_OK, factory->CreateInstance(nullptr, IID_PPV_ARGS(&object)));
    EXPECT_EQ(S_FALSE, canUnloadNow());
    object.Reset();
    EXPECT_EQ(S_OK, canUnloadNow());

    ASSERT_EQ(S_OK, factory->LockServer(TRUE));
    EXPECT_EQ(S_FALSE, canUnloadNow());
    ASSERT_EQ(S_OK, factory->LockServer(FALSE));
    EXPECT_EQ(S_OK, canUnloadNow());
}

TEST_F(ModuleExports, EveryBuiltClassCanBeAggregated) {
    for (const CLSID* clsid : {&CLSID_KmNvTools, &CLSID_KmMobModelTools}) {
        const ComPtr<IClassFactory> factory = ClassObject(*clsid);
        TestSupport::OuterObject outer;
        IUnknown* refused = reinterpret_cast<IUnknown*>(1);
        EXPECT_EQ(CLASS_E_NOAGGREGATION,
                  factory->CreateInstance(&outer, IID_IKmNvTools, reinterpret_cast<void**>(&refused)));
        EXPECT_EQ(nullptr, refused);
        EXPECT_EQ(S_OK, canUnloadNow()) << "nothing was left alive by the refusal";

        ASSERT_EQ(S_OK, factory->CreateInstance(&outer, IID_IUnknown, &outer.inner));
        const IID& own = *clsid == CLSID_KmNvTools ? IID_IKmNvTools : IID_IKmMobModelTools;
        ComPtr<IUnknown> viaOuter;
        ASSERT_EQ(S_OK, outer.QueryInterface(own, &viaOuter));
        EXPECT_EQ(2u, outer.references);
        ComPtr<IUnknown> identity;
        ASSERT_EQ(S_OK, viaOuter.As(&identity));
        EXPECT_EQ(static_cast<IUnknown*>(&outer), identity.Get());
        identity.Reset();
        viaOuter.Reset();
        outer.inner.Reset();
        EXPECT_EQ(1u, outer.references);
        EXPECT_EQ(S_OK, canUnloadNow());
    }
}

// What a host may ask each built control for: every visual control answers the same container
// interfaces, and each one some of the optional ones, never the others.
TEST_F(ModuleExports, EachControlAnswersItsOwnInterfacesOnly) {
    const IID everyControl[] = {IID_IDispatch, IID_IViewObjectEx, IID_IViewObject2, IID_IViewObject,
                                IID_IOleInPlaceObjectWindowless, IID_IOleInPlaceObject, IID_IOleWindow,
                                IID_IOleInPlaceActiveObject, IID_IOleControl, IID_IOleObject,
                                IID_IPersistStreamInit, IID_IPersist, IID_ISpecifyPropertyPages,
                                IID_IQuickActivate, IID_IPersistStorage, IID_IDataObject, IID_IProvideClassInfo,
                                IID_IProvideClassInfo2};
    const IID optional[] = {IID_IPersistPropertyBag, IID_IConnectionPointContainer, IID_ISupportErrorInfo,
                            IID_IMarshal, IID_IDropTarget, IID_IDropSource};
    const struct {
        const char* name;
        const CLSID* clsid;
        bool answers[std::size(optional)]; // bag, connection points, error info, marshaler, drop target, source
    } controls[] = {
        {"OstrelPhoneList", &CLSID_OstrelPhoneList, {true, true, false, false, false, false}},
        {"OstrelServerButton", &CLSID_OstrelServerButton, {false, true, true, false, false, false}},
        {"OstrelServerCombo", &CLSID_OstrelServerCombo, {false, true, true, false, false, false}},
        {"OstrelPhoneServerCtrl", &CLSID_OstrelPhoneServerCtrl, {true, false, false, false, false, false}},
        {"OstrelPortList", &CLSID_OstrelPortList, {true, true, false, false, false, false}},
        {"OstrelPortViewCtrl", &CLSID_OstrelPortViewCtrl, {false, false, false, true, false, false}},
        {"NORVIKPhonePortConfigCtrl", &CLSID_NORVIKPhonePortConfigCtrl, {false, true, false, false, false, false}},
        {"OstrelPortConfigCtrl", &CLSID_OstrelPortConfigCtrl, {false, true, false, false, false, false}},
        {"OstrelClientList", &CLSID_OstrelClientList, {false, true, false, true, false, false}},
        {"OstrelObjectList", &CLSID_OstrelObjectList, {false, true, false, true, false, false}},
        {"RdmSvcAsgn", &CLSID_RdmSvcAsgn, {false, false, false, false, true, true}},
        {"RdmSvcPool", &CLSID_RdmSvcPool, {false, false, false, false, true, true}},
    };
    for (const auto& control : controls) {
        ComPtr<IUnknown> object;
        ASSERT_EQ(S_OK, ClassObject(*control.clsid)->CreateInstance(nullptr, IID_PPV_ARGS(&object))) << control.name;
        for (const IID& iid : everyControl) {
            ComPtr<IUnknown> answered;
            EXPECT_EQ(S_OK, object->QueryInterface(iid, &answered)) << control.name << " interface " << &iid - everyControl;
        }
        for (size_t index = 0; index < std::size(optional); ++index) {
            ComPtr<IUnknown> answered;
            EXPECT_EQ(control.answers[index] ? S_OK : E_NOINTERFACE, object->QueryInterface(optional[index], &answered))
                << control.name << " optional interface " << index;
        }
    }
}

} // namespace
