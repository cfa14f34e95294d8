// What the extraction tells the user in the scenario's report: one entry per stream it made
// (under "Streams"), and warnings for what looks wrong in the simulation: a stream attached to
// several units, temperature and enthalpy moving against each other, reboilers and condensers fed
// by several streams, units that could not be placed, heat losses, and exchangers whose
// feasibility differs between the simulation and the network.
#include "eng/extraction/VelmorToTarsilImport.h"

#include "brasko/ReportHolder.h"
#include "eng/design/IHENDesign.h"
#include "eng/extraction/CaseItemAccess.h"
#include "eng/extraction/MessageNumbers.h"
#include "eng/model/IHeatIntegrationScenario.h"
#include "eng/model/IHeatIntegrationStream.h"
#include "lumeth/Messages.h"
#include "pellin/CNode.h"
#include "pellin/NodeKinds.h"
#include "ralvex/Case.h"

#include <cmath>

namespace {
constexpr std::size_t kMaxNameLength = 254;
// A duty this large is no duty the simulator worked out.
constexpr double kHugeLoad = 1e30;
constexpr double kShownForHugeLoad = 0.1;
constexpr double kZeroLoss = 1e-8;
constexpr double kEmpty = -32767.0;
// The network's exchanger needs this approach at both ends; the simulator's only a positive one.
constexpr double kNetworkApproach = 0.01;

const char* const kReboilerClasses[][2] = {{"htCondenserPartial", "partial condenser"},
                                           {"htCondenserTotal", "total condenser"},
                                           {"htCondenserThreePhase", "three phase condenser"},
                                           {"htReboiler", "reboiler"},
                                           {"htReboilerThreePhase", "three phase reboiler"}};

CPString itemName(const CPItem* item) { return item ? item->_get_szName() : CPString(); }

// The unit a stream comes out of or goes into; a feed or product block is the process's edge,
// not a unit.
CPItem* unitBeside(const CPItem* stream, int kind) {
    CPItem* unit = FirstNeighbour(const_cast<CPItem*>(stream), kind);
    return IsClass(unit, "ppFeedOrProductBlock") ? nullptr : unit;
}

// What a chain leaves or enters, named with what it is: a unit, or a stream where the chain was
// cut (the cut's copy of a stream stands between the two chains).
CPString placeName(const CPItem* item) {
    return (IsClass(item, CaseClass::MaterialStream) ? "stream " : "unit ") + itemName(item);
}

// The units a duty or loss is said in: the label the document keeps with the value, else the
// engine's own, kW (a label converts nothing, so a figure never goes without its unit).
CPString unitsOf(const CPItem* item, const char* name) {
    const CPValue* v = item ? item->GetVariable(name) : nullptr;
    const CPString* units = v ? v->_get_punstrUnits() : nullptr;
    return units && !units->empty() ? *units : CPString("kW");
}

// The stream entry's first lines: what the stream lacks, and how many segments it was given.
std::vector<CPString> streamLines(IHeatIntegrationStream& stream) {
    std::vector<CPString> lines;
    if (!stream.AreDesignSegmentsComplete()) lines.push_back(FindString("ExtractionStreamNotFullyDefined"));
    const int segments = stream.GetNumberOfSegments();
    if (segments > 1) lines.push_back(FormatMessage(FindString("ExtractionAutoAddSegments"), {ExtractionNumber(segments)}));
    return lines;
}

void writeStreamEntry(ReportHolder& report, const CPString& name, const std::vector<CPString>& lines) {
    if (!report.AddEntry("Streams", name.c_str())) return;  // a name the report cannot hold as a key
    const CPString path = CPString("Streams:") + name;
    for (const CPString& line : lines) report.AppendText(path.c_str(), line.c_str());
}
}  // namespace

ReportHolder* VelmorToTarsilImport::Report() const {
    ReportHolder* report = nullptr;
    if (m_scenario) m_scenario->GetReportHolder(report);
    return report;
}

void VelmorToTarsilImport::ReportNewStream(const CPItem* item, const CPString& name, IHeatIntegrationStream* stream) {
    ReportHolder* report = Report();
    if (!report || !stream || !item) return;
    std::vector<CPString> lines = streamLines(*stream);
    lines.push_back(FormatMessage(FindString("ExtractionFlowsheetObject"), {item->_get_szName()}));
    writeStreamEntry(*report, name, lines);
}

