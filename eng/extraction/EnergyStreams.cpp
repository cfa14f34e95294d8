// Duties no material stream shows as a temperature change of its own: energy streams on column
// tray sections, vessels, reactors and shortcut columns, and the duties of PRO/II two-phase
// separators. Each becomes a process stream named after its energy stream (or separator) whose
// load is the duty, with temperatures from the unit's stages, feed and products; and a heater or
// cooler of its own in the case, between two material streams of its own, so that the network
// extraction finds a unit on that stream.
#include "eng/extraction/VelmorToTarsilImport.h"

#include "eng/extraction/CaseItemAccess.h"
#include "eng/extraction/DataExtractionConfig.h"
#include "eng/extraction/MessageNumbers.h"
#include "eng/model/CaseValueLimits.h"
#include "eng/model/IHeatIntegrationScenario.h"
#include "eng/model/IHeatIntegrationStream.h"
#include "lumeth/Messages.h"
#include "ralvex/Case.h"

#include <algorithm>
#include <cmath>
#include <iterator>

namespace {
constexpr double kEmpty = CPValue::Empty;
constexpr double kZeroDuty = 1e-8;
constexpr double kSameVesselTemperature = 0.01;
// Supply and target this far apart where nothing else decides them.
constexpr double kSpan = 0.5;
constexpr const char* kEnergyStream = "ppEnergyStream";
constexpr const char* kTraySection = "vsTraySection";
constexpr const char* kShortcutColumn = "scShortcutDistillation";
constexpr const char* kPlugFlowReactor = "rxPlugFlowReactor";
const char* const kReactors[] = {"rxContinuouslyStirredTankReactor", kPlugFlowReactor, "rxConversionReactor",
                                 "rxEquilibriumReactor", "rxGibbsReactor"};
const char* const kSeparators[] = {"vsSeparatorTwoPhase", "vsSeparatorThreePhase"};
const char* const kVessels[] = {"vsSeparatorTwoPhase", "vsSeparatorThreePhase", "vsTank"};
// Stream values the properties go to, and the material's own names for them.
const char* const kStreamProperties[] = {"Viscosity", "ThermalConductivity", "MassDensity", "SpecificHeat"};
const char* const kPhaseProperties[] = {"PhaseViscosity", "PhaseThermalConductivity", "PhaseMassDensity",
                                        "PhaseMassHeatCapacity"};
const char* const kStageProperties[] = {"Viscosity", "ThermalConductivity", "MassDensity", "HeatCapacity"};

bool knownNumber(const CPValue* v, double& out) {
    if (!v || !v->IsKnown() || v->IsText() || v->IsEmpty()) return false;
    out = v->GetAsDouble();
    return true;
}

bool knownSub(const CPItem* item, const char* name, const char* sub, double& out) {
    const CPValue* v = item ? item->GetVariable(name) : nullptr;
    return knownNumber(v ? v->FindSubValue(sub) : nullptr, out);
}

bool knownEntry(const CPItem* item, const CPString& name, int index, double& out) {
    const CPValue* v = item ? item->GetVariable(name) : nullptr;
    if (!v || index < 0 || static_cast<std::size_t>(index) >= v->GetNumberOfSubValues()) return false;
    return knownNumber(v->GetSubValue(static_cast<std::size_t>(index)), out);
}

std::vector<CPString> texts(const CPItem* item, const char* name) {
    std::vector<CPString> out;
    const CPValue* v = item ? item->GetVariable(name) : nullptr;
    if (!v) return out;
    for (std::size_t i = 0; i < v->GetNumberOfSubValues(); ++i) out.push_back(v->GetSubValue(i)->GetAsString());
    return out;
}

void setNumber(CPItem* item, const char* name, double value) {
    if (item) item->AddVariable(name)->Set(value);
}
void setText(CPItem* item, const char* name, const CPString& text) {
    if (item) item->AddVariable(name)->Set(text);
}
void link(CPItem* from, CPItem* to) {
    if (from && to) from->AddRelatedNode(to, CPItem::Downstream);
}
void setStream(IHeatIntegrationStream* s, const char* name, double value, int index) {
    if (s) s->SetValue(name, value, index);
}

// The material stream a vessel leaves its liquid by: the one its "LiquidProduct" names.
CPItem* liquidProduct(CPItem* unit) {
    CPString liquid;
    if (TextValue(unit, "LiquidProduct", liquid))
        for (CPItem* n : unit->RelatedNodes(CPItem::Downstream))
            if (n->_get_szName() == liquid) return n;
    return nullptr;
}

CPItem* firstMaterialStream(const CPItem* unit, int kind) {
    if (!unit) return nullptr;
    for (CPItem* n : unit->RelatedNodes(kind))
        if (IsClass(n, CaseClass::MaterialStream)) return n;
    return nullptr;
}
}  // namespace

