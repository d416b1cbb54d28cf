#pragma once

#include "framework/controls/CompositeControl.h"
#include "framework/windows/Window.h"
#include "interfaces/OstrelUITools.h"
#include "resources/resource.h"
#include "server/OstrelServer.h"
#include "servicemap/ServiceMap.h"

#include <wrl/client.h>

// "Service to Phone Port Mappings": the phone's devices with their services beside the services
// still to hand out, both lists of this module embedded the way a composite embeds its children.
// The map is read from the phone when the dialog opens and written back on OK when the user
// changed it; nothing reaches the phone before.
class CRdmPortAssignDlg : public Fw::DialogImpl<CRdmPortAssignDlg> {
public:
    static constexpr int assignedId = IDC_SERVICE_MAPPING_ASSIGNED;
    static constexpr int poolId = IDC_SERVICE_MAPPING_POOL;
    static constexpr int resetId = IDC_SERVICE_MAPPING_RESET;

    // Asks the port for its phone's file system; a failed request raises its status, and there
    // is no dialog to run. A port that answers with something else leaves the dialog without
    // one, and the read then fails as for a null pointer.
    explicit CRdmPortAssignDlg(IOstrelPort* port);

    // IDOK or IDCANCEL, or -1 when the dialog could not be made.
    INT_PTR Run(HWND owner);
    // The embedded assigned list while the dialog is open; null without one.
    IRdmSvcAsgn* AssignedList() const { return m_assigned.Get(); }

    bool OnInitDialog(HWND focus);
    void OnDestroy();
    void OnOk(UINT, UINT, HWND);
    void OnCancel(UINT, UINT, HWND);

    static inline const Fw::MessageEntry<CRdmPortAssignDlg> messages[] = {
        Fw::OnMessage<WM_INITDIALOG, &CRdmPortAssignDlg::OnInitDialog>(),
        Fw::OnMessage<WM_DESTROY, &CRdmPortAssignDlg::OnDestroy>(),
        Fw::OnCommand<IDOK, &CRdmPortAssignDlg::OnOk>(),
        Fw::OnCommand<IDCANCEL, &CRdmPortAssignDlg::OnCancel>(),
    };

private:
    Microsoft::WRL::ComPtr<IOstrelPort> m_port;
    Microsoft::WRL::ComPtr<IPhoneEfs> m_efs;
    Microsoft::WRL::ComPtr<IRdmSvcAsgn> m_assigned;
    Microsoft::WRL::ComPtr<IRdmSvcPool> m_pool;
    // The map as the phone held it; all 0xFF until a read succeeds, so that OK after a failed
    // read writes only what the user set.
    ServiceMap::Table m_asRead;
    Fw::CompositeFace m_face{IDD_SERVICE_MAPPING};
};
