#pragma once
// The import of a solved simulator case into a scenario: the case's material streams are joined
// into chains through the units that heat or cool them, cut where the temperature turns, tees and
// their mixers folded into one stream with branches, and each chain that passes a heat-transfer
// unit becomes a process stream with its temperatures, load and segments fitted to the
// simulator's temperature-enthalpy curves. What was assumed and what looks wrong goes into the
// scenario's report.
//
// The import object lives on the case it read (and in the scenario that extracted it); its
// record of which chain made which stream outlives the extraction for a later refresh. Items the
// import makes (boundary items between two streams, duplicates that start or end a chain) are
// given to the case. The document the case came from is never written.
#include "brasko/NotificationSender.h"
#include "dunmor/CPString.h"
#include "dunmor/Createable.h"
#include "eng/extraction/StreamChain.h"
#include "eng/model/IHeatIntegrationScenario.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

class Case;
class CNode;
class CPItem;
class DataExtractionConfig;
class IDefaultUtilityManager;
class IHENDesign;
class IHeatIntegrationStream;
class RalvexInterface;
class ReportHolder;

class VelmorToTarsilImport : public Createable, public virtual NotificationSender {
public:
    using ChainList = std::vector<std::unique_ptr<StreamChain>>;
    static constexpr const char* BaseDesignName = IHeatIntegrationScenario::ExtractedNetworkDesignName;

    VelmorToTarsilImport(IHeatIntegrationScenario* scenario, RalvexInterface* caseInterface, Case* simulatorCase);
    ~VelmorToTarsilImport() override;
    VelmorToTarsilImport(const VelmorToTarsilImport&) = delete;
    VelmorToTarsilImport& operator=(const VelmorToTarsilImport&) = delete;

    // The provider's entry on an opened case: a full extraction, or a refresh when the case asks
    // for one. 1 when it ran; 0 without interface, case or scenario.
    static int CaseCallback(RalvexInterface* caseInterface, Case* simulatorCase, IHeatIntegrationScenario* scenario);

