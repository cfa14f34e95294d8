// The joined model of all stages and its two solves.
//
// Columns: the stages' columns in stage order, then one slack per candidate match (cost 100).
// Rows: the stages' rows in stage order; per candidate two load rows (the first holds a utility
// match's loads, the second a process match's); one hot-end approach row per stage match of
// stages 2 and later.
#include "eng/autodesign/SuperStructure.h"

#include "brasko/LurmetSparseMatrix.h"
#include "eng/autodesign/SuperStructureStage.h"
#include "eng/model/IHeatIntegrationStream.h"
#include "eng/retrofit/ModelSolving.h"
#include "traval/IMILPSolver.h"

#include <cstdio>
#include <cmath>

namespace {

constexpr double kSlackCost = 100.0;
constexpr double kSlackLimit = 0.01;
// The longest one solve of the structure model may take.
constexpr double kStructureSeconds = 1800.0;
constexpr double kUtilitySlack = -1000.0;
constexpr double kProcessSlack = 1.01;

struct Offsets {
    int row = 0;
    int column = 0;
};

}  // namespace

std::unique_ptr<IMILPSolver> HeatExchangerNetworkSuperStructure::CreateSolver(const char* integerFlags,
                                                                              const LurmetSparseMatrix& matrix,
                                                                              const char* rowTypes, const double* rhs,
                                                                              const double* objective) const {
    return CreateMILPSolver(integerFlags, matrix, rowTypes, rhs, objective);
}

