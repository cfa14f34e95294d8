// Members, construction, copy and append from another scenario, retrofit copy and destruction.
#include "eng/model/Scenario.h"

#include "brasko/DefaultManager.h"
#include "brasko/ReportHolder.h"
#include "eng/autodesign/IAdvancedSuperTarget.h"
#include "eng/design/IHENDesign.h"
#include "eng/model/CloneSelection.h"
#include "eng/model/MatchwiseStreamData.h"
#include "eng/model/SiteManagerListening.h"
#include "eng/model/StreamLynxCollection.h"
#include "eng/model/SuperTargetRange.h"
#include "eng/targeting/AreaTarget.h"
#include "eng/targeting/UtilityPlacement.h"
#include "lumeth/Framework.h"
#include "lumeth/Messages.h"
#include "osmeri/CPValue.h"

#include <algorithm>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace {

std::unique_ptr<DefaultManager> factoryDefaultManager() {
    auto manager = std::make_unique<DefaultManager>();
    manager->SetUpDefaults();
    return manager;
}

}  // namespace

CPIScenario::CPIScenario(IHeatIntegrationProject* project, ScenarioServices services)
    : m_pProject(project),
      m_services(std::move(services)),
      m_pDefaultManager(factoryDefaultManager()),
      m_pNotes(std::make_unique<CPString>()) {
    ListenToOwnManager();
}

void CPIScenario::ListenToOwnManager() {
    if (!m_pDefaultManager) return;
    m_pDefaultManager->AddNotificationReceiver(this);
    m_pDefaultManager->AddValidMessage(this, DefaultManager::ChangeEconomicsRead);
}


CPIScenario::CPIScenario(IHeatIntegrationProject* project, CPIScenario& source, const CloneSelection* selection,
                         ScenarioServices services, const SiteShare* site)
    : m_pProject(project), m_services(std::move(services)), m_pDefaultManager(factoryDefaultManager()) {
    ListenToOwnManager();
    // A copy starts without a name and without notes: the append below gives it the source's.
    m_strBaseDesignName = source.m_strBaseDesignName;
    // Inside a site the copy holds the site streams before the append looks for its utilities.
    if (site) JoinSite(*site);
    if (selection) {
        AppendFrom(project, source, *selection, false);
    } else {
        AppendFrom(project, source, source.SelectAll(), false);
    }
    m_dOptimizerEconomicParameter = 0.0;
    // A copy of a retrofit study is one too while its base comes along: its owner holds its
    // streams once the designs it takes are in (HoldCopiedRetrofitStudy).
    m_bRetrofit = source.m_bRetrofit;
    m_bTotalSite = site != nullptr;
    for (int& status : m_nRetrofitStatus) status = -1;
}

void CPIScenario::JoinSite(const SiteShare& site) {
    m_bTotalSite = true;
    if (!m_pSiteManager) m_pSiteManager = site.manager;
    ListenToSiteManager(m_pSiteManager, this);
    for (const auto& [name, stream] : site.streams) InsertStream(name, stream, site.manager);
}

CloneSelection CPIScenario::SelectAll() const {
    return CloneSelection::SelectAll(m_processStreams.Length(), m_utilityStreams.Length(),
                                     static_cast<std::size_t>(GetNumberOfDesigns()));
}

void CPIScenario::SetName(const CPString& name) {
    m_pName = std::make_unique<CPString>(name);
    SendAMessage(26, *m_pName, Self());
}

void CPIScenario::SendNamingMessage(int code, const char* key, const std::vector<CPString>& texts) {
    SendAMessage(code, NoticeWithTexts(key, MessageParameters(texts.begin(), texts.end())), Self());
}

