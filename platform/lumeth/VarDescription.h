#pragma once
// A form variable: the kind of quantity (type code, which also fixes the display unit), a
// variable number and up to three indices, or a variable known by name; or a link to a child
// view (object type, number, indices, the child's name). A dotted address chains links:
// "HIDesignViewerDesign.200.1(Design 1).HeatFlow.204.[]" reaches the child, then its variable.
#include "lumeth/Text.h"

#include <memory>
#include <vector>

class VarDescription {
public:
    static constexpr int MaxIndices = 3;
    // Flag bits: dimension flags of a table column, and a request for the view itself.
    static constexpr int FlagDimension1 = 2;
    static constexpr int FlagSelf = 4;

    VarDescription() = default;
    VarDescription(int type, int number) : m_type(type), m_number(number) {}
    // A variable by name; the type code is that of the name when it names a kind of quantity.
    VarDescription(const Text& name, int number);
    VarDescription(const VarDescription& other);
    VarDescription& operator=(const VarDescription& other);
    VarDescription(VarDescription&&) noexcept = default;
    VarDescription& operator=(VarDescription&& other) noexcept;
    // Chains are copied and destroyed link by link, never by recursion: an address may be long.
    ~VarDescription();

    int Type() const { return m_type; }
    int Number() const { return m_number; }
    // Index i (0-based), or -1 when the address has no such index.
    int Offset(int i) const;
    int NumberOfIndices() const { return m_indexCount; }
    void SetOffset(int i, int value);
    // The index that runs over the points of a series ("[]"), or -1. An address with two
    // running indices ("A.[].[]", a whole table) runs the last over the cells of a row and the
    // first over the rows (`RowIndex`); -1 when only one index runs.
    int RunningIndex() const { return m_running; }
    int RowIndex() const { return m_rowRunning; }
    int Flags() const { return m_flags; }
    void SetFlags(int flags) { m_flags = flags; }

    // The name the address used for the variable or the child's type ("Temperature").
    const Text& Name() const { return m_name; }
    // Case-insensitive, as forms write names either way ("NMer", "Nmer").
    bool VariableIs(const Text& name) const;
    // A link to a child view: the registered object type it addresses (empty for a variable).
    const Text& ObjectType() const { return m_objectType; }
    bool IsObjectLink() const { return !m_objectType.empty(); }
    // The child's own name in "(...)", empty when none was given.
    const Text& ChildName() const { return m_childName; }
    // Whether the address gave a child name at all: "View.200()" names the child called "",
    // not the view itself.
    bool HasChildName() const { return m_hasChildName; }
    void SetChildName(const Text& name) { m_childName = name, m_hasChildName = true; }
    // The path in front of a moniker's colon: steps separated by '/', empty when none.
    const Text& Path() const { return m_path; }
    const VarDescription* GetNextLink() const { return m_next.get(); }
    // Forgets the rest of the chain.
    void DropNextLinks();
    // The last element of the chain: the variable that a chain of links finally addresses.
    const VarDescription& Final() const;

    // Parses an address; false (and `out` unchanged) for text that is not one.
    static bool Parse(const Text& address, VarDescription& out);
    // The canonical text of the description (what Parse reads back to an equal description).
    Text ToString() const;

    // The type code of a quantity name (compared without regard to case), -1 for a name that
    // is not one.
    static int TypeCodeOfName(const Text& name);
    // The number format a form uses for the variable when its view sets none: that of its kind
    // of quantity ("%.1f" for a temperature, "%.0f" for an index, "%g" for a plain number).
    Text DefFormat() const;

    // A child's name as it stands inside "(...)": '(', ')', '\', '/' and ':' are escaped with
    // a backslash, so that any name can be addressed and read back.
    static Text EscapeChildName(const Text& name);
    // The steps of a path separated by '/', leaving alone a '/' inside a child name.
    static std::vector<Text> SplitPath(const Text& path);

private:
    friend class VarAddressParser;
    // One element's own fields, not its chain.
    void CopyElementFrom(const VarDescription& other);
    int m_type = 0;
    int m_number = 0;
    int m_indices[MaxIndices] = {-1, -1, -1};
    int m_indexCount = 0;
    int m_running = -1;
    int m_rowRunning = -1;
    int m_flags = 0;
    Text m_name;
    Text m_objectType;
    Text m_childName;
    bool m_hasChildName = false;
    Text m_path;
    std::unique_ptr<VarDescription> m_next;
};

// The dimensions a view answers for a variable (rows, columns, ...).
class DimInfo {
public:
    void AddDim(int n) { m_dims.push_back(n); }
    int NumberOfDims() const { return static_cast<int>(m_dims.size()); }
    // Size of dimension i; 0 when there is none.
    int Dim(int i) const { return i >= 0 && i < NumberOfDims() ? m_dims[static_cast<std::size_t>(i)] : 0; }
    void Clear() { m_dims.clear(); }

private:
    std::vector<int> m_dims;
};

// Whether the user may edit a variable: 0 read-only, 1 editable, 2 as the view's own rule says.
enum ModifyState : int { ReadOnlyState = 0, ModifiableState = 1, SpecialState = 2 };

// The argument of GenMessage: kind 6 asks a view for an object by name, returned in `answer`.
struct MessageInfo {
    int code = 0;
    Text name;
    class Viewable* sender = nullptr;
    int value = 0;
    void* answer = nullptr;
};
