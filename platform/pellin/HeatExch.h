#pragma once
// The heat exchanger of a flowsheet ("htHeatExchanger", a shell-and-tube unit by default, or
// "Lurmet_countercurrent_HX", a pure countercurrent one). Side 0 is the hot side, side 1 the
// cold side; the inlet and outlet segment of each side sit in the slot of that side, ports
// 0 "HotSideFeed", 1 "HotSideProduct", 2 "ColdSideFeed", 3 "ColdSideProduct".
//
// The unit model (HeatExchModel.cpp) works out, when asked, what its known values determine:
// of "Duty" and the four port temperatures any two, one on each side or the duty and one side's
// temperature, give the rest, the heat contents following each side's stream segments
// piecewise; a specified "HTArea" with the duty open is solved for the duty. Then the overall
// coefficient, F-factor and shells, the area, the end approaches, the feasibility and the
// capital cost. docs/architecture.md states the equations and the status codes.
#include "pellin/CNode.h"
#include "pellin/NegligibleDuty.h"

#include <vector>

class StreamNode;
class StreamProfile;

class HeatExch : public CNode {
public:
    using CNode::CNode;
    bool IsOfType(const CPString& typeName) const override;
    HeatExch* asHeatExch() override { return this; }

    // Segments at the ports of a side (0 hot, 1 cold); null when not connected.
    StreamNode* getInlet(int side) const {
        CNode* n = getIthUpStreamNode(side);
        return n ? n->asStreamNode() : nullptr;
    }
    StreamNode* getOutlet(int side) const {
        CNode* n = getIthDownStreamNode(side);
        return n ? n->asStreamNode() : nullptr;
    }
    // The outlet on the side of the given inlet, the inlet on the side of the given outlet.
    CNode* getDownStreamNode(const CNode* inlet) const;
    CNode* getUpStreamNode(const CNode* outlet) const;
    // Side of a port segment, -1 when the node is at no port.
    int sideOf(const CNode* segment) const;

    // A heater has a utility on its hot side and a process stream on its cold side, a cooler the
    // other way round.
    bool IsHeater() const;
    bool IsCooler() const;
    bool IsUtilityExch() const { return IsHeater() || IsCooler(); }
    // While a design counts a utility as a process stream (its units sized and priced at the
    // design's load of it), the units on it answer IsHeater and IsCooler no longer, yet they are
    // its heaters and coolers all the same: the design marks the side on that utility for as long
    // as it counts it so (-1: none, the default; not stored, not copied).
    void setSideOnCountedUtility(int side) { m_sideOnCountedUtility = side == 0 || side == 1 ? side : -1; }
    // A heater or cooler, whether its utility counts as one just now or as a process stream.
    bool RunsOnUtility() const { return m_sideOnCountedUtility >= 0 || IsUtilityExch(); }
    // Whether duty q (kW) is no duty of this unit: a heater's or cooler's within the rounding of
    // its closing balance either way (IsNegligibleDuty). Such a unit exchanges nothing: no area,
    // no shell, calculated and feasible, and it runs neither forwards nor backwards. A process
    // exchanger's duty is the network's own choice: none of it is negligible, and below 0 it runs
    // against the driving force, however little.
    bool HasNegligibleDuty(double q) const { return RunsOnUtility() && IsNegligibleDuty(q); }
    // A column's condenser or reboiler taken over from a simulator case ("CondReb" set).
    bool IsCondReb() const;
    // No fired heaters are modelled: every heater transfers heat across a wall.
    bool IsFiredHeater() const { return false; }
    // "HXType": 1 shell-and-tube (1-2N shells), 0 countercurrent; without the value, the kind
    // decides ("Lurmet_countercurrent_HX" 0, else 1).
    int getHXType() const;

    // "Duty" and "HTArea" as they stand; 0 when not set.
    double getLoad() const;
    double getArea() const;

