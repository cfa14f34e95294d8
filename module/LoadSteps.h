#pragma once
// The module's load routine: every registration the engine needs, in its fixed order.
struct ModuleRegistries;

// Runs the load steps into `registries`, recording each step's name in `LoadSteps`.
void RunLoadSteps(ModuleRegistries& registries);
