// The LP and MILP solves of the interval model. A solver is made for each solve and destroyed
// after it; the LP needs no more than the model, the MILP adds one binary per loaded match (first
// iteration only) and the rows that tie each match's heat to its binary.
#include "eng/autodesign/AdvancedSuperTarget.h"

#include "brasko/EconomicData.h"
#include "eng/model/IHeatIntegrationScenario.h"
#include "eng/model/IHeatIntegrationStream.h"
#include "eng/model/MatchwiseStreamData.h"
#include "lumeth/MessageKey.h"
#include "traval/IMILPSolver.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <string>

namespace {
// The longest one solve of the mixed-integer match model may take.
constexpr double kMixedIntegerSeconds = 500.0;
// The relative gap within which each mixed-integer solve proves its set the cheapest.
constexpr double kMixedIntegerGap = 1e-5;
// A utility's own load does not limit a match: it counts as this much.
constexpr double kUtilityLoad = 1e24;

std::string SearchNote(double seconds, bool found) {
    char text[256];
    if (found)
        std::snprintf(text, sizeof text,
                      "the match search was stopped at its time limit of %g s: the set of matches is the best it "
                      "found, not proved within %g %% of the cheapest",
                      seconds, kMixedIntegerGap * 100.0);
    else
        std::snprintf(text, sizeof text, "the match search was stopped at its time limit of %g s before it found a set "
                                         "of matches", seconds);
    return text;
}

void LoadCoefficients(IMILPSolver& solver, const LPProblem& lp) {
    const int count = lp.pMatrix ? lp.pMatrix->GetNumberOfNonZeroElements() : 0;
    if (count <= 0) return;
    std::vector<int> rows(static_cast<std::size_t>(count)), cols(static_cast<std::size_t>(count));
    std::vector<double> values(static_cast<std::size_t>(count));
    lp.pMatrix->GetNonZeroValues(rows.data(), cols.data(), values.data());
    solver.LoadMatrix(count, rows.data(), cols.data(), values.data());
}

std::string RowSenses(const LPProblem& lp) {
    std::string senses(static_cast<std::size_t>(lp.nRows), 'e');
    for (int r = 0; r < lp.nRows; ++r) {
        const int type = lp.rowTypes[static_cast<std::size_t>(r)];
        senses[static_cast<std::size_t>(r)] = type == LPProblem::LessOrEqual ? 'l' : type == LPProblem::GreaterOrEqual ? 'g' : 'e';
    }
    return senses;
}

double UpperLoad(IHeatIntegrationStream* s) { return s->GetStreamKind() == 1 ? kUtilityLoad : std::fabs(s->GetHeatLoad(0)); }
}  // namespace

IMILPSolver* AdvancedSuperTarget::CreateSolver() const { return IMILPSolver::Create("QEV_XPRESS"); }

void AdvancedSuperTarget::NoteLimitStop(const std::string& note) {
    if (note.empty() || limitNote.find(note) != std::string::npos) return;
    limitNote += (limitNote.empty() ? "" : "; ") + note;
}

int AdvancedSuperTarget::SolveLinearModel() {
    Progress(MessageKey("SolvingLinearModel"));
    LPProblem& lp = *lpProblem;
    if (lp.nColumns == 0) return 0;
    std::unique_ptr<IMILPSolver> solver(CreateSolver());
    if (!solver) {
        message = MessageKey("NetOptNoFiles");
        return 0;
    }
    solver->SetSize(lp.nColumns, lp.nRows);
    LoadCoefficients(*solver, lp);
    if (lp.nRows > 0) {
        solver->SetRowTypes(RowSenses(lp).c_str());
        solver->SetRightHandSide(lp.rightHandSides.data());
    }
    solver->SetSense("MIN");
    solver->SetObjective(lp.objective.data());
    // The user's limit holds for this solve too (it has none of its own).
    if (timeLimit > 0.0) solver->SetOption("MAXTIM", timeLimit);
    const bool solved = solver->Solve();
    if (solver->StoppedAtTimeLimit()) {
        char text[160];
        std::snprintf(text, sizeof text, "the linear model of the matches was stopped at its time limit of %g s before "
                                         "it was solved", timeLimit);
        NoteLimitStop(text);
    }
    if (!solved) return 0;
    const double* x = solver->GetSolution();
    for (std::size_t k = 0; k < columns.size(); ++k) columns[k].value = x[k];
    lp.dObjectiveValue = solver->GetObjectiveValue();
    return 1;
}

