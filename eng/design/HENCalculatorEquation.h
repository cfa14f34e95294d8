#pragma once
// The balance equations of the network calculator, one object per equation. Each knows the unit
// it describes, its group (which decides its equation set and how its coefficients are taken),
// its terms (calculator variables, in a fixed order), the coefficient of each term and its text
// form. Coefficients are those of the scaled form: T enters as (T + 273.15) / 300, delT as
// delT / 300, a duty as Q / s.
//
// Kinds are created by name from the equation registry; each constructor enters its kind there
// unless the name is present, so one prototype of each, built at load, registers them all.
#include "dunmor/CPString.h"

#include <map>
#include <ostream>
#include <vector>

class CNode;
class HENCalculator;
class IHeatIntegrationStream;
struct CalculatorVariable;

// Segment variable set of the ten-segment exchanger form (keys 1..14, see the generators).
using SegmentVariableSet = std::map<int, CalculatorVariable*>;

class HENCalculatorEquation {
public:
    explicit HENCalculatorEquation(const char* group) : m_group(group) {}
    virtual ~HENCalculatorEquation() = default;
    HENCalculatorEquation(const HENCalculatorEquation&) = delete;
    HENCalculatorEquation& operator=(const HENCalculatorEquation&) = delete;

    virtual void SetUpTotalBalance(HENCalculator&, const std::vector<CalculatorVariable*>&, CNode* unit) { m_unit = unit; }
    virtual void SetUpArea(HENCalculator&, const SegmentVariableSet&, CNode* unit, int) { m_unit = unit; }
    virtual void SetUpExchangerSide(HENCalculator&, const SegmentVariableSet&, CNode* unit) { m_unit = unit; }
    virtual void SetUpBranch(HENCalculator&, CNode* unit, int) { m_unit = unit; }
    virtual void SetUp(HENCalculator&, CNode* unit) { m_unit = unit; }
    virtual void WriteEquation(std::ostream&) const {}
    virtual double GetCoefficient(int) const { return 0.0; }
    // Right-hand side constant of the scaled row before the constant terms are moved over.
    virtual double GetConstant() const { return 0.0; }

    CNode* GetUnit() const { return m_unit; }
    const CPString& GetGroup() const { return m_group; }
    const std::vector<CalculatorVariable*>& GetTerms() const { return m_terms; }

protected:
    void SetGroup(const char* group) { m_group = group; }
    void AddTerm(CalculatorVariable* v) {
        if (v) m_terms.push_back(v);
    }
    // Column of term i, for the text forms.
    int Col(std::size_t i) const;

    CNode* m_unit = nullptr;
    CPString m_group;
    std::vector<CalculatorVariable*> m_terms;
};

// Base of the side heat balances: Q / s = mf (a T_hi - b T_lo + c) on a hot side,
// Q / s = mf (b T_hi - a T_lo + c) on a cold side; a utility side carries 300 M / s on the bracket.
class HeatExchangerHeatBalanceEquation : public HENCalculatorEquation {
public:
    explicit HeatExchangerHeatBalanceEquation(int side) : HENCalculatorEquation("HXHeatBalances"), m_side(side) {}
    // Re-linearises the side at the current temperatures.
    virtual void SetUpStreamCoefficients(HENCalculator& calculator, CNode* unit, int side);
    // Divides the coefficients by the utility's heat-capacity flow rate at its supply, so that
    // M carries the flow.
    virtual void UpdateHeatCapacityFactors(IHeatIntegrationStream& utility);

    double GetCoefficient(int i) const override;
    double GetConstant() const override;
    CalculatorVariable* UtilityFlow() const { return m_M; }
    int Side() const { return m_side; }
    double A() const { return m_a; }
    double B() const { return m_b; }
    double C() const { return m_c; }
    double Scale() const { return m_s; }

protected:
    // The stream behind this side (null when none).
    IHeatIntegrationStream* SideStream(CNode* unit) const;
    void AddBalanceTerms();
    void MarkUtilityTemperatures(bool atStreamStart);
    void WriteBody(std::ostream& out) const;

