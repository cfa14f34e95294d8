#pragma once
// The numbers a scenario's forms read, as rows of data: one row per variable, in the order of
// its page. A row names its variable (type code and number, or a name and number), the guard
// that must hold before the engine is asked, the engine read with its fixed arguments, and the
// rule that turns an answer into the empty value. Rows of a stream table also name the list
// whose length bounds the row, how the row's stream is looked up and what a failed look-up
// shows; the table's read then gets the stream. One dispatcher (`HIDesignViewerScenario::Value`)
// walks these rows; the form description of the `view` job lists the same rows.
#include "views/case/scenario/HIDesignViewerScenario.h"

#include <cstdint>

class IHeatIntegrationStream;

struct HIDesignViewerScenario::ValueRow {
    using V = HIDesignViewerScenario;
    // What must hold before the read: a bound viewer (always checked), or also process streams.
    // ProcessStreams: empty without a process stream. Covered: a result of the placed utilities
    // (an area, a shell count, a cost), empty where they do not cover the targets.
    enum class Guard : std::uint8_t { Bound, ProcessStreams, Covered };
    // Which list bounds the row of a stream table (none: not a stream row).
    //   Process      GetNumberOfProcessStreams
    //   Kind         GetNumberOfStreamsOfKind(kind, side)
    //   UtilityList  GetNumberOfUtilityStreams
    //   Unbounded    no bound: straight to the look-up
    //   SideChoice   the utility side pair (second pair for index 2 = 2)
    //   SideChoiceExtended  also (1, 0) for index 2 = 3 and (0, 1) for index 2 = 4
    //   MainSideChoice  the main utility side pair, bounded by GetNumberOfUtilityStreams
    //   NonEmptyKind    no row bound, but the list of (kind, side) must hold a stream
    enum class Rows : std::uint8_t {
        None, Process, Kind, UtilityList, Unbounded, SideChoice, SideChoiceExtended, MainSideChoice, NonEmptyKind
    };
    // The side the stream is looked up on for this value of `side`: the viewer's utility side.
    static constexpr int UtilitySide = -1;

    int type = 0;                 // type code; 0 for a variable known by name only
    const char* name = nullptr;   // the name of a variable known by name
    int number = 0;
    Guard guard = Guard::Bound;
    double (*read)(V&, const VarDescription&) = nullptr;
    bool zeroIsEmpty = false;     // an answer of exactly 0.0 is shown empty
    Rows rows = Rows::None;
    int kind = 0, side = 2;       // the stream look-up (and the bound for Rows::Kind)
    double (*streamRead)(V&, IHeatIntegrationStream&, const VarDescription&) = nullptr;
    bool keepOnFail = false;      // a failed look-up leaves workStream as it was
    double missing = EmptyValue;  // the answer for a row outside its list or a failed look-up
    int dims = 0;                 // the form: 0 one value, 1 a column, 2 a table
    int unit = -1;                // the form's kind of quantity; -1 that of the type code

    // The address a form writes for the row ("Temperature.402", "Count.410").
    Text Address() const;
};

namespace scenario_values {
using V = HIDesignViewerScenario;
using Row = HIDesignViewerScenario::ValueRow;
using G = Row::Guard;
using R = Row::Rows;
constexpr double kEmpty = Viewable::EmptyValue;

inline double flag(bool b) { return b ? 1.0 : 0.0; }

// The list of a stream-table row: the kind and side its stream is looked up on and the bound of
// the row (row i is in the list when i < bound). False when a side pair chooses no side.
bool rowList(V& v, Row::Rows rows, const VarDescription& var, int& kind, int& side, int& bound);
}  // namespace scenario_values
