// The model families of the analysis object: the common set-up that scales the records' loads,
// the debottleneck analysis with the network-pinch model, and the modification runs.
#include "eng/retrofit/HenRetrofit.h"

#include "eng/retrofit/NetworkPinchModel.h"
#include "eng/retrofit/PinchModifications.h"

#include <algorithm>
#include <unordered_map>

double ScaleNetworkLoads(RetrofitNetwork& net) {
    double tMax = 0.0, lMax = 0.0;
    auto collect = [&](const StrmInfo& s) {
        for (double t : s.pointTemperatures) tMax = std::max(tMax, t);
        for (double l : s.pointLoads) lMax = std::max(lMax, l);
    };
    for (const auto& s : net.hotStreams) collect(s);
    for (const auto& s : net.coldStreams) collect(s);
    if (tMax == 0.0 || lMax == 0.0) return 1.0;
    const double factor = tMax * 10.0 / lMax;
    if (factor == 1.0) return factor;
    for (auto& s : net.hotStreams)
        for (double& l : s.pointLoads) l *= factor;
    for (auto& s : net.coldStreams)
        for (double& l : s.pointLoads) l *= factor;
    for (auto& h : net.heaters) h.duty *= factor;
    for (auto& c : net.coolers) c.duty *= factor;
    return factor;
}

// The records are scaled once: a second set-up would find the factor 1.0 up to rounding, and the
// factor that turns model duties back into kW must stay that of the first scaling.
bool HenRetrofit::PrepareModels() {
    if (m_setUpState == kComputed) return true;
    if (!ExtractNetwork()) {
        m_setUpState = kFailed;
        return false;
    }
    m_loadScale = ScaleNetworkLoads(m_network);
    m_setUpState = kComputed;
    return true;
}

std::vector<double> HenRetrofit::HeaterUtilityUnitCosts() const {
    std::unordered_map<int, double> costById;
    for (const HotUtilInfo& u : m_network.hotUtilities) costById[u.streamId] = u.unitCost;  // the last record counts
    std::vector<double> costs;
    costs.reserve(m_network.heaters.size());
    for (const HeaterInfo& h : m_network.heaters) {
        const auto found = costById.find(h.utilityStream);
        costs.push_back(found != costById.end() ? found->second : 0.0);
    }
    return costs;
}

bool HenRetrofit::RunDebottleneckAnalysis() {
    if (m_debottleneckState != kNotComputed) return m_debottleneckState == kComputed;
    m_debottleneckState = kFailed;
    if (!PrepareModels() || !m_network.leftoverHeaters.empty()) return false;

    m_baseHeaterCost = 0.0;
    const std::vector<double> costs = HeaterUtilityUnitCosts();
    for (std::size_t i = 0; i < costs.size(); ++i) m_baseHeaterCost += costs[i] * m_network.heaters[i].duty;

    const StreamBalanceRows balances = BuildStreamBalanceRows(m_network);
    RankMatrix rank;
    rank.rows = &balances.rows;
    rank.columns = balances.columns;
    m_networkFreedom = balances.columns - SparseRowMatrix::ComputeRank(rank);

    if (m_network.nodes.empty() || m_network.coolers.empty() || m_network.heaters.empty()) return false;
    GeneratePinchMatrx model(m_network, m_dtMin);
    if (!model.BuildModel()) return false;
    PinchSolveRecord record;
    record.rows = &model.GetRows();
    record.width = model.GetWidth();
    record.exchangers = &m_network.exchangers;
    record.nodes = static_cast<int>(m_network.nodes.size());
    record.heaters = static_cast<int>(m_network.heaters.size());
    record.coolers = static_cast<int>(m_network.coolers.size());
    record.integerColumns = model.GetNumberOfIntegerColumns();
    const int count = SolvePinchModel(record);
    m_pinchWidth = record.width;
    m_pinchIntegerColumns = record.integerColumns;
    m_pinchSolution = record.solution;
    m_pinchHeaterDuties = record.heaterDuties;
    if (count == 0) return false;
    m_bottleneckCount = count;
    m_bottleneckIds.assign(record.flaggedIds.begin(), record.flaggedIds.begin() + count);
    m_debottleneckState = kComputed;
    return true;
}

