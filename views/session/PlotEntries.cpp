#include "views/session/PlotEntries.h"
#include "views/session/EntryText.h"
#include "views/session/PlotDescription.h"

#include "eng/design/IHENDesign.h"
#include "eng/model/IHeatIntegrationScenario.h"
#include "eng/core/ModuleEntry.h"
#include "lumeth/DisplayUnits.h"
#include "lumeth/ObjectTypeInfo.h"
#include "views/case/scenario/HIDesignViewerScenario.h"
#include "views/plots/ChiSuperTargetPlot.h"
#include "views/plots/chiPlot.h"

#include <cmath>
#include <cstring>
#include <memory>

namespace {

// The plot of a graph type with the scenario's designs on it, as the scenario viewer keeps it.
// The area over heat demand curve reads its series from the range-target plot of the scenario
// viewer that owns it, so that graph is taken from a viewer bound to the scenario for the
// drawing; every other graph reads the scenario directly and needs no owner.
class ScenarioPlot {
public:
    ScenarioPlot(IHeatIntegrationScenario* scenario, int graphType) {
        if (!scenario || graphType < 1 || graphType > 16 || graphType == NoGraph) return;
        if (graphType == AreaHeatDemandCurve) {
            if (!bindViewer(scenario)) return;
            HenPlotList* plots = m_viewer->GetHenPlotList();
            for (int i = 0; plots && i < plots->Count() && !m_plot; ++i)
                if (plots->GetIth(i)->GetGraphType() == graphType) m_plot = plots->GetIth(i);
        } else {
            m_own = std::make_unique<chiPlot>(nullptr, scenario, false);
            m_own->ConstructPlot(graphType);
            m_plot = m_own.get();
            // The viewer reports its designs to its plots on binding; a plot of its own gets them here.
            IHENDesign* design = nullptr;
            for (int i = 0; scenario->GetDesign(i, design, 0) && design; ++i) {
                const Text name = design->GetDesignName();
                m_plot->Update_ALPHA(name, Text(), DesignAdded);
                m_plot->Update_AreaLoad(name, Text(), DesignAdded);
                m_plot->Update_InvestSaving(name, Text(), DesignAdded);
                m_plot->Update_PaybackInvest(name, Text(), DesignAdded);
                m_plot->Update_Retrofit_ALPHA(name, Text(), DesignAdded);
            }
        }
        if (!m_plot || !m_plot->GetPlot()) {
            m_plot = nullptr;
            return;
        }
        m_plot->UpdateAlphaFeasibility();
        m_plot->ShowManager(scenario->IsRetrofitScenario() ? 1 : 0);
    }
    ScenarioPlot(const ScenarioPlot&) = delete;
    ScenarioPlot& operator=(const ScenarioPlot&) = delete;
    // The viewer deletes the plots it owns and leaves the scenario's receivers.
    ~ScenarioPlot() = default;

    chiPlot* get() const { return m_plot; }
    explicit operator bool() const { return m_plot != nullptr; }
    chiPlot* operator->() const { return m_plot; }

private:
    bool bindViewer(IHeatIntegrationScenario* scenario) {
        const ObjectTypeRegistry* registry = ObjectTypeRegistry::Current();
        const ObjectTypeInfo* type = registry ? registry->Find(HIDesignViewerScenario::TypeName) : nullptr;
        if (!type) return false;
        const char* name = scenario->GetName();
        m_viewer = std::make_unique<HIDesignViewerScenario>(nullptr, Text(name ? name : ""), type);
        m_viewer->SetEngineeringScenario(scenario, 0);
        return m_viewer->GetSuperTargetPlot() != nullptr;
    }

    std::unique_ptr<HIDesignViewerScenario> m_viewer;
    std::unique_ptr<chiPlot> m_own;
    chiPlot* m_plot = nullptr;
};

}  // namespace

extern "C" int KestrinScenarioPlot(IHeatIntegrationScenario* scenario, int graphType, int what, char* out, int size) {
    AttachCallingThread();
    const ScenarioPlot plot(scenario, graphType);
    if (!plot) return 0;
    const Text text = what == 1 ? DescribePlotJSON(*plot->GetPlot())
                                : plot->GetPlot()->ExportSVG(chiPlot::PictureWidth, chiPlot::PictureHeight);
    return HandOutText(text, out, size);
}

extern "C" int KestrinRangeTargetPlot(IHeatIntegrationScenario* scenario, int mode, int x, int left, int right, int what,
                                      char* out, int size) {
    AttachCallingThread();
    if (!scenario || (mode != ChiSuperTargetPlot::GeneralPlot && mode != ChiSuperTargetPlot::RangeTargets)) return 0;
    ChiSuperTargetPlot plot(nullptr, scenario, mode);
    plot.ConstructPlot();
    if (!plot.GetPlot()) return 0;
    // The choice goes through the plot's own quantity variables, so it refuses what a user
    // typing into its form would be refused.
    const int chosen[] = {x, left, right};
    for (int axis = 0; axis < 3; ++axis) {
        if (chosen[axis] < 0) continue;
        VarDescription var(105, 210);
        var.SetOffset(0, axis);
        if (plot.Specify(var, chosen[axis]) != 1) return -1 - axis;
    }
    if (mode == ChiSuperTargetPlot::GeneralPlot) {
        IHENDesign* design = nullptr;
        for (int i = 0; scenario->GetDesign(i, design, 0) && design; ++i)
            plot.UpdateDesign(design->GetDesignName(), Text(), DesignAdded);
    }
    // The general plot keeps its key out of its window; a picture names its series and designs.
    plot.GetPlot()->GetLegend().Show();
    // Its window title says only "General Plot"; a picture's title names what is drawn.
    TwoDimPlot& picture = *plot.GetPlot();
    const Text& across = picture.GetXAxisPtr()->title;
    const Text& up = picture.GetYAxisPtr()->title;
    if (mode == ChiSuperTargetPlot::GeneralPlot && !across.empty() && !up.empty()) {
        Text title = up;
        const Axis* right = picture.GetRightYAxisPtr();
        if (right && right->IsVisible() && !right->title.empty()) title += " and " + right->title;
        picture.title = title + " against " + across;
    }
    const Text text = what == 1 ? DescribePlotJSON(*plot.GetPlot())
                                : plot.GetPlot()->ExportSVG(ChiSuperTargetPlot::PictureWidth, ChiSuperTargetPlot::PictureHeight);
    return HandOutText(text, out, size);
}

extern "C" int KestrinDescribePlotPoint(IHeatIntegrationScenario* scenario, int graphType, double heatFlow,
                                        double temperature, char* out, int size) {
    AttachCallingThread();
    const ScenarioPlot plot(scenario, graphType);
    if (!plot) return 0;
    Text text;
    plot->Interaction().DescribeValues(heatFlow, temperature, text);
    return HandOutText(text, out, size);
}
