#pragma once

#include "server/OstrelServer.h"

namespace Server {

// The texts inside a server record belong to whoever received it.
void ClearRecord(OstrelPortConfigEx& record);
void ClearRecord(OstrelPortInfo& record);
void ClearRecord(OstrelPhoneInfo& record);
void ClearRecord(OstrelModelEx& record);
void ClearRecord(OstrelClientInfo& record);
void ClearRecord(OstrelObjectInfo& record);

// A record received from the server, released with its owner: pass put() as the [out]
// argument, then read it through -> or *.
template <class Record>
class OwnedRecord {
public:
    OwnedRecord() = default;
    OwnedRecord(const OwnedRecord&) = delete;
    OwnedRecord& operator=(const OwnedRecord&) = delete;
    ~OwnedRecord() { ClearRecord(m_record); }

    Record* put() {
        ClearRecord(m_record);
        return &m_record;
    }
    const Record& operator*() const { return m_record; }
    const Record* operator->() const { return &m_record; }

private:
    Record m_record{};
};

} // namespace Server
