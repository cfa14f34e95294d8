#pragma once
// kestrin-host grid FILE [NETWORK] --svg OUT [--design NAME] [--preset 1-6] [--pinch] [--reverse]
// [--hide-utilities] [--json]: the grid diagram of a network (a stream table with a network
// table, or a case's design) written as SVG; --json prints its items, lines and pinches.
class ModuleLoader;

int RunGrid(ModuleLoader& module, int argc, char** argv);
