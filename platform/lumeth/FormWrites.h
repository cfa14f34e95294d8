#pragma once
// What every form answers a write it does not take with, whatever the view: a cell that is
// read-only (by its row or by the view's cell state) takes nothing; a number outside the range
// of its kind of quantity, or a text that is no number typed into a number cell, is refused; and
// a refusal the view gave without a word of its own is told. The input dispatchers hold every
// write of a listed cell to these rules (SessionInput.cpp).
#include "lumeth/FormDescription.h"

class ObjectTypeInfo;

namespace WriteRefusal {
inline constexpr const char* ReadOnly = "ReadOnlyCell";
inline constexpr const char* OutOfRange = "SpecRange";
inline constexpr const char* NotANumber = "NotANumber";
inline constexpr const char* NotTaken = "ValueNotTaken";
}  // namespace WriteRefusal

// The form a view type lists (its own variables and its parents'), made once per type.
const FormDescription& ListedForm(const ObjectTypeInfo* type);
// The row a form lists for a variable address (a row of a column or table, a numbered row at any
// number); null when it lists none.
const FormVariable* FindListed(const FormDescription& form, const VarDescription& var);
// The keys of the general refusals a write of the variable may be answered with, blank-separated.
Text WriteRefusals(const FormVariable& variable);
// Every key a write of the listed address may be answered with: the view's own and the general
// ones, each once. What the `form` of a script lists.
Text ListedRefusals(const FormDescription& form, const Text& address);
