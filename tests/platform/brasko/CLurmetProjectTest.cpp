#include "brasko/CLurmetProject.h"

#include "brasko/LurmetBinaryFile.h"

#include <gtest/gtest.h>

namespace {

TEST(CLurmetProjectTest, NotesAreNumberedInOrder) {
    CLurmetProject p(nullptr, "P");
    EXPECT_EQ(p.GetNumberOfNotes(), 0);
    EXPECT_EQ(p.AddNote(), 0);
    EXPECT_EQ(p.AddNote("Second", "text"), 1);
    EXPECT_EQ(p.AddNote(), 2);
    EXPECT_EQ(p.GetNoteTitle(0), "Note 1");
    EXPECT_EQ(p.GetNoteTitle(2), "Note 3");
    EXPECT_EQ(p.GetNoteDate(0), CLurmetProject::Today());

    int selected = -1;
    EXPECT_TRUE(p.SetNoteCount("Second", selected));
    EXPECT_EQ(selected, 1);
    EXPECT_FALSE(p.SetNoteCount("Nothing", selected));
    EXPECT_EQ(selected, 1);

    EXPECT_TRUE(p.DeleteNote(0));
    EXPECT_EQ(p.GetNoteTitle(0), "Second");
    EXPECT_EQ(p.GetNoteText(0), "text");
    EXPECT_EQ(p.GetNumberOfNotes(), 2);

    // Out-of-range note numbers read as empty and are refused.
    for (int bad : {-1, 2, 100}) {
        EXPECT_EQ(p.GetNoteTitle(bad), "");
        EXPECT_EQ(p.GetNoteText(bad), "");
        EXPECT_EQ(p.GetNoteDate(bad), "");
        EXPECT_FALSE(p.SetNoteTitle(bad, "x"));
        EXPECT_FALSE(p.SetNoteText(bad, "x"));
        EXPECT_FALSE(p.DeleteNote(bad));
    }
}

TEST(CLurmetProjectTest, NameIsTheIdentifier) {
    CLurmetProject p(nullptr, "First");
    EXPECT_EQ(p.GetMyIdentifier(), "First");
    p.SetProjectName("Renamed");
    EXPECT_EQ(p.GetMyIdentifier(), "Renamed");
    EXPECT_EQ(p.GetNumberOfScenarios(), 0);
    EXPECT_EQ(p.GetScenarioName(0), "");
}

TEST(CLurmetProjectTest, NewerRecordWithExtraFieldsStillReads) {
    // A later version appends a field to the project record and to each note record.
    LurmetBinaryFile w = LurmetBinaryFile::ForWriting();
    RecordHandle h, note;
    ASSERT_TRUE(w.BeginRecord(h, 2) && w.WriteCPString("Future") && w.WriteCPString("Eng") &&
                w.WriteCPString("2030-01-01") && w.WriteCPString("") && w.WriteInt(1) && w.BeginRecord(note, 2) &&
                w.WriteCPString("T") && w.WriteCPString("X") && w.WriteCPString("D") && w.WriteDouble(1.0) &&
                w.EndRecord(note) && w.WriteCPString("new field") && w.EndRecord(h) && w.WriteInt(77));

    LurmetBinaryFile r = LurmetBinaryFile::ForReading(w.Bytes());
    CLurmetProject p;
    ASSERT_TRUE(p.Recall(r));
    EXPECT_EQ(p.GetProjectName(), "Future");
    EXPECT_EQ(p.GetNoteText(0), "X");
    std::int32_t after = 0;
    ASSERT_TRUE(r.ReadInt(after));
    EXPECT_EQ(after, 77);
}

TEST(CLurmetProjectTest, DerivedProjectWritesItsFieldsFirst) {
    // A project class stores its own fields, then the shared project record, in one record.
    class Derived : public CLurmetProject {
    public:
        Derived() : CLurmetProject(nullptr, "D") {}
        int GetObjectType() const override { return 501; }
        bool Store(ILurmetBinaryFile& f) override {
            RecordHandle h;
            return f.BeginRecord(h, 1) && f.WriteInt(0) && CLurmetProject::Store(f) && f.EndRecord(h);
        }
        bool Recall(ILurmetBinaryFile& f) override {
            RecordHandle h;
            std::int32_t flag = -1;
            return f.BeginRecord(h) && f.ReadInt(flag) && flag == 0 && CLurmetProject::Recall(f) && f.EndRecord(h);
        }
    };
    Derived d;
    d.SetComments("derived");
    EXPECT_EQ(d.GetEngineeringManager(), nullptr);
    EXPECT_EQ(d.GetObjectName(), "D");
    LurmetBinaryFile w = LurmetBinaryFile::ForWriting();
    ASSERT_TRUE(d.Store(w));
    LurmetBinaryFile r = LurmetBinaryFile::ForReading(w.Bytes());
    Derived back;
    back.SetComments("other");
    ASSERT_TRUE(back.Recall(r));
    EXPECT_EQ(back.GetComments(), "derived");
}

}  // namespace
