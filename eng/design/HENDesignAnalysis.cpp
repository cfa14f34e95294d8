// The design's structure analysis and controllability operations.
#include "eng/design/HENDesign.h"

#include "eng/design/ControllabilityCheck.h"
#include "eng/design/HENDesignChain.h"
#include "eng/design/NetworkStructureAnalysis.h"
#include "eng/model/IHeatIntegrationStream.h"
#include "pellin/HeatExch.h"
#include "pellin/NodeKinds.h"

#include <string>
#include <unordered_set>

bool CPIHENDesign::IsLoopAnalysisEnabled() const { return m_analysis->IsLoopAnalysisEnabled(); }

void CPIHENDesign::SetLoopAnalysisEnabled(bool enabled) {
    m_analysis->SetLoopAnalysisEnabled(enabled);
    // Switched off, the analysis empties its loop and path lists at once: none is shown that
    // it no longer keeps up.
    RunStructureAnalysis();
}

void CPIHENDesign::RunStructureAnalysis() {
    m_analysis->Run();
    m_control->Run();
}

bool CPIHENDesign::SetAnalysisStreamFlag(IHeatIntegrationStream* stream, bool takesPart) {
    if (!HasStream(stream) || !m_analysis->SetStreamFlag(stream, takesPart)) return false;
    RunStructureAnalysis();
    return true;
}

bool CPIHENDesign::SetControlUnitSelected(int index, bool selected) {
    if (!m_control->SetSelected(index, selected)) return false;
    m_control->Run();
    return true;
}

bool CPIHENDesign::SetControlUnitKind(int index, unsigned int kind) { return m_control->SetKind(index, kind); }

unsigned int CPIHENDesign::GetUnitControlKind(IHeatIntegrationStream* stream) const {
    if (!stream || stream->GetStreamKind() != 0) return 0;
    const ControlUnitRecord* record = m_control->FindRecord(stream);
    return record ? record->kind : ControllabilityCheck::NoRecordKind;
}

int CPIHENDesign::IsHeatExchangerOnPathOrLoop(int index) const {
    CNode* exchanger = nullptr;
    GetHeatExchanger(index, exchanger);
    return m_analysis->IsExchangerOnPathOrLoop(exchanger);
}

const char* CPIHENDesign::GetControllabilityVerdict() const { return m_control->GetVerdict().c_str(); }

// ---------------------------------------------------------------- what the views read

namespace {
template <class T>
const T* At(const std::vector<T>& list, int index) {
    return index >= 0 && index < static_cast<int>(list.size()) ? &list[static_cast<std::size_t>(index)] : nullptr;
}

const char* UnitNameOf(const CNode* unit) {
    const CPValue* v = unit ? unit->findValue(NodeValue::UnitOperationName) : nullptr;
    return v && v->IsText() ? v->GetText().c_str() : nullptr;
}

const char* ChainUnitName(const UnitChain* chain, int unit) {
    return chain && unit >= 0 && unit < static_cast<int>(chain->exchangers.size())
               ? UnitNameOf(chain->exchangers[static_cast<std::size_t>(unit)])
               : nullptr;
}
}  // namespace

int CPIHENDesign::GetNumberOfAnalysisStreams() const { return m_analysis->GetNumberOfAnalysisStreams(); }

int CPIHENDesign::GetAnalysisStreamFlag(int index) const { return m_analysis->GetAnalysisStreamFlag(index); }

int CPIHENDesign::GetAnalysisStreamFlagOf(IHeatIntegrationStream* stream) const {
    return HasStream(stream) && m_analysis->TakesPart(stream) ? 1 : 0;
}

const char* CPIHENDesign::GetAnalysisStreamName(int index) const {
    const IHeatIntegrationStream* s = m_analysis->GetAnalysisStream(index);
    return s ? s->GetName().c_str() : nullptr;
}

int CPIHENDesign::GetNumberOfSubNetworks() const { return static_cast<int>(m_analysis->SubNetworks().size()); }

