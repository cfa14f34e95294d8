#pragma once
// The node of a flowsheet: a named unit or stream piece of one kind, with a 32-bit fingerprint
// that its flowsheet gives it, ordered connections to the nodes upstream and downstream, and
// named values in a value tree.
//
// Connections sit in slots. A node with a fixed number of slots on a side (an exchanger has two
// inlets and two outlets, one per side; a segment one of each) keeps an empty slot when it is
// disconnected, so that side numbers never shift; a node with open slots (a tee's branches, a
// mixer's inlets) appends and closes up.
//
// Values: each is a `CPValue` (number or text) with a definition status (0 not specified,
// 1 specified, 2 calculated) and a flag kept as the value's lock status; an indexed value holds
// its entries as sub-values.
#include "dunmor/CPString.h"
#include "osmeri/CPValue.h"
#include "pellin/NodeKinds.h"

#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class FlowSheet;
class HeatExch;
class StreamNode;
class StreamPiece;
class ILurmetBinaryFile;

// The node kinds as a number, fixed when a node is made, so that hot loops (the walk that finds
// a segment's share of the flow, the design's passes) test a kind without comparing strings.
enum class NodeKindId : std::uint8_t {
    Other,
    MaterialStream,
    FeedBlock,
    ProductBlock,
    CountercurrentHX,
    HeatExchanger,
    Heater,
    Tee,
    Mixer
};
NodeKindId NodeKindIdOf(const CPString& kind);

// A value's name as the look-ups of a node take it. The names the unit models and the design's
// passes read and write many times in every calculation ("Temperature", "Duty", "HTArea", ...,
// the `NodeValue` names) are known by position: a node keeps where each of them sits among its
// values, so that finding one compares no text. Any other name is found by its text.
class ValueName {
public:
    ValueName(const char* name);
    ValueName(const std::string& name) : m_text(name) {}
    ValueName(std::string_view name) : m_text(name) {}

    std::string_view text() const { return m_text; }
    // Position among the known names, -1 for another name.
    int known() const { return m_known; }

    static constexpr int KnownCount = 32;
    // Where "SplitFraction" sits among the known names.
    static constexpr int SplitFractionPosition = 3;

private:
    std::string_view m_text;
    int m_known = -1;
};

// The known names by address, in a small open-addressed table: a look-up is a hash of the address
// and a compare or two. A name at another address
// (the same text in another program) is simply found by its text. The look-up sits in this
// header, as every value read and write of the unit models and the design's passes makes one. The
// table is made on its first use, once however many copies of this code a program loads (a test
// program holds it beside the module): the names of the copy that made it are found by address,
// the others' by their text.
struct KnownValueNames {
    static constexpr std::size_t Size = 128;
    std::array<const char*, Size> names{};
    std::array<std::int8_t, Size> positions{};
    std::array<std::size_t, ValueName::KnownCount> lengths{};

    KnownValueNames();
    static std::size_t bucket(const char* name) {
        return static_cast<std::size_t>((reinterpret_cast<std::uintptr_t>(name) * 0x9E3779B97F4A7C15ull) >> 57);
    }
    int find(const char* name) const {
        for (std::size_t b = bucket(name); names[b]; b = (b + 1) % Size)
            if (names[b] == name) return positions[b];
        return -1;
    }
};
inline const KnownValueNames& KnownValueNameTable() {
    static const KnownValueNames table;
    return table;
}

inline ValueName::ValueName(const char* name) {
    if (!name) return;
    const KnownValueNames& known = KnownValueNameTable();
    m_known = known.find(name);
    m_text = m_known >= 0 ? std::string_view(name, known.lengths[static_cast<std::size_t>(m_known)])
                          : std::string_view(name);
}

// One write of a named value (number or text), as a node's write trace keeps it.
struct NodeValueWrite {
    CPString name;
    double value = 0.0;  // 0.0 for a text
    CPString text;
    int status = 0;
    int flag = 0;
};

class CNode {
public:
    CNode(const CPString& name, const CPString& kind);
    virtual ~CNode() = default;
    CNode(const CNode&) = delete;
    CNode& operator=(const CNode&) = delete;

    const CPString& getName() const { return m_name; }
    const CPString& getClassName() const { return m_kind; }
    NodeKindId getKindId() const { return m_kindId; }
    // Either exchanger kind ("Lurmet_countercurrent_HX" or "htHeatExchanger").
    bool isExchangerKind() const {
        return m_kindId == NodeKindId::CountercurrentHX || m_kindId == NodeKindId::HeatExchanger;
    }
    std::uint32_t getDNAFingerPrint() const { return m_fingerPrint; }
    FlowSheet* getFlowSheet() const { return m_sheet; }

