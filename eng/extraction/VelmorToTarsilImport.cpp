// The import object, its entry from the case provider and the order of work of a full
// extraction: the item walk, recycle tolerances, boundary items between streams, composition
// groups, chain joining, and the process streams made from the chains.
#include "eng/extraction/VelmorToTarsilImport.h"

#include "brasko/ReportHolder.h"
#include "dunmor/Crc16.h"
#include "eng/design/IHENDesign.h"
#include "eng/extraction/CaseItemAccess.h"
#include "eng/extraction/DataExtractionConfig.h"
#include "eng/extraction/HeaterCoolerAssumptions.h"
#include "eng/extraction/MessageNumbers.h"
#include "eng/model/IHeatIntegrationScenario.h"
#include "eng/model/IHeatIntegrationStream.h"
#include "lumeth/Messages.h"
#include "lumeth/Session.h"
#include "pellin/CNode.h"
#include "quenta/RalvexInterface.h"
#include "ralvex/Case.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <unordered_set>

namespace {
// Recycle sensitivities are in units of 1e-4 of a mole fraction.
constexpr double kSensitivityUnit = 0.0001;
constexpr double kStartTolerance = 0.01;
constexpr double kToleranceWidening = 10.0;
constexpr double kEmpty = -32767.0;

const char* const kPathUnits[] = {"ppPipeSegment", "htCooler",      "htHeater",      "htHeatExchanger",
                                  "htLNGExchanger", "htAirCooler",  "htFiredHeater", "ppValve",
                                  "lgRecycle",      "ppBoundaryStreamItem", "rtPump"};

// A heater's or cooler's duty the case leaves unknown is the change of heat flow across it, where
// it has one material feed and one product and both heat flows are known: its heat is carried,
// not lost. Its own duty, when given, stands.
void DutiesFromHeatFlows(const std::vector<CPItem*>& items) {
    static const char* const kOneSided[] = {"htCooler", "htHeater", "htAirCooler", "htFiredHeater"};
    for (CPItem* unit : items) {
        double duty = 0.0, in = 0.0, out = 0.0;
        if (!IsOneOf(unit, kOneSided) || (KnownNumber(unit, "Duty", duty) && duty != kEmpty)) continue;
        const std::vector<CPItem*> feeds = unit->RelatedNodes(CPItem::Upstream), products = unit->RelatedNodes(CPItem::Downstream);
        if (feeds.size() != 1 || products.size() != 1 || !IsClass(feeds[0], CaseClass::MaterialStream) ||
            !IsClass(products[0], CaseClass::MaterialStream))
            continue;
        if (KnownNumber(feeds[0], "HeatFlow", in) && in != kEmpty && KnownNumber(products[0], "HeatFlow", out) && out != kEmpty)
            unit->AddVariable("Duty")->Set(std::fabs(out - in));
    }
}

// Composition groups keyed by signature, in the order their first stream was met.
struct Groups {
    std::vector<std::vector<CPItem*>> lists;
    std::unordered_map<int, std::size_t> index;
    void Add(int key, CPItem* item) {
        auto [it, added] = index.emplace(key, lists.size());
        if (added) lists.emplace_back();
        lists[it->second].push_back(item);
    }
};

}  // namespace

bool IsNetworkPathUnit(const CPItem* item) { return IsOneOf(item, kPathUnits); }

struct VelmorToTarsilImport::Walk {
    std::vector<CPItem*> materialStreams;
    std::vector<CPItem*> recycles;
    std::vector<CPString> unknownItems;
};

VelmorToTarsilImport::VelmorToTarsilImport(IHeatIntegrationScenario* scenario, RalvexInterface* caseInterface,
                                           Case* simulatorCase)
    : m_scenario(scenario), m_caseInterface(caseInterface), m_case(simulatorCase) {
    m_propertyDataSets = {
        {"prpTemperature", "Raw_Temperature_DataSet"},
        {"prpMassEnthalpy", "Raw_MassEnthalpy_DataSet"},
        {"prpSpecificHeat", "Raw_SpecificHeat_DataSet"},
        {"prpViscosity", "Raw_Viscosity_DataSet"},
        {"prpMassDensity", "Raw_MassDensity_DataSet"},
        {"prpThermalConductivity", "Raw_ThermalConductivity_DataSet"},
        {"prpMassVapourFraction", "Raw_VapourFraction_DataSet"},
    };
}

