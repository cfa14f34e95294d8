#pragma once
// The words a scenario's forms read, as rows of data: one row per text variable. A row shares
// the vocabulary of the value rows (ScenarioValueRows.h): the variable, the list that bounds a
// stream-table row and the stream look-up. It adds the extra "**New**" row through which a
// table adds an item and what a failed look-up shows. One dispatcher
// (`HIDesignViewerScenario::TextValue`) walks these rows in the order of its steps: "Name",
// "TitleText", "CCUnits", "PlotName", the numbered variables of type 1519, the other names,
// the total annual cost of type 31001 and "HeatType".
#include "views/case/scenario/ScenarioValueRows.h"

struct HIDesignViewerScenario::TextRow {
    using V = HIDesignViewerScenario;
    using Rows = ValueRow::Rows;
    // A row of a name answered for every variable number.
    static constexpr int AnyNumber = -1;

    int type = 0;                 // type code; 0 for a variable known by name only
    const char* name = nullptr;
    int number = 0;
    Text (*read)(V&, const VarDescription&) = nullptr;
    Rows rows = Rows::None;       // the list that bounds the row (None: not a stream row)
    int kind = 0, side = 2;
    bool newRow = false;          // the row just past the list reads "**New**"
    bool shows = false;           // a failed look-up shows "GetStreamError"
    const char* missing = "";     // the answer of a failed look-up
    Text (*streamText)(V&, IHeatIntegrationStream&, const VarDescription&) = nullptr;
    int dims = 0;                 // the form: 0 one text, 1 a column, 2 a table

    Text Address() const;
};
