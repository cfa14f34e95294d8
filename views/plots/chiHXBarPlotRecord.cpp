// The exchanger bar chart in the case file. Version 3 writes: the total-site flag, the design,
// the plot, the plot parameters, the viewer, the selected quantity and the bar count. Version
// 1 wrote a plain design link without the flag; versions before 3 kept no axis settings, which
// the fix-up sets as the bars would.
#include "brasko/CaseDocument.h"
#include "eng/design/IHENDesign.h"
#include "eng/model/IHeatIntegrationScenario.h"
#include "lumeth/BinaryFile.h"
#include "lumeth/PlotParameters.h"
#include "lumeth/TwoDimPlot.h"
#include "views/EnginePointers.h"
#include "views/design/HIDesignViewerDesign.h"
#include "views/plots/chiHXBarPlot.h"

bool chiHXBarPlot::StoreClassData(BinaryFile& file) {
    IHeatIntegrationScenario* scenario = m_pDesign ? m_pDesign->GetScenario() : nullptr;
    const bool totalSite = scenario && scenario->IsTotalSiteScenario();
    return file.WriteBool(totalSite) && StoreDesignPointer(file, scenario, m_pDesign) && StorePointer(file, m_pPlot) &&
           StorePlotParameters(file, m_pPlotParameters) && StorePointer(file, m_pViewer) && file.WriteInt(m_nSelected) &&
           file.WriteInt(m_nBars);
}

bool chiHXBarPlot::RecallClassData(BinaryFile& file, int version) {
    m_recallVersion = version;
    IEngineeringManager* manager = CaseEngineeringManager2(this);
    std::int32_t totalSite = 0;
    if (version >= 2 && !file.ReadInt(totalSite)) return false;
    const bool design = totalSite == 1 ? RecallDesignTotalSitePointer(file, manager, m_pDesign)
                                       : RecallDesignPointer(file, manager, m_pDesign);
    Dim2GraphControl* parameters = nullptr;
    std::int32_t selected = 0, bars = 0;
    if (!design || !RecallPointerX(file, m_recalledPlot, nullptr) || !RecallPlotParameters(file, parameters, this))
        return false;
    DeletePlotParameters(m_pPlotParameters);
    m_pPlotParameters = parameters;
    if (!RecallPointerX(file, m_recalledViewer, nullptr) || !file.ReadInt(selected) || !file.ReadInt(bars)) return false;
    // A quantity outside the list (a damaged record) shows the first one.
    m_nSelected = selected >= 0 && selected < static_cast<int>(Quantities().size()) ? selected : 0;
    return true;
}

bool chiHXBarPlot::CheckRecalledPointers() {
    Viewable* viewer = m_recalledViewer ? m_recalledViewer : GetParent();
    if (viewer && viewer->IsA(HIDesignViewerDesign::TypeName)) m_pViewer = static_cast<HIDesignViewerDesign*>(viewer);
    m_recalledViewer = nullptr;
    return true;
}

bool chiHXBarPlot::RecallFixUp() {
    m_recalledPlot = nullptr;
    // Plots are not stored: the chart draws its bars again from the design.
    ConstructPlot();
    return true;
}
