// The length of each list of the design forms: a table of (kind, variable range) rows, each
// naming the count that gives its rows. A list is as long as the row list its values map
// through, so a form never shows a row the value dispatcher cannot place.
#include "eng/design/IHENDesign.h"
#include "eng/model/IHeatIntegrationScenario.h"
#include "pellin/CNode.h"
#include "views/design/DesignValueRows.h"

#include <algorithm>
#include <cstdint>

namespace {

using V = HIDesignViewerDesign;
using S = V::ListSize;
constexpr double kEmpty = Viewable::EmptyValue;

struct DimRow {
    S size;
    int type, from, to;
};

// The first row that holds the kind and number decides.
const DimRow kRows[] = {
    // every exchanger of the design
    {S::Exchangers, 1, 601, 604}, {S::Exchangers, 1, 613, 616}, {S::Exchangers, 6, 603, 604}, {S::Exchangers, 6, 651, 651},
    {S::Exchangers, 104, 221, 221}, {S::Exchangers, 104, 315, 315}, {S::Exchangers, 104, 420, 420},
    {S::Exchangers, 104, 601, 601}, {S::Exchangers, 1508, 220, 220}, {S::Exchangers, 1508, 701, 702},
    {S::Exchangers, 1519, 500, 500}, {S::Exchangers, 1519, 601, 604}, {S::Exchangers, 1519, 709, 709},
    {S::Exchangers, 1519, 713, 714}, {S::Exchangers, 1519, 811, 812}, {S::Exchangers, 1519, 851, 854},
    {S::Exchangers, 1519, 981, 981}, {S::Exchangers, 1519, 1050, 1053}, {S::Exchangers, 1524, 651, 651},
    // the exchangers the filter shows
    {S::Filtered, 1, 343, 344}, {S::Filtered, 1, 346, 347}, {S::Filtered, 4, 103, 104}, {S::Filtered, 6, 304, 304},
    {S::Filtered, 6, 602, 602}, {S::Filtered, 104, 305, 305}, {S::Filtered, 104, 316, 317}, {S::Filtered, 104, 351, 354},
    {S::Filtered, 104, 422, 424}, {S::Filtered, 104, 594, 600}, {S::Filtered, 104, 602, 602}, {S::Filtered, 1508, 302, 302},
    {S::Filtered, 1508, 704, 709}, {S::Filtered, 1508, 712, 712}, {S::Filtered, 1517, 500, 501}, {S::Filtered, 1517, 605, 605},
    {S::Filtered, 1517, 702, 702}, {S::Filtered, 1519, 300, 302}, {S::Filtered, 1519, 305, 305}, {S::Filtered, 1519, 345, 345},
    {S::Filtered, 1519, 348, 348}, {S::Filtered, 1519, 401, 401}, {S::Filtered, 1519, 610, 610}, {S::Filtered, 1519, 616, 616},
    {S::Filtered, 1519, 700, 700}, {S::Filtered, 1519, 703, 703}, {S::Filtered, 1524, 701, 701}, {S::Filtered, 4101, 500, 500},
    {S::Filtered, 31000, 301, 301}, {S::Filtered, 31000, 788, 788},
    // the exchangers with a specified area
    {S::AreaSpecified, 4, 500, 501}, {S::AreaSpecified, 104, 306, 306}, {S::AreaSpecified, 1507, 200, 200},
    {S::AreaSpecified, 1508, 306, 306}, {S::AreaSpecified, 1519, 306, 307}, {S::AreaSpecified, 1519, 346, 346},
    {S::AreaSpecified, 1519, 349, 349}, {S::AreaSpecified, 1519, 359, 360}, {S::AreaSpecified, 1524, 500, 503},
    {S::AreaSpecified, 4101, 501, 501},
    // utility exchangers by configuration (the outlet temperatures the forms write as duties'
    // companions, 6: 355 / 356, are sized by the same lists, so a row can be written)
    {S::ConfiguredHeaters, 6, 308, 308}, {S::ConfiguredHeaters, 1519, 308, 308},
    {S::UnconfiguredCoolers, 1, 355, 355}, {S::UnconfiguredCoolers, 6, 318, 318}, {S::UnconfiguredCoolers, 6, 355, 355},
    {S::UnconfiguredCoolers, 104, 318, 318}, {S::UnconfiguredCoolers, 104, 355, 355},
    {S::UnconfiguredCoolers, 1519, 318, 318},
    {S::UnconfiguredHeaters, 1, 356, 356}, {S::UnconfiguredHeaters, 6, 319, 319}, {S::UnconfiguredHeaters, 6, 356, 356},
    {S::UnconfiguredHeaters, 104, 319, 319}, {S::UnconfiguredHeaters, 104, 356, 356},
    {S::UnconfiguredHeaters, 1519, 319, 319},
    // the exchangers without existing area
    {S::NewExchangers, 1, 750, 753}, {S::NewExchangers, 6, 713, 713}, {S::NewExchangers, 100, 203, 203},
    {S::NewExchangers, 1508, 711, 711}, {S::NewExchangers, 1517, 703, 703}, {S::NewExchangers, 1519, 210, 210},
    {S::NewExchangers, 1519, 701, 702}, {S::NewExchangers, 1519, 754, 755}, {S::NewExchangers, 1524, 702, 702},
    {S::NewExchangers, 31000, 712, 712},
    // the list modes
    {S::ExchangerListMode, 1519, 501, 501},
    {S::StreamListMode, 6, 300, 301}, {S::StreamListMode, 104, 413, 413}, {S::StreamListMode, 104, 701, 701},
    {S::StreamListMode, 1519, 299, 299}, {S::StreamListMode, 1519, 310, 310},
    // the units on the selected stream
    {S::UnitsOnStream, 1, 710, 711}, {S::UnitsOnStream, 6, 767, 767}, {S::UnitsOnStream, 104, 421, 421},
    {S::UnitsOnStream, 104, 703, 703}, {S::UnitsOnStream, 104, 705, 705}, {S::UnitsOnStream, 1508, 769, 769},
    {S::UnitsOnStream, 1517, 704, 704}, {S::UnitsOnStream, 1519, 765, 766}, {S::UnitsOnStream, 1519, 770, 771},
    {S::UnitsOnStream, 1524, 703, 703}, {S::UnitsOnStream, 31000, 768, 768},
    // streams
    {S::UtilityStreams, 6, 765, 765}, {S::UtilityStreams, 1519, 764, 764}, {S::UtilityStreams, 31001, 766, 766},
    {S::CrossPinchLoads, 6, 150, 150}, {S::CrossPinchLoads, 1519, 690, 690},
    {S::UtilitySideStreams, 104, 913, 913}, {S::UtilitySideStreams, 1519, 912, 912},
    {S::ProcessStreams, 104, 952, 952}, {S::ProcessStreams, 105, 991, 991}, {S::ProcessStreams, 1519, 951, 951},
    // the network's structure
    {S::SubNetworks, 1519, 902, 902}, {S::SubNetworks, 1519, 957, 962}, {S::Loops, 1519, 906, 906},
    {S::Paths, 1519, 908, 909}, {S::Paths, 1519, 911, 911}, {S::Schedules, 1519, 350, 350},
    {S::ScheduleEvents, 1519, 352, 352},
    // fixed lengths
    {S::One, 1, 611, 612}, {S::One, 6, 303, 303}, {S::One, 104, 1001, 1005}, {S::One, 1508, 303, 304},
    {S::One, 1517, 607, 608}, {S::One, 1519, 303, 303}, {S::One, 1519, 320, 320}, {S::One, 1519, 400, 400},
    {S::One, 1519, 786, 786}, {S::One, 1519, 857, 858}, {S::One, 1519, 901, 901}, {S::One, 1519, 904, 905},
    {S::One, 1519, 953, 956}, {S::One, 1519, 1033, 1033}, {S::One, 1520, 786, 786}, {S::One, 31000, 303, 303},
    {S::One, 31000, 787, 787}, {S::One, 31001, 788, 788},
    {S::Two, 1, 708, 709}, {S::Two, 1519, 752, 753}, {S::Two, 1519, 756, 763}, {S::Two, 1519, 800, 802},
    {S::Three, 1508, 320, 320}, {S::Three, 1519, 201, 202}, {S::Three, 1519, 204, 204}, {S::Three, 31000, 320, 320},
    {S::Five, 1519, 1034, 1034},
    // rows the forms read by exchanger or unit too: the added capital cost of each exchanger,
    // the shells of each unit on the selected stream
    {S::Exchangers, 31000, 711, 711}, {S::UnitsOnStream, 1519, 772, 772},
    // the optimiser's pre-check
    {S::OptimizerCheckUnits, 1519, 1006, 1007}, {S::OptimizerCheckInfeasible, 1519, 1009, 1009},
    {S::OptimizerCheckUntied, 104, 1012, 1015}, {S::OptimizerCheckUntied, 1519, 1011, 1011},
    {S::OptimizerCheckTemperatureSpecs, 1519, 1017, 1018},
};

// The two-dimension tables of the network's structure: a row per sub-network, loop or path, a
// column per unit of the one the second index names.
bool structureTable(IHENDesign& d, const VarDescription& var, DimInfo& dims) {
    if (var.Type() != 1519) return false;
    const int of = var.Offset(1) < 0 ? 0 : var.Offset(1);
    switch (var.Number()) {
        case 903: dims.AddDim(d.GetNumberOfSubNetworks()); dims.AddDim(d.GetNumberOfUnitsInSubNetwork(of)); return true;
        case 907: dims.AddDim(d.GetNumberOfLoops()); dims.AddDim(d.GetNumberOfUnitsInLoop(of)); return true;
        case 910: dims.AddDim(d.GetNumberOfPaths()); dims.AddDim(d.GetNumberOfUnitsInPath(of)); return true;
        default: return false;
    }
}

// The size of a list known by its name; false for a name no list has.
bool namedSize(const VarDescription& var, S& size) {
    const int n = var.Number();
    if (var.VariableIs("Name")) {
        if (n == 300 || n == 345 || n == 348 || n == 601 || (n >= 780 && n <= 784)) size = S::Filtered;
        else if (n == 299 || n == 302 || n == 303) size = S::One;
        else if (n == 304) size = S::ExtractionItems;
        else if (n == 690) size = S::CrossPinchLoads;
        else return false;
        return true;
    }
    if (var.VariableIs("HeatExchType") && n == 400 && var.Type() != 1519) {
        size = S::AreaSpecified;
        return true;
    }
    if (var.VariableIs("HXSelectionName") && n == 388) {
        size = S::EventTargets;
        return true;
    }
    // The schedule list's own two variables are single cells.
    if (var.ObjectType() == "ScheduleTypeViewObject" && (n == 300 || n == 301)) {
        size = S::One;
        return true;
    }
    return false;
}

}  // namespace

