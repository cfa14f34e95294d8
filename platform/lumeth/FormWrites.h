#pragma once
// What every form answers a write it does not take with, whatever the view: a cell that is
// read-only (by its row or by the view's cell state, as `status` tells it) takes nothing; a number
// outside the range of its kind of quantity, or a text that is no number typed into a number
// cell, is refused; a write that showed an error was not taken (it answers 0, as a command does);
// and a refusal the view gave without a word of its own is told. The input dispatchers hold every
// write of a listed cell to these rules (SessionInput.cpp).
#include "lumeth/FormDescription.h"

class ObjectTypeInfo;
class Viewable;

namespace WriteRefusal {
inline constexpr const char* ReadOnly = "ReadOnlyCell";
inline constexpr const char* OutOfRange = "SpecRange";
inline constexpr const char* NotANumber = "NotANumber";
inline constexpr const char* NotTaken = "ValueNotTaken";
// The words that follow a refusal of a number the cell's quantity cannot be: what it takes.
inline constexpr const char* DomainTold = "CellTakes";
}  // namespace WriteRefusal

// The form a view type lists (its own variables and its parents'), made once per type.
const FormDescription& ListedForm(const ObjectTypeInfo* type);
// The row a type's form lists for a variable address (a row of a column or table, a numbered row
// at any number; of a variable listed twice, the row the user may type into); null when it lists
// none.
const FormVariable* FindListed(const ObjectTypeInfo* type, const VarDescription& var);
// The state a listed cell is in now, as a write finds it and as a script's `status` tells it: a
// row the form lists read-only is read-only whatever the view says; any other is what the view's
// cell state makes it, starting from the state its row lists (a row that follows the view's
// state starts read-only, so that only the view opens it).
ModifyState ListedCellState(Viewable* view, const VarDescription& var, const FormVariable& row);
// Whether a write of a listed cell is held to the range of its kind of quantity before the view
// sees it: a cell whose form lists no refusals of its own is; a cell that lists refusals of its
// own answers for its range itself (a utility's load says the targets set it), unless it lists
// the general refusal too.
bool HeldToRange(const FormDescription& form, const FormVariable& row);
// The keys of the general refusals a write of the variable may be answered with, blank-separated.
Text WriteRefusals(const FormVariable& variable);
// Every key a write of the listed address may be answered with: the view's own and the general
// ones, each once. What the `form` of a script lists.
Text ListedRefusals(const FormDescription& form, const Text& address);
