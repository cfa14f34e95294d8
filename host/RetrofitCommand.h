#pragma once
// kestrin-host retrofit STREAMS NETWORK [--mode new-exchanger|repipe|resequence|utility] [--steps N]
// [--budget B] [--json] [--save CASE] and kestrin-host retrofit CASE [...]: makes the network (built as `design` builds it,
// or the case's first design) the retrofit base design of its scenario, runs the scenario's
// network-pinch retrofit in the mode (stepwise for the first three) and reports every step: its
// result code and meaning, the design it made, the modification, the utilities before and after,
// the utility cost saving, the capital cost and the payback; a kept step's network unit by unit,
// and for a step the budget blocked what it needed. The steps are alternatives from the base design.
class ModuleLoader;

int RunRetrofit(ModuleLoader& module, int argc, char** argv);
