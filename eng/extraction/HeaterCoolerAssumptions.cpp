#include "eng/extraction/HeaterCoolerAssumptions.h"

#include "brasko/ReportHolder.h"
#include "eng/design/IHENDesign.h"
#include "eng/model/IHeatIntegrationScenario.h"
#include "eng/model/IHeatIntegrationStream.h"
#include "lumeth/Messages.h"
#include "pellin/CNode.h"

namespace {
constexpr const char* kSection = "Assumptions";
constexpr const char* kEntry = "Heaters_and_coolers";
constexpr const char* kPath = "Assumptions:Heaters_and_coolers";
}  // namespace

void RestateHeaterAndCoolerAssumptions(IHeatIntegrationScenario& scenario) {
    ReportHolder* report = nullptr;
    scenario.GetReportHolder(report);
    if (!report || !report->HasEntry(kPath)) return;
    IHENDesign* design = nullptr;
    if (!scenario.GetDesign(CPString(IHeatIntegrationScenario::ExtractedNetworkDesignName), design)) design = nullptr;
    CPString text;
    IHeatIntegrationStream* utility = nullptr;
    for (int i = 0; design && scenario.GetStreamOfKind(i, utility, 1, 2) && utility; ++i) {
        CNode* unit = nullptr;
        for (int k = 0; design->GetUnitOnStream(utility->GetName(), k, unit) && unit; ++k) {
            if (!text.empty()) text += "\n";
            text += FormatMessage(FindString("ExtractionHeaterOrCooler"),
                                  {utility->GetName(), utility->GetHotCold() == 0 ? "heater" : "cooler", unit->getName()});
        }
    }
    // An empty text takes the entry out of the report: the extraction's section stays, empty.
    report->SetText(kPath, text.c_str());
    if (text.empty()) report->AddEntry(kSection, kEntry);
}
