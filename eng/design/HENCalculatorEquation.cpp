#include "eng/design/HENCalculatorEquation.h"

#include "eng/design/HENCalculator.h"
#include "eng/model/IHeatIntegrationStream.h"
#include "eng/core/Registries.h"
#include "osmeri/CPValue.h"
#include "pellin/HeatExch.h"
#include "pellin/NodeKinds.h"
#include "pellin/StreamNodes.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

namespace {
constexpr double kKelvin = 273.15;
constexpr double kTemperatureScale = 300.0;

// The node's value holder of that name. A node that lacks the value gets it, open: every
// equation that names the quantity must meet in one column, which an inner variable would not.
CPValue* Holder(CNode* node, const char* name) {
    if (!node) return nullptr;
    if (!node->hasVariable(name)) node->addVariable(name, 0.0, ValueStatus::Open);
    return node->findValue(name);
}

CalculatorVariable* Reg(HENCalculator& c, CNode* node, const char* value, const char* name) {
    return c.RegisterVariable(Holder(node, value), name);
}

CalculatorVariable* Key(const SegmentVariableSet& set, int key) {
    auto it = set.find(key);
    return it == set.end() ? nullptr : it->second;
}

HeatExch* Exchanger(CNode* unit) { return NodeCast<HeatExch>(unit, NodeKind::CountercurrentHX); }

IHeatIntegrationStream* StreamOf(CNode* node) {
    StreamNode* segment = AsStreamNode(node);
    return segment ? dynamic_cast<IHeatIntegrationStream*>(segment->getParentPIStream()) : nullptr;
}

std::string UnitName(const CNode* unit) {
    if (!unit) return std::string();
    CPString name;
    if (unit->getVariableAsString(NodeValue::UnitOperationName, name)) return std::string(name.c_str());
    return std::string(unit->getName().c_str());
}

template <typename... Args>
void Print(std::ostream& out, const char* format, Args... args) {
    char buffer[512];
    std::snprintf(buffer, sizeof buffer, format, args...);
    out << buffer;
}

// Heat-capacity flow rate of the stream's segment that holds the temperature (the end segments
// carry on beyond the stream's ends).
double CpAt(const IHeatIntegrationStream& s, double t) {
    const int n = s.GetNumberOfSegments();
    if (n <= 0) return 0.0;
    for (int i = 0; i < n; ++i) {
        double a = 0.0, b = 0.0;
        if (!s.GetValue("Temperature", a, i) || !s.GetValue("Temperature", b, i + 1)) continue;
        if ((t >= std::min(a, b) && t <= std::max(a, b)) || i == n - 1) {
            // Before the first segment (on its far side) the first segment carries on.
            double first = 0.0;
            s.GetValue("Temperature", first, 0);
            const bool hot = s.GetHotCold() == 0;
            if (i == n - 1 && n > 1 && ((hot && t > first) || (!hot && t < first))) return s.GetSegmentHeatCapacityFlowrate(0);
            return s.GetSegmentHeatCapacityFlowrate(i);
        }
    }
    return s.GetSegmentHeatCapacityFlowrate(0);
}

template <typename T, typename F>
void Enter(const char* kind, F factory) {
    (void)sizeof(T);
    ModuleRegistries::RegisterEquation(kind, factory);
}
}  // namespace

int HENCalculatorEquation::Col(std::size_t i) const { return i < m_terms.size() ? m_terms[i]->column : -1; }

// ---------------------------------------------------------------- side heat balances

IHeatIntegrationStream* HeatExchangerHeatBalanceEquation::SideStream(CNode* unit) const {
    if (HeatExch* x = Exchanger(unit)) return StreamOf(x->getInlet(m_side == 1 ? 1 : 0));
    return unit ? StreamOf(unit->getIthUpStreamNode(0)) : nullptr;
}

