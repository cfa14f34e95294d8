#include "lumeth/PlotParameters.h"

#include "lumeth/BinaryFile.h"

Dim2GraphControl::Dim2GraphControl(Viewable* owner) : Viewable(owner, "Dim2GraphControlObject") {
    SetName("Dim2GraphControl");
}

bool StorePlotParameters(BinaryFile& file, const Dim2GraphControl* p) {
    RecordHandle record;
    if (!file.BeginRecord(record, Dim2GraphControl::RecordVersion) || !file.WriteBool(p != nullptr)) return false;
    if (p && !(file.WriteDouble(p->xMinimum) && file.WriteDouble(p->xMaximum) && file.WriteDouble(p->yMinimum) &&
               file.WriteDouble(p->yMaximum) && file.WriteBool(p->grid)))
        return false;
    return file.EndRecord(record);
}

bool RecallPlotParameters(BinaryFile& file, Dim2GraphControl*& out, Viewable* owner) {
    out = nullptr;
    RecordHandle record;
    bool present = false;
    if (!file.BeginRecord(record) || !file.ReadBool(present)) return false;
    double v[4] = {0, 0, 0, 0};
    bool grid = false;
    if (present && !(file.ReadDouble(v[0]) && file.ReadDouble(v[1]) && file.ReadDouble(v[2]) && file.ReadDouble(v[3]) &&
                     file.ReadBool(grid)))
        return false;
    if (!file.EndRecord(record)) return false;
    if (present) {
        out = new Dim2GraphControl(owner);
        out->xMinimum = v[0], out->xMaximum = v[1], out->yMinimum = v[2], out->yMaximum = v[3];
        out->grid = grid;
    }
    return true;
}

void DeletePlotParameters(Dim2GraphControl*& parameters) {
    delete parameters;
    parameters = nullptr;
}