    CalculatorVariable* m_Tlo = nullptr;
    CalculatorVariable* m_Thi = nullptr;
    CalculatorVariable* m_Q = nullptr;
    CalculatorVariable* m_mf = nullptr;
    CalculatorVariable* m_M = nullptr;
    double m_a = 0.0, m_b = 0.0, m_c = 0.0, m_s = 1.0;
    int m_side;
};

class HotSideHeatExchangerHeatBalanceEquation : public HeatExchangerHeatBalanceEquation {
public:
    HotSideHeatExchangerHeatBalanceEquation();
    void SetUp(HENCalculator& calculator, CNode* unit) override;
    void SetUpExchangerSide(HENCalculator& calculator, const SegmentVariableSet& set, CNode* unit) override;
    void WriteEquation(std::ostream& out) const override;
};

class ColdSideHeatExchangerHeatBalanceEquation : public HeatExchangerHeatBalanceEquation {
public:
    ColdSideHeatExchangerHeatBalanceEquation();
    void SetUp(HENCalculator& calculator, CNode* unit) override;
    void SetUpExchangerSide(HENCalculator& calculator, const SegmentVariableSet& set, CNode* unit) override;
    void WriteEquation(std::ostream& out) const override;
};

// A heater or cooler on one segment (a utility placeholder).
class DummyHeatExchangerHeatBalanceEquation : public HeatExchangerHeatBalanceEquation {
public:
    DummyHeatExchangerHeatBalanceEquation();
    void SetUp(HENCalculator& calculator, CNode* unit) override;
    void SetUpExchangerSide(HENCalculator&, const SegmentVariableSet&, CNode*) override {}
    void WriteEquation(std::ostream& out) const override;
};

class HeatExchangerMassBalanceEquation : public HENCalculatorEquation {
public:
    HeatExchangerMassBalanceEquation() : HENCalculatorEquation("MassBalances") {}
    double GetCoefficient(int i) const override { return i == 0 ? 1.0 : -1.0; }
};

class HotSideHeatExchangerMassBalanceEquation : public HeatExchangerMassBalanceEquation {
public:
    HotSideHeatExchangerMassBalanceEquation();
    void SetUp(HENCalculator& calculator, CNode* unit) override;
    void SetUpExchangerSide(HENCalculator& calculator, const SegmentVariableSet& set, CNode* unit) override;
    void WriteEquation(std::ostream& out) const override;
};

class ColdSideHeatExchangerMassBalanceEquation : public HeatExchangerMassBalanceEquation {
public:
    ColdSideHeatExchangerMassBalanceEquation();
    void SetUp(HENCalculator& calculator, CNode* unit) override;
    void SetUpExchangerSide(HENCalculator& calculator, const SegmentVariableSet& set, CNode* unit) override;
    void WriteEquation(std::ostream& out) const override;
};

class DummyHeatExchangerMassBalanceEquation : public HeatExchangerMassBalanceEquation {
public:
    DummyHeatExchangerMassBalanceEquation();
    void SetUp(HENCalculator& calculator, CNode* unit) override;
    void WriteEquation(std::ostream& out) const override;
};

class HeatExchangerDeltaTEquation : public HENCalculatorEquation {
public:
    HeatExchangerDeltaTEquation() : HENCalculatorEquation("HeatBalances") {}
    double GetCoefficient(int i) const override { return i == 0 ? 1.0 : -1.0; }
};

// delT = T_hot - T_cold at the hot-inlet end.
class HighEndHeatExDeltaTEquation : public HeatExchangerDeltaTEquation {
public:
    HighEndHeatExDeltaTEquation();
    void SetUp(HENCalculator& calculator, CNode* unit) override;
    void SetUpExchangerSide(HENCalculator& calculator, const SegmentVariableSet& set, CNode* unit) override;
    void WriteEquation(std::ostream& out) const override;
};

// delT = T_hot - T_cold at the hot-outlet end.
class LowEndHeatExDeltaTEquation : public HeatExchangerDeltaTEquation {
public:
    LowEndHeatExDeltaTEquation();
    void SetUp(HENCalculator& calculator, CNode* unit) override;
    void SetUpExchangerSide(HENCalculator& calculator, const SegmentVariableSet& set, CNode* unit) override;
    void WriteEquation(std::ostream& out) const override;
};

