#pragma once
// What the design-record tests share: a design that holds every part of its record (a
// splitter-mixer, utilities, a locked operation with its state, two schedules with events, one
// of them executed, the default study and a study with a cleaning, a flow change, a fouled
// exchanger and trends), and the bytes of a design's record.
#include "OperationTestSupport.h"

#include "brasko/LurmetBinaryFile.h"
#include "eng/design/HENSchedule.h"
#include "eng/design/HENState.h"
#include "eng/design/HENTrend.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace design_test {

using RecordBytes = std::vector<std::uint8_t>;

inline RecordBytes DesignBytes(const IHENDesign& d) {
    LurmetBinaryFile out = LurmetBinaryFile::ForWriting();
    if (!d.Store(out)) return RecordBytes();
    return out.Bytes();
}

inline bool ReadDesignBytes(IHENDesign& d, const RecordBytes& bytes) {
    LurmetBinaryFile in = LurmetBinaryFile::ForReading(bytes);
    return d.Recall(in);
}

// The exchanger of the design that bears the name; null when none does.
inline CNode* UnitNamed(const CPIHENDesign& d, const char* name) {
    CNode* x = nullptr;
    for (int i = 0; d.GetHeatExchanger(i, x); ++i) {
        CPString unit;
        if (x->getVariableAsString(NodeValue::UnitOperationName, unit) && unit == name) return x;
    }
    return nullptr;
}

struct FullDesign : OperatedNetwork {
    FullDesign() {
        CNode* tee = nullptr;
        CNode* segment = NthSegment(*d, "H2", 1);
        built = d->AddSplitterMixer(segment, segment, tee, "split", 2);
        d->SetNotes("Preheat train");
        d->SetStoredTextA("text A");
        d->SetStoredTextB("text B");
        d->SetStoredTextC("text C");
        d->SetDTMin(12.5);
        d->SetHTMaxAreaShell(400.0);
        d->ProcessChange(CPIHENDesign::CodeRecalculate, CPString(), nullptr);
        // The network has no heaters or coolers: H1, H2 and C1 are short of their targets, so the
        // viewer would not lock it. The lock itself puts a utility at each open stream end, which
        // is all these records need.
        built = built && d->CheckOperationLockable() == 1 && d->GetNumberOfUnsatisfiedProcessStreams() == 3;
        d->LockOperation();
        built = built && d->GetOperationLocked();

        built = built && d->AddNewSchedule() && d->AddEventToCurrentSchedule("AdditionalAreaHENEvent", "E-100");
        d->SetCurrentEventNewValue(OperatedNetwork::Value(e100, NodeValue::HTArea) * 1.2);
        built = built && d->AddEventToCurrentSchedule("StreamFlowrateChangeEvent", "H1");
        d->SetCurrentEventNewValue(16.0);
        built = built && d->AddNewSchedule() && d->AddEventToCurrentSchedule("SplitflowmodificationEvent", "TEE-100 Branch 1") &&
                d->AddEventToCurrentSchedule("CleaningHENEvent", "E-101");

        d->AddStudy();
        base = dynamic_cast<HENTrend*>(d->GetDefaultStudy());
        built = built && base;
        if (!built) return;
        base->SetNumberOfIntervals(3);
        base->AddFouledHeatExchanger("E-100");
        for (int t = 0; t <= 3; ++t) {
            base->SetTimeAtPoint(t, 2.0 * t);
            base->SetFouledHTC("E-100", t, 0.25 - 0.02 * t);
        }
        d->AddStudy();
        study = dynamic_cast<HENTrend*>(d->GetStudy(0));
        built = study && study->AddCleanExchEvent("E-100", 1, 2) == nullptr &&
                study->AddSpecialEvent("H1", "MassFlow", 2, 15.0) == nullptr &&
                study->SelectCleanExchEvent("E-100_from_t1_to_t2");
        d->CalculateCurrentStudy();
        // The first schedule is executed last, so the design holds its solution.
        d->SelectSchedule("Event-P1");
        d->ExecuteSchedule();
        built = built && d->HoldsOperatingSolution();
    }

    bool built = false;
    HENTrend* base = nullptr;
    HENTrend* study = nullptr;
};

}  // namespace design_test