// The heater or cooler standing for a duty, between its inlet and outlet streams, each under a
// name the case does not hold yet.
struct VelmorToTarsilImport::DutyUnit {
    CPItem* unit = nullptr;
    CPItem* inlet = nullptr;
    CPItem* outlet = nullptr;
    void SetClass(const char* cls) const {
        if (unit) unit->_set_szClassName(cls);
    }
    void SetSupply(IHeatIntegrationStream* s, double t) const {
        setStream(s, "Temperature", t, 0);
        setNumber(inlet, "Temperature", t);
    }
    void SetTarget(IHeatIntegrationStream* s, double t) const {
        setStream(s, "Temperature", t, 1);
        setNumber(outlet, "Temperature", t);
    }
};

VelmorToTarsilImport::DutyUnit VelmorToTarsilImport::MakeDutyUnit(const CPString& name) {
    DutyUnit d;
    // Names the case holds already give way to free ones: the duty keeps a unit of its own.
    const CPString unitName = FreeCaseItemName(name + "_Exchanger");
    d.unit = AddCaseItem(unitName, "htCooler");
    if (d.unit) m_dutyUnitOfStream[name.c_str()] = d.unit;
    d.inlet = AddCaseItem(FreeCaseItemName(unitName + "Inlet"), CaseClass::MaterialStream);
    d.outlet = AddCaseItem(FreeCaseItemName(unitName + "Outlet"), CaseClass::MaterialStream);
    setText(d.inlet, "PIStreamName", name);
    setText(d.outlet, "PIStreamName", name);
    return d;
}

IHeatIntegrationStream* VelmorToTarsilImport::AddDutyStream(const CPString& name) {
    m_scenario->AddStream(name, 0);
    IHeatIntegrationStream* stream = nullptr;
    if (!m_scenario->GetStream(name, stream)) return nullptr;
    return stream;
}

void VelmorToTarsilImport::RecordEnergyStream(const CPString& name, CPItem* energyStream, CPItem* unit) {
    auto [it, added] = m_energyStreamIndex.emplace(name, m_energyStreamItems.size());
    if (added) {
        m_energyStreamItems.emplace_back(name, energyStream);
        m_energyStreamUnits.push_back(unit);
    } else {
        m_energyStreamItems[it->second].second = energyStream;
        m_energyStreamUnits[it->second] = unit;
    }
}

