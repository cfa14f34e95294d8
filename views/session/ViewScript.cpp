#include "views/session/ViewScript.h"
#include "views/session/ViewJson.h"

#include "brasko/CaseFileTemporaries.h"
#include "lumeth/DisplayUnits.h"
#include "lumeth/FormDescription.h"
#include "lumeth/FormWrites.h"
#include "lumeth/ObjectTypeInfo.h"
#include "lumeth/Session.h"
#include "lumeth/VarDescription.h"
#include "lumeth/VarEnumInfo.h"
#include "lumeth/TwoDimPlot.h"
#include "lumeth/Viewable.h"
#include "views/grid/HENDiagram.h"
#include "views/plots/ChiSuperTargetPlot.h"
#include "views/plots/chiPlot.h"

#include <cctype>
#include <cerrno>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <utility>

#include <sys/stat.h>


namespace {

Text trim(const Text& s) {
    std::size_t a = 0, b = s.size();
    while (a < b && std::isspace(static_cast<unsigned char>(s[a]))) ++a;
    while (b > a && std::isspace(static_cast<unsigned char>(s[b - 1]))) --b;
    return Text(s.substr(a, b - a));
}

// The first word and the rest of a text.
void splitWord(const Text& s, Text& word, Text& rest) {
    const Text t = trim(s);
    std::size_t i = 0;
    while (i < t.size() && !std::isspace(static_cast<unsigned char>(t[i]))) ++i;
    word = Text(t.substr(0, i));
    rest = trim(Text(t.substr(i)));
}

bool parseNumber(const Text& s, double& out) {
    if (s.empty()) return false;
    // Numbers are written in decimals, as a user types them into a cell: the hexadecimal forms
    // the C reader also takes are none.
    if (s.find_first_not_of("0123456789+-.eE") != Text::npos) return false;
    errno = 0;
    char* end = nullptr;
    out = std::strtod(s.c_str(), &end);
    return end && *end == '\0' && errno == 0 && std::isfinite(out);
}

bool isEmptyValue(double v) { return v == Viewable::EmptyValue || !std::isfinite(v); }

const char* hookName(FormHook hook) {
    switch (hook) {
        case FormHook::Value: return "value";
        case FormHook::Text: return "text";
        case FormHook::Command: return "command";
        case FormHook::Object: return "object";
        case FormHook::Link: return "link";
    }
    return "value";
}

// The form of a view as it stands: a variable whose number is its row is listed once per row
// the view has, so that each is read, and addressed, only where there is one.
FormDescription formOf(Viewable* view) {
    FormDescription described;
    if (view && view->GetViewType()) view->GetViewType()->LoadVariables(described);
    bool numbered = false;
    for (const FormVariable& v : described.Variables()) numbered = numbered || v.numbered;
    if (!numbered) return described;
    FormDescription form;
    for (const FormVariable& v : described.Variables()) {
        VarDescription var;
        if (!v.numbered || !VarDescription::Parse(v.address, var)) {
            form.Add(v);
            if (const Text refusals = described.Refusals(v.address); !refusals.empty()) form.SetRefusals(v.address, refusals);
            continue;
        }
        DimInfo dims;
        const int rows = view->Dimensions(var, dims) > 0 ? dims.Dim(0) : 0;
        for (int n = 0; n < rows; ++n) {
            FormVariable row = v;
            row.numbered = false;
            row.dimensions = 0;
            row.address = VarDescription(var.Name(), n).ToString();
            form.Add(row);
        }
    }
    for (const Text& c : described.Commands()) form.AddCommand(c);
    return form;
}

// Whether any cell of a column or table takes a write now (a table with no rows: as its row is
// listed, there being no cell to ask).
bool anyRowEditable(Viewable* view, const VarDescription& var, const FormVariable& v) {
    DimInfo dims;
    if (view->Dimensions(var, dims) <= 0 || dims.NumberOfDims() < 1) return v.editable;
    const int rows = dims.Dim(0), columns = dims.NumberOfDims() > 1 ? dims.Dim(1) : 0;
    if (rows <= 0) return v.editable;
    for (int i = 0; i < rows; ++i) {
        VarDescription at = var;
        at.SetOffset(0, i);
        if (columns <= 0 && ListedCellState(view, at, v) != ReadOnlyState) return true;
        for (int j = 0; j < columns; ++j) {
            at.SetOffset(1, j);
            if (ListedCellState(view, at, v) != ReadOnlyState) return true;
        }
    }
    return false;
}

// The form as the user sees it now: a cell is shown editable exactly while a write of it is
// taken, the state `status` tells (a cell the view's state makes read-only now is shown
// read-only, one its state marks is shown editable), a column or table while any of its cells
// takes one (a retrofit base's held column, whose every row refuses, is read-only); each lists
// every key a write of it may be answered with.
FormDescription shownForm(Viewable* view) {
    const FormDescription listing = formOf(view);
    FormDescription shown;
    for (FormVariable v : listing.Variables()) {
        VarDescription var;
        if ((v.hook == FormHook::Value || v.hook == FormHook::Text) && (v.editable || v.byState) &&
            VarDescription::Parse(v.address, var))
            v.editable = v.dimensions == 0 ? ListedCellState(view, var, v) != ReadOnlyState : anyRowEditable(view, var, v);
        shown.Add(v);
        // Every key a write of the cell may be answered with, whatever its state now.
        if (const Text keys = ListedRefusals(listing, v.address); !keys.empty()) shown.SetRefusals(v.address, keys);
    }
    for (const Text& word : listing.Commands()) shown.AddCommand(word);
    return shown;
}

bool listed(const FormDescription& form, const VarDescription& var) {
    const FormKey key = FormKey::Of(var);
    for (const FormVariable& v : form.Variables()) {
        VarDescription row;
        if (!VarDescription::Parse(v.address, row)) continue;
        const FormKey k = FormKey::Of(row);
        if (!(k < key) && !(key < k)) return true;
    }
    return false;
}

// The view a path step leads to: the owner, or a child link of the view.
Viewable* stepTo(Viewable* view, const Text& step) {
    if (!view) return nullptr;
    if (step == "MyOwnerObject") return view->OwnerViewable();
    VarDescription link;
    if (!VarDescription::Parse(step, link) || !link.IsObjectLink()) return nullptr;
    return view->AttachedObject(link);
}


Text entryJson(const SessionEntry& e) {
    return Text("{\"event\":") + ViewJsonText(SessionEventName(e.event)) + ",\"key\":" + ViewJsonText(e.key) +
           ",\"text\":" + ViewJsonText(IsInputEvent(e.event) && !e.detail.empty() ? e.detail : e.text) +
           FormattedText(",\"number\":%d,\"answer\":%d}", e.number, e.answer);
}

// A message the views showed the user: what an `expect` announces.
bool isMessage(const SessionEntry& e) {
    return e.event == SessionEvent::Error || (e.event == SessionEvent::Response);
}

// The addresses of the views a link row reaches, one per index that reaches one, each with the
// name of the view found there.
std::vector<Text> linkedNames(Viewable* view, const FormVariable& row) {
    std::vector<Text> names;
    VarDescription var;
    if (row.hook != FormHook::Link || !VarDescription::Parse(row.address, var)) return names;
    DimInfo dims;
    const int n = view->Dimensions(var, dims) > 0 ? dims.Dim(0) : 0;
    for (int i = 0; i < n; ++i) {
        VarDescription at = var;
        at.SetOffset(0, i);
        // By the index that reached it: one view may stand at two indices.
        if (const Viewable* linked = view->AttachedObject(at)) {
            at.SetChildName(linked->GetName());
            names.push_back(at.ToString());
        }
    }
    return names;
}

// Children a form lists: views a user works with. Plots, name views and canvas items are
// rebuilt by their owners and left out; design viewers and the nodes of a trend study's tree
// (its summary, its studies and their events), rebuilt too, are what a user opens and selects.
bool listedChild(const Viewable* child) {
    const ObjectTypeInfo* type = child->GetViewType();
    if (!type || !type->IsTransient()) return true;
    for (const char* opened : {"HIDesignViewerDesignObject", "TrendNodeViewObject", "StudyNodeViewObject",
                               "EventNodeViewObject", "SpecialEventNodeViewObject"})
        if (type->IsA(opened)) return true;
    return false;
}

// A cell of a listed variable in its own kind of quantity, as `get` reads it (a row may mix
// kinds: a cost beside its percentage); the row's kind when the view gives none.
Text listedCell(Viewable* view, const VarDescription& at, int rowType) {
    const double base = view->Value(at);
    if (isEmptyValue(base)) return "null";
    const int own = view->GetEDVarType(at);
    return ViewJsonNumber(calc_ounit(base, DefUnitConv(own > 0 ? own : rowType)));
}

void formJson(Viewable* view, Text& out, int depth) {
    const FormDescription form = shownForm(view);
    out += "{\"view\":" + ViewJsonText(view->GetName()) + ",\"type\":" +
           ViewJsonText(view->GetViewType() ? view->GetViewType()->GetName() : Text()) + ",\"variables\":[";
    bool first = true;
    for (const FormVariable& v : form.Variables()) {
        out += first ? "" : ",";
        first = false;
        out += "{\"address\":" + ViewJsonText(v.address) + ",\"hook\":\"" + hookName(v.hook) + "\",\"unit\":" +
               ViewJsonText(DefUnitConv(v.typeCode).name) + ",\"editable\":" + (v.editable ? "true" : "false");
        if (const Text refusals = ListedRefusals(form, v.address); !refusals.empty()) {
            out += ",\"refuses\":[";
            std::size_t at = 0;
            while (at < refusals.size()) {
                std::size_t end = refusals.find(' ', at);
                if (end == Text::npos) end = refusals.size();
                out += (at ? "," : "") + ViewJsonText(Text(refusals.substr(at, end - at)));
                at = end + 1;
            }
            out += "]";
        }
        if (v.hook == FormHook::Link) {
            out += ",\"links\":[";
            const std::vector<Text> names = linkedNames(view, v);
            for (std::size_t k = 0; k < names.size(); ++k) out += (k ? "," : "") + ViewJsonText(names[k]);
            out += "]";
        }
        VarDescription var;
        if (VarDescription::Parse(v.address, var)) {
            if (v.hook == FormHook::Text) {
                out += ",\"text\":" + ViewJsonText(view->TextValue(var));
                // A column of texts (a name table) lists its rows too.
                DimInfo dims;
                if (v.dimensions > 0 && view->Dimensions(var, dims) > 0) {
                    out += ",\"texts\":[";
                    for (int i = 0; i < dims.Dim(0); ++i) {
                        VarDescription at = var;
                        at.SetOffset(0, i);
                        out += (i ? "," : "") + ViewJsonText(view->TextValue(at));
                    }
                    out += "]";
                }
            } else if (v.hook == FormHook::Value && v.dimensions == 0) {
                out += ",\"value\":" + listedCell(view, var, v.typeCode);
            } else if (v.hook == FormHook::Value) {
                DimInfo dims;
                view->Dimensions(var, dims);
                out += ",\"values\":[";
                const int n = dims.Dim(0);
                // A table lists a row of cells per entry of its first index, as `get A.[].[]`.
                const int columns = dims.NumberOfDims() > 1 ? dims.Dim(1) : -1;
                for (int i = 0; i < n; ++i) {
                    VarDescription at = var;
                    at.SetOffset(0, i);
                    out += i ? "," : "";
                    if (columns < 0) {
                        out += listedCell(view, at, v.typeCode);
                        continue;
                    }
                    out += "[";
                    for (int j = 0; j < columns; ++j) {
                        at.SetOffset(1, j);
                        out += (j ? "," : "") + listedCell(view, at, v.typeCode);
                    }
                    out += "]";
                }
                out += "]";
            }
        }
        out += "}";
    }
    out += "],\"commands\":[";
    first = true;
    for (const Text& c : form.Commands()) {
        out += (first ? "" : ",") + ViewJsonText(c);
        first = false;
    }
    out += "],\"children\":[";
    first = true;
    // A deep tree is listed to a bounded depth; deeper children are named only.
    for (int i = 0; i < view->GetNumberOfChildren(); ++i) {
        Viewable* child = view->GetChild(i);
        if (!listedChild(child)) continue;
        out += first ? "" : ",";
        first = false;
        if (depth < 8) formJson(child, out, depth + 1);
        else out += "{\"view\":" + ViewJsonText(child->GetName()) + "}";
    }
    out += "]}";
}

void formText(Viewable* view, Text& out, const Text& indent, int depth) {
    out += indent + "view " + view->GetName() + " (" +
           (view->GetViewType() ? view->GetViewType()->GetName() : Text()) + ")\n";
    const FormDescription form = shownForm(view);
    for (const Text& line : form.Listing()) out += indent + "  " + line + "\n";
    for (const FormVariable& v : form.Variables())
        for (const Text& name : linkedNames(view, v)) out += indent + "  link " + name + "\n";
    for (const Text& c : form.Commands()) out += indent + "  command " + c + "\n";
    for (int i = 0; i < view->GetNumberOfChildren() && depth < 8; ++i) {
        Viewable* child = view->GetChild(i);
        if (!listedChild(child)) continue;
        formText(child, out, indent + "  ", depth + 1);
    }
}

}  // namespace

