#include "views/session/GridEntries.h"

#include "eng/core/ModuleEntry.h"
#include "views/grid/HENDiagram.h"

#include <algorithm>
#include <cstring>

extern "C" int KestrinGridDiagram(IHENDesign* design, int preset, int flags, int what, char* out, int size) {
    AttachCallingThread();
    if (!design || preset < 1 || preset > 6) return 0;
    HENDiagram diagram;
    diagram.SelectPreset(preset - 1);
    diagram.reverseDirection = (flags & KestrinGridReverse) != 0;
    diagram.hideUtilityUnits = (flags & KestrinGridHideUtilities) != 0;
    diagram.showPinch = (flags & KestrinGridPinch) != 0;
    diagram.SetDesign(design);
    const Text text = what == 1 ? diagram.DescribeJSON() : what == 2 ? diagram.PinchLayoutMessage() : diagram.PictureSVG();
    if (out && size > 0) {
        const std::size_t n = std::min(static_cast<std::size_t>(size - 1), text.size());
        std::memcpy(out, text.data(), n);
        out[n] = '\0';
    }
    return static_cast<int>(text.size()) + 1;
}
