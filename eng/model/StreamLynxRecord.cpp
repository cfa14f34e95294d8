// The record of a stream link (version 5): the linked stream's name, the flags, the four term
// lists by stream name, the candidates' names (since 5), and the per-candidate arrays
// (coefficients since version 1, lower bounds and bound flags since 2, upper bounds since 3, which
// bounds were given since 4), each behind a flag telling whether its term list has a term; then
// (since 5) the two constants and DT as the user gave them. Before version 4 a bound was given
// when it was not 0 (0 stood for "not given"). Since 5 a value is read back into the slot of the
// candidate of its name, so a stream deleted before the store moves no value onto its neighbour;
// older records are read by position, and their constants and DT are worked out again.
#include "eng/model/StreamLynx.h"

#include "brasko/ILurmetBinaryFile.h"
#include "eng/model/IHeatIntegrationScenario.h"
#include "eng/model/IHeatIntegrationStream.h"

bool StreamLynx::Store(ILurmetBinaryFile& file) const {
    RecordHandle record;
    if (!file.BeginRecord(record, RecordVersion)) return false;
    const IHeatIntegrationStream* linked = GetLinkedStream();
    bool ok = file.WriteCPString(linked ? linked->GetName() : CPString()) && file.WriteBool(m_nAdvanced != 0) &&
              file.WriteBool(m_nModified != 0);
    for (const CPTypedList<IHeatIntegrationStream>& terms : m_terms) {
        ok = ok && file.WriteInt(static_cast<std::int32_t>(terms.Length()));
        // A stream the scenario no longer holds is written without a name, which no stream has.
        for (IHeatIntegrationStream* term : terms) {
            const IHeatIntegrationStream* live = Live(term);
            ok = ok && file.WriteCPString(live ? live->GetName() : CPString());
        }
    }
    const std::size_t n = m_candidates.Length();
    ok = ok && file.WriteInt(static_cast<std::int32_t>(n));
    for (std::size_t i = 0; i < n && ok; ++i) {
        const IHeatIntegrationStream* live = Live(m_candidates[i]);
        ok = file.WriteCPString(live ? live->GetName() : CPString());
    }

    auto writeFlags = [&](const Bytes (&arrays)[NumberOfTermLists]) {
        for (int list = 0; list < NumberOfTermLists && ok; ++list) {
            const bool present = m_terms[list].Length() > 0;
            ok = file.WriteBool(present);
            for (std::size_t i = 0; present && i < n && ok; ++i) ok = file.WriteBool(arrays[list][i] != 0);
        }
    };
    auto writeDoubles = [&](const Doubles (&arrays)[NumberOfTermLists]) {
        for (int list = 0; list < NumberOfTermLists && ok; ++list) {
            const bool present = m_terms[list].Length() > 0;
            ok = file.WriteBool(present);
            for (std::size_t i = 0; present && i < n && ok; ++i) ok = file.WriteDouble(arrays[list][i]);
        }
    };
    writeDoubles(m_coefficients);
    writeDoubles(m_lowerBounds);
    writeFlags(m_boundEnabled);
    writeDoubles(m_upperBounds);
    writeFlags(m_lowerBoundSet);
    writeFlags(m_upperBoundSet);
    ok = ok && file.WriteDouble(m_temperatureConstant.GetValue()) && file.WriteDouble(m_massFlowConstant.GetValue()) &&
         file.WriteDouble(m_dSimpleOffset);
    return ok && file.EndRecord(record);
}

