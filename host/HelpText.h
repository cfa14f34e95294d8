#pragma once
// What kestrin-host --help and kestrin-host JOB --help print.
#include <string>

// The help of one job (usage, what it does, options with defaults and units, an example); null
// for a word that names no job.
const char* HelpForJob(const std::string& job);
// The list of jobs, the units every job uses and an example.
std::string GeneralHelp();
// Whether the command line asks for help (--help or -h anywhere after the program's name).
bool AsksForHelp(int argc, char** argv);