void HeatExchangerHeatBalanceEquation::SetUpStreamCoefficients(HENCalculator& calculator, CNode* unit, int side) {
    m_side = side;
    IHeatIntegrationStream* stream = SideStream(unit);
    const double s = calculator.DutyScale();
    m_s = s;
    m_c = 0.0;
    if (!stream || !m_Thi || !m_Tlo) {
        m_a = m_b = kTemperatureScale / s;
        return;
    }
    const double tHi = m_Thi->Current();
    const double tLo = m_Tlo->Current();
    double flow = 0.0, cp = 0.0;
    const bool hot = side == 0;
    if (stream->GetStreamKind() != 1 && stream->GetValue("MassFlow", flow, 0) && flow > 0.0 &&
        stream->GetMeanSpecificHeat(hot ? tHi : tLo, hot ? tLo : tHi, nullptr, &cp) && cp > 0.0) {
        m_a = m_b = flow * cp;
    } else {
        // Piecewise over the stream's points between the ends: the heat between T_lo and T_hi
        // is H_top T_hi - H_bottom T_lo + sum over inner points of (H_below - H_above) T_p.
        const double lo = std::min(tHi, tLo), hi = std::max(tHi, tLo);
        std::vector<double> points;
        for (int i = 0; i <= stream->GetNumberOfSegments(); ++i) {
            double t = 0.0;
            if (stream->GetValue("Temperature", t, i) && t > lo && t < hi) points.push_back(t);
        }
        std::sort(points.begin(), points.end());
        points.erase(std::unique(points.begin(), points.end()), points.end());
        std::vector<double> edges{lo};
        edges.insert(edges.end(), points.begin(), points.end());
        edges.push_back(hi);
        auto cpIn = [&](std::size_t k) { return CpAt(*stream, 0.5 * (edges[k] + edges[k + 1])); };
        const double top = cpIn(edges.size() - 2), bottom = cpIn(0);
        for (std::size_t k = 1; k + 1 < edges.size(); ++k) m_c += (cpIn(k - 1) - cpIn(k)) * edges[k];
        if (hot) {
            m_a = top;
            m_b = bottom;
            m_c += (m_b - m_a) * kKelvin;
        } else {
            m_a = bottom;
            m_b = top;
            m_c += (m_a - m_b) * kKelvin;
        }
        m_c /= s;
    }
    m_a *= kTemperatureScale / s;
    m_b *= kTemperatureScale / s;
}

void HeatExchangerHeatBalanceEquation::UpdateHeatCapacityFactors(IHeatIntegrationStream& utility) {
    const double d = utility.GetSegmentValueAtTemperature(utility.GetSupplyTemperature(), NodeValue::HeatCapacityFlowrate) *
                     kTemperatureScale / m_s;
    if (d > 1e-8) {
        m_a /= d;
        m_b /= d;
        m_c /= d;
    } else {
        m_a = m_b = 1.0;
    }
}

namespace {
double FlowFactor(const CalculatorVariable* M, double s) { return M ? kTemperatureScale / s * M->Current() : 1.0; }
}  // namespace

double HeatExchangerHeatBalanceEquation::GetCoefficient(int i) const {
    if (i == 0) return 1.0;
    const double mf = m_mf ? m_mf->Current() : 1.0;
    const double k = FlowFactor(m_M, m_s);
    const bool hot = m_side == 0;
    if (i == 1) return -mf * (hot ? m_a : m_b) * k;
    if (i == 2) return mf * (hot ? m_b : m_a) * k;
    return 0.0;
}

// A utility side carries the flow factor on the whole bracket, constant included, as its text
// form shows.
double HeatExchangerHeatBalanceEquation::GetConstant() const {
    const double mf = m_mf ? m_mf->Current() : 1.0;
    return mf * m_c * FlowFactor(m_M, m_s);
}

void HeatExchangerHeatBalanceEquation::AddBalanceTerms() {
    AddTerm(m_Q);
    if (m_Thi && m_Tlo) {
        AddTerm(m_Thi);
        AddTerm(m_Tlo);
    }
}

void HeatExchangerHeatBalanceEquation::MarkUtilityTemperatures(bool atStreamStart) {
    CalculatorVariable* outlet = m_side == 0 ? m_Tlo : m_Thi;
    CalculatorVariable* inlet = m_side == 0 ? m_Thi : m_Tlo;
    if (outlet) outlet->SetStatus(2);
    if (inlet && !atStreamStart) inlet->SetStatus(2);
}

