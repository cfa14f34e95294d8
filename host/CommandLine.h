// What every kestrin-host command shares on its command line: how a failure is told, and how an
// option's value is taken from the next argument.
#pragma once

#include <string>
#include <vector>

// Prints "kestrin-host: <message>" on standard error and answers exit code 1. Messages quote the
// user's own fields: no control sequence reaches the terminal.
int FailCommand(const std::string& message);

// A command line the job cannot take (an option unknown, repeated, missing or without its value):
// "kestrin-host: <message>" and "usage: kestrin-host JOB --help" on standard error, exit code 2.
int FailUsage(const std::string& job, const std::string& message);

// The exit code of a job whose output is all written: standard output is flushed, and when any of
// it could not be written (a full disk, a closed pipe) the run says so on standard error and fails
// with 1 instead of the job's own code; a report cut short is never a success.
int OutputWritten(int code);

// Ends a run whose results are all written (and saved, when asked): a scenario or design of a large
// table takes a tenth of the run or more to take apart object by object, and nothing of it outlives
// the process, so the process ends here and the system takes its memory back at once. The output is
// flushed first (OutputWritten's code is the exit code). Builds that check for leaks (the address
// and memory sanitizers), and builds that define KESTRIN_FULL_TEARDOWN (coverage records are
// written at exit), take the ordinary way out: the call returns and the caller returns its code.
void EndWithoutTeardown(int code);

// An option that takes a value is given once: a second one would silently replace the first.
// True (with "OPTION is given twice; give it once" in `error`) when it was given already.
bool RefuseRepeatedOption(const char* option, bool given, std::string& error);

// The number after argv[i] (the option argv[i] itself names it in the error); moves i past it.
bool TakeNumberOption(int argc, char** argv, int& i, double& value, bool& given, std::string& error);

// The file name after argv[i]; an empty or missing name is an error. Moves i past it.
bool TakeFileOption(int argc, char** argv, int& i, std::string& value, bool& given, std::string& error);

// A whole number from lo to hi after argv[i] ("--steps must be a whole number from 1 to 5").
bool TakeWholeNumberOption(int argc, char** argv, int& i, double& value, bool& given, int lo, int hi,
                           std::string& error);

// A word of the command line that is no option is one of the command's files; an unknown
// option is refused.
bool TakeOperand(const std::string& word, std::vector<std::string>& files, std::string& error);

// A --dtmin given is within the range a scenario takes ("--dtmin must be from 0.001 to 1000 C").
bool CheckDtminOption(bool given, double dtmin, std::string& error);

// The files of a command that works on a network: STREAMS NETWORK, or a CASE saved with a design.
bool CheckNetworkOperands(const std::string& command, const std::vector<std::string>& files, std::string& error);
