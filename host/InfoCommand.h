#pragma once
// The info job: what the module registered, the default utilities a stream table's name-only
// utility rows take, and the default capital cost law.
class ModuleLoader;

int RunInfo(ModuleLoader& module);