    void Extract();
    // Re-reads the case, solved again, into the streams and the network of the earlier extraction:
    // the same streams and units with new temperatures, loads, duties, coefficients and split
    // fractions, and heaters and coolers that no longer fit their utility moved to one that does.
    // False, with nothing changed, when this object made no extraction (a case reopened, a project
    // read back).
    bool Refresh();
    // Exchanger duties (where the design specifies them), the simulator's coefficients and shells,
    // and the port temperatures reset from the streams' ends.
    // Names the streams that kept their earlier values in the refresh.
    void RefreshExchangerValues(const std::unordered_set<std::string>& kept = {});
    // False, with `missing` naming it, when a unit of the network between the chain's streams
    // had a duty the solved case leaves unknown.
    bool UnitDutiesKnown(const StreamChain& chain, const std::unordered_set<const CPItem*>& networkItems,
                         CPString& missing) const;
    // Heaters and coolers the network finds infeasible go to the utility the rule recommends for
    // their process temperatures.
    void ReassignInfeasibleUtilities();
    // The stream of a column side duty, vessel or reactor duty from its energy stream.
    // False, with the stream untouched, when the energy stream's heat flow is unknown.
    // A shortcut column's stream takes the column's duty and temperature; false, with `missing`
    // naming the value, when the column leaves either unknown. A vessel's or reactor's stream is
    // kept likewise when its feed's or liquid's temperature is unknown; a stream the solved case
    // turns round (a hot one now rising) is kept and said so, with `missing` emptied.
    bool RefreshEnergyStream(IHeatIntegrationStream& stream, CPItem* energyStream, CPItem* unit = nullptr,
                             CPString* missing = nullptr);
    // A two-phase separator's duty stream (cases read from PRO/II files) from the separator again;
    // false, with the stream as it was, as for a vessel's.
    bool RefreshSeparatorDuty(IHeatIntegrationStream& stream, CPItem* separator, CPString* missing = nullptr);
    // The report's warning naming the process streams a refresh left as they were.
    void ReportStreamsNotRefreshed(const std::vector<CPString>& names);
    // A stream the refresh left as it was because the solved case leaves `missing` unknown.
    void ReportStreamValueMissing(const CPString& stream, const CPString& missing);
    // A stream the refresh left as it was because the solved case runs it the other way round,
    // from `supply` to `target`.
    void ReportStreamTurned(const CPString& stream, double supply, double target);
    // A stream emptied and filled again from its chain, as the extraction made it; `scale` fits
    // the load to the simulator's heat-flow change, `columnDuty` takes an isothermal reboiler's or
    // condenser's load from the unit's duty.
    // False, with the stream untouched and `missing` naming the value, when the case leaves a
    // value the stream is made of unknown (an end's temperature; both heat flows and the curves).
    bool RefreshProcessStreamData(IHeatIntegrationStream& stream, const StreamChain& chain, bool scale, bool columnDuty,
                                  CPString* missing = nullptr);
    // Whether the case gives what a stream of the chain is made of (its ends' temperatures, and its
    // heat flows, curves or, for an isothermal column end with `columnDuty`, its unit's duty);
    // false with `missing` naming the first value it leaves unknown.
    bool ChainValuesKnown(const StreamChain& chain, bool columnDuty, CPString* missing) const;
    // The process streams the extraction cut from one line of the case, in flow order (indexes into
    // the chains of the streams), each meeting the next at the case stream the cut was made at.
    struct CutLine {
        std::vector<std::size_t> chains;
        std::vector<const CPItem*> points;
    };
    std::vector<CutLine> CutLines() const;
    // A stream that meets a kept stream where a cut parted them keeps its earlier values too: the
    // two would no longer meet at one temperature. Each is named in the report with the stream it
    // meets, and joins `kept`.
    void KeepStreamsMeetingKept(std::unordered_set<std::string>& kept);
    // The warning "Temperature_reversal" judged again from the solved case over each line of
    // streams, as an extraction of the solved case would cut them; lines of chains that made no
    // stream keep what the extraction said of them.
    void RestateTemperatureReversals();

    // ---- chains ----
    CPItem* FindChainContinuation(const StreamChain& chain) const;
    // Joins each chain with the chain its continuation starts; a chain that returns to its own
    // start ends on a copy of its first stream.
    void JoinChains(ChainList& chains);
    // Puts a boundary item between every two material streams linked directly.
    void InsertBoundaryItems(const std::vector<CPItem*>& materialStreams);
    // Cuts the front off a chain where its temperature (or enthalpy) turns, or at a valve, pump
    // or pipe segment; the cut-off part, or null.
    std::unique_ptr<StreamChain> SplitChainAtReversal(StreamChain& chain, ReportHolder* report, bool useTemperature,
                                                      double shiftTempsForPumps);
    void SplitChainsAtReversals(ChainList& chains);
    // Where a chain is cut, as SplitChainAtReversal would cut it: the stream the part before the
    // cut ends on (null for no cut), and in `turns` whether the temperature turned there. Nothing
    // is changed.
    CPItem* FindReversalCut(const StreamChain& chain, bool useTemperature, double shiftTempsForPumps, bool& turns) const;
    // The item a stream leaves, past a copy the extraction spliced in before it where a cut ended
    // the chain before it there.
    CPItem* UpstreamPastCopy(CPItem* stream) const;
    // A copy of the item named after it with "Duplicate", spliced in upstream (placement 1) or
    // downstream of it; null when the name is taken or there is no neighbour on that side.
    CPItem* DuplicateCaseItem(CPItem* item, int placement);
    CPItem* AddCaseItem(const CPString& name, const CPString& className);

