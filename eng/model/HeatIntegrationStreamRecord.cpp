// The stream record of the case file (version 5, 6 for a utility that keeps the process data it
// had, 7 for a utility that earns a credit and holds a price it pays) and the migrations of
// versions 1 to 4.
#include "eng/model/HeatIntegrationStream.h"

#include "brasko/ILurmetBinaryFile.h"
#include "dunmor/Units.h"
#include "eng/model/IStreamOwner.h"
#include "eng/model/CaseValueLimits.h"
#include "eng/model/StreamValueNames.h"
#include "osmeri/CPValue.h"

#include <cmath>

namespace N = StreamValueNames;

bool CPIHeatIntegrationStream::Store(ILurmetBinaryFile& file) const {
    RecordHandle h;
    bool ok = file.BeginRecord(h, StoredRecordVersion()) && file.WriteDouble(m_dCachedHeatLoad[0]) &&
              file.WriteDouble(m_dCachedHeatLoad[1]) && file.WriteDouble(GetStoredValue()) &&
              file.WriteDouble(LoadFractionAt(0)) && file.WriteDouble(LoadFractionAt(1)) &&
              file.WriteDouble(GetCostIndex()) && file.WriteInt(StoredLoadFlag(0)) && file.WriteInt(StoredLoadFlag(1)) &&
              file.WriteInt(m_nStoredInt) && file.WriteCPString(m_strName) && m_set.Store(file);

    const std::vector<CPString> links = GetLinkedStreamNames();
    ok = ok && file.WriteBool(!links.empty());
    if (ok && !links.empty()) {
        ok = file.WriteLong(static_cast<std::int32_t>(links.size()));
        for (const CPString& name : links) ok = ok && file.WriteCPString(name);
    }
    ok = ok && file.WriteInt(m_nKind) && file.WriteInt(m_nHotCold) && file.WriteBool(m_bHasDesignSegments);
    if (ok && DesignList()) {
        ok = file.WriteLong(static_cast<std::int32_t>(DesignList()->size()));
        for (const auto& s : *DesignList()) ok = ok && s->Store(file);
    }
    ok = ok && file.WriteBool(m_bLocked);
    // A utility that was a process stream keeps the rates and loads it was given as one, so
    // that it gets them back when it is made a process stream again after a reopen too. Only
    // such a stream needs the later version: every other stream writes the record it always did.
    const int version = StoredRecordVersion();
    if (ok && version >= KeptProcessValuesVersion) {
        const std::vector<Rare::KeptValue>* kept = KeptProcessValues();
        ok = file.WriteBool(kept != nullptr);
        if (ok && kept) {
            ok = file.WriteLong(static_cast<std::int32_t>(kept->size()));
            for (const Rare::KeptValue& v : *kept)
                ok = ok && file.WriteInt(v.name == N::Enthalpy ? 1 : 0) && file.WriteInt(v.index) &&
                     file.WriteDouble(v.value);
        }
    }
    // A utility that earns a credit shows it by its price while the price is one; given a price
    // it pays, the record says it.
    if (ok && version >= EarnsCreditVersion) ok = file.WriteBool(true);
    return ok && file.EndRecord(h);
}

int CPIHeatIntegrationStream::StoredRecordVersion() const {
    if (EarnsCredit() && GetCostIndex() >= 0.0) return EarnsCreditVersion;
    return KeptProcessValues() ? KeptProcessValuesVersion : RecordVersion;
}

bool CPIHeatIntegrationStream::RecallKeptProcessValues(ILurmetBinaryFile& file, bool mayBeNone) {
    namespace L = CaseValueLimits;
    // Only a utility that was a process stream writes them, and only with what it kept: a record
    // that says it kept nothing where nothing else makes it this version, or a process stream's,
    // is none the writer makes.
    bool present = false;
    if (!file.ReadBool(present)) return false;
    if (!present) return mayBeNone;
    if (m_nKind != KindUtility) return false;
    std::int32_t count = 0;
    if (!file.ReadItemCount(count) || count < 1 || count > 2 * StreamPropertySet::MaxSegments) return false;
    auto kept = std::make_unique<std::vector<Rare::KeptValue>>();
    for (std::int32_t i = 0; i < count; ++i) {
        std::int32_t which = 0, index = 0;
        double value = 0.0;
        if (!file.ReadInt(which) || !file.ReadInt(index) || !file.ReadDouble(value)) return false;
        if ((which != 0 && which != 1) || index < 0 || index >= StreamPropertySet::MaxSegments) return false;
        // What comes back when the stream is a process stream again holds to what a stream table
        // takes: a cp in its range, a segment load (held negative on a cold stream) of a size a
        // segment can carry.
        const bool load = which == 1;
        const double size = std::fabs(value);
        if (!std::isfinite(value) || (load ? size < L::MinDuty || size > L::MaxDuty : value < L::MinCp || value > L::MaxCp))
            return false;
        kept->push_back(Rare::KeptValue{load ? N::Enthalpy : N::HeatCapacityFlowrate, index, value});
    }
    TheRare().processValues = std::move(kept);
    return true;
}

