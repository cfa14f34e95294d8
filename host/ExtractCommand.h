#pragma once
// kestrin-host extract SHEET --into CASE [--dtmin X] [--json] [--save OUT]: transfers the segment
// table SHEET (CSV) into the streams of CASE's first scenario through the module's extraction
// interface and prints the streams and targets that result. A table the module refuses is named
// with its row, cell and text, and nothing is saved.
class ModuleLoader;

int RunExtract(ModuleLoader& module, int argc, char** argv);
