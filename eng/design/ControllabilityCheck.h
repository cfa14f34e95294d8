#pragma once
// Whether a design's network can be controlled: one control record per process stream (selected
// when the stream joins the design), and per sub-network the freedom left once its loops and its
// selected streams are counted. A sub-network with negative freedom makes the network one that
// can not be controlled; the whole network's freedom is reported beside the verdict.
#include "dunmor/CPString.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

class IHeatIntegrationStream;
class ILurmetBinaryFile;
class NetworkStructureAnalysis;

struct ControlUnitRecord {
    IHeatIntegrationStream* stream = nullptr;
    bool selected = true;
    std::uint32_t kind = 0;
    double first = 10.0;
    double second = 0.2;
};

class ControllabilityCheck {
public:
    static constexpr const char* CanBeControlled = "The network can be controlled.";
    static constexpr const char* CanNotBeControlled = "The network can not be controlled.";
    // Kind code answered for a record that does not exist.
    static constexpr std::uint32_t NoRecordKind = 4;

    explicit ControllabilityCheck(NetworkStructureAnalysis* analysis) : m_analysis(analysis) {}

    // A process stream that joins the design gets a selected record of kind 0.
    void StreamAdded(IHeatIntegrationStream* stream, bool selected = true);
    void StreamRemoved(IHeatIntegrationStream* stream);

    int GetNumberOfRecords() const { return static_cast<int>(m_records.size()); }
    const ControlUnitRecord* GetRecord(int index) const;
    const ControlUnitRecord* FindRecord(const IHeatIntegrationStream* stream) const;
    std::uint32_t GetKind(int index) const;
    // Sets the kind code and the two values to 0.0 and 50.0.
    bool SetKind(int index, std::uint32_t kind);
    // Stores the flag; the caller reruns the check.
    bool SetSelected(int index, bool selected);

    // ---- by name, for the case file and for a copy into another scenario ----
    // Record version 1: int32 count; per record the int32 length of the stream's name with its
    // terminating zero, the name's bytes with the zero, the selected flag as one byte.
    static constexpr int RecordVersion = 1;
    using Selections = std::vector<std::pair<std::string, bool>>;
    bool Store(ILurmetBinaryFile& file) const;
    static bool ReadSelections(ILurmetBinaryFile& file, Selections& out);
    Selections CaptureSelections() const;
    // One record per process stream among `streams`: selected as the selections name it, else
    // selected; kind and values of a record kept when the stream already had one.
    void ApplySelections(const Selections& stored, const std::vector<IHeatIntegrationStream*>& streams);

    // Counts the sub-networks of the analysis (already run) and gives the verdict.
    void Run();
    const CPString& GetVerdict() const { return m_verdict; }
    int GetControlSelections() const { return m_selections; }
    int GetRemainingFreedom() const { return m_remaining; }

private:
    NetworkStructureAnalysis* m_analysis;
    std::vector<ControlUnitRecord> m_records;
    CPString m_verdict;
    int m_selections = 0;
    int m_remaining = 0;
};
