#include "pellin/StreamNodes.h"

#include "pellin/FlowSheet.h"
#include "pellin/IFlowsheetStream.h"
#include "pellin/NodeKinds.h"
#include "pellin/StreamProfile.h"
#include "pellin/UnitNodes.h"

#include <cmath>

namespace {
// A walk upstream that runs longer than this has met a loop of segments: no fraction.
constexpr int kMaxWalk = 100000;
// Shares of a split that add up within this (relative) are whole.
constexpr double kShareTolerance = 1e-9;

double fractionOf(const CNode* segment, int depth);

// Share of the stream's flow that leaves `unit` through its outlet slot `slot`.
double fractionLeaving(const CNode* unit, int slot, int depth) {
    if (!unit || depth > kMaxWalk) return -1.0;
    switch (unit->getKindId()) {
    case NodeKindId::Tee:
        return -1.0;  // answered by the branch segment itself
    case NodeKindId::Mixer: {
        // A branch that carries nothing (a bypass held shut, share 0) adds nothing; the outlet
        // carries what the others bring. The branches of a splitter-mixer must bring back all
        // that left the splitter (its shares add up to 1); otherwise no share is known after it.
        double sum = 0.0;
        for (const CNode* in : unit->getAllUpStreamNodes()) {
            const double f = fractionOf(in, depth + 1);
            if (f < 0.0) return -1.0;
            sum += f;
        }
        if (!(sum > 0.0)) return -1.0;
        if (const Splitter* tee = static_cast<const Mixer*>(unit)->getAssociatedSplitter()) {
            const double before = fractionOf(tee->getIthUpStreamNode(0), depth + 1);
            if (before > 0.0 && std::fabs(sum - before) > kShareTolerance * before) return -1.0;
        }
        return sum;
    }
    case NodeKindId::CountercurrentHX:
    case NodeKindId::HeatExchanger:
        return fractionOf(unit->getIthUpStreamNode(slot), depth + 1);
    default:
        break;
    }
    if (unit->getNumberOfUpStreamSlots() == 0) return 1.0;  // a stream start
    const CNode* in = unit->getIthUpStreamNode(0);
    return in ? fractionOf(in, depth + 1) : -1.0;
}

double fractionOf(const CNode* segment, int depth) {
    if (!segment || depth > kMaxWalk) return -1.0;
    if (segment->getKindId() != NodeKindId::MaterialStream) return fractionLeaving(segment, 0, depth);
    return static_cast<const StreamNode*>(segment)->getSplitFraction(depth);
}
}  // namespace

StreamPiece::StreamPiece(const CPString& name, const CPString& kind, IFlowsheetStream* stream)
    : CNode(name, kind), m_stream(nullptr) {
    setParentPIStream(stream);
}

void StreamPiece::setParentPIStream(IFlowsheetStream* stream) {
    m_stream = stream;
    if (stream) addVariable(NodeValue::ParentStream, stream->GetName(), ValueStatus::Specified);
}

bool StreamNode::IsOfType(const CPString& typeName) const {
    return typeName == NodeKind::MaterialStream || typeName == NodeKind::StreamNodeType || CNode::IsOfType(typeName);
}

// The walk goes back along the stream to its start, or to the tee whose branch this is and on
// from there. Its result is kept until the flowsheet reports a change of a connection or of a
// split fraction, so a recalculation walks each chain once rather than on every read of a
// segment's heat content.
double StreamNode::getSplitFraction() const { return getSplitFraction(0); }

double StreamNode::getSplitFraction(int depth) const {
    const FlowSheet* sheet = getFlowSheet();
    if (sheet && m_fractionEpoch == sheet->FractionEpoch()) return m_fraction;
    double f = -1.0;
    const CNode* up = getIthUpStreamNode(0);
    if (!up) f = 1.0;
    else if (up->getKindId() == NodeKindId::Tee) {
        double share = 0.0;
        if (isKnown(NodeValue::SplitFraction, share)) {
            const double before = fractionOf(up->getIthUpStreamNode(0), depth + 1);
            f = before > 0.0 && share >= 0.0 ? before * share : -1.0;
        }
    } else {
        f = fractionLeaving(up, up->downStreamSlotOf(this), depth);
    }
    // An unknown share is not kept: a later pass of the units may supply the missing fraction.
    if (sheet && f >= 0.0) {
        m_fraction = f;
        m_fractionEpoch = sheet->FractionEpoch();
    }
    return f;
}

