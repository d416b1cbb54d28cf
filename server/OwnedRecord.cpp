#include "server/OwnedRecord.h"

#include "server/OstrelServerRecords.h"

#include <initializer_list>

namespace Server {

namespace {

// Frees the texts and leaves the whole record zeroed, so it can be received into again.
template <class Record>
void Clear(Record& record, std::initializer_list<BSTR Record::*> texts) {
    for (BSTR Record::*text : texts)
        ::SysFreeString(record.*text);
    record = Record{};
}

} // namespace

void ClearRecord(OstrelPortConfigEx& record) {
    Clear(record, {&OstrelPortConfigEx::portName, &OstrelPortConfigEx::label, &OstrelPortConfigEx::host,
                   &OstrelPortConfigEx::linkQualifier});
}

void ClearRecord(OstrelPortInfo& record) {
    Clear(record, {&OstrelPortInfo::portName, &OstrelPortInfo::label});
}

void ClearRecord(OstrelPhoneInfo& record) {
    Clear(record,
          {&OstrelPhoneInfo::esn, &OstrelPhoneInfo::analogMin, &OstrelPhoneInfo::phoneNumber,
           &OstrelPhoneInfo::phoneName, &OstrelPhoneInfo::modelText, &OstrelPhoneInfo::banner,
           &OstrelPhoneInfo::phoneStateText, &OstrelPhoneInfo::stateText, &OstrelPhoneInfo::buildVersion,
           &OstrelPhoneInfo::compileDate, &OstrelPhoneInfo::compileTime, &OstrelPhoneInfo::releaseDate,
           &OstrelPhoneInfo::releaseTime, &OstrelPhoneInfo::chipText});
}

void ClearRecord(OstrelModelEx& record) {
    record = OstrelModelEx{};
}

void ClearRecord(OstrelClientInfo& record) {
    Clear(record, {&OstrelClientInfo::clientName, &OstrelClientInfo::machineName, &OstrelClientInfo::version,
                   &OstrelClientInfo::startTime});
}

void ClearRecord(OstrelObjectInfo& record) {
    Clear(record, {&OstrelObjectInfo::className, &OstrelObjectInfo::objectName, &OstrelObjectInfo::version});
}

} // namespace Server
