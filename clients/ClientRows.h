#pragma once

#include "clients/ClientItem.h"
#include "lists/ListRows.h"

// The rows of one client list, one per client the server lists, in the order they came.
class CClientRows : public ListRows<CClientItem, CompareClientItems> {
public:
    // Every client the server lists; the first row selected.
    void LoadAll();
    // The object's row at the end, when the server says it is a client and describes it.
    void Add(short objectId);
    // The client's row and item gone; nothing changes for an id without a row.
    void Remove(short clientId);

private:
    // The client's row at the end; false when the server cannot describe it.
    bool AddClient(short clientId);
};
