#pragma once

#include "framework/controls/ControlBase.h"

namespace Fw {

// IQuickActivate: site, ambients, sinks and status exchanged in one call.
class QuickActivation : public IQuickActivate, public virtual ControlBase {
public:
    HRESULT STDMETHODCALLTYPE QuickActivate(QACONTAINER* pQaContainer, QACONTROL* pQaControl) override;
    HRESULT STDMETHODCALLTYPE SetContentExtent(LPSIZEL pSizel) override;
    HRESULT STDMETHODCALLTYPE GetContentExtent(LPSIZEL pSizel) override;
};

} // namespace Fw
