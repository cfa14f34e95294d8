#pragma once
// The retrofit driver the scenario runs for each modification step: it analyses the base network
// (`HenRetrofit`), builds the chosen modification into the new design with the design's own
// editing operations, checks the exchangers' added area by weighted optimisation passes and
// answers a result code. Side 0 of an exchanger is its hot side throughout.
#include "eng/retrofit/RetrofitDriver.h"
#include "traval/MILPReduction.h"

class RunDirectory;

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class CNode;
class IHenRetrofit;

class PinchRetrofitDriver : public RetrofitDriver {
public:
    // Result codes.
    static constexpr int SolverError = 0;
    static constexpr int NoNewExchanger = 5;
    static constexpr int NewExchangerAdded = 7;
    static constexpr int NoProcessExchanger = 19;
    static constexpr int NoAlternativeUtility = 24;
    static constexpr int OptimisationFailed = 26;
    static constexpr int AreaStillAdded = 27;
    static constexpr int DesignOptimised = 28;
    static constexpr int NoRepiping = 29;
    static constexpr int RepipingInPlace = 30;
    static constexpr int ExchangerRepiped = 31;
    static constexpr int NoResequencing = 32;
    static constexpr int ExchangerResequenced = 34;
    static constexpr int NotValid = 35;
    static constexpr int UtilityChanged = 39;
    static constexpr int SavingsFailed = 41;

    // What the solver's log holds after a run the solver refused for lack of memory.
    static constexpr const char* kSolverErrorText = "[Error Code:  108]";
    static constexpr const char* kSolverLogName = "Datafile.LOG";

    int Run(ScenarioRetrofitSettings& settings, IHENDesign& newDesign) override;
    void EndRun() override {
        m_kept.Clear();
        m_moves.clear();
    }

    // The solver's log, "Datafile.LOG" in a directory the run makes for itself and removes when it
    // ends, so that only the run's own solve can leave the error it is read for, and no file of
    // that name in the temporary directory is read or removed. Empty outside a run.
    const std::string& SolverLogPath() const { return m_solverLogPath; }

protected:
    // The analysis object of one mode; tests hand in their own.
    virtual std::unique_ptr<IHenRetrofit> CreateAnalysis();

private:
    int AddNewExchanger(IHenRetrofit& analysis);
    int RepipeExchanger(IHenRetrofit& analysis);
    int ResequenceExchanger(IHenRetrofit& analysis);
    int ModifyUtilityExchanger(IHenRetrofit& analysis);
    // 0 when the solver's log holds its error, else `otherwise`.
    int CheckSolverLog(int otherwise) const;
    // 1 an optimisation failed, 2 added area is left, 3 the added area is negligible.
    int CheckAreaLimits();
    std::string AreaLeftOnHeldUnits() const;
    bool RunDesignOptimisation(int weight);
    // The duty and area of every exchanger and the split fraction of every branch as the
    // modification placed them, to go back to when the area check ends with a network that
    // cannot be built.
    struct PlacedValue {
        const char* name = nullptr;
        bool present = false;
        double value = 0.0;
        int status = 0, flag = 0;
    };
    struct PlacedUnit {
        std::uint32_t fingerprint = 0;
        PlacedValue values[2];  // an exchanger's duty and area; a branch's split fraction
    };
    using PlacedNetwork = std::vector<PlacedUnit>;
    PlacedNetwork KeepPlacedNetwork() const;
    // Answers whether it gave a unit or branch of a network locked for operation the duty or share
    // the design had (the network ran at it to its area equations' precision).
    bool HoldExistingDuties();
    std::vector<CPString> LowerNewExchangerDuty();
    void RestorePlacedNetwork(const PlacedNetwork& placed);
    // A stream piece of the base flowsheet on a complete process stream (of that side: 0 hot,
    // 1 cold; -1 either).
    bool IsProcessStreamLocation(std::uint32_t fingerprint, int side = -1) const;
    std::uint32_t Location(int outletTrace, const int inletTraces[2], int side) const;
    bool HasExchangers() const;
    // Whether the unit of the design carries a duty that is more than negligible.
    bool CarriesDuty(std::uint32_t fingerprint) const;
    bool AreApproachesPositive() const;
    CNode* Node(std::uint32_t fingerprint) const;
    // The id this step chose, at the entry of the step in its kind's history.
    void KeepHistoryEntry(std::array<int, 5>& history, int id) const;
    // Whether an earlier step of the run offered the same move (the exchanger, and the places its
    // hot and cold inlets take): the steps are alternatives from one base, and one move is one
    // alternative whichever column of the model chose it. The step's why then names that step.
    // A move not offered before is remembered.
    bool RepeatsEarlierMove(std::uint32_t unit, std::uint32_t hot, std::uint32_t cold, const CPString& name);

    ScenarioRetrofitSettings* m_settings = nullptr;
    IHENDesign* m_design = nullptr;
    std::uint32_t m_modifiedUnit = 0;  // the exchanger the step added or moved
    // The steps of a run solve one modification model, each with the earlier steps' choices
    // excluded: the reduction of a large one made in the first step serves the later ones. It is
    // dropped when a run starts and when it ends.
    MILPReduction m_kept;
    struct OfferedMove {
        int step = 0;
        std::uint32_t unit = 0, hot = 0, cold = 0;
    };
    std::vector<OfferedMove> m_moves;  // the moves the run's steps offered, in the mode of the run
    std::string m_solverLogPath;
    RunDirectory* m_logs = nullptr;
};