bool CPIScenario::AppendFrom(IHeatIntegrationProject* project, CPIScenario& source,
                             const CloneSelection& selection, bool intoExisting) {
    const CPString sourceName = source.GetName() ? CPString(source.GetName()) : CPString();
    const bool keepNames = selection.EntryFlag(CloneSelection::EntryKeepStreamNames) != 0;
    // The name each selected stream takes here; a site scenario's utilities are the site's.
    auto copyName = [&](const CPIHeatIntegrationStream& stream) {
        CPString name = stream.GetName();
        if (!keepNames) name += " from " + sourceName;
        return name;
    };
    // The source's names are unique among themselves, and so are the copies' names made of them: a
    // copy meets only a name this scenario holds, as a stream or as a default utility's, which
    // AddStream would refuse. Such a stream stays behind with a word and the append goes on with
    // the next; an append that could bring none of the streams it selects changes nothing.
    std::unordered_set<const CPIHeatIntegrationStream*> refused;
    std::size_t selected = 0;
    auto check = [&](const StreamList& from, int entry, int kind) {
        std::size_t i = 0;
        for (const CPIHeatIntegrationStream* stream : from) {
            if (!selection.IsItemSelected(entry, i++)) continue;
            if (m_bTotalSite && kind == CPIHeatIntegrationStream::KindUtility) continue;
            ++selected;
            const CPString name = copyName(*stream);
            const bool utilityName =
                kind != CPIHeatIntegrationStream::KindUtility && m_pDefaultManager->Exists(name.c_str());
            if (StreamByName(name) || utilityName) refused.insert(stream);
        }
    };
    check(source.m_processStreams, CloneSelection::EntryProcessStreams, CPIHeatIntegrationStream::KindProcess);
    check(source.m_utilityStreams, CloneSelection::EntryUtilityStreams, CPIHeatIntegrationStream::KindUtility);
    // What the user reads names this scenario and the streams that stay behind.
    const CPString targetName = GetName() ? CPString(GetName()) : CPString();
    if (selected != 0 && refused.size() == selected) {
        CPString names;
        auto listRefused = [&](const StreamList& from) {
            for (const CPIHeatIntegrationStream* stream : from) {
                if (refused.count(stream) == 0) continue;
                if (!names.empty()) names += ", ";
                names += copyName(*stream);
            }
        };
        listRefused(source.m_processStreams);
        listRefused(source.m_utilityStreams);
        SendNamingMessage(60, "CannotCloneStreamErrorMsg", {targetName, names});
        return false;
    }
    m_pProject = project;
    const CPString sourceNotes = source.GetNotes() ? CPString(source.GetNotes()) : CPString();

    if (m_pNotes) {
        *m_pNotes += "\n\n";
        *m_pNotes += "Appended from: ";
        *m_pNotes += sourceName;
        *m_pNotes += "\n";
        *m_pNotes += sourceNotes;
    } else {
        m_pNotes = std::make_unique<CPString>(sourceNotes);
    }

    m_dDTmin = source.m_dDTmin;
    m_nFirstIntegerSetting = source.m_nFirstIntegerSetting;
    m_nSecondIntegerSetting = source.m_nSecondIntegerSetting;
    m_nSegmented = source.m_nSegmented;
    // A stream's number is its identity to retrofit: the counter only grows, so that a stream
    // copied or added from now on takes a number none of this scenario's streams holds.
    m_nStreamCounter = std::max(m_nStreamCounter, source.m_nStreamCounter);
    m_dMinimumFFactor = source.m_dMinimumFFactor;
    for (int i = 0; i < 4; ++i) m_nLevelSettings[i] = source.m_nLevelSettings[i];
    m_bEquationBasedOptimization = source.m_bEquationBasedOptimization;
    m_bSuppressTargetUpdate = source.m_bSuppressTargetUpdate;
    m_bAllowUtilitiesAtPorts = source.m_bAllowUtilitiesAtPorts;

    if (!m_pStreams) m_pStreams = std::make_unique<StreamDictionary>(kDictionarySlots);
    m_pLastChangeSource = nullptr;

    // Every stream copied sends its value changes; the targets are computed once, at the end.
    SuspendCalculations();

    // Each utility copied, with the stream it was copied from: its loads follow once its
    // segments are made (a load typed by the user is the scenario's data, as its streams are).
    std::vector<std::pair<CPIHeatIntegrationStream*, CPIHeatIntegrationStream*>> utilityCopies;
    // The stream each source stream came along as (a site utility: the site's stream this scenario
    // holds); a stream left behind has none.
    std::unordered_map<const IHeatIntegrationStream*, CPIHeatIntegrationStream*> copies;
    // The same for the process streams alone, of which forbidden matches and temperature links are made.
    std::unordered_map<const IHeatIntegrationStream*, CPIHeatIntegrationStream*> processCopies;
    auto copyStreams = [&](const StreamList& from, int entry, int kind) {
        // The source's list may not change while it is copied; take the items first.
        std::vector<CPIHeatIntegrationStream*> items(from.begin(), from.end());
        for (std::size_t i = 0; i < items.size(); ++i) {
            if (!selection.IsItemSelected(entry, i)) continue;
            if (m_bTotalSite && kind == CPIHeatIntegrationStream::KindUtility) {
                // A site scenario's utilities are the site's streams, which it holds already; a
                // private copy would drift from them, and nobody would own it.
                CPIHeatIntegrationStream* held = StreamByName(items[i]->GetName());
                // The append goes on without it, as without a stream whose name is taken here.
                if (!held || !SiteStreamOf(*held))
                    SendNamingMessage(61, "ClonedUtilityNotOnSite", {targetName, items[i]->GetName()});
                // What the copy holds of it is the scenario's own: the loads the user typed. A
                // copy takes them as a project's copy does; an append keeps those it has.
                else {
                    copies.emplace(items[i], held);
                    if (keepNames) utilityCopies.emplace_back(held, items[i]);
                }
                continue;
            }
            // The append goes on without it: a notice of what it leaves undone, not a refusal.
            const CPString name = copyName(*items[i]);
            if (refused.count(items[i]) != 0) {
                SendNamingMessage(61, "CannotCloneStreamErrorMsg", {targetName, name});
                continue;
            }
            CPIHeatIntegrationStream* copy = nullptr;
            if (AddStream(name, kind) == 1) copy = StreamByName(name);
            if (copy) {
                copies.emplace(items[i], copy);
                if (kind == CPIHeatIntegrationStream::KindProcess) processCopies.emplace(items[i], copy);
                copy->CopyFrom(items[i]);
                if (kind == CPIHeatIntegrationStream::KindUtility) utilityCopies.emplace_back(copy, items[i]);
            } else {
                SendNamingMessage(61, "CannotCloneStreamErrorMsg", {targetName, name});
            }
        }
    };
    copyStreams(source.m_processStreams, CloneSelection::EntryProcessStreams, 0);
    copyStreams(source.m_utilityStreams, CloneSelection::EntryUtilityStreams, 1);

    // A copied stream arrives on its side without announcing it: file it and take its segments.
    EnsureMatchwiseStreamData();
    for (CPIHeatIntegrationStream* stream : *m_pStreams) {
        UpdateSideLists(*stream, 2);
        m_pMatches->AddStream(stream);
        AddStreamSegments(*stream);
    }
    for (auto [copy, from] : utilityCopies) {
        if (from->GetStreamKind() != CPIHeatIntegrationStream::KindUtility) continue;
        copy->SetHeatLoad(from->GetOwnHeatLoad(0), 0);
        copy->SetHeatLoad(from->GetOwnHeatLoad(1), 1);
    }

    if (source.m_pDefaultManager && selection.EntryFlag(CloneSelection::EntryDefaultManager) != 0) {
        m_pDefaultManager = std::make_unique<DefaultManager>(*source.m_pDefaultManager);
        ListenToOwnManager();
        SendAMessage(96, CPString(), Self());
    }

    // A copy is the scenario as typed for the streams that come along: each forbidden match of two
    // process streams that both came along comes along too, and one whose stream stays behind goes,
    // as a deleted stream's does. Only a user who unticked the forbidden matches leaves them all.
    auto processCopyOf = [&processCopies](const IHeatIntegrationStream* from) -> CPIHeatIntegrationStream* {
        const auto found = processCopies.find(from);
        return found == processCopies.end() ? nullptr : found->second;
    };
    // The links are made without a word: they open no batch of changes that nobody closes, ask
    // nothing of a viewer of the scenario appended to, and the count is taken from them below.
    if (selection.EntryFlag(CloneSelection::EntryStreamLinks) != 0) {
        for (CPIHeatIntegrationStream* from : source.m_processStreams) {
            CPIHeatIntegrationStream* to = processCopyOf(from);
            if (!to) continue;
            for (const CPString& linked : from->GetLinkedStreamNames()) {
                const CPIHeatIntegrationStream* other = source.StreamByName(linked);
                if (CPIHeatIntegrationStream* otherCopy = other ? processCopyOf(other) : nullptr)
                    to->JoinLinkWith(*otherCopy);
            }
        }
    }

    // The temperature links come along with the streams they link, as the user typed them: a link
    // whose own stream stays behind is not copied, and a term of a stream left behind goes, as a
    // deleted stream's does. A scenario appended to keeps the links it has and takes none.
    if (source.m_pStreamLinks && !intoExisting) {
        // A link is made of process streams only: its streams' copies are process streams too.
        auto copyOf = [&](const IHeatIntegrationStream* from) -> IHeatIntegrationStream* { return processCopyOf(from); };
        bool copied = false;
        for (const StreamLynx* from : source.m_pStreamLinks->GetLinkList()) {
            IHeatIntegrationStream* linked = copyOf(from->GetLinkedStream());
            if (!linked) continue;
            if (!m_pStreamLinks) {
                m_pStreamLinks = std::make_unique<StreamLynxCollection>(this);
                m_pStreamLinks->SetAdvancedLinkPreference(source.m_pStreamLinks->GetAdvancedLinkPreference());
            }
            if (m_pStreamLinks->FindLink(linked)) continue;
            auto* link = new StreamLynx(this, linked);
            link->CopyTermsFrom(*from, copyOf);
            m_pStreamLinks->AddLink(link);
            copied = true;
        }
        // A viewer of this scenario lists the links it has now.
        if (copied) SendAMessage(113, CPString(), Self());
    }

    // The cost model of each match whose two streams came along comes along too, when this
    // scenario's economic data hold it (a copy without the source's economic data prices such a
    // match by its default set). Only a user who unticked them leaves them all. A scenario
    // appended to takes none: a set of the same name there is its own, at its own prices.
    if (!intoExisting && selection.EntryFlag(CloneSelection::EntryCostModels) != 0 && source.m_pMatches) {
        const DefaultManager& economics = GetActiveManager();
        // The manager tells its sets apart by their names in capitals (letters a to z folded).
        auto capitals = [](const char* text) {
            CPString out = text ? text : "";
            for (char& c : out)
                if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
            return out;
        };
        auto held = [&](const CPString& model) {
            const CPString key = capitals(model.c_str());
            for (int i = 0; i < economics.GetNumberOfEconomicData(); ++i)
                if (capitals(economics.GetEconomicDataName(i)) == key) return true;
            return false;
        };
        auto copyOf = [&copies](const IHeatIntegrationStream* from) -> const IHeatIntegrationStream* {
            const auto found = copies.find(from);
            return found == copies.end() ? nullptr : found->second;
        };
        m_pMatches->CopyCostModelNames(*source.m_pMatches, copyOf, held);
    }

    m_dOptimizerEconomicParameter = 0.0;
    if (source.m_pUtilityPlacement || source.m_nUtilityAssignmentMethod != 0) {
        m_nUtilityAssignmentMethod = source.GetUtilityAssignmentMethod();
        // A site scenario holds the site streams, and so a placement record, before the append.
        if (m_pUtilityPlacement) m_pUtilityPlacement->SetMethod(m_nUtilityAssignmentMethod);
    }
    // The forbidden matches are the links the copy ends up with: the source's count counts links
    // to streams left behind, and an append adds to the links this scenario had. A scenario that
    // gets its first forbidden match here says so, as forbidding one does.
    const int forbiddenBefore = m_nForbiddenMatches;
    RecountForbiddenMatches();
    if (forbiddenBefore == 0 && m_nForbiddenMatches != 0 && !IsAutomationStartup())
        SendMessageKey("ChangingToLPAndGCCChoseForbidden");
    // The area-target method asked for is a setting of the scenario like DTmin: the copy keeps it.
    if (source.m_pAreaTarget && source.m_pAreaTarget->nRequestedMethod != AreaTarget::Bath) {
        if (!m_pAreaTarget) m_pAreaTarget = new AreaTarget();
        m_pAreaTarget->nRequestedMethod = source.m_pAreaTarget->nRequestedMethod;
    }

    // The side lists are filed again in the scenario's order of streams, the order a reopened
    // case files them in: a utility that knew its side as it was added would otherwise come
    // before the process streams, and a row of a list of any kind (a match's cost model) would
    // name another pair once the case is reopened.
    for (StreamList* list : {&m_processHot, &m_processCold, &m_utilityHot, &m_utilityCold, &m_allHot, &m_allCold})
        list->Clear();
    for (CPIHeatIntegrationStream* stream : *m_pStreams) UpdateSideLists(*stream, 2);

    ResumeCalculations(true);
    return true;
}