int CPIHENDesign::GetNumberOfUnitsInSubNetwork(int index) const {
    const SubNetwork* sub = At(m_analysis->SubNetworks(), index);
    return sub ? static_cast<int>(sub->exchangers.size()) : 0;
}

std::uint32_t CPIHENDesign::GetSubNetworkUnitFingerPrint(int index, int unit) const {
    const SubNetwork* sub = At(m_analysis->SubNetworks(), index);
    const CNode* const* x = sub ? At(sub->exchangers, unit) : nullptr;
    return x ? (*x)->getDNAFingerPrint() : 0;
}

const char* CPIHENDesign::GetSubNetworkName(int index) const {
    const SubNetwork* sub = At(m_analysis->SubNetworks(), index);
    return sub ? sub->name.c_str() : nullptr;
}

int CPIHENDesign::GetNumberOfLoops() const { return static_cast<int>(m_analysis->Loops().size()); }

int CPIHENDesign::GetNumberOfIndependentLoops() const { return m_analysis->GetIndependentLoops(); }

int CPIHENDesign::GetNumberOfUnitsInLoop(int index) const {
    const UnitChain* loop = At(m_analysis->Loops(), index);
    return loop ? static_cast<int>(loop->exchangers.size()) : 0;
}

const char* CPIHENDesign::GetLoopName(int index) const {
    const UnitChain* loop = At(m_analysis->Loops(), index);
    return loop ? loop->name.c_str() : nullptr;
}

const char* CPIHENDesign::GetLoopUnitName(int index, int unit) const {
    return ChainUnitName(At(m_analysis->Loops(), index), unit);
}

std::vector<CNode*> CPIHENDesign::GetLoopUnits(int index) const {
    const UnitChain* loop = At(m_analysis->Loops(), index);
    return loop ? loop->exchangers : std::vector<CNode*>();
}

int CPIHENDesign::GetNumberOfPaths() const { return static_cast<int>(m_analysis->Paths().size()); }

// The dummy heaters and coolers an extraction placed beside exchangers that kept utilities at
// their ports (their shells are no real equipment).
int CPIHENDesign::GetNumberOfIgnoredDummyUtilities() const {
    int n = 0;
    for (CNode* unit : m_exchangers) {
        CPString name;
        if (!unit->IsOfType(NodeKind::HeatExchanger) || !unit->getVariableAsString(NodeValue::UnitOperationName, name))
            continue;
        n += IsReservedUnitName(name);
    }
    return n;
}

int CPIHENDesign::GetNumberOfUnitsInPath(int index) const {
    const UnitChain* path = At(m_analysis->Paths(), index);
    return path ? static_cast<int>(path->exchangers.size()) : 0;
}

std::vector<CNode*> CPIHENDesign::GetPathUnits(int index) const {
    const UnitChain* path = At(m_analysis->Paths(), index);
    return path ? path->exchangers : std::vector<CNode*>();
}

const char* CPIHENDesign::GetPathName(int index) const {
    const UnitChain* path = At(m_analysis->Paths(), index);
    return path ? path->name.c_str() : nullptr;
}

const char* CPIHENDesign::GetPathUnitName(int index, int unit) const {
    return ChainUnitName(At(m_analysis->Paths(), index), unit);
}

const char* CPIHENDesign::GetPathStartName(int index) const {
    const UnitChain* path = At(m_analysis->Paths(), index);
    return path && path->start ? path->start->GetName().c_str() : nullptr;
}

const char* CPIHENDesign::GetPathEndName(int index) const {
    const UnitChain* path = At(m_analysis->Paths(), index);
    return path && !path->streams.empty() ? path->streams.back()->GetName().c_str() : nullptr;
}

std::vector<CNode*> CPIHENDesign::GetExchangersOnStreamSide(IHeatIntegrationStream* stream, int side) const {
    std::vector<CNode*> out;
    if (!stream || (side != 0 && side != 1)) return out;
    if (const std::vector<CNode*>* units = UnitsOf(stream->GetName()))
        for (CNode* unit : *units)
            if (AsHeatExch(unit) && NetworkStructureAnalysis::StreamOnSide(unit, side) == stream) out.push_back(unit);
    return out;
}

