#pragma once
// kestrin-host optimise STREAMS NETWORK|CASE [--design NAME] [--objective area|cost]
// [--duties on|off] [--splits on|off] [--dtmin X] [--economics LIST] [--json] [--save CASE]:
// builds the network as `design` does (or takes a case's design), runs the optimiser's pre-run
// check and prints it; a fatal check exits 1 with its messages and changes nothing. Otherwise the
// scenario optimises a copy of the design ("<name>-O") for least area or least total annual cost,
// and the design before and the copy after are printed. A run exits 0 whatever its result.
class ModuleLoader;

int RunOptimise(ModuleLoader& module, int argc, char** argv);