Text ViewScriptRunner::FormJson(Viewable* view) {
    Text out;
    if (view) formJson(view, out, 0);
    else out = "null";
    return out;
}

Text ViewScriptRunner::FormText(Viewable* view) {
    Text out;
    if (view) formText(view, out, Text(), 0);
    return out;
}

namespace {
// A script's own words quoted back (in a reason, in the transcript) may be a whole file long:
// they are cut, at a character's start, so that each stays a line a reader can take in.
Text cutForReading(const Text& words) {
    constexpr std::size_t kLongest = 300;
    if (words.size() <= kLongest) return words;
    std::size_t cut = kLongest;
    while (cut > 0 && (static_cast<unsigned char>(words[cut]) & 0xC0) == 0x80) --cut;
    return Text(words.substr(0, cut)) + "...";
}
}  // namespace

bool ViewScriptRunner::fail(const Text& reason) {
    m_error = m_scriptName + FormattedText(":%d: ", m_line) + cutForReading(reason);
    return false;
}

bool ViewScriptRunner::resolve(const Text& address, Viewable*& view, Text& variable, bool mustBeListed) {
    if (address == "MyOwnerObject") {
        view = m_current ? m_current->OwnerViewable() : nullptr;
        variable.clear();
        return view ? true : fail("the view " + m_current->GetName() + " has no owner");
    }
    VarDescription var;
    if (address.empty() || !VarDescription::Parse(address, var)) return fail("the address " + address + " does not parse");
    view = m_current;
    for (const Text& step : VarDescription::SplitPath(var.Path())) {
        if (step.empty()) continue;
        view = stepTo(view, step);
        if (!view) return fail("the address " + address + " reaches no view (at " + step + ")");
    }
    const VarDescription* tail = &var;
    if (var.IsObjectLink()) {
        view = view->AttachedObject(var);
        while (tail && tail->IsObjectLink()) tail = tail->GetNextLink();
    }
    if (!view) return fail("the address " + address + " reaches no view");
    if (!tail) {
        variable.clear();
        return true;
    }
    variable = tail->ToString();
    if (mustBeListed && !listed(formOf(view), *tail))
        return fail("the view " + view->GetName() + " lists no variable " + variable);
    return true;
}