    // ---- type queries ----
    // The node as a stream segment or an exchanger (null when it is neither): the unit models ask
    // for their ports many times in every calculation, without a cast through the class tree.
    virtual StreamNode* asStreamNode() { return nullptr; }
    virtual HeatExch* asHeatExch() { return nullptr; }
    // The node as a piece of a stream (its start, a segment or its end), for the many look-ups
    // of a piece's stream.
    virtual const StreamPiece* asStreamPiece() const { return nullptr; }
    // Whether the node answers the type name: its own class names and "Lurmet_Base_Node".
    virtual bool IsOfType(const CPString& typeName) const;
    // 1 and the node when it answers the type name; 2 and null otherwise.
    int QueryInterface(const CPString& typeName, void** out);

    // ---- neighbours, in slot order; null beyond the end or for an empty slot ----
    int getNumberOfUpStreamSlots() const { return static_cast<int>(m_in.size()); }
    int getNumberOfDownStreamSlots() const { return static_cast<int>(m_out.size()); }
    // Connected neighbours only.
    int getNumberOfUpStreamNodes() const;
    int getNumberOfDownStreamNodes() const;
    CNode* getIthUpStreamNode(int slot) const {
        return slot >= 0 && slot < static_cast<int>(m_in.size()) ? m_in[static_cast<std::size_t>(slot)] : nullptr;
    }
    CNode* getIthDownStreamNode(int slot) const {
        return slot >= 0 && slot < static_cast<int>(m_out.size()) ? m_out[static_cast<std::size_t>(slot)] : nullptr;
    }
    // The first connected neighbour, and the ones after it (the walk keeps its place per node).
    CNode* getFirstUpStreamNode();
    CNode* getNextUpStreamNode();
    CNode* getFirstDownStreamNode();
    CNode* getNextDownStreamNode();
    std::vector<CNode*> getAllUpStreamNodes() const;
    std::vector<CNode*> getAllDownStreamNodes() const;
    // Slot of a neighbour, -1 when it is not one.
    int upStreamSlotOf(const CNode* node) const;
    int downStreamSlotOf(const CNode* node) const;

    // ---- named values ----
    // 1 and the number when the value exists and holds a number (indexed: that entry).
    int getVariableAsDouble(ValueName name, double& out) const {
        const CPValue* v = findValue(name);
        if (!v || v->IsText() || v->IsEmpty()) return 0;
        out = v->GetValue();
        return 1;
    }
    int getVariableAsInteger(ValueName name, long& out) const;
    int getVariableAsString(ValueName name, CPString& out) const;
    // 0 not specified (also for a missing value), 1 specified, 2 calculated.
    int getVariableStatus(ValueName name) const {
        const CPValue* v = findValue(name);
        return v ? v->GetStatus() : ValueStatus::Open;
    }
    int getVariableFlag(ValueName name) const;
    bool hasVariable(ValueName name) const { return findValue(name) != nullptr; }
    // Creates or overwrites the value with that status and flag. Answers 1.
    int addVariable(ValueName name, double value, int status, int flag = 0);
    int addVariable(ValueName name, const CPString& text, int status, int flag = 0);
    int addVariable(ValueName name, const char* text, int status, int flag = 0);
    bool removeVariable(ValueName name);
    // Appends every later write of a named value (`addVariable`) to `trace`, in the order
    // written, until called with null: the order in which an editor sets a unit's values is
    // part of what the unit makes of them. The trace is the caller's and outlives the recording.
    void traceValueWrites(std::vector<NodeValueWrite>* trace) { m_writeTrace = trace; }

    // Indexed values: entries 0 .. size - 1 of the named value.
    int getVariableSize(ValueName name) const;
    int getIndexedVariable(ValueName name, int index, double& out) const;
    // Sets entry `index`, adding empty entries up to it. Answers 1; 0 for a negative index.
    int setIndexedVariable(ValueName name, int index, double value, int status);
    // Drops all entries (the value stays).
    void clearIndexedVariable(ValueName name);

    const CPValue& getValues() const { return m_values; }
    // A writable value may be written: the shares of the flow are worked out afresh.
    CPValue* findValue(ValueName name) {
        noteValueChange(name);
        return lookUp(name);
    }
    const CPValue* findValue(ValueName name) const { return lookUp(name); }

