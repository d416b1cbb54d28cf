// The device server's records (declared in OstrelServer.idl) with their 32-bit
// layout pinned down. Servers and clients built for i686 exchange these
// records in process and by byte offset, so a change of field order or type in
// the IDL must fail the 32-bit build rather than shift a field. On x64 the
// BSTRs are 8 bytes and the offsets differ; nothing is asserted there.
#pragma once

#include <cstddef>

#include "server/OstrelServer.h"

#if defined(_M_IX86) || defined(__i386__)

static_assert(sizeof(BSTR) == 4, "the record layouts assume 4-byte BSTRs");

static_assert(offsetof(OstrelPortConfigEx, portId) == 0x00);
static_assert(offsetof(OstrelPortConfigEx, portName) == 0x0C);
static_assert(offsetof(OstrelPortConfigEx, baudRate) == 0x10);
static_assert(offsetof(OstrelPortConfigEx, label) == 0x14);
static_assert(offsetof(OstrelPortConfigEx, portState) == 0x1C);
static_assert(offsetof(OstrelPortConfigEx, linkType) == 0x20);
static_assert(offsetof(OstrelPortConfigEx, host) == 0x24);
static_assert(offsetof(OstrelPortConfigEx, networkPort) == 0x28);
static_assert(offsetof(OstrelPortConfigEx, linkQualifier) == 0x2C);
static_assert(sizeof(OstrelPortConfigEx) == 0x30);

static_assert(offsetof(OstrelPortInfo, portId) == 0x00);
static_assert(offsetof(OstrelPortInfo, portName) == 0x0C);
static_assert(offsetof(OstrelPortInfo, label) == 0x14);
static_assert(offsetof(OstrelPortInfo, portState) == 0x1C);
static_assert(sizeof(OstrelPortInfo) == 0x20);

static_assert(offsetof(OstrelPhoneInfo, portId) == 0x00);
static_assert(offsetof(OstrelPhoneInfo, esn) == 0x08);
static_assert(offsetof(OstrelPhoneInfo, analogMin) == 0x0C);
static_assert(offsetof(OstrelPhoneInfo, phoneNumber) == 0x10);
static_assert(offsetof(OstrelPhoneInfo, phoneName) == 0x14);
static_assert(offsetof(OstrelPhoneInfo, modelText) == 0x18);
static_assert(offsetof(OstrelPhoneInfo, modelNumber) == 0x1C);
static_assert(offsetof(OstrelPhoneInfo, banner) == 0x20);
static_assert(offsetof(OstrelPhoneInfo, phoneStateText) == 0x24);
static_assert(offsetof(OstrelPhoneInfo, stateText) == 0x28);
static_assert(offsetof(OstrelPhoneInfo, buildVersion) == 0x2C);
static_assert(offsetof(OstrelPhoneInfo, compileDate) == 0x30);
static_assert(offsetof(OstrelPhoneInfo, compileTime) == 0x34);
static_assert(offsetof(OstrelPhoneInfo, releaseDate) == 0x38);
static_assert(offsetof(OstrelPhoneInfo, releaseTime) == 0x3C);
static_assert(offsetof(OstrelPhoneInfo, slotCycleIndex) == 0x40);
static_assert(offsetof(OstrelPhoneInfo, majorVersion) == 0x41);
static_assert(offsetof(OstrelPhoneInfo, minorVersion) == 0x42);
static_assert(offsetof(OstrelPhoneInfo, chipText) == 0x44);
static_assert(offsetof(OstrelPhoneInfo, stationClassMark) == 0x6B);
static_assert(offsetof(OstrelPhoneInfo, protocolRevision) == 0x6E);
static_assert(offsetof(OstrelPhoneInfo, mode) == 0x70);
static_assert(offsetof(OstrelPhoneInfo, locked) == 0x74);
static_assert(offsetof(OstrelPhoneInfo, authorized) == 0x78);
static_assert(offsetof(OstrelPhoneInfo, platformDevice) == 0x7C);
static_assert(offsetof(OstrelPhoneInfo, formFactor) == 0x80);
static_assert(sizeof(OstrelPhoneInfo) == 132);

static_assert(offsetof(OstrelModelEx, hasValue) == 0x00);
static_assert(offsetof(OstrelModelEx, modelNumber) == 0x04);
static_assert(sizeof(OstrelModelEx) == 0x08);

static_assert(offsetof(OstrelClientInfo, clientName) == 0x00);
static_assert(offsetof(OstrelClientInfo, clientId) == 0x06);
static_assert(offsetof(OstrelClientInfo, machineName) == 0x08);
static_assert(offsetof(OstrelClientInfo, processId) == 0x0C);
static_assert(offsetof(OstrelClientInfo, version) == 0x10);
static_assert(offsetof(OstrelClientInfo, startTime) == 0x14);
static_assert(sizeof(OstrelClientInfo) == 0x18);

static_assert(offsetof(OstrelObjectInfo, className) == 0x00);
static_assert(offsetof(OstrelObjectInfo, objectName) == 0x04);
static_assert(offsetof(OstrelObjectInfo, objectType) == 0x08);
static_assert(offsetof(OstrelObjectInfo, version) == 0x0C);
static_assert(sizeof(OstrelObjectInfo) == 0x10);

#endif
