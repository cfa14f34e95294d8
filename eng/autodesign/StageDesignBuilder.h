#pragma once
// Builds a new design of the scenario from a resolved stage-wise structure: every split becomes a
// splitter-mixer, every placed stage match one process exchanger at the place on each stream where
// the stream's temperature and flow share meet the match's inlet, with the match's duty.
//
// Before anything is placed, the matches' duties are brought to each process stream's load
// (StageDutyReconciliation.cpp): the stage model meets stream ends only to its own tolerance.
//
// Places are found by temperature: while the network is laid out (the design deactivated, so the
// single edits do not each recalculate it), the segments in front of and behind each new unit are
// marked with the temperature and the share of the flow the structure gives them, and a match's
// side goes on the first segment of its stream, walking from the supply end, whose mark has been
// reached. A split that starts or ends away from the current position needs a segment there: a
// temporary exchanger against a utility (or, for a utility stream, a process stream) cuts the
// chain at that temperature and is deleted again once every match is placed. The marks go with it.
//
// The utilities then take what the exchangers leave, the degrees of freedom are brought back to
// zero by letting duties the network fixes anyway go free, and the exchangers are judged against
// the smaller of the scenario's DTmin and the network's own smallest approach (the structure is
// resolved at an approach of its own, which may lie below the scenario's DTmin).
#include "eng/autodesign/SuperStructure.h"

#include <string>
#include <vector>

class CNode;
class IHENDesign;
class IHeatIntegrationScenario;

class StageDesignBuilder : public IStageDesignBuilder {
public:
    static constexpr double kLoadTolerance = 1e-8;
    // A stage duty below a milliwatt is the solver's rounding, no exchanger: its match is not
    // placed, and the loads go to the matches and utilities that carry them.
    static constexpr double kSmallestExchangerDuty = 1e-6;
    static constexpr double kFractionTolerance = 1e-8;
    static constexpr double kTemperatureTolerance = 1e-8;
    static constexpr double kReachTolerance = 1e-4;
    static constexpr const char* kReason = "by automatic design module";
    static constexpr int kProgressCode = 64;

    // IStageDesignBuilder: 1 when a design was made (it is then one more design of the scenario),
    // 0 when the scenario could not make or give one.
    int BuildDesign(IHeatIntegrationScenario& scenario, const std::vector<IHeatIntegrationStream*>& streams,
                    const std::vector<std::unique_ptr<StageMatch>>& stageMatches,
                    std::vector<std::unique_ptr<StageSplit>>& stageSplits, IHENDesign* designToComplete) override;

    // "A_Design" + the scenario's count of designs made so far, with "_" + the count appended
    // while a design of that name exists.
    static std::string MakeDesignName(const IHeatIntegrationScenario& scenario);
    // The segment where the given side (0 hot, 1 cold) of the match goes; null when the stream
    // holds none that its marks allow.
    static CNode* FindMatchSideNode(IHeatIntegrationScenario& scenario, IHENDesign& design, const StageMatch& match,
                                    int side);
    // Marks an inner segment (neither right after the supply block nor right before the end
    // block) with a specified temperature and flow share; false (nothing written) otherwise.
    static bool MarkSegment(CNode* node, double temperature, double fraction);
    // When the design is over-specified (negative degrees of freedom), lets go specified duties of
    // the placed units (heaters and coolers first, then process exchangers in placement order)
    // that the stream balances then fix, until the degrees of freedom are 0; otherwise changes
    // nothing.
    static void RelaxDuties(IHENDesign& design, const std::vector<CNode*>& placed);
    // Brings the duties of the placed matches (a duty above kLoadTolerance) to each process
    // stream's load exactly: the stage model meets a stream's end temperature only to its own
    // tolerance, and a design whose duties on a stream add up to more than its load (or, with no
    // utility on it, to less) cannot be calculated. Utility streams take any load. Returns the
    // largest change made to one duty (kW).
    static double ReconcileDuties(const std::vector<std::unique_ptr<StageMatch>>& matches);

    // ---- what the last build left (read by the reports and the tests) ----
    std::string designName;
    // Stage matches with a duty that no pass could place: "hot-cold" at the stage.
    std::vector<std::string> unplacedMatches;
    int temporaryUnitsPlaced = 0;
    int splittersPlaced = 0;
};
