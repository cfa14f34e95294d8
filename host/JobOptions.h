// The options each kestrin-host job takes: one table per job, which the command line is held
// against before the job reads its own options, and which the job's help lists in full.
#pragma once

#include <string>
#include <vector>

struct JobOption {
    const char* name;  // "--dtmin"
    int values;        // the arguments that follow it (0 for a switch)
    bool repeatable;   // may be given more than once (--forbid, --assign)
};

struct JobOptionTable {
    const char* job;
    std::vector<JobOption> options;
};

// Every job's table, in the order of the jobs' help.
const std::vector<JobOptionTable>& JobOptionTables();

// The table of `job`; null for a word that names no job.
const JobOptionTable* OptionsOfJob(const std::string& job);

// Holds the command line of `job` (argv[2] on) against its table: a word starting with "--" that
// the job does not take ("unknown option --x", or "JOB takes no --x (it belongs to ...)" when
// another job takes it), or an option given twice that takes a value once ("--x is given twice;
// give it once"), is refused with the message in `error`. The values of an option are passed over
// unread: whether they are right is the job's to say.
bool CheckJobOptions(const std::string& job, int argc, char** argv, std::string& error);
