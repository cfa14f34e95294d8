// The scenario viewer's command words: one table in the order the words are compared, each row
// the member that answers it, and the design, target and retrofit commands. The commands that
// open forms and edit defaults, and those that read files and import, have files of their own.
#include "eng/autodesign/IAdvancedSuperTarget.h"
#include "lumeth/NewRowMarker.h"
#include "eng/design/IHENDesign.h"
#include "eng/model/IHeatIntegrationScenario.h"
#include "lumeth/CommandAnswer.h"
#include "lumeth/FormDescription.h"
#include "lumeth/Framework.h"
#include "lumeth/Messages.h"
#include "lumeth/Session.h"
#include "lumeth/VarEnumInfo.h"
#include "views/case/project/HIScenarioOwnerViewer.h"
#include "views/case/scenario/ScenarioCommandSteps.h"
#include "views/case/scenario/ScenarioInputRows.h"
#include "views/case/scenario/ScenarioTextRows.h"
#include "views/design/HIDesignViewerDesign.h"

#include <cctype>
#include <map>
#include <set>

namespace {
// A stream value of a network locked for operation may leave a point its plant cannot run at: the
// cell that writes one may say so too.
Text RefusalsListed(const HIDesignViewerScenario::InputRow& row) {
    return row.held ? Text(row.refusals) + " OpDesInfes" : Text(row.refusals);
}
}  // namespace

struct HIDesignViewerScenario::Command {
    const char* word;
    int (HIDesignViewerScenario::*action)(const Text& rest);  // null: the framework answers
};

const std::vector<HIDesignViewerScenario::Command>& HIDesignViewerScenario::Commands() {
    using V = HIDesignViewerScenario;
    static const std::vector<Command> table = {
        {"Go", nullptr},  // answered 1 below: nothing to do
        {"AddToDesignView", &V::addToDesignView},
        {"AddDefaultDesign", &V::addDefaultDesign},
        {"RenameView", &V::renameView},
        {"RemoveFromDesignView", &V::removeFromDesignView},
        {"RemoveDesignFromEAC", &V::removeDesignFromEAC},
        {"SwapDesigns", &V::swapDesigns},
        {"CloneDesign", &V::cloneDesign},
        {"ClearAllSubsets", &V::clearAllSubsets},
        {"SearchSubsets", &V::searchSubsets},
        {"MakeUtilitySufficient", &V::makeUtilitySufficient},
        {"AutomaticHENDesign", &V::automaticHENDesign},
        {"SmartCompleteDesign", &V::smartCompleteDesign},
        {"ViewSegTableView", &V::viewSegTableView},
        {"ViewSegTableViewU", &V::viewSegTableViewU},
        {"ViewHTCDefaultValueView", &V::viewHTCDefaultValueView},
        {"ViewUtilHTCDefaultValueView", &V::viewUtilHTCDefaultValueView},
        {"RemoveAllForbMatches", &V::removeAllForbMatches},
        {"ResetEconomicData", &V::resetEconomicData},
        {"StandAloneSuperTarget", &V::standAloneSuperTarget},
        {"OpenDesignView", &V::openDesignView},
        {"ViewPlotStandalone", &V::viewPlotStandalone},
        {"ViewCompositeCurves", &V::viewCompositeCurves},
        {"ViewGrandCompositeCurve", &V::viewGrandCompositeCurve},
        {"ViewUtilityCompositeCurve", &V::viewUtilityCompositeCurve},
        {"ViewLeftPlotStandalone", &V::viewLeftPlotStandalone},
        {"ViewRightPlotStandalone", &V::viewRightPlotStandalone},
        {"ViewDriveForcePlotStandalone", &V::viewDriveForcePlotStandalone},
        {"BuildRalvexCase", &V::buildRalvexCase},
        {"ImportVelmorScenario", &V::importVelmorScenario},
        {"FinishExtraction", &V::finishExtraction},
        {"DeleteUnusedUtilities", &V::deleteUnusedUtilities},
        {"ViewTableStandalone", &V::viewTableStandalone},
        {"ImportFromVelmor", &V::importFromVelmor},
        {"CheckForSimulationReady", &V::checkForSimulationReady},
        {"CheckForSimulationReadyDiscontinued", &V::useActivatedAnalysis},
        {"CheckForQuorvexReady", &V::checkForQuorvexReady},
        {"CheckForQuorvexReadyDiscontinued", &V::useActivatedAnalysis},
        {"ExportVelmor", &V::exportVelmor},
        {"RecommendDesign", &V::recommendDesign},
        {"Calculate", &V::calculate},
        {"SaveHXCapitalCostDefaultSet", &V::saveHXCapitalCostDefaultSet},
        {"OpenHXCapitalCostDefaultSet", &V::openHXCapitalCostDefaultSet},
        {"OpenEconomicView", &V::openEconomicView},
        {"OpenTargetView", &V::openTargetView},
        {"OpenHotTargetUtil", &V::openHotTargetUtil},
        {"OpenCoolTargetUtil", &V::openCoolTargetUtil},
        {"OpenTopRightView", &V::openTopRightView},
        {"OpenSummaryView", &V::openSummaryView},
        {"ApplyNewBCValues", &V::applyNewBCValues},
        {"OpenUDB", &V::openUDB},
        {"OpenHTC", &V::openHTC},
        {"OpenForbidden", &V::openForbidden},
        {"AddUtilityToUtilityStreams", &V::addUtilityToUtilityStreams},
        {"SwitchProcessToUtil", &V::switchProcessToUtil},
        {"SwitchUtilToProcess", &V::switchUtilToProcess},
        {"UnlockRetrofit", &V::unlockRetrofit},
        {"SelectRetrofitNow", &V::selectRetrofitNow},
        {"RetrofitNow", &V::retrofitNow},
        {"OpenExcelFile", &V::openExcelFile},
        {"OpenTotalSiteUtilityDatabase", &V::openTotalSiteUtilityDatabase},
    };
    return table;
}

