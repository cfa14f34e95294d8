// The dispatchers through which input reaches the views, and the replay of a journal's inputs.
#include "lumeth/DisplayUnits.h"
#include "lumeth/FormWrites.h"
#include "lumeth/CommandAnswer.h"
#include "lumeth/ObjectTypeInfo.h"
#include "lumeth/KindRanges.h"
#include "lumeth/Messages.h"
#include "lumeth/Session.h"
#include "lumeth/Viewable.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <memory>

namespace {

// The input entry of a dispatch, recorded before the hook runs.
std::uint64_t recordInput(SessionEvent event, const Viewable* view, const Text& text, double value = 0.0,
                          const Text& detail = Text()) {
    SessionEntry e;
    e.event = event;
    e.key = view ? view->GetName() : Text();
    e.text = text;
    e.target = view ? ViewPath(view) : Text();
    e.value = value;
    e.detail = detail;
    return Session::Instance().Record(std::move(e));
}

void setResult(std::uint64_t sequence, int result) {
    if (SessionEntry* e = Session::Instance().Find(sequence)) e->answer = result;
}

// The view and the variable an address names: its leading child links are followed from
// `view` (the view's AttachedObject follows a chain of links), the rest is the variable.
Viewable* resolveAddress(Viewable* view, const VarDescription& address, const VarDescription*& variable) {
    variable = &address;
    if (!address.IsObjectLink()) return view;
    Viewable* target = view->AttachedObject(address);
    while (variable && variable->IsObjectLink()) variable = variable->GetNextLink();
    return target;
}

// The row a view's form lists for a variable; null when the form lists none (a view without a
// form description keeps its own rules whole).
const FormVariable* listedRow(Viewable* view, const VarDescription& var) {
    const ObjectTypeInfo* type = view ? view->GetViewType() : nullptr;
    return type ? FindListed(type, var) : nullptr;
}

// Whether the user was shown a message (or asked a question) after the entry numbered `sequence`.
bool toldSince(std::uint64_t sequence) {
    for (const SessionEntry& e : Session::Instance().EntriesSince(sequence))
        // A question answered and a file picker the user cancelled are the user's own word.
        if (e.event == SessionEvent::Error || e.event == SessionEvent::Response ||
            (e.event == SessionEvent::FilePicked && e.text.empty()))
            return true;
    return false;
}

// A cell the form lists read-only takes nothing, nor one the view's cell state makes read-only
// now: what `status` tells is what a write finds.
bool refusedAsReadOnly(Viewable* view, const VarDescription& var, const FormVariable& row) {
    if (ListedCellState(view, var, row) != ReadOnlyState) return false;
    ErrorMsg(WriteRefusal::ReadOnly, Text());
    return true;
}

// A number outside the range of the cell's kind of quantity (or no finite number at all) is
// refused before the view sees it; the empty value erases and goes on.
bool refusedAsOutOfRange(Viewable* view, const VarDescription& var, const FormVariable& row, double value) {
    if (value == Viewable::EmptyValue || (std::isfinite(value) && !HeldToRange(ListedForm(view->GetViewType()), row)))
        return false;
    const KindRange* range = FindKindRange(view->GetEDVarType(var));
    if (std::isfinite(value) && (!range || (value >= range->low && value <= range->high))) return false;
    if (!range) {
        ErrorMsg(WriteRefusal::OutOfRange, Text());
        return true;
    }
    // The refusal says the range, as a refusal by the cell's own domain does.
    const Text takes = CellDomain::Between(range->low, range->high).Described(*view, var);
    Session::Instance().Record(SessionEvent::Error, WriteRefusal::OutOfRange,
                               FindString(WriteRefusal::OutOfRange, 0) + " " +
                                   FormatMessage(FindString(WriteRefusal::DomainTold, 0), {takes}));
    return true;
}

// A number the cell's quantity cannot be (a count of 2.5 shells, a negative duty, a switch at 7,
// a choice past its entries) is refused before the view sees it, whatever the view's own checks:
// the domain declared with the cell's row, or else the one of its kind where the cell answers for
// no range of its own (a cell that lists keys of its own tells the user itself why a value is
// refused, as the range of its kind leaves it to). The refusal names what the cell takes.
bool refusedOutsideDomain(Viewable* view, const VarDescription& var, const FormVariable& row, double value) {
    if (value == Viewable::EmptyValue) return false;
    const int kind = view->GetEDVarType(var);
    const CellDomain* domain = row.domain.Declared()                              ? &row.domain
                               : HeldToRange(ListedForm(view->GetViewType()), row) ? FindKindDomain(kind)
                                                                                   : nullptr;
    if (domain && domain->typed) value = calc_ounit(value, DefUnitConv(kind));
    if (!domain || domain->Takes(value, *view, var)) return false;
    const Text key = domain->key ? domain->key : WriteRefusal::OutOfRange;
    Session::Instance().Record(SessionEvent::Error, key,
                               FindString(key, 0) + " " + FormatMessage(FindString(WriteRefusal::DomainTold, 0),
                                                                        {domain->Described(*view, var)}));
    return true;
}

// A number written into a listed cell: held to the form's rules first, then the view's. The
// cell's own domain goes before the range of its kind: its refusal says what the cell takes.
int specifyListed(Viewable* view, const VarDescription& var, const FormVariable* row, double value) {
    if (row && (refusedAsReadOnly(view, var, *row) || refusedOutsideDomain(view, var, *row, value) ||
                refusedAsOutOfRange(view, var, *row, value)))
        return 0;
    return view->Specify(var, value);
}

// A text typed into a number cell, as a number in the cell's display unit: an empty text erases.
bool typedNumber(const Text& text, double& out) {
    std::size_t a = 0, b = text.size();
    while (a < b && std::isspace(static_cast<unsigned char>(text[a]))) ++a;
    while (b > a && std::isspace(static_cast<unsigned char>(text[b - 1]))) --b;
    if (a == b) {
        out = Viewable::EmptyValue;
        return true;
    }
    const std::string number(text.substr(a, b - a));
    // A user types numbers in decimals: a hexadecimal form or the words "nan" and "inf", which
    // the C reader would also take, are no number typed.
    if (number.find_first_not_of("0123456789+-.eE") != std::string::npos) return false;
    char* end = nullptr;
    errno = 0;
    out = std::strtod(number.c_str(), &end);
    return end && *end == '\0' && errno == 0;
}

}  // namespace

