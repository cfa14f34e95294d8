#pragma once
// A design's copies of its streams' values, as a case holds them: the temperatures at a unit's
// ports, which carry the unit's duty by the streams' cp or a utility's placed flow.
#include <string>

class IHENDesign;

// False with a message naming the design, the unit or stream and the copy that disagrees with
// the duty it is worked out from. `who` opens the message.
bool CheckDesignStreamCopies(const IHENDesign& design, const std::string& who,
                             std::string& error);