void VelmorToTarsilImport::ReportProcessStream(const StreamChain& chain, const CPString& name) {
    ReportHolder* report = Report();
    IHeatIntegrationStream* stream = nullptr;
    if (!report || name.empty() || !m_scenario->GetStream(name, stream) || !stream) return;
    std::vector<CPString> lines = streamLines(*stream);
    // A copy the extraction spliced in where it cut a chain is none of the simulation's: the entry
    // names what the simulation has beyond it (the unit the cut stream comes out of or goes into).
    const auto beside = [this](const CPItem* stream, int kind) {
        CPItem* next = unitBeside(stream, kind);
        for (std::size_t walked = 0; next && walked < m_duplicateSources.size() && IsDuplicate(next); ++walked)
            next = unitBeside(next, kind);
        return next;
    };
    CPItem* out = beside(chain.First(), CPItem::Upstream);
    CPItem* in = beside(chain.Last(), CPItem::Downstream);
    if (out && in) lines.push_back(FormatMessage(FindString("ExtractionOutUnitOpToInUnitOp"), {placeName(out), placeName(in)}));
    else if (out) lines.push_back(FormatMessage(FindString("ExtractionOutUnitOpToProcessBlock"), {placeName(out)}));
    else if (in) lines.push_back(FormatMessage(FindString("ExtractionFeedProcessToInUnitOp"), {placeName(in)}));
    else lines.push_back(FindString("ExtractionFeedProcessToProductProcess"));
    lines.push_back(FindString("ExtractionStreamSpansUnitOps"));
    for (CPItem* s : chain.streams) {
        CPItem* unit = FirstNeighbour(s, CPItem::Upstream);
        if (IsNetworkPathUnit(unit)) lines.push_back(unit->_get_szName());
    }
    writeStreamEntry(*report, name, lines);

    // Temperature and heat flow should move together along a stream; where they do not, the
    // simulation is worth a look.
    double t1 = 0.0, t2 = 0.0, h1 = 0.0, h2 = 0.0;
    if (!KnownNumber(chain.First(), "Temperature", t1) || !KnownNumber(chain.Last(), "Temperature", t2) ||
        !KnownNumber(chain.First(), "HeatFlow", h1) || !KnownNumber(chain.Last(), "HeatFlow", h2))
        return;
    if ((t1 > t2 && h2 > h1) || (t1 < t2 && h2 < h1)) {
        report->AddEntry("Warnings", "Unusual_temperature_enthalpy_behaviour",
                         FindString("ExtractionTempInversionDirection").c_str());
        report->AppendText("Warnings:Unusual_temperature_enthalpy_behaviour",
                           FormatMessage(FindString("ExtractionCheckStreamsInSim"),
                                         {itemName(chain.First()), itemName(chain.Last())}).c_str());
    }
}

void VelmorToTarsilImport::CheckMultipleAttachments(const CPItem* item) {
    const CPValue* outlets = item ? item->GetVariable("AllOutlets") : nullptr;
    ReportHolder* report = Report();
    if (!outlets || outlets->GetNumberOfSubValues() < 2 || !report || !m_case) return;
    std::vector<CPString> attached;
    for (std::size_t i = 0; i < outlets->GetNumberOfSubValues(); ++i) {
        CPString name = outlets->GetSubValue(i)->GetAsString();
        if (name.size() > kMaxNameLength) name.resize(kMaxNameLength);
        // The simulator writes "unit @flowsheet" where the case names the item "unit@flowsheet".
        for (std::size_t at = name.find(" @"); at != std::string::npos; at = name.find(" @", at)) name.erase(at, 1);
        const CPItem* unit = m_case->GetItemByName(name);
        if (unit && !m_case->GetModel().IsAncestor(unit, "picLogicalOperation")) attached.push_back(name);
    }
    if (attached.size() < 2) return;
    CPString list;
    for (const CPString& name : attached) {
        list += "\n";
        list += name;
    }
    report->AddEntry("Warnings", "Streams_With_Multiple_Attachments", FindString("ExtractionMultiAttachments").c_str());
    report->AppendText("Warnings:Streams_With_Multiple_Attachments",
                       FormatMessage(FindString("ExtractionMultiAttachmentsWarning"), {item->_get_szName(), list}).c_str());
}

