#include "eng/design/HENCalculator.h"

#include "eng/design/HENCalculatorEquation.h"
#include "eng/design/StructuralRank.h"
#include "eng/model/IHeatIntegrationStream.h"
#include "eng/core/Registries.h"
#include "osmeri/CPValue.h"
#include "pellin/FlowSheet.h"
#include "pellin/NodeKinds.h"
#include "pellin/StreamNodes.h"
#include "traval/IMILPSolver.h"

#include <cmath>

namespace {
constexpr double kKelvin = 273.15;
constexpr double kTemperatureScale = 300.0;
// A free column: the solver library reads magnitudes from 1e30 as unbounded (smaller huge bounds
// lie outside its working range and are refused).
constexpr double kUnbounded = 1e30;
// What a set that the solver could not solve leaves as the calculator's status.
constexpr const char* kSolveFailed = "SolveFailed";
// What a set leaves when its equations do not fix every unknown they name.
constexpr const char* kNotDetermined = "NotDetermined";

bool IsNamed(const CalculatorVariable& v, const char* name) { return v.name == name; }
}  // namespace

// ---------------------------------------------------------------- variables

double CalculatorVariable::Current() const { return holder ? holder->GetValue() : value; }

double CalculatorVariable::Scaled() const {
    const double v = Current() / scale;
    if (name == "T") return (v + kKelvin) / kTemperatureScale;
    if (name == "delT") return v / kTemperatureScale;
    return v;
}

void CalculatorVariable::SetStatus(int s) {
    status = s;
    if (holder) holder->SetStatus(s);
}

// ---------------------------------------------------------------- life

HENCalculator::HENCalculator(FlowSheet* flowsheet, const UnitsByStream* unitsByStream)
    : m_flowsheet(flowsheet), m_unitsByStream(unitsByStream) {
    m_variableIndex.reserve(256);
    m_utilityFlows.reserve(256);
}

HENCalculator::~HENCalculator() { Clear(); }

void HENCalculator::Clear() {
    m_variableIndex.clear();
    m_utilityFlows.clear();
    m_equations.clear();
    m_utilitySideBalances.clear();
    m_massSet.clear();
    m_heatSet.clear();
    m_heatVariables.clear();
    m_massVariables.clear();
    m_variables.clear();
    m_utilityStreams.clear();
    m_nextColumn = 0;
    m_coldLoad = m_hotLoad = 0.0;
    m_createdValues.clear();
    m_dummyUtilityUnits.clear();
    m_branchFlows.clear();
    m_branchFlowIndex.clear();
}

double HENCalculator::DutyScale() const {
    const double s = std::max(m_hotLoad, m_coldLoad);
    return s > 0.0 ? s : 1.0;
}

CalculatorVariable* HENCalculator::RegisterVariable(CPValue* holder, const char* name) {
    if (holder) {
        if (auto it = m_variableIndex.find(holder); it != m_variableIndex.end()) return it->second;
    }
    auto v = std::make_unique<CalculatorVariable>();
    v->holder = holder;
    v->column = m_nextColumn++;
    v->name = name;
    if (holder) {
        v->value = holder->GetValue();
        v->status = holder->GetStatus();
    }
    CalculatorVariable* raw = v.get();
    m_variables.push_back(std::move(v));
    if (holder) m_variableIndex.emplace(holder, raw);
    return raw;
}

CalculatorVariable* HENCalculator::FlowShare(CNode* segment) {
    if (!segment) return RegisterVariable(nullptr, "mf");
    CNode* up = segment->getIthUpStreamNode(0);
    if (!up || up->getKindId() != NodeKindId::Tee) {
        if (!segment->hasVariable(NodeValue::SplitFraction)) segment->addVariable(NodeValue::SplitFraction, 0.0, ValueStatus::Open);
        return RegisterVariable(segment->findValue(NodeValue::SplitFraction), "mf");
    }
    if (auto it = m_branchFlowIndex.find(segment); it != m_branchFlowIndex.end()) return it->second;
    StreamNode* piece = AsStreamNode(segment);
    const double start = piece ? piece->getSplitFraction() : -1.0;
    CalculatorVariable* v = RegisterVariable(CreateValue(start >= 0.0 ? start : 0.0), "mf");
    m_branchFlows.emplace_back(segment, v);
    m_branchFlowIndex.emplace(segment, v);
    return v;
}