bool StreamLynx::Recall(ILurmetBinaryFile& file) {
    RecordHandle record;
    if (!file.BeginRecord(record)) return false;
    const int version = file.GetRecordVersion(record);
    if (version < 1) return file.EndRecord(record);

    CPString name;
    if (!file.ReadCPString(name)) return false;
    IHeatIntegrationStream* linked = nullptr;
    if (m_pScenario && m_pScenario->GetStream(name, linked) && linked) SetUp(linked);

    bool advanced = false, modified = false;
    if (!file.ReadBool(advanced) || !file.ReadBool(modified)) return false;
    m_nAdvanced = advanced ? 1 : 0;
    m_nModified = modified ? 1 : 0;

    for (CPTypedList<IHeatIntegrationStream>& terms : m_terms) {
        std::int32_t count = 0;
        if (!file.ReadItemCount(count)) return false;
        // Names are read one by one: a damaged count runs out of record, it allocates nothing.
        for (std::int32_t k = 0; k < count; ++k) {
            CPString termName;
            if (!file.ReadCPString(termName)) return false;
            for (IHeatIntegrationStream* candidate : m_candidates) {
                if (candidate->GetName() != termName) continue;
                if (!terms.Contains(candidate)) terms.Append(candidate);
                break;
            }
        }
    }

    std::int32_t stored = 0;
    if (!file.ReadInt(stored) || stored < 0) return false;
    const std::size_t n = m_candidates.Length();
    // Where each stored value goes among today's candidates: by name since version 5, by
    // position before; values of a stream the scenario no longer holds are dropped.
    // Names are read one by one, as the term names are: a damaged count runs out of record.
    std::vector<std::int64_t> slots;
    for (std::int32_t i = 0; version >= 5 && i < stored; ++i) {
        CPString candidateName;
        if (!file.ReadCPString(candidateName)) return false;
        std::int64_t slot = -1;
        for (std::size_t k = 0; k < n && !candidateName.empty(); ++k)
            if (m_candidates[k]->GetName() == candidateName) slot = static_cast<std::int64_t>(k);
        slots.push_back(slot);
    }
    auto slotOf = [&](std::int32_t i) -> std::int64_t {
        if (version >= 5) return slots[static_cast<std::size_t>(i)];
        return static_cast<std::size_t>(i) < n ? i : -1;
    };
    auto readDoubles = [&](Doubles (&arrays)[NumberOfTermLists]) {
        for (Doubles& array : arrays) {
            bool present = false;
            if (!file.ReadBool(present)) return false;
            for (std::int32_t i = 0; present && i < stored; ++i) {
                double value = 0.0;
                if (!file.ReadDouble(value)) return false;
                if (slotOf(i) >= 0) array[static_cast<std::size_t>(slotOf(i))] = value;
            }
        }
        return true;
    };
    auto readFlags = [&](Bytes (&arrays)[NumberOfTermLists]) {
        for (Bytes& array : arrays) {
            bool present = false;
            if (!file.ReadBool(present)) return false;
            for (std::int32_t i = 0; present && i < stored; ++i) {
                bool value = false;
                if (!file.ReadBool(value)) return false;
                if (slotOf(i) >= 0) array[static_cast<std::size_t>(slotOf(i))] = value ? 1 : 0;
            }
        }
        return true;
    };
    if (!readDoubles(m_coefficients)) return false;
    if (version >= 2 && (!readDoubles(m_lowerBounds) || !readFlags(m_boundEnabled))) return false;
    if (version >= 3 && !readDoubles(m_upperBounds)) return false;
    if (version >= 4) {
        if (!readFlags(m_lowerBoundSet) || !readFlags(m_upperBoundSet)) return false;
    } else {
        for (int list = 0; list < NumberOfTermLists; ++list)
            for (std::size_t i = 0; i < n; ++i) {
                m_lowerBoundSet[list][i] = m_lowerBounds[list][i] != 0.0 ? 1 : 0;
                m_upperBoundSet[list][i] = m_upperBounds[list][i] != 0.0 ? 1 : 0;
            }
    }

    if (version >= 5) {
        double temperature = 0.0, massFlow = 0.0, offset = 0.0;
        if (!file.ReadDouble(temperature) || !file.ReadDouble(massFlow) || !file.ReadDouble(offset)) return false;
        m_temperatureConstant.SetValue(temperature, CPValue::Specified);
        m_massFlowConstant.SetValue(massFlow, CPValue::Specified);
        m_dSimpleOffset = offset;
    } else {
        UpdateSimpleLinkOffset();
    }
    return file.EndRecord(record);
}