void VelmorToTarsilImport::CheckReboilerFeeds(const CPItem* unit) {
    ReportHolder* report = Report();
    if (!unit || !report) return;
    int feeds = 0;
    for (const CPItem* f : unit->RelatedNodes(CPItem::Upstream))
        if (IsClass(f, CaseClass::MaterialStream)) ++feeds;
    if (feeds <= 1) return;
    CPString kind = unit->_get_szClassName();
    for (const auto& k : kReboilerClasses)
        if (kind == k[0]) kind = k[1];
    // One line per unit under one heading: as the entry's title each unit would replace the last.
    report->AddEntry("Warnings", "Reboilers_and_condensers", FindString("ExtractionReboilersAndCondensers").c_str());
    report->AppendText("Warnings:Reboilers_and_condensers",
                       FormatMessage(FindString("ExtractionReboilerWarning"),
                                     {unit->_get_szName(), kind, ExtractionNumber(feeds)}).c_str());
}

CPString VelmorToTarsilImport::PlacementFailureText(const CPItem* unit, bool withLoad) {
    CPString text = FormatMessage(FindString("ExtractionUnableToAdd"), {unit->_get_szName()}) + " (Load";
    if (!withLoad) return text;
    // A duty the case leaves unknown is said to be so, never read as 0.
    double load = 0.0;
    if (!KnownNumber(unit, "Duty", load) || load == kEmpty) return text + " not known)";
    if (load > kHugeLoad) load = kShownForHugeLoad;
    return text + " = " + ExtractionNumber(load) + " " + unitsOf(unit, "Duty") + ")";
}

void VelmorToTarsilImport::ReportPlacementFailure(const CPItem* unit) {
    ReportHolder* report = Report();
    if (!unit || !report) return;
    report->AddEntry("Warnings", "Heat_Exchangers_Placement_Failed");
    report->AppendText("Warnings:Heat_Exchangers_Placement_Failed", PlacementFailureText(unit, true).c_str());
    if (m_placementFailed.insert(unit).second) m_placementFailures.push_back(unit);
}

void VelmorToTarsilImport::RestatePlacementFailures() {
    const std::unordered_set<const CPItem*> leftOut(m_leftOutForDuty.begin(), m_leftOutForDuty.end());
    std::vector<const CPItem*> again;
    for (const CPItem* unit : m_placementFailures)
        if (!leftOut.count(unit)) again.push_back(unit);
    WithdrawPlacementFailures(again);
    for (const CPItem* unit : again) ReportPlacementFailure(unit);
}

void VelmorToTarsilImport::WithdrawPlacementFailures(const std::vector<const CPItem*>& units) {
    std::vector<std::string> said;
    for (const CPItem* unit : units) said.push_back(PlacementFailureText(unit, false).c_str());
    WithdrawWarningLines("Heat_Exchangers_Placement_Failed", said);
}

void VelmorToTarsilImport::WithdrawWarningLines(const char* section, const std::vector<std::string>& starts) {
    ReportHolder* report = Report();
    const CPString path = CPString("Warnings:") + section;
    if (!report || starts.empty() || !report->HasEntry(path.c_str())) return;
    const std::string text = report->GetText(path.c_str());
    std::string kept;
    for (std::size_t from = 0; from <= text.size();) {
        std::size_t to = text.find('\n', from);
        if (to == std::string::npos) to = text.size();
        const std::string line = text.substr(from, to - from);
        bool withdrawn = false;
        for (const std::string& start : starts) withdrawn = withdrawn || line.rfind(start, 0) == 0;
        if (!withdrawn && !line.empty()) kept += (kept.empty() ? "" : "\n") + line;
        from = to + 1;
    }
    report->SetText(path.c_str(), kept.c_str());
}

void VelmorToTarsilImport::WithdrawWarning(const char* section) {
    ReportHolder* report = Report();
    const CPString path = CPString("Warnings:") + section;
    // An empty text takes the entry out of the report.
    if (report && report->HasEntry(path.c_str())) report->SetText(path.c_str(), "");
}

