// What every kestrin-host command shares on its command line: how a failure is told, and how an
// option's value is taken from the next argument.
#pragma once

#include <string>

// Prints "kestrin-host: <message>" on standard error and answers exit code 1. Messages quote the
// user's own fields: no control sequence reaches the terminal.
int FailCommand(const std::string& message);

// The number after argv[i] (the option argv[i] itself names it in the error); moves i past it.
bool TakeNumberOption(int argc, char** argv, int& i, double& value, bool& given, std::string& error);

// The file name after argv[i]; an empty or missing name is an error. Moves i past it.
bool TakeFileOption(int argc, char** argv, int& i, std::string& value, bool& given, std::string& error);
