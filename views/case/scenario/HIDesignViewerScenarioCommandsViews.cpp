// The scenario viewer's commands that open its forms, plots and tables on their own, and those
// that edit stream data and economic defaults from the forms: forbidden matches, match cost
// models, a default utility added as a utility stream, a stream switched between process and
// utility, and the capital-cost coefficient the coefficient dialog proposes.
#include "brasko/DefaultUtilManagerView.h"
#include "brasko/IDefaultUtilityManager.h"
#include "eng/model/IHeatIntegrationScenario.h"
#include "eng/model/IHeatIntegrationStream.h"
#include "lumeth/DisplayUnits.h"
#include "lumeth/Session.h"
#include "views/case/scenario/HIDesignViewerScenario.h"
#include "views/plots/ChiTable.h"
#include "views/plots/chiPlot.h"

#include <cmath>
#include <vector>

// ---- views, plots and tables ----

int HIDesignViewerScenario::viewStreamOfRow(int row, int kind, const char* coefficientForm) {
    workStream = nullptr;
    // No row chosen (or a list with no stream): there is no table to show, and the user is told.
    if (row < 0 || !myScenario->GetStreamOfKind(row, workStream, kind, 2) || !workStream)
        return ErrorMsg("GetStreamError"), 0;
    if (!coefficientForm) {
        ShowSegmentTable(workStream);
        return 1;
    }
    // A stream of several segments has a coefficient per segment: its segment table shows them.
    if (workStream->GetNumberOfSegments() != 1) return 1;
    SetMyHTCDatabaseView();
    if (myHTCDatabaseView) myHTCDatabaseView->View(coefficientForm);
    return 1;
}

int HIDesignViewerScenario::viewSegTableView(const Text&) { return viewStreamOfRow(processRow, 0, nullptr); }

int HIDesignViewerScenario::viewSegTableViewU(const Text&) { return viewStreamOfRow(utilityRow, 1, nullptr); }

int HIDesignViewerScenario::viewHTCDefaultValueView(const Text&) {
    return viewStreamOfRow(processRow, 0, "HTCDefaultValueView");
}

int HIDesignViewerScenario::viewUtilHTCDefaultValueView(const Text&) {
    return viewStreamOfRow(utilityRow, 1, "UtilHTCDefaultValueView");
}

int HIDesignViewerScenario::standAloneSuperTarget(const Text&) {
    View("SuperTargetPlotStandAlone");
    return 1;
}

void HIDesignViewerScenario::viewPlotNumber(int number) {
    // Plots are numbered from 1 in the list; 0 or a number past its end names none.
    if (!henPlotList || number < 1 || number > henPlotList->Count()) return;
    if (chiPlot* plot = henPlotList->GetIth(number - 1)) plot->View();
}

int HIDesignViewerScenario::viewPlotStandalone(const Text&) {
    viewPlotNumber(selectedPlot);
    return 1;
}

int HIDesignViewerScenario::viewCompositeCurves(const Text&) {
    Specify(VarDescription(105, 201), 3.0);
    viewPlotNumber(selectedPlot);
    return 1;
}

int HIDesignViewerScenario::viewGrandCompositeCurve(const Text&) {
    Specify(VarDescription(105, 201), 1.0);
    viewPlotNumber(selectedPlot);
    return 1;
}

int HIDesignViewerScenario::viewUtilityCompositeCurve(const Text&) {
    Specify(VarDescription(105, 201), 7.0);
    viewPlotNumber(selectedPlot);
    return 1;
}

int HIDesignViewerScenario::viewLeftPlotStandalone(const Text&) {
    viewPlotNumber(selectedLeftPlot);
    return 1;
}

int HIDesignViewerScenario::viewRightPlotStandalone(const Text&) {
    viewPlotNumber(selectedRightPlot);
    return 1;
}

int HIDesignViewerScenario::viewDriveForcePlotStandalone(const Text&) {
    View("DriveForcePlotView");
    return 1;
}

int HIDesignViewerScenario::viewTableStandalone(const Text&) {
    if (!henTableList) henTableList = new HenTableList;
    // Opening a table's form may close others: the tables of the kind are taken first.
    std::vector<ChiTable*> ofKind;
    for (int i = 0; i < henTableList->Count(); ++i)
        if (ChiTable* table = henTableList->GetIth(i); table && table->GetKind() == option105_203) ofKind.push_back(table);
    if (ofKind.empty()) {
        // A new table opens its own form.
        auto* table = new ChiTable(this, option105_203);
        table->AddDeathPostee(this);
        henTableList->Add(table);
        return 1;
    }
    for (ChiTable* table : ofKind)
        if (henTableList->IndexOf(table) >= 0) table->View();
    return 1;
}

