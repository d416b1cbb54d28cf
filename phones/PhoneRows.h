#pragma once

#include "lists/ListRows.h"
#include "phones/PhoneItem.h"
#include "server/OstrelServer.h"

// The rows of one phone list, built from the server's records: one row per phone on a port in
// state 2, keyed by its port.
class CPhoneRows : public ListRows<CPhoneItem, ComparePhoneItems> {
public:
    // Every phone the server lists, in its order; the first row selected.
    void LoadAll();
    // The port's row built again at its place (at the end when it had none); the new item, or
    // null when the port has no phone row any more.
    CPhoneItem* ReloadPort(long portId);

private:
    // A row for the phone when its port is in state 2, at `position` clamped to the row count
    // (-1: at the end).
    void AddRow(const OstrelPhoneInfo& phone, const OstrelModelEx& model, int position);
};