namespace {

// Whether an error message was shown after the entry numbered `sequence`.
bool errorSince(std::uint64_t sequence) {
    for (const SessionEntry& e : Session::Instance().EntriesSince(sequence))
        if (e.event == SessionEvent::Error) return true;
    return false;
}

}  // namespace

int SendViewableMessage(Viewable* view, const Text& line, int) {
    if (!view) return 0;
    const std::uint64_t sequence = recordInput(SessionEvent::MessageSent, view, line);
    int result = view->Message(line);
    // The view may be gone now; only the journal entry is touched.
    // Every command answers by one rule: a command that showed an error did not do what it was
    // asked (what a command leaves undone of work it did is listed as a notice, not an error),
    // and a command that did nothing says why, once: a refusal the view gave without a word is
    // told here.
    if (result != 0 && errorSince(sequence)) result = 0;
    else if (result == 0 && !toldSince(sequence)) {
        Text word, rest;
        line.Token(word, rest);
        ErrorMsg(CommandAnswer::NotDone, word);
    }
    setResult(sequence, result);
    return result;
}

void NoteNotDone(const Text& key, const MessageParameters& parameters) { ResponseMsg(key, 1, parameters); }

int SpecifyValue(Viewable* view, const Text& address, double value) {
    if (!view) return -1;
    const std::uint64_t sequence = recordInput(SessionEvent::Specified, view, address, value);
    VarDescription var;
    const VarDescription* variable = nullptr;
    Viewable* target = VarDescription::Parse(address, var) ? resolveAddress(view, var, variable) : nullptr;
    if (!target || !variable) return setResult(sequence, -1), -1;
    const FormVariable* row = listedRow(target, *variable);
    int result = specifyListed(target, *variable, row, value);
    // A write answers by the rule a command answers by: one that showed an error was not taken,
    // and a refusal always says why: one the view gave without a word is told here.
    if (result != 0 && errorSince(sequence)) result = 0;
    if (result == 0 && row && !toldSince(sequence)) ErrorMsg(WriteRefusal::NotTaken, Text());
    setResult(sequence, result);
    return result;
}

int SpecifyValueText(Viewable* view, const Text& address, const Text& text) {
    if (!view) return -1;
    const std::uint64_t sequence = recordInput(SessionEvent::SpecifiedText, view, address, 0.0, text);
    VarDescription var;
    const VarDescription* variable = nullptr;
    Viewable* target = VarDescription::Parse(address, var) ? resolveAddress(view, var, variable) : nullptr;
    if (!target || !variable) return setResult(sequence, -1), -1;
    const FormVariable* row = listedRow(target, *variable);
    int result = 0;
    if (!row || !refusedAsReadOnly(target, *variable, *row)) {
        const auto life = target->LifeToken();
        result = target->SpecifyText(*variable, text);
        // A number cell that takes no text of its own reads what was typed as a number in the
        // unit it shows.
        if (result == 0 && row && row->hook == FormHook::Value && !life.expired() && !toldSince(sequence)) {
            double number = 0.0;
            if (!typedNumber(text, number)) ErrorMsg(WriteRefusal::NotANumber, text);
            else {
                if (number != Viewable::EmptyValue) number = calc_unit(number, DefUnitConv(target->GetEDVarType(*variable)));
                result = specifyListed(target, *variable, row, number);
            }
        }
    }
    if (result != 0 && errorSince(sequence)) result = 0;
    if (result == 0 && row && !toldSince(sequence)) ErrorMsg(WriteRefusal::NotTaken, Text());
    setResult(sequence, result);
    return result;
}

