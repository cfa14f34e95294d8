// The pointer of a script on a canvas view, as a user works a diagram with the mouse: the
// gestures go through the framework's canvas driver in its order, at the view's canvas
// coordinates (those of its picture); "wait" lets the framework's timers run.
#include "views/session/ViewScript.h"

#include "lumeth/CanvasPlane.h"
#include "lumeth/Session.h"
#include "lumeth/Timer.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <vector>

namespace {

// The blank-separated numbers of an action; false when one is not a number or the count differs.
bool numbers(const Text& rest, std::size_t count, std::vector<double>& out) {
    out.clear();
    Text line = rest, word;
    while (true) {
        const Text tail = line;
        if (!tail.Token(word, line)) break;
        errno = 0;
        char* end = nullptr;
        const double v = std::strtod(word.c_str(), &end);
        if (word.empty() || !end || *end != '\0' || errno != 0 || !std::isfinite(v)) return false;
        out.push_back(v);
    }
    return out.size() == count;
}

}  // namespace

bool ViewScriptRunner::gesture(const Text& action, const Text& rest, ViewScriptStep& s, bool& known) {
    static const char* const kActions[] = {"click", "double-click", "move", "menu", "choose",
                                           "drop",  "rubber",       "resize", "wait"};
    known = false;
    for (const char* a : kActions) known = known || action == a;
    if (!known) return false;
    std::vector<double> v;
    if (action == "wait") {
        if (!numbers(rest, 1, v) || v[0] < 0.0 || v[0] != std::floor(v[0]) || v[0] > 3600000.0)
            return fail("wait needs whole milliseconds, not " + rest);
        TimerService::Instance().Advance(static_cast<int>(v[0]));
        return true;
    }
    auto* plane = dynamic_cast<CanvasPlane*>(m_current);
    if (!plane) return fail("the view " + (m_current ? m_current->GetName() : Text()) + " is no canvas for " + action);
    if (!m_driver || m_driverView != plane || !m_driver->PlaneAlive()) {
        m_driver = std::make_shared<CanvasDriver>(*plane);
        m_driverView = plane;
    }
    CanvasDriver& driver = *m_driver;
    Text where = rest;
    int package = 0;
    if (action == "drop") {
        Text kind;
        const Text line = rest;
        line.Token(kind, where);
        if (kind == "marker1") package = 1;
        else if (kind == "marker2") package = 2;
        else return fail("drop takes marker1 or marker2 and a point, not " + rest);
    }
    const std::size_t count = action == "choose" ? 1 : action == "rubber" ? 4 : 2;
    if (!numbers(where, count, v)) return fail(action + FormattedText(" needs %zu numbers, not ", count) + rest);
    if (action == "resize") {
        // No screen holds a window past this; a larger one only carries the picture's coordinates
        // past what its pixels (whole numbers) can hold.
        constexpr double kLargestWindow = 100000.0;
        // Nor does a window smaller than this show anything: the picture is fitted to the height
        // it is given, and a few pixels draw the network a fraction of a pixel wide.
        constexpr double kSmallestWindow = 100.0;
        if (!(v[0] >= kSmallestWindow && v[1] >= kSmallestWindow && v[0] <= kLargestWindow && v[1] <= kLargestWindow))
            return fail("resize needs a width and a height of at least 100 pixels and at most 100000, not " + rest);
        driver.Resize(v[0], v[1]);
        return true;
    }
    if (action == "choose") {
        // Only a whole number an item id can be is looked up (a cast of any other is undefined).
        if (!(v[0] >= 0.0 && v[0] <= 2147483647.0) || v[0] != std::floor(v[0]))
            return fail("the open menu offers no item " + rest);
        const int id = static_cast<int>(v[0]);
        if (!driver.MenuOffers(id)) return fail("the open menu offers no item " + rest);
        s.hasResult = true;
        s.result = driver.Choose(id);
        return true;
    }
    // The pointer meets the picture as last laid out.
    if (!plane->PaintNow()) return fail("the view closed while it was drawn");
    const CanvasPoint p{v[0], v[1]};
    if (action == "click") {
        driver.Click(p);
    } else if (action == "double-click") {
        driver.DoubleClick(p);
    } else if (action == "move") {
        s.hasText = true;
        s.text = driver.Move(p);
    } else if (action == "menu") {
        s.hasText = true;
        s.text = driver.OpenMenu(p).Dump();
    } else if (action == "drop") {
        driver.Drop(package, p);
    } else {
        driver.Rubber(p, {v[2], v[3]});
    }
    return true;
}