int AdvancedSuperTarget::SolveMixedIntegerModel(int iteration) {
    Progress(MessageKey("SolvingMixedIntegerLinearModel"));
    searchNote.clear();
    LPProblem& lp = *lpProblem;
    if (lp.nColumns == 0) return 0;
    const int n = static_cast<int>(loadedRecords.size());
    if (iteration == 0) {
        SetColumnCosts();
        heatColumns = lp.nColumns;
        lp.AddColumns(n);
        for (int k = 0; k < n; ++k) {
            MatchwiseStreamData* r = loadedRecords[static_cast<std::size_t>(k)];
            const int binary = heatColumns + k;
            const CPString model = r->GetCostModelName();
            lp.objective[static_cast<std::size_t>(binary)] =
                scenario.GetEconomicData(0, model.c_str()) * annualisationFactor;
            const double U = std::min(UpperLoad(r->GetHotStream()), UpperLoad(r->GetColdStream())) * 1.01;
            const int row = lp.nRows;
            lp.AddRow({}, LPProblem::LessOrEqual, 0.0);
            auto found = m_columnsOfMatch.find(r);
            if (found != m_columnsOfMatch.end())
                for (int c : found->second) lp.pMatrix->SetElement(row, c, 1.0);
            lp.pMatrix->SetElement(row, binary, -U);
        }
        if (maximumMatches != 0) {
            const int row = lp.nRows;
            lp.AddRow({}, LPProblem::LessOrEqual, maximumMatches);
            for (int k = 0; k < n; ++k) lp.pMatrix->SetElement(row, heatColumns + k, 1.0);
        }
        if (designToComplete) {
            for (int k = 0; k < n; ++k) {
                MatchwiseStreamData* r = loadedRecords[static_cast<std::size_t>(k)];
                auto found = existingMatches.find(PairKey(r->GetHotStream()->GetName(), r->GetColdStream()->GetName()));
                if (found == existingMatches.end()) continue;
                const int row = lp.nRows;
                lp.AddRow({}, LPProblem::Equality, found->second);
                lp.pMatrix->SetElement(row, heatColumns + k, 1.0);
            }
        }
    }
    std::unique_ptr<IMILPSolver> solver(CreateSolver());
    if (!solver) return 0;
    solver->SetSize(lp.nColumns, lp.nRows);
    LoadCoefficients(*solver, lp);
    solver->SetObjective(lp.objective.data());
    if (lp.nRows > 0) solver->SetRightHandSide(lp.rightHandSides.data());
    for (int k = 0; k < n; ++k) solver->SetIntegerColumn(heatColumns + k);
    solver->SetSense("MIN");
    if (lp.nRows > 0) solver->SetRowTypes(RowSenses(lp).c_str());
    solver->SetOption("OPTCR", kMixedIntegerGap);
    const double seconds = LimitedSeconds(kMixedIntegerSeconds, timeLimit);
    solver->SetOption("MAXTIM", seconds);
    const bool solved = solver->Solve();
    searchNote = solver->StoppedAtTimeLimit() ? SearchNote(seconds, solved) : std::string();
    if (!solved) return 0;
    const double* x = solver->GetSolution();
    for (int k = 0; k < heatColumns && k < static_cast<int>(columns.size()); ++k)
        columns[static_cast<std::size_t>(k)].value = x[k];
    // A binary comes back within the solver's integrality tolerance of 0 or 1; the cut built
    // from it must exclude exactly this set of matches, so it is taken as the whole number.
    binaryValues.assign(static_cast<std::size_t>(n), 0.0);
    for (int k = 0; k < n; ++k) binaryValues[static_cast<std::size_t>(k)] = std::round(x[heatColumns + k]);
    lp.dObjectiveValue = solver->GetObjectiveValue();
    return 1;
}
