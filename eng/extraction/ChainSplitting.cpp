// Cutting chains where the temperature (or the molar enthalpy) turns, or where a valve, pump or
// pipe segment breaks them, and the duplicate case items that let a cut chain end on an item of
// its own.
#include "eng/extraction/VelmorToTarsilImport.h"

#include "brasko/ReportHolder.h"
#include "eng/extraction/CaseItemAccess.h"
#include "eng/model/IHeatIntegrationScenario.h"
#include "lumeth/Messages.h"
#include "ralvex/Case.h"

#include <cmath>
#include <limits>
#include <unordered_set>

namespace {
const char* const kTransferUnits[] = {"htCooler",      "htHeater", "htHeatExchanger", "htLNGExchanger",
                                      "htAirCooler",   "htFiredHeater", "rtPump", "ppPipeSegment",
                                      "ppMaterialStream", "ppValve"};
const char* const kHeaters[] = {"htHeater", "htHeatExchanger"};
// A pipe segment changing the property by less than this fraction, and losing less heat than
// kPipeHeatLoss, is neither a transfer nor a break.
constexpr double kPipeRelativeChange = 0.01;
constexpr double kPipeHeatLoss = 0.001;

// The change relative to the previous value. Molar enthalpies are negative, so the change is
// taken against |p|; from p = 0 any change is a large one.
double relativeChange(double v, double p) {
    if (p == 0.0) return v == 0.0 ? 0.0 : std::numeric_limits<double>::infinity();
    return std::fabs(v - p) / std::fabs(p);
}
}  // namespace

CPItem* VelmorToTarsilImport::UpstreamPastCopy(CPItem* stream) const {
    CPItem* up = FirstNeighbour(stream, CPItem::Upstream);
    return IsDuplicate(up) ? FirstNeighbour(up, CPItem::Upstream) : up;
}

CPItem* VelmorToTarsilImport::FindReversalCut(const StreamChain& chain, bool useTemperature, double shiftTempsForPumps,
                                              bool& turns) const {
    turns = false;
    if (chain.Length() < 3) return nullptr;
    CPItem* first = chain.First();
    double pure = 0.0;
    if (KnownNumber(first, "IsPureComp", pure) && pure != 0.0 &&
        IsOneOf(FirstNeighbour(first, CPItem::Downstream), kHeaters))
        useTemperature = false;
    const char* property = useTemperature ? "Temperature" : "MolarEnthalpy";
    // A temperature the case leaves unknown between a heater, cooler or exchanger and the next unit
    // is the one the units' tables give the stream; elsewhere an unknown value ends the walk.
    const auto value = [&](CPItem* s, double& out) {
        if (KnownNumber(s, property, out)) return true;
        return useTemperature && IsOneOf(UpstreamPastCopy(s), kHeatTransferUnits) && StreamTemperature(s, out);
    };
    double p = 0.0;
    if (!value(first, p)) return nullptr;

    std::vector<CPItem*> prefix{first};
    bool pending = false, rose = false, fell = false, turned = false, carry = false;
    // Where the cut is made, and whether it is made because the temperature turned there (a
    // valve, pump or pipe breaks a chain where nothing turns).
    bool cutHere = false, turnsHere = false;
    for (std::size_t k = 1; k < chain.streams.size() && !cutHere; ++k) {
        CPItem* s = chain.streams[k];
        bool cut = false, isRecycle = false, isPipe = false, transfer = false;
        double heatLoss = 0.0;
        double v = 0.0;
        if (!value(s, v)) return nullptr;
        if (CPItem* u = UpstreamPastCopy(s)) {
            // A tee ends the walk of a stream folded over its branches, unless a break unit met at
            // the start cuts the part before it off: the branches are side by side, not one after
            // the other, and a walk on through them would cut one branch from the rest.
            if (IsClass(u, CaseClass::Tee) && (!pending || prefix.size() < 2)) return nullptr;
            if (IsClass(u, CaseClass::PipeSegment)) {
                isPipe = true;
                if (!KnownNumber(u, "HeatLoss", heatLoss)) heatLoss = 0.0;
            }
            if (IsClass(u, CaseClass::Recycle)) isRecycle = true;
            transfer = IsOneOf(u, kTransferUnits);
            // A pipe that changes next to nothing is neither a transfer nor a break, now or later.
            const bool quietPipe = isPipe && relativeChange(v, p) < kPipeRelativeChange && heatLoss < kPipeHeatLoss;
            const bool breakUnit = IsClass(u, CaseClass::Valve) ||
                                   (IsClass(u, CaseClass::Pump) && shiftTempsForPumps != 0.0) ||
                                   (isPipe && !quietPipe && shiftTempsForPumps != 0.0 && !useTemperature);
            if (breakUnit) {
                if (prefix.size() > 1) cut = true;
                else pending = true;
            }
            carry = pending;
        }
        if (carry && prefix.size() > 1) {
            cut = true;
            carry = pending = false;
        }
        if (isPipe && (useTemperature || (relativeChange(v, p) < kPipeRelativeChange && heatLoss < kPipeHeatLoss)))
            cut = transfer = false;

        enum { Join, Step7, Step8 } next = Join;
        if (v != p) {
            const bool up = v > p;
            bool& same = up ? rose : fell;
            bool& against = up ? fell : rose;
            if (transfer) same = true;
            if (against) {
                if (transfer) {
                    turned = true;
                    next = Step7;
                } else {
                    same = false;
                    next = Step8;
                }
            }
        } else if (useTemperature && (carry || isRecycle)) {
            next = Join;
        } else {
            if (!useTemperature) turned = false;
            next = Step7;
        }
        switch (next) {
        case Join:
            if (cut) cutHere = true;
            else prefix.push_back(s);
            break;
        case Step7:
            if (cut || turned) cutHere = true;
            turnsHere = turned;
            break;
        case Step8:
            if (cut) cutHere = true;
            else if (isRecycle || isPipe) prefix.push_back(s);
            break;
        }
        p = v;
    }
    if (!cutHere || prefix.size() < 2) return nullptr;
    turns = turnsHere;
    return prefix.back();
}

