#include "phones/PhoneRows.h"

#include "foundation/Com/Failure.h"
#include "foundation/ServerCodes.h"
#include "foundation/Lang/Text.h"
#include "lists/ListViewHelper.h"
#include "lists/RedrawOff.h"
#include "server/OwnedRecord.h"
#include "server/ServerObjects.h"

#include <comdef.h>

void CPhoneRows::AddRow(const OstrelPhoneInfo& phone, const OstrelModelEx& model, int position) {
    Server::OwnedRecord<OstrelPortInfo> port;
    if (FAILED(m_agent->GetPortInfo(phone.portId, port.put())) || port->portState != portEnabled)
        return;
    InsertRow(std::make_unique<CPhoneItem>(phone, Lang::FromBstr(port->portName), Lang::FromBstr(port->label), model),
              position, phoneColumnCount);
}

void CPhoneRows::LoadAll() {
    if (!HasList() || !m_agent)
        return;
    const Fw::ListView list = m_helper->List();
    const RedrawOff quiet(list);
    try {
        const auto agentEx = Com::Query<IOstrelConfigAgentEx>(m_agent);
        bool anyRead = false;
        for (const short id : ObjectIds(m_agent, ObjectType::phone)) {
            Server::OwnedRecord<OstrelPhoneInfo> phone;
            if (FAILED(m_agent->GetPhoneInfo(id, phone.put())))
                continue;
            anyRead = true;
            OstrelModelEx model = {};
            if (agentEx)
                agentEx->GetPhoneModel(id, &model);
            AddRow(*phone, model, -1);
        }
        if (anyRead)
            list.SelectItem(0);
    } catch (const _com_error&) {
        // A server that stops answering leaves the list with what it had read.
    }
}

CPhoneItem* CPhoneRows::ReloadPort(long portId) {
    if (!HasList())
        return nullptr;
    const Fw::ListView list = m_helper->List();
    const RedrawOff quiet(list);
    const int index = RemoveRow(portId);
    if (!m_agent)
        return nullptr;
    try {
        Server::OwnedRecord<OstrelPhoneInfo> phone;
        if (FAILED(m_agent->GetPortPhoneInfo(static_cast<short>(portId), phone.put())))
            return nullptr;
        OstrelModelEx model = {};
        if (const auto agentEx = Com::Query<IOstrelConfigAgentEx>(m_agent))
            agentEx->GetPortPhoneModel(static_cast<short>(portId), &model);
        AddRow(*phone, model, index);
    } catch (const _com_error&) {
        return nullptr;
    }
    return m_items.Find(portId).item;
}