int ViewScriptRunner::Run(const Text& script, const Text& scriptName) {
    m_scriptName = scriptName;
    Session& session = Session::Instance();
    session.SetStrict(true);
    std::size_t start = 0;
    int line = 0;
    while (start <= script.size()) {
        std::size_t end = script.find('\n', start);
        if (end == Text::npos) end = script.size();
        Text text = trim(Text(script.substr(start, end - start)));
        start = end + 1;
        ++line;
        if (text.empty() || text[0] == '#') {
            if (end == script.size()) break;
            continue;
        }
        m_line = line;
        Text action, rest;
        splitWord(text, action, rest);
        ViewScriptStep s;
        s.line = line;
        s.input = text;
        const std::uint64_t before = session.NextSequence() - 1;
        const int missingBefore = session.MissingAnswers();
        // What the step may show: announced by the `expect` lines just before it.
        std::set<Text> expected;
        if (action != "expect") expected.swap(m_expected);
        // A step may close the view the script is on: the script goes on from the nearest
        // owner still open, else from the top.
        std::vector<std::pair<std::weak_ptr<const bool>, Viewable*>> owners;
        for (Viewable* v = m_current; v; v = v->OwnerViewable()) owners.emplace_back(v->LifeToken(), v);
        const std::weak_ptr<const bool> rootLife = m_root ? m_root->LifeToken() : std::weak_ptr<const bool>();
        const bool ok = step(line, action, rest, s);
        if (!owners.empty() && owners.front().second == m_current && owners.front().first.expired()) {
            m_current = nullptr;
            for (const auto& [life, view] : owners)
                if (!life.expired()) {
                    m_current = view;
                    break;
                }
        }
        if (rootLife.expired()) m_root = nullptr;
        if (!m_current) m_current = m_root;
        if (!m_current) {
            m_steps.push_back(s);
            fail("the step closed every view");
            session.SetStrict(false);
            return 1;
        }
        s.journal = session.EntriesSince(before);
        const bool isExpect = action == "expect" || action == "answer" || action == "file";
        if (!isExpect) {
            for (const SessionEntry& e : s.journal)
                if (isMessage(e) && !expected.count(e.key)) ++m_unexpected;
        } else {
            // Answers and expectations wait for the next step's messages.
            m_expected.insert(expected.begin(), expected.end());
        }
        m_steps.push_back(s);
        if (!ok) {
            session.SetStrict(false);
            return 1;
        }
        if (session.MissingAnswers() > missingBefore) {
            for (const SessionEntry& e : s.journal)
                if (e.event == SessionEvent::ScriptMissing) {
                    fail((e.text == "file" ? "the file picker " : "the question ") + e.key + " has no scripted answer");
                    break;
                }
            session.SetStrict(false);
            return 1;
        }
        if (end == script.size()) break;
    }
    session.SetStrict(false);
    return m_unexpected ? 1 : 0;
}