// Q = Q_0 + ... + Q_9 of an exchanger cut into ten segments.
class HeatExchangerTotalHeatBalanceEquation : public HENCalculatorEquation {
public:
    HeatExchangerTotalHeatBalanceEquation();
    void SetUpTotalBalance(HENCalculator& calculator, const std::vector<CalculatorVariable*>& list, CNode* unit) override;
    double GetCoefficient(int i) const override { return i == 0 ? 1.0 : -1.0; }
    void WriteEquation(std::ostream& out) const override;
    // The end temperatures (hot out, hot in, cold in, cold out) and the area, for the updates.
    const std::vector<CalculatorVariable*>& Held() const { return m_held; }

private:
    std::vector<CalculatorVariable*> m_held;
};

// Q_k = U F (A / 10) (delT_k + delT_k+1) / 2.
class HeatExchangerAreaEquation : public HENCalculatorEquation {
public:
    HeatExchangerAreaEquation();
    void SetUpArea(HENCalculator& calculator, const SegmentVariableSet& set, CNode* unit, int segment) override;
    double GetCoefficient(int i) const override;
    void WriteEquation(std::ostream& out) const override;
    // The segment's two side balances, whose heat-capacity flow rates make the mean temperature
    // difference of the segment its log mean.
    void SetSegmentSides(const HENCalculatorEquation* hot, const HENCalculatorEquation* cold) {
        m_hotSide = hot;
        m_coldSide = cold;
    }

private:
    double DeltaTFactor() const;
    double LogMeanFactor(double segmentUA) const;
    CalculatorVariable* m_area = nullptr;
    const HENCalculatorEquation* m_hotSide = nullptr;
    const HENCalculatorEquation* m_coldSide = nullptr;
};

class SplitterMassBalanceEquation : public HENCalculatorEquation {
public:
    SplitterMassBalanceEquation();
    void SetUp(HENCalculator& calculator, CNode* unit) override;
    double GetCoefficient(int i) const override { return i == 0 ? 1.0 : -1.0; }
    void WriteEquation(std::ostream& out) const override;
};

// mf_branch = f_b mf_in, f_b the branch's share of the splitter's inlet.
class SplitterPercentBalanceEquation : public HENCalculatorEquation {
public:
    SplitterPercentBalanceEquation();
    void SetUpBranch(HENCalculator& calculator, CNode* unit, int branch) override;
    double GetCoefficient(int i) const override;
    void WriteEquation(std::ostream& out) const override;
    double Fraction() const;

private:
    int m_branch = 0;
};

class SplitterHeatBalanceEquation : public HENCalculatorEquation {
public:
    SplitterHeatBalanceEquation();
    void SetUpBranch(HENCalculator& calculator, CNode* unit, int branch) override;
    double GetCoefficient(int i) const override { return i == 0 ? 1.0 : -1.0; }
    void WriteEquation(std::ostream& out) const override;
};

class MixerMassBalanceEquation : public HENCalculatorEquation {
public:
    MixerMassBalanceEquation();
    void SetUp(HENCalculator& calculator, CNode* unit) override;
    double GetCoefficient(int i) const override { return i == 0 ? 1.0 : -1.0; }
    void WriteEquation(std::ostream& out) const override;
};

// mf_out T_out = sum of mf_i T_i.
class MixerHeatBalanceEquation : public HENCalculatorEquation {
public:
    MixerHeatBalanceEquation();
    void SetUp(HENCalculator& calculator, CNode* unit) override;
    double GetCoefficient(int i) const override;
    void WriteEquation(std::ostream& out) const override;

private:
    std::vector<CalculatorVariable*> m_fractions;  // mf of the outlet, then of each inlet
};

// Registers the fifteen kinds by building one prototype of each (the load routine calls this
// at its equation steps; `index` 0..14 in registration order, -1 all).
void RegisterCalculatorEquation(int index);
