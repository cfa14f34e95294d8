#include "pellin/CNode.h"

#include "pellin/FlowSheet.h"
#include "pellin/NodeKinds.h"

#include <cmath>
#include <cstddef>

namespace {
constexpr const char* kValuesRoot = "Variables";

// The known value names, the most used first (a name is matched by its address).
constexpr const char* kKnownNames[ValueName::KnownCount] = {
    NodeValue::Temperature, NodeValue::Duty, NodeValue::HTArea, NodeValue::SplitFraction, NodeValue::MassFlow,
    NodeValue::OverallHTC, NodeValue::FtFactor, NodeValue::NShellsInSeries, NodeValue::DTMin,
    NodeValue::HighEndDelT, NodeValue::LowEndDelT, NodeValue::LMTD, NodeValue::UAValue, NodeValue::TotalNShells,
    NodeValue::CapitalCost, NodeValue::AnnualizedCapitalCost, NodeValue::OverallCleanHTC, NodeValue::ObservedHTC,
    NodeValue::HXFoulingFactor, NodeValue::HXType, NodeValue::ShellsInSeriesSpecified, NodeValue::HTMaxAreaShell,
    NodeValue::CostModelName, NodeValue::CrossPinchLoads, NodeValue::HeatCapacityFlowrate,
    NodeValue::FilmCoefficient, NodeValue::ParentStream, NodeValue::UnitOperationName, NodeValue::OverallUSpec,
    NodeValue::SimOverallUSpec, NodeValue::SpecStatus, NodeValue::DutyFromArea};
static_assert(std::string_view(kKnownNames[ValueName::SplitFractionPosition]) == "SplitFraction");

int connectedCount(const std::vector<CNode*>& slots) {
    int n = 0;
    for (const CNode* s : slots)
        if (s) ++n;
    return n;
}

CNode* nextConnected(const std::vector<CNode*>& slots, int& cursor) {
    while (cursor < static_cast<int>(slots.size())) {
        CNode* n = slots[static_cast<std::size_t>(cursor++)];
        if (n) return n;
    }
    return nullptr;
}

int slotOf(const std::vector<CNode*>& slots, const CNode* node) {
    if (!node) return -1;
    for (std::size_t i = 0; i < slots.size(); ++i)
        if (slots[i] == node) return static_cast<int>(i);
    return -1;
}
}  // namespace

KnownValueNames::KnownValueNames() {
    for (int k = 0; k < ValueName::KnownCount; ++k) {
        std::size_t b = bucket(kKnownNames[k]);
        while (names[b] && names[b] != kKnownNames[k]) b = (b + 1) % Size;
        names[b] = kKnownNames[k];
        positions[b] = static_cast<std::int8_t>(k);
        lengths[static_cast<std::size_t>(k)] = std::string_view(kKnownNames[k]).size();
    }
}

NodeKindId NodeKindIdOf(const CPString& kind) {
    if (kind == NodeKind::MaterialStream) return NodeKindId::MaterialStream;
    if (kind == NodeKind::FeedBlock) return NodeKindId::FeedBlock;
    if (kind == NodeKind::ProductBlock) return NodeKindId::ProductBlock;
    if (kind == NodeKind::CountercurrentHX) return NodeKindId::CountercurrentHX;
    if (kind == NodeKind::HeatExchanger) return NodeKindId::HeatExchanger;
    if (kind == NodeKind::Heater) return NodeKindId::Heater;
    if (kind == NodeKind::Tee) return NodeKindId::Tee;
    if (kind == NodeKind::Mixer) return NodeKindId::Mixer;
    return NodeKindId::Other;
}

CNode::CNode(const CPString& name, const CPString& kind)
    : m_name(name), m_kind(kind), m_kindId(NodeKindIdOf(kind)), m_values(kValuesRoot) {}

// The shares of the flow that segments keep between edits depend on the split fractions only
// (and on the connections, which the flowsheet watches itself).
void CNode::noteFractionChange(ValueName name) const {
    if (name.known() >= 0 ? name.known() == ValueName::SplitFractionPosition : name.text() == NodeValue::SplitFraction)
        m_sheet->InvalidateFractions();
}

bool CNode::IsOfType(const CPString& typeName) const { return typeName == NodeKind::BaseNode; }

int CNode::QueryInterface(const CPString& typeName, void** out) {
    const bool answers = IsOfType(typeName);
    if (out) *out = answers ? this : nullptr;
    return answers ? 1 : 2;
}

void CNode::resetSlots() {
    m_in.assign(fixedUpStreamSlots() > 0 ? static_cast<std::size_t>(fixedUpStreamSlots()) : 0, nullptr);
    m_out.assign(fixedDownStreamSlots() > 0 ? static_cast<std::size_t>(fixedDownStreamSlots()) : 0, nullptr);
    m_upCursor = m_downCursor = 0;
}

int CNode::getNumberOfUpStreamNodes() const { return connectedCount(m_in); }
int CNode::getNumberOfDownStreamNodes() const { return connectedCount(m_out); }

