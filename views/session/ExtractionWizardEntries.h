#pragma once
// The host's road to the extraction wizard of a scenario: the module opens a wizard on the
// scenario and the host puts in what a user would type into its form (numbers, texts, command
// lines) and reads what the form shows. Every input is checked as the wizard checks it; a
// refusal hands out the text of the message the wizard showed. C linkage, looked up by name
// after dlopen. Texts handed out are copied into `out` (of `size` bytes, zero-ended).
class IHeatIntegrationScenario;

extern "C" {
// A wizard on the scenario's extraction settings; null without a scenario. Closed with
// KestrinExtractionWizardClose (the scenario must outlive it).
void* KestrinExtractionWizardOpen(IHeatIntegrationScenario* scenario);
void KestrinExtractionWizardClose(void* wizard);
// A number typed into the variable at `address` ("ExtraData.210", "Switch.217.2"): 1 taken;
// 0 refused, with the wizard's message (or why nothing was done) in `message`.
int KestrinExtractionWizardSpecify(void* wizard, const char* address, double value, char* message, int size);
// A text typed into a text variable, answered as KestrinExtractionWizardSpecify.
int KestrinExtractionWizardSpecifyText(void* wizard, const char* address, const char* text, char* message, int size);
// A command line ("BuildUtilityInfo"), answered as KestrinExtractionWizardSpecify.
int KestrinExtractionWizardCommand(void* wizard, const char* line, char* message, int size);
// What the form shows at an address: a number (-32767 empty), a text (the bytes it needs with
// its zero), the size of the first dimension (-1: the variable has none).
double KestrinExtractionWizardValue(void* wizard, const char* address);
int KestrinExtractionWizardText(void* wizard, const char* address, char* out, int size);
int KestrinExtractionWizardDimension(void* wizard, const char* address);
// Choice `index` of an enumerated variable: 1 with its value and text, 0 past the last.
int KestrinExtractionWizardChoice(void* wizard, const char* address, int index, double* value, char* text, int size);
// Lists the sub-flowsheets of the simulator-case document at `path` in the scenario's settings
// (each chosen), as the scenario does after an extraction; the document is opened through the
// project's case provider and stays open for the extraction. The number listed, or -1 with
// `error` saying why the document cannot be read.
int KestrinListCaseSubFlowsheets(IHeatIntegrationScenario* scenario, const char* path, char* error, int size);
}