void HeatExchangerHeatBalanceEquation::WriteBody(std::ostream& out) const {
    if (m_terms.size() < 3) return;
    const double mf = m_mf ? m_mf->Current() : 1.0;
    const bool hot = m_side == 0;
    const double first = mf * (hot ? m_a : m_b), second = mf * (hot ? m_b : m_a), c = mf * m_c;
    if (m_M)
        Print(out, "Q%d = %5.9f * (%5.9f * T%d - %5.9f * T%d + (%5.9f));\n\n", Col(0), FlowFactor(m_M, m_s), first, Col(1),
              second, Col(2), c);
    else
        Print(out, "Q%d = %5.9f * T%d - %5.9f * T%d + (%5.9f);\n\n", Col(0), first, Col(1), second, Col(2), c);
}

namespace {
bool AtStreamStart(CNode* inlet) {
    CNode* before = inlet ? inlet->getIthUpStreamNode(0) : nullptr;
    return before && before->IsOfType(NodeKind::FeedBlock);
}
}  // namespace

HotSideHeatExchangerHeatBalanceEquation::HotSideHeatExchangerHeatBalanceEquation() : HeatExchangerHeatBalanceEquation(0) {
    Enter<HotSideHeatExchangerHeatBalanceEquation>("HotSideHeatExchangerHeatBalance", +[]() -> HENCalculatorEquation* {
        return new HotSideHeatExchangerHeatBalanceEquation();
    });
}

void HotSideHeatExchangerHeatBalanceEquation::SetUp(HENCalculator& c, CNode* unit) {
    m_unit = unit;
    HeatExch* x = Exchanger(unit);
    if (!x) return;
    CNode* in = x->getInlet(0);
    m_Thi = Reg(c, in, NodeValue::Temperature, "T");
    m_Tlo = Reg(c, x->getOutlet(0), NodeValue::Temperature, "T");
    m_mf = c.FlowShare(in);
    m_Q = Reg(c, unit, NodeValue::Duty, "Q");
    if (x->IsHeater()) {
        SetGroup("UtilitySideBalances");
        if (IHeatIntegrationStream* u = StreamOf(in)) m_M = c.RegisterVariable(c.UtilityFlow(u->GetName()), "M");
        MarkUtilityTemperatures(AtStreamStart(in));
    }
    AddBalanceTerms();
    SetUpStreamCoefficients(c, unit, 0);
    m_Q->scale = m_s;
}

void HotSideHeatExchangerHeatBalanceEquation::SetUpExchangerSide(HENCalculator& c, const SegmentVariableSet& set, CNode* unit) {
    m_unit = unit;
    m_Q = Key(set, 11);
    m_Thi = Key(set, 3);
    m_Tlo = Key(set, 5);
    m_mf = Key(set, 7);
    m_M = Key(set, 13);
    if (m_M) SetGroup("UtilitySideBalances");
    AddBalanceTerms();
    SetUpStreamCoefficients(c, unit, 0);
    if (m_Q) m_Q->scale = m_s;
}

void HotSideHeatExchangerHeatBalanceEquation::WriteEquation(std::ostream& out) const {
    Print(out, "!Heat Exchanger (%s) Hot Side Balance;\n", UnitName(m_unit).c_str());
    WriteBody(out);
}

ColdSideHeatExchangerHeatBalanceEquation::ColdSideHeatExchangerHeatBalanceEquation() : HeatExchangerHeatBalanceEquation(1) {
    Enter<ColdSideHeatExchangerHeatBalanceEquation>("ColdSideHeatExchangerHeatBalance", +[]() -> HENCalculatorEquation* {
        return new ColdSideHeatExchangerHeatBalanceEquation();
    });
}

void ColdSideHeatExchangerHeatBalanceEquation::SetUp(HENCalculator& c, CNode* unit) {
    m_unit = unit;
    HeatExch* x = Exchanger(unit);
    if (!x) return;
    CNode* in = x->getInlet(1);
    m_Thi = Reg(c, x->getOutlet(1), NodeValue::Temperature, "T");
    m_Tlo = Reg(c, in, NodeValue::Temperature, "T");
    m_mf = c.FlowShare(in);
    m_Q = Reg(c, unit, NodeValue::Duty, "Q");
    if (x->IsCooler()) {
        SetGroup("UtilitySideBalances");
        if (IHeatIntegrationStream* u = StreamOf(in)) m_M = c.RegisterVariable(c.UtilityFlow(u->GetName()), "M");
        MarkUtilityTemperatures(AtStreamStart(in));
    }
    AddBalanceTerms();
    SetUpStreamCoefficients(c, unit, 1);
    m_Q->scale = m_s;
}