int HeatExchangerNetworkSuperStructure::SolveModel(std::vector<std::unique_ptr<SuperStructureStage>>& stages) {
    const int N = static_cast<int>(matches.size());
    LurmetSparseMatrix model(0, 0);
    std::string rowTypes, integerFlags;
    std::vector<double> rhs, objective;
    std::vector<Offsets> offsets;
    offsets.reserve(stages.size());

    // The stages side by side on the diagonal.
    int approachRows = 0;
    for (std::size_t k = 0; k < stages.size(); ++k) {
        const SuperStructureStage& s = *stages[k];
        offsets.push_back({model.GetNumberOfRows(), model.GetNumberOfColumns()});
        if (k > 0) approachRows += s.matchCount;
        if (!s.matrix) continue;
        model.AppendMatrix(*s.matrix);
        if (!s.integerFlags.empty()) {
            rowTypes += s.rowTypes;
            integerFlags += s.integerFlags;
            rhs.insert(rhs.end(), s.rhs.begin(), s.rhs.end());
            objective.insert(objective.end(), s.objective.begin(), s.objective.end());
        } else {
            // A stage without matches has a column 0 and no arrays: a continuous column at no cost.
            integerFlags.append(static_cast<std::size_t>(s.columnCount), '0');
            objective.insert(objective.end(), static_cast<std::size_t>(s.columnCount), 0.0);
            rowTypes.append(static_cast<std::size_t>(s.rowCount), 'l');
            rhs.insert(rhs.end(), static_cast<std::size_t>(s.rowCount), 0.0);
        }
    }
    const int R = model.GetNumberOfRows();
    const int Csum = model.GetNumberOfColumns();

    // Stage links: a stream's balance row in stage k counts the loads of its matches in every
    // stage above as well. The rows grow with the square of the stages (at most 11), which the
    // formulation itself asks for: each holds the loads of all stages above it.
    for (std::size_t k = 1; k < stages.size(); ++k) {
        const SuperStructureStage& sk = *stages[k];
        for (int pk = 0; pk < sk.streamCount; ++pk) {
            const std::string name = sk.streams[static_cast<std::size_t>(pk)]->GetName().c_str();
            const int rowK = offsets[k].row + pk;
            for (std::size_t j = 0; j < k; ++j) {
                const SuperStructureStage& sj = *stages[j];
                const int pj = sj.StreamPosition(name);
                if (pj < 0 || !sj.matrix) continue;
                rhs[static_cast<std::size_t>(rowK)] = sj.rhs[static_cast<std::size_t>(pj)];
                for (int m = 0; m < sj.matchCount; ++m) {
                    const double a = sj.matrix->GetElement(pj, 1 + m);
                    if (a != 0.0) model.SetElement(rowK, offsets[j].column + 1 + m, a);
                }
            }
        }
    }

    // Load rows: the loads of a candidate over all stages reach its targeting load; a process
    // match's slack takes a shortfall (up to 1 %), a utility match's slack any excess.
    model.AppendEmptyRows(2 * N);
    model.AppendEmptyColumns(N);
    rowTypes.append(static_cast<std::size_t>(2 * N), 'e');
    rhs.insert(rhs.end(), static_cast<std::size_t>(2 * N), 0.0);
    integerFlags.append(static_cast<std::size_t>(N), '0');
    objective.insert(objective.end(), static_cast<std::size_t>(N), kSlackCost);
    for (std::size_t k = 0; k < stages.size(); ++k) {
        const SuperStructureStage& s = *stages[k];
        for (int j = 0; j < s.matchCount; ++j) {
            const int i = s.matches[static_cast<std::size_t>(j)]->candidateIndex;
            const int row = matches[static_cast<std::size_t>(i)].kind == 1 ? R + i : R + N + i;
            model.SetElement(row, offsets[k].column + 1 + j, 1.0);
        }
    }
    for (int i = 0; i < N; ++i) {
        if (matches[static_cast<std::size_t>(i)].kind == 1) {
            model.SetElement(R + i, Csum + i, kUtilitySlack);
            rhs[static_cast<std::size_t>(R + i)] = 1.0;
        } else {
            model.SetElement(R + N + i, Csum + i, kProcessSlack);
            rhs[static_cast<std::size_t>(R + N + i)] = 1.0;
        }
    }

    // Hot-end approaches of stages 2 onwards, from the cold-end temperatures of the stage above;
    // a stream not in that stage is at its own hot end (hot supply, cold target).
    model.AppendEmptyRows(approachRows);
    rowTypes.append(static_cast<std::size_t>(approachRows), 'g');
    rhs.insert(rhs.end(), static_cast<std::size_t>(approachRows), 0.0);
    int row = R + 2 * N;
    for (std::size_t k = 1; k < stages.size(); ++k) {
        const SuperStructureStage& s = *stages[k];
        const SuperStructureStage& above = *stages[k - 1];
        for (int j = 0; j < s.matchCount; ++j, ++row) {
            const Candidate& c = matches[static_cast<std::size_t>(s.matches[static_cast<std::size_t>(j)]->candidateIndex)];
            const int z = offsets[k].column + s.lastContinuousColumn + 1 + j;
            const double dT = StageApproachOf(c.minimumApproach, c.kind);
            const int th = above.GetTemperatureColumn(c.hotName), tc = above.GetTemperatureColumn(c.coldName);
            const double bigM = SuperStructureStage::kBigM;
            double value = 0.0;
            if (th >= 0 && tc >= 0) {
                model.SetElement(row, offsets[k - 1].column + th, 1.0);
                model.SetElement(row, offsets[k - 1].column + tc, -1.0);
                value = dT / 300.0 - bigM;
            } else if (tc >= 0) {
                model.SetElement(row, offsets[k - 1].column + tc, -1.0);
                value = (dT - streamsByName[c.hotName]->GetSupplyTemperature() - 273.15) / 300.0 - bigM;
            } else if (th >= 0) {
                model.SetElement(row, offsets[k - 1].column + th, 1.0);
                value = (dT + streamsByName[c.coldName]->GetTargetTemperature() + 273.15) / 300.0 - bigM;
            } else {
                continue;
            }
            model.SetElement(row, z, -bigM);
            rhs[static_cast<std::size_t>(row)] = value;
        }
    }

    const int columns = model.GetNumberOfColumns();
    // The linear relaxation first: when even it cannot carry the loads, the stages are too few.
    const double seconds = LimitedSeconds(kStructureSeconds, timeLimit);
    // A stop at the limit is named, solved or not: the structure is then the best found, or none.
    const auto noteStop = [&](const char* what, bool found) {
        char text[300];
        std::snprintf(text, sizeof text, "the network structure search (%d stages) was stopped at its time limit of %g s %s",
                      static_cast<int>(stages.size()), seconds,
                      found ? "in its " : "before it solved its ");
        limitNote = std::string(text) + what + (found ? ": the structure is the best it found" : "");
    };
    {
        const std::string relaxed(static_cast<std::size_t>(columns), '0');
        std::unique_ptr<IMILPSolver> lp = CreateSolver(relaxed.c_str(), model, rowTypes.c_str(), rhs.data(), objective.data());
        if (!lp) return kTooFewStages;
        lp->SetOption("MAXTIM", seconds);
        const bool relaxedSolved = lp->Solve();
        if (lp->StoppedAtTimeLimit()) noteStop("linear relaxation", false);
        if (!relaxedSolved) return kTooFewStages;
        const double* x = lp->GetSolution();
        for (int i = 0; i < N; ++i)
            if (!(x[Csum + i] <= kSlackLimit)) return kTooFewStages;
    }
    std::unique_ptr<IMILPSolver> milp = CreateSolver(integerFlags.c_str(), model, rowTypes.c_str(), rhs.data(), objective.data());
    if (!milp) return kTooFewStages;
    milp->SetOption("OPTCR", 0.1);
    // The relative gap cannot close while the bound stays 0 and only slack is left to pay for: a
    // structure whose slack is within what the relaxation test accepts is as good as one without.
    milp->SetOption("OPTCA", kSlackCost * kSlackLimit);
    milp->SetOption("MAXTIM", seconds);
    const bool solved = milp->Solve();
    if (milp->StoppedAtTimeLimit()) noteStop("mixed-integer model", solved);
    if (!solved) return kTooFewStages;
    const double* x = milp->GetSolution();
    for (std::size_t k = 0; k < stages.size(); ++k) {
        SuperStructureStage& s = *stages[k];
        s.solution.clear();
        if (s.columnCount > 0) s.solution.assign(x + offsets[k].column + 1, x + offsets[k].column + s.columnCount);
    }
    return kSolved;
}
