#include "views/case/HIDesign.h"

#include "eng/model/IHeatIntegrationScenario.h"
#include "eng/model/StreamLynxCollection.h"
#include "lumeth/Framework.h"
#include "lumeth/Session.h"

#include <cmath>

namespace {
constexpr int kOptionArray = 109;
constexpr int kSwitch = 104;
constexpr int kLabel = 1519;

bool isPage(const VarDescription& var) { return var.Type() == kOptionArray && var.Number() == 202; }

// The command words of Message, in the order it tests them.
const char* const kCommands[] = {"OpenPerformanceView", "OpenNetworkCostView", "OpenTargetsView", "OpenDesignPage",
                                 "Optimize"};
}  // namespace

void HIDesign::DescribeForm(FormDescription& form) {
    form.Add({"OptionArray.202", FormHook::Value, kOptionArray, true, 0});
    form.Add({"Switch.201", FormHook::Value, kSwitch, false, 0});
    form.Add({"ExtraData.250", FormHook::Text, kLabel, false, 0});
    form.Add({"Viewable.1000", FormHook::Object, 0, false, 0});
    for (const char* word : kCommands) form.AddCommand(word);
}

double HIDesign::Value(const VarDescription& var) {
    if (isPage(var)) return pageNumber;
    if (var.Type() == kSwitch && var.Number() == 201) {
        IHeatIntegrationScenario* scenario = GetScenario();
        const StreamLynxCollection* links = scenario ? scenario->GetStreamLinkCollection() : nullptr;
        return links && links->GetNumberOfLinks() > 0 ? 1.0 : 0.0;
    }
    return HIDesignViewerDesign::Value(var);
}

int HIDesign::Specify(const VarDescription& var, double value) {
    if (isPage(var)) {
        // An empty or absurd page leaves the page as it is.
        if (!std::isfinite(value) || value == EmptyValue || std::fabs(value) > 2.0e9) return 0;
        pageNumber = static_cast<std::int32_t>(value);
        return 1;
    }
    return HIDesignViewerDesign::Specify(var, value);
}

Text HIDesign::TextValue(const VarDescription& var) {
    if (var.Type() == kLabel && var.Number() == 250) {
        const Viewable* owner = OwnerViewable();
        return (owner ? owner->GetName() : Text()) + " HEN";
    }
    return HIDesignViewerDesign::TextValue(var);
}

Viewable* HIDesign::AttachedObject(const VarDescription& var) {
    if (var.IsObjectLink() && var.Number() == 1000) {
        const ObjectTypeRegistry* registry = ObjectTypeRegistry::Current();
        const ObjectTypeInfo* asked = registry ? registry->Find(var.ObjectType()) : nullptr;
        if (asked && asked->IsA("ViewableObject")) {
            Viewable* owner = OwnerViewable();
            const VarDescription* next = var.GetNextLink();
            return owner && next && next->IsObjectLink() ? owner->AttachedObject(*next) : owner;
        }
    }
    return HIDesignViewerDesign::AttachedObject(var);
}

int HIDesign::optimize() {
    // Declined, the design is left as it was: nothing was done.
    if (ResponseMsg("optimizationwilloverwritedesign", 2) != 1) return 0;
    SignalBusy(true);
    IHeatIntegrationScenario* scenario = GetScenario();
    IHENDesign* design = GetDesign();
    const int result = scenario && design ? scenario->OptimizeDesign(design, optimiseOption ? 1 : 0, false) : 2;
    ReportNetworkOptimisationResult(result);
    UserStatusClear(2);
    SignalBusy(false);
    return result == kNetworkOptimised ? 1 : 0;
}

int HIDesign::Message(const Text& line) {
    const std::size_t space = line.find(' ');
    const Text word = Text(line.substr(0, space));
    if (word == "OpenPerformanceView") return View("NetworkPerformance"), 1;
    if (word == "OpenNetworkCostView") return View("NetworkCost"), 1;
    if (word == "OpenTargetsView") return View("Targets"), 1;
    if (word == "OpenDesignPage") {
        SendViewableMessage(this, FormattedText("ViewCompact DefaultView %d", pageNumber));
        return 1;
    }
    if (word == "Optimize") return optimize();
    return HIDesignViewerDesign::Message(line);
}
