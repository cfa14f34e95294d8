#pragma once
// The module's load routine: every registration the engine needs, in its fixed order.
struct ModuleRegistries;

// Runs the load steps into `registries`, recording each step's name in `LoadSteps`.
void RunLoadSteps(ModuleRegistries& registries);

// Runs the load-time registrations in their fixed order (once; a second call does nothing) and
// answers the registries. `UnloadModuleRegistries` destroys them in reverse order.
const ModuleRegistries& LoadModuleRegistries();
void UnloadModuleRegistries();
