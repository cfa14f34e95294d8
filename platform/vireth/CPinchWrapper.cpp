#include "vireth/CPinchWrapper.h"

#include "vireth/PinchModel.h"

#include <cmath>

namespace {
// Labels and names are held in buffers of 2048 characters.
constexpr std::size_t kLabelLength = 2047;

std::string label(const char* text) {
    std::string s = text ? text : "";
    if (s.size() > kLabelLength) s.resize(kLabelLength);
    return s;
}

bool isFiniteNumber(double v) { return std::isfinite(v); }
}  // namespace

CPinchWrapper::CPinchWrapper() : m_model(new vireth::PinchModel) {}

CPinchWrapper::~CPinchWrapper() { delete m_model; }

int CPinchWrapper::CreateSegment(const char*, int number, double inletT, double outletT, double load,
                                 double massFlow, double htc, double specificHeat) {
    if (number != static_cast<int>(m_model->pendingSegments.size()) + 1 || !isFiniteNumber(inletT) || !isFiniteNumber(outletT) ||
        !isFiniteNumber(load))
        return 0;
    m_model->pendingSegments.push_back({inletT, outletT, load, massFlow, htc, specificHeat});
    return 1;
}

namespace {
int declareStream(vireth::PinchModel& model, const char* stream, double supplyT, double targetT, double load,
                  int cold, int segments, bool utility, double htc, double costIndex) {
    const std::string name = label(stream);
    if (name.empty() || model.FindStream(name) || segments != static_cast<int>(model.pendingSegments.size()) ||
        !isFiniteNumber(supplyT) || !isFiniteNumber(targetT)) {
        model.pendingSegments.clear();
        return 0;
    }
    vireth::StreamDecl s;
    s.label = name;
    s.supplyT = supplyT;
    s.targetT = targetT;
    s.load = load;
    s.cold = cold != 0;
    s.utility = utility;
    s.htc = htc;
    s.costIndex = costIndex;
    s.segments.swap(model.pendingSegments);
    model.streams.push_back(std::move(s));
    model.IndexStream();
    return 1;
}
}  // namespace

int CPinchWrapper::CreateStream(const char* stream, double supplyT, double targetT, double load, int cold,
                                int segments) {
    return declareStream(*m_model, stream, supplyT, targetT, load, cold, segments, false, 0.0, 0.0);
}

int CPinchWrapper::CreateUtility(const char* stream, double supplyT, double targetT, double load, int cold,
                                 int segments, double htc, double costIndex) {
    return declareStream(*m_model, stream, supplyT, targetT, load, cold, segments, true, htc, costIndex);
}

int CPinchWrapper::CreateNode(const char* segment, const char* stream, const char* from, const char* to,
                              double temperature) {
    const std::string name = label(segment);
    if (name.empty() || m_model->FindNode(name) >= 0 || !m_model->FindStream(label(stream)) || !isFiniteNumber(temperature))
        return 0;
    m_model->nodes.push_back({name, label(stream), label(from), label(to), temperature});
    m_model->IndexNode();
    return 1;
}

namespace {
bool sameCounts(int count, const std::vector<std::vector<int>>& lists, const std::vector<double>& fractions) {
    return count > 0 && static_cast<std::size_t>(count) == lists.size() && lists.size() == fractions.size();
}
}  // namespace

namespace {
// A splitter declared again (met through more than one enclosing walk) is taken once.
int declareSplitter(vireth::PinchModel& model, const char* inlet, const char* splitter, int branches,
                    const std::vector<std::vector<int>>& branchSegments, const std::vector<double>& fractions,
                    int utility) {
    if (!sameCounts(branches, branchSegments, fractions)) return 0;
    const std::string name = label(splitter);
    if (model.FindSplitter(name) >= 0) return 1;
    model.splitters.push_back({label(inlet), name, branchSegments, fractions, utility != 0});
    model.IndexSplitter();
    return 1;
}
}  // namespace

int CPinchWrapper::CreateSplitMixer(const char* inlet, const char* mixerOutlet, const char* splitter, int branches,
                                    const std::vector<std::vector<int>>& branchSegments,
                                    const std::vector<double>& fractions, const char* mixer, int mixerInlets,
                                    const std::vector<int>& mixerInletSegments, const std::vector<double>&,
                                    int utility) {
    if (!declareSplitter(*m_model, inlet, splitter, branches, branchSegments, fractions, utility)) return 0;
    if (mixerInlets != static_cast<int>(mixerInletSegments.size())) return 0;
    const std::string name = label(mixer);
    if (!m_model->HasMixer(name)) {
        m_model->mixers.push_back({label(mixerOutlet), name, mixerInletSegments});
        m_model->IndexMixer();
    }
    return 1;
}

int CPinchWrapper::CreateIntSplitter(const char* inlet, const char* splitter, int branches,
                                     const std::vector<std::vector<int>>& branchSegments,
                                     const std::vector<double>& fractions, int utility) {
    return declareSplitter(*m_model, inlet, splitter, branches, branchSegments, fractions, utility);
}

// A mixer declared again is taken once, as a splitter is.
int CPinchWrapper::CreateIntMixer(const char* outlet, const char* mixer, int inlets,
                                  const std::vector<int>& inletSegments, const std::vector<double>&) {
    if (inlets != static_cast<int>(inletSegments.size())) return 0;
    const std::string name = label(mixer);
    if (m_model->HasMixer(name)) return 1;
    m_model->mixers.push_back({label(outlet), name, inletSegments});
    m_model->IndexMixer();
    return 1;
}

int CPinchWrapper::ConnectSplittersAndMixers() { return 1; }

int CPinchWrapper::CreateExchanger(const ExchangerDeclaration& exchanger) {
    ExchangerDeclaration d = exchanger;
    d.name = label(d.name.c_str());
    if (d.name.empty() || m_model->FindExchanger(d.name) >= 0) return 0;
    m_model->exchangers.push_back(std::move(d));
    m_model->IndexExchanger();
    return 1;
}

int CPinchWrapper::SetEconomicParameters(double rate, double life, double hours, double capitalCap) {
    m_model->rate = isFiniteNumber(rate) ? rate : 0.0;
    m_model->life = isFiniteNumber(life) ? life : 0.0;
    m_model->hours = isFiniteNumber(hours) ? hours : 0.0;
    m_model->capitalCap = isFiniteNumber(capitalCap) ? capitalCap : 0.0;
    return 1;
}

long CPinchWrapper::RunOptimization(const char*, const char*) { return m_model->Run(); }

int CPinchWrapper::GetExchangerResults(const char* exchanger, double& duty, double& area, double& hotIn,
                                       double& hotOut, double& coldIn, double& coldOut) {
    double t[4];
    if (!m_model->ExchangerResult(m_model->FindExchanger(label(exchanger)), duty, area, t)) return 0;
    hotIn = t[0];
    hotOut = t[1];
    coldIn = t[2];
    coldOut = t[3];
    return 1;
}

int CPinchWrapper::GetSplitterResults(const char* splitter, int branches, const std::vector<std::vector<int>>&,
                                      std::vector<double>& fractions) {
    if (!m_model->SplitterResult(m_model->FindSplitter(label(splitter)), fractions)) return 0;
    return static_cast<int>(fractions.size()) == branches ? 1 : 0;
}

double CPinchWrapper::StartCost() const { return m_model->StartCost(); }
double CPinchWrapper::FinalCost() const { return m_model->FinalCost(); }
int CPinchWrapper::Solves() const { return m_model->Solves(); }
