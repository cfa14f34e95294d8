#pragma once
// kestrin-host extract CASEFILE [--settings FILE] [--assign UNIT=UTILITY]... [--dtmin X] [--json]
// [--save CASE]: extracts a simulator-case document into a new project's scenario with the
// settings of FILE (checked by the extraction wizard), gives heaters and coolers of the existing
// network the utilities assigned, and prints the process streams, utilities, warnings, targets
// and network that result. The document is never written.
class ModuleLoader;

int RunCaseExtract(ModuleLoader& module, int argc, char** argv);
