#pragma once
// A representative case file for the reader tests: nested records, every field type, a value
// tree, a counted string and a project record, written and read back by matching scripts.
#include "brasko/CLurmetProject.h"
#include "brasko/LurmetBinaryFile.h"
#include "osmeri/CPValue.h"

#include <cstdint>
#include <vector>

namespace casefile_sample {

struct Contents {
    bool flag = false;
    std::int32_t count = 0;
    std::int32_t big = 0;
    double ratio = 0.0;
    char mark = 0;
    CPString title;
    CPValue tree;
    CPString label;
    std::int32_t innerCode = 0;
    CPString innerName;
    double deepest = 0.0;
    CPString projectName;
    int projectNotes = 0;
    std::int32_t trailer = 0;
};

inline CPValue SampleTree() {
    CPValue root("Stream", 120.5, CPValue::Specified);
    root._set_nLockStatus(1);
    CPValue* t = root.AddSubValue("Temperature", 80.0, CPValue::Calculated);
    t->AddSubValue("Inlet", 150.0, CPValue::Specified);
    t->AddSubValue("Outlet");  // empty
    CPValue* n = root.AddSubValue("Name");
    n->SetText("H1 feed", CPValue::Specified);
    return root;
}

inline bool Write(LurmetBinaryFile& f) {
    RecordHandle outer, inner, deep;
    CLurmetProject project(nullptr, "Refinery");
    project.SetEngineersName("A. Jones");
    project.AddNote("Basis", "Design case 2");
    return f.BeginRecord(outer, 3) && f.WriteBool(true) && f.WriteInt(-42) && f.WriteLong(2000000000) &&
           f.WriteDouble(3.25) && f.WriteChar('Q') && f.WriteCPString("Crude unit") &&
           f.WriteCPValue(SampleTree()) && f.WriteCountedString("HX-101") && f.BeginRecord(inner, 2) &&
           f.WriteInt(7) && f.WriteCPString("inner") && f.BeginRecord(deep, 1) && f.WriteDouble(-0.5) &&
           f.EndRecord(deep) && f.EndRecord(inner) && project.Store(f) && f.EndRecord(outer) && f.WriteInt(99);
}

inline std::vector<std::uint8_t> Bytes() {
    LurmetBinaryFile f = LurmetBinaryFile::ForWriting();
    Write(f);
    return f.Bytes();
}

// Reads exactly what Write wrote; false at the first failed read.
inline bool Read(LurmetBinaryFile& f, Contents& c) {
    RecordHandle outer, inner, deep;
    CLurmetProject project;
    if (!(f.BeginRecord(outer) && f.ReadBool(c.flag) && f.ReadInt(c.count) && f.ReadLong(c.big) &&
          f.ReadDouble(c.ratio) && f.ReadChar(c.mark) && f.ReadCPString(c.title) && f.ReadCPValue(c.tree) &&
          f.ReadCountedString(c.label) && f.BeginRecord(inner) && f.ReadInt(c.innerCode) &&
          f.ReadCPString(c.innerName) && f.BeginRecord(deep) && f.ReadDouble(c.deepest) && f.EndRecord(deep) &&
          f.EndRecord(inner) && project.Recall(f) && f.EndRecord(outer) && f.ReadInt(c.trailer)))
        return false;
    c.projectName = project.GetProjectName();
    c.projectNotes = project.GetNumberOfNotes();
    return true;
}

}  // namespace casefile_sample
