#include "host/HelpText.h"

#include <cstring>

namespace {
struct JobHelp {
    const char* job;
    const char* summary;
    const char* text;
};

// One entry per job: usage, what it does, its options with their defaults and units, one example.
const JobHelp kJobs[] = {
    {"info", "the module, the default utilities and the default capital cost law",
     "usage: kestrin-host info\n"
     "Lists what the module registered, the default utilities (name, side, supply and target\n"
     "temperature in C, film coefficient h in kW/m2.C, cost per kW and year, DTmin contribution in C)\n"
     "and the default capital cost law. A utility row of a stream table with only a name takes the\n"
     "default utility of that name.\n"
     "example: kestrin-host info\n"},
    {"targets", "energy, area, units, shells and cost targets of a stream table or case",
     "usage: kestrin-host targets FILE [--dtmin X] [--forbid HOT:COLD]... [--area-method bath|lp]\n"
     "                            [--economics LIST] [--json] [--save CASE]\n"
     "Pinch-analysis targets of a stream table (CSV) or a saved case: hot and cold utility (kW), the\n"
     "process pinches and the utility pinches (real temperatures in C, and the shifted one), the\n"
     "problem type, areas (m2), the two units counts (overall, N - 1; with the pinch division, N - 1\n"
     "on each side of every process pinch), shells, capital (investment), operating and total annual\n"
     "cost (per year) and the utility loads (kW).\n"
     "  FILE               stream table: name, supply (C), target (C), cp (kW/C) or duty (kW), and\n"
     "                     optionally h (kW/m2.C), kind (process|utility), dtmin_contribution (C, the\n"
     "                     approach the stream asks for), cost (per kW and year; a utility row with\n"
     "                     temperatures of its own and no cost takes 100); or a case file\n"
     "  --dtmin X          minimum approach temperature in C (default 10 for a table, the case's own\n"
     "                     for a case; 0.001 to 1000)\n"
     "  --forbid HOT:COLD  the two process streams may not exchange heat (repeatable); the area then\n"
     "                     comes from the area LP\n"
     "  --area-method M    bath (default: Bath formula over the balanced composite curves) or lp (the\n"
     "                     area LP, which lets streams approach to 2 C)\n"
     "  --economics LIST   fixed=A,area=B,exponent=C,law=shells|units,interest=I,life=N,hours=H (any\n"
     "                     subset; kestrin-host info shows the defaults)\n"
     "  --json             JSON instead of text (a value not available is null, its reason in notes)\n"
     "  --save CASE        write the scenario to a checked case file\n"
     "example: kestrin-host targets examples/four-streams.csv --dtmin 10\n"},
    {"supertarget", "the targets over a range of DTmin and the optimum DTmin",
     "usage: kestrin-host supertarget FILE --from A --to B [--step S] [--forbid HOT:COLD]...\n"
     "                                [--area-method bath|lp] [--json] [--save CASE]\n"
     "The targets over a range of DTmin (C) and the optimum DTmin of the total annual cost. Each\n"
     "point equals targets --dtmin at its DTmin; its units are the count with the pinch division.\n"
     "  --from A --to B    the range in C (0.001 to 1000, B at least A)\n"
     "  --step S           the step in C (default 1; at most 1000 points)\n"
     "  --forbid, --area-method, --json, --save  as for targets\n"
     "example: kestrin-host supertarget examples/four-streams.csv --from 5 --to 30 --step 5\n"},
    {"autodesign", "automatic network design",
     "usage: kestrin-host autodesign FILE [--dtmin X] [--designs N] [--max-matches N] [--complete NETWORK]\n"
     "                               [--time-limit S] [--economics LIST] [--matches-only] [--json] [--save CASE]\n"
     "Automatic design: an LP gives the utility loads and the matches at the cost optimum, a MILP\n"
     "picks sets of matches and a stage-wise superstructure turns each into a design A_Design<n>.\n"
     "  --dtmin X          DTmin in C (default 10 for a table)\n"
     "  --designs N        designs wanted (default 1, at most 100)\n"
     "  --max-matches N    matches a design may have (default 0: no limit)\n"
     "  --time-limit S     seconds each of its solves may take, within its own limit (500 s;\n"
     "                     1800 s for a network's structure); progress goes to standard error\n"
     "  --complete NETWORK complete the network of an exchanger table (as design builds it)\n"
     "  --matches-only     stop after the LP: utility loads and matches\n"
     "  --economics, --json, --save  as for targets\n"
     "example: kestrin-host autodesign examples/four-streams.csv\n"},
    {"extract", "a segment table into a case, or a simulator case into a project",
     "usage: kestrin-host extract SHEET --into CASE [--dtmin X] [--json] [--save OUT]\n"
     "       kestrin-host extract CASEFILE [--settings FILE] [--assign UNIT=UTILITY]... [--dtmin X]\n"
     "                            [--refresh SOLVED] [--json] [--save CASE]\n"
     "SHEET: a segment table (CSV: a row of headings, a row of units, then one row per segment,\n"
     "consecutive rows of a stream in order) transferred into the streams of CASE's first scenario;\n"
     "its DTminContribution column is the approach the stream asks for, as in a stream table. CASE\n"
     "is never written.\n"
     "CASEFILE: a solved simulator case (.vmc) extracted into a new project.\n"
     "  --settings FILE    extraction settings, name = value lines (# comments)\n"
     "  --assign U=UTIL    move heater or cooler U of the extracted network onto utility UTIL\n"
     "  --refresh SOLVED   refresh the extraction from the same case solved again\n"
     "  --dtmin X          DTmin in C; --json, --save as for targets\n"
     "example: kestrin-host extract examples/extraction/preheat-train.vmc\n"},
    {"plot", "curves, cost and range-target plots, and a design's pictures as SVG",
     "usage: kestrin-host plot FILE --kind KIND --svg OUT [--dtmin X] [--from A --to B [--step S]]\n"
     "                         [--at H,T] [--x Q] [--left Q] [--right Q] [--json]\n"
     "       kestrin-host plot FILE [NETWORK] --kind bar|driving-force --svg OUT [--design NAME]\n"
     "                         [--quantity shells|area|duty|ua] [--json]\n"
     "       kestrin-host plot FILE [NETWORK] --kind th --unit NAME --svg OUT [--design NAME] [--json]\n"
     "Draws one of the scenario's plots, or one of a design's pictures, as an SVG file.\n"
     "  --kind KIND        curves: grand, cascade, composite, shifted, balanced, shifted-balanced,\n"
     "                     utility, hot-driving-force, cold-driving-force, user-utility; costs: alpha,\n"
     "                     area-demand, investment-saving, payback, retrofit-alpha; range targets:\n"
     "                     range, supertarget; designs: bar, driving-force, th\n"
     "  --from/--to/--step the DTmin range of the cost and range-target plots (C; step default 1)\n"
     "  --x/--left/--right the quantities of the range-target plots: dtmin, hot-utility, cold-utility,\n"
     "                     area, area-shell-tube, units-pinch, shells, capital, operating, total, none\n"
     "                     (default: total against dtmin)\n"
     "  --at H,T           the streams at heat flow H (kW) and temperature T (C) of the curves\n"
     "  --quantity Q       bar heights (default shells); --unit NAME the exchanger of th\n"
     "  --json             the title, axes and data sets in display units\n"
     "example: kestrin-host plot examples/four-streams.csv --kind composite --svg composite.svg\n"},
    {"design", "a network from an exchanger table, against the targets",
     "usage: kestrin-host design STREAMS NETWORK [--dtmin X] [--economics LIST] [--json] [--save CASE]\n"
     "       kestrin-host design CASE [--design NAME] [--json]\n"
     "Builds a network from an exchanger table and reports every unit and the totals against the\n"
     "targets. NETWORK (CSV): name, hot, cold, duty (kW) or area (m2), optional hot_order and\n"
     "cold_order (counted from each stream's supply end), type (countercurrent or\n"
     "shell-and-tube) and shells (the shells in series of a shell-and-tube unit, 1 to 100; without\n"
     "it the fewest that keep its F at 0.8 or more); a utility on the hot side makes a heater, on the\n"
     "cold side a cooler.\n"
     "  --dtmin X          DTmin in C (default 10)\n"
     "  --economics LIST   the capital cost law and the plant's economics, as for targets\n"
     "  --design NAME      the case's design of that name (default: its first design)\n"
     "  --json, --save     as for targets (design CASE takes only --design and --json)\n"
     "example: kestrin-host design examples/four-streams.csv examples/four-streams-network.csv\n"},
    {"grid", "the grid diagram of a network as SVG",
     "usage: kestrin-host grid FILE [NETWORK] --svg OUT [--design NAME] [--preset 1-6] [--pinch]\n"
     "                         [--reverse] [--hide-utilities] [--json]\n"
     "Draws the grid diagram of a network (the inputs of design, or a case's design by name).\n"
     "  --preset N         the order of the streams (1 to 6, default 1)\n"
     "  --pinch            every process pinch gets a column of its own\n"
     "  --reverse          the flow direction reversed: hot streams right to left, cold left to right\n"
     "  --hide-utilities   heaters and coolers left out\n"
     "example: kestrin-host grid examples/four-streams.csv examples/four-streams-split-network.csv --svg grid.svg\n"},
    {"retrofit", "network-pinch retrofit steps of a network",
     "usage: kestrin-host retrofit STREAMS NETWORK|CASE [--mode new-exchanger|repipe|resequence|utility]\n"
     "                             [--steps N] [--budget B] [--design NAME] [--json] [--save CASE]\n"
     "Network-pinch retrofit of a network (built as design builds it, or a case's design).\n"
     "  --mode M           new-exchanger (default), repipe, resequence or utility (one heater or\n"
     "                     cooler moved to a cheaper utility)\n"
     "  --steps N          steps (1 to 5, default 1)\n"
     "  --budget B         the investment a step may spend (0 or more, in the case's currency;\n"
     "                     default the scenario's own, 0 for tables)\n"
     "  --design NAME      the case's design that is the base (default: its first design)\n"
     "  --save CASE        store the scenario with the base design and the kept step designs\n"
     "example: kestrin-host retrofit examples/retrofit-streams.csv examples/retrofit-network.csv --mode utility\n"},
    {"optimise", "exchanger duties and split fractions of a design optimised",
     "usage: kestrin-host optimise STREAMS NETWORK|CASE [--design NAME] [--objective area|cost]\n"
     "                             [--duties on|off] [--splits on|off] [--dtmin X] [--economics LIST]\n"
     "                             [--equation-based] [--json] [--save CASE]\n"
     "Optimises a copy <name>-O of a design for least area or least total annual cost.\n"
     "  --objective O      area (default) or cost\n"
     "  --duties, --splits the variables: exchanger duties and split fractions (both on by default)\n"
     "  --equation-based   the whole design goes to the equation-based engine\n"
     "example: kestrin-host optimise examples/four-streams.csv examples/four-streams-network.csv\n"},
    {"view", "the views of a stream table or case, driven by a script",
     "usage: kestrin-host view FILE [--open VIEW] [--script S] [--form] [--json] [--units si|customary]\n"
     "                         [--automation] [--save CASE]\n"
     "       kestrin-host view --new hi-project|hi-case|hi-total-site NAME [...]\n"
     "Opens the views of a stream table or a case and drives them with a script, one action per line\n"
     "(get, text, set, settext, attach, cmd, dims, status, choices, answer, file, expect, open, svg,\n"
     "form, close; on a grid diagram click, double-click, move, menu, choose, drop, rubber, resize, wait).\n"
     "  --open VIEW        case, project, scenario[=NAME] (default: the first scenario),\n"
     "                     design[=NAME], grid[=NAME] or a child address of the case view\n"
     "  --form             list the opened view's variables, command words and children\n"
     "  --units U          si (default: C, kW) or customary (F, Btu/hr)\n"
     "  docs/architecture.md describes the addresses and the script actions in full.\n"
     "example: kestrin-host view examples/four-streams.csv --form\n"},
};
}  // namespace

const char* HelpForJob(const std::string& job) {
    for (const JobHelp& j : kJobs)
        if (job == j.job) return j.text;
    return nullptr;
}

std::string GeneralHelp() {
    std::string text =
        "usage: kestrin-host JOB [ARGUMENTS] [--help]\n"
        "kestrin-host runs the heat-integration module's jobs from the command line. Units: temperatures\n"
        "in C, heat loads and duties in kW, cp in kW/C, film coefficients h in kW/m2.C, areas in m2,\n"
        "utility costs per kW and year. kestrin-host JOB --help describes a job, docs/jobs.md each job\n"
        "in detail.\n"
        "jobs:\n";
    for (const JobHelp& j : kJobs) text += "  " + std::string(j.job) + std::string(13 - std::strlen(j.job), ' ') + j.summary + "\n";
    text += "example: kestrin-host targets examples/four-streams.csv\n";
    return text;
}

bool AsksForHelp(int argc, char** argv) {
    for (int i = 1; i < argc; ++i)
        if (!std::strcmp(argv[i], "--help") || !std::strcmp(argv[i], "-h")) return true;
    return false;
}