void ColdSideHeatExchangerHeatBalanceEquation::SetUpExchangerSide(HENCalculator& c, const SegmentVariableSet& set, CNode* unit) {
    m_unit = unit;
    m_Q = Key(set, 11);
    m_Thi = Key(set, 4);
    m_Tlo = Key(set, 6);
    m_mf = Key(set, 9);
    m_M = Key(set, 14);
    if (m_M) SetGroup("UtilitySideBalances");
    AddBalanceTerms();
    SetUpStreamCoefficients(c, unit, 1);
    if (m_Q) m_Q->scale = m_s;
}

void ColdSideHeatExchangerHeatBalanceEquation::WriteEquation(std::ostream& out) const {
    Print(out, "!Heat Exchanger (%s) Cold Side Balance;\n", UnitName(m_unit).c_str());
    WriteBody(out);
}

DummyHeatExchangerHeatBalanceEquation::DummyHeatExchangerHeatBalanceEquation() : HeatExchangerHeatBalanceEquation(0) {
    Enter<DummyHeatExchangerHeatBalanceEquation>("DummyHeatExchangerHeatBalance", +[]() -> HENCalculatorEquation* {
        return new DummyHeatExchangerHeatBalanceEquation();
    });
}

void DummyHeatExchangerHeatBalanceEquation::SetUp(HENCalculator& c, CNode* unit) {
    m_unit = unit;
    if (!unit) return;
    CNode* up = unit->getIthUpStreamNode(0);
    CNode* down = unit->getIthDownStreamNode(0);
    IHeatIntegrationStream* stream = StreamOf(up);
    m_Q = Reg(c, unit, NodeValue::Duty, "Q");
    m_side = stream ? stream->GetHotCold() : 2;
    if (m_side == 0) {
        m_Thi = Reg(c, up, NodeValue::Temperature, "T");
        m_Tlo = Reg(c, down, NodeValue::Temperature, "T");
    } else if (m_side == 1) {
        m_Thi = Reg(c, down, NodeValue::Temperature, "T");
        m_Tlo = Reg(c, up, NodeValue::Temperature, "T");
    }
    m_mf = c.FlowShare(up);
    if (stream && stream->GetStreamKind() == 1) {
        c.AddDummyUtilityUnit(unit);
        SetGroup("UtilitySideBalances");
        m_M = c.RegisterVariable(c.UtilityFlow(stream->GetName()), "M");
    }
    AddBalanceTerms();
    SetUpStreamCoefficients(c, unit, m_side);
    m_Q->scale = m_s;
}

void DummyHeatExchangerHeatBalanceEquation::WriteEquation(std::ostream& out) const {
    out << "!Dummy Exchanger Heat Balance;\n";
    if (m_side != 2) WriteBody(out);
}

// ---------------------------------------------------------------- mass balances

HotSideHeatExchangerMassBalanceEquation::HotSideHeatExchangerMassBalanceEquation() {
    Enter<HotSideHeatExchangerMassBalanceEquation>("HotSideHeatExchangerMassBalance", +[]() -> HENCalculatorEquation* {
        return new HotSideHeatExchangerMassBalanceEquation();
    });
}

void HotSideHeatExchangerMassBalanceEquation::SetUp(HENCalculator& c, CNode* unit) {
    m_unit = unit;
    if (HeatExch* x = Exchanger(unit)) {
        AddTerm(c.FlowShare(x->getInlet(0)));
        AddTerm(c.FlowShare(x->getOutlet(0)));
    }
}

void HotSideHeatExchangerMassBalanceEquation::SetUpExchangerSide(HENCalculator&, const SegmentVariableSet& set, CNode* unit) {
    m_unit = unit;
    AddTerm(Key(set, 7));
    AddTerm(Key(set, 8));
}

void HotSideHeatExchangerMassBalanceEquation::WriteEquation(std::ostream& out) const {
    out << "!Heat Exchanger;\n";
    Print(out, "mf%d = mf%d;\n", Col(0), Col(1));
}

ColdSideHeatExchangerMassBalanceEquation::ColdSideHeatExchangerMassBalanceEquation() {
    Enter<ColdSideHeatExchangerMassBalanceEquation>("ColdSideHeatExchangerMassBalance", +[]() -> HENCalculatorEquation* {
        return new ColdSideHeatExchangerMassBalanceEquation();
    });
}