void VelmorToTarsilImport::ExtractEnergyStreams() {
    if (!m_scenario || !m_case) return;
    const bool reactors = !(Setting("TransferFromExcel") == 0.0 && Setting("DoIExtractReactionHeat") != 0.0);
    const Model& model = m_case->GetModel();

    // Pairs of energy stream and unit, in walk order. The rules below add items to the list
    // walked here, so the pairs are collected first.
    std::vector<std::pair<CPItem*, CPItem*>> pairs;
    for (CPItem* e : m_extractedItems) {
        if (e->_get_szClassName() != kEnergyStream) continue;
        CPItem* unit = FirstNeighbour(e, CPItem::Downstream);
        if (!unit || IsClass(unit, kEnergyStream)) unit = FirstNeighbour(e, CPItem::Upstream);
        if (!unit) continue;
        bool keep = model.IsAncestor(unit, kTraySection) || model.IsAncestor(unit, "vsTank") ||
                    model.IsAncestor(unit, "vsSeparator");
        if (reactors)
            for (const char* r : kReactors) keep = keep || model.IsAncestor(unit, r);
        keep = keep || model.IsAncestor(unit, kShortcutColumn);
        if (keep) pairs.emplace_back(e, unit);
    }

    // A tank whose duty stands on the tank itself, with no energy stream to carry it, has no
    // rule: its duty is named rather than lost.
    for (CPItem* unit : m_extractedItems) {
        double duty = 0.0;
        if (!model.IsAncestor(unit, "vsTank") || !KnownNumber(unit, "Duty", duty) || !(std::fabs(duty) > kZeroDuty))
            continue;
        bool energyStream = false;
        for (int kind : {CPItem::Upstream, CPItem::Downstream})
            for (const CPItem* n : unit->RelatedNodes(kind)) energyStream = energyStream || IsClass(n, kEnergyStream);
        if (!energyStream)
            ReportWarning("Units_Not_Taken", "ExtractionUnitsNotTaken",
                          FormatMessage(FindString("ExtractionVesselDutyNotTaken"),
                                        {unit->_get_szName(), unit->_get_szClassName(), ExtractionNumber(std::fabs(duty))}));
    }

    for (auto [e, unit] : pairs) {
        double q = 0.0;
        if (!EnergyStreamTaken(e, unit, q)) {
            // Said again, from the solved case, by a refresh.
            if (!IsClass(unit, kTraySection)) m_energyStreamsNotTaken.emplace_back(e, unit);
            continue;
        }
        if (IsClass(unit, kTraySection)) TraySectionDuty(e, unit, q);
        else if (IsOneOf(unit, kVessels) || IsOneOf(unit, kReactors)) VesselDuty(e, unit, q);
        else ShortcutColumnDuty(e, unit);
    }
}

bool VelmorToTarsilImport::EnergyStreamTaken(CPItem* e, CPItem* unit, double& q) {
    q = 0.0;
    // A heat flow the case gives but leaves unknown is passed over with a word: the duty may be
    // anything, and no stream is made up for it.
    const CPValue* flow = e->GetVariable("HeatFlow");
    if (flow && !KnownNumber(e, "HeatFlow", q)) {
        ReportWarning("Units_Not_Taken", "ExtractionUnitsNotTaken",
                      FormatMessage(FindString("ExtractionDutyUnknown"), {e->_get_szName(), unit->_get_szName()}));
        return false;
    }
    if (!KnownNumber(e, "HeatFlow", q) || q == 0.0) return false;
    // A vessel's, reactor's or shortcut column's duty too small for a stream (a solver's
    // residue, however small) is passed over with a word, as a column side duty or a
    // separator's is; the rest of the document is extracted.
    const bool vessel = IsOneOf(unit, kVessels) || IsOneOf(unit, kReactors);
    if (!(std::fabs(q) > kZeroDuty)) {
        if (vessel || IsClass(unit, kShortcutColumn))
            ReportWarning("Units_Not_Taken", "ExtractionUnitsNotTaken",
                          FormatMessage(FindString("ExtractionDutyTooSmall"),
                                        {e->_get_szName(), unit->_get_szName(), ExtractionNumber(std::fabs(q))}));
        else if (IsClass(unit, kTraySection))
            ReportSideDuty("ExtractionSideDutySkipped", e->_get_szName(), unit, q);
        return false;
    }
    // A vessel's stream runs from its feed's temperature to its liquid's: a feed or liquid whose
    // temperature the case leaves unknown gives it no end, and a stream of one end only is no
    // stream to target or to place a unit on.
    if (vessel) {
        CPItem* feed = firstMaterialStream(unit, CPItem::Upstream);
        CPItem* liquid = liquidProduct(unit);
        double t = 0.0;
        CPString unknown;
        if (feed && (!KnownNumber(feed, "Temperature", t) || t == kEmpty))
            unknown = "the temperature of " + feed->_get_szName();
        else if (liquid && (!KnownNumber(liquid, "Temperature", t) || t == kEmpty))
            unknown = "the temperature of " + liquid->_get_szName();
        if (!unknown.empty()) {
            ReportWarning("Units_Not_Taken", "ExtractionUnitsNotTaken",
                          FormatMessage(FindString("ExtractionVesselTemperatureUnknown"),
                                        {e->_get_szName(), unit->_get_szName(), unknown}));
            return false;
        }
    }
    // So is a shortcut column's reboiler or condenser whose temperature the case leaves unknown.
    if (IsClass(unit, kShortcutColumn)) {
        const bool reboiler = FirstNeighbour(e, CPItem::Downstream) == unit;
        double t = 0.0;
        if (!KnownNumber(unit, reboiler ? "ReboilerTemperature" : "CondenserTemperature", t) || t == kEmpty) {
            ReportWarning("Units_Not_Taken", "ExtractionUnitsNotTaken",
                          FormatMessage(FindString("ExtractionVesselTemperatureUnknown"),
                                        {e->_get_szName(), unit->_get_szName(),
                                         CPString(reboiler ? "the reboiler" : "the condenser") + " temperature of " +
                                             unit->_get_szName()}));
            return false;
        }
    }
    if ((vessel || IsClass(unit, kShortcutColumn)) && !DutyFitsAStream(e, unit, q, vessel)) {
        ReportWarning("Units_Not_Taken", "ExtractionUnitsNotTaken",
                      FormatMessage(FindString("ExtractionDutyTooSmall"),
                                    {e->_get_szName(), unit->_get_szName(), ExtractionNumber(std::fabs(q))}));
        return false;
    }
    if (IsClass(unit, kTraySection) || vessel || IsClass(unit, kShortcutColumn)) return true;
    // A class that only derives from one of those has no rule of its own: its duty is passed
    // over, and the report names it.
    ReportWarning("Units_Not_Taken", "ExtractionUnitsNotTaken",
                  FormatMessage(FindString("ExtractionDutyNotTaken"),
                                {e->_get_szName(), unit->_get_szName(), unit->_get_szClassName(),
                                 ExtractionNumber(std::fabs(q))}));
    return false;
}

