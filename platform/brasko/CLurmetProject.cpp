#include "brasko/CLurmetProject.h"

#include "brasko/ILurmetBinaryFile.h"
#include "dunmor/NumberedName.h"

#include <ctime>
#include <utility>

CLurmetProject::CLurmetProject() : m_date(Today()) {}

CLurmetProject::CLurmetProject(IEngineeringManager* manager, const CPString& name)
    : m_projectName(name), m_date(Today()) {
    // The base object is a virtual base: a further derived class constructs it, so set its
    // name and manager here rather than through its constructor.
    SetObjectName(name);
    SetEngineeringManager(manager);
}

CPString CLurmetProject::Today() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    if (!localtime_r(&now, &local)) return CPString();
    char text[32];
    if (std::strftime(text, sizeof text, "%Y-%m-%d", &local) == 0) return CPString();
    return CPString(text);
}

int CLurmetProject::QueryInterface(int id, void** out) {
    if (!out) return 0;
    if (id == ILurmetProject::InterfaceId) {
        *out = static_cast<ILurmetProject*>(this);
        return 1;
    }
    if (id == SenderInterfaceId) {
        *out = static_cast<INotificationSender*>(this);
        return 1;
    }
    return LurmetBaseObject::QueryInterface(id, out);
}

// ---------------------------------------------------------------- notes

const CLurmetProject::Note* CLurmetProject::FindNote(int note) const {
    if (note < 0 || note >= static_cast<int>(m_notes.size())) return nullptr;
    return &m_notes[static_cast<std::size_t>(note)];
}

CLurmetProject::Note* CLurmetProject::FindNote(int note) {
    if (note < 0 || note >= static_cast<int>(m_notes.size())) return nullptr;
    return &m_notes[static_cast<std::size_t>(note)];
}

bool CLurmetProject::HasNoteTitled(const CPString& title, int except) const {
    for (std::size_t i = 0; i < m_notes.size(); ++i)
        if (static_cast<int>(i) != except && m_notes[i].title == title) return true;
    return false;
}

int CLurmetProject::AddNote() {
    // A note is chosen by its title: the number passes the titles in use (after a deletion the
    // count names a note that is still there).
    int counter = static_cast<int>(m_notes.size()) + 1;
    return AddNote(NextNumberedName("Note ", counter, [this](const CPString& t) { return HasNoteTitled(t); }), CPString());
}

int CLurmetProject::AddNote(const CPString& title, const CPString& text) {
    m_notes.push_back({title, text, Today()});
    return static_cast<int>(m_notes.size()) - 1;
}

bool CLurmetProject::DeleteNote(int note) {
    if (!FindNote(note)) return false;
    m_notes.erase(m_notes.begin() + note);
    return true;
}

CPString CLurmetProject::GetNoteTitle(int note) const {
    const Note* n = FindNote(note);
    return n ? n->title : CPString();
}

bool CLurmetProject::SetNoteTitle(int note, const CPString& title) {
    Note* n = FindNote(note);
    if (!n || HasNoteTitled(title, note)) return false;
    n->title = title;
    return true;
}

CPString CLurmetProject::GetNoteText(int note) const {
    const Note* n = FindNote(note);
    return n ? n->text : CPString();
}

bool CLurmetProject::SetNoteText(int note, const CPString& text) {
    Note* n = FindNote(note);
    if (!n) return false;
    n->text = text;
    return true;
}

CPString CLurmetProject::GetNoteDate(int note) const {
    const Note* n = FindNote(note);
    return n ? n->date : CPString();
}

bool CLurmetProject::SetNoteDate(int note, const CPString& date) {
    Note* n = FindNote(note);
    if (!n) return false;
    n->date = date;
    return true;
}

bool CLurmetProject::SetNoteCount(const CPString& title, int& selected) const {
    for (std::size_t i = 0; i < m_notes.size(); ++i) {
        if (m_notes[i].title == title) {
            selected = static_cast<int>(i);
            return true;
        }
    }
    return false;
}

// ---------------------------------------------------------------- record
//
// Version 1: project name, engineer's name, date, comments (CPString each), the number of notes
// (int), then one record per note (version 1: title, text, date).

bool CLurmetProject::Store(ILurmetBinaryFile& file) {
    RecordHandle record;
    if (!file.BeginRecord(record, RecordVersion) || !file.WriteCPString(m_projectName) ||
        !file.WriteCPString(m_engineer) || !file.WriteCPString(m_date) || !file.WriteCPString(m_comments) ||
        !file.WriteInt(static_cast<std::int32_t>(m_notes.size())))
        return false;
    for (const Note& note : m_notes) {
        RecordHandle noteRecord;
        if (!file.BeginRecord(noteRecord, 1) || !file.WriteCPString(note.title) || !file.WriteCPString(note.text) ||
            !file.WriteCPString(note.date) || !file.EndRecord(noteRecord))
            return false;
    }
    return file.EndRecord(record);
}

bool CLurmetProject::Recall(ILurmetBinaryFile& file) {
    RecordHandle record;
    CPString name, engineer, date, comments;
    std::int32_t count = 0;
    if (!file.BeginRecord(record) || !file.ReadCPString(name) || !file.ReadCPString(engineer) ||
        !file.ReadCPString(date) || !file.ReadCPString(comments) || !file.ReadItemCount(count))
        return false;
    // Notes grow one by one as their records are read, so a false count cannot make us
    // allocate more than the file backs.
    std::vector<Note> notes;
    for (std::int32_t i = 0; i < count; ++i) {
        RecordHandle noteRecord;
        Note note;
        if (!file.BeginRecord(noteRecord) || !file.ReadCPString(note.title) || !file.ReadCPString(note.text) ||
            !file.ReadCPString(note.date) || !file.EndRecord(noteRecord))
            return false;
        notes.push_back(std::move(note));
    }
    if (!file.EndRecord(record)) return false;
    m_projectName = std::move(name);
    m_engineer = std::move(engineer);
    m_date = std::move(date);
    m_comments = std::move(comments);
    m_notes = std::move(notes);
    return true;
}