    // ---- tees and mixers ----
    void PairSplittersAndMixers(ChainList& chains);
    void MergeTeeMixerPairs(std::vector<CPItem*>& tees, std::vector<CPItem*>& mixers, ChainList& chains);
    // 0 gives off heat, 1 takes it up, 2 undetermined.
    static int ChainDirection(const StreamChain& chain);
    // The chains (not owned) that become process streams of that direction.
    std::vector<StreamChain*> SelectProcessChains(int direction, const ChainList& chains) const;
    static bool TouchesHeatTransfer(const StreamChain& chain);

    // ---- stream data ----
    void AddProcessStreamData(const CPString& streamName, const StreamChain& chain, bool scale, double givenLoad);
    std::vector<double> ReadPropertyCurve(const StreamChain& chain, const CPString& dataSet,
                                          const CPString& propertyKey) const;

    // ---- columns, live steam, energy streams, simulation utilities ----
    // Each column reboiler and condenser becomes a process stream from its feed to its product.
    void ExtractReboilersAndCondensers();
    // Steam injected into the process: a cold stream heating water from ambient to the steam.
    void ExtractLiveSteam();
    // The segments of a live-steam stream (temperatures in C, pressure in kPa): liquid from
    // ambient to the boiling start, the boiling band, superheat. `temperature` is the steam's,
    // raised to the band's end for saturated steam. No segments and `propertiesMissing` where
    // the steam functions have no answer.
    struct LiveSteamProfile {
        struct Segment {
            double from, to, specificHeat, coefficient;
        };
        std::vector<Segment> segments;
        double temperature = 0.0;
        double boilingPoint = -32767.0;
        bool propertiesMissing = false;
    };
    static LiveSteamProfile WorkOutLiveSteam(double ambient, double temperature, double pressure,
                                             double vapourFraction, bool subCool, bool superHeat);
    // The material stream a feed block feeds when it is live steam by where it goes (into a unit
    // that is no heat-transfer equipment); null otherwise.
    CPItem* LiveSteamFeed(CPItem* block) const;
    // Duties on energy streams of tray sections, vessels, reactors and shortcut columns.
    void ExtractEnergyStreams();
    // Whether an energy stream's duty (q, as the case gives it) makes a stream by its unit's rule;
    // one that does not is named in the report with the case's values.
    bool EnergyStreamTaken(CPItem* energyStream, CPItem* unit, double& q);
    // The energy streams of vessels, reactors and columns the extraction did not take, said again
    // from the solved case.
    void RestateEnergyStreamsNotTaken();
    // Duties of two-phase separators (cases read from PRO/II files only).
    void ExtractSeparatorDuties();
    // The case's own utilities into the scenario's default utilities; with `updateStreams` the
    // scenario's utility streams of those names are refilled from them.
    void ImportSimulationUtilities(bool updateStreams);
    const std::vector<CPItem*>& GetUtilityItems() const { return m_utilityItems; }