VelmorToTarsilImport::~VelmorToTarsilImport() = default;

int VelmorToTarsilImport::CaseCallback(RalvexInterface* caseInterface, Case* simulatorCase,
                                       IHeatIntegrationScenario* scenario) {
    if (!caseInterface || !simulatorCase || !scenario) return 0;
    auto make = [&] {
        auto* import = new VelmorToTarsilImport(scenario, caseInterface, simulatorCase);
        import->AddNotificationReceiver(scenario);
        for (int code : {60, 61, 62, 64, 66}) import->AddValidMessage(scenario, code);
        return import;
    };
    if (simulatorCase->GetCaseRefresh()) {
        auto* import = dynamic_cast<VelmorToTarsilImport*>(simulatorCase->GetVelmorToTarsilImport());
        if (!import) {
            import = make();
            simulatorCase->SetVelmorToTarsilImport(import);
        }
        // A new object has no extraction behind it (the case was opened again, or the project
        // read back): it refreshes nothing and says so.
        return import->Refresh() ? 1 : 0;
    }
    VelmorToTarsilImport* import = make();
    // The case holds the object while it runs, so an extraction that fails half way leaves
    // nothing behind that no one owns.
    simulatorCase->SetVelmorToTarsilImport(import);
    import->Extract();
    return 1;
}

void VelmorToTarsilImport::ClearExtractedItems() {
    m_extractedItems.clear();
    m_extractedSet.clear();
    m_extractedIndexed = 0;
}

double VelmorToTarsilImport::Setting(const char* name, double missing) const {
    DataExtractionConfig* config = m_scenario ? m_scenario->GetDataExtractionConfig() : nullptr;
    double v = missing;
    if (!config || config->GetSettingValue(name, v) != 1 || v == CPValue::Empty) return missing;
    return v;
}

IHENDesign* VelmorToTarsilImport::GetBaseDesign() const {
    IHENDesign* design = nullptr;
    if (!m_scenario || !m_scenario->GetDesign(CPString(BaseDesignName), design)) return nullptr;
    return design;
}

const StreamChain* VelmorToTarsilImport::GetStreamChain(const CPString& streamName) const {
    auto it = m_streamChainIndex.find(streamName);
    return it == m_streamChainIndex.end() ? nullptr : m_streamChains[it->second].second.get();
}

void VelmorToTarsilImport::WalkItems(Walk& walk, DataExtractionConfig* config, double utilityDatabase) {
    ClearExtractedItems();
    m_utilityItems.clear();
    const bool anySubFlowsheet = config && config->GetNumberOfSubFlowsheets() > 0;
    for (CPItem* item = m_caseInterface->CASEGetFirstItem(m_case); item;
         item = m_caseInterface->CASEGetNextItem(m_case)) {
        const CPValue* sub = m_caseInterface->ITGetVal(item, "MySubFlowsheet");
        const bool selected = sub && (!anySubFlowsheet || config->IsSubFlowsheetChosen(sub->GetAsString()));
        const CPString& cls = item->_get_szClassName();
        if (selected) {
            if (cls == CaseClass::Unknown) {
                walk.unknownItems.push_back(item->_get_szName());
                continue;
            }
            if (cls == CaseClass::MaterialStream) walk.materialStreams.push_back(item);
            else if (cls == CaseClass::Recycle) walk.recycles.push_back(item);
            m_extractedItems.push_back(item);
        } else if (utilityDatabase == 1.0 && cls == "ppUtilityStream") {
            m_utilityItems.push_back(item);
            m_extractedItems.push_back(item);
        }
    }
}

