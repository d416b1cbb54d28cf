// The server's records and arrays filled from the simulator's state. Every call allocates
// its own BSTRs and SAFEARRAYs, which then belong to the caller.
#pragma once

#include "devicesim/SimState.h"
#include "server/OstrelServer.h"

#include <cstdint>
#include <string>
#include <vector>

namespace Sim {

void FillPortInfo(const SimPort& port, OstrelPortInfo& info);
void FillPortConfig(const SimPort& port, OstrelPortConfigEx& config);
void FillPhoneInfo(const SimPhone& phone, OstrelPhoneInfo& info);
void FillModel(const SimPhone& phone, OstrelModelEx& model);
void FillClientInfo(const SimClient& client, OstrelClientInfo& info);
// Object info of any id in the server's one id space; false when no object has the id.
bool FillObjectInfo(SimState& state, short id, OstrelObjectInfo& info);
// Ids of every object whose type has a bit in the mask, in ascending id order.
std::vector<short> ObjectIds(const SimState& state, long typeMask);

// The ESN as the phone object reports it: its decimal text as a 32-bit number, or -1 when the
// phone has not told one (empty or not a number).
long EsnValue(const SimPhone& phone);
// The wide model number when the phone has one, else the narrow one.
unsigned short ModelNumber(const SimPhone& phone);

// "75 37 03 16 00" as bytes; false when the text is not hex bytes separated by blanks.
bool ParseHexBytes(const std::string& text, std::vector<std::uint8_t>& bytes);
std::string HexBytes(const std::vector<std::uint8_t>& bytes);

SAFEARRAY* ShortArray(const std::vector<short>& values);
SAFEARRAY* UShortArray(const std::vector<unsigned short>& values);
SAFEARRAY* LongArray(const std::vector<long>& values);
SAFEARRAY* LongLongArray(const std::vector<std::int64_t>& values);
SAFEARRAY* BstrArray(const std::vector<std::string>& values);
// The texts of a one-dimensional BSTR array, at most `count` of them; raises E_INVALIDARG
// when it holds fewer.
std::vector<std::string> TextsOf(SAFEARRAY* array, long count);

} // namespace Sim