bool HIDesignViewerDesign::FindListSize(int type, int number, ListSize& size) {
    for (const DimRow& r : kRows)
        if (r.type == type && number >= r.from && number <= r.to) {
            size = r.size;
            return true;
        }
    return false;
}

int HIDesignViewerDesign::ListLength(ListSize size) {
    IHENDesign& d = *pDesign;
    switch (size) {
        case S::Exchangers: return d.GetNumberOfHeatExchangers();
        case S::Filtered: return CountFilteredExchangers();
        case S::AreaSpecified: return d.GetNumberOfAreaSpecifiedExchangers();
        case S::ConfiguredHeaters: return d.GetNumberOfConfiguredExchangers(1);
        case S::UnconfiguredCoolers: return std::max(0, d.GetNumberOfCoolers() - d.GetNumberOfConfiguredExchangers(0));
        case S::UnconfiguredHeaters: return std::max(0, d.GetNumberOfHeaters() - d.GetNumberOfConfiguredExchangers(1));
        case S::NewExchangers: {
            int n = 0;
            for (int i = 0; i < d.GetNumberOfHeatExchangers(); ++i) {
                CNode* unit = nullptr;
                double area = kEmpty;
                if (d.GetHeatExchanger(i, unit) && unit && (!unit->getVariableAsDouble("ExArea", area) || area == kEmpty)) ++n;
            }
            return n;
        }
        case S::ExchangerListMode:
            if (nExchangerListMode == 0) return d.GetNumberOfIncompleteHeatExchangers(false);
            return nExchangerListMode == 1 ? d.GetNumberOfHeatExchangers() : -1;
        case S::StreamListMode:
            if (nStreamListMode == 0) return d.GetNumberOfUnsatisfiedProcessStreams();
            return nStreamListMode == 1 ? d.GetNumberOfProcessStreams() : -1;
        case S::UnitsOnStream: return strSelectedStream.empty() ? 0 : d.GetNumberOfUnitsOnStream(strSelectedStream.c_str());
        case S::UtilityStreams: return pScenario ? pScenario->GetNumberOfStreamsOfKind(1, 2) : -1;
        case S::CrossPinchLoads: return std::max(0, d.GetNumberOfCrossPinchLoads());
        case S::UtilitySideStreams: return d.GetNumberOfStreams() - d.GetNumberOfProcessStreams();
        case S::ProcessStreams: return d.GetNumberOfProcessStreams();
        case S::SubNetworks: return d.GetNumberOfSubNetworks();
        case S::Loops: return d.GetNumberOfLoops();
        case S::Paths: return d.GetNumberOfPaths();
        case S::Schedules: return d.GetNumberOfSchedules();
        case S::ScheduleEvents: return d.GetNumberOfScheduleEvents();
        case S::One: return 1;
        case S::Two: return 2;
        case S::Three: return 3;
        case S::Five: return 5;
        case S::OptimizerCheckUnits: return d.GetNumberOfOptimizerCheckUnits();
        case S::OptimizerCheckInfeasible: return d.GetNumberOfOptimizerCheckInfeasibleExchangers();
        case S::OptimizerCheckUntied: return d.GetNumberOfOptimizerCheckUntiedExchangers();
        case S::OptimizerCheckTemperatureSpecs: return d.GetNumberOfOptimizerCheckTemperatureSpecs();
        case S::ExtractionItems: return pScenario ? pScenario->GetNumberOfExtractionItems() : -1;
        case S::EventTargets: return static_cast<int>(pEventTargets.size());
    }
    return -1;
}