    // ---- the existing network (the base design) ----
    // The case's exchangers, heaters and coolers as units of the base design, with the design
    // then finished for its calculation.
    void ExtractExistingNetwork();
    // The case's own utilities as utility streams, with their temperatures on the design.
    void AddSimulationUtilityStreams();
    void AddExchangerFromItem(CPItem* item);
    void AddUtilityExchangerFromItem(CPItem* item);
    // The utility for a heater (`heating`) or cooler taking its process side from `from` to `to`:
    // `recommended` when it does the duty at the scenario's DTmin, else the cheapest default utility
    // that does; where none does, `recommended` (possibly empty), and the report names the unit
    // when there is one.
    CPString ServingUtility(IDefaultUtilityManager& manager, const char* recommended, bool heating, double from,
                            double to, const CPString& unit, const CPString& stream);
    // Whether the utility does that duty at DTmin; true where its temperatures or the unit's are
    // not known (nothing to judge by).
    bool UtilityServes(IDefaultUtilityManager& manager, const CPString& name, bool heating, double from, double to) const;
    // The design stream node an exchanger side for this case stream goes in at; null when none.
    CNode* FindInsertionNodeForStream(CPItem* caseStream) const;
    // The stream node at one of the exchanger's ports (side 1 inlets, 2 outlets) that belongs to
    // the case stream's scenario stream.
    CNode* FindExchangerPortNode(const CPItem* caseStream, CNode* exchanger, int portSide) const;
    void ReleaseInternalTemperatures(CPItem* unit);
    void RemoveRemovableUtilities(CPItem* unit);
    void SetDutyFromHeatFlows(CPItem* unit);
    // A unit whose duty is fixed, with a utility placeholder before it on a stream and another
    // after it (past further units of fixed duty), gives up the one on its inlet side; whether
    // it gave one up.
    // `settled`: the given temperatures the round's walks reached so far (one placeholder each).
    bool DropPlaceholderBeforeFixedDuty(CPItem* unit, std::unordered_set<const CNode*>& settled);
    void PrepareExchangerDuties();
    // "AddToHeaterList", "AddToCoolerList", "DoNotAdd", or null for other classes.
    static const char* ClassifyFlowUnit(const CPItem* unit);
    // Puts units in the plant's order: by process stream, depth along it, then name.
    void SortByPlacePosition(std::vector<CPItem*>& units) const;
    // Units a refresh placed take their places in the design's order of units where an extraction
    // of the solved case would have placed them.
    void PutInPlantOrder(const std::vector<CPItem*>& placed);
    void ParallelizeSeriesExchangers();
    // The heaters or coolers on one utility as parallel branches of it.
    void ParallelizeUtility(IHeatIntegrationStream& stream);
    // Heaters and coolers that pass heat to each other through an energy stream become one
    // process-to-process exchanger.
    void JoinEnergyStreamPairs();
    // The design unit that stands for a case heater, cooler, condenser or reboiler (its name goes
    // to `name`), or for the duty of a separator, tank or tray section on the energy stream's own
    // stream; null when there is none.
    CNode* DesignUnitForCaseUnit(const CPItem* energyStream, const CPItem* unit, CPString& name) const;
    // The inlet and outlet temperatures of the exchanger's hot and cold sides as the simulator
    // computed them, for the feasibility check.
    void StoreSimulatorSideTemperatures(const CPItem* caseExchanger, CNode* designExchanger);
    // Splitters, branches and mixers of a chain's tees on its stream, with their fractions.
    void ExtractBranches(const StreamChain& chain, IHENDesign& design, IHeatIntegrationStream& stream);
    void RefreshSplitFractions(const StreamChain& chain, IHENDesign& design, IHeatIntegrationStream& stream);
    // The flow a tee's branch shares are taken of: the tee's inflow, or the branches' own sum
    // where they carry it all but for the simulation's rounding (said in the report when `note`).
    double BranchShareBase(CPItem* tee, double inflow, bool note);
    const std::vector<CPItem*>& GetExistingNetworkItems() const { return m_existingNetworkItems; }
    CPItem* GetExchangerItem(const CPString& name) const;
    // The name a case unit is placed under: its own, or, where the base design holds a unit of
    // that name already (one an earlier extraction into the scenario placed), the first free one
    // after it. The unit of this extraction found again by its case unit; null when not placed.
    CPString NameForNewUnit(const CPItem* unit) const;
    CNode* NetworkUnitOf(const CPItem* unit) const;

