#include "pellin/UnitNodes.h"

#include "pellin/IFlowsheetStream.h"
#include "pellin/NodeKinds.h"
#include "pellin/StreamNodes.h"
#include "pellin/StreamProfile.h"

#include <cmath>
#include <vector>

namespace {
// Fractions that add up to 1 within this are taken as complete.
constexpr double kFractionTolerance = 1e-9;

int clearPorts(const std::vector<CNode*>& nodes) {
    int n = 0;
    for (CNode* s : nodes) n += s->Calculate(UnitCode::ClearCalculated);
    return n;
}
}  // namespace

// ---- tee ----

bool Splitter::IsOfType(const CPString& typeName) const {
    return typeName == NodeKind::Tee || CNode::IsOfType(typeName);
}

int Splitter::Calculate(int code) {
    CNode* in = getIthUpStreamNode(0);
    const std::vector<CNode*> branches = getAllDownStreamNodes();
    if (code == UnitCode::ClearCalculated) {
        int n = clearPorts(branches);
        if (in) n += in->clearCalculated(NodeValue::Temperature);
        return n;
    }
    if (!UnitCode::IsCalculate(code) || !in || branches.empty()) return 0;
    int written = 0;

    double t = 0.0;
    bool haveT = in->isKnown(NodeValue::Temperature, t);
    if (!haveT) {
        for (CNode* b : branches)
            if (b->isKnown(NodeValue::Temperature, t)) {
                written += in->writeCalculated(NodeValue::Temperature, t);
                haveT = true;
                break;
            }
    }
    if (haveT) {
        double bt = 0.0;
        for (CNode* b : branches)
            if (!b->isKnown(NodeValue::Temperature, bt)) written += b->writeCalculated(NodeValue::Temperature, t);
    }

    double sum = 0.0;
    CNode* open = nullptr;
    int openCount = 0;
    for (CNode* b : branches) {
        double f = 0.0;
        if (b->isKnown(NodeValue::SplitFraction, f)) sum += f;
        else {
            open = b;
            ++openCount;
        }
    }
    if (openCount == 1) {
        const double rest = 1.0 - sum;
        if (rest >= -kFractionTolerance) written += open->writeCalculated(NodeValue::SplitFraction, std::max(rest, 0.0));
    }

    double flow = 0.0;
    if (in->isKnown(NodeValue::MassFlow, flow)) {
        for (CNode* b : branches) {
            double f = 0.0, known = 0.0;
            if (b->isKnown(NodeValue::SplitFraction, f) && !b->isKnown(NodeValue::MassFlow, known))
                written += b->writeCalculated(NodeValue::MassFlow, f * flow);
        }
    }
    return written;
}

std::unique_ptr<CNode> Splitter::makeEmptyCopy() const { return std::make_unique<Splitter>(getName(), getClassName()); }

CNode* Splitter::associatedNode() const { return m_mixer; }

bool Splitter::setAssociatedNode(CNode* node) {
    Mixer* m = NodeCast<Mixer>(node, NodeKind::Mixer);
    if (node && !m) return false;
    m_mixer = m;
    return true;
}

// ---- mixer ----

bool Mixer::IsOfType(const CPString& typeName) const {
    return typeName == NodeKind::Mixer || CNode::IsOfType(typeName);
}

