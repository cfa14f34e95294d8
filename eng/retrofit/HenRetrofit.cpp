// The analysis object: its reset, the lazy getters of its families and the extraction it holds.
#include "eng/retrofit/HenRetrofit.h"

#include "eng/design/IHENDesign.h"
#include "eng/retrofit/NetworkExtraction.h"
#include "pellin/FlowSheet.h"
#include "pellin/NodeKinds.h"

#include <string>

HenRetrofit::HenRetrofit() = default;

// The records, arrays and the working copy go with the object.
HenRetrofit::~HenRetrofit() = default;

void HenRetrofit::Reset() {
    m_sheet.reset();
    m_baseSheet = nullptr;
    m_design = nullptr;
    m_bottleneckText = CPString();
    m_network.Clear();
    m_dtMin = 0.0;
    m_loadScale = 1.0;
    m_networkFreedom = 0;
    m_extractionState = kNotComputed;
    m_setUpState = kNotComputed;
    m_baseHeaterCost = 0.0;
    m_debottleneckState = kNotComputed;
    m_bottleneckCount = 0;
    m_bottleneckIds.clear();
    m_bottleneckTexts.clear();
    m_pinchHeaterDuties.clear();
    m_pinchSolution.clear();
    m_pinchWidth = 0;
    m_pinchIntegerColumns = 0;
    m_heaterSavings = Savings();
    m_coolerSavings = Savings();
    m_heaterSavingsState = kNotComputed;
    m_coolerSavingsState = kNotComputed;
    m_savingsFlag = false;
    m_families = {};
    m_previousModifications = 0;
    m_modificationDuty = 0.0;
    m_modificationSearch.clear();
}

FlowSheet* HenRetrofit::SetFlowSheet(const FlowSheet* sheet) {
    Reset();
    m_baseSheet = sheet;
    if (sheet) m_sheet = sheet->clone(nullptr);
    return m_sheet.get();
}

bool HenRetrofit::SetDesign(IHENDesign* design) {
    m_design = design;
    return ExtractNetwork();
}

bool HenRetrofit::ExtractNetwork() {
    if (m_extractionState != kNotComputed) return m_extractionState == kComputed;
    const bool ok = m_sheet && m_design && ::ExtractNetwork(*m_sheet, *m_design, m_network);
    m_extractionState = ok ? kComputed : kFailed;
    return ok;
}

// ---------------------------------------------------------------- debottleneck family

void HenRetrofit::RunRetrofitPinch() {
    if (m_extractionState == kNotComputed) {
        if (!ExtractNetwork()) m_bottleneckCount = -1;
        return;
    }
    if (m_extractionState == kComputed && m_debottleneckState == kNotComputed) {
        RunDebottleneckAnalysis();
        return;
    }
    // The extraction failed earlier. A finished analysis keeps its results.
    if (m_debottleneckState != kComputed) m_bottleneckCount = -1;
}

const char* HenRetrofit::GetBottleneckText() {
    if (m_debottleneckState == kNotComputed) RunDebottleneckAnalysis();
    if (m_debottleneckState == kComputed) {
        if (m_bottleneckCount == 0) {
            m_bottleneckText = CPString("No Debottlenecking HX.");
        } else {
            std::string text = "DeBottlenecking HX are: ";
            for (std::size_t i = 0; i < m_bottleneckIds.size(); ++i) {
                CPString name;
                CNode* unit = m_design ? m_design->GetNodeByFingerPrint(m_bottleneckIds[i]) : nullptr;
                if (unit) unit->getVariableAsString(NodeValue::UnitOperationName, name);
                if (i) text += ", ";
                text += name.c_str();
            }
            text += ".";
            m_bottleneckText = CPString(text.c_str());
        }
    }
    return m_bottleneckText.c_str();
}

const std::vector<CPString>* HenRetrofit::GetBottleneckExchangerIds() {
    if (m_debottleneckState == kNotComputed) RunDebottleneckAnalysis();
    if (m_debottleneckState != kComputed || m_bottleneckCount <= 0) return nullptr;
    m_bottleneckTexts.clear();
    for (std::uint32_t id : m_bottleneckIds) m_bottleneckTexts.emplace_back(std::to_string(id).c_str());
    return &m_bottleneckTexts;
}

int HenRetrofit::GetNumberOfBottleneckExchangers() {
    if (m_debottleneckState == kNotComputed) RunDebottleneckAnalysis();
    return m_debottleneckState == kComputed ? m_bottleneckCount : 0;
}

bool HenRetrofit::IsRetrofitPinchDone() {
    if (m_debottleneckState == kNotComputed) RunDebottleneckAnalysis();
    return m_debottleneckState == kComputed;
}

// ---------------------------------------------------------------- modification families

bool HenRetrofit::RunFamily(ModificationKind kind) {
    if (Family(kind).state == kNotComputed) RunModificationModel(kind);
    return Family(kind).state == kComputed;
}

int HenRetrofit::LazyResult(ModificationKind kind, int index) {
    RunFamily(kind);
    return KeptResult(kind, index);
}

int HenRetrofit::KeptResult(ModificationKind kind, int index) const {
    const FamilyResults& f = Family(kind);
    return f.state == kComputed ? f.results[static_cast<std::size_t>(index)] : 0;
}

void HenRetrofit::SetHistory(ModificationKind kind, const int ids[5]) {
    if (!ids) return;
    for (int i = 0; i < kHistoryLength; ++i) Family(kind).history[static_cast<std::size_t>(i)] = ids[i];
}

int HenRetrofit::History(ModificationKind kind, int index) const {
    return index >= 0 && index < kHistoryLength ? Family(kind).history[static_cast<std::size_t>(index)] : 0;
}

// ---------------------------------------------------------------- savings family

bool HenRetrofit::CalculateUtilityExchangerSavings() {
    if (m_heaterSavingsState == kNotComputed) m_savingsFlag = ComputeUtilityExchangerSavings();
    return m_savingsFlag && (m_heaterSavingsState == kComputed || m_coolerSavingsState == kComputed);
}

void HenRetrofit::EnsureSavings(int state) {
    if (state == kNotComputed) CalculateUtilityExchangerSavings();
}

const std::vector<CPString>* HenRetrofit::GetHeaterAlternativeUtilityNames() {
    EnsureSavings(m_heaterSavingsState);
    return m_heaterSavingsState == kComputed ? &m_heaterSavings.alternativeNames : nullptr;
}

const std::vector<CPString>* HenRetrofit::GetCoolerAlternativeUtilityNames() {
    EnsureSavings(m_coolerSavingsState);
    return m_coolerSavingsState == kComputed ? &m_coolerSavings.alternativeNames : nullptr;
}

const std::vector<std::uint32_t>* HenRetrofit::GetHeaterExchangerIds() {
    EnsureSavings(m_heaterSavingsState);
    return m_heaterSavingsState == kComputed ? &m_heaterSavings.exchangerIds : nullptr;
}

const std::vector<std::uint32_t>* HenRetrofit::GetCoolerExchangerIds() {
    EnsureSavings(m_coolerSavingsState);
    return m_coolerSavingsState == kComputed ? &m_coolerSavings.exchangerIds : nullptr;
}

const std::vector<double>* HenRetrofit::GetHeaterSavings() {
    EnsureSavings(m_heaterSavingsState);
    return m_heaterSavingsState == kComputed ? &m_heaterSavings.savings : nullptr;
}

const std::vector<double>* HenRetrofit::GetCoolerSavings() {
    EnsureSavings(m_coolerSavingsState);
    return m_coolerSavingsState == kComputed ? &m_coolerSavings.savings : nullptr;
}

