#pragma once
// One record per pair of a hot and a cold stream of a scenario that could be matched: the
// match's cost-model name (which economic data set costs an exchanger of the match), temperature
// limits, and the values area targeting and automatic design write per match.
#include "dunmor/CPString.h"
#include "tevrin/CPTypedList.h"

#include <memory>
#include <optional>
#include <vector>

class CPDictionary;
class IHeatIntegrationStream;
class ILurmetBinaryFile;

class MatchwiseStreamData {
public:
    static constexpr int RecordVersion = 3;
    static constexpr const char* kDefaultCostModel = "DEFAULT";
    static constexpr double kNoLimit = -273.15;

    MatchwiseStreamData(IHeatIntegrationStream* hot, IHeatIntegrationStream* cold);

    double dFirstValue = 0.0;
    double dCountercurrentArea = 0.0;
    double dShellAndTubeArea = 0.0;
    double dFourthValue = 0.0;
    double dMatchValue = 0.0;
    double dFactor = 1.0;
    double dTolerance[2] = {1e-8, 1e-8};
    int nInteger[2] = {0, 0};
    // 1 when either stream is a utility.
    int nUtility = 0;

    IHeatIntegrationStream* GetHotStream() const { return m_pHot; }
    IHeatIntegrationStream* GetColdStream() const { return m_pCold; }
    bool Involves(const IHeatIntegrationStream* stream) const { return m_pHot == stream || m_pCold == stream; }

    // The cost-model name; a record without one gets "DEFAULT" on first read.
    const CPString& GetCostModelName();
    // Null when the record was never given a name and never read.
    const CPString* PeekCostModelName() const { return m_pCostModelName.get(); }
    void SetCostModelName(const CPString& name) { m_pCostModelName = std::make_unique<CPString>(name); }

    // Keys "HotInlet", "HotOutlet", "ColdInlet", "ColdOutlet"; an unknown key is ignored by the
    // setter and reads -273.15, as does every key before the first limit is set.
    void SetTemperatureLimit(const CPString& key, double value);
    double GetTemperatureLimit(const CPString& key) const;

    // Whether the temperature windows of two matches on one side overlap (touching counts): side 0
    // the hot windows ("HotOutlet" up to "HotInlet"), side 1 the cold ones ("ColdInlet" up to
    // "ColdOutlet").
    static bool LimitsOverlap(const MatchwiseStreamData& a, const MatchwiseStreamData& b, int side);

    // Record version 3: second value, fifth value, factor, the two tolerances; the two integers;
    // the cost-model name; first, third and fourth value. The limits and the utility flag are not
    // stored (the streams are written by the owner before the record).
    bool Store(ILurmetBinaryFile& file) const;
    // Reads versions 1 to 3 (the first value from 2 on, the third and fourth from 3 on); the
    // cost-model name is taken in upper case. On failure the record is unchanged.
    bool Recall(ILurmetBinaryFile& file);
    // Reads past one record (of a match whose streams no longer pair).
    static bool SkipRecord(ILurmetBinaryFile& file);

private:
    IHeatIntegrationStream* m_pHot;
    IHeatIntegrationStream* m_pCold;
    std::unique_ptr<CPString> m_pCostModelName;
    std::optional<std::vector<double>> m_limits;
};

// The match records of a scenario over its streams.
class MatchwiseStreamDataList {
public:
    // Pairs every hot stream of the collection (items IHeatIntegrationStream*) with the cold ones.
    explicit MatchwiseStreamDataList(const CPDictionary* streams);

    // A cold stream is paired with every hot stream of the collection, a hot one with every cold
    // one; an existing pair keeps its record and two utilities are never paired.
    void AddStream(IHeatIntegrationStream* stream);
    // Removes every record that involves the stream.
    void RemoveStream(const IHeatIntegrationStream* stream);
    MatchwiseStreamData* FindMatch(const IHeatIntegrationStream* hot, const IHeatIntegrationStream* cold) const;
    // A new list of the records the stream takes part in on its own side (as hot stream when it
    // is hot, as cold stream when it is cold); null without a stream.
    std::unique_ptr<CPTypedList<MatchwiseStreamData>> GetMatchesOfStream(const IHeatIntegrationStream* stream) const;
    // Gives every record of the pair (by stream names) the model name; 1 when a record changed.
    int SetCostModelName(const CPString& hotName, const CPString& coldName, const CPString& model);
    // Renames every cost model `oldName` to `newName` (economic data set names are compared in
    // upper case, as the manager keys them).
    void RenameCostModel(const CPString& oldName, const CPString& newName);
    // Whether some record names the model (compared without regard to case).
    bool UsesCostModel(const CPString& name) const;
    void Reset();
    void ResetAreaValues();

    int GetNumberOfMatches() const { return static_cast<int>(m_records.size()); }
    MatchwiseStreamData* GetMatch(int index) const;
    CPString& Key() { return m_key; }
    // Reads the key string the scenario's record keeps with the list; a failed read empties it.
    bool RecallKey(ILurmetBinaryFile& file);

private:
    const CPDictionary* m_pStreams;
    std::vector<std::unique_ptr<MatchwiseStreamData>> m_records;
    CPString m_key;
};