int HIDesignViewerScenario::openEconomicView(const Text&) {
    View("EconomicView");
    return 1;
}

int HIDesignViewerScenario::openTargetView(const Text&) {
    View("Targets");
    return 1;
}

int HIDesignViewerScenario::openHotTargetUtil(const Text&) {
    View("HotTargetUtil");
    return 1;
}

int HIDesignViewerScenario::openCoolTargetUtil(const Text&) {
    View("CoolTargetUtil");
    return 1;
}

int HIDesignViewerScenario::openTopRightView(const Text&) {
    View("TopRightView");
    return 1;
}

int HIDesignViewerScenario::openSummaryView(const Text&) {
    View("SummaryView");
    return 1;
}

int HIDesignViewerScenario::openUDB(const Text&) {
    if (!myDefaultUtilManagerView) SetMyDefaultUtilManagerView();
    if (myDefaultUtilManagerView) myDefaultUtilManagerView->View();
    return 1;
}

int HIDesignViewerScenario::openHTC(const Text&) {
    if (!myHTCDatabaseView) SetMyHTCDatabaseView();
    if (myHTCDatabaseView) myHTCDatabaseView->View();
    return 1;
}

int HIDesignViewerScenario::openForbidden(const Text&) {
    View("ForbiddenMatchView");
    return 1;
}

int HIDesignViewerScenario::openTotalSiteUtilityDatabase(const Text&) {
    // A scenario of a total site edits the site's utilities, which its viewer shows.
    if (Viewable* site = ParentTotalSite()) site->Message("OpenUDB");
    return 1;
}

int HIDesignViewerScenario::useActivatedAnalysis(const Text&) {
    View("UseActivatedAnalysis");
    return 1;
}

// ---- streams and defaults ----

int HIDesignViewerScenario::removeAllForbMatches(const Text&) {
    int result = 1, removed = 0;
    const int coldCount = myScenario->GetNumberOfStreamsOfKind(0, 1);
    if (coldCount <= 0) return ErrorMsg("NoForbiddenMatchesToRemove"), 0;
    // The hot streams are looked up once, not once per cold stream; a pair that needs a stream
    // not found is skipped.
    const int hotCount = myScenario->GetNumberOfStreamsOfKind(0, 0);
    std::vector<IHeatIntegrationStream*> hot(static_cast<std::size_t>(hotCount > 0 ? hotCount : 0), nullptr);
    for (int j = 0; j < hotCount; ++j) {
        IHeatIntegrationStream* stream = nullptr;
        if (myScenario->GetStreamOfKind(j, stream, 0, 0) && stream) {
            hot[static_cast<std::size_t>(j)] = stream;
        } else {
            ErrorMsg("GetStreamError");
            result = 0;
        }
    }
    for (int i = 0; i < coldCount; ++i) {
        workStream = nullptr;
        if (!myScenario->GetStreamOfKind(i, workStream, 0, 1) || !workStream) {
            ErrorMsg("GetStreamError");
            result = 0;
            continue;
        }
        for (IHeatIntegrationStream* h : hot) {
            if (!h) continue;
            const Text name = h->GetName();
            if (workStream->IsLinkedTo(name)) {
                workStream->UnlinkStream(name);
                ++removed;
            }
        }
    }
    workStream = nullptr;
    // No match was forbidden: nothing changed, and the targets stand as they were.
    if (removed == 0) return result == 1 ? (ErrorMsg("NoForbiddenMatchesToRemove"), 0) : 0;
    // On the forbidden-match form the scenario gathers the changes until the form closes;
    // anywhere else the removal is a batch of its own, and the targets follow at once.
    if (!IsFormOpen("ForbiddenMatchView")) myScenario->EndForbiddenMatchChanges();
    return result;
}

