#pragma once
// What a case read back may hold: the values a stream table has a column for lie where the
// table's checks put them. A case written by the host holds nothing else, so a value outside is
// damage, whatever the checksum says (it guards the bytes on their way, not values written wrong
// with a checksum made for them).
#include <string>

class IHeatIntegrationScenario;

// False with a message naming the stream and the column for the first value out of range.
bool CheckCaseContent(IHeatIntegrationScenario& scenario, std::string& error);