void ColdSideHeatExchangerMassBalanceEquation::SetUp(HENCalculator& c, CNode* unit) {
    m_unit = unit;
    if (HeatExch* x = Exchanger(unit)) {
        AddTerm(c.FlowShare(x->getInlet(1)));
        AddTerm(c.FlowShare(x->getOutlet(1)));
    }
}

void ColdSideHeatExchangerMassBalanceEquation::SetUpExchangerSide(HENCalculator&, const SegmentVariableSet& set, CNode* unit) {
    m_unit = unit;
    AddTerm(Key(set, 9));
    AddTerm(Key(set, 10));
}

void ColdSideHeatExchangerMassBalanceEquation::WriteEquation(std::ostream& out) const {
    Print(out, "mf%d = mf%d;\n\n", Col(0), Col(1));
}

DummyHeatExchangerMassBalanceEquation::DummyHeatExchangerMassBalanceEquation() {
    Enter<DummyHeatExchangerMassBalanceEquation>("DummyHeatExchangerMassBalance", +[]() -> HENCalculatorEquation* {
        return new DummyHeatExchangerMassBalanceEquation();
    });
}

void DummyHeatExchangerMassBalanceEquation::SetUp(HENCalculator& c, CNode* unit) {
    m_unit = unit;
    if (!unit) return;
    AddTerm(c.FlowShare(unit->getIthUpStreamNode(0)));
    AddTerm(c.FlowShare(unit->getIthDownStreamNode(0)));
}

void DummyHeatExchangerMassBalanceEquation::WriteEquation(std::ostream& out) const {
    out << "!Dummy Exchanger;\n";
    Print(out, "mf%d = mf%d;\n\n", Col(0), Col(1));
}

// ---------------------------------------------------------------- end differences

HighEndHeatExDeltaTEquation::HighEndHeatExDeltaTEquation() {
    Enter<HighEndHeatExDeltaTEquation>("HighEndHeatExchangerDeltaT", +[]() -> HENCalculatorEquation* {
        return new HighEndHeatExDeltaTEquation();
    });
}

void HighEndHeatExDeltaTEquation::SetUp(HENCalculator& c, CNode* unit) {
    m_unit = unit;
    if (HeatExch* x = Exchanger(unit)) {
        AddTerm(Reg(c, x->getInlet(0), NodeValue::Temperature, "T"));
        AddTerm(Reg(c, x->getOutlet(1), NodeValue::Temperature, "T"));
        AddTerm(Reg(c, unit, NodeValue::HighEndDelT, "delT"));
    }
}

void HighEndHeatExDeltaTEquation::SetUpExchangerSide(HENCalculator&, const SegmentVariableSet& set, CNode* unit) {
    m_unit = unit;
    AddTerm(Key(set, 3));
    AddTerm(Key(set, 4));
    AddTerm(Key(set, 1));
}

void HighEndHeatExDeltaTEquation::WriteEquation(std::ostream& out) const {
    out << "!Heat Exchanger;\n";
    Print(out, "delT%d = (T%d - T%d);\n", Col(2), Col(0), Col(1));
}

LowEndHeatExDeltaTEquation::LowEndHeatExDeltaTEquation() {
    Enter<LowEndHeatExDeltaTEquation>("LowEndHeatExchangerDeltaT", +[]() -> HENCalculatorEquation* {
        return new LowEndHeatExDeltaTEquation();
    });
}

void LowEndHeatExDeltaTEquation::SetUp(HENCalculator& c, CNode* unit) {
    m_unit = unit;
    if (HeatExch* x = Exchanger(unit)) {
        AddTerm(Reg(c, x->getOutlet(0), NodeValue::Temperature, "T"));
        AddTerm(Reg(c, x->getInlet(1), NodeValue::Temperature, "T"));
        AddTerm(Reg(c, unit, NodeValue::LowEndDelT, "delT"));
    }
}

void LowEndHeatExDeltaTEquation::SetUpExchangerSide(HENCalculator&, const SegmentVariableSet& set, CNode* unit) {
    m_unit = unit;
    AddTerm(Key(set, 5));
    AddTerm(Key(set, 6));
    AddTerm(Key(set, 2));
}

