#pragma once
// One heat-transfer-coefficient default: a named film coefficient offered for streams ("Brine",
// "Kerosene" ...) with a free note.
#include "dunmor/CPString.h"

class ILurmetBinaryFile;

class DefHeatTransferCoefficient {
public:
    static constexpr int RecordVersion = 1;

    DefHeatTransferCoefficient() = default;
    DefHeatTransferCoefficient(const CPString& name, double value, const CPString& note = CPString())
        : m_name(name), m_value(value), m_note(note) {}
    DefHeatTransferCoefficient(const DefHeatTransferCoefficient&) = default;
    DefHeatTransferCoefficient& operator=(const DefHeatTransferCoefficient&) = default;
    virtual ~DefHeatTransferCoefficient() = default;

    const CPString& GetName() const { return m_name; }
    double GetHTCValue() const { return m_value; }  // kW/(m2 C)
    const CPString& GetNote() const { return m_note; }
    void SetName(const CPString& name) { m_name = name; }
    void SetHTCValue(double value) { m_value = value; }
    void SetNote(const CPString& note) { m_note = note; }

    // Record version 1: name, value, note.
    bool Store(ILurmetBinaryFile& file) const;
    // On failure the entry is left as it was.
    bool Recall(ILurmetBinaryFile& file);

private:
    CPString m_name;
    double m_value = 0.0;
    CPString m_note;
};