void VelmorToTarsilImport::ReadRecycleTolerances(const std::vector<CPItem*>& recycles, ReportHolder* report) {
    double tolerance = kStartTolerance;
    for (CPItem* recycle : recycles) {
        double sensitivity = 0.0;
        if (!KnownNumber(recycle, "CompSensitivity", sensitivity)) continue;
        const double t = sensitivity * kSensitivityUnit;
        if (!(t > tolerance)) continue;
        tolerance = t;
        if (!report) continue;
        CPString text = FormatMessage(FindString("ExtractionCompToleranceOf"), {recycle->_get_szName()});
        text += ExtractionNumber(sensitivity);
        // The report keeps one line per text it is given.
        text += ".";
        report->AddEntry("Warnings", "Recycle_Tolerance", FindString("ExtractionCompToleranceHigh").c_str());
        report->AppendText("Warnings:Recycle_Tolerance", text.c_str());
    }
    m_compositionTolerance = tolerance * kToleranceWidening;
}

void VelmorToTarsilImport::InsertBoundaryItems(const std::vector<CPItem*>& materialStreams) {
    for (CPItem* s : materialStreams) {
        // The neighbours are walked from a snapshot; a new boundary item changes the list, so the
        // walk restarts from the first neighbour. Each neighbour is passed once, so the walk ends;
        // a boundary name the case holds already gives way to the first free one after it.
        std::unordered_set<const CPItem*> passed;
        bool restart = true;
        while (restart) {
            restart = false;
            for (CPItem* d : s->RelatedNodes(CPItem::Downstream)) {
                if (d == s || !IsClass(d, CaseClass::MaterialStream) || passed.count(d)) continue;
                CPString name = s->_get_szName();
                name += "_TO_";
                name += d->_get_szName();
                CPItem* boundary = AddCaseItem(FreeCaseItemName(name), CaseClass::Boundary);
                passed.insert(d);
                if (!boundary) continue;
                s->UnlinkRelatedNode(d, CPItem::Downstream);
                s->AddRelatedNode(boundary, CPItem::Downstream);
                boundary->AddRelatedNode(d, CPItem::Downstream);
                restart = true;
                break;
            }
        }
    }
}

CPItem* VelmorToTarsilImport::FindChainContinuation(const StreamChain& chain) const {
    CPItem* last = chain.Last();
    if (!last) return nullptr;
    const std::int16_t signature = CompositionSignature(last);
    CPItem* unit = nullptr;
    for (CPItem* d : last->RelatedNodes(CPItem::Downstream))
        if (IsNetworkPathUnit(d)) {
            unit = d;
            break;
        }
    if (!unit) return nullptr;
    const std::vector<CPItem*> products = unit->RelatedNodes(CPItem::Downstream);
    for (CPItem* o : products) {
        // Only a material stream continues a chain. An energy stream carries no composition, so
        // its signature is the one of a stream whose case gives none: listed before a cooler's
        // product it would end the chain there, and the cooled stream would be lost.
        if (!IsClass(o, CaseClass::MaterialStream) || CompositionSignature(o) != signature) continue;
        if (IsClass(unit, "htLNGExchanger")) {
            const CPValue* feeds = unit->GetVariable("FeedStreams");
            const CPValue* prods = unit->GetVariable("ProductStreams");
            if (!feeds || !prods) continue;
            const std::size_t n = std::min(feeds->GetNumberOfSubValues(), prods->GetNumberOfSubValues());
            for (std::size_t i = 0; i < n; ++i)
                if (feeds->GetSubValue(i)->GetAsString() == last->_get_szName() &&
                    prods->GetSubValue(i)->GetAsString() == o->_get_szName())
                    return o;
        } else if (IsClass(unit, "htHeatExchanger")) {
            CPString feed, product;
            const char* side = nullptr;
            if (TextValue(unit, "TubeSideFeed", feed) && feed == last->_get_szName()) side = "TubeSideProduct";
            else if (TextValue(unit, "ShellSideFeed", feed) && feed == last->_get_szName()) side = "ShellSideProduct";
            if (side && TextValue(unit, side, product))
                for (CPItem* p : products)
                    if (p->_get_szName() == product) return p;
        } else {
            return o;
        }
    }
    return nullptr;
}