void LowEndHeatExDeltaTEquation::WriteEquation(std::ostream& out) const {
    Print(out, "delT%d = (T%d - T%d);\n\n", Col(2), Col(0), Col(1));
}

// ---------------------------------------------------------------- segmented exchangers

HeatExchangerTotalHeatBalanceEquation::HeatExchangerTotalHeatBalanceEquation() : HENCalculatorEquation("TotalHeatBalances") {
    Enter<HeatExchangerTotalHeatBalanceEquation>("HeatExchangerTotalHeatBalance", +[]() -> HENCalculatorEquation* {
        return new HeatExchangerTotalHeatBalanceEquation();
    });
}

void HeatExchangerTotalHeatBalanceEquation::SetUpTotalBalance(HENCalculator&, const std::vector<CalculatorVariable*>& list,
                                                              CNode* unit) {
    m_unit = unit;
    if (list.size() < 16) return;
    AddTerm(list[10]);
    for (int k = 0; k < 10; ++k) AddTerm(list[static_cast<std::size_t>(k)]);
    if (list[10] && list[0]) list[10]->scale = list[0]->scale;
    m_held.assign(list.begin() + 11, list.begin() + 16);
}

void HeatExchangerTotalHeatBalanceEquation::WriteEquation(std::ostream& out) const {
    if (m_terms.size() < 11) return;
    Print(out, "!Heat Exchanger (%s) Total Heat Balance;\n", UnitName(m_unit).c_str());
    Print(out, "Q%d = ", Col(0));
    for (std::size_t k = 1; k < 10; ++k) Print(out, "Q%d + ", Col(k));
    Print(out, "Q%d;\n\n", Col(10));
}

HeatExchangerAreaEquation::HeatExchangerAreaEquation() : HENCalculatorEquation("AreaEquations") {
    Enter<HeatExchangerAreaEquation>("HeatExchangerArea", +[]() -> HENCalculatorEquation* { return new HeatExchangerAreaEquation(); });
}

void HeatExchangerAreaEquation::SetUpArea(HENCalculator&, const SegmentVariableSet& set, CNode* unit, int) {
    m_unit = unit;
    AddTerm(Key(set, 11));
    AddTerm(Key(set, 1));
    AddTerm(Key(set, 2));
    m_area = Key(set, 12);
}

// The log mean over the arithmetic mean of a segment's end differences. With constant heat-capacity
// flow rates C_h and C_c over the segment the differences fall by exp(-x), x = UA (1/C_h - 1/C_c),
// so the ratio is tanh(x/2) / (x/2) whatever the temperatures. Without it a segment whose NTU
// passes 2 would turn its differences over (the arithmetic mean of a large coefficient drives the
// far end below zero) and the exchanger would lose duty as its coefficient grows.
double HeatExchangerAreaEquation::LogMeanFactor(double segmentUA) const {
    const auto* hot = dynamic_cast<const HeatExchangerHeatBalanceEquation*>(m_hotSide);
    const auto* cold = dynamic_cast<const HeatExchangerHeatBalanceEquation*>(m_coldSide);
    if (!hot || !cold || hot->GetTerms().size() < 3 || cold->GetTerms().size() < 3 || !(segmentUA > 0.0)) return 1.0;
    // A side's heat-capacity flow rate: the mean of its two temperature coefficients, unscaled.
    auto flowRate = [](const HeatExchangerHeatBalanceEquation& side) {
        return 0.5 * (side.GetCoefficient(2) - side.GetCoefficient(1)) * side.Scale() / kTemperatureScale;
    };
    const double ch = flowRate(*hot), cc = flowRate(*cold);
    if (!(ch > 1e-12) || !(cc > 1e-12)) return 1.0;
    const double half = 0.5 * segmentUA * std::fabs(1.0 / ch - 1.0 / cc);
    if (half < 1e-6) return 1.0 - half * half / 3.0;
    return std::tanh(half) / half;
}

// U x 300 x F x A / (20 s_Q): Q_k = U F (A / 10) (delT_k + delT_k+1) / 2 in the scaled form, times
// the segment's log-mean factor.
double HeatExchangerAreaEquation::DeltaTFactor() const {
    if (!m_unit || m_terms.empty()) return 0.0;
    double u = 0.0, f = 1.0;
    m_unit->getVariableAsDouble(NodeValue::OverallHTC, u);
    if (!m_unit->getVariableAsDouble(NodeValue::FtFactor, f)) f = 1.0;
    const double a = m_area ? m_area->Current() : 0.0;
    return u * kTemperatureScale * f * a / (20.0 * m_terms[0]->scale) * LogMeanFactor(u * f * a / 10.0);
}

