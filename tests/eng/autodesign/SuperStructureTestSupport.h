#pragma once
// Candidate sets for the superstructure tests: match records of a test scenario given the load and
// smallest approach a targeting solution would have left on them, and a superstructure that keeps
// what it hands its solver.
#include "brasko/LurmetSparseMatrix.h"
#include "eng/autodesign/SuperStructure.h"
#include "eng/autodesign/SuperStructureStage.h"
#include "tests/eng/autodesign/AutoDesignTestSupport.h"
#include "traval/IMILPSolver.h"

#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace superstructure_test {

struct CandidateSpec {
    const char* hot;
    const char* cold;
    double load;
    double approach = 4.0;
};

class CandidateSet {
public:
    CandidateSet(autodesign_test::AutoDesignProject& p, const std::vector<CandidateSpec>& specs) : project(p) {
        MatchwiseStreamDataList* list = p.scenario->GetMatchwiseStreamData();
        for (const CandidateSpec& c : specs) {
            MatchwiseStreamData* r = list->FindMatch(p.Stream(c.hot), p.Stream(c.cold));
            if (!r) continue;
            r->dTolerance[0] = c.load;
            r->dTolerance[1] = c.approach;
            records.push_back(r);
            for (const char* n : {c.hot, c.cold}) dictionary.emplace(n, p.Stream(n));
        }
    }
    int Run(HeatExchangerNetworkSuperStructure& s, const char* hotUtility = "HU", const char* coldUtility = "CU") {
        return s.Run(dictionary, &records, hotUtility ? project.Stream(hotUtility) : nullptr,
                     coldUtility ? project.Stream(coldUtility) : nullptr);
    }
    bool SetUp(HeatExchangerNetworkSuperStructure& s, const char* hotUtility = "HU", const char* coldUtility = "CU") {
        return s.SetUpCandidates(dictionary, &records, hotUtility ? project.Stream(hotUtility) : nullptr,
                                 coldUtility ? project.Stream(coldUtility) : nullptr);
    }
    autodesign_test::AutoDesignProject& project;
    std::vector<MatchwiseStreamData*> records;
    std::unordered_map<std::string, IHeatIntegrationStream*> dictionary;
};

// What one solver was given.
struct SolverCall {
    int rows = 0;
    int columns = 0;
    bool integer = false;  // some column integer: the MILP
    std::string rowTypes;
    std::vector<double> rhs;
    std::shared_ptr<LurmetSparseMatrix> matrix;
};

// Keeps every model handed to a solver; `refuse(n)` true makes the n-th solver (0-based) unavailable.
class RecordingSuperStructure : public HeatExchangerNetworkSuperStructure {
public:
    std::unique_ptr<IMILPSolver> CreateSolver(const char* flags, const LurmetSparseMatrix& matrix, const char* rowTypes,
                                              const double* rhs, const double* objective) const override {
        SolverCall call;
        call.rows = matrix.GetNumberOfRows();
        call.columns = matrix.GetNumberOfColumns();
        call.integer = std::string(flags).find('1') != std::string::npos;
        call.rowTypes = rowTypes;
        call.rhs.assign(rhs, rhs + call.rows);
        call.matrix = std::make_shared<LurmetSparseMatrix>(matrix);
        calls.push_back(std::move(call));
        if (refuse && refuse(static_cast<int>(calls.size()) - 1)) return nullptr;
        return HeatExchangerNetworkSuperStructure::CreateSolver(flags, matrix, rowTypes, rhs, objective);
    }
    int MILPCalls() const {
        int n = 0;
        for (const SolverCall& c : calls) n += c.integer ? 1 : 0;
        return n;
    }
    mutable std::vector<SolverCall> calls;
    std::function<bool(int)> refuse;
};

// The stages of the first attempt, built as a run builds them, without solving.
inline std::vector<std::unique_ptr<SuperStructureStage>> BuildStages(HeatExchangerNetworkSuperStructure& s, int n) {
    s.stageCount = n;
    s.BuildStageTemperatures(n);
    std::vector<std::unique_ptr<SuperStructureStage>> stages;
    for (int k = 1; k <= n; ++k) {
        for (std::size_t i = 0; i < s.matches.size(); ++i) s.GetStageMatch(static_cast<int>(i), k);
        stages.push_back(std::make_unique<SuperStructureStage>(k));
        stages.back()->Build(s);
    }
    return stages;
}

}  // namespace superstructure_test
