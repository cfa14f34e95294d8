#include "views/session/ExtractionWizardEntries.h"
#include "views/session/EntryText.h"

#include "eng/extraction/DataExtractionConfig.h"
#include "eng/extraction/SimulatorCaseProvider.h"
#include "eng/model/IHeatIntegrationProject.h"
#include "eng/model/IHeatIntegrationScenario.h"
#include "eng/core/ModuleEntry.h"
#include "lumeth/Session.h"
#include "lumeth/VarEnumInfo.h"
#include "osmeri/CPItem.h"
#include "ralvex/Case.h"
#include "views/case/DataExtractionView.h"

#include <cstring>
#include <string>

namespace {

DataExtractionView* wizardOf(void* handle) { return static_cast<DataExtractionView*>(handle); }

bool parse(const char* address, VarDescription& var) { return address && VarDescription::Parse(address, var); }

// The answer of an input: its result, and on a refusal the text of the last message the wizard
// showed while it ran (the message key when the catalogue has no text).
int answer(int result, std::uint64_t before, const Text& otherwise, char* message, int size) {
    if (result == 1) {
        HandOutText(Text(), message, size);
        return 1;
    }
    Text shown;
    for (const SessionEntry& e : Session::Instance().EntriesSince(before))
        if (e.event == SessionEvent::Error) shown = e.text.empty() ? e.key : e.text;
    HandOutText(shown.empty() ? otherwise : shown, message, size);
    return 0;
}

std::uint64_t mark() { return Session::Instance().NextSequence() - 1; }

}  // namespace

extern "C" void* KestrinExtractionWizardOpen(IHeatIntegrationScenario* scenario) {
    AttachCallingThread();
    if (!scenario) return nullptr;
    return new DataExtractionView(nullptr, scenario->GetDataExtractionConfig(), scenario);
}

extern "C" void KestrinExtractionWizardClose(void* wizard) {
    AttachCallingThread();
    delete wizardOf(wizard);
}

extern "C" int KestrinExtractionWizardSpecify(void* wizard, const char* address, double value, char* message, int size) {
    AttachCallingThread();
    if (!wizard || !address) return answer(0, mark(), "no wizard", message, size);
    const std::uint64_t before = mark();
    const int result = SpecifyValue(wizardOf(wizard), address, value);
    return answer(result, before, result < 0 ? "the wizard has no variable " + Text(address) : "not taken", message,
                  size);
}

extern "C" int KestrinExtractionWizardSpecifyText(void* wizard, const char* address, const char* text, char* message,
                                                   int size) {
    AttachCallingThread();
    if (!wizard || !address || !text) return answer(0, mark(), "no wizard", message, size);
    const std::uint64_t before = mark();
    const int result = SpecifyValueText(wizardOf(wizard), address, text);
    return answer(result, before, result < 0 ? "the wizard has no variable " + Text(address) : "not taken", message,
                  size);
}

extern "C" int KestrinExtractionWizardCommand(void* wizard, const char* line, char* message, int size) {
    AttachCallingThread();
    if (!wizard || !line) return answer(0, mark(), "no wizard", message, size);
    const std::uint64_t before = mark();
    return answer(SendViewableMessage(wizardOf(wizard), line), before, "not done", message, size);
}

extern "C" double KestrinExtractionWizardValue(void* wizard, const char* address) {
    AttachCallingThread();
    VarDescription var;
    return wizard && parse(address, var) ? wizardOf(wizard)->Value(var) : Viewable::EmptyValue;
}

extern "C" int KestrinExtractionWizardText(void* wizard, const char* address, char* out, int size) {
    AttachCallingThread();
    VarDescription var;
    return HandOutText(wizard && parse(address, var) ? wizardOf(wizard)->TextValue(var) : Text(), out, size);
}

extern "C" int KestrinExtractionWizardDimension(void* wizard, const char* address) {
    AttachCallingThread();
    VarDescription var;
    if (!wizard || !parse(address, var)) return -1;
    DimInfo dims;
    wizardOf(wizard)->Dimensions(var, dims);
    return dims.NumberOfDims() > 0 ? dims.Dim(0) : -1;
}

extern "C" int KestrinExtractionWizardChoice(void* wizard, const char* address, int index, double* value, char* text,
                                             int size) {
    AttachCallingThread();
    VarDescription var;
    if (!wizard || !parse(address, var) || index < 0) return 0;
    const VarEnumInfo* choices = wizardOf(wizard)->GetEnumInfo(VariableNameInfo(var, Text()));
    const VarEnumInfo::Entry* entry = choices ? choices->GetEntry(index) : nullptr;
    if (!entry) return 0;
    if (value) *value = entry->value;
    HandOutText(entry->text, text, size);
    return 1;
}

extern "C" int KestrinListCaseSubFlowsheets(IHeatIntegrationScenario* scenario, const char* path, char* error, int size) {
    AttachCallingThread();
    IHeatIntegrationProject* project = scenario ? scenario->GetProject() : nullptr;
    IDataExtraction* extraction = project ? project->GetDataExtraction() : nullptr;
    if (!extraction || !path) {
        HandOutText("the module offers no data extraction", error, size);
        return -1;
    }
    Case* document = extraction->GetCase(path);
    if (!document) {
        const auto* provider = dynamic_cast<const SimulatorCaseProvider*>(extraction);
        HandOutText(provider && !provider->GetLastReadResult().message.empty()
                    ? Text(provider->GetLastReadResult().message)
                    : Text(path) + ": cannot be read as a simulator case",
                error, size);
        return -1;
    }
    DataExtractionConfig* config = scenario->GetDataExtractionConfig();
    config->ClearSubFlowsheets();
    document->ForEachItem([config](const CPItem& item) {
        if (const CPValue* v = item.GetVariable("MySubFlowsheet")) config->AddSubFlowsheet(v->GetAsString());
    });
    return config->GetNumberOfSubFlowsheets();
}
