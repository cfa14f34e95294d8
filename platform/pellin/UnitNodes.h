#pragma once
// The units besides the exchanger: the tee that splits a stream into branches ("ppTee"), the
// mixer that joins them again ("ppMixer"), and the utility placeholder ("htHeater") that stands
// for a heater or cooler on a process stream until a utility is matched.
#include "pellin/CNode.h"

class Mixer;

// One inlet segment, any number of branch segments. Each branch's "SplitFraction" is its share
// of the inlet flow.
class Splitter : public CNode {
public:
    using CNode::CNode;
    bool IsOfType(const CPString& typeName) const override;
    void setAssociatedMixer(Mixer* mixer) { m_mixer = mixer; }
    Mixer* getAssociatedMixer() const { return m_mixer; }
    int getNumberOfBranches() const { return getNumberOfDownStreamNodes(); }

    // Branches take the inlet temperature (or the inlet a branch's); the last open fraction
    // makes the fractions add up to 1; a known inlet "MassFlow" is shared out by fraction.
    int Calculate(int code) override;

protected:
    int fixedUpStreamSlots() const override { return 1; }
    std::unique_ptr<CNode> makeEmptyCopy() const override;
    CNode* associatedNode() const override;
    bool setAssociatedNode(CNode* node) override;

private:
    Mixer* m_mixer = nullptr;
};

// Any number of inlet segments, one outlet segment. The outlet temperature is the flow-weighted
// mix of the inlets' heat contents (the flow-weighted mean temperature where the stream's heat
// capacity is constant); with the outlet and all inlets but one known, the missing inlet follows.
class Mixer : public CNode {
public:
    using CNode::CNode;
    bool IsOfType(const CPString& typeName) const override;
    void setAssociatedSplitter(Splitter* splitter) { m_splitter = splitter; }
    Splitter* getAssociatedSplitter() const { return m_splitter; }

    int Calculate(int code) override;

protected:
    int fixedDownStreamSlots() const override { return 1; }
    std::unique_ptr<CNode> makeEmptyCopy() const override;
    CNode* associatedNode() const override;
    bool setAssociatedNode(CNode* node) override;

private:
    Splitter* m_splitter = nullptr;
};

// A heater or cooler not yet matched with a utility: one inlet segment, one outlet segment, and
// its "Duty", the heat the stream takes up (cold) or gives off (hot) between them. Of the duty
// and the two temperatures, any two give the third. Answers no type name.
class DummyHX : public CNode {
public:
    using CNode::CNode;
    bool IsOfType(const CPString&) const override { return false; }
    int Calculate(int code) override;

protected:
    int fixedUpStreamSlots() const override { return 1; }
    int fixedDownStreamSlots() const override { return 1; }
    std::unique_ptr<CNode> makeEmptyCopy() const override;
};

// Typed casts; null when the node is not one.
Splitter* AsSplitter(CNode* node);
Mixer* AsMixer(CNode* node);
DummyHX* AsDummyHX(CNode* node);
