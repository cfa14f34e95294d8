#pragma once
// What a cell's quantity can be: the numbers a write of the cell may give, declared with the
// cell's row of its form. A cell takes only what its quantity can be (a temperature difference
// above zero, a count of shells a whole number from 1 to 100, a switch 0 or 1, a choice one of its
// entries), which is narrower than the range a case reader holds for its kind of quantity: the
// reader must still read old files. A row that declares none takes the domain installed for its
// kind of quantity, or any number.
#include "lumeth/Text.h"

#include <cstdint>
#include <limits>
#include <vector>

class Viewable;
class VarDescription;

struct CellDomain {
    // How many entries a choice has now, for the cell written (the rows of a list, say).
    using EntryCount = int (*)(Viewable& view, const VarDescription& var);
    // An end the cell's value must stay beyond now (a heater's outlet above its inlet): the end in
    // base units and what it is, in words; false when there is none now.
    struct Limit {
        double at = 0.0;
        bool below = false;  // the value must stay below `at` (else above it)
        Text what;           // "its inlet", say
        bool reached = false;  // `at` itself is taken (the value may reach the end)
    };
    using LimitOf = bool (*)(Viewable& view, const VarDescription& var, Limit& out);

    enum class Shape : std::uint8_t { Undeclared, Any, Numbers };
    Shape shape = Shape::Undeclared;
    // In the base unit of the cell's kind; an open end is not itself taken.
    double low = -std::numeric_limits<double>::infinity();
    double high = std::numeric_limits<double>::infinity();
    bool lowOpen = false;
    bool highOpen = false;
    bool whole = false;
    EntryCount entries = nullptr;  // a choice: whole, from 0 to the count less one
    LimitOf limit = nullptr;       // an end that moves with the view's state
    // The ends are in the unit the cell shows, not the base unit of its kind (a number typed into
    // a cell that shows another kind of quantity than it takes).
    bool typed = false;
    const char* key = nullptr;     // the refusal shown; null: the general out-of-range refusal
    const char* says = nullptr;    // what the cell takes, in words, where the ends alone do not tell it

    bool Declared() const { return shape != Shape::Undeclared; }
    // Whether the cell takes the number (in base units) now.
    bool Takes(double value, Viewable& view, const VarDescription& var) const;
    // What the cell takes, in words ("a value above 0", "a whole number from 1 to 100").
    Text Described(Viewable& view, const VarDescription& var) const;

    // Any number (within its kind's range).
    static CellDomain Any();
    // Above `low`, not `low` itself (up to `high`, taken).
    static CellDomain Above(double low, double high = std::numeric_limits<double>::infinity());
    // From `low` to `high`, both taken.
    static CellDomain Between(double low, double high);
    // Between `low` and `high`, neither end itself taken.
    static CellDomain Inside(double low, double high);
    static CellDomain AtLeast(double low) { return Between(low, std::numeric_limits<double>::infinity()); }
    // A whole number from `low` to `high`.
    static CellDomain Whole(double low, double high);
    // A count: a whole number from 1 up (to `high`).
    static CellDomain Count(double high = 2147483647.0) { return Whole(1, high); }
    // A switch: 0 (off) or 1 (on).
    static CellDomain Switch();
    // A fraction: from 0 to 1.
    static CellDomain Fraction() { return Between(0.0, 1.0); }
    // One of a fixed number of entries, 0 to `count` less one.
    static CellDomain Entries(int count) { return Whole(0, count - 1); }
    // One of the entries the view has now, 0 to their count less one.
    static CellDomain EntriesOf(EntryCount count);

    // The same domain answered with a key of its own, or told in words of its own; with an end
    // that moves with the view's state; with ends in the unit the cell shows.
    CellDomain RefusedWith(const char* refusal) const;
    CellDomain Saying(const char* words) const;
    CellDomain Beyond(LimitOf moving) const;
    CellDomain AsTyped() const;
};

// The domain a cell whose row declares none takes, by its kind of quantity: installed by the
// module that holds the case (the framework knows no quantity). Null when none is installed.
struct KindDomain {
    int kind = 0;
    CellDomain domain;
};
void InstallKindDomains(std::vector<KindDomain> domains);
const CellDomain* FindKindDomain(int kind);