void VelmorToTarsilImport::RestateEnergyStreamsNotTaken() {
    // The words the extraction said of each quote the case it read: they go, and each is judged
    // again by the same rules. One the solved case would now take stays out all the same, as a
    // refresh makes no stream, and the report says so.
    std::vector<std::string> said;
    for (const auto& [e, unit] : m_energyStreamsNotTaken)
        for (const char* after : {" ", ":"})
            said.push_back(("Energy stream " + e->_get_szName() + " of unit " + unit->_get_szName() + after).c_str());
    WithdrawWarningLines("Units_Not_Taken", said);
    for (const auto& [e, unit] : m_energyStreamsNotTaken) {
        double q = 0.0;
        if (EnergyStreamTaken(e, unit, q))
            ReportWarning("Units_Not_Taken", "ExtractionUnitsNotTaken",
                          FormatMessage(FindString("ExtractionDutyNotTakenBefore"),
                                        {e->_get_szName(), unit->_get_szName(), ExtractionNumber(std::fabs(q))}));
    }
}

bool VelmorToTarsilImport::IsExtracted(const CPItem* item) {
    // The list only grows during an extraction (or is emptied): the index takes what was added
    // since the last look.
    if (m_extractedIndexed > m_extractedItems.size()) {
        m_extractedSet.clear();
        m_extractedIndexed = 0;
    }
    for (; m_extractedIndexed < m_extractedItems.size(); ++m_extractedIndexed)
        m_extractedSet.insert(m_extractedItems[m_extractedIndexed]);
    return m_extractedSet.count(item) != 0;
}