    // Calculation status of the last calculation (ExchangerStatus) and its feasibility: false
    // when the temperatures cross or an end approach is below the exchanger's "DTMin".
    int getStatus() const { return m_status; }
    bool IsFeasible() const { return m_feasible; }
    // Whether calculating again would write nothing, as long as nothing changed since the last
    // calculation but what that calculation wrote itself (its port temperatures and its own
    // values); false after any calculation that could not show it. A network that passes values
    // from unit to unit recalculates each writing unit once more; a settled exchanger may be
    // passed over there instead.
    bool IsSettled() const { return m_settled; }

    // Recomputes U, F, shells, the area (unless specified) and the costs from the present duty
    // and port temperatures; answers the number of values written.
    int setArea();
    // The overall coefficient at the present temperatures: "OverallHTC" when specified, else
    // "ObservedHTC" when specified, else from the sides' film coefficients and the fouling
    // factor. 0 when none can be had.
    double calculateULogMeanTD(int mode);
    // Basis of the heat-transfer coefficient of an exchanger in operation ("StreamBased" or
    // "FlowCorrecBased"). On "FlowCorrecBased" the clean coefficient "OverallCleanHTC" is worked
    // out from the films even while an observed coefficient is specified.
    void setUCalculationMethod(const CPString& name) { m_uMethod = name; }
    const CPString& getUCalculationMethod() const { return m_uMethod; }

    // Fills the indexed value "CrossPinchLoads": entry j is the heat this exchanger moves across
    // pinch j (hot pinch temperature hotPinch[j], cold pinch temperature coldPinch[j]): for a
    // process exchanger the heat from its hot side above the pinch into its cold side below it,
    // for a heater the heat its cold side takes up below the pinch, for a cooler the heat its
    // hot side gives off above it. Needs a calculated duty and four temperatures; answers the
    // number of entries (0 leaves the value empty).
    int CalculateCrossPinchHeatLoads(const std::vector<double>& hotPinch, const std::vector<double>& coldPinch);

    // The side (0 hot, 1 cold; -1 none, the default) on a utility whose flow follows what the
    // process side needs. That side's temperatures then neither give the duty nor check it: they
    // come from the load the utility carried before, not from the duties that make its flow. An
    // open duty comes from the process side alone, and until that side has both temperatures the
    // unit is under-specified. A design sets it on its heaters and coolers while it calculates
    // (the side stays marked when the utility is treated as a process stream); it is not stored.
    // Once the utility carries the flow the duties make (`checks`), that side still gives no duty,
    // but with both its temperatures known they must agree with the duty, as any side's do: a
    // chain of such units never leaves one out of balance while it reports itself calculated.
    // With `dutyOnly` (before the utility carries that flow) the unit calculates its duty from the
    // process side and passes it on along that side only: it neither reads nor writes the
    // utility side's temperatures, nor works out an area from them, since they would be
    // forgotten once the utility takes the design's flow (a caller that finds the utility kept
    // its flow calculates the unit again without it).
    void setFollowingUtilitySide(int side, bool checks = false, bool dutyOnly = false) {
        m_followingSide = side == 0 || side == 1 ? side : -1;
        m_followingChecks = m_followingSide >= 0 && checks;
        m_followingDutyOnly = m_followingSide >= 0 && !checks && dutyOnly;
    }
    bool followsDutyOnly() const { return m_followingDutyOnly; }
    int followingUtilitySide() const { return m_followingSide; }

    // The largest duty at which both end temperature differences stay at least `dtMin`, from
    // the inlet temperatures as they stand: the hot side cools at most to the cold inlet plus
    // `dtMin`, the cold side warms at most to the hot inlet less `dtMin` (0 when the inlets are
    // closer than that). False when an inlet temperature or a side's heat content is not known.
    bool LargestDutyAtApproach(double dtMin, double& duty) const;

