// The operating state: filling its records from a design, writing them back, and taking the
// values of what-if events.
#include "eng/design/HENState.h"

#include "eng/design/IHENDesign.h"
#include "eng/design/IHENEvent.h"
#include "eng/model/IHeatIntegrationStream.h"
#include "pellin/FlowSheet.h"
#include "pellin/HeatExch.h"
#include "pellin/NodeKinds.h"
#include "pellin/StreamNodes.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

namespace {
constexpr double kEmpty = -32767.0;

// The values an exchanger record reads from its unit, in this order after the four port
// temperatures.
const char* const kUnitValues[] = {NodeValue::Duty,          NodeValue::HTArea,          NodeValue::ObservedHTC,
                                   NodeValue::HXFoulingFactor, NodeValue::NShellsInSeries, NodeValue::FtFactor,
                                   NodeValue::OverallHTC};
// What writing an exchanger record back restores: the performance data events change.
const char* const kWrittenBack[] = {NodeValue::HTArea, NodeValue::NShellsInSeries, NodeValue::ObservedHTC};

double readOr(const CNode* node, const char* name) {
    double v = kEmpty;
    return node && node->getVariableAsDouble(name, v) ? v : kEmpty;
}

template <class T>
const T* at(const std::vector<std::unique_ptr<T>>& list, int index) {
    return index >= 0 && index < static_cast<int>(list.size()) ? list[index].get() : nullptr;
}
}  // namespace

// ---------------------------------------------------------------- exchanger records

HeatExchStateStruct::HeatExchStateStruct(const HeatExchStateStruct& other)
    : BasicStateStruct(other), unit(other.unit), unitName(other.unitName), selectable(other.selectable),
      values(other.values) {}

bool HeatExchStateStruct::IsUtilityExchanger() const {
    HeatExch* x = AsHeatExch(unit);
    return x && x->IsUtilityExch();
}

bool HeatExchStateStruct::GetValue(const char* name, double& out) const {
    for (const auto& [key, value] : values)
        if (key == name) {
            out = value;
            return true;
        }
    return false;
}

void HeatExchStateStruct::SetValue(const char* name, double value) {
    for (auto& entry : values)
        if (entry.first == name) {
            entry.second = value;
            return;
        }
    values.emplace_back(name, value);
}

void HeatExchStateStruct::SetFromUnit(CNode* node) {
    unit = node;
    if (!node) return;
    node->getVariableAsString(NodeValue::UnitOperationName, unitName);
    nodeName = node->getName();
    if (HeatExch* x = AsHeatExch(node)) {
        if (x->IsFiredHeater()) selectable = false;
        SetValue("HotInletTemperature", readOr(x->getInlet(0), NodeValue::Temperature));
        SetValue("HotOutletTemperature", readOr(x->getOutlet(0), NodeValue::Temperature));
        SetValue("ColdInletTemperature", readOr(x->getInlet(1), NodeValue::Temperature));
        SetValue("ColdOutletTemperature", readOr(x->getOutlet(1), NodeValue::Temperature));
    }
    for (const char* name : kUnitValues) SetValue(name, readOr(node, name));
}

void HeatExchStateStruct::ApplyToUnit(const char* name) {
    if (!unit) return;
    // A heater or cooler takes what the exchangers leave of its stream's load: its area is a
    // result of the operating point, and a frozen one would fix its duty twice over.
    HeatExch* x = AsHeatExch(unit);
    if (!name && x && x->IsUtilityExch()) return;
    for (const char* key : kWrittenBack) {
        if (name && std::strcmp(name, key) != 0) continue;
        double v = 0.0;
        // An unset value is not written: it would become a specified empty value.
        if (GetValue(key, v) && v != kEmpty) unit->addVariable(key, v, ValueStatus::Specified);
    }
}

void HeatExchStateStruct::SetValueFromEvent(const char* name, const IHENEvent& event) {
    if (name) SetValue(name, event.GetNewValue());
}

// ---------------------------------------------------------------- splitter records

SplitStateStruct::SplitStateStruct(const SplitStateStruct& other)
    : BasicStateStruct(other), unit(other.unit), unitName(other.unitName), fractions(other.fractions),
      position(other.position) {
    RebuildBranchNames();
}

