// Every record type of the platform layers through the field-level record harness: failed writes
// are reported, a record cut after any field is refused and leaves the object it was read into as
// it was, and a full record re-stores byte for byte.
#include "DefaultManagerTestSupport.h"
#include "brasko/CLurmetProject.h"
#include "brasko/ReportHolder.h"
#include "tests/support/RecordHarness.h"

#include <gtest/gtest.h>

namespace {

RecordType ManagerRecord(const char* name, StoreRecallType type) {
    return Record<DefaultManager>(
        name, [] { return std::shared_ptr<DefaultManager>(EditedManager()); },
        [] {
            std::shared_ptr<DefaultManager> m = FactoryManager();
            m->AddEconomicData("Mine");
            return m;
        },
        [type](const DefaultManager& m, ILurmetBinaryFile& f) { return const_cast<DefaultManager&>(m).Store(&f, type); },
        [type](DefaultManager& m, ILurmetBinaryFile& f) { return m.Recall(&f, type); });
}

std::shared_ptr<ReportHolder> Report(const char* section, const char* text) {
    auto r = std::make_shared<ReportHolder>();
    r->AppendText(section, text);
    r->AddEntry("Warnings", "Units", "Units target");
    return r;
}

std::shared_ptr<CLurmetProject> Project(const char* name, const char* note) {
    auto p = std::make_shared<CLurmetProject>(nullptr, name);
    p->SetEngineersName("A. Jones");
    p->SetComments("Crude unit revamp\nsecond line");
    p->AddNote(note, "Design case 2");
    p->SetNoteDate(p->AddNote(), "2024-03-02");
    return p;
}

const std::vector<RecordType>& Table() {
    static const std::vector<RecordType> table = {
        ManagerRecord("manager", SRT_All), ManagerRecord("economics", SRT_Economics),
        ManagerRecord("utilities", SRT_Utilities), ManagerRecord("coefficients", SRT_Coefficients),
        Record<ReportHolder>("report", [] { return Report("Streams:H1", "170 to 60"); }, [] { return Report("Notes", "keep me"); }),
        Record<CLurmetProject>(
            "project", [] { return Project("Refinery", "Basis"); }, [] { return Project("Keep", "Mine"); },
            [](const CLurmetProject& p, ILurmetBinaryFile& f) { return const_cast<CLurmetProject&>(p).Store(f); },
            [](CLurmetProject& p, ILurmetBinaryFile& f) { return p.Recall(f); }),
    };
    return table;
}

class PlatformRecordTable : public ::testing::TestWithParam<std::size_t> {};

TEST_P(PlatformRecordTable, FailedWritesAreReportedAndShortRecordsChangeNothing) {
    ExpectRecordHarnessHolds(Table()[GetParam()]);
}

INSTANTIATE_TEST_SUITE_P(Records, PlatformRecordTable, ::testing::Range<std::size_t>(0, Table().size()),
                         [](const ::testing::TestParamInfo<std::size_t>& info) { return std::string(Table()[info.param].name); });

}  // namespace
