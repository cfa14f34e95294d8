#include "host/JobOptions.h"

#include <cstring>

namespace {

constexpr JobOption kDtmin{"--dtmin", 1, false};
constexpr JobOption kJson{"--json", 0, false};
constexpr JobOption kSave{"--save", 1, false};
constexpr JobOption kEconomics{"--economics", 1, false};
constexpr JobOption kForbid{"--forbid", 1, true};
constexpr JobOption kAreaMethod{"--area-method", 1, false};
constexpr JobOption kFrom{"--from", 1, false};
constexpr JobOption kTo{"--to", 1, false};
constexpr JobOption kStep{"--step", 1, false};
constexpr JobOption kSvg{"--svg", 1, false};
constexpr JobOption kDesign{"--design", 1, false};

const std::vector<JobOptionTable> kTables = {
    {"info", {}},
    {"targets", {kDtmin, kForbid, kAreaMethod, kEconomics, kJson, kSave}},
    {"supertarget", {kFrom, kTo, kStep, kForbid, kAreaMethod, kJson, kSave}},
    {"autodesign",
     {kDtmin,
      {"--designs", 1, false},
      {"--max-matches", 1, false},
      {"--complete", 1, false},
      {"--time-limit", 1, false},
      kEconomics,
      {"--matches-only", 0, false},
      kJson,
      kSave}},
    // A segment table (--into) or a simulator case: the job tells the two apart.
    {"extract",
     {{"--into", 1, false},
      kDtmin,
      kJson,
      kSave,
      {"--settings", 1, false},
      {"--assign", 1, true},
      {"--refresh", 1, false}}},
    // The scenario's curves and cost plots, and a design's pictures (--kind bar, driving-force, th).
    {"plot",
     {{"--kind", 1, false},
      kSvg,
      kDtmin,
      kFrom,
      kTo,
      kStep,
      {"--at", 1, false},
      {"--x", 1, false},
      {"--left", 1, false},
      {"--right", 1, false},
      kJson,
      kDesign,
      {"--quantity", 1, false},
      {"--unit", 1, false}}},
    {"design", {kDtmin, kEconomics, kDesign, kJson, kSave}},
    {"grid",
     {kSvg,
      kDesign,
      {"--preset", 1, false},
      {"--pinch", 0, false},
      {"--reverse", 0, false},
      {"--hide-utilities", 0, false},
      kJson}},
    {"retrofit", {{"--mode", 1, false}, {"--steps", 1, false}, {"--budget", 1, false}, kDesign, kJson, kSave}},
    {"optimise",
     {kDesign,
      {"--objective", 1, false},
      {"--duties", 1, false},
      {"--splits", 1, false},
      kDtmin,
      kEconomics,
      {"--equation-based", 0, false},
      kJson,
      kSave}},
    {"view",
     {{"--new", 2, false},
      {"--open", 1, false},
      {"--script", 1, false},
      {"--form", 0, false},
      kJson,
      {"--units", 1, false},
      {"--automation", 0, false},
      kSave}},
};

const JobOption* find(const JobOptionTable& table, const std::string& name) {
    for (const JobOption& o : table.options)
        if (name == o.name) return &o;
    return nullptr;
}

}  // namespace

const std::vector<JobOptionTable>& JobOptionTables() { return kTables; }

const JobOptionTable* OptionsOfJob(const std::string& job) {
    for (const JobOptionTable& t : kTables)
        if (job == t.job) return &t;
    return nullptr;
}

bool CheckJobOptions(const std::string& job, int argc, char** argv, std::string& error) {
    const JobOptionTable* table = OptionsOfJob(job);
    if (!table) return true;
    std::vector<const JobOption*> given;
    for (int i = 2; i < argc; ++i) {
        const std::string word = argv[i];
        if (word.size() < 2 || word.compare(0, 2, "--") != 0) continue;
        const JobOption* option = find(*table, word);
        if (!option) {
            std::string owners;
            for (const JobOptionTable& t : kTables)
                if (find(t, word)) owners += std::string(owners.empty() ? "" : ", ") + t.job;
            error = owners.empty() ? "unknown option " + word
                                   : job + " takes no " + word + " (it belongs to " + owners + ")";
            return false;
        }
        for (const JobOption* seen : given)
            if (seen == option && !option->repeatable && option->values > 0) {
                error = word + " is given twice; give it once";
                return false;
            }
        given.push_back(option);
        i += option->values;
    }
    return true;
}
