#include "host/GridCommand.h"

#include "host/CommandLine.h"
#include "host/DesignCommand.h"
#include "host/HostSession.h"
#include "host/ModuleLoader.h"
#include "host/OutputFile.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {


struct GridOptions {
    std::vector<std::string> files;
    std::string svg, design;
    bool haveSvg = false, haveDesign = false, json = false;
    double preset = 1.0;
    bool havePreset = false;
    int flags = 0;
};

// What the command line says, checked: 0 taken; 2 a command line the job cannot take; 1 one it
// takes that names its files wrongly.
int parse(int argc, char** argv, GridOptions& o, std::string& error) {
    for (int i = 2; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--json") {
            o.json = true;
        } else if (a == "--pinch") {
            o.flags |= 1;
        } else if (a == "--reverse") {
            o.flags |= 2;
        } else if (a == "--hide-utilities") {
            o.flags |= 4;
        } else if (a == "--svg") {
            if (!TakeFileOption(argc, argv, i, o.svg, o.haveSvg, error)) return 2;
        } else if (a == "--design") {
            if (!TakeFileOption(argc, argv, i, o.design, o.haveDesign, error)) return 2;
        } else if (a == "--preset") {
            if (!TakeWholeNumberOption(argc, argv, i, o.preset, o.havePreset, 1, 6, error)) return 2;
        } else if (!TakeOperand(a, o.files, error)) {
            return 2;
        }
    }
    if (!CheckNetworkOperands("grid", o.files, error)) return 2;
    if (!o.haveSvg) {
        error = "grid needs --svg OUT, the file the picture goes to";
        return 2;
    }
    return CheckPictureInputs(o.files, o.haveDesign, o.svg, error) ? 0 : 1;
}

}  // namespace

int RunGrid(ModuleLoader& module, int argc, char** argv) {
    GridOptions o;
    std::string error;
    if (const int wrong = parse(argc, argv, o, error)) return wrong == 2 ? FailUsage("grid", error) : FailCommand(error);
    auto fn = reinterpret_cast<DesignPictureFn>(module.Entry("KestrinGridDiagram"));
    if (!fn) return FailCommand(module.Path() + " lacks the grid diagram entry");
    HostSession session(module);
    if (!session.Start(error)) return FailCommand(error);
    IHENDesign* design = nullptr;
    if (!OpenHostDesign(module, session, o.files, o.design, design, error)) return FailCommand(error);
    const int preset = static_cast<int>(o.preset);
    const std::string svg = RenderDesignPicture(fn, design, preset, o.flags, 0);
    if (svg.empty()) return FailCommand("the design gave no diagram");
    const std::string json = o.json ? RenderDesignPicture(fn, design, preset, o.flags, 1) : std::string();
    const std::string pinchMessage = (o.flags & 1) ? RenderDesignPicture(fn, design, preset, o.flags, 2) : std::string();
    // Written beside the target first, then moved over it: a failed write keeps the old picture.
    if (!WriteOutputFile(o.svg, svg, "<?xml", error)) return FailCommand(error);
    if (o.json) std::fputs(json.c_str(), stdout);
    // The picture in sequence is still written, but the job did not draw what was asked.
    if (!pinchMessage.empty()) return FailCommand("grid --pinch: " + pinchMessage);
    return 0;
}
