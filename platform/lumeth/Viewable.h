#pragma once
// The framework's view: everything a form shows is a Viewable. The framework calls its hooks
// when a form reads or writes a variable, sends a command line or asks for a child view; an
// override answers what it knows and passes all else to the base, whose answers are the
// framework's own (empty values, unhandled input recorded in the session journal).
//
// Ownership and death: a view is created under a parent, which deletes the children still under
// it when it dies. A view may ask to be told when another one dies (AddDeathPostee): the dying
// view's base destructor calls the postee's DisconnectDeadObject while the dying view's type is
// still known (IsA walks the registered type chain, not the C++ type). A view may delete itself
// inside a hook; the framework never touches a view after a hook that deleted it.
#include "lumeth/Messages.h"
#include "lumeth/ObjectTypeInfo.h"
#include "lumeth/Text.h"
#include "lumeth/VarDescription.h"

#include <cstdint>
#include <memory>
#include <vector>

class BinaryFile;
class VarEnumInfo;
class VariableNameInfo;

// The case document a view belongs to (the root view carries it).
class Document {
public:
    explicit Document(const Text& name = Text()) : m_name(name) {}
    virtual ~Document() = default;
    const Text& GetName() const { return m_name; }

private:
    Text m_name;
};

class Viewable {
public:
    // The empty value of every value hook.
    static constexpr double EmptyValue = -32767.0;

    Viewable(Viewable* parent, const ObjectTypeInfo* type);
    // The type looked up by object name in the installed registry.
    Viewable(Viewable* parent, const Text& objectTypeName);
    explicit Viewable(ObjectInstanceInfo& info);
    virtual ~Viewable();
    Viewable(const Viewable&) = delete;
    Viewable& operator=(const Viewable&) = delete;

    // ---- hooks, in the framework's slot order ----
    virtual double Value(const VarDescription& var);
    // 1 when taken. The base records the input as unhandled and answers 0.
    virtual int Specify(const VarDescription& var, double value);
    virtual Text TextValue(const VarDescription& var);
    virtual int SpecifyText(const VarDescription& var, const Text& text);
    // A command line. The base knows the framework's own words: "CloseView" closes the view's
    // forms, "DeleteView" and "Delete" delete the view, "View" opens its default form; others
    // are recorded as unhandled and answer 0.
    virtual int Message(const Text& line);
    // True when the view answered; kind 6 asks for an object by name (in info.answer).
    virtual bool GenMessage(MessageInfo& info);
    virtual VarEnumInfo* GetEnumInfo(const VariableNameInfo& var);
    // The view a link addresses: the base answers itself for a request flagged FlagSelf or for a
    // link to its own type without a child name, and a child of that type and name otherwise;
    // a further link in the description is followed from the view found.
    virtual Viewable* AttachedObject(const VarDescription& var);
    virtual int AttachObject(const VarDescription& var, Viewable* object);
    // Adds the variable's dimensions; answers how many were added (the base: none).
    virtual int Dimensions(const VarDescription& var, DimInfo& dims);
    virtual void VariableStatus(const VarDescription& var, ModifyState& state, int& detail);
    // A notice about the view's forms: `kind` 0 a form opens, 1 a form closes; `form` names it.
    virtual void ViewNotification(int kind, Viewable* from, const Text& form);
    // The name by which a form reaches a child: "<class>.200(<child name>)" in the base.
    virtual Text AttachedName(const Viewable* child) const;
    virtual void DisconnectDeadObject(Viewable* dead);
    virtual int GetEDVarType(const VarDescription& var);
    // Which view type this view creates below itself when asked for a type (a case view answers
    // its project-viewer type, a scenario viewer its design-viewer type). It is a question the
    // view's own code asks, not the view's identity: records, names, checks and fix-ups use the
    // registered type (GetViewType). The base answers the registered type.
    virtual const ObjectTypeInfo* GetObjectType(const ObjectTypeInfo* asked = nullptr) const;
    // The views a form may attach at a variable (its choice of child views); answers how many
    // were added. The base offers the children of the type the variable links to.
    virtual int GetAttachableObjects(const VarDescription& var, std::vector<Viewable*>& out);
    // A new child view for a variable that links to a type, made by the type's factory and
    // named `name`; null when the type has no class. Recorded in the journal as an input.
    virtual Viewable* AttachNewObject(const VarDescription& var, const Text& name);
    // Whether the view's data are complete enough to close its form; the base: true.
    virtual bool CheckData();

    // ---- class data (the type's hooks hand over to these) ----
    virtual bool StoreClassData(BinaryFile& file);
    virtual bool RecallClassData(BinaryFile& file, int version);
    virtual bool CheckRecalledPointers();
    virtual bool RecallFixUp();
    // A view of a stored type that its owner makes again rather than storing (it holds links
    // no record can name): left out of a stored set with everything under it. The base: false.
    virtual bool IsLeftOutOfRecords() const { return false; }