void VelmorToTarsilImport::JoinChains(ChainList& chains) {
    // Chains are found by their first stream.
    std::unordered_map<const CPItem*, StreamChain*> byFirst;
    for (const auto& c : chains)
        if (c->First()) byFirst.emplace(c->First(), c.get());
    std::unordered_map<const StreamChain*, std::size_t> position;
    for (std::size_t i = 0; i < chains.size(); ++i) position[chains[i].get()] = i;
    std::vector<bool> removed(chains.size(), false);

    for (std::size_t i = 0; i < chains.size();) {
        if (removed[i]) {
            ++i;
            continue;
        }
        StreamChain& chain = *chains[i];
        CPItem* next = FindChainContinuation(chain);
        auto found = next ? byFirst.find(next) : byFirst.end();
        if (found == byFirst.end()) {
            ++i;
            continue;
        }
        StreamChain* other = found->second;
        if (other != &chain) {
            chain.Append(*other);
            byFirst.erase(found);
            removed[position[other]] = true;
            continue;  // the joined chain may continue further
        }
        // The chain returns to its own start: it ends on a copy of its first stream instead.
        if (CPItem* copy = DuplicateCaseItem(next, 1)) chain.AddItem(copy);
        ++i;
    }
    // Chains taken into others go; the order of the rest stays.
    ChainList kept;
    kept.reserve(chains.size());
    for (std::size_t i = 0; i < chains.size(); ++i)
        if (!removed[i]) kept.push_back(std::move(chains[i]));
    chains = std::move(kept);
}

