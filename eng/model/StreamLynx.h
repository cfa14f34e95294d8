#pragma once
// A stream link: the inlet Temperature and the MassFlow of one process stream of a scenario (the
// linked stream) as functions of the other process streams of that scenario (the candidates).
//
//   simple:   Temperature = T(source) + DT           (one Temperature source, A of Temperature = DT)
//   advanced: value = A + Sum(Bi x Ti) + Sum(Ci x Fi) for each of the targets "Temperature" and
//             "MassFlow", each term with an optional lower and upper bound on its source value.
//
// Candidates are positions in the scenario's process-stream order without the linked stream.
// Four term lists name which candidates feed which target: `Temp_Temp` (source Temperature into
// Temperature), `Temp_Flow` (source MassFlow into Temperature), `Flow_Temp` and `Flow_Flow`.
// Each term list has one coefficient, lower bound, upper bound and bound flag per candidate.
//
// A candidate's Temperature is read in the scenario's first design, which the link looks up
// whenever it reads (a design may come and go while the link lives). Streams are only reached
// while the scenario still holds them: a stream deleted from the scenario reads as missing.
//
// Conventions: a target other than "Temperature" / "MassFlow" or a candidate position past the
// end gives -32767.0 for values and 1 for bound flags, and changes nothing.
//
// Sources: StreamLynx.cpp (terms, coefficients, bounds), StreamLynxEvaluate.cpp (reading the
// candidates, evaluation, writing the linked stream), StreamLynxRecord.cpp (the record).
#include "brasko/NotificationSender.h"
#include "dunmor/CPString.h"
#include "osmeri/CPValue.h"
#include "tevrin/CPTypedList.h"

#include <cstdint>
#include <functional>
#include <vector>

class IHENDesign;
class IHeatIntegrationScenario;
class IHeatIntegrationStream;
class ILurmetBinaryFile;

class StreamLynx : public NotificationSender {
public:
    static constexpr int RecordVersion = 5;
    static constexpr double kEmpty = -32767.0;
    // The configuration section of the user preferences that give the default bounds.
    static constexpr const char* PreferenceSection = "Preferences";

    // The four term lists, in the order of the record.
    enum TermList : int { TempTemp = 0, TempFlow = 1, FlowTemp = 2, FlowFlow = 3, NumberOfTermLists = 4 };

    // A new link of `linkedStream`: the candidates are taken from the scenario, both constants
    // and the reference temperature from the linked stream's current values.
    StreamLynx(IHeatIntegrationScenario* scenario, IHeatIntegrationStream* linkedStream);
    // An empty link that its record fills (no stream, no candidates, constants 0.0).
    explicit StreamLynx(IHeatIntegrationScenario* scenario);
    ~StreamLynx() override = default;
    StreamLynx(const StreamLynx&) = delete;
    StreamLynx& operator=(const StreamLynx&) = delete;

    // ---- what the link is ----
    IHeatIntegrationScenario* GetScenario() const { return m_pScenario; }
    // The owner let go of the scenario: the link reads nothing from then on.
    void ForgetScenario() { m_pScenario = nullptr; }
    // The linked stream while the scenario still holds it, else null.
    IHeatIntegrationStream* GetLinkedStream() const;
    int GetNumberOfCandidates() const { return static_cast<int>(m_candidates.Length()); }
    // Candidate i while the scenario still holds it, else null.
    IHeatIntegrationStream* GetCandidate(int i) const;
    const CPTypedList<IHeatIntegrationStream>& GetTermList(TermList list) const { return m_terms[list]; }
    // "Temp_Temp", "Temp_Flow", "Flow_Temp", "Flow_Flow": length of that list; "Temp_All" and
    // "Flow_All": the terms of the Temperature and of the MassFlow target; 0 for another key.
    int GetNumberOfCoefficients(const CPString& key) const;

    bool IsAdvanced() const { return m_nAdvanced != 0; }
    void SetAdvanced(bool advanced) { m_nAdvanced = advanced ? 1 : 0; }
    bool IsModified() const { return m_nModified != 0; }
    void MarkModified() { m_nModified = 1; }
    bool GetAdvancedPreference() const { return m_nAdvancedPreference != 0; }
    void SetAdvancedPreference(bool on) { m_nAdvancedPreference = on ? 1 : 0; }

    // The constant A of a target; -32767.0 for another target.
    double GetConstant(const CPString& target) const;
    // Stores A of a target (nothing for another target).
    void SetConstant(const CPString& target, double value);
    double GetReferenceTemperature() const { return m_dReferenceTemperature; }
    // DT of the simple form.
    double GetSimpleOffset() const { return m_dSimpleOffset; }
    void SetSimpleOffset(double offset) { m_dSimpleOffset = offset; }