// A branch whose share was not specified takes the one the mass balances gave it, as a share of
// what entered its splitter.
void HENCalculator::WriteBackBranchShares() {
    for (const auto& [branch, variable] : m_branchFlows) {
        if (branch->getVariableStatus(NodeValue::SplitFraction) == ValueStatus::Specified || variable->status != 2) continue;
        CNode* tee = branch->getIthUpStreamNode(0);
        CNode* inlet = tee ? tee->getIthUpStreamNode(0) : nullptr;
        CalculatorVariable* in = inlet ? FlowShare(inlet) : nullptr;
        const double entering = in ? in->Current() : 0.0;
        if (entering > 0.0) branch->addVariable(NodeValue::SplitFraction, variable->value / entering, ValueStatus::Calculated);
    }
}

CPValue* HENCalculator::CreateValue(double value) {
    // A fresh holder reports "not specified": the inner points are the calculator's to solve.
    m_createdValues.push_back(std::make_unique<CPValue>(CPString(), value, 0));
    return m_createdValues.back().get();
}

CPValue* HENCalculator::UtilityFlow(const CPString& streamName) {
    auto it = m_utilityFlows.find(std::string(streamName.c_str()));
    return it == m_utilityFlows.end() ? nullptr : it->second.get();
}

void HENCalculator::AppendEquation(HENCalculatorEquation* equation) {
    if (equation) m_equations.emplace_back(equation);
}

const std::vector<CNode*>* HENCalculator::UnitsOf(const CPString& streamName) const {
    if (!m_unitsByStream) return nullptr;
    auto it = m_unitsByStream->find(std::string(streamName.c_str()));
    return it == m_unitsByStream->end() ? nullptr : &it->second;
}

std::vector<IHeatIntegrationStream*> HENCalculator::StreamsAtStarts() const {
    std::vector<IHeatIntegrationStream*> streams;
    if (!m_flowsheet) return streams;
    for (CNode* node : m_flowsheet->getAllNodesOfType(NodeKind::FeedBlock)) {
        StreamStart* start = AsStreamStart(node);
        auto* stream = start ? dynamic_cast<IHeatIntegrationStream*>(start->getParentPIStream()) : nullptr;
        if (stream) streams.push_back(stream);
    }
    return streams;
}

// ---------------------------------------------------------------- build

void HENCalculator::PrepareStreams() {
    Clear();
    for (IHeatIntegrationStream* stream : StreamsAtStarts()) {
        if (stream->GetStreamKind() == 1) {
            m_utilityFlows[std::string(stream->GetName().c_str())] = std::make_unique<CPValue>(CPString("M"), 0.0, 0);
            m_utilityStreams.push_back(stream);
        } else if (stream->GetHotCold() == 1) {
            m_coldLoad += stream->GetHeatLoad(0);
        } else if (stream->GetHotCold() == 0) {
            m_hotLoad += stream->GetHeatLoad(0);
        }
    }
    ParkScenarioLoads();
    for (IHeatIntegrationStream* stream : m_utilityStreams) UpdateUtilityLoad(*stream);
    GiveBackScenarioLoads();
}

// The utility streams belong to the scenario, whose targets place their loads. The calculator
// spreads its units' duties over them to find each utility's flow; left there, the operating
// loads of a locked design would be stored with the scenario and taken for its placed loads.
void HENCalculator::ParkScenarioLoads() {
    m_scenarioLoads.clear();
    for (IHeatIntegrationStream* stream : m_utilityStreams) m_scenarioLoads.emplace_back(stream, stream->GetHeatLoad(1));
}

void HENCalculator::GiveBackScenarioLoads() {
    for (const auto& [stream, load] : m_scenarioLoads) stream->SetHeatLoad(load, 1);
    m_scenarioLoads.clear();
}

void HENCalculator::AppendGroup(std::vector<HENCalculatorEquation*>& set, const char* group) {
    for (const auto& e : m_equations)
        if (e->GetGroup() == group) set.push_back(e.get());
}

