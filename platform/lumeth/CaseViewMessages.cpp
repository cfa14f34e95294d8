// English texts of the case views' messages. A text that ends with a colon is followed by the
// name or file it concerns.
#include "lumeth/CaseViewMessages.h"

namespace {
const MessageText kTexts[] = {
    // Names of projects, scenarios and designs.
    {"ThisProjectNameAlreadyExists", "A project of that name already exists in the case:"},
    {"ThisScenarioNameAlreadyExists", "A scenario of that name already exists in the project:"},
    {"ThisScenarioNameIsInvalid",
     "A scenario name may not be empty, be the text \"**New**\" of the row that adds one, or begin or end with a "
     "blank:"},
    {"NoScenarioToRename", "No scenario is chosen to take the name typed; choose the scenario to rename first."},
    {"NoScenarioToDelete", "No scenario is chosen to delete; choose the scenario first."},
    {"NoNoteSelected", "Select a note first: none is selected, so none is deleted."},
    {"ThisDesignNameAlreadyExists", "A design of that name already exists in the scenario:"},
    {"CloneNameMissing", "Type the name of a new scenario, or choose the scenario to append to, before copying."},
    {"CloneCopiesNothing", "Nothing is ticked to copy; tick the streams or the data to copy into the scenario:"},
    {"ReservedDesignName", "This name is kept for the existing network an extraction from a simulator case makes:"},
    // Questions before a deletion.
    {"ConfirmDeleteHIScenario", "Delete the scenario %s with its streams and designs?"},
    {"ConfirmDeleteHENDesign", "Delete the design %s?"},
    {"DesignNameMissing", "Type the design's name first (the name cell of the design list)."},
    {"DesignNotCloned", "The design could not be copied: its network runs on a stream the scenario lacks:"},
    {"DesignNotDeleted", "The design could not be deleted: the scenario holds none of that name:"},
    {"ConfirmDeleteExperiment", "Delete this heat-transfer coefficient default?"},
    {"ConfirmDeleteDefaultUtility", "Delete this default utility?"},
    {"DeleteRetrofitBaseCaseError",
     "The base design of a retrofit scenario cannot be deleted: the retrofit compares every design with it."},
    // Streams, utilities and their segments.
    {"AddStreamError", "The stream could not be added: the name is taken or is not one of a default utility:"},
    {"FiredHeaterEconomics",
     "The utility is heated in a fired heater: give the fired heater's capital cost law in the economic data."},
    {"PickTotalSiteUtilityFromDropDownList",
     "A site stream must be one of the total site's utilities: choose its name from the list."},
    {"NoDefaultUtilitySelected", "Select a default utility in the utility defaults first: none is selected."},
    {"DefaultUtilityNameError", "The default utility could not be added or renamed: the name is empty or taken:"},
    {"AirCoolerAlreadyExists", "Another utility is already cooled by an air cooler; only one may be."},
    {"InvalidExchangerType", "This utility cannot have that exchanger type."},
    {"EmptyHTCError",
     "The film heat-transfer coefficient could not be left to the default: the utility gives no coefficient."},
    {"InsertSegmentErrorMsg", "Select the row of the segment to split before inserting a segment."},
    {"DeleteSegmentErrorMsg",
     "The supply and target temperature points cannot be deleted; select a point between them."},
    {"Eff.CpUpdateError", "The specific heat could not be set."},
    {"FoulingUpdateError", "The fouling factor could not be set."},
    {"NegativeFlowRateError", "The mass flow rate cannot be negative."},
    {"MakeSufficientError",
     "The utility loads could not be made sufficient: only utility loads given by the user are raised to the targets."},
    {"SegmentStreams", "Streams at this point:"},
    // Stream links.
    {"TempBound", "A linked stream's temperature lies outside the bounds of its term; the term still counts:"},
    {"FlowBound", "A linked stream's flow rate lies outside the bounds of its term; the term still counts:"},
    {"TempUpdateError", "The linked temperature could not be written to the stream:"},
    // Imports and design runs.
    {"ExistingStreamBeforeExtract", "The scenario already has streams: the extracted streams are added to them."},
    {"NoStreamsExtracted", "No stream was extracted: the case holds none that is heated or cooled."},
    {"InvalidExcelFile", "The file is not a spreadsheet (.xls):"},
    {"ReadingExcelCase", "Reading the spreadsheet..."},
    {"CouldNotBuildExcelCase", "The spreadsheet could not be read into the scenario:"},
    {"CouldNotBuildVelmorCase", "The process simulator case could not be read into the scenario:"},
    {"CouldNotFindQuorvexCase", "The flowsheet simulator case cannot be found, or the file is not one:"},
    {"CouldNotBuildQuorvexCase", "The flowsheet simulator case could not be read into the scenario:"},
    {"CouldNotFindPROIICase", "The PRO/II case cannot be found, or the file is not one:"},
    {"CouldNotBuildPROIICase", "The PRO/II case could not be read into the scenario:"},
    {"ExportToVelmor", "Writing the design to the process simulator case..."},
    {"GeneratingDesign", "Generating a design..."},
    {"CompletingDesign", "Completing the design %s..."},
    {"STCalculating", "Calculating the targets..."},
    // The network optimiser's note in a design's change log.
    {"OptFrom", "Optimised from"},
    {"MinArea", " for least area"},
    {"MinTAC", " for least total annual cost"},
    // A match the grid diagram refuses.
    {"NodesUndefined", "Pick a stream segment at both ends of the exchanger."},
    {"NodesUnDefined", "An exchanger joins two stream segments: one end is not on a segment."},
    {"StreamUndefined", "The stream of one end is not in the scenario."},
    {"StreamsForbiddenToMatch", "These two streams are forbidden to match."},
    {"StreamsAreBothUtilitites", "Two utilities cannot be matched with each other."},
    {"StreamsUnDefined", "A stream of the match has incomplete data."},
    {"StreamsBothHot", "Both streams are hot: a match needs a hot and a cold stream."},
    {"StreamsBothCold", "Both streams are cold: a match needs a hot and a cold stream."},
    // What-if events and the design viewer's refusals.
    {"CleaningHENEvent", "Clean heat exchanger"},
    {"AdditionalAreaHENEvent", "Change heat exchanger area"},
    {"AdditionalShellHENEvent", "Change heat exchanger shells"},
    {"SplitflowmodificationEvent", "Change splitter flow"},
    {"HeatExchangerRemovalEvent", "Remove exchanger from service"},
    {"HeatExchangerFoulingEvent", "Change observed heat transfer coefficient"},
    {"StreamFlowrateChangeEvent", "Change stream mass flowrate"},
    {"InletTemperatureChangeEvent", "Change stream inlet temperature"},
    {"WrongRangeForEvent",
     "The cleaning must end after it starts and may not overlap another cleaning of the exchanger."},
    {"WeightInputError", "A weight cannot be negative."},
};
}  // namespace

const MessageText* CaseViewMessageTexts(std::size_t& count) {
    count = sizeof kTexts / sizeof kTexts[0];
    return kTexts;
}
