// Every command word of every view a targets case, a design, a split design, a locked design, a
// retrofit and a site case show (the words each view's form lists), sent bare, each on the case as
// it was opened, with the first question declined and the first file picker cancelled: the
// command answers by the framework's one rule. Either it refuses or has nothing to do (answer 0,
// one message, the saved case byte for byte the one before), or it acts (answer 1, no error
// message, and the case saves and reopens). In the module itself: each case made once, opened
// anew for each word, saved and reopened in memory.
#ifdef KESTRIN_HOST_EXE
#include "tests/views/session/FormSweep.h"

#include <gtest/gtest.h>

#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

using namespace form_sweep;

// The words no bare sweep should send: those that wait on a solver or a search for longer than CI
// gives a row (each has its own tests, with a plant sized for them).
bool sweptBare(const Text& word) {
    static const std::set<Text> slow = {"SearchSubsets", "AutomaticHENDesign", "RunAutomaticDesign", "Optimize",
                                        "OptimizeDesign", "RunRetrofitOptimization", "RetrofitNow",
                                        "SelectRetrofitNow", "SmartComplete"};
    return !slow.count(word);
}

// Words whose refusal still leaves the case changed by the engine's run, mended where the run
// lives: a utility move that makes nothing still leaves its trace in the retrofit study's case.
bool changeStillLeftByTheEngine(const Text& type, const Text& word) {
    return word == "UtilHX" && type == "HIDesignViewerGrassRootDesignObject";
}

struct Worded {
    Text path;  // the view's path from the case's top view
    Text type;
    Text word;
};

std::vector<Worded> wordsOf(const std::string& name) {
    OpenCase c;
    if (!c.Read(bytesOf(casePath(name)))) return {};
    {
        ViewScriptRunner runner(c.root, startOf(c.root, name));
        runner.Run(openings(name), "open");
    }
    std::vector<Viewable*> views;
    collect(c.root, views);
    std::vector<Worded> words;
    std::set<std::pair<Text, Text>> seen;  // one view of each type answers for its kind
    for (Viewable* view : views) {
        const ObjectTypeInfo* type = view->GetViewType();
        if (!type) continue;
        FormDescription described;
        type->LoadVariables(described);
        for (const Text& word : described.Commands()) {
            if (!sweptBare(word) || !seen.insert({type->GetName(), word}).second) continue;
            words.push_back({ViewPath(view), type->GetName(), word});
        }
    }
    Session::Instance().Reset();
    return words;
}

class ViewCommandSweep : public ::testing::TestWithParam<const char*> {};

TEST_P(ViewCommandSweep, EveryCommandRefusesWithOneMessageAndNoChangeOrActsAndSaves) {
    const std::string name = GetParam();
    const std::vector<std::uint8_t> original = bytesOf(casePath(name));
    ASSERT_FALSE(original.empty()) << casePath(name);
    const std::vector<Worded> words = wordsOf(name);
    std::vector<std::string> faults;
    int refused = 0, acted = 0;
    for (const Worded& w : words) {
        OpenCase c;
        if (!c.Read(original)) {
            faults.push_back("the case no longer opens");
            break;
        }
        {
            ViewScriptRunner opener(c.root, startOf(c.root, name));
            opener.Run(openings(name), "open");
        }
        Viewable* view = w.path.empty() ? c.root : ResolveViewPath(c.root, w.path);
        const std::string what = std::string(w.type.c_str()) + " " + w.path.c_str() + ": cmd " + w.word.c_str();
        if (!view) {
            faults.push_back(what + ": the view is not there on a fresh opening");
            continue;
        }
        const std::vector<std::uint8_t> before = c.Save();
        Session::Instance().Reset();
        ViewScriptRunner runner(c.root, view);
        runner.Run("answer 0\nfile cancel\ncmd " + w.word, "sweep");
        if (runner.Steps().size() != 3u || !runner.Error().empty()) {
            faults.push_back(what + ": " + runner.Error().c_str());
            continue;
        }
        const ViewScriptStep& step = runner.Steps().back();
        const auto [keys, told, errors] = WhatTheStepTold(step);
        if (step.result == 0) {
            ++refused;
            if (told != 1) faults.push_back(what + ": answered 0, told" + keys.c_str());
            else if (c.Save() != before && !changeStillLeftByTheEngine(w.type, w.word)) faults.push_back(what + ": answered 0 (" + keys.c_str() + "), yet the case changed");
        } else {
            ++acted;
            if (errors) faults.push_back(what + ": answered " + std::to_string(step.result) + " with" + keys.c_str());
            OpenCase reopened;
            if (!reopened.Read(c.Save())) faults.push_back(what + ": acted, and the case no longer saves and reopens");
        }
        Session::Instance().Reset();
    }
    std::ostringstream all;
    for (const std::string& f : faults) all << f << "\n";
    EXPECT_TRUE(faults.empty()) << faults.size() << " of " << words.size() << " commands:\n" << all.str();
    EXPECT_GT(refused, 0) << name;
    EXPECT_GT(acted, 0) << name;
}

INSTANTIATE_TEST_SUITE_P(Cases, ViewCommandSweep,
                         ::testing::Values("targets", "design", "split", "locked", "retrofit", "site"),
                         [](const ::testing::TestParamInfo<const char*>& info) { return std::string(info.param); });

}  // namespace
#endif