void SplitStateStruct::RebuildBranchNames() {
    branchNames.clear();
    for (std::size_t i = 0; i < fractions.size(); ++i)
        branchNames.push_back(unitName + " Branch " + std::to_string(i + 1).c_str());
}

void SplitStateStruct::SetFromUnit(CNode* node) {
    unit = node;
    fractions.clear();
    if (!node) return;
    node->getVariableAsString(NodeValue::UnitOperationName, unitName);
    nodeName = node->getName();
    for (CNode* branch : node->getAllDownStreamNodes()) {
        const double share = readOr(branch, NodeValue::SplitFraction);
        fractions.push_back(share == kEmpty ? kEmpty : 100.0 * share);
    }
    RebuildBranchNames();
}

void SplitStateStruct::ApplyToUnit(const char*) {
    if (!unit) return;
    const std::vector<CNode*> branches = unit->getAllDownStreamNodes();
    for (std::size_t i = 0; i < branches.size() && i < fractions.size(); ++i) {
        if (fractions[i] == kEmpty) continue;
        const int status = branches[i]->getVariableStatus(NodeValue::SplitFraction) == ValueStatus::Specified
                               ? ValueStatus::Specified
                               : ValueStatus::Calculated;
        branches[i]->addVariable(NodeValue::SplitFraction, fractions[i] / 100.0, status);
    }
}

int SplitStateStruct::GetBranchIndexFromName(const char* target) {
    if (!target) return -1;
    const char* blank = std::strrchr(target, ' ');
    const char* digits = blank ? blank + 1 : nullptr;
    if (!digits || *digits < '0' || *digits > '9') return -1;
    char* end = nullptr;
    const long number = std::strtol(digits, &end, 10);
    if (*end != '\0' || number < 1 || number > 1000000) return -1;
    return static_cast<int>(number - 1);
}

void SplitStateStruct::SetValueFromEvent(const char*, const IHENEvent& event) {
    const int branch = GetBranchIndexFromName(event.GetTargetName());
    const int count = static_cast<int>(fractions.size());
    // The last branch takes up the difference; it is no target of its own.
    if (branch < 0 || branch >= count - 1) return;
    const double value = event.GetNewValue();
    fractions[count - 1] += fractions[branch] - value;
    fractions[branch] = value;
}

// ---------------------------------------------------------------- stream records

void StreamStateStruct::SetFromStream(IHENDesign& design, IHeatIntegrationStream* s) {
    stream = s;
    if (!s) return;
    name = s->GetName();
    supply = s->GetSupplyTemperature();
    target = s->GetTargetTemperature();
    if (!s->GetValue("MassFlow", massFlow, 0)) massFlow = kEmpty;
    if (!s->GetValue("PricePerMass", price, 0) || price == kEmpty) price = 0.0;
    served = design.GetNumberOfUnitsOnStream(name) > 0;
    // The stream leaves the network before its final heaters and coolers: from its end, back
    // over the placeholders and the utility exchangers that close it, to the segment that the
    // last exchanger between process streams (or the stream's start) hands on.
    outlet = kEmpty;
    CNode* end = design.GetStreamBlock(name, true);
    CNode* segment = end ? end->getIthUpStreamNode(0) : nullptr;
    if (!segment) return;
    for (CNode* unit = segment->getIthUpStreamNode(0); unit; unit = segment->getIthUpStreamNode(0)) {
        CNode* before = nullptr;
        if (unit->getClassName() == NodeKind::Heater) {
            before = unit->getIthUpStreamNode(0);
        } else if (HeatExch* x = AsHeatExch(unit); x && x->IsUtilityExch()) {
            for (int side = 0; side < 2 && !before; ++side)
                if (x->getOutlet(side) == segment) before = x->getInlet(side);
        }
        if (!before) break;
        segment = before;
    }
    outlet = readOr(segment, NodeValue::Temperature);
}

void StreamStateStruct::ApplyToUnit(const char* variable) {
    if (!stream) return;
    auto write = [this](const char* key, double value) {
        double now = 0.0;
        if (value == kEmpty || (stream->GetValue(key, now, 0) && now == value)) return;
        stream->SetValue(key, value, 0);
    };
    if (!variable || std::strcmp(variable, "MassFlow") == 0) write("MassFlow", massFlow);
    if (!variable || std::strcmp(variable, "Temperature") == 0) write("Temperature", supply);
}

