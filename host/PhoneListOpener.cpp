#include "host/PhoneListOpener.h"

#include "foundation/Com/Failure.h"
#include "foundation/StateVocabulary.h"
#include "framework/windows/ListView.h"
#include "host/ListRows.h"
#include "interfaces/OstrelUITools.h"
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

} // namespace

long ChoosePhone(std::span<const PhoneFacts> phones) {
    const auto found = std::find_if(phones.begin(), phones.end(),
                                    [](const PhoneFacts& phone) { return !IsDownloadMode(phone.mode); });
    return found == phones.end() ? 0 : found->portId;
}

bool OpenOnPhoneList(IUnknown* control, HWND window, OpenTarget target) {
    try {
        const ComPtr<IOstrelPhoneList> phoneList = Com::Query<IOstrelPhoneList>(control);
        const ComPtr<IUnknown> agentObject = ListAgent<IOstrelPhoneList>(control);
        if (!agentObject)
            return false;
        const Fw::ListView rows = ListRows(window);
        const long portId = ChoosePhone(ListedPhones(rows, agentObject.Get()));
        if (portId == 0 || SelectRow(rows, portId) < 0)
            return false;
        // The properties window is modeless: it opens here and the caller's loop runs on.
        if (target == OpenTarget::PhoneProperties)
            Com::ThrowIfFailed(phoneList->ShowProperties());
        return true;
    } catch (const _com_error&) {
        // The server not answering yet reads as a list not filled yet.
        return false;
    }
}

} // namespace DemoHost