bool StreamNode::getProfile(StreamProfile& profile) const {
    const double f = getSplitFraction();
    if (const IFlowsheetStream* stream = getParentPIStream()) {
        FlowSheet* sheet = getFlowSheet();
        return sheet && sheet->HoldsStreamProfiles() ? sheet->HeldStreamProfile(*stream, f, profile)
                                                     : profile.Build(*stream, f);
    }
    double cp = 0.0, film = 0.0;
    if (!getVariableAsDouble(NodeValue::HeatCapacityFlowrate, cp)) return false;
    getVariableAsDouble(NodeValue::FilmCoefficient, film);
    return profile.BuildConstant(cp, film, f);
}

const StreamProfile* StreamNode::getHeldProfile() const {
    const IFlowsheetStream* stream = getParentPIStream();
    FlowSheet* sheet = getFlowSheet();
    if (!stream || !sheet || !sheet->HoldsStreamProfiles()) return nullptr;
    return &sheet->HeldStreamProfile(*stream, getSplitFraction());
}

const StreamProfile* StreamNode::profileOrHeld(StreamProfile& own) const {
    if (const StreamProfile* held = getHeldProfile()) return held->Valid() ? held : nullptr;
    return getProfile(own) ? &own : nullptr;
}

double StreamNode::getEnthalpy() const {
    double t = 0.0;
    StreamProfile p;
    if (!getVariableAsDouble(NodeValue::Temperature, t) || !getProfile(p)) return 0.0;
    const IFlowsheetStream* s = getParentPIStream();
    const double supply = s ? s->GetSupplyTemperature() : t;
    return std::fabs(p.Enthalpy(supply) - p.Enthalpy(t));
}

int StreamNode::Calculate(int code) {
    if (code != UnitCode::ClearCalculated) return 0;
    return clearCalculated(NodeValue::Temperature) + clearCalculated(NodeValue::SplitFraction) +
           clearCalculated(NodeValue::MassFlow);
}

std::unique_ptr<CNode> StreamNode::makeEmptyCopy() const {
    return std::make_unique<StreamNode>(getName(), getClassName(), getParentPIStream());
}

bool StreamStart::IsOfType(const CPString& typeName) const {
    return typeName == NodeKind::FeedBlock || CNode::IsOfType(typeName);
}

int StreamStart::Calculate(int code) {
    if (!UnitCode::IsCalculate(code)) return 0;
    StreamNode* first = AsStreamNode(getIthDownStreamNode(0));
    double t = 0.0, known = 0.0;
    if (!first || !isKnown(NodeValue::Temperature, t) || first->isKnown(NodeValue::Temperature, known)) return 0;
    return first->writeCalculated(NodeValue::Temperature, t);
}

std::unique_ptr<CNode> StreamStart::makeEmptyCopy() const {
    return std::make_unique<StreamStart>(getName(), getClassName(), getParentPIStream());
}

int StreamEnd::Calculate(int code) {
    if (!UnitCode::IsCalculate(code)) return 0;
    StreamNode* last = AsStreamNode(getIthUpStreamNode(0));
    double t = 0.0, known = 0.0;
    if (!last || !isKnown(NodeValue::Temperature, t)) return 0;
    CNode* before = last->getIthUpStreamNode(0);
    if (!before || before->getClassName() != NodeKind::Heater) return 0;
    if (last->isKnown(NodeValue::Temperature, known)) return 0;
    return last->writeCalculated(NodeValue::Temperature, t);
}

std::unique_ptr<CNode> StreamEnd::makeEmptyCopy() const {
    return std::make_unique<StreamEnd>(getName(), getClassName(), getParentPIStream());
}

StreamStart* AsStreamStart(CNode* node) { return NodeCast<StreamStart>(node, NodeKind::FeedBlock); }
StreamEnd* AsStreamEnd(CNode* node) { return NodeCastByKind<StreamEnd>(node, NodeKind::ProductBlock); }