void HENCalculator::Build() {
    for (IHeatIntegrationStream* stream : StreamsAtStarts()) {
        const int kind = stream->GetStreamKind();
        if ((kind == 0 || kind == 2) && stream->AreDesignSegmentsComplete()) stream->FitSpecificHeatPolynomial();
    }
    if (m_flowsheet) {
        for (int i = 0; i < m_flowsheet->getNumberOfNodes(); ++i) {
            CNode* node = m_flowsheet->getNode(i);
            if (!node) continue;
            if (UnitEquationGenerator generate = ModuleRegistries::FindNodeType(node->getClassName()))
                generate(*this, *node);
        }
        // A stream carries its whole flow from its start: the fraction of its first segment is 1
        // by definition, whatever status the flowsheet gives it, so the mass set has its anchor.
        for (CNode* node : m_flowsheet->getAllNodesOfType(NodeKind::FeedBlock)) {
            CNode* first = node->getIthDownStreamNode(0);
            CPValue* mf = first ? first->findValue(NodeValue::SplitFraction) : nullptr;
            auto it = mf ? m_variableIndex.find(mf) : m_variableIndex.end();
            if (it == m_variableIndex.end() || it->second->status == 1) continue;
            mf->SetValue(1.0, 2);
            it->second->value = 1.0;
            it->second->status = 1;
        }
    }

    AppendGroup(m_massSet, "MassBalances");
    AppendGroup(m_massSet, "PercentBalances");
    m_massVariables.clear();
    for (const auto& v : m_variables)
        if (IsNamed(*v, "mf")) m_massVariables.push_back(v.get());
    m_massModel = std::make_unique<LPProblem>();
    m_massModel->Allocate(m_nextColumn, static_cast<int>(m_massSet.size()));

    AppendGroup(m_utilitySideBalances, "UtilitySideBalances");
    for (const char* group : {"TotalHeatBalances", "HeatBalances", "UtilitySideBalances", "HXHeatBalances",
                              "MxHeatBalances", "AreaEquations"})
        AppendGroup(m_heatSet, group);
    for (const char* name : {"T", "Q", "delT"})
        for (const auto& v : m_variables)
            if (IsNamed(*v, name)) m_heatVariables.push_back(v.get());
    m_heatModel = std::make_unique<LPProblem>();
    m_heatModel->Allocate(m_nextColumn, static_cast<int>(m_heatSet.size()));
}

// ---------------------------------------------------------------- solve

void HENCalculator::FillModel(LPProblem& model, const std::vector<HENCalculatorEquation*>& set) {
    // Refilled for every solve: a fresh matrix of the same size.
    model.Allocate(m_nextColumn, static_cast<int>(set.size()));
    for (int j = 0; j < m_nextColumn; ++j) {
        model.objective[static_cast<std::size_t>(j)] = 0.0;
        model.upperBounds[static_cast<std::size_t>(j)] = kUnbounded;
        model.lowerBounds[static_cast<std::size_t>(j)] = -kUnbounded;
    }
    for (std::size_t r = 0; r < set.size(); ++r) {
        const HENCalculatorEquation& e = *set[r];
        double rhs = e.GetConstant();
        const auto& terms = e.GetTerms();
        for (std::size_t i = 0; i < terms.size(); ++i) {
            const CalculatorVariable& v = *terms[i];
            const double a = e.GetCoefficient(static_cast<int>(i));
            if (v.status == 1 || v.status == 2) {
                rhs -= a * v.Scaled();
                continue;
            }
            const int row = static_cast<int>(r);
            model.pMatrix->SetElement(row, v.column, model.pMatrix->GetElement(row, v.column) + a);
            if (v.name == "mf") {
                model.lowerBounds[static_cast<std::size_t>(v.column)] = 0.0;
                model.upperBounds[static_cast<std::size_t>(v.column)] = 1.0;
            }
        }
        model.rowTypes[r] = LPProblem::Equality;
        model.rightHandSides[r] = rhs;
    }
}

// Every open column that a row of the set names must be fixed by the rows: a solver answering a
// system with free columns would pick any vertex and report it as the solution. A column whose
// coefficients cancel in every row it appears in is not fixed either.
bool HENCalculator::Determines(const LPProblem& model, const std::vector<HENCalculatorEquation*>& set) const {
    std::vector<int> compact(static_cast<std::size_t>(m_nextColumn), -1);
    int open = 0;
    for (const HENCalculatorEquation* e : set)
        for (const CalculatorVariable* v : e->GetTerms())
            if (v->status == 0 && v->column >= 0 && v->column < m_nextColumn && compact[v->column] < 0)
                compact[v->column] = open++;
    if (open == 0) return true;
    const int n = model.pMatrix->GetNumberOfNonZeroElements();
    std::vector<int> rows(static_cast<std::size_t>(n)), cols(static_cast<std::size_t>(n));
    std::vector<double> values(static_cast<std::size_t>(n));
    if (n > 0) model.pMatrix->GetNonZeroValues(rows.data(), cols.data(), values.data());
    std::vector<std::pair<int, int>> entries;
    entries.reserve(static_cast<std::size_t>(n));
    for (int k = 0; k < n; ++k)
        if (values[k] != 0.0 && cols[k] >= 0 && cols[k] < m_nextColumn && compact[cols[k]] >= 0)
            entries.emplace_back(rows[k], compact[cols[k]]);
    return StructuralRank(static_cast<int>(set.size()), open, entries) == open;
}