    // ---- what the unit models share ----
    // A value is known when it holds a number with a status other than 0.
    bool isKnown(ValueName name, double& out) const {
        const CPValue* v = findValue(name);
        // A number that is not finite (a damaged record) is no value to calculate from.
        if (!v || v->IsText() || v->IsEmpty() || v->GetStatus() == ValueStatus::Open || !std::isfinite(v->GetValue()))
            return false;
        out = v->GetValue();
        return true;
    }
    // Writes a calculated value unless the value is specified; answers 1 when it changed.
    int writeCalculated(ValueName name, double value);
    // Empties a calculated value; answers 1 when one was emptied.
    int clearCalculated(ValueName name);

    // ---- calculation ----
    // Asks the unit to act on a `UnitCode`; answers how many values it wrote.
    virtual int Calculate(int code);

protected:
    // Number of fixed slots on each side, or -1 when the side is open.
    virtual int fixedUpStreamSlots() const { return -1; }
    virtual int fixedDownStreamSlots() const { return -1; }
    // A new node of the same class and name with none of the values; `clone` copies the rest.
    virtual std::unique_ptr<CNode> makeEmptyCopy() const = 0;
    // What a node keeps beside its values and connections (an exchanger its last status):
    // copied by a clone and written into the node's record.
    virtual void copyStateFrom(const CNode&) {}
    virtual bool storeState(ILurmetBinaryFile&) const { return true; }
    virtual bool recallState(ILurmetBinaryFile&) { return true; }
    // The node paired with this one (a tee's mixer, a mixer's tee), and setting it after a
    // read-back or a clone.
    virtual CNode* associatedNode() const { return nullptr; }
    virtual bool setAssociatedNode(CNode*) { return false; }

private:
    friend class FlowSheet;

    // The value of that name among the node's own, null when it has none.
    CPValue* lookUp(ValueName name) const {
        const int k = name.known();
        if (k < 0) return lookUpByText(name.text());
        const std::uint32_t bit = 1u << k;
        if (!(m_knownLooked & bit)) {
            m_knownValues[static_cast<std::size_t>(k)] = lookUpByText(name.text());
            m_knownLooked |= bit;
        }
        return m_knownValues[static_cast<std::size_t>(k)];
    }
    CPValue* lookUpByText(std::string_view text) const;
    CPValue& internValue(ValueName name);
    // The node's values were replaced as a whole (a clone, a record read back).
    void valuesReplaced() { m_knownLooked = 0; }
    void resetSlots();
    // A write to a value that a segment's share of the flow depends on.
    void noteValueChange(ValueName name) const {
        if (m_sheet && (name.known() < 0 || name.known() == ValueName::SplitFractionPosition)) noteFractionChange(name);
    }
    void noteFractionChange(ValueName name) const;

    CPString m_name;
    CPString m_kind;
    NodeKindId m_kindId = NodeKindId::Other;
    std::uint32_t m_fingerPrint = 0;
    std::size_t m_slot = 0;  // the node's place in its flowsheet's array, gaps included
    FlowSheet* m_sheet = nullptr;
    CPValue m_values;
    // Where each known name sits among the values (bit k of `m_knownLooked`: position k has been
    // looked up; a null entry then means the node has no such value). Values are only added and
    // removed through the node, which keeps this up to date.
    mutable std::array<CPValue*, ValueName::KnownCount> m_knownValues{};
    mutable std::uint32_t m_knownLooked = 0;
    static_assert(ValueName::KnownCount <= 32, "one bit of m_knownLooked per known name");
    std::vector<CNode*> m_in;
    std::vector<CNode*> m_out;
    int m_upCursor = 0;
    int m_downCursor = 0;
    std::vector<NodeValueWrite>* m_writeTrace = nullptr;
};

// The node as class T when it answers `typeName`; null otherwise (also for a null node).
template <class T>
T* NodeCast(CNode* node, const char* typeName) {
    return node && node->IsOfType(typeName) ? dynamic_cast<T*>(node) : nullptr;
}

// The node as class T when its class name is `kind` (also for the kinds that answer no type
// name: "ppProductBlock", "htHeater").
template <class T>
T* NodeCastByKind(CNode* node, const char* kind) {
    return node && node->getClassName() == kind ? dynamic_cast<T*>(node) : nullptr;
}