void VelmorToTarsilImport::TraySectionDuty(CPItem* energyStream, CPItem* unit, double q) {
    const CPString& caseName = energyStream->_get_szName();

    // The stage the energy stream is attached to, and its place among the column's stages.
    const std::vector<CPString> feeds = texts(unit, "TraysectionFeeds");
    const std::vector<CPString> feedStages = texts(unit, "FeedStages");
    const std::vector<CPString> stages = texts(unit, "AllSeparationStages");
    CPString stage;
    bool found = false;
    for (std::size_t i = 0; i < feeds.size() && !found; ++i)
        if (feeds[i] == caseName && i < feedStages.size()) {
            stage = feedStages[i];
            found = true;
        }
    int k = -1;
    for (int i = static_cast<int>(stages.size()) - 1; found && i >= 0 && k < 0; --i)
        if (stages[static_cast<std::size_t>(i)] == stage) k = i;
    // Heat added warms the liquid coming down from the stage above; heat taken cools the vapour
    // rising from the stage below.
    const bool added = q > 0.0;
    const int j = added ? k - 1 : k + 1;
    double own = kEmpty, neighbour = kEmpty, supply = kEmpty;
    const bool haveOwn = k >= 0 && knownSub(unit, "StageTemperature", stage.c_str(), own);
    const bool haveNeighbour = k >= 0 && j >= 0 && j < static_cast<int>(stages.size()) &&
                               knownSub(unit, "StageTemperature", stages[static_cast<std::size_t>(j)].c_str(), neighbour);
    if (haveOwn) {
        supply = added ? own - kSpan : own + kSpan;
        if (haveNeighbour) supply = added ? std::min(neighbour, supply) : std::max(neighbour, supply);
    }
    // A side duty too small for a stream (a solver's residue) is passed over with a word; the rest
    // of the column is extracted.
    const double span = haveOwn ? std::fabs(own - supply) : 0.0;
    if (std::fabs(q) < CaseValueLimits::MinDuty || (span > 0.0 && std::fabs(q) / span < CaseValueLimits::MinCp)) {
        ReportSideDuty("ExtractionSideDutySkipped", caseName, unit, q);
        return;
    }

    // A scenario stream of the energy stream's name (a utility, say) is never written over.
    const CPString name = FreeStreamName(caseName);
    IHeatIntegrationStream* s = AddDutyStream(name);
    RecordEnergyStream(name, energyStream, unit);
    setStream(s, "Enthalpy", -q, 0);
    if (!found) ReportSideDuty("ExtractionSideDutyNoStage", caseName, unit, q);
    if (!unit->GetVariable("AllSeparationStages") || k < 0) return;

    const DutyUnit d = MakeDutyUnit(name);
    d.SetClass(added ? "htHeater" : "htCooler");
    setNumber(d.unit, "Duty", std::fabs(q));

    if (haveOwn) {
        d.SetTarget(s, own);
        d.SetSupply(s, supply);
    }
    const CPString side = added ? "StageLiquid" : "StageVapour";
    for (std::size_t p = 0; p < std::size(kStreamProperties); ++p) {
        double a = 0.0, b = 0.0;
        const CPString list = side + kStageProperties[p];
        if (knownEntry(unit, list, j, a) && knownEntry(unit, list, k, b))
            setStream(s, kStreamProperties[p], (a + b) / 2.0, 0);
    }
    setStream(s, "CHTCoeff", kEmpty, 0);
    ReportNewStream(unit, name, s);
    link(energyStream, d.unit);
    link(d.inlet, d.unit);
    link(d.unit, d.outlet);
}

bool VelmorToTarsilImport::DutyFitsAStream(CPItem* energyStream, CPItem* unit, double q, bool vessel) const {
    double duty = std::fabs(q), span = kSpan;
    if (vessel) {
        // The vessel's stream runs from its feed's temperature to its liquid's (half a kelvin where
        // the two are one).
        double tFeed = 0.0, tLiquid = 0.0;
        if (KnownNumber(firstMaterialStream(unit, CPItem::Upstream), "Temperature", tFeed) &&
            KnownNumber(liquidProduct(unit), "Temperature", tLiquid) && std::fabs(tLiquid - tFeed) >= kSameVesselTemperature)
            span = std::fabs(tLiquid - tFeed);
    } else {
        // A shortcut column's stream takes the column's own duty at that end, over half a kelvin.
        const bool reboiler = FirstNeighbour(energyStream, CPItem::Downstream) == unit;
        double own = 0.0;
        if (KnownNumber(unit, reboiler ? "ReboilerDuty" : "CondenserDuty", own) && own != kEmpty) duty = std::fabs(own);
    }
    return duty >= CaseValueLimits::MinDuty && duty / span >= CaseValueLimits::MinCp;
}

