#include "framework/controls/QuickActivation.h"

#include "framework/com/Boundary.h"

#include <cstddef>

namespace Fw {

HRESULT QuickActivation::QuickActivate(QACONTAINER* pQaContainer, QACONTROL* pQaControl) {
    return Boundary([&] {
        if (!pQaContainer || !pQaControl)
            return E_POINTER;
        // Older containers pass shorter records: read and write only what they hold.
        if (pQaContainer->cbSize < offsetof(QACONTAINER, pFont) + sizeof(pQaContainer->pFont) ||
            pQaControl->cbSize < offsetof(QACONTROL, dwPointerActivationPolicy))
            return E_INVALIDARG;
        OleObjectInterface()->SetClientSite(pQaContainer->pClientSite);
        TakeAmbients((pQaContainer->dwAmbientFlags & QACONTAINER_USERMODE) != 0, pQaContainer->colorBack,
                     pQaContainer->pFont);
        if (pQaContainer->pAdviseSink)
            SetViewAdvise(DVASPECT_CONTENT, 0, pQaContainer->pAdviseSink);
        pQaControl->dwMiscStatus = miscStatus;
        pQaControl->dwViewStatus = viewStatus;
        pQaControl->dwEventCookie = 0;
        pQaControl->dwPropNotifyCookie = 0;
        if (pQaControl->cbSize >= sizeof(QACONTROL))
            pQaControl->dwPointerActivationPolicy = 0;
        if (ConnectionPoint* point = DefaultEventPoint(); point && pQaContainer->pUnkEventSink)
            point->Advise(pQaContainer->pUnkEventSink, &pQaControl->dwEventCookie);
        if (ConnectionPoint* point = PropertyNotifyPoint(); point && pQaContainer->pPropertyNotifySink)
            point->Advise(pQaContainer->pPropertyNotifySink, &pQaControl->dwPropNotifyCookie);
        OnAmbientChanged(DISPID_UNKNOWN);
        return S_OK;
    });
}

HRESULT QuickActivation::SetContentExtent(LPSIZEL pSizel) {
    return Boundary([&] { return ChangeExtent(DVASPECT_CONTENT, pSizel); });
}

HRESULT QuickActivation::GetContentExtent(LPSIZEL pSizel) {
    return Boundary(pSizel, [&] { return ReadExtent(DVASPECT_CONTENT, pSizel); });
}

} // namespace Fw