void VelmorToTarsilImport::Extract() {
    if (!m_scenario || !m_case || !m_caseInterface) return;
    m_extracted = true;
    // 1. The design of the existing network.
    IHENDesign* design = nullptr;
    if (!m_scenario->GetDesign(CPString(BaseDesignName), design)) m_scenario->AddDesign(BaseDesignName);

    // 2. Report sections.
    ReportHolder* report = nullptr;
    m_scenario->GetReportHolder(report);
    if (report) {
        report->AddEntry(nullptr, "Streams");
        report->AddEntry(nullptr, "Assumptions");
        report->AddEntry("Assumptions", "Heaters_and_coolers");
        report->AddEntry(nullptr, "Warnings");
    }

    // 3. Settings.
    DataExtractionConfig* config = m_scenario->GetDataExtractionConfig();
    double utilityDatabase = 0.0;
    GetConfigData("SimulationUtilityDatabase", utilityDatabase);

    // 4-5. Items.
    Walk walk;
    WalkItems(walk, config, utilityDatabase);
    for (const CPString& name : walk.unknownItems) m_caseInterface->CASEDeleteItem(m_case, name);
    CheckExchangerSides();
    DutiesFromHeatFlows(m_extractedItems);

    // 6. Recycle tolerance.
    ReadRecycleTolerances(walk.recycles, report);

    // 7. Utilities from the simulation.
    ImportSimulationUtilities(false);

    // 8. The simulator's own views' selectors.
    for (CPItem* s : walk.materialStreams)
        for (const char* name : {"Outlets", "Inlets"})
            if (CPValue* v = m_caseInterface->ITGetVal(s, name)) v->_set_nSelector(-1, 0);

    // 9. Boundary items between streams linked directly.
    InsertBoundaryItems(walk.materialStreams);

    // 10. Composition groups.
    AssignCompositionSignatures(walk.materialStreams);
    Groups groups;
    for (CPItem* s : walk.materialStreams) groups.Add(CompositionSignature(s), s);

    // 11-19. Chains and process streams, group by group. The streams come in as one batch: the
    // targets and designs catch up once, when calculations resume, not after every value.
    m_scenario->SuspendCalculations();
    m_scenario->SetSuppressTargetUpdate(true);
    // The network design takes every new stream; it is calculated once, after the batch.
    IHENDesign* batchDesign = GetBaseDesign();
    if (batchDesign) batchDesign->Deactivate();
    for (const std::vector<CPItem*>& group : groups.lists) {
        ChainList chains;
        chains.reserve(group.size());
        for (CPItem* s : group) {
            auto chain = std::make_unique<StreamChain>();
            chain->AddItem(s);
            chains.push_back(std::move(chain));
        }
        JoinChains(chains);
        SplitChainsAtReversals(chains);

        std::vector<StreamChain*> hot = SelectProcessChains(0, chains);
        std::vector<StreamChain*> cold = SelectProcessChains(1, chains);
        // A chain chosen for both sides: the cold side works on a copy of its own.
        std::unordered_map<const StreamChain*, std::size_t> position;
        for (std::size_t i = 0; i < chains.size(); ++i) position.emplace(chains[i].get(), i);
        std::unordered_set<const StreamChain*> inHot(hot.begin(), hot.end());
        ChainList a, b;
        for (StreamChain* c : hot) a.push_back(std::move(chains[position[c]]));
        for (StreamChain* c : cold) {
            if (inHot.count(c)) b.push_back(std::make_unique<StreamChain>(*c));
            else b.push_back(std::move(chains[position[c]]));
        }
        PairSplittersAndMixers(a);
        PairSplittersAndMixers(b);
        chains.clear();
        for (auto& c : a) chains.push_back(std::move(c));
        for (auto& c : b) chains.push_back(std::move(c));
        SplitChainsAtReversals(chains);
        MakeProcessStreams(chains, config);
    }

    m_scenario->SetSuppressTargetUpdate(false);
    if (batchDesign && batchDesign == GetBaseDesign()) batchDesign->Activate(1);

    // 20. Heat no process stream shows as a temperature change of its own.
    ExtractReboilersAndCondensers();
    ExtractLiveSteam();
    ExtractEnergyStreams();
    ExtractSeparatorDuties();

    // 21.
    m_scenario->OnTargetsChanged();
    m_scenario->ResumeCalculations(true);

    // 22.
    ExtractExistingNetwork();

    // 23. The targets were taken with every utility the units were placed on: where some go now
    // (those of heaters and coolers joined into exchangers, say), they are taken again, so that
    // the targets reported are the targets of the case as it is kept.
    // A stream made of heat too small for any unit (its units left out of the network for their
    // duty) goes too: kept, it would ask the targets for a utility that nothing supplies.
    const int utilities = m_scenario->GetNumberOfUtilityStreams();
    m_scenario->SetSuppressTargetUpdate(true);
    const bool removed = Setting("TransferFromExcel") == 0.0 && RemoveStreamsOfUnplacedDuties();
    m_scenario->RemoveUnusedUtilities();
    if (Setting("TransferFromExcel") == 0.0) m_scenario->RemoveUnloadedUtilities();
    m_scenario->SetSuppressTargetUpdate(false);
    if (m_scenario->GetNumberOfUtilityStreams() != utilities || removed) {
        m_scenario->SuspendCalculations();
        m_scenario->ResumeCalculations(true);
    }

    // 24. Nothing extracted: no design of an existing network either. The design is always
    // fetched by name afterwards, so nothing here keeps a pointer to it.
    if (m_scenario->GetNumberOfUtilityStreams() == 0 && m_scenario->GetNumberOfProcessStreams() == 0)
        m_scenario->DeleteDesign(BaseDesignName);

    // 25.
    ReportHeatersAndCoolers(report);

    // 26.
    ClearExtractedItems();
}