const std::vector<Text>& HIDesignViewerScenario::CommandWords() {
    static const std::vector<Text> words = [] {
        std::vector<Text> out;
        for (const Command& c : Commands()) out.push_back(c.word);
        return out;
    }();
    return words;
}

void HIDesignViewerScenario::DescribeForm(FormDescription& form) {
    // A variable that is read and written is listed once, writable, with its refusals.
    std::map<Text, const InputRow*> written;
    for (const InputRow* row : InputRows()) written.emplace(row->Address(), row);
    // The texts the user types (names of what a command makes, notes): a value read at the same
    // address is listed writable too, since the form takes the text there.
    static const char* const kTyped[] = {"ExtraData.208", "ExtraData.227", "ExtraData.230", "ExtraData.500",
                                         "ExtraData.1000", "Notes.400",    "StrName.401",   "StrNameU.440"};
    const auto typedText = [](const Text& address) {
        for (const char* a : kTyped)
            if (address == a) return true;
        return false;
    };
    for (const ValueRow* row : ValueRows()) {
        auto it = written.find(row->Address());
        const InputRow* in = it == written.end() ? nullptr : it->second;
        form.Add({row->Address(), FormHook::Value, row->unit >= 0 ? row->unit : row->type ? row->type : -1,
                  in != nullptr || typedText(row->Address()), row->dims});
        if (in && *in->refusals) form.SetRefusals(row->Address(), RefusalsListed(*in));
        if (in && in->domain.Declared()) form.SetDomain(row->Address(), in->domain);
        if (in) written.erase(it);
    }
    for (const InputRow* row : InputRows()) {
        if (!written.count(row->Address())) continue;
        form.Add({row->Address(), FormHook::Value, row->type ? row->type : -1, true, row->rows == InputRow::Rows::None ? 0 : 1});
        if (*row->refusals) form.SetRefusals(row->Address(), RefusalsListed(*row));
        if (row->domain.Declared()) form.SetDomain(row->Address(), row->domain);
    }
    // The texts: a text the user also types is listed editable; a variable that also has a
    // number (the method choices, the utility side of 660) stays listed once, as a value.
    std::set<Text> listed, typed;
    for (const FormVariable& v : form.Variables()) listed.insert(v.address);
    for (const char* address : kTyped) typed.insert(address);
    for (const TextRow* row : TextRows())
        if (!listed.count(row->Address()))
            form.Add({.address = row->Address(),
                      .hook = FormHook::Text,
                      .typeCode = row->type ? row->type : 1519,
                      .editable = typed.count(row->Address()) != 0,
                      .dimensions = row->dims,
                      .numbered = row->number == TextRow::AnyNumber});
    for (const char* address : {"ExtraData.570", "Name.500"})
        form.Add({address, FormHook::Text, 1519, true, 0});
    // What typing a name may answer: a refusal, or the question before a deletion.
    const std::pair<const char*, const char*> named[] = {
        {"StrName.401", "NoChangeinHENRBaseCase DeleteStreamError GetStreamError RenameStreamError"},
        {"ExtraData.1000", "ThisScenarioNameIsInvalid ThisScenarioNameAlreadyExists"},
        {"StrNameU.440", "SiteUtilityStaysInEveryScenario DeleteStreamError GetStreamError RenameStreamError "
                         "NoChangeinHENRBaseCase"},
        {"ExtraData.227", "ConfirmDeleteExperiment NameNotUnique NewRowMarkerEntryName ReadOnlyCell"},
        {"ExtraData.500", "NoChangeinHENRBaseCase DeafultEconomicSpecRenameNotAllowed NewRowMarkerEntryName EconomicDataWithNameExists "
                          "EconomicDataInUseDeleteError"},
    };
    for (const auto& [address, keys] : named)
        if (form.Refusals(address).empty()) form.SetRefusals(address, keys);
    for (const Command& c : Commands()) form.AddCommand(c.word);
}

