#pragma once
// kestrin-host view: opens the views of a stream table or a case as a user does and drives them
// with a script of form actions, printing each step's answer and what the views showed.
class ModuleLoader;

int RunView(ModuleLoader& module, int argc, char** argv);