    // ---- terms ----
    bool IsTemperatureTerm(const CPString& target, int i) const;
    bool IsMassFlowTerm(const CPString& target, int i) const;
    // On adds candidate i's Temperature as a term of the target with coefficient 1.0 (in a
    // simple link's Temperature target it replaces the one source there is); off removes it
    // with its coefficient, bounds and bound flag. A simple link re-derives DT.
    void SetTemperatureTerm(const CPString& target, int i, bool on);
    // The same for candidate i's MassFlow (no simple-link steps).
    void SetMassFlowTerm(const CPString& target, int i, bool on);
    // Empties the four term lists (coefficients and bounds stay as they are).
    void ClearTermLists();
    // A stream that leaves the scenario stops being a candidate: its terms go with their
    // coefficients and bounds, and the candidates after it move up. False when it was none.
    bool DropCandidate(const IHeatIntegrationStream* stream);
    // A stream that becomes one of the scenario's process streams (a utility made a process stream
    // again) becomes a candidate, with no term, after the others: the scenario files it last
    // among its process streams, and a link read back takes its candidates in that order. False
    // when it is the linked stream or a candidate already.
    bool AddCandidate(IHeatIntegrationStream* stream);
    // Takes over what the user gave `source` (a link of another scenario, this one made for the
    // copy of its linked stream): flags, constants, DT, and each term with its coefficient and
    // bounds where `copyOf` finds the copy of its candidate among this link's candidates. A term
    // of a stream that did not come along goes, as a deleted stream's does.
    void CopyTermsFrom(const StreamLynx& source,
                       const std::function<IHeatIntegrationStream*(const IHeatIntegrationStream*)>& copyOf);

    // ---- coefficients (Bi of Temperature sources, Ci of MassFlow sources) ----
    double GetTemperatureCoefficient(const CPString& target, int i) const;
    double GetMassFlowCoefficient(const CPString& target, int i) const;
    void SetTemperatureCoefficient(const CPString& target, int i, double value);
    void SetMassFlowCoefficient(const CPString& target, int i, double value);
    // Fresh coefficient arrays, one 0.0 per candidate.
    void InitTempTempCoefficients() { ResetArray(m_coefficients[TempTemp]); }
    void InitTempFlowCoefficients() { ResetArray(m_coefficients[TempFlow]); }
    void InitFlowTempCoefficients() { ResetArray(m_coefficients[FlowTemp]); }
    void InitFlowFlowCoefficients() { ResetArray(m_coefficients[FlowFlow]); }

    // ---- bounds on the source values ----
    double GetTemperatureLowerBound(const CPString& target, int i) const;
    double GetTemperatureUpperBound(const CPString& target, int i) const;
    double GetMassFlowLowerBound(const CPString& target, int i) const;
    double GetMassFlowUpperBound(const CPString& target, int i) const;
    void SetTemperatureLowerBound(const CPString& target, int i, double value);
    void SetTemperatureUpperBound(const CPString& target, int i, double value);
    void SetMassFlowLowerBound(const CPString& target, int i, double value);
    void SetMassFlowUpperBound(const CPString& target, int i, double value);
    int IsTemperatureBoundEnabled(const CPString& target, int i) const;
    int IsMassFlowBoundEnabled(const CPString& target, int i) const;
    // Turning a bound off clears both its bounds.
    void EnableTemperatureBound(const CPString& target, int i, int on);
    void EnableMassFlowBound(const CPString& target, int i, int on);
    // The default bound of an enabled term from the user preferences ("TempBoundIndex" 0: a
    // percentage "TempPercentageBoundValue" of the candidate's value, 1: the absolute
    // "TemperatureAbsBoundValue"; "FlowBoundIndex", "FlowPercentageBoundValue" and
    // "MassFlowAbsBoundValue" for MassFlow), stored and returned. -32767.0 when the bound is not
    // enabled or the candidate has no value; 0.0 for another index.
    double SetDefaultTemperatureLowerBound(const CPString& target, int i);
    double SetDefaultTemperatureUpperBound(const CPString& target, int i);
    double SetDefaultMassFlowLowerBound(const CPString& target, int i);
    double SetDefaultMassFlowUpperBound(const CPString& target, int i);
    // Whether the user (or a stored default) gave the bound of a term: a bound of 0 may be a
    // value of its own. Turning the bound off, or the term, forgets it.
    bool IsBoundSet(const CPString& target, int i, bool temperatureSource, bool upper) const;
    // The default bound as SetDefault... would store it, without storing it.
    double DefaultBound(const CPString& target, int i, bool temperatureSource, bool upper) const;

