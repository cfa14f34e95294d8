// The range-target plot in the case file. Version 3 writes: total-site flag, scenario, plot,
// plot parameters, the x, left and right quantities, the active and the entered insert
// position, the design entries and the mode. Versions 1 and 2 wrote a plain scenario link
// without the total-site flag, and version 1 no mode.
#include "brasko/CaseDocument.h"
#include "eng/model/IHeatIntegrationScenario.h"
#include "lumeth/PlotParameters.h"
#include "views/EnginePointers.h"
#include "views/plots/ChiSuperTargetPlot.h"

bool ChiSuperTargetPlot::StoreClassData(BinaryFile& file) {
    const bool totalSite = m_pScenario && m_pScenario->IsTotalSiteScenario();
    bool ok = file.WriteChar(totalSite ? 1 : 0) && StoreScenarioPointer(file, m_pScenario) && StorePointer(file, m_pPlot) &&
              StorePlotParameters(file, m_pPlotParameters) && file.WriteInt(m_nX) && file.WriteInt(m_nLeft) &&
              file.WriteInt(m_nRight) && file.WriteInt(m_nActiveInsert) && file.WriteInt(m_nEnteredInsert) &&
              file.WriteInt(m_lstDesigns.Count());
    for (std::int32_t i = 0; ok && i < m_lstDesigns.Count(); ++i)
        ok = file.WriteCPString(m_lstDesigns[i]->strName) && file.WriteInt(m_lstDesigns[i]->nDataSet);
    return ok && file.WriteInt(m_nMode);
}

bool ChiSuperTargetPlot::RecallClassData(BinaryFile& file, int version) {
    IEngineeringManager* manager = CaseEngineeringManager2(this);
    char totalSite = 0;
    if (version >= 3 && !file.ReadChar(totalSite)) return false;
    const bool scenario = totalSite ? RecallScenarioTotalSitePointer(file, manager, m_pScenario)
                                    : RecallScenarioPointer(file, manager, m_pScenario);
    if (!scenario || !RecallPointerX(file, m_pRecalledPlot, nullptr) ||
        !RecallPlotParameters(file, m_pPlotParameters, this))
        return false;
    std::int32_t x = 0, left = 0, right = 0, active = 0, entered = 0, count = 0;
    if (!file.ReadInt(x) || !file.ReadInt(left) || !file.ReadInt(right) || !file.ReadInt(active) ||
        !file.ReadInt(entered) || !file.ReadItemCount(count))
        return false;
    for (std::int32_t i = 0; i < count; ++i) {
        CPString name;
        std::int32_t n = 0;
        if (!file.ReadCPString(name) || !file.ReadInt(n)) return false;
        m_lstDesigns.Append(new PlotDesignEntry{name, n});
    }
    std::int32_t mode = 0;
    if (version >= 2) {
        if (!file.ReadInt(mode)) return false;
    } else {
        // The first version carried no mode: a plot over DTmin was the range-target plot.
        mode = x == QuantityDTmin ? RangeTargets : GeneralPlot;
    }
    m_nMode = mode;
    // A quantity that is none of the eleven (a damaged record) falls back to the mode's own.
    const bool general = mode != RangeTargets;
    auto quantity = [](std::int32_t q, int fallback) { return q >= QuantityDTmin && q <= QuantityNone ? q : fallback; };
    m_nX = quantity(x, general ? QuantityOperatingCost : QuantityDTmin);
    m_nLeft = quantity(left, general ? QuantityCapitalCost : QuantityTotalCost);
    m_nRight = quantity(right, QuantityNone);
    m_nActiveInsert = active;
    m_nEnteredInsert = entered;
    return true;
}

bool ChiSuperTargetPlot::CheckRecalledPointers() { return true; }

bool ChiSuperTargetPlot::RecallFixUp() {
    if (m_pRecalledPlot && m_pRecalledPlot->IsA("TwoDimPlotObject")) m_pPlot = static_cast<TwoDimPlot*>(m_pRecalledPlot);
    m_pRecalledPlot = nullptr;
    // Plots are rebuilt, not stored: the series come back from the quantities, the designs'
    // data sets from their entries under the numbers the forms know them by.
    const bool drawn = m_pPlot != nullptr;
    ConstructPlot();
    if (m_pPlot && !drawn) {
        for (const PlotDesignEntry* e : m_lstDesigns) CreateDesignSet(e->strName, e->nDataSet, (e->nDataSet - 3) % 2 != 0);
        if (m_nRight != QuantityNone) SetRightQuantity(m_nRight);
    }
    FixUpDeltaTempMonikers();
    return true;
}