    // ---- report ----
    // The stream's entry under "Streams" for a stream made from one case object.
    void ReportNewStream(const CPItem* item, const CPString& name, IHeatIntegrationStream* stream);
    // The entry of a process stream made from a chain, and the temperature-enthalpy check.
    void ReportProcessStream(const StreamChain& chain, const CPString& name);
    void CheckMultipleAttachments(const CPItem* item);
    void CheckReboilerFeeds(const CPItem* unit);
    void ReportPlacementFailure(const CPItem* unit);
    // The placement warning's line for a unit, up to its load when `withLoad` is false.
    static CPString PlacementFailureText(const CPItem* unit, bool withLoad);
    // Takes the units' lines out of the placement warning (a refresh says them again as it finds them).
    void WithdrawPlacementFailures(const std::vector<const CPItem*>& units);
    // Takes the lines that begin with one of `starts` out of a warning section.
    void WithdrawWarningLines(const char* section, const std::vector<std::string>& starts);
    // The placement warnings of units the network could not take said again with the loads the
    // case now gives (a unit left out for its small duty is said again where it is placed or not).
    void RestatePlacementFailures();
    // Takes a warning out of the report whole: a refresh makes it again from the solved case.
    void WithdrawWarning(const char* section);
    // A column side duty the extraction passed over or could not place on a stage: the warning
    // `key` (a message with the energy stream, the column and the duty in kW).
    void ReportSideDuty(const char* key, const CPString& energyStream, const CPItem* column, double duty);
    // A separator whose feed and product temperatures turn its heat the other way from the sign of
    // the simulator's duty (a letdown flash given heat cools): the stream follows the temperatures,
    // and the report says so.
    void ReportSeparatorAgainstDuty(const CPItem* separator, double duty, double feed, double product);
    // The same for a vessel or reactor given a duty on an energy stream.
    void ReportVesselAgainstDuty(const CPItem* vessel, double duty, double feed, double product);
    void CheckHeatLoss(const CPItem* unit);
    // The warning under `section` (created with the title of `titleKey`) with one line of text.
    void ReportWarning(const char* section, const char* titleKey, const CPString& line);
    // Heat-transfer equipment of a class the existing network does not take.
    void ReportUnitNotPlaced(const CPItem* unit);
    // Exchangers whose side texts ("TubeSideFeed", ...) name a stream not linked to them there, or
    // leave an inlet unnamed: the stream fed there ends at the exchanger.
    void CheckExchangerSides();
    // Exchangers of the base design that are feasible in the simulation and not in the network,
    // or the other way round.
    void CheckExchangerFeasibility();

    // ---- names ----
    CPString MakeProcessStreamName(const CPItem* inlet, const CPItem* outlet) const;
    static void CleanObjectName(CPString& name);
    // The name itself when `taken` says it is free, else the first free of name_2, name_3, ...:
    // what the extraction makes never takes a name the case or the scenario holds already.
    static CPString FreeName(const CPString& name, const std::function<bool(const CPString&)>& taken);
    // Free among the case's items; among the scenario's streams; among the case's items and the
    // base design's nodes (a unit the extraction adds to the network).
    CPString FreeCaseItemName(const CPString& name) const;
    CPString FreeStreamName(const CPString& name) const;
    CPString FreeUnitName(const CPString& name) const;

    // ---- what the extraction left ----
    const std::vector<std::pair<CPString, std::unique_ptr<StreamChain>>>& GetStreamChains() const { return m_streamChains; }
    const StreamChain* GetStreamChain(const CPString& streamName) const;
    // Reboiler and condenser stream name to the chain of its feed and product.
    const std::vector<std::pair<CPString, std::unique_ptr<StreamChain>>>& GetReboilerChains() const { return m_reboilerChains; }
    // Stream name to the energy stream whose duty it carries.
    const std::vector<std::pair<CPString, CPItem*>>& GetEnergyStreamItems() const { return m_energyStreamItems; }
    // The composition tolerance the recycles left (after its widening by ten).
    double GetCompositionTolerance() const { return m_compositionTolerance; }
    // The scenario's design of the existing network, fetched by name (null when there is none).
    IHENDesign* GetBaseDesign() const;
    const std::vector<CPItem*>& GetExtractedItems() const { return m_extractedItems; }

