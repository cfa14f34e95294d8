#pragma once
// One temperature segment of a heat-integration stream as targeting and the network designs see
// it: actual and shifted end temperatures, heat-capacity flow rate, load, film coefficient, the
// small tolerance loads at the stream's ends, and, for utilities and other segments that stand in
// a network, a link block with the network's view of the segment.
#include "dunmor/CPString.h"
#include "eng/core/StreamSegmentList.h"
#include "eng/core/ValueAndFlag.h"

#include <cstdint>
#include <memory>
#include <vector>

class ILurmetBinaryFile;
class IHeatIntegrationStream;

// The network's view of a segment. A utility's segment carries one from the moment it is built;
// the designs and the targeting code fill the rest.
struct StreamSegmentLink {
    double dSpecificHeat = 0.0;              // specific heat used to spread a utility load
    double dShiftedFarEndTemperature = 0.0;  // shifted temperature at the far end
    double dFarEndTemperature = 0.0;         // actual temperature at the far end
    double dUtilityFactor = 0.0;             // film factor of a utility, from its supply temperature
    std::int32_t nConnected = 0;             // nonzero when the segment is connected in the network
    std::int32_t nLoaded = 0;                // set by utility placement when a load was assigned
    std::int32_t nSelected = 0;              // set by utility placement when the utility is chosen
    // 1 when the placement on the utility composite curve leaves the segment a load above 1e-8,
    // the load that makes a side of the placement cross the pinch (status 2 or 3); 0 otherwise
    // and after every reset of the placement. Kept in the block's fourth integer, so older case
    // files read it as 0.
    std::int32_t nCrossPinch = 0;

    bool Store(ILurmetBinaryFile& file) const;
    bool Recall(ILurmetBinaryFile& file);
};

// A name a segment holds of its own, for a segment without a stream (a make-up utility, a
// model's segment): a pointer, null while there is none, so that the segments of a large table
// do not each carry a copy of their stream's name.
class SegmentOwnName {
public:
    SegmentOwnName() = default;
    SegmentOwnName(const SegmentOwnName& other) { *this = other; }
    SegmentOwnName& operator=(const SegmentOwnName& other) {
        if (this != &other) m_p = other.m_p ? std::make_unique<CPString>(*other.m_p) : nullptr;
        return *this;
    }
    // An empty name is no name.
    SegmentOwnName& operator=(const CPString& name) {
        m_p = name.empty() ? nullptr : std::make_unique<CPString>(name);
        return *this;
    }
    SegmentOwnName& operator=(const char* name) { return *this = CPString(name); }
    const CPString* Get() const { return m_p.get(); }

private:
    std::unique_ptr<CPString> m_p;
};

class StreamSegment {
public:
    static constexpr int RecordVersion = 1;
    // Tolerance load a segment starts with at each end.
    static constexpr double InitialToleranceLoad = 1e-12;

    // Both end tolerance loads 1e-12, film coefficient empty, kind 5 (not set), everything else 0.
    StreamSegment();
    StreamSegment(const StreamSegment& other);
    StreamSegment& operator=(const StreamSegment& other) = delete;
    ~StreamSegment() = default;

    double dInletTemperature = 0.0;
    double dOutletTemperature = 0.0;
    double dHeatCapacityFlowrate = 0.0;
    double dFilmCoefficient;
    double dShiftedInletTemperature = 0.0;
    double dShiftedOutletTemperature = 0.0;
    double dLoad = 0.0;
    // Load summed over the matches or placements of the segment (targeting).
    double dSummedLoad = 0.0;
    // Tolerance loads at the stream's ends: [0] end +1, [1] end -1.
    double dEndToleranceLoad[2];

    // The first count lies in the contribution's tail (the contribution is only ever assigned
    // whole, never copied as bytes), and side and kind are bytes (a record with a side or kind
    // no byte holds is refused): 136 bytes a segment.
    [[no_unique_address]] ValueAndFlag DTminContribution;
    std::int32_t nIntervalCount = 0;
    std::int32_t nFirstInterval = 0;
    std::int32_t nLastInterval = 0;
    std::int32_t nIndex = 0;
    std::int8_t nHotCold = 0;  // 0 hot, 1 cold, 2 undetermined
    std::int8_t nKind;         // 0 process, 1 utility, 2 linked, 3 other, 5 not set

    std::unique_ptr<StreamSegmentLink> pLink;

    // Not stored: the stream the segment belongs to, and a name of the segment's own (for one
    // without a stream; a stream's segments take their stream's name).
    IHeatIntegrationStream* pStream = nullptr;
    SegmentOwnName strStreamName;

    // The segment's own name when it has one, else its stream's, else empty.
    const CPString& StreamName() const;

    bool HasLink() const { return pLink != nullptr; }
    // A segment without a network link is not connected.
    bool IsConnected() const { return pLink && pLink->nConnected != 0; }
    // Whether the utility placement marked the segment as carrying load across the pinch.
    bool IsCrossPinch() const { return pLink && pLink->nCrossPinch == 1; }
    // The far end as the network sees it: the link's far-end temperature, else the outlet.
    double GetFarEndTemperature() const { return pLink ? pLink->dFarEndTemperature : dOutletTemperature; }

    // Takes the stream's contribution; only while the owning stream pushes its values into its
    // segments (its updating flag), or always for a segment without a stream.
    void TakeDTminContribution(const ValueAndFlag& contribution);
    // Shifted temperatures from the segment's own contribution: a local scope shifts by the value
    // itself, a global one by half of `dTmin`. Hot segments move down, cold ones up; an
    // undetermined segment keeps its actual temperatures. The link takes the shifted outlet.
    void ShiftTemperatures(double dTmin);

    // Record version 1 (the stream record nests one per segment).
    bool Store(ILurmetBinaryFile& file) const;
    bool Recall(ILurmetBinaryFile& file);
};

// Store visitor for collections of segments: item StreamSegment*, context StoreContext*
// (eng/core/SharedCallbacks.h). Writes the segment's record; nothing after the first failure.
void StoreEachSegment(void* item, void* context);
