#pragma once
// Scripts of form actions run against a tree of views, one action per line, as a user would
// type them into the forms: values and texts read and typed, command lines, questions answered,
// messages expected, children opened. Each step answers what it read and the journal entries
// it caused; the first step that cannot be carried out stops the run with "SCRIPT:LINE: reason".
#include "lumeth/Session.h"
#include "lumeth/Text.h"

#include <memory>
#include <set>
#include <vector>

class CanvasDriver;
class Viewable;

// What one step of a script did.
struct ViewScriptStep {
    int line = 0;
    Text input;
    // "value": none, one number (null when empty) or a series.
    bool hasValue = false;
    std::vector<double> values;
    bool series = false;
    // A whole table ("A.[].[]"): the values row by row, this many to a row; 0 for a column.
    int columns = 0;
    // The unit of the values; a series whose cells are of different kinds (a column of costs
    // ending in a percentage) has one per cell in `units` and none here.
    Text unit;
    std::vector<Text> units;
    bool hasText = false;
    Text text;
    // A column of texts read through a running index ("[]"), one per cell; `text` holds the
    // first.
    std::vector<Text> texts;
    bool textSeries = false;
    bool hasResult = false;
    int result = 0;
    int editable = -1;  // -1 not asked, 0 read-only, 1 editable, 2 the view's own rule
    bool hasDims = false;
    std::vector<int> dims;
    struct Choice {
        double value;
        Text text;
        int state;
        bool hidden;
    };
    bool hasChoices = false;
    std::vector<Choice> choices;
    Text form;  // a form listing (JSON or text) asked by the step
    std::vector<SessionEntry> journal;
};

class ViewScriptRunner {
public:
    // Runs against `current` (the view the script starts on) under the tree of `root`.
    ViewScriptRunner(Viewable* root, Viewable* current) : m_root(root), m_current(current) {}

    // 0: every step done and no message shown that the script did not expect; 1: the run
    // stopped (Error()) or a message came unannounced (Unexpected()).
    int Run(const Text& script, const Text& scriptName);

    const std::vector<ViewScriptStep>& Steps() const { return m_steps; }
    const Text& Error() const { return m_error; }
    int Unexpected() const { return m_unexpected; }
    Viewable* Current() const { return m_current; }

    // The steps as text lines or as the JSON object {"steps":[...]} (without closing brace
    // when `open`, so a caller may add members).
    Text Report(bool json) const;

    // The form of a view: its type, its variables with their values, its command words and its
    // children, each child's form in turn.
    static Text FormJson(Viewable* view);
    static Text FormText(Viewable* view);

private:
    bool step(int line, const Text& action, const Text& rest, ViewScriptStep& out);
    bool fail(const Text& reason);
    // The view an address reaches from the current view and its variable; fails the step when
    // the address does not parse, reaches no view or names a variable the view does not list.
    bool resolve(const Text& address, Viewable*& view, Text& variable, bool mustBeListed = true);
    // The pointer on a canvas view (click, move, menu, choose, drop, rubber, resize) and the
    // timer (wait); `known` false for any other action.
    bool gesture(const Text& action, const Text& rest, ViewScriptStep& s, bool& known);

    Viewable* m_root;
    Viewable* m_current;
    std::vector<ViewScriptStep> m_steps;
    std::set<Text> m_expected;
    Text m_scriptName;
    int m_line = 0;
    Text m_error;
    int m_unexpected = 0;
    // The pointer of the canvas view the script is on, made anew when the script moves on.
    std::shared_ptr<CanvasDriver> m_driver;
    Viewable* m_driverView = nullptr;
};

