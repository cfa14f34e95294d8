#include "host/DesignPlotCommand.h"

#include "host/CommandLine.h"
#include "host/DesignCommand.h"
#include "host/HostSession.h"
#include "host/ModuleLoader.h"
#include "host/OutputFile.h"
#include "eng/design/IHENDesign.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {


constexpr const char* kQuantities[] = {"shells", "area", "duty", "ua"};

struct DesignPlotOptions {
    std::vector<std::string> files;
    std::string svg, design, kind, quantity, unit;
    bool haveSvg = false, haveDesign = false, haveUnit = false, json = false;
};

bool takeWord(int argc, char** argv, int& i, std::string& value, std::string& error) {
    if (RefuseRepeatedOption(argv[i], !value.empty(), error)) return false;
    if (i + 1 >= argc || argv[i + 1][0] == '\0') {
        error = std::string(argv[i]) + " needs a value";
        return false;
    }
    value = argv[++i];
    return true;
}

int quantityOf(const std::string& name) {
    for (int q = 0; q < 4; ++q)
        if (name == kQuantities[q]) return q;
    return -1;
}

// What the command line says, checked: 0 taken; 2 a command line the job cannot take; 1 one it
// takes that names its files wrongly.
int parse(int argc, char** argv, DesignPlotOptions& o, std::string& error) {
    for (int i = 2; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--json") {
            o.json = true;
        } else if (a == "--kind") {
            if (!takeWord(argc, argv, i, o.kind, error)) return 2;
        } else if (a == "--unit") {
            if (!takeWord(argc, argv, i, o.unit, error)) return 2;
            o.haveUnit = true;
        } else if (a == "--quantity") {
            if (!takeWord(argc, argv, i, o.quantity, error)) return 2;
        } else if (a == "--svg") {
            if (!TakeFileOption(argc, argv, i, o.svg, o.haveSvg, error)) return 2;
        } else if (a == "--design") {
            if (!TakeFileOption(argc, argv, i, o.design, o.haveDesign, error)) return 2;
        } else if (a == "--dtmin" || a == "--from" || a == "--to" || a == "--step" || a == "--at" || a == "--x" ||
                   a == "--left" || a == "--right") {
            error = "the " + o.kind + " plot of a design takes no " + a;
            return 2;
        } else if (!TakeOperand(a, o.files, error)) {
            return 2;
        }
    }
    if (!CheckNetworkOperands("plot --kind " + o.kind, o.files, error)) return 2;
    if (!o.haveSvg) {
        error = "plot needs --svg OUT, the file the picture goes to";
        return 2;
    }
    if (!o.quantity.empty() && o.kind != "bar") {
        error = "--quantity chooses the height of the bar chart's bars";
        return 2;
    }
    if (o.kind == "th" && !o.haveUnit) {
        error = "plot --kind th needs --unit NAME, the exchanger whose profile is drawn";
        return 2;
    }
    if (o.haveUnit && o.kind != "th") {
        error = "--unit names the exchanger of the th plot";
        return 2;
    }
    if (!o.quantity.empty() && quantityOf(o.quantity) < 0) {
        error = "--quantity " + o.quantity + " is no quantity (shells, area, duty, ua)";
        return 2;
    }
    return CheckPictureInputs(o.files, o.haveDesign, o.svg, error) ? 0 : 1;
}


// The picture of one unit of a design: the entry answers the size it needs, -1 for no such unit.
using UnitPictureFn = decltype(&KestrinExchangerPlot);

std::string renderUnitPicture(UnitPictureFn fn, IHENDesign* design, const std::string& unit, int what) {
    const int need = fn(design, unit.c_str(), what, nullptr, 0);
    if (need <= 1) return std::string();
    std::string text(static_cast<std::size_t>(need), '\0');
    fn(design, unit.c_str(), what, text.data(), need);
    text.resize(static_cast<std::size_t>(need - 1));
    return text;
}

}  // namespace

bool IsDesignPlotRequest(int argc, char** argv) {
    for (int i = 2; i + 1 < argc; ++i)
        if (std::string(argv[i]) == "--kind")
            return std::string(argv[i + 1]) == "bar" || std::string(argv[i + 1]) == "driving-force" ||
                   std::string(argv[i + 1]) == "th";
    return false;
}

int RunDesignPlot(ModuleLoader& module, int argc, char** argv) {
    DesignPlotOptions o;
    std::string error;
    if (const int wrong = parse(argc, argv, o, error)) return wrong == 2 ? FailUsage("plot", error) : FailCommand(error);
    auto fn = reinterpret_cast<DesignPictureFn>(module.Entry("KestrinDesignPlot"));
    auto unitFn = reinterpret_cast<UnitPictureFn>(module.Entry("KestrinExchangerPlot"));
    if (!fn || !unitFn) return FailCommand(module.Path() + " lacks the design plot entries");
    HostSession session(module);
    if (!session.Start(error)) return FailCommand(error);
    IHENDesign* design = nullptr;
    if (!OpenHostDesign(module, session, o.files, o.design, design, error)) return FailCommand(error);
    std::string svg, json;
    if (o.kind == "th") {
        if (unitFn(design, o.unit.c_str(), 0, nullptr, 0) < 0) {
            const char* name = design->GetDesignName();
            return FailCommand("no exchanger " + o.unit + " in design " + (name ? name : ""));
        }
        svg = renderUnitPicture(unitFn, design, o.unit, 0);
        if (o.json) json = renderUnitPicture(unitFn, design, o.unit, 1);
    } else {
        const int kind = o.kind == "bar" ? 0 : 1;
        // Without --quantity the chart keeps its own first choice, the number of shells.
        const int quantity = o.quantity.empty() ? 0 : quantityOf(o.quantity);
        svg = RenderDesignPicture(fn, design, kind, quantity, 0);
        if (o.json) json = RenderDesignPicture(fn, design, kind, quantity, 1);
    }
    if (svg.empty()) return FailCommand("the design gave no " + o.kind + " plot");
    // Written beside the target first, then moved over it: a failed write keeps the old file.
    if (!WriteOutputFile(o.svg, svg, "<?xml", error)) return FailCommand(error);
    if (o.json) std::fputs(json.c_str(), stdout);
    // The picture is written: the design of a large network is not taken apart unit by unit.
    EndWithoutTeardown(0);
    return 0;
}