namespace {

using scenario_commands::longOperation;
using scenario_commands::token;

constexpr int kRetrofitReady = 3;
// The retrofit source of the selection form that keeps the retrofit in this scenario.
constexpr int kRetrofitInThisScenario = 1;

}  // namespace

int HIDesignViewerScenario::Message(const Text& line) {
    lastCommandRow = -1;
    Text word, rest;
    token(line, word, rest);
    // An unbound viewer answers no command, not even through the framework.
    if (!myScenario) return 0;
    const std::vector<Command>& table = Commands();
    for (std::size_t row = 0; row < table.size(); ++row) {
        if (word != table[row].word) continue;
        lastCommandRow = static_cast<int>(row);
        if (row == 0) return 1;  // "Go"
        if (!table[row].action) break;
        const int result = (this->*table[row].action)(rest) ? 1 : 0;
        // A command may send the viewer a line of its own; the row is the one sent from outside.
        lastCommandRow = static_cast<int>(row);
        return result;
    }
    return Viewable::Message(line) ? 1 : 0;
}

namespace {
// The extraction writes the plant's existing network into the design of its own name: a design of
// the user's never takes it, nor the lists' new-row marker (a design so named would read as their
// spare row). True, with the message shown, for such a name.
bool refuseExtractionsDesignName(const Text& name) {
    if (IsNewRowMarker(name.c_str())) {
        Viewable::ErrorMsg("NewRowMarkerEntryName");
        return true;
    }
    if (name != IHeatIntegrationScenario::ExtractedNetworkDesignName) return false;
    Viewable::ErrorMsg("ReservedDesignName", name);
    return true;
}
}  // namespace

// The design viewer made for a design the user added is the case's selection, as it is the
// scenario's current design: what the case shows selected is what a delete removes. (Designs a
// run makes and deletes again on its way leave the selection alone.)
int HIDesignViewerScenario::selectAdded(const Text& name) {
    if (lastAddedDesign && lastAddedDesign->GetName() == name) selectInCase(lastAddedDesign);
    return 1;
}

int HIDesignViewerScenario::addToDesignView(const Text&) {
    const Text name = newDesignName;
    newDesignName.clear();
    if (name.empty()) return ErrorMsg("DesignNameMissing"), 0;
    if (refuseExtractionsDesignName(name)) return 0;
    if (myScenario->AddDesign(name) == 0) return ErrorMsg("ThisDesignNameAlreadyExists", name), 0;
    return selectAdded(name);
}

int HIDesignViewerScenario::addDefaultDesign(const Text& rest) {
    const Text name = rest.empty() ? Text("Design 1") : rest;
    if (refuseExtractionsDesignName(name)) return 0;
    // The scenario's notice of the new design makes its viewer (the scenario's current design;
    // the case's selection stays where the study's builder put it).
    if (myScenario->AddDesign(name) == 0) return ErrorMsg("ThisDesignNameAlreadyExists", name), 0;
    return 1;
}