    // ---- identity, owners ----
    // The type the view was created as (registered, never asked of the view's code).
    const ObjectTypeInfo* GetViewType() const { return m_type; }
    bool IsA(const ObjectTypeInfo* type) const { return m_type && m_type->IsA(type); }
    bool IsA(const Text& objectTypeName) const { return m_type && m_type->IsA(objectTypeName); }
    const Text& GetName() const { return m_name; }
    void SetName(const Text& name) { m_name = name; }
    // The title its forms show; setting it is journalled (a Caption entry).
    const Text& GetCaption() const { return m_caption; }
    void SetCaption(const Text& caption);
    Viewable* GetParent() const { return m_parent; }
    // The nearest owner of the type (the parent when no type is given).
    Viewable* OwnerViewable(const ObjectTypeInfo* type = nullptr) const;
    Viewable* OwnerViewable(const Text& objectTypeName) const;
    // Whether `view` is this view or one of its owners: a view cannot own such a one (deleting
    // it would delete the deleting view first).
    bool IsSelfOrOwner(const Viewable* view) const;
    Document* OwnerDocument() const;
    void SetDocument(Document* document) { m_document = document; }
    int GetNumberOfChildren() const { return static_cast<int>(m_children.size()); }
    Viewable* GetChild(int index) const;
    // Takes a view that has no owner (one read back as the root of a stored set) as a child; false
    // when it has an owner already, is this view or is one of its owners.
    bool Adopt(Viewable* child);
    // The child of that type (by registered type chain) and name; null when none.
    Viewable* FindChild(const Text& objectTypeName, const Text& name) const;

    // ---- death postees ----
    // `postee` is told (DisconnectDeadObject) when this view dies. False for null, itself or a
    // view already told.
    bool AddDeathPostee(Viewable* postee);
    bool RemoveDeathPostee(Viewable* postee);
    bool HasDeathPostee(const Viewable* postee) const;

    // A 16-bit state word the framework keeps in every view for its forms; views only read it
    // (the scenario viewer's economic-data tables drop their insert row while it is 2).
    std::uint16_t FrameworkState() const { return m_frameworkState; }
    void SetFrameworkState(std::uint16_t state) { m_frameworkState = state; }

    // A token that expires when the view dies, for callers that must know whether a hook
    // deleted it.
    std::weak_ptr<const bool> LifeToken() const { return m_alive; }

    // ---- forms ----
    // Whether a form of the view is open: `View` opens one, "CloseView" closes the one named
    // (all of them without a name) and so does `CloseForm`.
    bool IsFormOpen(const Text& form) const;
    // The user closes a form of the view: it is closed and the view hears of it
    // (ViewNotification kind 1). False when that form was not open. The view may delete itself
    // while it hears, so the caller checks `LifeToken` before touching it again.
    bool CloseForm(const Text& form);

    // ---- forms and messages ----
    // Opens a form of the view (no name: its default form); recorded in the session journal.
    int View(const Text& form = Text(), int location = 6, double extra = EmptyValue);
    static void ErrorMsg(const Text& key, const Text& parameter = Text());
    // A message key whose text is a format takes its parameters in order (see FormatMessage).
    static void ErrorMsg(const Text& key, const MessageParameters& parameters);
    static int ResponseMsg(const Text& key, int kind);
    static int ResponseMsg(const Text& key, int kind, const MessageParameters& parameters);
    static void UserStatusReport(const Text& text, int level, int colour = 0);
    static void UserStatusClear(int level);

    // ---- links between views in the case file (see ViewRecords) ----
    static bool StorePointer(BinaryFile& file, const Viewable* view);
    // Reads a link; the slot is filled when the whole case has been read, before the fix-ups,
    // with a view of the type (any view when the type is null). Answers false on a failed read.
    static bool RecallPointerX(BinaryFile& file, Viewable*& slot, const ObjectTypeInfo* type);

protected:
    // Records a hook call that no view answered (the framework would show nothing).
    void RecordUnhandled(const char* hook, const VarDescription& var) const;

private:
    void Attach(Viewable* parent);

    const ObjectTypeInfo* m_type = nullptr;
    Text m_name;
    Text m_caption;
    Viewable* m_parent = nullptr;
    Document* m_document = nullptr;
    std::vector<Viewable*> m_children;
    std::vector<Viewable*> m_postees;   // told when this view dies
    std::vector<Viewable*> m_watching;  // views this one is a postee of
    std::shared_ptr<const bool> m_alive = std::make_shared<const bool>(true);
    // Set while the destructor runs: an owner dying meanwhile (a postee may delete it) lets go
    // of this view instead of deleting it a second time.
    bool m_dying = false;
    std::uint16_t m_frameworkState = 0;
    std::vector<Text> m_openForms;
};
