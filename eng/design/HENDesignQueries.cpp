// Network queries and status: the design's streams by kind, unsatisfied streams, incomplete
// exchangers, heaters and coolers, pinch points and cross-pinch loads, and the lock states.
#include "eng/design/HENDesign.h"

#include "eng/design/HENDesignChain.h"
#include "eng/model/IHeatIntegrationScenario.h"
#include "pellin/HeatExch.h"

#include <cstring>

using namespace chain;

namespace {
constexpr double kEmpty = -32767.0;

// The index-th item of `items` that passes `keep`; null when there is none. Linear per query:
// a stream's kind can change under the design (a utility stream is treated as a process stream
// while a design is calculated), so the lists by kind are read afresh rather than kept.
template <class T, class Keep>
T* nth(const std::vector<T*>& items, int index, Keep keep) {
    if (index < 0) return nullptr;
    for (T* item : items)
        if (keep(item) && index-- == 0) return item;
    return nullptr;
}

template <class T, class Keep>
int countOf(const std::vector<T*>& items, Keep keep) {
    int n = 0;
    for (T* item : items) n += keep(item) ? 1 : 0;
    return n;
}

template <class T, class Keep>
std::vector<T*> allOf(const std::vector<T*>& items, Keep keep) {
    std::vector<T*> out;
    for (T* item : items)
        if (keep(item)) out.push_back(item);
    return out;
}

bool isProcess(const IHeatIntegrationStream* s) { return s->GetStreamKind() != 1; }
bool isUtility(const IHeatIntegrationStream* s) { return s->GetStreamKind() == 1; }
bool isHeater(CNode* n) {
    HeatExch* x = AsHeatExch(n);
    return x && x->IsHeater();
}
bool isCooler(CNode* n) {
    HeatExch* x = AsHeatExch(n);
    return x && x->IsCooler();
}
int statusOf(CNode* n) {
    HeatExch* x = AsHeatExch(n);
    return x ? x->getStatus() : ExchangerStatus::UnderSpecified;
}
}  // namespace

IHeatIntegrationStream* CPIHENDesign::GetStream(int index) const {
    return index >= 0 && index < GetNumberOfStreams() ? m_streams[static_cast<std::size_t>(index)] : nullptr;
}

int CPIHENDesign::GetNumberOfProcessStreams() const { return countOf(m_streams, isProcess); }
int CPIHENDesign::GetNumberOfUtilityStreams() const { return countOf(m_streams, isUtility); }
IHeatIntegrationStream* CPIHENDesign::GetProcessStream(int index) const { return nth(m_streams, index, isProcess); }
IHeatIntegrationStream* CPIHENDesign::GetUtilityStream(int index) const { return nth(m_streams, index, isUtility); }

int CPIHENDesign::GetNumberOfUnsatisfiedProcessStreams() const {
    return countOf(m_streams, [this](IHeatIntegrationStream* s) { return isProcess(s) && !IsStreamSatisfied(s, nullptr); });
}

IHeatIntegrationStream* CPIHENDesign::GetUnsatisfiedProcessStream(int index) const {
    return nth(m_streams, index, [this](IHeatIntegrationStream* s) { return isProcess(s) && !IsStreamSatisfied(s, nullptr); });
}

int CPIHENDesign::GetTemperatureBeforeStreamEnd(const CPString& streamName, double& out) const {
    CNode* end = streamName.empty() ? nullptr : StreamBlock(streamName, "End");
    CNode* node = Before(end);
    if (!node) return 0;
    if (GetNumberOfUnitsOnStream(streamName) > 0 && IsPlaceholder(Before(node)) && Before(Before(node)))
        node = Before(Before(node));
    return node->getVariableAsDouble(NodeValue::Temperature, out) ? 1 : 0;
}

int CPIHENDesign::GetNumberOfIncompleteHeatExchangers(bool skipFailed) const {
    return countOf(m_exchangers, [skipFailed](CNode* n) {
        const int status = statusOf(n);
        return status != ExchangerStatus::Calculated && !(skipFailed && status == ExchangerStatus::Crossed);
    });
}

CNode* CPIHENDesign::GetIncompleteHeatExchanger(int index) const {
    return nth(m_exchangers, index, [](CNode* n) { return statusOf(n) != ExchangerStatus::Calculated; });
}

int CPIHENDesign::GetNumberOfHeaters() const { return countOf(m_exchangers, isHeater); }
int CPIHENDesign::GetNumberOfCoolers() const { return countOf(m_exchangers, isCooler); }
CNode* CPIHENDesign::GetHeater(int index) const { return nth(m_exchangers, index, isHeater); }
CNode* CPIHENDesign::GetCooler(int index) const { return nth(m_exchangers, index, isCooler); }
std::vector<CNode*> CPIHENDesign::GetHeaters() const { return allOf(m_exchangers, isHeater); }
std::vector<CNode*> CPIHENDesign::GetCoolers() const { return allOf(m_exchangers, isCooler); }
std::vector<CNode*> CPIHENDesign::GetIncompleteHeatExchangers() const {
    return allOf(m_exchangers, [](CNode* n) { return statusOf(n) != ExchangerStatus::Calculated; });
}

// An index outside the node count is refused (0, no fingerprint) rather than read.
unsigned int CPIHENDesign::GetDNAFingerPrintByIndex(int index) const {
    if (index < 0 || index >= m_sheet->getNumberOfNodes()) return 0;
    CNode* node = m_sheet->getNode(index);
    return node ? node->getDNAFingerPrint() : 0;
}

double CPIHENDesign::GetCrossPinchLoad(int index) const {
    return index >= 0 && index < GetNumberOfCrossPinchLoads() ? m_crossPinchLoads[static_cast<std::size_t>(index)]
                                                              : 0.0;
}

double CPIHENDesign::GetPinchPoint(int list, int index) const {
    const std::vector<double>* values = list == 0 ? m_firstPinch.get() : list == 1 ? m_secondPinch.get() : nullptr;
    if (!values || index < 0 || index >= static_cast<int>(values->size())) return kEmpty;
    return (*values)[static_cast<std::size_t>(index)];
}

// ---------------------------------------------------------------- status

namespace {
bool isBaseDesign(const IHeatIntegrationScenario* scenario, const char* name) {
    const char* base = scenario ? scenario->GetRetrofitBaseDesignName() : nullptr;
    return base && *base && name && std::strcmp(base, name) == 0;
}
}  // namespace

int CPIHENDesign::GetEditLockState() const {
    if (m_operationLocked) return 1;
    if (!m_existingNetwork) return 0;
    return isBaseDesign(m_scenario, GetDesignName()) ? 1 : 2;
}

int CPIHENDesign::GetScenarioLockState() const {
    if (!m_scenario || !m_scenario->IsRetrofitScenario()) return 0;
    return isBaseDesign(m_scenario, GetDesignName()) ? 1 : 2;
}

int CPIHENDesign::GetCalculationStatus() {
    if (m_calculationStatus.empty()) return 1;
    if (m_calculationStatus == "NotConverged") return 2;
    // The network is not specified enough to fix every value: nothing was written.
    if (m_calculationStatus == "NotDetermined") return 3;
    return 0;
}

// Every stream runs from its feed block to its product block.
bool CPIHENDesign::AreStreamTerminalsReady() const {
    for (IHeatIntegrationStream* stream : m_streams)
        if (!StreamBlock(stream->GetName(), "Start") || !StreamBlock(stream->GetName(), "End")) return false;
    return true;
}
