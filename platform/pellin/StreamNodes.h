#pragma once
// The nodes a stream is made of in a flowsheet: its start (the feed block, "ppFeedOrProductBlock"),
// its segments between units ("ppMaterialStream") and its end (the product block,
// "ppProductBlock"). Each keeps the stream it belongs to, and its name as "ParentStream".
// A segment's "Temperature" is the stream's temperature between the two units it joins;
// "SplitFraction" on a segment that leaves a tee is its share of the tee's inlet flow.
#include "pellin/CNode.h"

class IFlowsheetStream;
class StreamProfile;

class StreamPiece : public CNode {
public:
    StreamPiece(const CPString& name, const CPString& kind, IFlowsheetStream* stream);
    IFlowsheetStream* getParentPIStream() const { return m_stream; }
    const StreamPiece* asStreamPiece() const override { return this; }
    // Rebinds the piece to a stream (after a read-back, or when a stream changes); also sets
    // "ParentStream" (specified) to its name. Null keeps the name as it is.
    void setParentPIStream(IFlowsheetStream* stream);

private:
    IFlowsheetStream* m_stream;
};

class StreamNode : public StreamPiece {
public:
    StreamNode(const CPString& name, const CPString& kind, IFlowsheetStream* stream = nullptr)
        : StreamPiece(name, kind, stream) {}
    StreamNode* asStreamNode() override { return this; }
    bool IsOfType(const CPString& typeName) const override;

    // Share of the whole stream's flow in this segment: the product of the split fractions of
    // the tees passed since the stream's start (a mixer adds its inlets back up). -1 when a
    // fraction on the way is not known.
    double getSplitFraction() const;
    // The same, `depth` steps into a walk from another segment.
    double getSplitFraction(int depth) const;
    // Heat released (hot stream) or taken up (cold stream) from the stream's supply temperature
    // to this segment's temperature, times the segment's share of the flow (kW).
    double getEnthalpy() const;
    // Heat content of the segment's stream as its share of the flow carries it. A segment
    // without a stream may carry its own "HeatCapacityFlowrate" (and "HTCoeff").
    bool getProfile(StreamProfile& profile) const;
    // The same profile as the flowsheet holds it during a calculation (see
    // FlowSheet::HoldStreamProfiles), without a copy; null when it holds none or the segment has
    // no stream.
    const StreamProfile* getHeldProfile() const;
    // The profile as `getProfile` gives it: the held one when the flowsheet holds it, else built
    // into `own`; null when there is none.
    const StreamProfile* profileOrHeld(StreamProfile& own) const;

    int Calculate(int code) override;

protected:
    int fixedUpStreamSlots() const override { return 1; }
    int fixedDownStreamSlots() const override { return 1; }
    std::unique_ptr<CNode> makeEmptyCopy() const override;

private:
    // The share last worked out, and the flowsheet's fraction epoch it belongs to (0: none).
    mutable double m_fraction = -1.0;
    mutable std::uint64_t m_fractionEpoch = 0;
};

class StreamStart : public StreamPiece {
public:
    StreamStart(const CPString& name, const CPString& kind, IFlowsheetStream* stream = nullptr)
        : StreamPiece(name, kind, stream) {}
    bool IsOfType(const CPString& typeName) const override;
    // Hands the supply "Temperature" to the first segment.
    int Calculate(int code) override;

protected:
    int fixedUpStreamSlots() const override { return 0; }
    int fixedDownStreamSlots() const override { return 1; }
    std::unique_ptr<CNode> makeEmptyCopy() const override;
};

// Answers no type name: only its class name tells it.
class StreamEnd : public StreamPiece {
public:
    StreamEnd(const CPString& name, const CPString& kind, IFlowsheetStream* stream = nullptr)
        : StreamPiece(name, kind, stream) {}
    bool IsOfType(const CPString&) const override { return false; }
    // Hands the target "Temperature" to the last segment when a utility placeholder stands
    // before it (the placeholder then takes whatever duty is left); otherwise the units decide
    // where the stream ends.
    int Calculate(int code) override;

protected:
    int fixedUpStreamSlots() const override { return 1; }
    int fixedDownStreamSlots() const override { return 0; }
    std::unique_ptr<CNode> makeEmptyCopy() const override;
};

// Typed casts; null when the node is not one. Exchangers ask for their ports many times in every
// calculation: a node answers by itself whether it is a segment, without comparing type names.
inline StreamNode* AsStreamNode(CNode* node) { return node ? node->asStreamNode() : nullptr; }
StreamStart* AsStreamStart(CNode* node);
StreamEnd* AsStreamEnd(CNode* node);