bool ViewScriptRunner::step(int, const Text& action, const Text& rest, ViewScriptStep& s) {
    Session& session = Session::Instance();
    Viewable* view = nullptr;
    Text variable;
    if (action == "answer") {
        double n = 0;
        if (!parseNumber(rest, n) || n != std::floor(n)) return fail("answer needs a whole number, not " + rest);
        session.ScriptResponse(static_cast<int>(n));
        return true;
    }
    if (action == "file") {
        if (rest.empty()) return fail("file needs a path or cancel");
        session.ScriptFileName(rest == "cancel" ? Text() : rest);
        return true;
    }
    if (action == "expect") {
        if (rest.empty()) return fail("expect needs a message key");
        m_expected.insert(rest);
        return true;
    }
    if (action == "cmd") {
        if (rest.empty()) return fail("cmd needs a command line");
        const Text name = m_current->GetName();
        Text word, arguments;
        splitWord(rest, word, arguments);
        FormDescription described;
        if (const ObjectTypeInfo* type = m_current->GetViewType()) type->LoadVariables(described);
        const std::vector<Text>& commands = described.Commands();
        const bool offered = std::find(commands.begin(), commands.end(), word) != commands.end();
        const std::uint64_t sent = session.NextSequence() - 1;
        s.hasResult = true;
        s.result = SendViewableMessage(m_current, rest);
        // A command the view neither offers nor took (a misspelt one, or one for another kind of
        // view) reached the bottom of its handling: a fault of the script, not a refusal to show.
        if (s.result == 0 && !offered)
            for (const SessionEntry& e : session.EntriesSince(sent))
                if (e.event == SessionEvent::Unhandled && e.text == "Message " + rest)
                    return fail("the view " + name + " does not handle the command " + rest);
        return true;
    }
    if (action == "form") {
        s.form = FormJson(m_current);
        return true;
    }
    if (action == "close") {
        // The user closes a form of the view (its default form without a name); the view hears
        // of it as it would on screen.
        const ObjectTypeInfo* type = m_current->GetViewType();
        const Text form = rest.empty() && type ? type->GetFormKey() : rest;
        if (!m_current->IsFormOpen(form)) return fail("the form " + form + " of " + m_current->GetName() + " is not open");
        s.hasText = true;
        s.text = form;
        m_current->CloseForm(form);
        return true;
    }
    if (action == "open" && rest == "@last") {
        // The view whose form the previous step opened (the last form it opened).
        if (m_steps.empty()) return fail("open @last needs a step before it that opens a form");
        const std::vector<SessionEntry>& before = m_steps.back().journal;
        for (auto e = before.rbegin(); e != before.rend(); ++e) {
            if (e->event != SessionEvent::ViewOpened) continue;
            view = e->target.empty() ? m_root : ResolveViewPath(m_root, e->target);
            if (!view) return fail("the view of the form " + e->text + " is gone");
            m_current = view;
            s.hasText = true;
            s.text = view->GetName();
            return true;
        }
        return fail("the step before open @last opened no form");
    }
    if (action == "open") {
        if (!resolve(rest, view, variable, false)) return false;
        if (!variable.empty()) return fail("the address " + rest + " names a variable, not a view");
        m_current = view;
        s.hasText = true;
        s.text = view->GetName();
        return true;
    }
    bool gestured = false;
    if (const bool done = gesture(action, rest, s, gestured); gestured) return done;
    Text address = rest, argument;
    if (action == "svg") {
        // The file is the last word: an address may name a child whose name has blanks.
        const std::size_t last = rest.find_last_of(" \t");
        address = last == Text::npos ? rest : trim(Text(rest.substr(0, last)));
        argument = last == Text::npos ? Text() : Text(rest.substr(last + 1));
        if (argument.empty()) return fail("svg needs an address and a file");
        // "." is the view the script is on.
        if (address == ".") view = m_current;
        else if (!resolve(address, view, variable, false)) return false;
        if (!variable.empty()) return fail("the address " + address + " names a variable, not a view");
        const TwoDimPlot* plot = view->IsA(chiPlot::TypeName)              ? static_cast<chiPlot*>(view)->GetPlot()
                                 : view->IsA(ChiSuperTargetPlot::TypeName) ? static_cast<ChiSuperTargetPlot*>(view)->GetPlot()
                                 : view->IsA("TwoDimPlotObject")           ? static_cast<TwoDimPlot*>(view)
                                                                           : nullptr;
        HENDiagram* grid = view->IsA(HENDiagram::TypeName) ? static_cast<HENDiagram*>(view) : nullptr;
        if (!plot && !grid) return fail("the view " + view->GetName() + " draws no picture");
        // Written as a case is saved: a failed write keeps the old picture, and says why.
        const Text picture = grid ? grid->PictureSVG() : plot->ExportSVG();
        std::string reason;
        if (!ReplaceFileAtomically(argument, picture.data(), picture.size(), "<?xml", reason)) {
            struct stat there {};
            const bool kept = ::stat(argument.c_str(), &there) == 0;
            return fail("cannot write " + argument + ": " + reason + (kept ? "; the file there was left as it is" : ""));
        }
        s.hasText = true;
        s.text = argument;
        return true;
    }
    if (action == "set" || action == "settext" || action == "attach") {
        splitWord(rest, address, argument);
        if (argument.empty() && action != "settext") return fail(action + " needs an address and a value");
    }
    if (action != "get" && action != "text" && action != "set" && action != "settext" && action != "attach" &&
        action != "dims" && action != "status" && action != "choices")
        return fail("not an action: " + action);
    if (action == "attach") {
        // The link may name a row that holds no view yet (the spare row through which a name
        // adds one): only the address itself must be a link.
        VarDescription target;
        if (!VarDescription::Parse(address, target) || !target.IsObjectLink())
            return fail("the address " + address + " is no link to a view");
        // "empty" empties the row's name, as clearing the name cell does on screen (a name row
        // emptied deletes what it names, once confirmed).
        Viewable* made = AttachViewObject(m_current, address, argument == "empty" ? Text() : argument);
        s.hasResult = true;
        s.result = made ? 1 : 0;
        if (made) s.hasText = true, s.text = made->GetName();
        return true;
    }
    VarDescription link;
    if ((action == "dims" || action == "status") && VarDescription::Parse(address, link) && link.IsObjectLink() &&
        !link.GetNextLink() && link.Path().empty()) {
        // A child list of the view itself: its size is the view's to tell.
        view = m_current;
        variable = address;
        if (!listed(formOf(view), link)) return fail("the view " + view->GetName() + " lists no variable " + address);
    } else {
        if (!resolve(address, view, variable)) return false;
        if (variable.empty()) return fail("the address " + address + " names a view, not a variable");
    }
    VarDescription var;
    VarDescription::Parse(variable, var);
    DimInfo dims;
    view->Dimensions(var, dims);
    // A cell of a grid named by fewer indices than the grid has is read at the first place
    // along the ones left out, as the form reads it.
    if ((action == "get" || action == "text") && var.NumberOfIndices() > 0)
        for (int i = var.NumberOfIndices(); i < dims.NumberOfDims(); ++i) var.SetOffset(i, 0);
    for (int i = 0; i < var.NumberOfIndices(); ++i) {
        if (i == var.RunningIndex() || i == var.RowIndex()) continue;
        const int at = var.Offset(i);
        if (at < 0 || (i < dims.NumberOfDims() && at >= dims.Dim(i)))
            return fail(FormattedText("index %d of ", at) + address + FormattedText(" is outside its dimensions (%d)", dims.Dim(i)));
    }
    const UnitConversion unit = DefUnitConv(view->GetEDVarType(var));
    if (action == "get") {
        s.hasValue = true;
        s.unit = unit.name;
        if (var.RunningIndex() >= 0) {
            s.series = true;
            const int n = dims.Dim(var.RunningIndex());
            // A table runs over its rows as well, each row a column of cells.
            const int rows = var.RowIndex() >= 0 ? dims.Dim(var.RowIndex()) : 1;
            if (var.RowIndex() >= 0) s.columns = n;
            // Each cell converts in its own kind of quantity: a column may mix them.
            bool mixed = false;
            for (int r = 0; r < rows; ++r)
                for (int i = 0; i < n; ++i) {
                    VarDescription at = var;
                    if (var.RowIndex() >= 0) at.SetOffset(var.RowIndex(), r);
                    at.SetOffset(var.RunningIndex(), i);
                    const UnitConversion own = DefUnitConv(view->GetEDVarType(at));
                    const double base = view->Value(at);
                    s.values.push_back(isEmptyValue(base) ? NAN : calc_ounit(base, own));
                    s.units.push_back(own.name);
                    mixed = mixed || s.units.back() != s.units.front();
                }
            if (mixed) s.unit.clear();
            else {
                if (!s.units.empty()) s.unit = s.units.front();
                s.units.clear();
            }
        } else {
            const double base = view->Value(var);
            s.values.push_back(isEmptyValue(base) ? NAN : calc_ounit(base, unit));
        }
    } else if (action == "text") {
        s.hasText = true;
        if (var.RunningIndex() >= 0) {
            s.textSeries = true;
            const int n = dims.Dim(var.RunningIndex());
            const int rows = var.RowIndex() >= 0 ? dims.Dim(var.RowIndex()) : 1;
            for (int r = 0; r < rows; ++r)
                for (int i = 0; i < n; ++i) {
                    VarDescription at = var;
                    if (var.RowIndex() >= 0) at.SetOffset(var.RowIndex(), r);
                    at.SetOffset(var.RunningIndex(), i);
                    s.texts.push_back(view->TextValue(at));
                }
            s.text = s.texts.empty() ? Text() : s.texts.front();
        } else {
            s.text = view->TextValue(var);
        }
    } else if (action == "set") {
        double number = Viewable::EmptyValue;
        if (argument != "empty") {
            if (!parseNumber(argument, number)) return fail("the value " + argument + " is not a number");
            number = calc_unit(number, unit);
        }
        s.hasResult = true;
        s.result = SpecifyValue(m_current, address, number);
    } else if (action == "settext") {
        s.hasResult = true;
        s.result = SpecifyValueText(m_current, address, argument);
    } else if (action == "dims") {
        s.hasDims = true;
        for (int i = 0; i < dims.NumberOfDims(); ++i) s.dims.push_back(dims.Dim(i));
    } else if (action == "status") {
        // A cell the form lists answers as a write of it finds it; a child list, the view's word.
        const ObjectTypeInfo* type = view->GetViewType();
        const FormVariable* row = type && !var.IsObjectLink() ? FindListed(type, var) : nullptr;
        ModifyState state = ReadOnlyState;
        int detail = 0;
        if (row) state = ListedCellState(view, var, *row);
        else view->VariableStatus(var, state, detail);
        s.editable = static_cast<int>(state);
    } else if (action == "choices") {
        s.hasChoices = true;
        if (VarEnumInfo* info = view->GetEnumInfo(VariableNameInfo(var, Text())))
            for (int i = 0; i < info->NumberOfEntries(); ++i)
                if (const VarEnumInfo::Entry* e = info->GetEntry(i))
                    s.choices.push_back({e->value, e->text, e->state, e->hidden});
    }
    return true;
}