bool CPIHeatIntegrationStream::Recall(ILurmetBinaryFile& file) {
    RecordHandle h;
    if (!file.BeginRecord(h)) return false;
    const int version = file.GetRecordVersion(h);
    // A later version holds fields this reader does not know.
    if (version > EarnsCreditVersion) return false;

    if (!file.ReadDouble(m_dCachedHeatLoad[0]) || !file.ReadDouble(m_dCachedHeatLoad[1])) return false;
    // The placed temperature, the load fractions and the cost index, each stored as soon as read.
    struct RareRead {
        double Rare::*member;
        double defaultValue;
    };
    static constexpr RareRead kRareReads[] = {{&Rare::storedValue, 0.0},
                                              {&Rare::loadFraction0, DefaultLoadFraction},
                                              {&Rare::loadFraction1, DefaultLoadFraction},
                                              {&Rare::costIndex, DefaultCostIndex}};
    for (const RareRead& r : kRareReads) {
        double value = 0.0;
        if (!file.ReadDouble(value)) return false;
        SetRareValue(r.member, value, r.defaultValue);
    }
    if (m_pRare) m_pRare->earnsCredit = m_pRare->costIndex < 0.0;
    if (!file.ReadInt(m_bLoadInStep[0]) || !file.ReadInt(m_bLoadInStep[1]) || !file.ReadInt(m_nStoredInt))
        return false;
    CPString name;
    if (!file.ReadCPString(name)) {
        m_strName.clear();
        return false;
    }
    m_strName = name;
    if (!m_set.Recall(file)) return false;

    // Linked streams: a stream read earlier is linked at once (both ways); a name whose stream is
    // not read yet waits for ResolvePendingLinks.
    bool hasLinks = false;
    if (!file.ReadBool(hasLinks)) return false;
    if (hasLinks) {
        std::int32_t count = 0;
        if (!file.ReadItemCount(count)) return false;
        for (std::int32_t i = 0; i < count; ++i) {
            CPString linked;
            if (!file.ReadCPString(linked)) return false;
            auto* other = m_pOwner ? dynamic_cast<CPIHeatIntegrationStream*>(m_pOwner->FindStream(linked)) : nullptr;
            if (other && other != this) JoinLinks(other, false);
            else if (!IsLinkedTo(linked)) {
                if (!PendingLinks()) TheRare().pendingLinkNames = std::make_unique<std::vector<CPString>>();
                PendingLinks()->push_back(linked);
            }
        }
    }

    std::int32_t kind = 0, hotCold = 0;
    if (!file.ReadInt(kind) || !file.ReadInt(hotCold)) return false;
    const bool knownKind = kind == KindProcess || kind == KindUtility || kind == KindLinked || kind == KindNotSet;
    if (!knownKind || hotCold < SideHot || hotCold > SideUndetermined) return false;
    m_nKind = kind;
    m_nHotCold = hotCold;

    bool hasSegments = false;
    if (!file.ReadBool(hasSegments)) return false;
    if (hasSegments) {
        std::int32_t count = 0;
        if (!file.ReadItemCount(count) || count > StreamPropertySet::MaxSegments) return false;
        m_designSegments.clear();
        m_bHasDesignSegments = true;
        for (std::int32_t i = 0; i < count; ++i) {
            auto segment = std::make_unique<StreamSegment>();
            segment->pStream = this;
            if (!segment->Recall(file)) return false;
            DesignList()->push_back(std::move(segment));
            // Before version 5 the branch limit was read from the last segment's entry. Taking it
            // once is enough: the last entry does not change when the first one does.
            double branches = Units::EmptyValue;
            if (version < 5 && count > 1 && i == 0 && m_set.GetValue(N::MaxSplitBranches, branches, count - 1) &&
                branches != Units::EmptyValue)
                m_set.SetSegmentValue(N::MaxSplitBranches, branches, 0, CPValue::Specified);
        }
    }

    if (version > 1) {
        bool locked = false;
        if (!file.ReadBool(locked)) return false;
        m_bLocked = locked;
    }
    if (version < 3) {
        // Streams that could not be split had their own flag; it is now a branch limit of one.
        double cannotSplit = Units::EmptyValue;
        const bool single = m_set.GetValue(N::CannotSplit, cannotSplit, 0) && cannotSplit != 0.0 &&
                            cannotSplit != Units::EmptyValue;
        m_set.SetSegmentValue(N::MaxSplitBranches, single ? 1.0 : 10.0, 0, CPValue::Specified);
    }
    if (version < 4) m_set.SetSegmentValue(N::PricePerMass, 0.0, 0, CPValue::Specified);
    if (version >= KeptProcessValuesVersion && !RecallKeptProcessValues(file, version >= EarnsCreditVersion))
        return false;
    // Only a utility that earns a credit and holds a price it pays writes version 7.
    if (version >= EarnsCreditVersion) {
        bool earns = false;
        if (!file.ReadBool(earns) || !earns || m_nKind != KindUtility || GetCostIndex() < 0.0) return false;
        TheRare().earnsCredit = true;
    }
    return file.EndRecord(h);
}