std::unique_ptr<StreamChain> VelmorToTarsilImport::SplitChainAtReversal(StreamChain& chain, ReportHolder* report,
                                                                        bool useTemperature,
                                                                        double shiftTempsForPumps) {
    bool turnsHere = false;
    CPItem* last = FindReversalCut(chain, useTemperature, shiftTempsForPumps, turnsHere);
    if (!last) return nullptr;
    // Everything before the cut moves to the new chain: the prefix but its last stream, and the
    // streams passed over on the way (the product of a pump or pipe at the same temperature), which
    // would otherwise start the rest a second time. The last stays, now first, and the new chain
    // ends on a copy of it.
    auto cutOff = std::make_unique<StreamChain>();
    std::unordered_set<const CPItem*> moving;
    for (CPItem* s : chain.streams) {
        if (s == last) break;
        moving.insert(s);
        cutOff->AddItem(s);
    }
    std::vector<CPItem*> rest;
    rest.reserve(chain.streams.size());
    for (CPItem* s : chain.streams)
        if (!moving.count(s)) rest.push_back(s);
    chain.streams = std::move(rest);
    if (CPItem* copy = DuplicateCaseItem(last, 1)) cutOff->AddItem(copy);
    if (report && turnsHere) {
        report->AddEntry("Warnings", "Temperature_reversal", FindString("ExtractionTempInversion").c_str());
        report->AppendText("Warnings:Temperature_reversal",
                           FormatMessage(FindString("ExtractionTempInversionAt"), {last->_get_szName()}).c_str());
    }
    return cutOff;
}

void VelmorToTarsilImport::SplitChainsAtReversals(ChainList& chains) {
    const double shift = Setting("ShiftTempsForPumps");
    ReportHolder* report = nullptr;
    if (m_scenario) m_scenario->GetReportHolder(report);
    for (bool useTemperature : {true, false}) {
        ChainList side;
        for (auto& chain : chains)
            while (auto cutOff = SplitChainAtReversal(*chain, report, useTemperature, shift))
                side.push_back(std::move(cutOff));
        for (auto& c : side) chains.push_back(std::move(c));
    }
}

CPItem* VelmorToTarsilImport::AddCaseItem(const CPString& name, const CPString& className) {
    if (!m_case || name.empty() || m_case->GetItemByName(name)) return nullptr;
    auto item = std::make_unique<CPItem>(name, className);
    CPItem* raw = item.get();
    if (m_case->Add(std::move(item)) != 1) return nullptr;
    m_extractedItems.push_back(raw);
    return raw;
}

CPItem* VelmorToTarsilImport::DuplicateCaseItem(CPItem* item, int placement) {
    if (!item) return nullptr;
    // Nothing changes when the item has no neighbour on that side. A case extracted before holds
    // the duplicates of that extraction: the copy takes the first name free after them, so that
    // the chain still ends on an item of its own.
    const int kind = placement == 1 ? CPItem::Upstream : CPItem::Downstream;
    CPItem* neighbour = FirstNeighbour(item, kind);
    if (!neighbour) return nullptr;
    CPItem* copy = AddCaseItem(FreeCaseItemName(item->_get_szName() + "Duplicate"), item->_get_szClassName());
    if (!copy) return nullptr;
    if (placement == 1) {
        neighbour->UnlinkRelatedNode(item, CPItem::Downstream);
        neighbour->AddRelatedNode(copy, CPItem::Downstream);
        copy->AddRelatedNode(item, CPItem::Downstream);
    } else {
        item->UnlinkRelatedNode(neighbour, CPItem::Downstream);
        item->AddRelatedNode(copy, CPItem::Downstream);
        copy->AddRelatedNode(neighbour, CPItem::Downstream);
    }
    for (std::size_t i = 0; i < item->GetNumberOfVariables(); ++i) {
        const CPValue* v = item->GetVariable(i);
        if (CPValue* own = copy->FindVariable(v->GetName())) *own = *v;
        else copy->AppendVariable(CPValue(*v));
    }
    // A copy is frozen at the values its source had: a refresh brings it up to date first.
    m_duplicates.emplace_back(copy, item);
    m_duplicateSources.emplace(copy, item);
    return copy;
}