Text ViewScriptRunner::Report(bool json) const {
    Text out;
    if (json) {
        out = "{\"steps\":[";
        bool first = true;
        for (const ViewScriptStep& s : m_steps) {
            out += first ? "" : ",";
            first = false;
            out += FormattedText("{\"line\":%d,\"input\":", s.line) + ViewJsonText(s.input) + ",\"value\":";
            if (!s.hasValue) out += "null";
            else if (!s.series) out += ViewJsonNumber(s.values.empty() ? NAN : s.values[0]);
            else if (s.columns > 0) {
                // A table: a list per row.
                out += "[";
                const std::size_t n = static_cast<std::size_t>(s.columns);
                for (std::size_t r = 0; r * n < s.values.size(); ++r) {
                    out += r ? ",[" : "[";
                    for (std::size_t i = 0; i < n && r * n + i < s.values.size(); ++i)
                        out += (i ? "," : "") + ViewJsonNumber(s.values[r * n + i]);
                    out += "]";
                }
                out += "]";
            } else {
                out += "[";
                for (std::size_t i = 0; i < s.values.size(); ++i) out += (i ? "," : "") + ViewJsonNumber(s.values[i]);
                out += "]";
            }
            if (!s.units.empty()) {
                out += ",\"units\":[";
                for (std::size_t i = 0; i < s.units.size(); ++i) out += (i ? "," : "") + ViewJsonText(s.units[i]);
                out += "]";
            }
            if (s.textSeries) {
                out += ",\"texts\":[";
                for (std::size_t i = 0; i < s.texts.size(); ++i) out += (i ? "," : "") + ViewJsonText(s.texts[i]);
                out += "]";
            }
            out += ",\"unit\":" + ViewJsonText(s.unit) + ",\"text\":" + (s.hasText ? ViewJsonText(s.text) : Text("null")) +
                   ",\"result\":" + (s.hasResult ? FormattedText("%d", s.result) : Text("null")) + ",\"editable\":" +
                   (s.editable < 0 ? Text("null") : s.editable == 1 ? Text("true") : s.editable == 0 ? Text("false") : Text("\"special\"")) +
                   ",\"dims\":";
            if (!s.hasDims) out += "null";
            else {
                out += "[";
                for (std::size_t i = 0; i < s.dims.size(); ++i) out += FormattedText(i ? ",%d" : "%d", s.dims[i]);
                out += "]";
            }
            out += ",\"choices\":";
            if (!s.hasChoices) out += "null";
            else {
                out += "[";
                for (std::size_t i = 0; i < s.choices.size(); ++i)
                    out += (i ? Text(",") : Text()) + "{\"value\":" + ViewJsonNumber(s.choices[i].value) + ",\"text\":" +
                           ViewJsonText(s.choices[i].text) + FormattedText(",\"state\":%d,\"hidden\":%s}", s.choices[i].state,
                                                                           s.choices[i].hidden ? "true" : "false");
                out += "]";
            }
            if (!s.form.empty()) out += ",\"form\":" + s.form;
            out += ",\"journal\":[";
            for (std::size_t i = 0; i < s.journal.size(); ++i) out += (i ? "," : "") + entryJson(s.journal[i]);
            out += "]}";
        }
        out += "]";
        return out;
    }
    for (const ViewScriptStep& s : m_steps) {
        out += FormattedText("%d: ", s.line) + cutForReading(s.input) + "\n";
        if (s.hasValue) {
            // A table reads a value line per row; a column or a single value one line.
            const std::size_t perLine = s.columns > 0 ? static_cast<std::size_t>(s.columns) : s.values.size();
            for (std::size_t from = 0; from == 0 || from < s.values.size(); from += perLine) {
                out += "  value";
                for (std::size_t i = from; i < s.values.size() && i < from + perLine; ++i) {
                    const double v = s.values[i];
                    out += " " + (std::isfinite(v) ? FormattedText("%.10g", v) : Text("empty"));
                    if (i < s.units.size() && !s.units[i].empty()) out += " " + s.units[i];
                }
                out += s.unit.empty() ? Text("\n") : " " + s.unit + "\n";
                if (perLine == 0) break;
            }
        }
        // A column of texts: a line per cell (a name may hold blanks).
        if (s.textSeries)
            for (const Text& t : s.texts) out += "  text " + t + "\n";
        else if (s.hasText)
            out += "  text " + s.text + "\n";
        if (s.hasResult) out += FormattedText("  result %d\n", s.result);
        if (s.editable >= 0) out += s.editable == 1 ? "  editable\n" : s.editable == 0 ? "  read-only\n" : "  special\n";
        if (s.hasDims) {
            out += "  dims";
            for (int d : s.dims) out += FormattedText(" %d", d);
            out += "\n";
        }
        for (const ViewScriptStep::Choice& c : s.choices)
            out += "  choice " + FormattedText("%g", c.value) + " " + c.text + FormattedText(" (%d)", c.state) +
                   (c.hidden ? " hidden\n" : "\n");
        if (!s.form.empty()) out += "  form " + s.form + "\n";
        for (const SessionEntry& e : s.journal) out += "  " + Session::LineOf(e) + "\n";
    }
    return out;
}
