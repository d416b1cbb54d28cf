#pragma once

#include "lists/Item.h"

#include <string>

// One port row of a port list: every column's text is computed once, when the row is built
// from the server's records, and the row is rebuilt rather than edited when the port changes.
// Texts are 8-bit in the system code page, as the list view shows and sorts them.
class CPortItem : public CItem {
public:
    ~CPortItem() override;

    long portId = 0; // the record's 16-bit id, widened with its sign
    std::string portName;
    std::string label;     // the user's label; empty shows the port name instead
    std::string phoneText; // Phone column
    std::string linkText;  // Link column, "N/A" in states where the link means nothing
    std::string stateText; // State column
    short stateCode = 0;   // port state code, kept as 16 bits
    long linkType = 0;     // 1 serial, 2 USB, 3 network, anything else unknown
    std::string host;      // network ports only
    unsigned long networkPort = 0;
    std::string linkQualifier;
};

// Each port list keeps the items of its own rows. A list shared by every control of the
// process would let one control's refresh destroy the items behind another control's rows,
// and two controls showing the same port would find and remove each other's item.
using CPortItemList = CItemList<CPortItem>;
