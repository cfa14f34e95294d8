#pragma once
// The numbers a scenario's forms write, as rows of data: one row per variable, in the order of
// its page. A row shares the vocabulary of the value rows (ScenarioValueRows.h): the variable,
// the list that bounds a stream-table row and the stream look-up. It adds the base-case lock,
// the value rule checked before the look-up, what a failed look-up shows, the write itself and
// the message keys the row may refuse with. One dispatcher (`HIDesignViewerScenario::Specify`)
// walks these rows; every path through it ends with the busy signal off.
#include "lumeth/CellDomain.h"
#include "views/case/scenario/ScenarioValueRows.h"

#include <cmath>
#include <cstdint>

struct HIDesignViewerScenario::InputRow {
    using V = HIDesignViewerScenario;
    using Rows = ValueRow::Rows;
    // What a failed stream look-up does: show "GetStreamError", also clear workStream, only
    // clear workStream, or nothing at all.
    enum class Fail : std::uint8_t { Show, ShowClear, Clear, Silent };

    int type = 0;                 // type code; 0 for a variable known by name only
    const char* name = nullptr;
    int number = 0;
    bool guarded = false;         // refused with "NoChangeinHENRBaseCase" on a locked base case
    Rows rows = Rows::None;       // the list that bounds the row (None: not a stream row)
    int kind = 0, side = 2;
    bool boundShows = false;      // a row beyond its list shows "GetStreamError"
    bool checkFirst = false;      // the value rule comes before the row bound
    bool advancesColumn = false;  // the table cursor moves one column on before anything else
    // The value rule checked before the look-up: the key that refuses the value, or null.
    const char* (*check)(double value) = nullptr;
    Fail fail = Fail::Show;
    // The write: a key to show (null: none). Stream rows get the stream looked up.
    const char* (*write)(V&, const VarDescription&, double value) = nullptr;
    const char* (*streamWrite)(V&, IHeatIntegrationStream&, const VarDescription&, double value) = nullptr;
    const char* refusals = "";    // the keys the row may show, blank-separated (the form listing)
    CellDomain domain{};          // what the cell's quantity can be, beyond its kind's
    // The stream value the row writes: a stream locked for a retrofit base is asked whether the
    // base holds it, and a cell it holds is read-only (null: the row writes no stream value).
    const char* held = nullptr;

    Text Address() const;
};

namespace scenario_input {
using V = HIDesignViewerScenario;
using In = HIDesignViewerScenario::InputRow;
using R = In::Rows;
using F = In::Fail;
constexpr double kEmpty = Viewable::EmptyValue;
inline bool isEmpty(double v) { return v == kEmpty; }
// Whether a number fits an integer member (truncated toward zero).
inline bool fitsWhole(double v) { return v > -2147483649.0 && v < 2147483648.0; }
// A number stored in an integer member: truncated toward zero, held to the member's range (a
// number beyond it, or not a number at all, has no integer of its own to convert to).
inline std::int32_t whole(double v) {
    if (!(v == v)) return 0;
    if (fitsWhole(v)) return static_cast<std::int32_t>(v);
    return v > 0.0 ? INT32_MAX : INT32_MIN;
}
// A number stored in a byte member: truncated, then its low byte (of the two's complement, so
// -1 gives 255); a number beyond 64-bit integers (2^63), or none at all, gives 0.
inline std::uint8_t lowByte(double v) {
    if (!(std::fabs(v) < 9223372036854775808.0)) return 0;
    return static_cast<std::uint8_t>(static_cast<std::int64_t>(v) & 0xFF);
}
}  // namespace scenario_input