void VelmorToTarsilImport::ReportSideDuty(const char* key, const CPString& energyStream, const CPItem* column,
                                          double duty) {
    if (!column) return;
    ReportWarning("Column_Side_Duties", "ExtractionSideDuties",
                  FormatMessage(FindString(key), {energyStream, column->_get_szName(), ExtractionNumber(std::fabs(duty))}));
}

void VelmorToTarsilImport::ReportVesselAgainstDuty(const CPItem* vessel, double duty, double feed, double product) {
    if (!vessel) return;
    const char* key = duty > 0.0 ? "ExtractionVesselHeatedCools" : "ExtractionVesselCooledHeats";
    ReportWarning("Separator_Duty_Against_Temperatures", "ExtractionSeparatorDirection",
                  FormatMessage(FindString(key), {vessel->_get_szName(), ExtractionNumber(std::fabs(duty)),
                                                  ExtractionNumber(product), ExtractionNumber(feed)}));
}

void VelmorToTarsilImport::ReportSeparatorAgainstDuty(const CPItem* separator, double duty, double feed,
                                                       double product) {
    if (!separator) return;
    const char* key = duty > 0.0 ? "ExtractionSeparatorHeatedCools" : "ExtractionSeparatorCooledHeats";
    ReportWarning("Separator_Duty_Against_Temperatures", "ExtractionSeparatorDirection",
                  FormatMessage(FindString(key), {separator->_get_szName(), ExtractionNumber(std::fabs(duty)),
                                                  ExtractionNumber(product), ExtractionNumber(feed)}));
}

void VelmorToTarsilImport::CheckHeatLoss(const CPItem* unit) {
    ReportHolder* report = Report();
    if (!unit || !report) return;
    double heatLoss = 0.0, heatLeak = 0.0, dynamic = 0.0;
    const bool haveLoss = KnownNumber(unit, "HeatLoss", heatLoss);
    const bool haveLeak = KnownNumber(unit, "HeatLeak", heatLeak);
    double loss = 0.0;
    CPString units;
    if (haveLoss || haveLeak) {
        loss = (haveLoss ? heatLoss : 0.0) + (haveLeak ? heatLeak : 0.0);
        units = unitsOf(unit, haveLoss ? "HeatLoss" : "HeatLeak");
    } else if (KnownNumber(unit, "HeatLossDyn", dynamic)) {
        loss = dynamic;
        units = unitsOf(unit, "HeatLossDyn");
    }
    if (!(std::fabs(loss) > kZeroLoss)) return;
    const CPString text = unit->_get_szName() + " (Loss = " + ExtractionNumber(loss) + " " + units + ")";
    report->AddEntry("Warnings", "Heat_Loss_Or_Heat_Leak", FindString("ExtractionHeatLoss").c_str());
    report->AppendText("Warnings:Heat_Loss_Or_Heat_Leak", text.c_str());
}