    // ---- values and evaluation ----
    // Candidate i's Temperature in the design: the unit upstream of its end node, looking past a
    // heater there. -32767.0 without a design, a node or the value.
    double GetCandidateTemperature(int i) const;
    // Candidate i's own "MassFlow"; -32767.0 when missing.
    double GetCandidateMassFlow(int i) const;
    // A of a target := the linked stream's current value (-32767.0 when it has none).
    void InitTemperatureConstant();
    void InitMassFlowConstant();
    // The reference temperature := the linked stream's current "Temperature".
    void RefreshStreamTemperature();
    // DT := reference temperature - the Temperature of the (last) `Temp_Temp` source; 0.0 with
    // no such source or when either temperature is missing. A simple link takes DT as A.
    void UpdateSimpleLinkOffset();
    // The value of a target. 0.0 without candidates and for another target; -32767.0 when the
    // scenario has no design or a value it needs is missing. Violated bounds are reported
    // ("TempBound", "FlowBound" with the candidate's name) and the term still counts.
    double Evaluate(const CPString& target);
    // Writes a value into the linked stream's "Temperature" or "MassFlow". 1 when written; a
    // failed Temperature write is reported as "TempUpdateError" with the stream's name.
    int UpdateLinkedStream(const CPString& name, double value);
    // Writes the linked stream's supply temperature back (so its users recalculate) and clears
    // the modified flag.
    void ClearModified();

    // ---- case file ----
    bool Store(ILurmetBinaryFile& file) const;
    // Reads every version from 1 to 5; candidates are rebuilt from the scenario, constants and DT
    // too for a record before version 5.
    bool Recall(ILurmetBinaryFile& file);

private:
    using Doubles = std::vector<double>;
    using Bytes = std::vector<std::uint8_t>;

    // The term list of a target fed by Temperature (`temperatureSource`) or MassFlow sources;
    // -1 for another target.
    static int ListOf(const CPString& target, bool temperatureSource);
    // List of (target, source kind) when i is a candidate position; -1 otherwise.
    int Checked(const CPString& target, int i, bool temperatureSource) const;
    bool IsTerm(int list, int i) const;
    void SetTerm(const CPString& target, int i, bool on, bool temperatureSource);
    void ClearTermValues(int list, std::size_t i);
    double GetArrayValue(const Doubles (&arrays)[NumberOfTermLists], const CPString& target, int i,
                         bool temperatureSource) const;
    void SetArrayValue(Doubles (&arrays)[NumberOfTermLists], const CPString& target, int i, bool temperatureSource,
                       double value);
    void SetBound(const CPString& target, int i, bool temperatureSource, bool upper, double value);
    int IsBoundEnabled(const CPString& target, int i, bool temperatureSource) const;
    void EnableBound(const CPString& target, int i, int on, bool temperatureSource);
    double SetDefaultBound(const CPString& target, int i, bool temperatureSource, bool upper);
    void ResetArray(Doubles& array) const { array.assign(m_candidates.Length(), 0.0); }
    // Candidates, arrays, constants and reference temperature as for a new link.
    void SetUp(IHeatIntegrationStream* linkedStream);
    // The stream while the scenario still holds it, else null.
    IHeatIntegrationStream* Live(IHeatIntegrationStream* stream) const;
    IHENDesign* CurrentDesign() const;
    double LinkedStreamValue(const char* name) const;
    double EvaluateTerms(int list, bool temperatureSource, double value, IHENDesign* design);

    IHeatIntegrationScenario* m_pScenario;
    IHeatIntegrationStream* m_pLinkedStream = nullptr;
    CPTypedList<IHeatIntegrationStream> m_candidates;
    CPTypedList<IHeatIntegrationStream> m_terms[NumberOfTermLists];
    Doubles m_coefficients[NumberOfTermLists];
    Doubles m_lowerBounds[NumberOfTermLists];
    Doubles m_upperBounds[NumberOfTermLists];
    Bytes m_boundEnabled[NumberOfTermLists];
    Bytes m_lowerBoundSet[NumberOfTermLists];
    Bytes m_upperBoundSet[NumberOfTermLists];
    CPValue m_temperatureConstant{"Temperature", 0.0, CPValue::Specified};
    CPValue m_massFlowConstant{"MassFlow", 0.0, CPValue::Specified};
    double m_dReferenceTemperature = kEmpty;
    double m_dSimpleOffset = 0.0;
    std::uint8_t m_nAdvanced = 0;
    std::uint8_t m_nModified = 0;
    std::uint8_t m_nAdvancedPreference = 0;
};
