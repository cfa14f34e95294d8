#include "lumeth/CellDomain.h"

#include "lumeth/Viewable.h"

#include <cmath>
#include <cstdlib>
#include <utility>

bool CellDomain::Takes(double value, Viewable& view, const VarDescription& var) const {
    if (shape == Shape::Undeclared || shape == Shape::Any) return true;
    if (!std::isfinite(value)) return false;
    if (lowOpen ? !(value > low) : !(value >= low)) return false;
    if (highOpen ? !(value < high) : !(value <= high)) return false;
    if (whole && value != std::floor(value)) return false;
    // A choice is one of the entries there are now; a choice with no entries takes nothing.
    if (entries && !(value >= 0.0 && value < entries(view, var))) return false;
    Limit end;
    if (limit && limit(view, var, end)) {
        const bool beyond = end.reached ? (end.below ? !(value <= end.at) : !(value >= end.at))
                                        : (end.below ? !(value < end.at) : !(value > end.at));
        if (beyond) return false;
    }
    return true;
}

namespace {
Text number(double v) { return FormattedText("%.15g", v); }

// An end the value may reach, printed on its own side of the rounding: an upper end rounded down,
// a lower one up, so that the number the refusal gives, typed back, is taken.
Text reachedNumber(double v, bool upper) {
    Text printed = number(v);
    if (!std::isfinite(v) || v == 0.0) return printed;
    const double step = std::pow(10.0, std::floor(std::log10(std::fabs(v))) - 14.0);
    for (int tries = 0; tries < 3; ++tries) {
        const double read = std::strtod(printed.c_str(), nullptr);
        if (upper ? read <= v : read >= v) break;
        printed = number(read + (upper ? -step : step));
    }
    return printed;
}
}  // namespace

Text CellDomain::Described(Viewable& view, const VarDescription& var) const {
    Limit end;
    if (limit && limit(view, var, end)) {
        // A fixed end on the far side of the one that moves is told as well (a fouling of at least
        // 0, a coefficient up to a million).
        Text fixed = says ? Text(says) + ", " : Text();
        if (!says && end.below && std::isfinite(low))
            fixed = Text(lowOpen ? "a value above " : "a value of at least ") + number(low) + ", and ";
        Text far;
        if (!says && !end.below && std::isfinite(high)) far = Text(highOpen ? ", and below " : ", and up to ") + number(high);
        const char* side = end.reached ? (end.below ? "a value up to " : "a value of at least ")
                                       : (end.below ? "a value below " : "a value above ");
        return fixed + side + end.what + ", " + (end.reached ? reachedNumber(end.at, end.below) : number(end.at)) + far;
    }
    if (says) return says;
    if (entries) {
        const int n = entries(view, var);
        if (n <= 0) return "none of its entries: it has none now";
        return n == 1 ? Text("its one entry, 0") : Text("the number of one of its " + number(n) + " entries, 0 to " + number(n - 1));
    }
    const bool bounded = std::isfinite(high);
    const Text what = whole ? "a whole number" : "a value";
    if (!std::isfinite(low)) return bounded ? Text(what + (highOpen ? " below " : " up to ") + number(high)) : what;
    if (lowOpen)
        return what + " above " + number(low) + (bounded ? Text((highOpen ? " and below " : " up to ") + number(high)) : Text());
    if (!bounded) return what + " of at least " + number(low);
    return what + " from " + number(low) + (highOpen ? " up to (not including) " : " to ") + number(high);
}

CellDomain CellDomain::Any() {
    CellDomain d;
    d.shape = Shape::Any;
    return d;
}

CellDomain CellDomain::Above(double low, double high) {
    CellDomain d = Between(low, high);
    d.lowOpen = true;
    return d;
}

CellDomain CellDomain::Inside(double low, double high) {
    CellDomain d = Above(low, high);
    d.highOpen = true;
    return d;
}

CellDomain CellDomain::Between(double low, double high) {
    CellDomain d;
    d.shape = Shape::Numbers;
    d.low = low;
    d.high = high;
    return d;
}

CellDomain CellDomain::Whole(double low, double high) {
    CellDomain d = Between(low, high);
    d.whole = true;
    return d;
}

CellDomain CellDomain::Switch() { return Whole(0, 1).Saying("0 (off) or 1 (on)"); }

CellDomain CellDomain::EntriesOf(EntryCount count) {
    CellDomain d = Whole(0, std::numeric_limits<double>::infinity());
    d.entries = count;
    return d;
}

CellDomain CellDomain::RefusedWith(const char* refusal) const {
    CellDomain d = *this;
    d.key = refusal;
    return d;
}

CellDomain CellDomain::Beyond(LimitOf moving) const {
    CellDomain d = *this;
    d.limit = moving;
    return d;
}

CellDomain CellDomain::AsTyped() const {
    CellDomain d = *this;
    d.typed = true;
    return d;
}

CellDomain CellDomain::Saying(const char* words) const {
    CellDomain d = *this;
    d.says = words;
    return d;
}

namespace {
std::vector<KindDomain>& installed() {
    static std::vector<KindDomain> domains;
    return domains;
}
}  // namespace

void InstallKindDomains(std::vector<KindDomain> domains) { installed() = std::move(domains); }

const CellDomain* FindKindDomain(int kind) {
    for (const KindDomain& d : installed())
        if (d.kind == kind) return &d.domain;
    return nullptr;
}