namespace {

// A modification generator seen through the analysis's seam: its results in the analysis's
// reading order (four locations; for moves, the four origin nodes and the moved exchanger).
class GeneratedModel : public ModificationModel {
public:
    explicit GeneratedModel(std::unique_ptr<PinchModifications> generator) : m_generator(std::move(generator)) {}
    bool RunSteps() override { return m_generator->Run() != nullptr; }
    bool IsGood() const override { return m_generator->IsGood(); }
    int Result(int index) const override {
        if (index < 4) return static_cast<int>(m_generator->Result(index));
        if (index < 8) return static_cast<int>(m_generator->OriginNode(index - 4));
        return static_cast<int>(m_generator->OriginExchanger());
    }
    int HistoryEntry(int index) const override { return m_generator->HistoryEntry(index); }
    double SolveValue() const override { return m_generator->SolveValue(); }
    std::string SearchNote() const override { return m_generator->SearchNote(); }
    const std::vector<double>* HeaterValues() override {
        m_generator->Run();
        return m_generator->HeaterValues();
    }

private:
    std::unique_ptr<PinchModifications> m_generator;
};

}  // namespace

std::unique_ptr<ModificationModel> HenRetrofit::CreateModificationModel(ModificationKind kind) {
    const FamilyResults& family = Family(kind);
    const int* history = family.history.data();
    std::unique_ptr<PinchModifications> generator;
    switch (kind) {
    case ModificationKind::NewExchanger:
        generator = std::make_unique<GenerateNewHXMatrx>(m_network, m_dtMin, m_bottleneckCount, m_bottleneckIds,
                                                         m_previousModifications, history);
        break;
    case ModificationKind::Repiping:
        generator = std::make_unique<GenerateRepipHXMatrx>(m_network, m_dtMin, m_bottleneckCount, m_bottleneckIds,
                                                           m_previousModifications, history);
        break;
    case ModificationKind::Resequencing:
        generator = std::make_unique<GenerateResqHXMatrx>(m_network, m_dtMin, m_bottleneckCount, m_bottleneckIds,
                                                          m_previousModifications, history);
        break;
    }
    if (!generator) return nullptr;
    generator->SetModelReduction(m_kept);
    return std::make_unique<GeneratedModel>(std::move(generator));
}

bool HenRetrofit::RunModificationModel(ModificationKind kind) {
    FamilyResults& family = Family(kind);
    if (m_setUpState == kNotComputed) PrepareModels();
    if (m_setUpState != kComputed) {
        family.state = kFailed;
        return false;
    }
    std::unique_ptr<ModificationModel> model = CreateModificationModel(kind);
    if (!model) {
        family.state = kFailed;
        return false;
    }
    const int resultCount = kind == ModificationKind::NewExchanger ? 4 : 9;
    model->RunSteps();
    for (int i = 0; i < resultCount; ++i) {
        int value = model->Result(i);
        if (value == 0 && model->IsGood()) {
            model->RunSteps();
            value = model->Result(i);
        }
        family.results[static_cast<std::size_t>(i)] = value;
    }
    if (m_previousModifications >= 0 && m_previousModifications < kHistoryLength)
        family.history[static_cast<std::size_t>(m_previousModifications)] = model->HistoryEntry(m_previousModifications);
    SetModificationDuty(model->SolveValue() / m_loadScale);
    m_modificationSearch = model->SearchNote();
    if (const std::vector<double>* values = model->HeaterValues()) {
        const std::vector<double> costs = HeaterUtilityUnitCosts();
        for (std::size_t i = 0; i < costs.size() && i < values->size(); ++i) family.indicator += costs[i] * (*values)[i];
    }
    bool mainResults = family.results[0] && family.results[1] && family.results[2] && family.results[3];
    if (kind != ModificationKind::NewExchanger) mainResults = mainResults && family.results[8];
    family.state = mainResults ? kComputed : kFailed;
    return true;
}