void StreamStateStruct::SetValueFromEvent(const char* variable, const IHENEvent& event) {
    if (!variable) return;
    if (std::strcmp(variable, "MassFlow") == 0) massFlow = event.GetNewValue();
    else if (std::strcmp(variable, "Temperature") == 0) supply = event.GetNewValue();
}

const char* StreamStateStruct::ValueRefusal(const char* variable, double value, const WhatIfValues& with) const {
    if (!variable || !stream) return nullptr;
    const bool isSupply = std::strcmp(variable, "Temperature") == 0;
    if (!isSupply && std::strcmp(variable, "MassFlow") != 0) return nullptr;
    const bool hot = stream->GetHotCold() == 0, cold = stream->GetHotCold() == 1;
    const char* refused = !isSupply ? "FlowRateUpdateError"
                          : hot     ? "HotStreamInletTemperatureUpdateError"
                          : cold    ? "ColdStreamInletTemperatureUpdateError"
                                    : "TemperatureUpdateError";
    IHeatIntegrationStream::TrialValues trial;
    if (supply != kEmpty) trial.emplace_back("Temperature", supply);
    if (massFlow != kEmpty) trial.emplace_back("MassFlow", massFlow);
    for (const auto& v : with)
        if (v.first != variable) trial.push_back(v);
    trial.emplace_back(variable, value);
    // The supply the what-if runs at against the target the stream has now (typed since the
    // event was made, perhaps): at or past it the stream would turn round.
    double from = kEmpty;
    for (const auto& [name, v] : trial)
        if (name == "Temperature") from = v;
    const double to = stream->GetTargetTemperature();
    if (from != kEmpty && to != kEmpty && ((hot && from <= to) || (cold && from >= to))) return refused;
    return stream->WouldHoldAll(trial, 0) ? nullptr : refused;
}

// ---------------------------------------------------------------- the state

HENState::~HENState() { SendAMessage(CodeDestroyed, CPString(), this); }

HENState::HENState(const HENState& other)
    : IHENState(other), NotificationSender(), m_totalUtilityCost(other.m_totalUtilityCost), m_status(other.m_status) {
    for (const auto& r : other.m_exchangers) m_exchangers.push_back(std::make_unique<HeatExchStateStruct>(*r));
    for (const auto& r : other.m_splitters) m_splitters.push_back(std::make_unique<SplitStateStruct>(*r));
    for (const auto& r : other.m_streams) m_streams.push_back(std::make_unique<StreamStateStruct>(*r));
    for (const auto& r : other.m_utilities) m_utilities.push_back(std::make_unique<UtilityStateStruct>(*r));
    RebuildSelectable();
}

void HENState::TakeRecordsOf(const HENState& other) {
    if (&other == this) return;
    m_selectable.clear();
    m_exchangers.clear();
    m_splitters.clear();
    m_streams.clear();
    m_utilities.clear();
    // Exactly: a copy of a record leaves the node's name to the state that fills it, this one
    // takes it too.
    for (const auto& r : other.m_exchangers) {
        m_exchangers.push_back(std::make_unique<HeatExchStateStruct>(*r));
        m_exchangers.back()->nodeName = r->nodeName;
    }
    for (const auto& r : other.m_splitters) {
        m_splitters.push_back(std::make_unique<SplitStateStruct>(*r));
        m_splitters.back()->nodeName = r->nodeName;
        m_splitters.back()->branchNames = r->branchNames;
    }
    for (const auto& r : other.m_streams) m_streams.push_back(std::make_unique<StreamStateStruct>(*r));
    for (const auto& r : other.m_utilities) m_utilities.push_back(std::make_unique<UtilityStateStruct>(*r));
    m_totalUtilityCost = other.m_totalUtilityCost;
    m_status = other.m_status;
    RebuildSelectable();
}

void HENState::RebuildSelectable() {
    m_selectable.clear();
    for (const auto& r : m_exchangers)
        if (r->selectable) m_selectable.push_back(r.get());
}