    // ---- the overall coefficient given by the user or taken from a simulator case ----
    // Switched on, the user's overall coefficient ("OverallHTC", specified) fixes the area; the
    // simulator switch says the coefficient came from the simulator case ("SimOverallU"). Both
    // live in the node's values "OverallUSpec" and "SimOverallUSpec" (1.0 on), so that a copy
    // and the case file keep them.
    bool GetOverallUSpec() const;
    void SetOverallUSpec(bool on);
    bool GetSimOverallUSpec() const;
    void SetSimOverallUSpec(bool on);
    // The area that the specified overall coefficient needs for the present duty and port
    // temperatures; an area the user had given gives way (the coefficient decides it now).
    // Answers the number of values written: 0 when no coefficient above 0 is given (specified,
    // or any with the switch on) or the duty or a port temperature is not known.
    int calculateAreaFromOverallU();
    // Performance from the present duty and port temperatures (U, F, shells, area, costs).
    int calculateArea() { return setArea(); }
    // The unit's calculation for a design change code.
    int calculate(int changeWhat) { return Calculate(changeWhat); }

    int Calculate(int code) override;

    // ---- what an exchanger's view asks of the model ----
    // The temperature-enthalpy profile of the exchange, rebuilt from the present duty and port
    // temperatures at every stream point of either side: "EnthalpyArray" rises from 0 at the cold
    // end (hot outlet beside cold inlet) to the duty at the hot end (hot inlet beside cold
    // outlet, as a countercurrent exchange runs); "HotTempArray" and "ColdTempArray" hold the two
    // sides' temperatures at those heat loads. Answers the number of points (0: no profile, when
    // the duty, a temperature or a side's heat content is not known).
    int RefreshTHProfile();
    // Length of a profile array (0 for another name) and its entry `index`.
    int GetTHArrayLength(const CPString& name) const;
    bool GetTHArrayData(const CPString& name, int index, double& out) const;
    // The two orientation checks: a hot side whose outlet is warmer than its inlet, a cold side
    // whose outlet is colder than its inlet (each needs both temperatures known). A grid draws
    // such an exchanger the other way round.
    bool IsHotSideReversed() const;
    bool IsColdSideReversed() const;
    // Changes the exchanger model: "htHeatExchanger" shell and tube ("HXType" 1),
    // "Lurmet_countercurrent_HX" pure countercurrent ("HXType" 0); false for another kind.
    bool ChangeModelKind(const CPString& kind);
    // The message key of the reason an exchanger is infeasible (its temperatures cross); null
    // for any other status.
    const char* InfeasibilityReasonKey() const;
    // A shell-and-tube exchanger given fewer shells in series than its end temperatures allow:
    // no F exists for them, and no area does the duty.
    bool HasTooFewShells() const;
    // The coefficient whose whole resistance 1/U a fouling resistance (m2-C/kW) is part of: the
    // observed one where the exchanger is operated, else its overall one; 0 when it has none. A
    // cleaning takes the fouling off that resistance, so a fouling as large as all of it is none
    // an exchanger can have.
    double FoulingBaseCoefficient() const;

protected:
    int fixedUpStreamSlots() const override { return 2; }
    int fixedDownStreamSlots() const override { return 2; }
    std::unique_ptr<CNode> makeEmptyCopy() const override;
    void copyStateFrom(const CNode& other) override;
    bool storeState(ILurmetBinaryFile& file) const override;
    bool recallState(ILurmetBinaryFile& file) override;

private:
    int clearPerformance();
    int solve();
    // With the profiles the flowsheet holds for the calculation, when it holds them.
    int performance(double duty, const double t[4], bool areaSpecified, const StreamProfile* heldHot = nullptr,
                    const StreamProfile* heldCold = nullptr);

    int m_status = 0;
    bool m_feasible = true;
    bool m_settled = false;
    int m_followingSide = -1;
    int m_sideOnCountedUtility = -1;
    bool m_followingChecks = false;
    bool m_followingDutyOnly = false;
    CPString m_uMethod;
    // The temperature-enthalpy profile (RefreshTHProfile); not stored, rebuilt when asked.
    std::vector<double> m_thEnthalpy, m_thHot, m_thCold;
};

// Asked for every unit in every calculation: the node answers by itself (every exchanger answers
// the exchanger's type name).
inline HeatExch* AsHeatExch(CNode* node) { return node ? node->asHeatExch() : nullptr; }