    // Composition signature of mole fractions rounded to the tolerance (sqrt, then to a multiple
    // of the tolerance): the CRC-16 of the rounded vector's bytes.
    static std::uint16_t CompositionSignatureOf(const std::vector<double>& fractions, double tolerance);
    static double RoundMoleFraction(double x, double tolerance);

private:
    // The simulator's coefficient and shell counts of a case exchanger on a design exchanger.
    void WriteSimulatorCoefficients(const CPItem* item, CNode* unit);
    // Supply, target and mass flow of a stream from its chain's ends; the simulator's load comes
    // back in `dH` (-32767 without a target), the temperatures in `supply` and `target`.
    void SetStreamEnds(IHeatIntegrationStream& stream, const StreamChain& chain, double& supply, double& target,
                       double& dH);
    // The raw temperature-enthalpy and property curves of the chain, sorted, on the stream; false
    // when the chain's units hold no curve.
    bool WriteRawData(IHeatIntegrationStream& stream, const StreamChain& chain);
    // Every duplicate takes its source's present values (its own stream name stays).
    void RefreshDuplicates();
    struct Walk;
    void WalkItems(Walk& walk, DataExtractionConfig* config, double utilityDatabase);
    // Each material stream's composition signature ("CompositionCRC") for the composition groups.
    void AssignCompositionSignatures(const std::vector<CPItem*>& materialStreams);
    void ReadRecycleTolerances(const std::vector<CPItem*>& recycles, ReportHolder* report);
    void MakeProcessStreams(ChainList& chains, DataExtractionConfig* config);
    // Removes the streams this extraction made whose load is below what a unit of the network is
    // placed for and on which the network has no unit; whether any went.
    bool RemoveStreamsOfUnplacedDuties();
    ReportHolder* Report() const;
    // The duty rules: a scenario stream for the duty, and a heater or cooler of its own in the
    // case between two material streams of its own.
    struct DutyUnit;
    DutyUnit MakeDutyUnit(const CPString& name);
    IHeatIntegrationStream* AddDutyStream(const CPString& name);
    void RecordEnergyStream(const CPString& name, CPItem* energyStream, CPItem* unit);
    void TraySectionDuty(CPItem* energyStream, CPItem* unit, double heatFlow);
    void VesselDuty(CPItem* energyStream, CPItem* unit, double heatFlow);
    // Whether a vessel's or reactor's (`vessel`) or a shortcut column's duty makes a stream: at
    // least 0.001 kW, and at least 0.001 kW/C over the stream's span.
    bool DutyFitsAStream(CPItem* energyStream, CPItem* unit, double heatFlow, bool vessel) const;
    void ShortcutColumnDuty(CPItem* energyStream, CPItem* unit);
    // The stream of a shortcut column's reboiler (energy stream into the column) or condenser
    // duty (out of it): from half a degree below or above the column's temperature there to it,
    // with the load of the column's duty. With `missing`, false and the stream as it was, naming
    // the value, when the column leaves either unknown.
    bool ShortcutColumnEnd(IHeatIntegrationStream& s, CPItem* energyStream, CPString* missing = nullptr) const;
    // Whether the item is among the extraction's items (by an index over the list).
    bool IsExtracted(const CPItem* item);
    void ClearExtractedItems();
    // Economics, utility and base-design exchanger of a live-steam stream.
    void MatchLiveSteam(const CPString& name, double temperature);
    void ReportHeatersAndCoolers(ReportHolder* report);
    double Setting(const char* name, double missing = 0.0) const;