bool HENCalculator::SolveSet(LPProblem& model, const std::vector<HENCalculatorEquation*>& set) {
    if (model.nColumns <= 0) return true;
    std::unique_ptr<IMILPSolver> solver(IMILPSolver::Create("QEV_XPRESS"));
    if (!solver) return false;
    solver->SetSize(model.nColumns, model.nRows);
    if (const int n = model.pMatrix->GetNumberOfNonZeroElements(); n > 0) {
        std::vector<int> rows(static_cast<std::size_t>(n)), cols(static_cast<std::size_t>(n));
        std::vector<double> values(static_cast<std::size_t>(n));
        model.pMatrix->GetNonZeroValues(rows.data(), cols.data(), values.data());
        solver->LoadMatrix(n, rows.data(), cols.data(), values.data());
    }
    solver->SetRightHandSide(model.rightHandSides.data());
    solver->SetObjective(model.objective.data());
    solver->SetSense("MIN");
    std::string types(static_cast<std::size_t>(model.nRows), 'e');
    solver->SetRowTypes(types.c_str());
    for (int j = 0; j < model.nColumns; ++j)
        solver->SetColumnBounds(model.upperBounds[static_cast<std::size_t>(j)], j,
                                model.lowerBounds[static_cast<std::size_t>(j)]);
    if (!solver->Solve()) return false;
    const double* x = solver->GetSolution();
    if (!x) return false;
    for (HENCalculatorEquation* e : set) {
        for (CalculatorVariable* v : e->GetTerms()) {
            if (v->status != 0) continue;
            double value = v->scale * x[v->column];
            if (v->name == "T" || v->name == "delT") value *= kTemperatureScale;
            if (v->name == "T") {
                value -= kKelvin;
                ++m_solvedTemperatures;
                if (std::fabs(value - v->value) < Settled) ++m_convergedTemperatures;
            }
            v->value = value;
            if (v->holder) v->holder->SetValue(value, 2);
            v->status = 2;
        }
    }
    return true;
}

void HENCalculator::Solve() {
    m_status.clear();
    // What a failed set hands back: the values it opened, calculated as they were.
    std::vector<CalculatorVariable*> reopened;
    auto reopen = [&reopened](const std::vector<CalculatorVariable*>& variables) {
        reopened.clear();
        for (CalculatorVariable* v : variables)
            if (v->status == 2) {
                v->SetStatus(0);
                reopened.push_back(v);
            }
    };
    auto restore = [&reopened] {
        for (CalculatorVariable* v : reopened)
            if (v->status == 0) v->SetStatus(2);
    };
    reopen(m_massVariables);
    if (m_massModel) {
        FillModel(*m_massModel, m_massSet);
        const bool determined = Determines(*m_massModel, m_massSet);
        if (!determined || !SolveSet(*m_massModel, m_massSet)) {
            restore();
            m_status = determined ? kSolveFailed : kNotDetermined;
            if (m_flowsheet) m_flowsheet->InvalidateFractions();
            return;
        }
    }
    // The solved split fractions were written straight into the flowsheet's values, but for the
    // branches' own shares, written now.
    WriteBackBranchShares();
    if (m_flowsheet) m_flowsheet->InvalidateFractions();
    m_passes = 0;
    if (!m_heatModel) return;
    ParkScenarioLoads();
    while (m_passes < MaxPasses) {
        m_convergedTemperatures = m_solvedTemperatures = 0;
        reopen(m_heatVariables);
        for (IHeatIntegrationStream* u : m_utilityStreams) UpdateUtilityFlow(*u);
        FillModel(*m_heatModel, m_heatSet);
        // The structure of the heat set is the same in every pass: checked in the first.
        if (m_passes == 0 && !Determines(*m_heatModel, m_heatSet)) {
            restore();
            m_status = kNotDetermined;
            break;
        }
        const bool solved = SolveSet(*m_heatModel, m_heatSet);
        if (!solved) {
            // The values of the last solved pass stay as they were.
            restore();
            m_status = kSolveFailed;
            ++m_passes;
            break;
        }
        for (HENCalculatorEquation* e : m_heatSet) RefreshEquation(*e);
        ++m_passes;
        if (m_passes == 1) m_convergedTemperatures = 0;
        if (m_convergedTemperatures >= m_solvedTemperatures && (m_passes > 1 || m_solvedTemperatures == 0)) break;
    }
    for (IHeatIntegrationStream* u : m_utilityStreams) UpdateUtilityLoad(*u);
    GiveBackScenarioLoads();
    if (m_passes >= MaxPasses) m_status = "NotConverged";
}

void HENCalculator::WriteEquations(std::ostream& out) const {
    for (const HENCalculatorEquation* e : m_massSet) e->WriteEquation(out);
    for (const HENCalculatorEquation* e : m_heatSet) e->WriteEquation(out);
}
