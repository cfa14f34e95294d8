#pragma once
// The stream node on the far side of a heater or cooler that stands next to a port of a unit.
// The exchanger view (beyond each of its four ports) and the splitter view (beyond the utility
// after the mixer) show and take that node's temperature. The walk stays on the port's own
// stream: a heater or cooler placed at a port is a node of that stream alone, so the node beyond
// it is the same stream's next segment. A real exchanger next to the port is a unit of two
// streams whose first outlet may well be the other stream; walking through it would read or
// write that stream, so there is nothing beyond then.
#include "pellin/CNode.h"
#include "pellin/StreamNodes.h"

namespace beyond_utility {

inline CNode* step(CNode* node, bool upstream) {
    return !node ? nullptr : upstream ? node->getIthUpStreamNode(0) : node->getIthDownStreamNode(0);
}

// `port` is the stream node at the port; `upstream` the direction away from the unit. Null
// unless the next node is a heater or cooler and the one after it a segment of the port's stream.
inline CNode* NodeBeyond(CNode* port, bool upstream) {
    const auto* own = port ? port->asStreamPiece() : nullptr;
    CNode* utility = step(port, upstream);
    if (!own || !own->getParentPIStream() || !utility || utility->getKindId() != NodeKindId::Heater) return nullptr;
    CNode* far = step(utility, upstream);
    const auto* piece = far ? far->asStreamPiece() : nullptr;
    if (!piece || far->getKindId() != NodeKindId::MaterialStream) return nullptr;
    return piece->getParentPIStream() == own->getParentPIStream() ? far : nullptr;
}

}  // namespace beyond_utility
