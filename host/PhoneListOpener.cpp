#include "host/PhoneListOpener.h"

#include "foundation/Com/Failure.h"
#include "foundation/StateVocabulary.h"
#include "framework/windows/ListView.h"
#include "host/ListRows.h"
#include "host/ServiceMappingOpener.h"
#include "interfaces/OstrelUITools.h"
#include "resources/resource.h"
#include "server/OstrelServer.h"
#include "server/OwnedRecord.h"

#include <comdef.h>
#include <wrl/client.h>

#include <algorithm>
#include <vector>

namespace DemoHost {

namespace {

using Microsoft::WRL::ComPtr;

// The list's rows in their order, each by the port its row value names and the mode the server
// gives the phone there; a port the server no longer answers for is left out.
std::vector<PhoneFacts> ListedPhones(const Fw::ListView& rows, IUnknown* agentObject) {
    const ComPtr<IOstrelConfigAgent> agent = Com::Query<IOstrelConfigAgent>(agentObject);
    std::vector<PhoneFacts> phones;
    const int count = agent && rows.Exists() ? rows.GetItemCount() : 0;
    for (int row = 0; row < count; ++row) {
        const long portId = static_cast<long>(rows.GetItemData(row));
        Server::OwnedRecord<OstrelPhoneInfo> phone;
        if (SUCCEEDED(agent->GetPortPhoneInfo(static_cast<short>(portId), phone.put())))
            phones.push_back({portId, phone->mode});
    }
    return phones;
}

// The ProgID every view asks the server's agents by.
constexpr wchar_t agentProgId[] = L"Kelmar.OstrelConfigAgent.1";

// An agent of the server, for one look at the phones, handed back when this goes.
class ServerAgent {
public:
    explicit ServerAgent(IUnknown* serverObject)
        : m_server(Com::Query<IOstrelServer>(serverObject)) {
        Com::ThrowIfNull(m_server.Get());
        Com::ThrowIfFailed(m_server->CreateConfigAgent(_bstr_t(agentProgId), -1, &m_cookie, &m_agent));
    }
    ~ServerAgent() {
        if (m_agent)
            m_server->ReleaseConfigAgent(m_cookie);
    }
    ServerAgent(const ServerAgent&) = delete;
    ServerAgent& operator=(const ServerAgent&) = delete;

    IUnknown* Get() const { return m_agent.Get(); }

private:
    ComPtr<IOstrelServer> m_server;
    long m_cookie = 0;
    ComPtr<IUnknown> m_agent;
};

} // namespace

long ChoosePhone(std::span<const PhoneFacts> phones) {
    const auto found = std::find_if(phones.begin(), phones.end(),
                                    [](const PhoneFacts& phone) { return !IsDownloadMode(phone.mode); });
    return found == phones.end() ? 0 : found->portId;
}

bool OpenOnPhoneServer(IUnknown* control, HWND window, IUnknown* server, OpenTarget target) {
    try {
        if (!Com::Query<IOstrelPhoneServerCtrl>(control))
            return false;
        const HWND list = ::GetDlgItem(window, IDC_PHONE_SERVER_LIST);
        const Fw::ListView rows = ListRows(list);
        if (!rows.Exists() || rows.GetItemCount() == 0)
            return false;
        std::vector<PhoneFacts> phones = ListedPhones(rows, ServerAgent(server).Get());
        // The map is read from the phone's file system: a phone without one has no map to edit.
        if (target == OpenTarget::ServiceMapping)
            std::erase_if(phones,
                          [&](const PhoneFacts& phone) { return !HoldsServiceMap(server, phone.portId); });
        const long portId = ChoosePhone(phones);
        if (portId == 0 || SelectRow(rows, portId) < 0)
            return false;
        // A command without a control is a menu's: the list opens the selected phone's window,
        // which is modeless, and the caller's loop runs on.
        if (target == OpenTarget::PhoneProperties)
            ::PostMessageA(list, WM_COMMAND, MAKEWPARAM(ID_PHONE_PROPERTIES, 0), 0);
        else if (target == OpenTarget::ServiceMapping)
            OpenServiceMapping(list);
        return true;
    } catch (const _com_error&) {
        // The server not answering yet reads as a list not filled yet.
        return false;
    }
}

} // namespace DemoHost