// A design command with no design viewer selected: the user is told, and nothing is done.
int HIDesignViewerScenario::noDesignSelected() {
    ErrorMsg("NoDesignSelected");
    return 0;
}

int HIDesignViewerScenario::renameView(const Text&) {
    const Text name = newDesignName;
    newDesignName.clear();
    if (!currentDesign) return noDesignSelected();
    if (name.empty()) return ErrorMsg("DesignNameMissing"), 0;
    // The design's own name typed again: nothing to change (a retrofit run's result stays the
    // run's), and nothing clashes with it.
    if (name == currentDesign->GetName()) return 1;
    if (refuseExtractionsDesignName(name)) return 0;
    if (myScenario->RenameDesign(currentDesign->GetName(), name) != 1)
        return ErrorMsg("ThisDesignNameAlreadyExists", name), 0;
    currentDesign->SetName(name);
    return 1;
}

int HIDesignViewerScenario::removeFromDesignView(const Text&) { return deleteSelectedDesign(true); }

// Both routes that delete the selected design (the scenario's form and the case's design list)
// keep a retrofit's base, with or without a user to ask; the question names the design it deletes.
int HIDesignViewerScenario::deleteSelectedDesign(bool ask) {
    // Without a selected design there is nothing to delete, and nothing is asked: a question
    // answered yes that deletes nothing would tell the user a design went. The user is told why
    // nothing happened instead.
    if (!currentDesign) return noDesignSelected();
    const Text name = currentDesign->GetName();
    const IHENDesign* selected = GetSelectedDesign(currentDesign);
    IHENDesign* base = nullptr;
    if (myScenario->IsRetrofitScenario() && selected &&
        (selected->GetScenarioLockState() == 1 || (myScenario->GetRetrofitBaseDesign(base) && base == selected))) {
        ErrorMsg("DeleteRetrofitBaseCaseError", name);
        return 0;
    }
    // The deletion declined: nothing was deleted, and the answer says so.
    if (ask && !IsAutomationStartup() && ResponseMsg("ConfirmDeleteHENDesign", 2, {name}) != 1) return 0;
    // The scenario's notice of the deletion removes the viewer.
    if (myScenario->DeleteDesign(name) != 0) return 1;
    ErrorMsg("DesignNotDeleted", name);
    return 0;
}

int HIDesignViewerScenario::removeDesignFromEAC(const Text&) { return deleteSelectedDesign(false); }

int HIDesignViewerScenario::swapDesigns(const Text&) {
    if (!currentDesign || designObjs.IsEmpty()) return noDesignSelected();
    int at = designObjs.Find(currentDesign);
    if (at < 0) at = 0;
    // The last design swapped with itself moves nothing: one design has none to swap with.
    if (at == designObjs.Count() - 1) return ErrorMsg("NoOtherDesignToSwap"), 0;
    std::swap(designObjs[at], designObjs[designObjs.Count() - 1]);
    return 1;
}

int HIDesignViewerScenario::cloneDesign(const Text&) {
    const Text name = newDesignName;
    newDesignName.clear();
    if (!currentDesign) return noDesignSelected();
    if (name.empty()) return ErrorMsg("DesignNameMissing"), 0;
    if (refuseExtractionsDesignName(name)) return 0;
    if (FindDesignMatch(name) != -1) {
        ErrorMsg("ThisDesignNameAlreadyExists", name);
        return 0;
    }
    IHENDesign* source = nullptr;
    if (!name.empty() && myScenario->GetDesign(currentDesign->GetName(), source) && source &&
        myScenario->CloneDesign(name, source))
        return selectAdded(name);
    ErrorMsg("DesignNotCloned", name);
    return 0;
}

int HIDesignViewerScenario::clearAllSubsets(const Text&) {
    if (myScenario->GetNumberOfUnitsTargetGroups() == 0 && myScenario->GetMinimumNumberOfUnitsByMILP() == 0)
        return ErrorMsg("NoSubsetsToClear"), 0;
    myScenario->ClearUnitsTargetMILPResult();
    return 1;
}

