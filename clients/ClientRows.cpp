#include "clients/ClientRows.h"

#include "lists/RedrawOff.h"
#include "server/OwnedRecord.h"
#include "server/ServerObjects.h"

#include <comdef.h>

bool CClientRows::AddClient(short clientId) {
    Server::OwnedRecord<OstrelClientInfo> client;
    if (FAILED(m_agent->GetClientInfo(clientId, client.put())))
        return false;
    return InsertRow(std::make_unique<CClientItem>(*client), -1, clientColumnCount) != nullptr;
}

void CClientRows::LoadAll() {
    if (!HasList() || !m_agent)
        return;
    const Fw::ListView list = m_helper->List();
    const RedrawOff quiet(list);
    try {
        bool anyAdded = false;
        for (const short id : ObjectIds(m_agent, ObjectType::client))
            anyAdded = AddClient(id) || anyAdded;
        if (anyAdded)
            list.SelectItem(0);
    } catch (const _com_error&) {
        // A server that cannot list its clients leaves the list empty.
    }
}

void CClientRows::Add(short objectId) {
    if (!HasList() || !m_agent)
        return;
    Server::OwnedRecord<OstrelObjectInfo> object;
    if (FAILED(m_agent->GetObjectInfo(objectId, object.put())) || object->objectType != ObjectType::client)
        return;
    AddClient(objectId);
}

void CClientRows::Remove(short clientId) {
    if (HasList())
        RemoveRow(clientId);
}
