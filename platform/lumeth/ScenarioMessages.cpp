// English texts of the scenario forms' messages. The keys stay what the forms, the journal and
// the tests compare; only the words a user reads are here.
#include "lumeth/ScenarioMessages.h"

namespace {
const MessageText kTexts[] = {
    // Stream sides and the scope of a minimum-approach contribution.
    {"HOT", "Hot"},
    {"COLD", "Cold"},
    {"Unknown", "Unknown"},
    {"GLOBAL", "Global"},
    // Targeting methods and options.
    {"GCCBased", "Placed on the grand composite curve"},
    {"UserSuppliedUtilityLoads", "Utility loads given by the user"},
    {"CheapestUtilityPrinciple", "Cheapest utility first"},
    {"Calculate11Area", "Area for 1-1 exchangers"},
    {"Calculate12Area", "Area for 1-2 shell-and-tube exchangers"},
    {"CalculateBoth", "Area for both exchanger types"},
    {"LinearProgram", "Linear program"},
    {"BathFormula", "Vertical heat transfer (Bath formula)"},
    // The search for sub-networks of balanced streams (units target).
    {"CPIFindSubSets", "Searching for sub-networks of streams whose loads balance..."},
    {"NoSubsetsFound", "No sub-network was found: the streams balance only all together."},
    {"SubsetSearchStopped",
     "The search for sub-networks stopped at its time limit of %g s: the %g sub-networks it found by then are kept, and a longer search might find more."},
    {"NoSubsetsUnbalanced",
     "No sub-network was found: the streams' loads do not balance, as no utility carries the heating or cooling the process needs."},
    // A segment inserted into a stream's table: its data are still to be typed.
    {"InsertedSegmentIncomplete",
     "A segment was inserted into %s: until its temperature and its load or cp are typed the stream is incomplete, and the targets leave it out."},
    // A default utility's approach.
    {"DeltaTMinWarning", "A DTmin contribution below 1 C is not taken; the utility keeps the one it had."},
    // Retrofit and design tips.
    {"RetrofitFromNewScenario", "Retrofit from a new scenario"},
    {"RetrofitFromExistScenario", "Retrofit from an existing scenario"},
    {"RetrofitTips", "Choose the existing network, then run the retrofit to see the changes it suggests."},
    {"RecommendDesignsTips", "The recommended designs are the cheapest complete designs of the scenario."},
    // Capital-cost formulas.
    {"CapitalCostIndex", "Capital cost index "},
    {"CapitalCostIndexTarget", "Capital cost target"},
    {"HeatExchangerCapitalCostFormula", "= a + b x Area ^ c per exchanger"},
    {"FiredHeaterCapitalCostFormula", "= a + b x Duty ^ c per fired heater"},
    {"HeatExchangerCapitalCostTargetFormula", "= a + b x (Area / Shells) ^ c per shell"},
    // What the scenario says of forbidden matches and of a copy.
    {"ChangingToLPAndGCCChoseForbidden",
     "A match is forbidden: the area target comes from the area LP and the utilities are placed on the grand composite curve."},
    {"ChangingToBathChoseUnForbidAll", "No match is forbidden any more: the Bath formula may be chosen again for the area target."},
    {"OnlyGCCBasedAllowedIfForbidden", "While a match is forbidden the utilities are placed on the grand composite curve only."},
    {"CannotCloneStreamErrorMsg",
     "Not copied into the scenario %s, where a stream or a default utility has the name already: %s."},
    {"ClonedUtilityNotOnSite",
     "Not copied into the scenario %s, as its total site has no utility of the name: %s. A scenario of a total site "
     "uses the site's utilities: add the utility to the site first."},
    // A scenario of a total site uses the site's utilities only.
    {"PickTotalSiteUtilityFromDropDownList",
     "A scenario of a total site uses the site's utility streams: add the utility to the site and pick it there."},
    {"StreamInLockedOperation",
     "The stream is part of a network locked for operation and stays until the operation is unlocked."},
    {"SiteUtilityStaysInEveryScenario",
     "The utility is a stream of the total site, which every scenario of the site holds as a utility: rename or delete it on the site."},
    // Scenario commands that found nothing to act on.
    {"NoSubsetsToClear", "No subsets of the streams are there to clear: none was searched for, or the search found none."},
    {"NoForbiddenMatchesToRemove", "No match between a hot and a cold process stream is forbidden: there is none to remove."},
    {"NoUnusedUtilities",
     "Every utility of the scenario is in use: a design has a unit on it, or it carries a load in the targets while a "
     "design has a heater or cooler on its side. There is none unused to delete."},
    {"UnusedUtilitiesDeletedByAutomation",
     "Unused utilities are deleted by an automation client that built the scenario; delete a utility from its table."},
    {"SiteUtilitiesStayInEveryScenario",
     "The scenario's utilities are the total site's, which every scenario of the site holds, used or not: delete a "
     "utility on the site."},
    {"NoRetrofitToUnlock", "The scenario holds no retrofit: there is no base network to unlock."},
    // A command on the selected design with none selected.
    {"NoDesignSelected", "Select a design first: none is selected."},
    {"NoOtherDesignToSwap", "The selected design is the last of the list already: there is no other design to swap it with."},
    {"NoCostCoefficientEdited",
     "No cost coefficient is being edited: type a cost law's exponent first, and give the coefficient it proposes."},
    {"NoSimulatorCaseToWrite",
     "The design holds no units of a process simulator case to write back: only the existing network an extraction "
     "made (SimulationBaseCase) does:"},
    // Refusals of a typed value.
    {"GetStreamError", "The stream of this row could not be found."},
    {"NoChangeinHENRBaseCase", "The base case of a retrofit cannot be changed."},
    {"UtilityLoadSetByTargets", "The targets set the utility loads: choose utility loads given by the user to type one."},
    {"UtilitySegmentLoadFollows",
     "A utility's segment loads are placed by the targets and designs, and its rates follow from them."},
    {"AreaInputError", "This area is refused."},
    {"CannotDeleteCError", "This value cannot be deleted."},
    {"CannotDeleteHTC", "A heat-transfer coefficient default cannot be deleted."},
    {"HCValueTooSmall", "The heat-transfer coefficient is too small."},
    {"TypicalEconomicRateRange", "The rate lies outside its usual range."},
    {"TypicalRateOfReturnRange", "The rate of return lies outside its usual range."},
    {"CpUpdateError", "The specific heat could not be set."},
    {"MCpUpdateError", "The heat-capacity flow rate could not be set."},
    {"FlowRateUpdateError", "The flow rate could not be set."},
    {"FoulingFactorUpdateError", "The fouling factor could not be set: it is 0 or more, and below the whole resistance "
                                 "(1/U) of the exchanger it fouls."},
    {"HTCoeffUpdateError", "The heat-transfer coefficient could not be set."},
    {"HTCoeffUpdateError2", "This heat-transfer coefficient is refused."},
    {"DeltaTcUpdateError", "The minimum-approach contribution could not be set."},
    {"DeltaTViolationsError", "The value would break a minimum approach temperature."},
    {"EconomicDefaultError", "The economic data set could not be assigned."},
    {"EnthalpyUpdateError", "The enthalpy could not be set."},
    {"SpecRange", "The value lies outside its allowed range."},
    {"TypicalAreaConstantRange", "A capital cost constant must lie between 0 and 1e12."},
    {"SplitBranchValueError", "This number of split branches is refused."},
    {"TemperatureUpdateError", "The temperature could not be set."},
    {"HotStreamInletTemperatureUpdateError", "A hot stream's supply temperature cannot be set so."},
    {"ColdStreamInletTemperatureUpdateError", "A cold stream's supply temperature cannot be set so."},
    {"HotStreamOutletTemperatureUpdateError", "A hot stream's target temperature cannot be set so."},
    {"ColdStreamOutletTemperatureUpdateError", "A cold stream's target temperature cannot be set so."},
    {"ValidOptionError", "This choice is not one of the options."},
    {"NegativeHoursOfOperInput", "The hours of operation cannot be negative."},
    {"OverlimitHoursOfOperInput", "The hours of operation exceed those of a year."},
    {"NegativePlantLifeInput", "The plant life cannot be negative."},
    {"PlantLifeRange", "The plant life lies outside the lives a plant's economics take."},
    {"HoursOfOperationRange", "The hours of operation lie outside those a year holds."},
    {"DeafultEconomicSpecRenameNotAllowed", "The DEFAULT economic data set cannot be renamed."},
    {"EconomicDataInUseDeleteError", "This economic data set is in use and cannot be deleted."},
    {"EconomicDataWithNameExists", "An economic data set of this name exists already."},
    {"SiteEconomicDataKeptBySite",
     "The economic data sets of a total-site scenario are the site's: a scenario neither renames nor deletes them."},
    {"NameNotUnique", "This name is taken already."},
    {"DeleteStreamError", "Delete the stream?"},
    {"NewRowMarkerName", "\"**New**\" marks the row that adds a stream; a stream cannot take it as its name."},
    {"NewRowMarkerEntryName", "\"**New**\" marks the row that adds an entry to the list; no entry can take it as its name."},
    {"RenameStreamError", "The stream cannot be renamed: another stream has the name, or it is not a name this stream may take."},
    {"CloneEntryNotAvailable", "%s is not available in this copy and cannot be ticked or unticked."},
    {"FileWriteProtected", "The file is write-protected and cannot be written:"},
    {"SavePreferenceError", "The defaults could not be saved to the file:"},
};
}  // namespace

const MessageText* ScenarioMessageTexts(std::size_t& count) {
    count = sizeof kTexts / sizeof kTexts[0];
    return kTexts;
}
