#include "host/DesignPlotCommand.h"

#include "host/CommandLine.h"
#include "host/DesignCommand.h"
#include "host/HostSession.h"
#include "host/ModuleLoader.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {


constexpr const char* kQuantities[] = {"shells", "area", "duty", "ua"};

struct DesignPlotOptions {
    std::vector<std::string> files;
    std::string svg, design, kind, quantity;
    bool haveSvg = false, haveDesign = false, json = false;
};

bool takeWord(int argc, char** argv, int& i, std::string& value, std::string& error) {
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

bool parse(int argc, char** argv, DesignPlotOptions& o, std::string& error) {
    for (int i = 2; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--json") {
            o.json = true;
        } else if (a == "--kind") {
            if (!takeWord(argc, argv, i, o.kind, error)) return false;
        } else if (a == "--quantity") {
            if (!takeWord(argc, argv, i, o.quantity, error)) return false;
        } else if (a == "--svg") {
            if (!TakeFileOption(argc, argv, i, o.svg, o.haveSvg, error)) return false;
        } else if (a == "--design") {
            if (!TakeFileOption(argc, argv, i, o.design, o.haveDesign, error)) return false;
        } else if (a == "--dtmin" || a == "--from" || a == "--to" || a == "--step" || a == "--at" || a == "--x" ||
                   a == "--left" || a == "--right") {
            error = "the " + o.kind + " plot of a design takes no " + a;
            return false;
        } else if (!TakeOperand(a, o.files, error)) {
            return false;
        }
    }
    if (!CheckNetworkOperands("plot --kind " + o.kind, o.files, error)) return false;
    if (!o.haveSvg) {
        error = "plot needs --svg OUT, the file the picture goes to";
        return false;
    }
    if (!o.quantity.empty() && o.kind != "bar") {
        error = "--quantity chooses the height of the bar chart's bars";
        return false;
    }
    if (!o.quantity.empty() && quantityOf(o.quantity) < 0) {
        error = "--quantity " + o.quantity + " is no quantity (shells, area, duty, ua)";
        return false;
    }
    return CheckPictureInputs(o.files, o.haveDesign, o.svg, error);
}


}  // namespace

bool IsDesignPlotRequest(int argc, char** argv) {
    for (int i = 2; i + 1 < argc; ++i)
        if (std::string(argv[i]) == "--kind")
            return std::string(argv[i + 1]) == "bar" || std::string(argv[i + 1]) == "driving-force";
    return false;
}

int RunDesignPlot(ModuleLoader& module, int argc, char** argv) {
    DesignPlotOptions o;
    std::string error;
    if (!parse(argc, argv, o, error)) return FailCommand(error);
    auto fn = reinterpret_cast<DesignPictureFn>(module.Entry("KestrinDesignPlot"));
    if (!fn) return FailCommand(module.Path() + " lacks the design plot entry");
    HostSession session(module);
    if (!session.Start(error)) return FailCommand(error);
    IHENDesign* design = nullptr;
    if (!OpenHostDesign(module, session, o.files, o.design, design, error)) return FailCommand(error);
    const int kind = o.kind == "bar" ? 0 : 1;
    // Without --quantity the chart keeps its own first choice, the number of shells.
    const int quantity = o.quantity.empty() ? 0 : quantityOf(o.quantity);
    const std::string svg = RenderDesignPicture(fn, design, kind, quantity, 0);
    if (svg.empty()) return FailCommand("the design gave no " + o.kind + " plot");
    const std::string json = o.json ? RenderDesignPicture(fn, design, kind, quantity, 1) : std::string();
    // Written beside the target first, then moved over it: a failed write leaves no file.
    const std::string part = o.svg + ".part";
    std::FILE* f = std::fopen(part.c_str(), "wb");
    const bool written = f && std::fwrite(svg.data(), 1, svg.size(), f) == svg.size();
    const bool closed = f && std::fclose(f) == 0;
    if (!written || !closed || std::rename(part.c_str(), o.svg.c_str()) != 0) {
        std::remove(part.c_str());
        return FailCommand("cannot write " + o.svg);
    }
    if (o.json) std::fputs(json.c_str(), stdout);
    return 0;
}