CNode* CNode::getFirstUpStreamNode() {
    m_upCursor = 0;
    return nextConnected(m_in, m_upCursor);
}
CNode* CNode::getNextUpStreamNode() { return nextConnected(m_in, m_upCursor); }
CNode* CNode::getFirstDownStreamNode() {
    m_downCursor = 0;
    return nextConnected(m_out, m_downCursor);
}
CNode* CNode::getNextDownStreamNode() { return nextConnected(m_out, m_downCursor); }

std::vector<CNode*> CNode::getAllUpStreamNodes() const {
    std::vector<CNode*> all;
    for (CNode* n : m_in)
        if (n) all.push_back(n);
    return all;
}

std::vector<CNode*> CNode::getAllDownStreamNodes() const {
    std::vector<CNode*> all;
    for (CNode* n : m_out)
        if (n) all.push_back(n);
    return all;
}

int CNode::upStreamSlotOf(const CNode* node) const { return slotOf(m_in, node); }
int CNode::downStreamSlotOf(const CNode* node) const { return slotOf(m_out, node); }

// ---- values ----

CPValue* CNode::lookUpByText(std::string_view text) const { return const_cast<CPValue&>(m_values).FindSubValue(text); }

CPValue& CNode::internValue(ValueName name) {
    noteValueChange(name);
    if (CPValue* v = lookUp(name)) return *v;
    CPValue* added = m_values.AddSubValue(CPString(name.text()));
    if (name.known() >= 0) m_knownValues[static_cast<std::size_t>(name.known())] = added;
    else m_knownLooked = 0;  // the same text may be a known name given by another pointer
    return *added;
}

int CNode::getVariableAsInteger(ValueName name, long& out) const {
    double d = 0.0;
    if (!getVariableAsDouble(name, d)) return 0;
    out = static_cast<long>(d);
    return 1;
}

int CNode::getVariableAsString(ValueName name, CPString& out) const {
    const CPValue* v = findValue(name);
    if (!v || !v->IsText()) return 0;
    out = v->GetText();
    return 1;
}

int CNode::getVariableFlag(ValueName name) const {
    const CPValue* v = findValue(name);
    return v ? v->GetLockStatus() : 0;
}

int CNode::addVariable(ValueName name, double value, int status, int flag) {
    CPValue& v = internValue(name);
    v.SetValue(value, status);
    // A value written with a status keeps it even when it is 0.0; only the empty value is open.
    v._set_nLockStatus(flag);
    if (m_writeTrace) m_writeTrace->push_back({CPString(name.text()), value, CPString(), status, flag});
    return 1;
}

int CNode::addVariable(ValueName name, const CPString& text, int status, int flag) {
    CPValue& v = internValue(name);
    v.SetText(text, status);
    v._set_nLockStatus(flag);
    if (m_writeTrace) m_writeTrace->push_back({CPString(name.text()), 0.0, text, status, flag});
    return 1;
}

int CNode::addVariable(ValueName name, const char* text, int status, int flag) {
    return addVariable(name, CPString(text), status, flag);
}

bool CNode::removeVariable(ValueName name) {
    noteValueChange(name);
    for (std::size_t i = 0; i < m_values.GetNumberOfSubValues(); ++i)
        if (m_values.GetSubValue(i)->GetName() == name.text()) {
            m_knownLooked = 0;
            return m_values.RemoveSubValue(i);
        }
    return false;
}

int CNode::getVariableSize(ValueName name) const {
    const CPValue* v = findValue(name);
    return v ? static_cast<int>(v->GetNumberOfSubValues()) : 0;
}

int CNode::getIndexedVariable(ValueName name, int index, double& out) const {
    const CPValue* v = findValue(name);
    if (!v || index < 0) return 0;
    const CPValue* e = v->GetSubValue(static_cast<std::size_t>(index));
    if (!e || e->IsEmpty() || e->IsText()) return 0;
    out = e->GetValue();
    return 1;
}

int CNode::setIndexedVariable(ValueName name, int index, double value, int status) {
    if (index < 0) return 0;
    CPValue& v = internValue(name);
    while (static_cast<int>(v.GetNumberOfSubValues()) <= index) v.AddSubValue(CPString());
    v.GetSubValue(static_cast<std::size_t>(index))->SetValue(value, status);
    return 1;
}

void CNode::clearIndexedVariable(ValueName name) {
    if (CPValue* v = findValue(name)) v->ClearSubValues();
}

int CNode::writeCalculated(ValueName name, double value) {
    if (const CPValue* old = lookUp(name)) {
        if (old->GetStatus() == ValueStatus::Specified) return 0;
        if (old->GetStatus() == ValueStatus::Calculated && !old->IsText() && old->GetValue() == value) return 0;
    }
    internValue(name).SetValue(value, ValueStatus::Calculated);
    return 1;
}

int CNode::clearCalculated(ValueName name) {
    CPValue* v = lookUp(name);
    if (!v || v->GetStatus() != ValueStatus::Calculated) return 0;
    noteValueChange(name);
    v->SetValue(CPValue::Empty, ValueStatus::Open);
    return 1;
}

int CNode::Calculate(int) { return 0; }