void HENState::SetFromDesign(IHENDesign& design) {
    m_selectable.clear();
    m_exchangers.clear();
    m_splitters.clear();
    m_streams.clear();
    m_utilities.clear();
    if (FlowSheet* sheet = design.GetFlowSheet()) {
        for (CNode* node : sheet->getAllNodes()) {
            if (node->isExchangerKind()) {
                auto record = std::make_unique<HeatExchStateStruct>();
                record->SetFromUnit(node);
                m_exchangers.push_back(std::move(record));
            } else if (node->getClassName() == NodeKind::Tee) {
                auto record = std::make_unique<SplitStateStruct>();
                record->position = static_cast<int>(m_splitters.size());
                record->SetFromUnit(node);
                m_splitters.push_back(std::move(record));
            }
        }
    }
    RebuildSelectable();
    for (int i = 0; i < design.GetNumberOfUtilityStreams(); ++i) {
        IHeatIntegrationStream* s = design.GetUtilityStream(i);
        if (!s) continue;
        auto record = std::make_unique<UtilityStateStruct>();
        record->name = s->GetName();
        record->load = design.GetUtilityLoad(record->name);
        record->cost = design.GetUtilityCost(record->name);
        m_utilities.push_back(std::move(record));
    }
    for (int i = 0; i < design.GetNumberOfProcessStreams(); ++i) {
        auto record = std::make_unique<StreamStateStruct>();
        record->SetFromStream(design, design.GetProcessStream(i));
        m_streams.push_back(std::move(record));
    }
    m_totalUtilityCost = design.GetTotalUtilityCost(2);
}

void HENState::ApplyToDesign() {
    for (HeatExchStateStruct* r : m_selectable) r->ApplyToUnit(nullptr);
    for (const auto& r : m_splitters) r->ApplyToUnit(nullptr);
    for (const auto& r : m_streams) r->ApplyToUnit(nullptr);
}

std::vector<double> HENState::OperatingInputs() const {
    std::vector<double> inputs;
    for (const auto& x : m_exchangers)
        for (const char* name : {NodeValue::HTArea, NodeValue::NShellsInSeries, NodeValue::ObservedHTC,
                                 NodeValue::HXFoulingFactor}) {
            double v = kEmpty;
            x->GetValue(name, v);
            inputs.push_back(v);
        }
    for (const auto& t : m_splitters) inputs.insert(inputs.end(), t->fractions.begin(), t->fractions.end());
    for (const auto& s : m_streams) inputs.insert(inputs.end(), {s->supply, s->target, s->massFlow, s->price});
    for (const auto& u : m_utilities) inputs.push_back(u->cost);
    inputs.push_back(m_totalUtilityCost);
    return inputs;
}

void HENState::ReattachUnits(IHENDesign& design) {
    if (FlowSheet* sheet = design.GetFlowSheet()) {
        for (CNode* node : sheet->getAllNodes()) {
            CPString name;
            node->getVariableAsString(NodeValue::UnitOperationName, name);
            if (node->isExchangerKind()) {
                if (HeatExchStateStruct* r = FindHeatExchanger(name.c_str())) r->unit = node;
            } else if (node->getClassName() == NodeKind::Tee) {
                for (const auto& r : m_splitters)
                    if (!r->unitName.empty() && r->unitName == name) {
                        r->unit = node;
                        break;
                    }
            }
        }
    }
    for (int i = 0; i < design.GetNumberOfProcessStreams(); ++i)
        if (IHeatIntegrationStream* s = design.GetProcessStream(i))
            if (StreamStateStruct* r = FindStream(s->GetName().c_str())) {
                r->stream = s;
                r->served = design.GetNumberOfUnitsOnStream(r->name) > 0;
            }
}

void HENState::RenameUnit(const CPString& oldName, const CPString& newName) {
    for (const auto& r : m_exchangers)
        if (r->unitName == oldName) r->unitName = newName;
    for (const auto& r : m_splitters)
        if (r->unitName == oldName) {
            r->unitName = newName;
            r->RebuildBranchNames();
        }
}

void HENState::RenameStream(const CPString& oldName, const CPString& newName) {
    for (const auto& r : m_streams)
        if (r->name == oldName) r->name = newName;
    for (const auto& r : m_utilities)
        if (r->name == oldName) r->name = newName;
}

HeatExchStateStruct* HENState::FindHeatExchanger(const char* unitName) const {
    if (!unitName) return nullptr;
    for (const auto& r : m_exchangers)
        if (r->unitName == unitName) return r.get();
    return nullptr;
}

