// The design's structure analysis and controllability operations.
#include "eng/design/HENDesign.h"

#include "eng/design/ControllabilityCheck.h"
#include "eng/design/NetworkStructureAnalysis.h"
#include "eng/model/IHeatIntegrationStream.h"

bool CPIHENDesign::IsLoopAnalysisEnabled() const { return m_analysis->IsLoopAnalysisEnabled(); }

void CPIHENDesign::SetLoopAnalysisEnabled(bool enabled) {
    m_analysis->SetLoopAnalysisEnabled(enabled);
    if (enabled) RunStructureAnalysis();
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
