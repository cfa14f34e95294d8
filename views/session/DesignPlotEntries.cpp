#include "views/session/DesignPlotEntries.h"

#include "eng/design/IHENDesign.h"
#include "eng/model/IHeatIntegrationScenario.h"
#include "eng/core/ModuleEntry.h"
#include "lumeth/ObjectTypeInfo.h"
#include "lumeth/Session.h"
#include "lumeth/TwoDimPlot.h"
#include "views/case/scenario/HIDesignViewerScenario.h"
#include "views/design/HIDesignViewerDesign.h"
#include "views/design/HeatExchangerView.h"
#include "views/plots/chiHXBarPlot.h"
#include "views/session/EntryText.h"
#include "views/session/PlotDescription.h"

#include <memory>

namespace {
constexpr double kPictureWidth = 640.0, kPictureHeight = 480.0;
}  // namespace

namespace {

// A scenario viewer bound for the call makes every design's viewer, as it does for a user; the
// design's viewer, or null.
HIDesignViewerDesign* ViewerOf(IHENDesign* design, std::unique_ptr<HIDesignViewerScenario>& holder) {
    IHeatIntegrationScenario* scenario = design ? design->GetScenario() : nullptr;
    const ObjectTypeRegistry* registry = ObjectTypeRegistry::Current();
    const ObjectTypeInfo* type = registry ? registry->Find(HIDesignViewerScenario::TypeName) : nullptr;
    if (!scenario || !design->GetDesignName() || !type) return nullptr;
    const char* scenarioName = scenario->GetName();
    holder = std::make_unique<HIDesignViewerScenario>(nullptr, Text(scenarioName ? scenarioName : ""), type);
    holder->SetEngineeringScenario(scenario, 0);
    for (HIDesignViewerDesign* d : holder->GetDesignObjs())
        if (d->GetDesign() == design) return d;
    return nullptr;
}

}  // namespace

extern "C" int KestrinDesignPlot(IHENDesign* design, int kind, int quantity, int what, char* out, int size) {
    AttachCallingThread();
    IHeatIntegrationScenario* scenario = design ? design->GetScenario() : nullptr;
    const char* designName = design ? design->GetDesignName() : nullptr;
    if (!scenario || !designName || (kind != KestrinDesignBarChart && kind != KestrinDesignDrivingForce)) return 0;
    if (kind == KestrinDesignBarChart && (quantity < 0 || quantity > 3)) return 0;
    const ObjectTypeRegistry* registry = ObjectTypeRegistry::Current();
    const ObjectTypeInfo* type = registry ? registry->Find(HIDesignViewerScenario::TypeName) : nullptr;
    if (!type) return 0;
    // A scenario viewer bound for the call makes every design's viewer, as it does for a user.
    const char* scenarioName = scenario->GetName();
    auto viewer = std::make_unique<HIDesignViewerScenario>(nullptr, Text(scenarioName ? scenarioName : ""), type);
    viewer->SetEngineeringScenario(scenario, 0);
    HIDesignViewerDesign* designViewer = nullptr;
    for (HIDesignViewerDesign* d : viewer->GetDesignObjs())
        if (d->GetDesign() == design) designViewer = d;
    if (!designViewer) return 0;
    const TwoDimPlot* plot = nullptr;
    if (kind == KestrinDesignBarChart) {
        chiHXBarPlot* chart = designViewer->GetBarChart();
        // The choice goes through the chart's own variable, as the form makes it.
        if (!chart || chart->Specify(VarDescription(105, 250), quantity) != 1) return 0;
        plot = chart->GetPlot();
    } else {
        SendViewableMessage(designViewer, "OpenDrivingForcePlot");
        plot = designViewer->GetDrivingForcePlot();
    }
    if (!plot) return 0;
    const Text text = what == 1 ? DescribePlotJSON(*plot) : plot->ExportSVG(kPictureWidth, kPictureHeight);
    return HandOutText(text, out, size);
}

extern "C" int KestrinExchangerPlot(IHENDesign* design, const char* unit, int what, char* out, int size) {
    AttachCallingThread();
    std::unique_ptr<HIDesignViewerScenario> holder;
    HIDesignViewerDesign* designViewer = ViewerOf(design, holder);
    if (!designViewer) return 0;
    CNode* node = unit ? designViewer->FindExchangerByName(Text(unit)) : nullptr;
    if (!node) return -1;
    // The exchanger's view, as the form opens it, hands out its plot by name.
    Viewable* view = designViewer->GetEquipmentView(node);
    MessageInfo ask{6, ":THPlot", nullptr, 0, nullptr};
    if (!view || !view->GenMessage(ask) || !ask.answer) return 0;
    const TwoDimPlot* plot = static_cast<const TwoDimPlot*>(ask.answer);
    const Text text = what == 1 ? DescribePlotJSON(*plot) : plot->ExportSVG(kPictureWidth, kPictureHeight);
    return HandOutText(text, out, size);
}
