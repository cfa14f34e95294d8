#pragma once
// Reading a design's chain form: what a node is, the stream a stream piece belongs to, and the
// neighbours of a node along its stream.
#include "eng/model/IHeatIntegrationStream.h"
#include "pellin/CNode.h"
#include "pellin/NegligibleDuty.h"
#include "pellin/NodeKinds.h"
#include "pellin/StreamNodes.h"

namespace chain {

inline bool IsSegment(const CNode* n) { return n && n->getKindId() == NodeKindId::MaterialStream; }
inline bool IsPlaceholder(const CNode* n) { return n && n->getKindId() == NodeKindId::Heater; }
inline bool IsExchanger(const CNode* n) { return n && n->isExchangerKind(); }
inline bool IsTee(const CNode* n) { return n && n->getKindId() == NodeKindId::Tee; }
inline bool IsMixer(const CNode* n) { return n && n->getKindId() == NodeKindId::Mixer; }
inline bool IsProductBlock(const CNode* n) { return n && n->getKindId() == NodeKindId::ProductBlock; }
inline bool IsFeedBlock(const CNode* n) { return n && n->getKindId() == NodeKindId::FeedBlock; }

// The heat-integration stream behind a feed block, segment or product block; null otherwise.
inline IHeatIntegrationStream* StreamOf(const CNode* n) {
    const StreamPiece* piece = n ? n->asStreamPiece() : nullptr;
    return piece ? dynamic_cast<IHeatIntegrationStream*>(piece->getParentPIStream()) : nullptr;
}
inline bool IsUtilityStream(const IHeatIntegrationStream* s) { return s && s->GetStreamKind() == 1; }

// The node before and after a node with one inlet and one outlet (a segment, a placeholder).
inline CNode* Before(const CNode* n) { return n ? n->getIthUpStreamNode(0) : nullptr; }
inline CNode* After(const CNode* n) { return n ? n->getIthDownStreamNode(0) : nullptr; }

// Marks the end block of a process stream the design satisfied when its operation was locked:
// the locked network has reached an operating point only where each such stream still meets its
// target.
inline constexpr const char* kSatisfiedWhenLocked = "SatisfiedWhenLocked";

// A splitter branch's share where the design was given it: the lock's reset of the calculated
// values makes it a worked-out one, and unlocking gives it back as given.
inline constexpr const char* kDesignedSplitFraction = "DesignedSplitFraction";

// The duty a unit was specified with (or the design worked out) when the design was locked: the
// locked network works its duties out from the frozen areas, and unlocking gives this one back.
inline constexpr const char* kDesignedDuty = "DesignedDuty";

// The share of a duty to which the network's area equations give a frozen area's duty back: a
// locked network whose duty is within it of the one the design had runs at the design's point.
inline constexpr double kFrozenAreaDutyPrecision = 5e-4;

}  // namespace chain