void CPIScenario::SetUpRetrofit(CPIScenario& source, const CPString& designName) {
    if (DesignByName("Design 1")) DeleteDesign("Design 1");
    m_strBaseDesignName = designName;
    if (IHENDesign* design = source.DesignByName(designName)) CopyDesignFromScenario(*design);
    SetRetrofitBaseDesign(designName);
}

void CPIScenario::CopyDesignsFrom(CPIScenario& source, const CloneSelection& selection) {
    if (DesignByName("Design 1")) DeleteDesign("Design 1");
    if (!source.m_pDesigns) return;
    std::vector<IHENDesign*> designs(source.m_pDesigns->begin(), source.m_pDesigns->end());
    for (std::size_t k = 0; k < designs.size(); ++k)
        if (selection.IsItemSelected(CloneSelection::EntryDesigns, k)) CopyDesignFromScenario(*designs[k]);
}

CPIScenario::~CPIScenario() {
    // The site streams and the site's manager hear nothing more from this scenario.
    m_siteLinks.clear();
    if (m_pSiteManager) m_pSiteManager->RemoveNotificationReceiver(this);
    FreeAllTargetRecords();
    m_nRankingEnabled = 0;

    DestroyAllDesigns();

    if (m_pName) {
        SendAMessage(25, *m_pName, Self());
        m_pName.reset();
    }

    m_pSuperTargets.reset();
    m_pMatches.reset();
    m_pAutomaticDesign[0].reset();
    m_pAutomaticDesign[1].reset();
    KeepImport(nullptr);
    m_pSegmentPool.reset();
    for (StreamList* list : {&m_processHot, &m_processCold, &m_utilityHot, &m_utilityCold, &m_allHot, &m_allCold,
                             &m_processStreams})
        list->Clear();
    m_extractionItemNames.clear();

    if (m_pStreams) {
        std::vector<CPIHeatIntegrationStream*> streams(m_pStreams->begin(), m_pStreams->end());
        m_pStreams->Clear();
        for (CPIHeatIntegrationStream* stream : streams) {
            stream->RemoveNotificationReceiver(this);
            // The site streams of a total-site scenario belong to the site.
            if (!IsSharedSiteStream(*stream)) delete stream;
        }
    }
    m_utilityStreams.Clear();
    m_pStreams.reset();
    m_pStreamLinks.reset();
    m_rankedDesigns.Clear();
    m_rankedCompleteDesigns.Clear();
}

void CPIScenario::DestroyAllDesigns() {
    if (!m_pDesigns) return;
    while (m_pDesigns->Length() > 0) {
        const CPString name = m_pDesigns->KeyAt(0);
        SendAMessage(1, name, Self());
        IHENDesign* design = m_pDesigns->RemoveKeyString(name);
        if (design) {
            design->RemoveNotificationReceiver(this);
            delete design;
        }
    }
    m_pDesigns.reset();
    m_rankedDesigns.Clear();
    m_rankedCompleteDesigns.Clear();
    m_retrofitRunResults.clear();
    m_retrofitRunSource = nullptr;
}