int HIDesignViewerDesign::Dimensions(const VarDescription& var, DimInfo& dims) {
    if (!pDesign) return 0;
    int added = 0;
    if (Form().Dimensions(*this, var, dims, added)) return added;
    ListSize size{};
    const int n = var.Number();
    if (var.Type() == 6 && n == 601) return CrossPinchTable(var, dims);
    if (structureTable(*pDesign, var, dims)) return 2;
    if (!namedSize(var, size) && !FindListSize(var.Type(), n, size)) return Viewable::Dimensions(var, dims);
    // A list mode other than the two the forms know gives the list no rows at all.
    const int length = ListLength(size);
    if (length < 0) return 0;
    dims.AddDim(length);
    return 1;
}

int HIDesignViewerDesign::CrossPinchTable(const VarDescription& var, DimInfo& dims) {
    // Only while the network has cross-pinch loads and a first exchanger to count them on.
    CNode* first = nullptr;
    if (pDesign->GetNumberOfCrossPinchLoads() < 1 || !pDesign->GetHeatExchanger(0, first) || !first) return 0;
    // The form asks for each dimension by its own flag bit: 2 the rows, 4 the columns.
    int added = 0;
    if (var.Flags() & 2) {
        dims.AddDim(CountFilteredExchangers());
        ++added;
    }
    if (var.Flags() & 4) {
        int columns = 0;
        double load = 0.0;
        while (columns < 100000 && first->getIndexedVariable("CrossPinchLoads", columns, load)) ++columns;
        dims.AddDim(columns);
        ++added;
    }
    return added;
}