int Mixer::Calculate(int code) {
    StreamNode* out = AsStreamNode(getIthDownStreamNode(0));
    const std::vector<CNode*> inlets = getAllUpStreamNodes();
    if (code == UnitCode::ClearCalculated) {
        int n = 0;
        if (out) n += out->clearCalculated(NodeValue::Temperature) + out->clearCalculated(NodeValue::MassFlow);
        return n;
    }
    if (!UnitCode::IsCalculate(code) || !out || inlets.empty()) return 0;
    int written = 0;
    // Branches whose shares do not add up to what left the splitter mix nothing.
    if (out->getSplitFraction() < 0.0) return 0;

    // Heat content per unit share of the flow; linear in temperature without a stream profile.
    StreamProfile profile;
    const bool haveProfile = out->getParentPIStream() && profile.Build(*out->getParentPIStream(), 1.0);
    auto h = [&](double t) { return haveProfile ? profile.Enthalpy(t) : t; };
    auto tAt = [&](double e) { return haveProfile ? profile.TemperatureAt(e) : e; };

    double total = 0.0, mixed = 0.0;
    int missing = -1, missingCount = 0;
    std::vector<double> shares(inlets.size(), 0.0);
    for (std::size_t i = 0; i < inlets.size(); ++i) {
        StreamNode* s = AsStreamNode(inlets[i]);
        const double f = s ? s->getSplitFraction() : -1.0;
        if (f < 0.0) return written;  // the flows are not known yet
        // An inlet that carries no flow (a bypass held shut) brings no heat; its temperature
        // does not matter.
        if (f == 0.0) continue;
        shares[i] = f;
        total += f;
        double t = 0.0;
        if (inlets[i]->isKnown(NodeValue::Temperature, t)) mixed += f * h(t);
        else {
            missing = static_cast<int>(i);
            ++missingCount;
        }
    }
    if (!(total > 0.0)) return written;
    double tOut = 0.0;
    const bool haveOut = out->isKnown(NodeValue::Temperature, tOut);
    if (missingCount == 0 && !haveOut) written += out->writeCalculated(NodeValue::Temperature, tAt(mixed / total));
    else if (missingCount == 1 && haveOut) {
        const double f = shares[static_cast<std::size_t>(missing)];
        written += inlets[static_cast<std::size_t>(missing)]->writeCalculated(NodeValue::Temperature,
                                                                             tAt((total * h(tOut) - mixed) / f));
    }

    double flowSum = 0.0, flow = 0.0, known = 0.0;
    bool allFlows = true;
    for (CNode* in : inlets) {
        if (in->isKnown(NodeValue::MassFlow, flow)) flowSum += flow;
        else allFlows = false;
    }
    if (allFlows && !out->isKnown(NodeValue::MassFlow, known)) written += out->writeCalculated(NodeValue::MassFlow, flowSum);
    return written;
}

std::unique_ptr<CNode> Mixer::makeEmptyCopy() const { return std::make_unique<Mixer>(getName(), getClassName()); }

CNode* Mixer::associatedNode() const { return m_splitter; }

bool Mixer::setAssociatedNode(CNode* node) {
    Splitter* s = NodeCast<Splitter>(node, NodeKind::Tee);
    if (node && !s) return false;
    m_splitter = s;
    return true;
}

// ---- utility placeholder ----

int DummyHX::Calculate(int code) {
    StreamNode* in = AsStreamNode(getIthUpStreamNode(0));
    StreamNode* out = AsStreamNode(getIthDownStreamNode(0));
    if (code == UnitCode::ClearCalculated) {
        int n = clearCalculated(NodeValue::Duty);
        if (out) n += out->clearCalculated(NodeValue::Temperature);
        return n;
    }
    if (!UnitCode::IsCalculate(code) || !in || !out) return 0;
    StreamProfile own;
    const StreamProfile* profile = in->profileOrHeld(own);
    if (!profile) return 0;
    const StreamProfile& p = *profile;
    const IFlowsheetStream* s = in->getParentPIStream();
    // Heat flows into a cold stream and out of a hot one.
    const int hotCold = s ? s->GetHotCold() : 2;
    double tIn = 0.0, tOut = 0.0, duty = 0.0;
    const bool haveIn = in->isKnown(NodeValue::Temperature, tIn);
    const bool haveOut = out->isKnown(NodeValue::Temperature, tOut);
    const bool haveDuty = isKnown(NodeValue::Duty, duty);
    if (haveIn && haveOut) {
        if (haveDuty && getVariableStatus(NodeValue::Duty) == ValueStatus::Specified) return 0;
        return writeCalculated(NodeValue::Duty, std::fabs(p.Enthalpy(tOut) - p.Enthalpy(tIn)));
    }
    if (!haveDuty || (hotCold != 0 && hotCold != 1)) return 0;
    const double sign = hotCold == 1 ? 1.0 : -1.0;
    if (haveIn) return out->writeCalculated(NodeValue::Temperature, p.TemperatureAt(p.Enthalpy(tIn) + sign * duty));
    if (haveOut) return in->writeCalculated(NodeValue::Temperature, p.TemperatureAt(p.Enthalpy(tOut) - sign * duty));
    return 0;
}

std::unique_ptr<CNode> DummyHX::makeEmptyCopy() const { return std::make_unique<DummyHX>(getName(), getClassName()); }

Splitter* AsSplitter(CNode* node) { return NodeCast<Splitter>(node, NodeKind::Tee); }
Mixer* AsMixer(CNode* node) { return NodeCast<Mixer>(node, NodeKind::Mixer); }
DummyHX* AsDummyHX(CNode* node) { return NodeCastByKind<DummyHX>(node, NodeKind::Heater); }