namespace {

// The view that makes or takes the child of a link address, and the link's last element: all but
// the last link lead from `view` to it.
Viewable* linkOwner(Viewable* view, const VarDescription& var, const VarDescription*& link) {
    Viewable* owner = view;
    link = &var;
    while (owner && link->GetNextLink() && link->GetNextLink()->IsObjectLink()) {
        VarDescription step = *link;
        step.DropNextLinks();
        owner = owner->AttachedObject(step);
        link = link->GetNextLink();
    }
    return owner;
}

// An attach answers by the rule commands answer by: one that made or took nothing says why.
Viewable* attachAnswered(std::uint64_t sequence, Viewable* made, const Text& name) {
    if (!made && !toldSince(sequence)) ErrorMsg(CommandAnswer::NotAttached, name);
    setResult(sequence, made ? 1 : 0);
    return made;
}

}  // namespace

Viewable* AttachNewViewObject(Viewable* view, const Text& address, const Text& name) {
    if (!view) return nullptr;
    const std::uint64_t sequence = recordInput(SessionEvent::Attached, view, address, 0.0, name);
    VarDescription var;
    if (!VarDescription::Parse(address, var) || !var.IsObjectLink()) return setResult(sequence, 0), nullptr;
    const VarDescription* link = nullptr;
    Viewable* owner = linkOwner(view, var, link);
    Viewable* made = owner ? owner->AttachNewObject(*link, name) : nullptr;
    return attachAnswered(sequence, made, name);
}

Viewable* AttachViewObject(Viewable* view, const Text& address, const Text& name, bool* dropped) {
    if (dropped) *dropped = false;
    if (!view) return nullptr;
    const std::uint64_t sequence = recordInput(SessionEvent::Attached, view, address, 0.0, name);
    VarDescription var;
    if (!VarDescription::Parse(address, var) || !var.IsObjectLink()) return setResult(sequence, 0), nullptr;
    const VarDescription* link = nullptr;
    Viewable* owner = linkOwner(view, var, link);
    if (!owner) return attachAnswered(sequence, nullptr, name);
    std::vector<Viewable*> offered;
    owner->GetAttachableObjects(*link, offered);
    for (Viewable* object : offered) {
        if (!object || object->GetName() != name) continue;
        // A drop: the entry says so (number 1), so a replay drops the same object again.
        if (SessionEntry* e = Session::Instance().Find(sequence)) e->number = 1;
        if (dropped) *dropped = true;
        const auto life = object->LifeToken();
        const int result = owner->AttachObject(*link, object);
        if (result == 0 && !toldSince(sequence)) ErrorMsg(CommandAnswer::NotAttached, name);
        setResult(sequence, result);
        return result && !life.expired() ? object : nullptr;
    }
    Viewable* made = owner->AttachNewObject(*link, name);
    return attachAnswered(sequence, made, name);
}

Text ViewPath(const Viewable* view) {
    std::vector<Text> steps;
    for (const Viewable* v = view; v && v->GetParent(); v = v->GetParent()) steps.push_back(v->GetParent()->AttachedName(v));
    Text path;
    for (auto it = steps.rbegin(); it != steps.rend(); ++it) path += (path.empty() ? "" : "/") + *it;
    return path;
}

Viewable* ResolveViewPath(Viewable* root, const Text& path) {
    Viewable* current = root;
    for (const Text& step : VarDescription::SplitPath(path)) {
        VarDescription link;
        if (!current || !VarDescription::Parse(step, link) || !link.IsObjectLink()) return nullptr;
        current = current->AttachedObject(link);
    }
    return current;
}

int ReplayInputs(const std::vector<SessionEntry>& journal, Viewable* root) {
    Session& s = Session::Instance();
    for (const SessionEntry& e : journal) {
        if (e.event == SessionEvent::Response && e.number == 2) s.ScriptResponse(e.answer);
        if (e.event == SessionEvent::FilePicked) s.ScriptFileName(e.text);
    }
    int failed = 0;
    const auto life = root ? root->LifeToken() : std::weak_ptr<const bool>();
    for (const SessionEntry& e : journal) {
        if (!IsInputEvent(e.event)) continue;
        if (e.event == SessionEvent::UnitsSet) {
            SetDisplayUnitSet(e.number);
            continue;
        }
        Viewable* view = life.expired() ? nullptr : ResolveViewPath(root, e.target);
        if (!view) {
            ++failed;
            continue;
        }
        switch (e.event) {
            case SessionEvent::MessageSent: SendViewableMessage(view, e.text); break;
            case SessionEvent::Specified: SpecifyValue(view, e.text, e.value); break;
            case SessionEvent::SpecifiedText: SpecifyValueText(view, e.text, e.detail); break;
            case SessionEvent::Attached:
                if (e.number == 1) AttachViewObject(view, e.text, e.detail);
                else AttachNewViewObject(view, e.text, e.detail);
                break;
            default: break;
        }
    }
    return failed;
}