// A branch is named after its splitter's whole name ("<splitter> Branch <n>"): a splitter whose
// name only begins another's ("TEE-10" beside "TEE-101") is not the other's.
SplitStateStruct* HENState::FindSplitterOf(const char* branchName) const {
    if (!branchName) return nullptr;
    const std::string_view branch(branchName);
    for (const auto& r : m_splitters) {
        const std::string_view unit(r->unitName.c_str());
        if (!unit.empty() && branch.substr(0, unit.size()) == unit &&
            (branch.size() == unit.size() || branch[unit.size()] == ' '))
            return r.get();
    }
    return nullptr;
}

StreamStateStruct* HENState::FindStream(const char* name) const {
    if (!name) return nullptr;
    for (const auto& r : m_streams)
        if (r->name == name) return r.get();
    return nullptr;
}

int HENState::GetNumberOfSplitBranches() const {
    int n = 0;
    for (const auto& r : m_splitters) n += std::max(0, static_cast<int>(r->fractions.size()) - 1);
    return n;
}

const char* HENState::GetSplitBranchName(int n) const {
    if (n < 0) return nullptr;
    for (const auto& r : m_splitters) {
        const int adjustable = static_cast<int>(r->branchNames.size()) - 1;
        if (adjustable <= 0) continue;
        if (n < adjustable) return r->branchNames[n].c_str();
        n -= adjustable;
    }
    return nullptr;
}

// ---------------------------------------------------------------- readers

void HENState::GetHeatExchangerValue(int index, const CPString& name, double& out) const {
    const HeatExchStateStruct* r = at(m_exchangers, index);
    if (!r) {
        out = 0.0;
        return;
    }
    r->GetValue(name.c_str(), out);
}

const char* HENState::GetSelectableHeatExchangerName(int index) const {
    return index >= 0 && index < static_cast<int>(m_selectable.size()) ? m_selectable[index]->unitName.c_str() : nullptr;
}
const char* HENState::GetHeatExchangerName(int index) const {
    const auto* r = at(m_exchangers, index);
    return r ? r->unitName.c_str() : nullptr;
}
const char* HENState::GetUtilityName(int index) const {
    const auto* r = at(m_utilities, index);
    return r ? r->name.c_str() : nullptr;
}
const char* HENState::GetStreamName(int index) const {
    const auto* r = at(m_streams, index);
    return r ? r->name.c_str() : nullptr;
}
const char* HENState::GetSplitterName(int index) const {
    const auto* r = at(m_splitters, index);
    return r ? r->unitName.c_str() : nullptr;
}
int HENState::GetNumberOfBranches(int splitter) const {
    const auto* r = at(m_splitters, splitter);
    return r ? static_cast<int>(r->fractions.size()) : 0;
}
double HENState::GetBranchFraction(int splitter, int branch) const {
    const auto* r = at(m_splitters, splitter);
    return r && branch >= 0 && branch < static_cast<int>(r->fractions.size()) ? r->fractions[branch] : 0.0;
}
void HENState::DivideBranchFractions(const CPString& nodeName, double divisor) {
    if (!(divisor > 0.0)) return;
    for (const auto& splitter : m_splitters)
        if (splitter && splitter->nodeName == nodeName)
            for (double& f : splitter->fractions)
                if (f != kEmpty) f /= divisor;
}
double HENState::GetStreamSupplyTemperature(int index) const {
    const auto* r = at(m_streams, index);
    return r ? r->supply : 0.0;
}
double HENState::GetStreamTargetTemperature(int index) const {
    const auto* r = at(m_streams, index);
    return r ? r->target : 0.0;
}
double HENState::GetStreamOutletTemperature(int index) const {
    const auto* r = at(m_streams, index);
    return r ? r->outlet : 0.0;
}
double HENState::GetStreamMassFlow(int index) const {
    const auto* r = at(m_streams, index);
    return r ? r->massFlow : 0.0;
}
double HENState::GetStreamPricePerMass(int index) const {
    const auto* r = at(m_streams, index);
    return r ? r->price : 0.0;
}
double HENState::GetUtilityDuty(int index) const {
    const auto* r = at(m_utilities, index);
    return r ? r->load : 0.0;
}
double HENState::GetUtilityCost(int index) const {
    const auto* r = at(m_utilities, index);
    return r ? r->cost : 0.0;
}
