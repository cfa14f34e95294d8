#pragma once
// kestrin-host extract CASEFILE [--settings FILE] [--dtmin X] [--json] [--save CASE]: extracts a
// simulator-case document into a new project's scenario with the settings of FILE and prints the
// process streams, utilities, warnings and targets that result. The document is never written.
class ModuleLoader;

int RunCaseExtract(ModuleLoader& module, int argc, char** argv);
