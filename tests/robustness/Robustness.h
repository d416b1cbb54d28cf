#pragma once

// The module's persisted controls as the robustness tests walk them, one line a class. A
// control added to the module joins every case here with its line.
#include "interfaces/OstrelUITools.h"

#include <gtest/gtest.h>
#include <objbase.h>
#include <wrl/client.h>

#include <ostream>
#include <stdexcept>
#include <string>

namespace Robustness {

struct PersistedClass {
    const char* name;
    const CLSID* clsid;
    bool storage;     // answers IPersistStorage (every control answers IPersistStreamInit)
    bool propertyBag; // answers IPersistPropertyBag
};

inline const PersistedClass persistedClasses[] = {
    {"OstrelPhoneList", &CLSID_OstrelPhoneList, true, true},
    {"OstrelPortList", &CLSID_OstrelPortList, true, true},
    {"OstrelPhoneServerCtrl", &CLSID_OstrelPhoneServerCtrl, true, true},
    {"OstrelServerCombo", &CLSID_OstrelServerCombo, true, false},
    {"OstrelServerButton", &CLSID_OstrelServerButton, true, false},
    {"OstrelPortViewCtrl", &CLSID_OstrelPortViewCtrl, true, false},
    {"NORVIKPhonePortConfigCtrl", &CLSID_NORVIKPhonePortConfigCtrl, true, false},
    {"OstrelPortConfigCtrl", &CLSID_OstrelPortConfigCtrl, true, false},
    {"OstrelClientList", &CLSID_OstrelClientList, true, false},
    {"OstrelObjectList", &CLSID_OstrelObjectList, true, false},
    {"RdmSvcAsgn", &CLSID_RdmSvcAsgn, true, false},
    {"RdmSvcPool", &CLSID_RdmSvcPool, true, false},
};

inline std::ostream& operator<<(std::ostream& out, const PersistedClass& persisted) {
    return out << persisted.name;
}

inline std::string ClassName(const testing::TestParamInfo<PersistedClass>& info) {
    return info.param.name;
}

// How many inputs or cycles to run: `ci`, or with `--long` or OSTREL_ROBUSTNESS_LONG=1 `longRun`.
int Scaled(int ci, int longRun);

// A new instance from the registered module, as a host creates it by CLSID.
template <class I>
Microsoft::WRL::ComPtr<I> Create(const PersistedClass& persisted) {
    Microsoft::WRL::ComPtr<I> object;
    if (FAILED(::CoCreateInstance(*persisted.clsid, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&object))))
        throw std::runtime_error(std::string("CoCreateInstance of ") + persisted.name + " failed");
    return object;
}

} // namespace Robustness
