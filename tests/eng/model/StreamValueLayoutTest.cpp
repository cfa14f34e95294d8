// The bytes a stream's values are stored as: streams built the ways users build them (a table
// row, several segments edited in place, raw property curves, names the set does not know, a
// copy, a file with locked values read back) are written and compared, by length and CRC-32,
// with the bytes of the layout files hold (the value set's record at version 5). How the values
// are held in memory may change; what a case file holds must not.
#include "brasko/LurmetBinaryFile.h"
#include "dunmor/Crc32.h"
#include "eng/model/HeatIntegrationStream.h"
#include "osmeri/CPValue.h"
#include "tests/eng/model/OldStreamRecordWriter.h"
#include "tests/eng/model/StreamTestSupport.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

using namespace streamtest;

namespace {

std::vector<std::uint8_t> Bytes(const CPIHeatIntegrationStream& s) {
    LurmetBinaryFile f = LurmetBinaryFile::ForWriting();
    EXPECT_TRUE(s.Store(f));
    return f.Bytes();
}

// The old record of a stream `name` with the value tree `tree` over `segments` segments.
OldStreamRecord RecordOf(const char* name, const CPValue& tree, std::size_t segments) {
    OldStreamRecord r;
    r.name = name;
    r.properties = &tree;
    r.segments = std::vector<StreamSegment>(segments);
    return r;
}

// A stream read from the old record, entered with `owner`; null when the record is refused.
CPIHeatIntegrationStream* Recalled(FakeStreamOwner& owner, const OldStreamRecord& r) {
    auto stream = std::make_unique<CPIHeatIntegrationStream>(&owner, "");
    LurmetBinaryFile f = LurmetBinaryFile::ForReading(WriteOldStreamRecord(r));
    if (!stream->Recall(f)) return nullptr;
    return owner.Enter(std::move(stream));
}

// What `s` writes, read back into a stream of its own (handed back), must write the same bytes
// again.
std::unique_ptr<CPIHeatIntegrationStream> RewrittenAsRead(FakeStreamOwner& owner, const CPIHeatIntegrationStream& s) {
    const std::vector<std::uint8_t> bytes = Bytes(s);
    auto again = std::make_unique<CPIHeatIntegrationStream>(&owner, "");
    LurmetBinaryFile g = LurmetBinaryFile::ForReading(bytes);
    if (!again->Recall(g)) {
        ADD_FAILURE() << "what the stream wrote is not read back";
        return nullptr;
    }
    EXPECT_EQ(bytes, Bytes(*again));
    return again;
}

CPIHeatIntegrationStream* TableRow(FakeStreamOwner& owner) {
    CPIHeatIntegrationStream* s = owner.Add("Feed");
    SetPoints(*s, {150.0, 50.0});
    s->SetValue("HeatCapacityFlowrate", 2.5, 0);
    s->SetValue("HTCoeff", 0.5, 0);
    return s;
}

CPIHeatIntegrationStream* Edited(FakeStreamOwner& owner) {
    CPIHeatIntegrationStream* s = owner.Add("Edited");
    SetPoints(*s, {40.0, 90.0, 140.0, 180.0});
    SetSegmentValues(*s, "HeatCapacityFlowrate", {1.0, 2.0, 3.0});
    s->SetValue("Viscosity", 0.8, 1);
    s->SetValue("MassFlow", 2.0, 0);
    s->SetValue("FoulingFactor", 0.1, 2);
    s->SetValue("Site note", 7.0, 0);
    s->InsertSegment(1);
    s->DeleteSegment(3);
    s->SetValue("Temperature", kEmpty, 1);
    s->SetDTminContribution(6.0, "Local", 0, 0);
    return s;
}

CPIHeatIntegrationStream* RawCurves(FakeStreamOwner& owner) {
    CPIHeatIntegrationStream* s = owner.Add("Raw");
    SetPoints(*s, {20.0, 80.0});
    const std::vector<double> t{20.0, 40.0, 60.0, 80.0};
    for (std::size_t k = 0; k < t.size(); ++k) {
        const int i = static_cast<int>(k);
        s->SetValue("Raw_Temperature_DataSet", t[k], i);
        s->SetValue("Raw_VapourFraction_DataSet", 0.0, i);
        s->SetValue("Raw_MassEnthalpy_DataSet", 4.0 * t[k], i);
        s->SetValue("Raw_SpecificHeat_DataSet", 4.0, i);
    }
    return s;
}

CPIHeatIntegrationStream* Copied(FakeStreamOwner& owner) {
    CPIHeatIntegrationStream* source = Edited(owner);
    CPIHeatIntegrationStream* s = owner.Add("Copy");
    s->CopyFrom(source);
    owner.Remove("Edited");
    return s;
}

// A file whose values carry locks (the set, one value, one entry) and an entry with a status but
// no number, read back.
CPIHeatIntegrationStream* LockedFromFile(FakeStreamOwner& owner) {
    CPIHeatIntegrationStream* t = owner.Add("Template");
    SetPoints(*t, {150.0, 100.0, 50.0});
    SetSegmentValues(*t, "HeatCapacityFlowrate", {1.0, 2.0});
    CPValue tree = *t->GetPropertySet().GetProperties();
    owner.Remove("Template");
    tree._set_nLockStatus(1);
    for (std::size_t k = 0; k < tree.GetNumberOfSubValues(); ++k) {
        CPValue& v = *tree.GetSubValue(k);
        CPValue* entries = v.FindSubValue("SegmentValues");
        if (v.GetName() == "HTCoeff") v._set_nLockStatus(3);
        if (v.GetName() == "Enthalpy") entries->GetSubValue(1)->_set_nLockStatus(1);
        if (v.GetName() == "SpecificHeat") entries->GetSubValue(0)->SetStatus(2);
    }
    OldStreamRecord r = RecordOf("Locked", tree, 2);
    CPIHeatIntegrationStream* s = Recalled(owner, r);
    EXPECT_TRUE(s);
    return s;
}

struct LayoutCase {
    const char* name;
    std::function<CPIHeatIntegrationStream*(FakeStreamOwner&)> build;
    std::size_t length;
    std::uint32_t crc;
};
void PrintTo(const LayoutCase& c, std::ostream* os) {
    *os << c.name << ": " << c.length << " bytes";
}

class StreamValueLayout : public ::testing::TestWithParam<LayoutCase> {
protected:
    void SetUp() override { EnsureRegistries(); }
    FakeStreamOwner owner;
};

TEST_P(StreamValueLayout, StoredBytesAreThoseOfTheFileFormat) {
    const LayoutCase& c = GetParam();
    CPIHeatIntegrationStream* s = c.build(owner);
    ASSERT_NE(nullptr, s);
    const std::vector<std::uint8_t> bytes = Bytes(*s);
    EXPECT_EQ(c.length, bytes.size());
    EXPECT_EQ(c.crc, crc32(bytes.data(), bytes.size())) << std::hex << crc32(bytes.data(), bytes.size());
}

INSTANTIATE_TEST_SUITE_P(
    Streams, StreamValueLayout,
    ::testing::Values(LayoutCase{"New", [](FakeStreamOwner& o) { return o.Add("New"); }, 1933, 0x12E9534Cu},
                      LayoutCase{"TableRow", TableRow, 1934, 0xCA3573FDu}, LayoutCase{"Edited", Edited, 2814, 0x155567F8u},
                      LayoutCase{"RawCurves", RawCurves, 2854, 0x15CB6A35u}, LayoutCase{"Copied", Copied, 2812, 0x4BABFFA4u},
                      LayoutCase{"LockedFromFile", LockedFromFile, 2445, 0xC8CF9A50u}),
    [](const ::testing::TestParamInfo<LayoutCase>& info) { return std::string(info.param.name); });

// A file's tree may hold what the set has no use for: a name and a sub-value on an entry, a node
// beside "Segmentable" and "SegmentValues", a value of a name the set does not know. The values
// read back; what is written again is the tree without the pieces of no use, and it reads back
// to the same values.
TEST(StreamValueLayoutRecall, PiecesOfNoUseAreLeftOutAndTheValuesStay) {
    EnsureRegistries();
    FakeStreamOwner owner;
    CPIHeatIntegrationStream* t = owner.Add("Template");
    SetPoints(*t, {150.0, 50.0});
    t->SetValue("HeatCapacityFlowrate", 2.0, 0);
    t->SetValue("Site note", 4.0, 0);
    const CPValue clean = *t->GetPropertySet().GetProperties();
    owner.Remove("Template");

    CPValue odd = clean;
    for (std::size_t k = 0; k < odd.GetNumberOfSubValues(); ++k) {
        CPValue& v = *odd.GetSubValue(k);
        if (v.GetName() != "HeatCapacityFlowrate") continue;
        CPValue* entry = v.FindSubValue("SegmentValues")->GetSubValue(0);
        entry->SetName("named");
        entry->AddSubValue("below", 1.0, 1);
        v.AddSubValue("Comment", 3.0, 1);
    }
    OldStreamRecord r = RecordOf("Odd", odd, 1);
    CPIHeatIntegrationStream* s = Recalled(owner, r);
    ASSERT_TRUE(s);
    EXPECT_DOUBLE_EQ(2.0, Value(*s, "HeatCapacityFlowrate", 0));
    EXPECT_DOUBLE_EQ(200.0, Value(*s, "Enthalpy", 0));
    EXPECT_DOUBLE_EQ(4.0, Value(*s, "Site note", 0));
    EXPECT_TRUE(*s->GetPropertySet().GetProperties() == clean);

    RewrittenAsRead(owner, *s);
}

// A file may give an entry a status or lock no byte holds (negative, or past 254). The set keeps
// them whole, writes them back as they came, and they stay with their entries when a segment is
// inserted in front of them and deleted again.
TEST(StreamValueLayoutRecall, StatusesAndLocksOfAnyWidthStayWithTheirEntries) {
    EnsureRegistries();
    FakeStreamOwner owner;
    CPIHeatIntegrationStream* t = owner.Add("Template");
    SetPoints(*t, {150.0, 100.0, 50.0});
    SetSegmentValues(*t, "HeatCapacityFlowrate", {1.0, 2.0});
    CPValue tree = *t->GetPropertySet().GetProperties();
    owner.Remove("Template");
    for (std::size_t k = 0; k < tree.GetNumberOfSubValues(); ++k) {
        CPValue& v = *tree.GetSubValue(k);
        CPValue* entries = v.FindSubValue("SegmentValues");
        if (v.GetName() == "HeatCapacityFlowrate") entries->GetSubValue(1)->SetStatus(300);
        if (v.GetName() == "Enthalpy") entries->GetSubValue(0)->_set_nLockStatus(-2);
        if (v.GetName() == "Velocity") {
            entries->GetSubValue(0)->SetStatus(255);
            entries->GetSubValue(0)->_set_nLockStatus(65536);
        }
    }
    OldStreamRecord r = RecordOf("Wide", tree, 2);
    CPIHeatIntegrationStream* s = Recalled(owner, r);
    ASSERT_TRUE(s);
    EXPECT_TRUE(*s->GetPropertySet().GetProperties() == tree);
    RewrittenAsRead(owner, *s);

    const StreamPropertySet& set = s->GetPropertySet();
    auto status = [&](const char* name, int i) { return set.GetEntry(name, i)->GetStatus(); };
    auto lock = [&](const char* name, int i) { return set.GetEntry(name, i)->GetLockStatus(); };
    // The locked enthalpy keeps its number; the entries behind the new first segment move along.
    ASSERT_EQ(1, s->InsertSegment(1));
    EXPECT_EQ(300, status("HeatCapacityFlowrate", 2));
    EXPECT_EQ(1, status("HeatCapacityFlowrate", 1));
    EXPECT_EQ(0, status("HeatCapacityFlowrate", 0));
    EXPECT_EQ(-2, lock("Enthalpy", 1));
    EXPECT_EQ(0, lock("Enthalpy", 0));
    EXPECT_EQ(255, status("Velocity", 0));
    EXPECT_EQ(65536, lock("Velocity", 0));
    EXPECT_EQ(1, s->SetValue("HeatCapacityFlowrate", 4.0, 0));
    ASSERT_EQ(1, s->DeleteSegment(1));
    EXPECT_EQ(300, status("HeatCapacityFlowrate", 1));
    EXPECT_EQ(-2, lock("Enthalpy", 0));
    EXPECT_EQ(0, lock("Enthalpy", 1));
    EXPECT_EQ(65536, lock("Velocity", 0));
    EXPECT_EQ(255, status("Velocity", 0));
    EXPECT_FALSE(set.GetEntry("Velocity", 0)->IsEmpty());
}

// The value set's own flags are stored as four-byte numbers; whatever number a file gives one
// is read and written back as it came.
TEST(StreamValueLayoutRecall, SetFlagsOfAnyWidthAreWrittenBackAsTheyCame) {
    EnsureRegistries();
    FakeStreamOwner owner;
    CPIHeatIntegrationStream* t = owner.Add("Template");
    SetPoints(*t, {150.0, 50.0});
    t->SetValue("HeatCapacityFlowrate", 2.0, 0);
    const CPValue tree = *t->GetPropertySet().GetProperties();
    owner.Remove("Template");
    OldStreamRecord r = RecordOf("Flags", tree, 1);
    r.setFlags[3] = 300;
    r.setFlags[4] = -7;
    r.setFlags[5] = 65536;
    CPIHeatIntegrationStream* s = Recalled(owner, r);
    ASSERT_TRUE(s);
    const StreamPropertySet& set = s->GetPropertySet();
    EXPECT_EQ(300, set.IsCopied());
    EXPECT_EQ(-7, set.IsSegmentTableBuilt());
    EXPECT_EQ(65536, set.IsUpdating());
    const auto again = RewrittenAsRead(owner, *s);
    ASSERT_TRUE(again);
    EXPECT_EQ(-7, again->GetPropertySet().IsSegmentTableBuilt());
}

}  // namespace
