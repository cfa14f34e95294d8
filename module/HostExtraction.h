#pragma once
// What the host needs to extract a simulator-case document into a scenario: the settings of an
// extraction settings file, the sub-flowsheets chosen, the extraction itself, and the entries of
// the report it wrote. C linkage, for a host that loads the module with dlopen.
class IHeatIntegrationScenario;

extern "C" {
// One numeric setting: an extraction setting of the scenario, or one of the host values
// "SimulationUtilityDatabase", "UtilitiesFromSimulation", "UseProIIFile" (kept with the user's
// preferences). 1 when the name is one of them, 0 otherwise (nothing set).
int KestrinSetExtractionSetting(IHeatIntegrationScenario* scenario, const char* name, double value);
// Chooses a sub-flowsheet to extract (only chosen ones are read once any is chosen).
int KestrinChooseSubFlowsheet(IHeatIntegrationScenario* scenario, const char* name);
// Opens the document at `path` through the project's case provider, points the import folder of
// the scenario's simulator kind ("SimulatorFileType" 0, 1 or 2) at its folder and the file to
// extract at it, and runs the scenario's extraction of that kind. 1 when it ran; 0 with `error`
// (of `size` bytes) saying why, naming the document and line where it was refused.
int KestrinExtractCaseDocument(IHeatIntegrationScenario* scenario, const char* path, char* error, int size);
// The case extracted from `path` solved again: applies the document at `solved` to it (same items
// and links, new values) and refreshes the scenario's extraction from it. 1 when refreshed; 0
// with `error` saying why (a refused document names its first difference; the scenario is then
// as it was).
int KestrinRefreshCaseDocument(IHeatIntegrationScenario* scenario, const char* path, const char* solved, char* error,
                               int size);
// The entries directly under `section` of the scenario's report: with `index` < 0 their number;
// otherwise 1 and the key, title and text of that entry (each cut to its buffer), 0 past the last.
int KestrinReportEntry(IHeatIntegrationScenario* scenario, const char* section, int index, char* key, int keySize,
                       char* title, int titleSize, char* text, int textSize);
}
