#include "server/ServerObjects.h"

#include "foundation/Com/Failure.h"
#include "foundation/Win32/SafeArrayAccess.h"
#include "foundation/Win32/Unique.h"

std::vector<short> ObjectIds(IOstrelConfigAgent* agent, long typeMask) {
    short count = 0;
    Win32::UniqueSafeArray ids;
    Com::Call(agent, &IOstrelConfigAgent::GetObjectIds, typeMask, &count, ids.put());
    const Win32::SafeArrayAccess<short> access(ids.get());
    const auto vouched = access.First(count);
    return {vouched.begin(), vouched.end()};
}
