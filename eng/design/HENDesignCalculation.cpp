// The design's use of its network calculator: the whole network solved as one system.
#include "eng/design/HENCalculator.h"
#include "eng/design/HENCalculatorEquation.h"
#include "eng/design/HENDesign.h"
#include "pellin/HeatExch.h"
#include "pellin/NodeKinds.h"

HENCalculator& CPIHENDesign::GetNetworkCalculator() {
    if (!m_calculator || m_calculator->GetFlowSheet() != m_sheet.get())
        m_calculator = std::make_unique<HENCalculator>(m_sheet.get(), &m_unitsByStream);
    return *m_calculator;
}

int CPIHENDesign::RunNetworkCalculator() {
    HENCalculator& calculator = GetNetworkCalculator();
    calculator.PrepareStreams();
    calculator.Build();
    calculator.Solve();
    m_calculationStatus = calculator.GetStatus();
    // A network the equations do not fix keeps the values it had.
    if (m_calculationStatus == "NotDetermined") return GetCalculationStatus();
    for (HENCalculatorEquation* e : calculator.GetHeatSet()) calculator.FinishUtilitySide(*e);
    // Areas, coefficients and costs of the exchangers at the solved duties and temperatures, a
    // heater's or cooler's read with its utility carrying this network's solved load of it (as
    // the units are priced): the load the utility last carried may no longer give it a profile
    // over the range it now runs, and the unit would keep the area of an earlier operating point.
    const bool swap = !m_exchangers.empty() && m_usedUtilities.empty();
    if (swap) SwapInUtilityLoads(false);
    for (CNode* unit : m_exchangers)
        if (HeatExch* x = AsHeatExch(unit); x && x->getVariableStatus(NodeValue::HTArea) != ValueStatus::Specified)
            x->setArea();
    if (swap) SwapOutUtilityLoads();
    m_calculationStatus = calculator.GetStatus();
    UpdateUtilityLoads();
    return GetCalculationStatus();
}