void VelmorToTarsilImport::VesselDuty(CPItem* energyStream, CPItem* unit, double q) {
    const CPString name = FreeStreamName(energyStream->_get_szName());
    // A plug-flow reactor's energy stream is signed the other way.
    if (IsClass(unit, kPlugFlowReactor)) q = -q;
    IHeatIntegrationStream* s = AddDutyStream(name);
    RecordEnergyStream(name, energyStream, unit);
    setStream(s, "Enthalpy", -q, 0);
    const DutyUnit d = MakeDutyUnit(name);
    setNumber(d.unit, "Duty", std::fabs(q));
    d.SetClass(q > 0.0 ? "htHeater" : "htCooler");
    // Its unit does the vessel's duty in the network. Left free, it would be settled only where the
    // network happened to be solved before it shared its utility with other units, and so by the
    // order the case lists its items in.
    if (d.unit) m_dutyUnits.insert(d.unit);

    CPItem* feed = firstMaterialStream(unit, CPItem::Upstream);
    CPItem* product = liquidProduct(unit);
    double tFeed = 0.0, tLiquid = 0.0;
    if (KnownNumber(feed, "Temperature", tFeed)) d.SetSupply(s, tFeed);
    else tFeed = 0.0;
    if (KnownNumber(product, "Temperature", tLiquid)) {
        // A reaction may run the vessel the other way: then the liquid's temperature is the supply.
        const CPValue* reacts = unit->GetVariable("HasReactions");
        const bool reacting = IsOneOf(unit, kReactors) ||
                              (IsOneOf(unit, kSeparators) && reacts && !reacts->IsText() && reacts->GetAsDouble() == 1.0);
        if (reacting && ((q > 0.0 && tFeed > tLiquid) || (q < 0.0 && tLiquid > tFeed))) {
            tFeed = tLiquid;
            d.SetSupply(s, tFeed);
        }
        double target = tLiquid;
        if (std::fabs(tLiquid - tFeed) < kSameVesselTemperature) target = q > 0.0 ? tFeed + kSpan : tFeed - kSpan;
        d.SetTarget(s, target);
        d.SetClass(target > tFeed ? "htHeater" : "htCooler");
        // Heat added to a vessel whose liquid leaves colder (or taken from one that leaves
        // warmer) follows the temperatures, and the report says so, as for a separator.
        if ((q > 0.0) != (target > tFeed)) ReportVesselAgainstDuty(unit, q, tFeed, target);
    }
    link(energyStream, d.unit);
    link(d.inlet, d.unit);
    link(d.unit, d.outlet);
    if (feed && product)
        for (std::size_t p = 0; p < std::size(kStreamProperties); ++p) {
            double a = 0.0, b = 0.0;
            if (knownSub(feed, kPhaseProperties[p], "Overall", a) && knownSub(product, kPhaseProperties[p], "Overall", b))
                setStream(s, kStreamProperties[p], (a + b) / 2.0, 0);
        }
    ReportNewStream(unit, name, s);
    setStream(s, "CHTCoeff", kEmpty, 0);
}

bool VelmorToTarsilImport::ShortcutColumnEnd(IHeatIntegrationStream& s, CPItem* energyStream, CPString* missing) const {
    // An energy stream into the column heats its reboiler; one out of it comes from its condenser.
    CPItem* column = FirstNeighbour(energyStream, CPItem::Downstream);
    const bool reboiler = column != nullptr;
    if (!column) column = FirstNeighbour(energyStream, CPItem::Upstream);
    if (!column) return true;
    const char* dutyName = reboiler ? "ReboilerDuty" : "CondenserDuty";
    double t = kEmpty, duty = kEmpty;
    if (!KnownNumber(column, reboiler ? "ReboilerTemperature" : "CondenserTemperature", t)) t = kEmpty;
    if (!KnownNumber(column, dutyName, duty)) duty = kEmpty;
    if (missing && (t == kEmpty || duty == kEmpty)) {
        *missing = (t == kEmpty ? CPString("the ") + (reboiler ? "reboiler" : "condenser") + " temperature of "
                                : CPString("the ") + (reboiler ? "reboiler" : "condenser") + " duty of ") +
                   column->_get_szName();
        return false;
    }
    // The ends and the load together: one value written beside the others' old ones could turn
    // the stream the other way for a moment, and the stream would refuse it.
    std::vector<StreamValueSetting> values;
    if (duty != kEmpty) values.push_back({"Enthalpy", -duty, 0});
    if (t != kEmpty) {
        values.push_back({"Temperature", t, 1});
        values.push_back({"Temperature", reboiler ? t - kSpan : t + kSpan, 0});
    }
    if (!values.empty()) s.SetValues(values.data(), static_cast<int>(values.size()));
    return true;
}