    IHeatIntegrationScenario* m_scenario;
    RalvexInterface* m_caseInterface;
    Case* m_case;
    // Property key of the simulator's tables to the stream's raw data set, in column order.
    std::vector<std::pair<CPString, CPString>> m_propertyDataSets;
    std::vector<CPItem*> m_extractedItems;
    std::unordered_set<const CPItem*> m_extractedSet;
    std::size_t m_extractedIndexed = 0;
    // Scenario stream name to the chain it was made from, in the order the streams were made.
    std::vector<std::pair<CPString, std::unique_ptr<StreamChain>>> m_streamChains;
    std::unordered_map<std::string, std::size_t> m_streamChainIndex;
    std::vector<CPItem*> m_utilityItems;
    std::vector<std::pair<CPString, std::unique_ptr<StreamChain>>> m_reboilerChains;
    std::unordered_map<std::string, std::size_t> m_reboilerChainIndex;
    std::vector<std::pair<CPString, CPItem*>> m_energyStreamItems;
    // The column, vessel or reactor each of those energy streams served, parallel to the list:
    // once extracted, an energy stream also feeds the heater or cooler made for its duty.
    std::vector<CPItem*> m_energyStreamUnits;
    std::unordered_map<std::string, std::size_t> m_energyStreamIndex;
    // The energy streams, with their units, whose duty the extraction did not take.
    std::vector<std::pair<CPItem*, CPItem*>> m_energyStreamsNotTaken;
    double m_compositionTolerance = 0.01;
    // Exchangers, heaters and coolers of the case that the network holds (or was meant to).
    std::vector<CPItem*> m_existingNetworkItems;
    void ForgetNetworkItem(const CPItem* item);
    // Units left out of the network for a duty below the smallest placed (or not known): a refresh
    // that gives them one places them.
    std::vector<CPItem*> m_leftOutForDuty;
    // The units the placement warning names, in the order it named them first.
    std::vector<const CPItem*> m_placementFailures;
    std::unordered_set<const CPItem*> m_placementFailed;
    void LeaveOutForItsDuty(CPItem* item);
    void PlaceUnitsGivenADuty();
    // The heat of the units left out for their duty, each on the heater or cooler of the network
    // that stands next to it on its stream (nearest by inlet temperature): the stream keeps the
    // heat the case gives it, and a unit of the network does it at no cost of a unit of its own.
    // A unit's extra duty by the case unit it stands for, and the duty it is given with it.
    std::unordered_map<const CPItem*, double> m_leftOutDutyTaken;
    void AssignLeftOutDuties();
    double WithLeftOutDuty(const CPItem* unit, double duty) const;
    // Base-design unit name to the case unit it stands for, and back.
    std::unordered_map<std::string, CPItem*> m_exchangerItems;
    std::unordered_map<const CPItem*, CPString> m_unitNames;
    // Copies the extraction made of case streams, each with its source, in the order made.
    std::vector<std::pair<CPItem*, CPItem*>> m_duplicates;
    std::unordered_map<const CPItem*, CPItem*> m_duplicateSources;
    // Whether the item is one of those copies.
    bool IsDuplicate(const CPItem* item) const { return m_duplicateSources.count(item) != 0; }
    // The case item a copy stands for; the item itself when it is none.
    const CPItem* CaseItemBehind(const CPItem* item) const {
        const auto it = m_duplicateSources.find(item);
        return it == m_duplicateSources.end() ? item : it->second;
    }
    // The heaters and coolers the extraction made to stand for a shortcut column's duties: their
    // streams hold no heat flows, the unit its duty.
    std::unordered_set<const CPItem*> m_dutyUnits;
    // Duty stream name to its unit: a refresh gives the unit the duty the stream takes again.
    std::unordered_map<std::string, CPItem*> m_dutyUnitOfStream;
    void DutyUnitFollowsStream(IHeatIntegrationStream& stream);
    // Duty stream name to the two-phase separator whose duty it carries.
    std::unordered_map<std::string, CPItem*> m_separatorOfStream;
    // A duty stream's new ends, when they run the stream's way and the duty is one a stream holds
    // over them; otherwise false, with the stream as it was, the report saying why, and `missing`
    // emptied.
    bool WriteDutyStreamEnds(IHeatIntegrationStream& stream, double supply, double target, double duty,
                             CPString* missing);
    // Whether this object extracted its case (only then has it anything to refresh).
    bool m_extracted = false;
};