void VelmorToTarsilImport::MakeProcessStreams(ChainList& chains, DataExtractionConfig* config) {
    const double shift = config ? config->GetSetting("ShiftTempsForPumps") : 0.0;
    const double excel = config ? config->GetSetting("TransferFromExcel") : 0.0;
    static const char* const kBreakUnits[] = {CaseClass::Valve, CaseClass::Pump, CaseClass::PipeSegment};
    for (auto& c : chains) {
        StreamChain& chain = *c;
        if (chain.Length() <= 1 || !chain.LeadsToHeatTransfer()) continue;
        if (shift != 0.0 && chain.Length() == 2 && IsOneOf(FirstNeighbour(chain.First(), CPItem::Downstream), kBreakUnits))
            continue;
        if (excel == 0.0 && !TouchesHeatTransfer(chain)) continue;
        CPString name = MakeProcessStreamName(chain.First(), chain.Last());
        // Names made of the two ends' names can meet ("A_To" to "B" and "A" to "To_B"), and a
        // scenario stream may hold the name already: each chain keeps a stream of its own. Rows
        // of a spreadsheet named alike are one stream's.
        if (excel == 0.0) name = FreeStreamName(name);
        m_scenario->AddStream(name, 0);
        IHeatIntegrationStream* stream = nullptr;
        if (!m_scenario->GetStream(name, stream) || !stream) continue;
        AddProcessStreamData(name, chain, true, 0.0);
        // The case streams say which scenario stream they make: the network's units are placed
        // on the stream their feed names.
        for (CPItem* item : chain.streams) item->AddVariable("PIStreamName")->Set(name);
        auto it = m_streamChainIndex.find(name);
        if (it != m_streamChainIndex.end()) {
            m_streamChains[it->second].second = std::move(c);
        } else {
            m_streamChainIndex.emplace(name, m_streamChains.size());
            m_streamChains.emplace_back(name, std::move(c));
        }
        const StreamChain& kept = *m_streamChains[m_streamChainIndex[name]].second;
        if (IHENDesign* design = GetBaseDesign()) ExtractBranches(kept, *design, *stream);
        CheckMultipleAttachments(kept.First());
        ReportProcessStream(kept, name);
    }
}

bool VelmorToTarsilImport::RemoveStreamsOfUnplacedDuties() {
    IHENDesign* design = GetBaseDesign();
    if (!design) return false;
    // A network without units says nothing of which streams it would carry, save those whose every
    // unit was left out for its small duty: a case made of such units alone yields nothing to target.
    const bool noUnits = design->GetNumberOfHeatExchangers() == 0;
    std::vector<CPString> names;
    for (const auto& [name, chain] : m_streamChains) names.push_back(name);
    for (const auto& [name, chain] : m_reboilerChains) names.push_back(name);
    for (const auto& [name, item] : m_energyStreamItems) names.push_back(name);
    // A chain whose every unit that heats or cools it was left out for a duty below the smallest
    // placed: however many such units it passes, and whatever they add up to, no unit of the network
    // carries its heat. A unit whose duty the case leaves unknown may carry any heat: its stream stays.
    const auto onlyLeftOut = [this](const CPString& name) {
        const auto it = m_streamChainIndex.find(name.c_str());
        const StreamChain* chain = it == m_streamChainIndex.end() ? nullptr : m_streamChains[it->second].second.get();
        bool any = false;
        for (CPItem* s : chain ? chain->streams : std::vector<CPItem*>{})
            for (CPItem* unit : s->RelatedNodes(CPItem::Downstream)) {
                double duty = 0.0;
                const bool small = KnownNumber(unit, "Duty", duty) && duty != kEmpty && std::fabs(duty) < kSmallestPlacedDuty;
                if (small && std::find(m_leftOutForDuty.begin(), m_leftOutForDuty.end(), unit) != m_leftOutForDuty.end())
                    any = true;
                else if (m_case && m_case->GetModel().IsAncestor(unit, "picHeatTransferEquipment")) return false;
            }
        return any;
    };
    bool removed = false;
    for (const CPString& name : names) {
        IHeatIntegrationStream* stream = nullptr;
        if (!m_scenario->GetStream(name, stream) || !stream || stream->GetStreamKind() == 1) continue;
        const double load = stream->GetHeatLoad(0);
        if (load == kEmpty || design->HasUnitOnStream(name) ||
            ((noUnits || std::fabs(load) >= kSmallestPlacedDuty) && !onlyLeftOut(name)))
            continue;
        removed = m_scenario->DeleteStream(name) == 1 || removed;
    }
    return removed;
}

void VelmorToTarsilImport::ReportHeatersAndCoolers(ReportHolder* report) {
    if (report && m_scenario) RestateHeaterAndCoolerAssumptions(*m_scenario);
}