int HIDesignViewerScenario::resetEconomicData(const Text&) {
    // The match cost models of a retrofit's locked base are the existing network's.
    if (BaseCaseLocked()) return ErrorMsg("NoChangeinHENRBaseCase"), 0;
    std::vector<Text> hotNames;
    IHeatIntegrationStream* stream = nullptr;
    for (int j = 0; myScenario->GetStreamOfKind(j, stream, 4, 0) && stream; ++j, stream = nullptr)
        hotNames.push_back(stream->GetName());
    stream = nullptr;
    for (int i = 0; myScenario->GetStreamOfKind(i, stream, 4, 1) && stream; ++i, stream = nullptr) {
        const Text cold = stream->GetName();
        for (const Text& hot : hotNames) myScenario->SetMatchCostModelName(hot, cold, "DEFAULT");
    }
    return 1;
}

int HIDesignViewerScenario::addUtilityToUtilityStreams(const Text&) {
    const int count = myScenario->GetNumberOfStreamsOfKind(1, 2);
    if (!myDefaultUtilManagerView) {
        myDefaultUtilManagerView = new DefaultUtilManagerView(this);
        myDefaultUtilManagerView->AddDeathPostee(this);
    }
    IDefaultUtilityManager* manager = nullptr;
    if (!myScenario->GetDefaultUtilityManager(manager) || !manager) return 1;
    myDefaultUtilManagerView->SetDUM(manager);
    // With no default row selected there is no utility to add: said, and answered so.
    const char* name = manager->GetDefaultUtilityName(myDefaultUtilManagerView->getselDefUtilRow());
    if (!name || !*name) return ErrorMsg("NoDefaultUtilitySelected"), 0;
    CreateUtilityStream(name, count);
    return myScenario->GetNumberOfStreamsOfKind(1, 2) > count ? 1 : 0;
}

int HIDesignViewerScenario::switchProcessToUtil(const Text&) {
    // The process stream of the selected row becomes a utility; a row that selects no stream
    // changes nothing, and says so.
    IHeatIntegrationStream* stream = nullptr;
    if (processRow < 0 || !myScenario->GetStreamOfKind(processRow, stream, 0, 2) || !stream)
        return ErrorMsg("GetStreamError"), 0;
    // A retrofit's base case keeps its streams as they are, as it keeps them from a deletion.
    if (BaseCaseLocked()) return ErrorMsg("NoChangeinHENRBaseCase"), 0;
    // The utilities of a total-site scenario are the site's streams.
    if (myScenario->IsTotalSiteScenario()) {
        ErrorMsg("PickTotalSiteUtilityFromDropDownList");
        return 0;
    }
    // The scenario may give the stream its kind back (a stream of a locked network), and says why.
    stream->SetStreamKind(1, 1);
    return stream->GetStreamKind() == 1 ? 1 : 0;
}

int HIDesignViewerScenario::switchUtilToProcess(const Text&) {
    IHeatIntegrationStream* stream = nullptr;
    if (utilityRow < 0 || !myScenario->GetStreamOfKind(utilityRow, stream, 1, 2) || !stream)
        return ErrorMsg("GetStreamError"), 0;
    if (BaseCaseLocked()) return ErrorMsg("NoChangeinHENRBaseCase"), 0;
    // A total-site scenario's utilities are the site's streams, a utility in every scenario.
    if (myScenario->IsTotalSiteScenario()) {
        ErrorMsg("SiteUtilityStaysInEveryScenario");
        return 0;
    }
    stream->SetStreamKind(0, 1);
    return stream->GetStreamKind() != 1 ? 1 : 0;
}

int HIDesignViewerScenario::applyNewBCValues(const Text&) {
    // The base's economics are held as its named cells are.
    if (BaseCaseLocked()) return ErrorMsg("NoChangeinHENRBaseCase"), 0;
    // The dialog's set, its coefficient in display units and the exponent it proposed.
    const Text& set = workText;
    const double q = value1519_210, e = valueComputed;
    // The dialog opens with an exponent typed for a set; before that, or with its coefficient
    // erased, there is no law to store.
    if (set.empty() || e == EmptyValue || q == EmptyValue) return ErrorMsg("NoCostCoefficientEdited"), 0;
    myScenario->SetEconomicData(2, e, set.c_str());
    const int k = static_cast<int>(myScenario->GetEconomicData(5, set.c_str()));
    const double b = calc_unit(q, DefUnitConv(99, DefaultUnits));
    // The coefficient is per unit of the law's basis (duty or area) raised to the exponent.
    const double u = calc_unit(1.0, DefUnitConv(k != 0 ? 6 : 41, DefaultUnits));
    myScenario->SetEconomicData(1, b / std::pow(u, e), set.c_str());
    return 1;
}
