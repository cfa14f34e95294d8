// The heat-integration plot in the case file. Version 7 writes: named flag, plot parameters,
// total-site flag, scenario, owner, graph type, plot, the designs of the cost plots and the
// designs of the retrofit alpha plot. Older versions lack some of these (see RecallClassData).
#include "brasko/CaseDocument.h"
#include "eng/model/IHeatIntegrationScenario.h"
#include "lumeth/PlotParameters.h"
#include "views/EnginePointers.h"
#include "views/plots/chiPlot.h"

namespace {

bool storeEntries(BinaryFile& file, const HVector<PlotDesignEntry*>& list) {
    if (!file.WriteInt(list.Count())) return false;
    for (const PlotDesignEntry* e : list)
        if (!file.WriteCPString(e->strName) || !file.WriteInt(e->nDataSet)) return false;
    return true;
}

bool recallEntries(BinaryFile& file, HVector<PlotDesignEntry*>& list) {
    std::int32_t count = 0;
    if (!file.ReadItemCount(count)) return false;
    for (std::int32_t i = 0; i < count; ++i) {
        CPString name;
        std::int32_t number = 0;
        if (!file.ReadCPString(name) || !file.ReadInt(number)) return false;
        list.Append(new PlotDesignEntry{name, number});
    }
    return true;
}

}  // namespace

bool chiPlot::StoreClassData(BinaryFile& file) {
    const bool totalSite = m_pScenario && m_pScenario->IsTotalSiteScenario();
    return file.WriteChar(m_bNamed ? 1 : 0) && StorePlotParameters(file, m_pPlotParameters) &&
           file.WriteChar(totalSite ? 1 : 0) && StoreScenarioPointer(file, m_pScenario) && StorePointer(file, m_pOwner) &&
           file.WriteInt(m_nGraphType) && StorePointer(file, m_pPlot) && storeEntries(file, m_lstAlpha) &&
           storeEntries(file, m_lstRetrofitAlpha);
}

bool chiPlot::RecallClassData(BinaryFile& file, int version) {
    m_nRecallVersion = version;
    char named = 0;
    if (!file.ReadChar(named)) return false;
    m_bNamed = named != 0;
    if (!RecallPlotParameters(file, m_pPlotParameters, this)) return false;
    IEngineeringManager* manager = CaseEngineeringManager2(this);
    char totalSite = 0;
    if (version > 5 && !file.ReadChar(totalSite)) return false;
    const bool scenario = totalSite ? RecallScenarioTotalSitePointer(file, manager, m_pScenario)
                                    : RecallScenarioPointer(file, manager, m_pScenario);
    std::int32_t graph = 1;
    if (!scenario || !RecallPointerX(file, m_pRecalledOwner, nullptr) || !file.ReadInt(graph)) return false;
    m_nGraphType = graph;
    if (version >= 2 && !RecallPointerX(file, m_pRecalledPlot, nullptr)) return false;
    if (version >= 4 && !recallEntries(file, m_lstAlpha)) return false;
    if (version >= 5 && !recallEntries(file, m_lstRetrofitAlpha)) return false;
    return true;
}

// Every version's links are checked the same way: a record of version 1 or 2 has fewer of
// them, not a broken one, and reads back whole.
bool chiPlot::CheckRecalledPointers() { return true; }

bool chiPlot::RecallFixUp() {
    m_pOwner = m_pRecalledOwner ? m_pRecalledOwner : GetParent();
    if (m_pRecalledPlot && m_pRecalledPlot->IsA("TwoDimPlotObject")) m_pPlot = static_cast<TwoDimPlot*>(m_pRecalledPlot);
    m_pRecalledPlot = m_pRecalledOwner = nullptr;
    // The utility composite curve, and the grand composite curve of files before version 7,
    // changed their data sets: a plot of theirs is drawn anew.
    if (m_pPlot && (m_nGraphType == UtilityCompositeCurve || (m_nGraphType == GrandCompositeCurve && m_nRecallVersion < 7))) {
        TwoDimPlot* old = m_pPlot;
        m_pPlot = nullptr;
        delete old;
    }
    const bool drawn = m_pPlot != nullptr;
    ConstructPlot(m_nGraphType);
    if (m_pPlot && !drawn) {
        // Plots are rebuilt, not stored: the designs' data sets come back from their entries,
        // under the numbers the forms know them by.
        const HVector<PlotDesignEntry*>& list = m_nGraphType == RetrofitAlphaPlot ? m_lstRetrofitAlpha : m_lstAlpha;
        for (const PlotDesignEntry* e : list) CreateDesignSet(m_nGraphType, e->strName, e->nDataSet);
    }
    if (m_pPlot && m_nGraphType == RetrofitAlphaPlot) m_pPlot->SetIgnoreInvisible(true);
    return true;
}