int HIDesignViewerScenario::searchSubsets(const Text&) {
    subsetSearchStopped = false;
    longOperation(FindString("CPIFindSubSets"), [&] { myScenario->CalculateMinimumUnitsTarget(); });
    // A search its time limit ended has said so and what it kept: that none was found within the
    // limit does not say there is none.
    if (!subsetSearchStopped && myScenario->GetMinimumNumberOfUnitsByMILP() == 0) {
        // A side whose placement is not settled leaves a surplus or shortfall that no group of
        // streams can balance, so the search had nothing to find.
        const auto settled = [&](int side) {
            const int status = myScenario->GetUtilityAssignmentStatus(side);
            return status == 0 || status == 2;
        };
        ErrorMsg(settled(0) && settled(1) ? "NoSubsetsFound" : "NoSubsetsUnbalanced");
        return 0;
    }
    if (enumA) {
        // The subset choices are made again from the scenario when the form next asks for them.
        delete enumA;
        enumA = nullptr;
    }
    return 1;
}

int HIDesignViewerScenario::makeUtilitySufficient(const Text&) {
    if (myScenario->AssignUtilityLoads() != 0) return 1;
    ErrorMsg("MakeSufficientError");
    return 0;
}

namespace {
// Shows the message a failed automatic design or completion left (the key, then its parameter);
// false when the run left none.
bool showRunMessage(const char* message) {
    if (!message || !*message) return false;
    Text key, parameter;
    token(message, key, parameter);
    // The catalogue holds the whole message ("IncompleteStreamInformation All") or its key with
    // the blank before the name it takes ("IncompleteStreamInformation "); the journal names the
    // message by its first word either way.
    const MessageCatalogue& texts = MessageCatalogue::Instance();
    const Text naming = key + Text(" ");
    if (texts.Contains(message))
        ErrorJournal::Instance().Add(key, FindString(message));
    else if (!parameter.empty() && texts.Contains(naming))
        ErrorJournal::Instance().Add(key, FormatMessage(FindString(naming), {parameter}));
    else
        ErrorMsg(key, parameter);
    return true;
}
}  // namespace

// A run that made fewer designs than wanted keeps those it made: it did part of its work, and
// says what it did not do beside them. One that made none failed, and says why.
int HIDesignViewerScenario::automaticHENDesign(const Text&) {
    longOperation(FindString("GeneratingDesign"), [&] {
        automaticDesignBusy = 1;
        const int before = myScenario->GetNumberOfDesigns();
        myScenario->AutomaticHENDesign(nullptr);
        const char* message = myScenario->GetAutomaticDesignMessage();
        Text key, parameter;
        if (message) token(message, key, parameter);
        if (key == "NotEnoughDesignsGenerated" && myScenario->GetNumberOfDesigns() > before) NoteNotDone(key);
        else showRunMessage(message);
        automaticDesignBusy = 0;
    });
    return 1;
}

int HIDesignViewerScenario::smartCompleteDesign(const Text&) {
    if (!currentDesign) return noDesignSelected();
    const Text name = currentDesign->GetName();
    bool failed = false;
    longOperation(FormatMessage(FindString("CompletingDesign"), {name}), [&] {
        automaticDesignBusy = 1;
        myScenario->SmartCompleteDesign(name);
        // A completion that failed says why, as the automatic design does, and answers 0.
        const IAdvancedSuperTarget* run = myScenario->GetDesignCompletion();
        failed = run && showRunMessage(run->GetMessageKey());
        automaticDesignBusy = 0;
    });
    return failed ? 0 : 1;
}

int HIDesignViewerScenario::openDesignView(const Text&) {
    // With no design selected a new design of the scenario is made, and its viewer opened: a
    // viewer of its own making would be bound to no design, and its commands would do nothing.
    if (!currentDesign) {
        const Viewable* owner = OwnerViewable("ViewableObject");
        const Text name = (owner ? owner->GetName() : Text()) + "_Design";
        // The scenario's notice of the new design makes its viewer, the selected one.
        if (!myScenario || refuseExtractionsDesignName(name) || myScenario->AddDesign(name) == 0 || !currentDesign)
            return noDesignSelected();
    }
    currentDesign->View();
    return 1;
}

int HIDesignViewerScenario::recommendDesign(const Text&) {
    View("OptimizationSettings");
    return 1;
}