double HeatExchangerAreaEquation::GetCoefficient(int i) const { return i == 0 ? 1.0 : -DeltaTFactor(); }

void HeatExchangerAreaEquation::WriteEquation(std::ostream& out) const {
    if (!m_area || m_area->Current() == 0.0 || m_terms.size() < 3) return;
    if (m_area->holder ? m_area->holder->GetStatus() != 1 : m_area->status != 1) return;
    Print(out, "!Heat Exchanger Area (%s); \n", UnitName(m_unit).c_str());
    Print(out, "Q%d = %5.9f * (delT%d + delT%d);\n\n", Col(0), DeltaTFactor(), Col(1), Col(2));
}

// ---------------------------------------------------------------- splitters and mixers

SplitterMassBalanceEquation::SplitterMassBalanceEquation() : HENCalculatorEquation("MassBalances") {
    Enter<SplitterMassBalanceEquation>("SplitterMassBalance", +[]() -> HENCalculatorEquation* { return new SplitterMassBalanceEquation(); });
}

void SplitterMassBalanceEquation::SetUp(HENCalculator& c, CNode* unit) {
    m_unit = unit;
    if (!unit) return;
    AddTerm(c.FlowShare(unit->getIthUpStreamNode(0)));
    for (CNode* branch : unit->getAllDownStreamNodes()) AddTerm(c.FlowShare(branch));
}

void SplitterMassBalanceEquation::WriteEquation(std::ostream& out) const {
    out << "!Splitter; \n";
    Print(out, "mf%d = ", Col(0));
    for (std::size_t i = 1; i + 1 < m_terms.size(); ++i) Print(out, "mf%d + ", Col(i));
    Print(out, "mf%d;\n\n", Col(m_terms.size() - 1));
}

SplitterPercentBalanceEquation::SplitterPercentBalanceEquation() : HENCalculatorEquation("PercentBalances") {
    Enter<SplitterPercentBalanceEquation>("SplitterPercentBalance", +[]() -> HENCalculatorEquation* {
        return new SplitterPercentBalanceEquation();
    });
}

void SplitterPercentBalanceEquation::SetUpBranch(HENCalculator& c, CNode* unit, int branch) {
    m_unit = unit;
    m_branch = branch;
    if (!unit) return;
    AddTerm(c.FlowShare(unit->getIthDownStreamNode(branch)));
    AddTerm(c.FlowShare(unit->getIthUpStreamNode(0)));
}

// The branch's share of the splitter's inlet, as the branch segment states it.
double SplitterPercentBalanceEquation::Fraction() const {
    CNode* branch = m_unit ? m_unit->getIthDownStreamNode(m_branch) : nullptr;
    double f = 0.0;
    return branch && branch->getVariableAsDouble(NodeValue::SplitFraction, f) ? f : 0.0;
}

double SplitterPercentBalanceEquation::GetCoefficient(int i) const { return i == 0 ? 1.0 : -Fraction(); }

void SplitterPercentBalanceEquation::WriteEquation(std::ostream& out) const {
    out << "!Splitter; \n";
    Print(out, "mf%d = %5.9f * mf%d;\n\n", Col(0), Fraction(), Col(1));
}

SplitterHeatBalanceEquation::SplitterHeatBalanceEquation() : HENCalculatorEquation("HeatBalances") {
    Enter<SplitterHeatBalanceEquation>("SplitterHeatBalance", +[]() -> HENCalculatorEquation* { return new SplitterHeatBalanceEquation(); });
}

void SplitterHeatBalanceEquation::SetUpBranch(HENCalculator& c, CNode* unit, int branch) {
    m_unit = unit;
    if (!unit) return;
    AddTerm(Reg(c, unit->getIthUpStreamNode(0), NodeValue::Temperature, "T"));
    AddTerm(Reg(c, unit->getIthDownStreamNode(branch), NodeValue::Temperature, "T"));
}

void SplitterHeatBalanceEquation::WriteEquation(std::ostream& out) const {
    out << "!Splitter; \n";
    Print(out, "T%d = T%d;\n\n", Col(0), Col(1));
}