void VelmorToTarsilImport::CheckExchangerFeasibility() {
    IHENDesign* design = GetBaseDesign();
    ReportHolder* report = Report();
    if (!design || !report) return;
    CNode* unit = nullptr;
    for (int i = 0; design->GetHeatExchanger(i, unit) && unit; ++i) {
        // Port temperatures come from the countercurrent exchanger: a unit without it has no
        // network verdict.
        void* countercurrent = nullptr;
        if (unit->QueryInterface("Lurmet_countercurrent_HX", &countercurrent) != 1 || !countercurrent) continue;
        double hotIn = 0.0, coldIn = 0.0, hotOut = 0.0, coldOut = 0.0;
        if (!unit->getVariableAsDouble("HotInletVelmor", hotIn) || !unit->getVariableAsDouble("ColdInletVelmor", coldIn) ||
            !unit->getVariableAsDouble("HotOutletVelmor", hotOut) || !unit->getVariableAsDouble("ColdOutletVelmor", coldOut))
            continue;
        const bool simulationFeasible = hotOut - coldIn >= 0.0 && hotIn - coldOut >= 0.0;
        // An exchanger without its four port temperatures has no network verdict.
        double port[4];
        bool havePorts = true;
        for (int p = 0; p < 4 && havePorts; ++p) havePorts = design->GetExchangerPortTemperature(unit, p, port[p]);
        if (!havePorts) continue;
        const double hotInlet = port[ExchangerPort::HotSideFeed], hotOutlet = port[ExchangerPort::HotSideProduct];
        const double coldInlet = port[ExchangerPort::ColdSideFeed], coldOutlet = port[ExchangerPort::ColdSideProduct];
        const bool networkFeasible = hotOutlet - coldInlet >= kNetworkApproach && hotInlet - coldOutlet >= kNetworkApproach;
        if (simulationFeasible && networkFeasible) continue;
        CPString name;
        if (!unit->getVariableAsString(NodeValue::UnitOperationName, name)) name = unit->getName();
        CPString text = FormatMessage(FindString("ExtractionHXWithDiscrepancy"), {name});
        text += " " + FindString(simulationFeasible ? "ExtractionHXVelmorFeasible" : "ExtractionHXVelmorInFeasible");
        text += " " + FindString(networkFeasible ? "ExtractionHXTarsilFeasible" : "ExtractionHXTarsilInFeasible");
        report->AddEntry("Warnings", "Discrepancies_In_The_Feasiblity_Of_Exchangers",
                         FindString("ExtractionDiscrepancyInFeasibilty").c_str());
        report->AppendText("Warnings:Discrepancies_In_The_Feasiblity_Of_Exchangers", text.c_str());
    }
}

void VelmorToTarsilImport::ReportWarning(const char* section, const char* titleKey, const CPString& line) {
    ReportHolder* report = Report();
    if (!report) return;
    report->AddEntry("Warnings", section, FindString(titleKey).c_str());
    report->AppendText((CPString("Warnings:") + section).c_str(), line.c_str());
}

void VelmorToTarsilImport::ReportUnitNotPlaced(const CPItem* unit) {
    if (!unit) return;
    ReportWarning("Units_Not_Taken", "ExtractionUnitsNotTaken",
                  FormatMessage(FindString("ExtractionUnitNotTaken"), {unit->_get_szName(), unit->_get_szClassName()}));
}

void VelmorToTarsilImport::CheckExchangerSides() {
    static const char* const kSides[][2] = {{"TubeSideFeed", "inlets"},
                                            {"ShellSideFeed", "inlets"},
                                            {"TubeSideProduct", "outlets"},
                                            {"ShellSideProduct", "outlets"}};
    for (CPItem* unit : m_extractedItems) {
        if (!IsClass(unit, "htHeatExchanger")) continue;
        const std::vector<CPItem*> inlets = unit->RelatedNodes(CPItem::Upstream);
        const std::vector<CPItem*> outlets = unit->RelatedNodes(CPItem::Downstream);
        auto linked = [](const std::vector<CPItem*>& items, const CPString& name) {
            for (const CPItem* i : items)
                if (i->_get_szName() == name) return true;
            return false;
        };
        CPString named[2];
        bool haveNamed[2] = {false, false};
        for (int k = 0; k < 4; ++k) {
            CPString stream;
            if (!TextValue(unit, kSides[k][0], stream) || stream.empty()) continue;
            const bool feed = k < 2;
            if (feed) {
                named[k] = stream;
                haveNamed[k] = true;
            }
            if (!linked(feed ? inlets : outlets, stream))
                ReportWarning("Exchanger_Sides", "ExtractionExchangerSides",
                              FormatMessage(FindString("ExtractionExchangerSideNotLinked"),
                                            {unit->_get_szName(), kSides[k][0], stream, kSides[k][1]}));
        }
        // Only where the exchanger names its sides at all: without the texts it has no sides to
        // follow, and that is no fault of one stream.
        if (!haveNamed[0] && !haveNamed[1]) continue;
        for (const CPItem* inlet : inlets) {
            if (!IsClass(inlet, CaseClass::MaterialStream)) continue;
            const CPString& name = inlet->_get_szName();
            if ((haveNamed[0] && named[0] == name) || (haveNamed[1] && named[1] == name)) continue;
            ReportWarning("Exchanger_Sides", "ExtractionExchangerSides",
                          FormatMessage(FindString("ExtractionExchangerInletUnnamed"), {unit->_get_szName(), name}));
        }
    }
}