// The process exchangers that keep a utility at a port while their hot stream has no cooler and
// their cold stream no heater (`RemoveRemovableUtilitiesAtPorts` first takes away the utilities
// that may go).
std::vector<CNode*> CPIHENDesign::GetExchangersWithUtilitiesAtPorts() const {
    std::vector<CNode*> out;
    // The streams that carry a heater or a cooler, gathered once.
    std::unordered_set<const IHeatIntegrationStream*> heated, cooled;
    for (CNode* unit : m_exchangers)
        if (HeatExch* x = AsHeatExch(unit); x && x->IsHeater()) heated.insert(chain::StreamOf(x->getInlet(1)));
        else if (x && x->IsCooler()) cooled.insert(chain::StreamOf(x->getInlet(0)));
    auto streamHas = [&](CNode* segment, bool heater) {
        const IHeatIntegrationStream* stream = chain::StreamOf(segment);
        return stream && (heater ? heated : cooled).count(stream) > 0;
    };
    for (CNode* unit : m_exchangers) {
        HeatExch* exchanger = AsHeatExch(unit);
        if (!exchanger || exchanger->IsUtilityExch() || !unit->IsOfType(NodeKind::HeatExchanger)) continue;
        bool utility = false;
        for (int port = 0; port < 4 && !utility; ++port) utility = !IsPortFreeOfUtility(unit, port);
        if (utility && !streamHas(exchanger->getInlet(0), false) && !streamHas(exchanger->getInlet(1), true))
            out.push_back(unit);
    }
    return out;
}

std::vector<CNode*> CPIHENDesign::GetSplittersOnStream(IHeatIntegrationStream* stream) const {
    return m_analysis->CollectStreamNodes(stream);
}

int CPIHENDesign::GetNumberOfControlUnits() const { return m_control->GetNumberOfRecords(); }

bool CPIHENDesign::IsControlUnitSelected(int index) const {
    const ControlUnitRecord* r = m_control->GetRecord(index);
    return r && r->selected;
}

bool CPIHENDesign::IsUnitSelectedForControl(IHeatIntegrationStream* stream) const {
    const ControlUnitRecord* r = m_control->FindRecord(stream);
    return r && r->selected;
}

unsigned int CPIHENDesign::GetControlUnitKind(int index) const { return m_control->GetKind(index); }

const char* CPIHENDesign::GetControlUnitName(int index) const {
    const ControlUnitRecord* r = m_control->GetRecord(index);
    return r && r->stream ? r->stream->GetName().c_str() : nullptr;
}

int CPIHENDesign::GetNumberOfNetworkUnits() const { return m_analysis->GetUnits(); }

int CPIHENDesign::GetNumberOfControlSelections() const { return m_control->GetControlSelections(); }

int CPIHENDesign::GetRemainingControlFreedom() const { return m_control->GetRemainingFreedom(); }

int CPIHENDesign::GetSubNetworkNumberOfUnits(int index) const {
    const SubNetwork* sub = At(m_analysis->SubNetworks(), index);
    return sub ? sub->units : 0;
}

int CPIHENDesign::GetSubNetworkNumberOfControlSelections(int index) const {
    const SubNetwork* sub = At(m_analysis->SubNetworks(), index);
    return sub ? sub->controlSelections : 0;
}

int CPIHENDesign::GetSubNetworkNumberOfLoops(int index) const {
    const SubNetwork* sub = At(m_analysis->SubNetworks(), index);
    return sub ? sub->loops : 0;
}

int CPIHENDesign::GetSubNetworkRemainingControlFreedom(int index) const {
    const SubNetwork* sub = At(m_analysis->SubNetworks(), index);
    return sub ? sub->remainingFreedom : 0;
}