MixerMassBalanceEquation::MixerMassBalanceEquation() : HENCalculatorEquation("MassBalances") {
    Enter<MixerMassBalanceEquation>("MixerMassBalance", +[]() -> HENCalculatorEquation* { return new MixerMassBalanceEquation(); });
}

void MixerMassBalanceEquation::SetUp(HENCalculator& c, CNode* unit) {
    m_unit = unit;
    if (!unit) return;
    AddTerm(c.FlowShare(unit->getIthDownStreamNode(0)));
    for (CNode* in : unit->getAllUpStreamNodes()) AddTerm(c.FlowShare(in));
}

void MixerMassBalanceEquation::WriteEquation(std::ostream& out) const {
    out << "!Mixer; \n";
    for (std::size_t i = 1; i + 1 < m_terms.size(); ++i) Print(out, "mf%d + ", Col(i));
    Print(out, "mf%d = mf%d;\n\n", Col(m_terms.size() - 1), Col(0));
}

MixerHeatBalanceEquation::MixerHeatBalanceEquation() : HENCalculatorEquation("MxHeatBalances") {
    Enter<MixerHeatBalanceEquation>("MixerHeatBalance", +[]() -> HENCalculatorEquation* { return new MixerHeatBalanceEquation(); });
}

void MixerHeatBalanceEquation::SetUp(HENCalculator& c, CNode* unit) {
    m_unit = unit;
    if (!unit) return;
    CNode* out = unit->getIthDownStreamNode(0);
    CalculatorVariable* tOut = Reg(c, out, NodeValue::Temperature, "T");
    AddTerm(tOut);
    m_fractions.push_back(c.FlowShare(out));
    if (IHeatIntegrationStream* s = StreamOf(out); s && s->GetStreamKind() == 1) tOut->SetStatus(2);
    for (CNode* in : unit->getAllUpStreamNodes()) {
        AddTerm(Reg(c, in, NodeValue::Temperature, "T"));
        m_fractions.push_back(c.FlowShare(in));
    }
}

double MixerHeatBalanceEquation::GetCoefficient(int i) const {
    if (i < 0 || static_cast<std::size_t>(i) >= m_fractions.size()) return 0.0;
    const double f = m_fractions[static_cast<std::size_t>(i)]->Current();
    return i == 0 ? f : -f;
}

void MixerHeatBalanceEquation::WriteEquation(std::ostream& out) const {
    out << "!Mixer; \n";
    const std::size_t n = m_terms.size();
    if (n < 2) return;
    for (std::size_t i = 1; i + 1 < n; ++i) Print(out, "%5.9f * T%d + ", -GetCoefficient(static_cast<int>(i)), Col(i));
    Print(out, "%5.9f * T%d = %5.9f * T%d;\n\n", -GetCoefficient(static_cast<int>(n - 1)), Col(n - 1), GetCoefficient(0), Col(0));
}

// ---------------------------------------------------------------- registration

void RegisterCalculatorEquation(int index) {
    // One prototype each, in the order of the load routine; each constructor enters its kind.
    auto build = [](int i) {
        switch (i) {
            case 0: HeatExchangerTotalHeatBalanceEquation{}; break;
            case 1: HotSideHeatExchangerHeatBalanceEquation{}; break;
            case 2: ColdSideHeatExchangerHeatBalanceEquation{}; break;
            case 3: DummyHeatExchangerHeatBalanceEquation{}; break;
            case 4: HeatExchangerAreaEquation{}; break;
            case 5: HotSideHeatExchangerMassBalanceEquation{}; break;
            case 6: ColdSideHeatExchangerMassBalanceEquation{}; break;
            case 7: DummyHeatExchangerMassBalanceEquation{}; break;
            case 8: HighEndHeatExDeltaTEquation{}; break;
            case 9: LowEndHeatExDeltaTEquation{}; break;
            case 10: SplitterMassBalanceEquation{}; break;
            case 11: SplitterPercentBalanceEquation{}; break;
            case 12: SplitterHeatBalanceEquation{}; break;
            case 13: MixerMassBalanceEquation{}; break;
            case 14: MixerHeatBalanceEquation{}; break;
            default: break;
        }
    };
    if (index >= 0) build(index);
    else
        for (int i = 0; i < 15; ++i) build(i);
}