int HIDesignViewerScenario::calculate(const Text&) {
    longOperation(FindString("CPISuperTarget"), [&] { myScenario->RecalculateSuperTargets(); });
    return 1;
}

int HIDesignViewerScenario::unlockRetrofit(const Text&) {
    // Off a retrofit there is no base to unlock, and the plot choice stays the user's.
    IHENDesign* base = nullptr;
    if (!myScenario->IsRetrofitScenario() && !myScenario->GetRetrofitBaseDesign(base))
        return ErrorMsg("NoRetrofitToUnlock"), 0;
    myScenario->ClearRetrofitBaseDesign();
    selectedMainPlot = 3;
    return 1;
}

int HIDesignViewerScenario::selectRetrofitNow(const Text&) {
    if (myScenario->GetNumberOfDesigns() != 1) {
        View("SelectBaseCaseForRetrofitView");
        return 1;
    }
    IHENDesign* design = nullptr;
    if (!myScenario->GetDesign(0, design, 0) || !design) return 1;
    const int code = myScenario->CheckRetrofitDesign(design);
    if (code == kRetrofitReady) myScenario->SetRetrofitBaseDesign(myScenario->GetDesignName(0));
    else if (HIDesignViewerDesign* first = GetDesignI(0)) first->ReportRetrofitResult(code);
    return 1;
}

int HIDesignViewerScenario::retrofitNow(const Text&) {
    // The selection form writes the chosen design (its design list, 105/222) and where the
    // retrofit goes (100/217: 0 a new scenario, 1 this one).
    const int chosen = option105_222;
    IHENDesign* design = nullptr;
    // No design chosen: there is nothing to retrofit, and the user is told which scenario lacks it.
    if (!myScenario->GetDesign(chosen, design, 0) || !design) {
        const Text scenario = myScenario->GetName();
        return ErrorMsg("RetNoDes", myScenario->GetNumberOfDesigns() == 0
                                        ? FormattedText("the scenario %s has no design", scenario.c_str())
                                        : FormattedText("no design of the scenario %s is chosen", scenario.c_str())),
               0;
    }
    const int code = myScenario->CheckRetrofitDesign(design);
    if (code != kRetrofitReady) {
        if (HIDesignViewerDesign* viewer = GetDesignI(chosen)) viewer->ReportRetrofitResult(code);
        return 0;
    }
    const char* stored = myScenario->GetDesignName(chosen);
    const Text name = stored ? Text(stored) : Text();
    if (option100_217 == kRetrofitInThisScenario) {
        if (!myScenario->HasSuperTargetResults()) myScenario->RecalculateSuperTargets();
        myScenario->SetRetrofitBaseDesign(name);
        myScenario->DeleteDesignsExceptBase();
        Message("CloseView SelectBaseCaseForRetrofitView");
    } else if (Viewable* owner = OwnerViewable("ViewableObject")) {
        // The owner copies its current scenario: this one, whichever was selected before.
        if (auto* scenarios = dynamic_cast<HIScenarioOwnerViewer*>(owner)) scenarios->SelectScenarioView(this);
        // A copy the owner refuses is no retrofit made: its answer, and its reason, stand.
        if (!SendViewableMessage(owner, FormattedText("CloneAndRetrofit %s", name.c_str()))) return 0;
    }
    longOperation(FindString("CPISuperTarget"), [] {});
    return 1;
}

bool HIDesignViewerScenario::AutomaticHENDesignTask(void*, int signal, int, void* data) {
    if (signal != 4) return true;
    auto* viewer = static_cast<HIDesignViewerScenario*>(data);
    if (!viewer) return false;
    viewer->automaticDesignBusy = 1;
    if (viewer->myScenario) viewer->myScenario->AutomaticHENDesign(nullptr);
    viewer->automaticDesignBusy = 0;
    return false;
}

void HIDesignViewerScenario::ViewNotification(int code, Viewable* from, const Text& form) {
    // The forbidden-match form closing ends the batch of changes made on it: the targets follow.
    if (code == 1 && form == "ForbiddenMatchView" && myScenario) {
        longOperation(FindString("STCalculating"), [&] {
            myScenario->EndForbiddenMatchChanges();
            UpdateViews(this);
            WaitForTurn(0);
        });
    }
    Viewable::ViewNotification(code, from, form);
}
