// English texts of the data extraction's messages: the report's sections, stream entries and
// warnings, and the extraction wizard's errors, captions, page texts and file prompts. Keys
// that take arguments are formats filled in the order the extraction hands them over.
#include "lumeth/ExtractionMessages.h"

namespace {
const MessageText kTexts[] = {
    // The report: recycles and cuts.
    {"ExtractionCompToleranceHigh", "Composition tolerance raised by recycles"},
    {"ExtractionCompToleranceOf", "Recycle %s raises the composition tolerance; its sensitivity is "},
    {"ExtractionTempInversion", "Streams cut where the temperature turns"},
    {"ExtractionTempInversionAt", "The temperature turns at stream %s: the stream was cut there."},
    // Stream entries.
    {"ExtractionStreamNotFullyDefined", "The stream's data are not complete."},
    {"ExtractionAutoAddSegments", "The stream was given %d segments."},
    {"ExtractionFlowsheetObject", "Made from case object %s."},
    // The places are named with what they are: "unit COL", or "stream F3" where a cut ends the chain.
    {"ExtractionOutUnitOpToInUnitOp", "Leaves %s and enters %s."},
    {"ExtractionOutUnitOpToProcessBlock", "Leaves %s and ends the process."},
    {"ExtractionFeedProcessToInUnitOp", "Is a process feed and enters %s."},
    {"ExtractionFeedProcessToProductProcess", "Is a process feed and ends as a product."},
    {"ExtractionStreamSpansUnitOps", "It passes through:"},
    // Assumptions.
    {"ExtractionHeaterOrCooler", "Utility %s is taken for a %s at unit %s."},
    // Warnings: titles, then the lines under them.
    {"ExtractionMultiAttachments", "Streams attached to several units"},
    {"ExtractionMultiAttachmentsWarning", "Stream %s is attached to several units:%s"},
    {"ExtractionTempInversionDirection", "Temperature and heat flow moving against each other"},
    {"ExtractionCheckStreamsInSim", "From stream %s to stream %s the temperature and the heat flow move against each "
                                    "other; check these streams in the simulation."},
    {"ExtractionReboilersAndCondensers", "Reboilers and condensers fed by several streams"},
    {"ExtractionReboilerWarning", "Unit %s, a %s, is fed by %d material streams; the first is taken."},
    {"ExtractionUnableToAdd", "Unit %s could not be placed in the existing network"},
    {"ExtractionUnitsBelowPlacedDuty", "Units the solved case takes below the duty a unit is placed for"},
    {"ExtractionUnitBelowPlacedDuty", "Unit %s carries %s kW in the solved case, less than the 0.1 kW a unit of the "
                                      "existing network is placed for: it keeps its place with that duty."},
    {"ExtractionHeatLoss", "Units losing or leaking heat"},
    {"ExtractionDiscrepancyInFeasibilty", "Exchangers infeasible in the simulation, the network or both"},
    {"ExtractionHXWithDiscrepancy", "Exchanger %s is"},
    {"ExtractionHXVelmorFeasible", "feasible in the simulation and"},
    {"ExtractionHXVelmorInFeasible", "infeasible in the simulation and"},
    {"ExtractionHXTarsilFeasible", "feasible in the network."},
    {"ExtractionHXTarsilInFeasible", "infeasible in the network."},
    {"ExtractionLNGExchangers", "LNG exchangers are not taken into the existing network: %s."},
    {"ExtractionStreamsNotRefreshed", "Streams the refresh left as they were"},
    {"ExtractionSideDuties", "Column side duties not taken as streams"},
    {"ExtractionSideDutySkipped", "Energy stream %s of column %s carries %s kW, too little for a stream (less than "
                                  "0.001 kW, or less than 0.001 kW/C over its stages): it was not extracted."},
    {"ExtractionSideDutyNoStage", "Energy stream %s of column %s (%s kW) is not among the column's feeds "
                                  "(TraysectionFeeds): no stage gives it temperatures."},
    {"ExtractionStreamNotRefreshed", "Stream %s keeps its earlier values: nothing in the case is recorded as making it "
                                     "(live steam, or a stream added by hand)."},
    {"ExtractionSeparatorDirection", "Separators whose temperatures run against their duty"},
    {"ExtractionSeparatorHeatedCools", "Separator %s is given %s kW in the simulation, yet its product leaves at %s C, "
                                       "below its feed at %s C: it was taken as a hot stream with a cooler."},
    {"ExtractionSeparatorCooledHeats", "Separator %s gives up %s kW in the simulation, yet its product leaves at %s C, "
                                       "above its feed at %s C: it was taken as a cold stream with a heater."},
    {"NoUtilForThisTemp", "No default utility serves the temperature of these streams"},
    {"ExtractionNoUtilityForUnit", "Unit %s on stream %s: no utility was found for it, and it was not placed."},
    {"ExtractionUnitStreamNotFollowed", "Unit %s on stream %s: no process stream was made through it (the stream could "
                                        "not be followed there), and it was not placed."},
    {"ExtractionNoUtilityForLiveSteam", "Live steam %s (%s): no hot utility was found for its match."},
    {"ExtractionUnitsNotTaken", "Heat-transfer units not taken into the existing network"},
    {"ExtractionUnitNotTaken", "Unit %s, of class %s, is no kind of unit the existing network takes: its duty is not "
                               "in the network."},
    {"ExtractionDutyNotTaken", "Energy stream %s of unit %s, of class %s, carries %s kW: a duty of a unit of that class "
                               "is not extracted."},
    {"ExtractionPartnerKeptDuty", "Exchanger %s keeps its earlier duty with stream %s, which was not refreshed: stream "
                                  "%s across it was refreshed and may not balance with that duty."},
    {"ExtractionDutyNotTakenBefore", "Energy stream %s of unit %s carries %s kW in the solved case, a duty the "
                                     "extraction did not take: extract the case again to take it."},
    {"ExtractionDutyUnknown", "Energy stream %s of unit %s: the case leaves its heat flow unknown: it was not "
                              "extracted."},
    {"ExtractionDutyTooSmall", "Energy stream %s of unit %s carries %s kW, too little for a stream (less than 0.001 kW, "
                               "or less than 0.001 kW/C over its span): it was not extracted."},
    {"ExtractionVesselHeatedCools", "Unit %s is given %s kW in the simulation, yet its liquid leaves at %s C, below "
                                    "its feed at %s C: it was taken as a hot stream with a cooler."},
    {"ExtractionVesselCooledHeats", "Unit %s gives up %s kW in the simulation, yet its liquid leaves at %s C, above "
                                    "its feed at %s C: it was taken as a cold stream with a heater."},
    {"ExtractionVesselTemperatureUnknown", "Energy stream %s of unit %s: the case leaves %s unknown, so its duty has "
                                           "no temperatures: it was not extracted."},
    {"ExtractionVesselDutyNotTaken", "Unit %s, of class %s, carries a duty of %s kW and no energy stream: its duty is "
                                     "not extracted."},
    {"ExtractionNoUtilityServes", "Heaters and coolers no utility serves at the minimum approach"},
    {"ExtractionNoUtilityServesUnit", "Unit %s on stream %s, from %s to %s C: no utility does its duty at an approach "
                                      "of %s C; it was put on %s."},
    {"ExtractionSplitFlowsRounded", "Tee branches whose flows add up to their feed's but for rounding"},
    {"ExtractionSplitFlowRounded", "The branches of tee %s carry %s kg/s of the %s kg/s fed to it: each branch's share "
                                   "is taken of what the branches carry."},
    {"ExtractionExchangerSides", "Exchangers whose sides do not name their streams"},
    {"ExtractionExchangerSideNotLinked", "Exchanger %s: %s names stream %s, which is not among its %s."},
    {"ExtractionExchangerInletUnnamed", "Exchanger %s: inlet stream %s is named by neither TubeSideFeed nor "
                                        "ShellSideFeed, so its stream ends at the exchanger."},
    {"ExtractionStreamValueMissing", "Stream %s keeps its earlier values: the solved case leaves %s unknown."},
    {"ExtractionStreamDutyUnusable", "Stream %s keeps its earlier values: the solved case gives it %s kW over %s K, a "
                                     "heat-capacity flow rate no stream takes (0.001 to 1e9 kW/C, at least 0.001 kW)."},
    {"ExtractionStreamTurned", "Stream %s keeps its earlier values: the solved case runs it the other way round, "
                               "from %s to %s C; extract the case again to take it."},
    {"ExtractionStreamMeetsKept", "Stream %s keeps its earlier values: it meets stream %s, which keeps its own, where "
                                  "the extraction cut them apart at %s."},
    {"ExtractionSeparatorsSkipped", "Separators not taken as streams"},
    {"ExtractionSeparatorDutyTooSmall", "Separator %s carries %s kW, too little for a stream (less than 0.001 kW): "
                                        "it was not extracted."},
    {"ExtractionSeparatorSpanUnusable", "Separator %s carries %s kW over %s K from its feed to its product, a "
                                        "heat-capacity flow rate no stream takes (0.001 to 1e9 kW/C): it was not "
                                        "extracted."},
    {"ExtractionSeparatorValueUnknown", "Separator %s: the case leaves %s unknown: it was not extracted."},
    {"ExtractionSeparatorClassNotTaken", "Separator %s, of class %s, carries %s kW: a duty of a separator of that "
                                         "class is not extracted."},
    {"ExtractionLiveSteamNotExtracted", "Live steam not taken in full"},
    {"ExtractionLiveSteamTooCold", "Live steam %s at or below 20 C was not extracted."},
    {"ExtractionLiveSteamBelowAmbient", "Live steam %s at %s C, below the ambient %s C, was not extracted."},
    {"ExtractionLiveSteamNoProperties",
     "Live steam %s: no water properties at %s kPa and %s C (or at the ambient temperature); the stream has no "
     "segments."},
    // The wizard: refused settings and files.
    {"NegativeSegmentTolerance", "The segment tolerance must lie between 0 and 1."},
    {"MaxSegmentsTooSmall", "A stream needs at least 2 segments."},
    {"DeltaTcUpdateError", "The DTmin contribution of a utility could not be updated."},
    {"ErrorFingingFile", "The file cannot be found:"},
    {"CouldNotFindVelmorFile", "The process simulator case (.vmc) cannot be found, or the file is not one:"},
    {"NoExtractionToBuild",
     "No data extraction is set up: open the data extraction wizard and choose the simulation file first."},
    {"CouldNotFindUtilityFile", "The utility defaults file (.hud) cannot be found, or the file is not one:"},
    {"CouldNotFindCapCostFile", "The capital cost defaults file (.hcc) cannot be found, or the file is not one:"},
    {"InvalidSimulationFile", "The file is not a simulation file of the chosen kind:"},
    {"RecallPreferenceError", "The defaults file could not be read:"},
    {"HeldUtilitiesLeftAlone", "The defaults file was read; a retrofit base runs on the site streams of these utilities, "
                               "which keep their own values: %s."},
    {"SimulatorFileTypeUnknown", "The simulator file type must be 0 (process simulator), 1 (flowsheet simulator) or 2 "
                                 "(PRO/II)."},
    {"SimulatorFileTypeNoProII", "The simulator file type must be 0 (process simulator) or 1 (flowsheet simulator): "
                                 "PRO/II files cannot be chosen here."},
    {"ExtractionWizardFirstPage", "This is the wizard's first page: there is no page before it."},
    {"ExtractionWizardLastPage", "This is the wizard's last page: there is no page after it."},
    // The wizard: captions, notices and page texts.
    {"FileNameInExtraction", "Data extraction from %s"},
    {"FileNameAndStepsInExtraction", "Data extraction from %s: step %d of %d"},
    {"ExtractionLimitationsNotice", "Streams, utilities and the existing network are taken from the process simulator "
                                    "case; units the extraction does not know are left out."},
    {"QuorvexExtractionLimitationsNotice", "Streams, utilities and the existing network are taken from the flowsheet "
                                           "simulator case; reaction heat and LNG exchangers are not taken."},
    {"StartStaticTextInExtraction", "This wizard takes process streams, utilities and the existing heat exchanger "
                                    "network from a solved simulation."},
    {"Step1StaticTextInExtraction", "1. Choose the simulation file."},
    {"Step2StaticTextInExtraction", "2. Choose the utility defaults."},
    {"Step3StaticTextInExtraction", "3. Choose the capital cost defaults."},
    {"Step4StaticTextInExtraction", "4. Choose the sub-flowsheets to extract."},
    {"Step5StaticTextInExtraction", "5. Choose how streams are segmented."},
    {"Step6StaticTextInExtraction", "6. Choose what else is taken: live steam, reaction heat, pump temperature shifts."},
    {"Step7StaticTextInExtraction", "7. Extract."},
    {"EndStaticTextInExtraction", "The data are extracted into the scenario; the report says what was assumed."},
    {"StaticText1InPageOneInExtraction", "The simulation must be solved before it is extracted."},
    {"StaticText2InPageOneInExtraction", "Each stream is followed through the units that heat or cool it."},
    {"StaticText3InPageOneInExtraction", "Streams are cut where their temperature turns."},
    {"StaticText4InPageOneInExtraction", "Split streams are joined again at their mixers."},
    {"StaticText5InPageOneInExtraction", "Column reboilers and condensers become streams of their own."},
    {"StaticText6InPageOneInExtraction", "Energy streams of columns, vessels and reactors become streams."},
    {"StaticText7InPageOneInExtraction", "Heaters and coolers are matched against utilities."},
    {"StaticText8InPageOneInExtraction", "The existing network becomes the design SimulationBaseCase."},
    {"StaticText9InPageOneInExtraction", "What was assumed and what looks wrong goes into the report."},
    {"TipStaticTextInPageOneInExtraction", "Tip: extract a copy of the scenario to keep the data you have."},
    {"Step1StaticTextInPage2InExtraction", "Step 1: the simulation file."},
    {"Step2StaticTextInPage3InExtraction", "Step 2: the utility defaults."},
    {"Step3StaticTextInPage4InExtraction", "Step 3: the capital cost defaults."},
    {"Step4StaticTextInPage5InExtraction", "Step 4: the sub-flowsheets."},
    {"Step5StaticTextInPage6InExtraction", "Step 5: segmentation."},
    {"Step6StaticTextInPage7InExtraction", "Step 6: live steam, reaction heat and pumps."},
    {"Step7StaticTextInPage8InExtraction", "Step 7: extraction."},
    {"UtilitiesStaticTextInExtraction", "Utility defaults file:"},
    {"CapitalCostStaticTextInExtraction", "Capital cost defaults file:"},
    {"VelmorfileStaticTextInExtraction", "Simulation file:"},
    {"EndStaticTextInPage9InExtraction", "The data of %s were extracted."},
    // The wizard: file prompts.
    {"OpenHIPreferences", "Open defaults file"},
    {"HeatIntegrationUtilityDefaultFile", "Utility defaults files"},
    {"HXCapitalCostDefaultFile", "Capital cost defaults files"},
    {"ImportVelmorFile", "Import process simulator case"},
    {"ImportQuorvexCase", "Import flowsheet simulator case"},
    {"ImportPROIICase", "Import PRO/II case"},
    {"VelmorCase", "Process simulator cases"},
    {"QuorvexBackup", "Flowsheet simulator backups"},
    {"PROIIDataFile", "PRO/II data files"},
    {"AllFiles", "All files"},
};
}  // namespace

const MessageText* ExtractionMessageTexts(std::size_t& count) {
    count = sizeof(kTexts) / sizeof(kTexts[0]);
    return kTexts;
}