void VelmorToTarsilImport::ShortcutColumnDuty(CPItem* energyStream, CPItem* unit) {
    const CPString name = FreeStreamName(energyStream->_get_szName());
    IHeatIntegrationStream* s = AddDutyStream(name);
    const DutyUnit d = MakeDutyUnit(name);
    // Its unit does the column's duty in the network, as a vessel's does.
    if (d.unit) m_dutyUnits.insert(d.unit);

    CPItem* column = FirstNeighbour(energyStream, CPItem::Downstream);
    const bool reboiler = column != nullptr;
    if (!column) column = FirstNeighbour(energyStream, CPItem::Upstream);
    if (column) {
        if (s) ShortcutColumnEnd(*s, energyStream);
        double t = kEmpty, duty = kEmpty;
        if (KnownNumber(column, reboiler ? "ReboilerTemperature" : "CondenserTemperature", t) && t != kEmpty) {
            setNumber(d.outlet, "Temperature", t);
            setNumber(d.inlet, "Temperature", reboiler ? t - kSpan : t + kSpan);
        }
        if (KnownNumber(column, reboiler ? "ReboilerDuty" : "CondenserDuty", duty) && duty != kEmpty) {
            setNumber(d.unit, "Duty", std::fabs(duty));
            if (duty > 0.0) d.SetClass("htHeater");
            else if (duty < 0.0) d.SetClass("htCooler");
        }

        // Properties of the column's product at that end.
        CPString product;
        if (TextValue(column, reboiler ? "BottomsStream" : "DistillateStream", product)) {
            CleanObjectName(product);
            CPString flowsheet;
            if (TextValue(column, "VelmorFlowsheetName", flowsheet)) product += "_" + flowsheet;
            // Names are unique in a case: the item of that name, when the extraction took it.
            CPItem* material = m_case->GetItemByName(product);
            if (!IsClass(material, CaseClass::MaterialStream) || !IsExtracted(material)) material = nullptr;
            for (std::size_t p = 0; material && p < std::size(kStreamProperties); ++p) {
                double v = 0.0;
                if (knownSub(material, kPhaseProperties[p], "Overall", v)) setStream(s, kStreamProperties[p], v, 0);
            }
        }
    }
    link(d.inlet, d.unit);
    link(d.unit, d.outlet);
    ReportNewStream(unit, name, s);
    setStream(s, "CHTCoeff", kEmpty, 0);
    // A refresh reads the column's duty and temperature again through its energy stream.
    RecordEnergyStream(name, energyStream, unit);
}

