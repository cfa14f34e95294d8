#pragma once
// The project part every engine project shares: its name, the engineer's name, a date, comments
// and numbered notes (each with a title, a text and the date it was added), stored as one record.
#include "brasko/LurmetBaseObject.h"
#include "brasko/NotificationSender.h"
#include "dunmor/CPString.h"

#include <vector>

class ILurmetProject : public virtual ILurmetBaseObject, public virtual INotificationSender {
public:
    // Interface numbers answered by QueryInterface.
    static constexpr int InterfaceId = 101;
    static constexpr int SenderInterfaceId = 102;

    virtual CPString GetProjectName() const = 0;
    virtual void SetProjectName(const CPString& name) = 0;
    virtual CPString GetEngineersName() const = 0;
    virtual void SetEngineersName(const CPString& name) = 0;
    virtual CPString GetDate() const = 0;
    virtual void SetDate(const CPString& date) = 0;
    virtual CPString GetComments() const = 0;
    virtual void SetComments(const CPString& comments) = 0;

    // Notes are numbered 0 .. GetNumberOfNotes() - 1; an out-of-range number reads as empty
    // text and is refused by the setters.
    virtual int GetNumberOfNotes() const = 0;
    // Appends a note titled "Note n" dated today, n the first number from the count of notes
    // plus one whose title no note has; answers its number.
    virtual int AddNote() = 0;
    virtual int AddNote(const CPString& title, const CPString& text) = 0;
    virtual bool DeleteNote(int note) = 0;
    virtual CPString GetNoteTitle(int note) const = 0;
    // Refused (false) for a title another note has: notes are chosen by their titles.
    virtual bool SetNoteTitle(int note, const CPString& title) = 0;
    virtual CPString GetNoteText(int note) const = 0;
    virtual bool SetNoteText(int note, const CPString& text) = 0;
    virtual CPString GetNoteDate(int note) const = 0;
    virtual bool SetNoteDate(int note, const CPString& date) = 0;
    // Chooses the first note with that title: writes its number into `selected` (unchanged when
    // no note has the title) and answers whether one was found.
    virtual bool SetNoteCount(const CPString& title, int& selected) const = 0;

    // Scenarios by position; a bare project has none. Projects with scenarios override these.
    virtual int GetNumberOfScenarios() const = 0;
    virtual CPString GetScenarioName(int index) const = 0;
};

class CLurmetProject : public virtual ILurmetProject,
                       public virtual LurmetBaseObject,
                       public virtual NotificationSender {
public:
    static constexpr int RecordVersion = 1;

    CLurmetProject();
    CLurmetProject(IEngineeringManager* manager, const CPString& name);
    CLurmetProject(const CLurmetProject&) = default;
    ~CLurmetProject() override = default;

    // ILurmetBaseObject
    int QueryInterface(int id, void** out) override;
    bool Store(ILurmetBinaryFile& file) override;
    // Leaves the project as it was unless the whole record reads back.
    bool Recall(ILurmetBinaryFile& file) override;
    CPString GetMyIdentifier() const override { return m_projectName; }

    // ILurmetProject
    CPString GetProjectName() const override { return m_projectName; }
    void SetProjectName(const CPString& name) override { m_projectName = name; }
    CPString GetEngineersName() const override { return m_engineer; }
    void SetEngineersName(const CPString& name) override { m_engineer = name; }
    CPString GetDate() const override { return m_date; }
    void SetDate(const CPString& date) override { m_date = date; }
    CPString GetComments() const override { return m_comments; }
    void SetComments(const CPString& comments) override { m_comments = comments; }

    int GetNumberOfNotes() const override { return static_cast<int>(m_notes.size()); }
    int AddNote() override;
    int AddNote(const CPString& title, const CPString& text) override;
    bool DeleteNote(int note) override;
    CPString GetNoteTitle(int note) const override;
    bool SetNoteTitle(int note, const CPString& title) override;
    CPString GetNoteText(int note) const override;
    bool SetNoteText(int note, const CPString& text) override;
    CPString GetNoteDate(int note) const override;
    bool SetNoteDate(int note, const CPString& date) override;
    bool SetNoteCount(const CPString& title, int& selected) const override;

    int GetNumberOfScenarios() const override { return 0; }
    CPString GetScenarioName(int) const override { return CPString(); }

    // Today's date as the project and its notes write it ("YYYY-MM-DD").
    static CPString Today();

private:
    struct Note {
        CPString title;
        CPString text;
        CPString date;
    };
    const Note* FindNote(int note) const;
    Note* FindNote(int note);
    // Whether a note other than number `except` has the title.
    bool HasNoteTitled(const CPString& title, int except = -1) const;

    CPString m_projectName;
    CPString m_engineer;
    CPString m_date;
    CPString m_comments;
    std::vector<Note> m_notes;
};
