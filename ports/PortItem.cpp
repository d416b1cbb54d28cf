#include "ports/PortItem.h"

// Out of line so that the class's virtual table lives in this one object file.
CPortItem::~CPortItem() = default;
