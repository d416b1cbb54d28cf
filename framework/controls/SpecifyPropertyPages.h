#pragma once

#include "framework/controls/ControlBase.h"

namespace Fw {

// ISpecifyPropertyPages: the pages the class names in `propertyPages`.
class SpecifyPropertyPages : public ISpecifyPropertyPages, public virtual ControlBase {
public:
    HRESULT STDMETHODCALLTYPE GetPages(CAUUID* pPages) override;
};

} // namespace Fw
