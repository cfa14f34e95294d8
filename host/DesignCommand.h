#pragma once
// kestrin-host design STREAMS NETWORK [--dtmin X] [--json] [--save CASE] and
// kestrin-host design CASE [--json]: builds a network from an exchanger table through the design's
// own editing operations (or takes the first design of a saved case), calculates it and prints
// what the design's queries answer for every unit and for the whole network.
class ModuleLoader;

int RunDesign(ModuleLoader& module, int argc, char** argv);