void VelmorToTarsilImport::ExtractSeparatorDuties() {
    double fileType = 0.0;
    DataExtractionConfig* config = m_scenario ? m_scenario->GetDataExtractionConfig() : nullptr;
    if (!config || config->GetSettingValue("SimulatorFileType", fileType) != 1 || fileType == 0.0 || fileType == 1.0)
        return;
    // A class the case derives from the two-phase separator is one too. A three-phase separator's
    // duty has no rule: it is named rather than lost.
    std::vector<CPItem*> separators;
    for (CPItem* item : m_extractedItems) {
        double duty = 0.0;
        if (!m_case) break;
        if (m_case->GetModel().IsAncestor(item, "vsSeparatorTwoPhase") && item->GetVariable("Duty")) {
            separators.push_back(item);
        } else if (m_case->GetModel().IsAncestor(item, "vsSeparatorThreePhase") && KnownNumber(item, "Duty", duty) &&
                   std::fabs(duty) >= CaseValueLimits::MinDuty) {
            ReportWarning("Separators_Not_Extracted", "ExtractionSeparatorsSkipped",
                          FormatMessage(FindString("ExtractionSeparatorClassNotTaken"),
                                        {item->_get_szName(), item->_get_szClassName(), ExtractionNumber(std::fabs(duty))}));
        }
    }
    for (CPItem* unit : separators) {
        CPItem* feed = firstMaterialStream(unit, CPItem::Upstream);
        CPItem* product = firstMaterialStream(unit, CPItem::Downstream);
        double duty = 0.0, tIn = 0.0, tOut = 0.0, mass = 0.0;
        // An adiabatic flash (no duty, or a solver's residue of one) is no stream: passed over
        // with a word, and the rest of the document is extracted.
        if (KnownNumber(unit, "Duty", duty) && std::fabs(duty) < CaseValueLimits::MinDuty) {
            ReportWarning("Separators_Not_Extracted", "ExtractionSeparatorsSkipped",
                          FormatMessage(FindString("ExtractionSeparatorDutyTooSmall"),
                                        {unit->_get_szName(), ExtractionNumber(std::fabs(duty))}));
            continue;
        }
        // Without its duty or either temperature the separator has no load or no span; a
        // temperature made up from the material's specific heat would be no measure of a flash.
        CPString unknown;
        if (!KnownNumber(unit, "Duty", duty)) unknown = "the duty of " + unit->_get_szName();
        else if (!KnownNumber(feed, "Temperature", tIn))
            unknown = feed ? "the temperature of " + feed->_get_szName() : CPString("the temperature of its feed");
        else if (!KnownNumber(product, "Temperature", tOut))
            unknown = product ? "the temperature of " + product->_get_szName() : CPString("the temperature of its product");
        if (!unknown.empty()) {
            ReportWarning("Separators_Not_Extracted", "ExtractionSeparatorsSkipped",
                          FormatMessage(FindString("ExtractionSeparatorValueUnknown"), {unit->_get_szName(), unknown}));
            continue;
        }
        // Feed and product this close are one temperature (a solver's residue of a span): half a
        // kelvin in the duty's direction, as for a vessel's duty.
        if (std::fabs(tOut - tIn) < kSameVesselTemperature) tOut = duty > 0.0 ? tIn + kSpan : tIn - kSpan;
        // Nor is a duty whose span gives a heat-capacity flow rate no stream holds.
        const double cp = std::fabs(duty) / std::fabs(tOut - tIn);
        if (cp < CaseValueLimits::MinCp || cp > CaseValueLimits::MaxCp) {
            ReportWarning("Separators_Not_Extracted", "ExtractionSeparatorsSkipped",
                          FormatMessage(FindString("ExtractionSeparatorSpanUnusable"),
                                        {unit->_get_szName(), ExtractionNumber(std::fabs(duty)),
                                         ExtractionNumber(std::fabs(tOut - tIn))}));
            continue;
        }
        const CPString name = FreeStreamName(unit->_get_szName());
        IHeatIntegrationStream* s = AddDutyStream(name);
        // A refresh reads the separator's duty and temperatures again.
        m_separatorOfStream[name.c_str()] = unit;
        setStream(s, "Enthalpy", -duty, 0);
        const DutyUnit d = MakeDutyUnit(name);
        setNumber(d.unit, "Duty", std::fabs(duty));
        d.SetClass(duty > 0.0 ? "htHeater" : "htCooler");

        d.SetSupply(s, tIn);
        if (KnownNumber(feed, "MassFlow", mass)) setStream(s, "MassFlow", mass, 0);
        d.SetTarget(s, tOut);
        d.SetClass(tOut > tIn ? "htHeater" : "htCooler");
        if ((duty > 0.0) != (tOut > tIn)) ReportSeparatorAgainstDuty(unit, duty, tIn, tOut);
        // A flash takes much of its duty as latent heat: the feed's mass flow times its specific
        // heat is not the heat-capacity flow rate over the span. The stream carries the duty over
        // the span; the specific heat stays a transport property of its material.
        setStream(s, "HeatCapacityFlowrate", cp, 0);
        link(d.inlet, d.unit);
        link(d.unit, d.outlet);
        if (feed && product)
            for (std::size_t p = 0; p < std::size(kStreamProperties); ++p) {
                double a = 0.0, b = 0.0;
                if (KnownNumber(feed, kPhaseProperties[p], a) && KnownNumber(product, kPhaseProperties[p], b))
                    setStream(s, kStreamProperties[p], (a + b) / 2.0, 0);
            }
        ReportNewStream(unit, name, s);
        setStream(s, "CHTCoeff", kEmpty, 0);
    }
}
