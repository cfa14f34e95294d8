// The records of the stream views: segment tables of versions 1, 3 and 4, the stream-link list
// with its editors (and a list whose scenario lost a link), and the older process-stream and
// engineering-data records, which read to their end and leave nothing behind them.
#include "brasko/CaseDocument.h"
#include "brasko/LurmetBinaryFile.h"
#include "eng/model/StreamLynxCollection.h"
#include "lumeth/PlotParameters.h"
#include "lumeth/Session.h"
#include "lumeth/TwoDimPlot.h"
#include "lumeth/ViewRecords.h"
#include "tests/support/FourStreamProject.h"
#include "tests/support/SegmentedStream.h"
#include "views/EnginePointers.h"
#include "views/case/scenario/HIDesignViewerScenario.h"
#include "views/case/streams/LegacyStreamViews.h"
#include "views/case/streams/LinkTable.h"
#include "views/case/streams/LinkTableCollection.h"
#include "views/case/streams/SegmentTable.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

using Writer = std::function<bool(LurmetBinaryFile&)>;

// One view of a hand-made view set: its record version, type, number, parent and class data.
struct ViewItem {
    int version;
    const char* type;
    int id;
    int parent;
    Writer data;
};

std::vector<std::uint8_t> viewSet(const std::vector<ViewItem>& views) {
    LurmetBinaryFile f = LurmetBinaryFile::ForWriting();
    RecordHandle set;
    EXPECT_TRUE(f.BeginRecord(set, ViewRecords::SetVersion) && f.WriteInt(static_cast<std::int32_t>(views.size())));
    for (const ViewItem& v : views) {
        RecordHandle r;
        EXPECT_TRUE(f.BeginRecord(r, v.version) && f.WriteCPString(v.type) && f.WriteInt(v.id) && f.WriteInt(v.parent) &&
                    f.WriteCPString("old") && v.data(f) && f.EndRecord(r));
    }
    EXPECT_TRUE(f.EndRecord(set));
    EXPECT_TRUE(f.Commit());
    return f.Bytes();
}

class ViewStreamRecords : public ::testing::Test {
protected:
    ViewStreamRecords() {
        Session::Instance().Reset();
        root = new Viewable(nullptr, "HIDesignViewerProjectObject");
        root->SetDocument(&document);
        stream = MakeSegmentedStream(*p.scenario, "H", 0, {150, 100, 50});
        baseReceivers = p.scenario->GetNumberOfReceivers();
    }
    ~ViewStreamRecords() override { delete root; }

    // A segment table's class data as version v wrote it: stream "H", selected row 1, no links,
    // the temperature-enthalpy plot, the first row's coefficient the user's own.
    Writer segmentTable(int v, int cut = 100) {
        return [this, v, cut](LurmetBinaryFile& f) {
            int items = 0;
            // Items past the cut are left out.
            auto item = [&](const std::function<bool()>& write) { return items++ >= cut || write(); };
            bool ok = item([&] { return StorePlotParameters(f, nullptr); });
            if (v > 3) ok = ok && item([&] { return f.WriteBool(false); });
            ok = ok && item([&] { return StoreScenarioPointer(f, p.scenario); }) &&
                 item([&] { return f.WriteBool(true) && f.WriteCPString("H"); }) && item([&] { return f.WriteInt(1); });
            if (v >= 2) ok = ok && item([&] { return f.WriteInt(0); });
            if (v >= 3) ok = ok && item([&] { return f.WriteInt(0) && f.WriteInt(0); });
            if (v >= 5) ok = ok && item([&] { return f.WriteInt(0); });
            if (v >= 6) ok = ok && item([&] { return f.WriteInt(1); }) && item([&] { return f.WriteInt(0); });
            return ok;
        };
    }
    // A process-stream record of version v linking view `table` (0: none).
    Writer processStream(int v, bool hasText, int table) {
        return [this, v, hasText, table](LurmetBinaryFile& f) {
            bool ok = f.WriteCPString("stream view") && f.WriteBool(true);
            for (int i = 0; i < 6; ++i) ok = ok && f.WriteDouble(i * 1.5);
            ok = ok && f.WriteInt(1) && f.WriteInt(2) && f.WriteInt(3) && StoreScenarioPointer(f, p.scenario) &&
                 f.WriteBool(hasText) && (!hasText || f.WriteCPString("dropped")) && f.WriteInt(table) && f.WriteInt(4) &&
                 StorePlotParameters(f, nullptr);
            return ok && (v < 3 || f.WriteInt(0));
        };
    }
    // An engineering-data record naming views `processStreamId` and `tables`, with two texts.
    Writer engineeringData(int processStreamId, const std::vector<int>& tables, int cut = 100) {
        return [=, this](LurmetBinaryFile& f) {
            int items = 0;
            auto item = [&](const std::function<bool()>& write) { return items++ >= cut || write(); };
            bool ok = item([&] {
                for (int i = 0; i < 15; ++i)
                    if (!f.WriteInt(i + 1)) return false;
                return true;
            });
            ok = ok && item([&] { return f.WriteCPString("case data"); }) &&
                 item([&] { return f.WriteDouble(1.0) && f.WriteDouble(2.0) && f.WriteDouble(3.0); }) &&
                 item([&] { return StoreScenarioPointer(f, p.scenario); }) &&
                 item([&] { return StoreDesignPointer(f, p.scenario, nullptr); }) &&
                 item([&] { return f.WriteInt(processStreamId); }) && item([&] { return f.WriteInt(0); }) &&
                 item([&] { return f.WriteInt(7) && f.WriteInt(8); }) &&
                 item([&] { return f.WriteInt(static_cast<std::int32_t>(tables.size())); });
            for (int id : tables) ok = ok && item([&] { return f.WriteInt(id); });
            return ok && item([&] { return f.WriteInt(2); }) && item([&] { return f.WriteCPString("first"); }) &&
                   item([&] { return f.WriteCPString("second"); });
        };
    }
    bool recall(const std::vector<std::uint8_t>& bytes, std::vector<Viewable*>& roots) {
        LurmetBinaryFile in = LurmetBinaryFile::ForReading(bytes);
        return ViewRecords::Recall(in, roots, &document);
    }

    FourStreamProject p{false};
    CaseDocument document{"case", &p.manager};
    Viewable* root = nullptr;
    IHeatIntegrationStream* stream = nullptr;
    int baseReceivers = 0;
};

class ViewSegmentTableVersions : public ViewStreamRecords, public ::testing::WithParamInterface<int> {};

// Every version reads to its stream and selected row, builds its plot and listens again.
TEST_P(ViewSegmentTableVersions, AnOlderRecordReadsBackWhole) {
    const int v = GetParam();
    std::vector<Viewable*> roots;
    ASSERT_TRUE(recall(viewSet({{v, SegmentTable::TypeName, 1, 0, segmentTable(v)}}), roots));
    ASSERT_EQ(1u, roots.size());
    auto* table = static_cast<SegmentTable*>(roots[0]);
    EXPECT_EQ(stream, table->GetStream());
    EXPECT_EQ(p.scenario, table->GetScenario());
    EXPECT_EQ(1, table->GetSelectedRow());
    ASSERT_NE(nullptr, table->GetPlot());
    EXPECT_EQ(":HeatFlow.201.[]", table->GetPlot()->GetPlotArea().GetDataSet(1)->XMoniker());
    EXPECT_EQ(baseReceivers + 1, p.scenario->GetNumberOfReceivers());
    // The first segment holds the default coefficient: its box reads checked unless the record
    // says the user gave it as the row's own.
    VarDescription box;
    ASSERT_TRUE(VarDescription::Parse("Switch.113", box));
    box.SetOffset(0, 0);
    EXPECT_EQ(v >= 6 ? 0.0 : 1.0, table->Value(box));
    auto life = table->LifeToken();
    ASSERT_EQ(1, p.scenario->DeleteStream("H"));
    EXPECT_TRUE(life.expired());
    EXPECT_EQ(baseReceivers, p.scenario->GetNumberOfReceivers());
}

TEST_P(ViewSegmentTableVersions, ACutRecordFailsAndLeavesNothing) {
    const int v = GetParam();
    const int items = 4 + (v > 3) + (v >= 2) + (v >= 3) + (v >= 5) + 2 * (v >= 6);
    for (int cut = 0; cut < items; ++cut) {
        std::vector<Viewable*> roots;
        EXPECT_FALSE(recall(viewSet({{v, SegmentTable::TypeName, 1, 0, segmentTable(v, cut)}}), roots)) << cut;
        EXPECT_TRUE(roots.empty());
        EXPECT_EQ(baseReceivers, p.scenario->GetNumberOfReceivers());
    }
}

INSTANTIATE_TEST_SUITE_P(Versions, ViewSegmentTableVersions, ::testing::Values(1, 2, 3, 4, 5, 6));

TEST_F(ViewStreamRecords, TheLinkListComesBackWithItsEditorsByPosition) {
    ASSERT_NE(nullptr, MakeSegmentedStream(*p.scenario, "C", 0, {40, 90}));
    ASSERT_NE(nullptr, MakeSegmentedStream(*p.scenario, "D", 0, {30, 70}));
    auto* list = new LinkTableCollection(root, nullptr, p.scenario, root);
    p.scenario->AddStreamLink(p.Stream("C"));
    p.scenario->AddStreamLink(p.Stream("D"));
    StreamLynxCollection* links = p.scenario->GetStreamLinkCollection();
    ASSERT_EQ(2, links->GetNumberOfLinks());
    list->OpenLinkView(links->GetLink(0));
    list->OpenLinkView(links->GetLink(1));
    LinkTable* second = list->GetLinkTables()[1];
    second->Message("ShowAdvancedLinkView");
    VarDescription setting;
    ASSERT_TRUE(VarDescription::Parse("Index.400", setting));
    second->Specify(setting, 5);

    LurmetBinaryFile out = LurmetBinaryFile::ForWriting();
    ASSERT_TRUE(ViewRecords::Store(out, {list}));
    ASSERT_TRUE(out.Commit());
    std::vector<Viewable*> roots;
    ASSERT_TRUE(recall(out.Bytes(), roots));
    ASSERT_EQ(1u, roots.size());
    auto* back = static_cast<LinkTableCollection*>(roots[0]);
    ASSERT_EQ(2, back->GetLinkTables().Count());
    EXPECT_EQ(links->GetLink(0), back->GetLinkTables()[0]->GetLink());
    EXPECT_EQ(p.Stream("D"), back->GetLinkTables()[1]->GetStream());
    EXPECT_EQ(5, back->GetLinkTables()[1]->GetFormSetting());
    EXPECT_EQ(1, back->GetSimpleLinkTables().Count());
    ASSERT_EQ(1, back->GetAdvancedLinkTables().Count());
    EXPECT_EQ(back->GetLinkTables()[1], back->GetAdvancedLinkTables()[0]);
    delete back;

    // The scenario lost a link since: the editors go, and the case still opens.
    ASSERT_EQ(1, links->DeleteLinksOf(p.Stream("C")));
    roots.clear();
    ASSERT_TRUE(recall(out.Bytes(), roots));
    ASSERT_EQ(1u, roots.size());
    back = static_cast<LinkTableCollection*>(roots[0]);
    EXPECT_EQ(0, back->GetLinkTables().Count());
    EXPECT_EQ(0, back->GetNumberOfChildren());
    // Opening the link again makes its editor.
    back->OpenLinkView(links->GetLink(0));
    EXPECT_EQ(1, back->GetLinkTables().Count());
    delete back;
}

// The scenario viewer stores its segment tables and its link list with their editors, and gets
// them back as its children, listed and listened to.
TEST_F(ViewStreamRecords, TheScenarioViewerGetsItsTablesAndLinkListBack) {
    root->SetName("Plant");
    ASSERT_NE(nullptr, MakeSegmentedStream(*p.scenario, "C", 0, {40, 90}));
    auto* viewer = new HIDesignViewerScenario(root, "Base", ObjectTypeRegistry::Current()->Find(HIDesignViewerScenario::TypeName));
    ASSERT_TRUE(viewer->SetVariables());
    ASSERT_EQ(1, viewer->GetSegmentTables().Count());
    p.scenario->AddStreamLink(p.Stream("C"));
    ASSERT_NE(nullptr, viewer->GetLinkTableCollection());
    ASSERT_EQ(1, viewer->GetLinkTableCollection()->GetLinkTables().Count());

    LurmetBinaryFile out = LurmetBinaryFile::ForWriting();
    ASSERT_TRUE(ViewRecords::Store(out, {viewer}));
    ASSERT_TRUE(out.Commit());
    delete viewer;
    std::vector<Viewable*> roots;
    ASSERT_TRUE(recall(out.Bytes(), roots));
    ASSERT_EQ(1u, roots.size());
    auto* back = static_cast<HIDesignViewerScenario*>(roots[0]);
    ASSERT_EQ(1, back->GetSegmentTables().Count());
    EXPECT_EQ(stream, back->GetSegmentTables()[0]->GetStream());
    ASSERT_EQ(1, back->GetProcessSegmentTableVector().Count());
    LinkTableCollection* list = back->GetLinkTableCollection();
    ASSERT_NE(nullptr, list);
    ASSERT_EQ(1, list->GetLinkTables().Count());
    EXPECT_EQ(p.Stream("C"), list->GetLinkTables()[0]->GetStream());
    // The recalled editor deletes its link through the list and the viewer.
    list->GetLinkTables()[0]->Message("DeleteLink");
    EXPECT_EQ(0, p.scenario->GetStreamLinkCollection()->GetNumberOfLinks());
    EXPECT_EQ(0, list->GetLinkTables().Count());
    // The table's stream going closes the recalled table and the viewer forgets it.
    ASSERT_EQ(1, p.scenario->DeleteStream("H"));
    EXPECT_EQ(0, back->GetSegmentTables().Count());
    delete back;
}

// An old process-stream view as an earlier build stored it beside the scenario viewer: its record
// links the viewer's segment table.
class OldProcessStream : public ProcessStream {
public:
    OldProcessStream(ObjectInstanceInfo& info, IHeatIntegrationScenario* scenario, Viewable* table)
        : ProcessStream(info), m_scenario(scenario), m_table(table) {}
    bool StoreClassData(BinaryFile& f) override {
        bool ok = f.WriteCPString("stream view") && f.WriteBool(false);
        for (int i = 0; i < 6; ++i) ok = ok && f.WriteDouble(0.0);
        return ok && f.WriteInt(0) && f.WriteInt(0) && f.WriteInt(0) && StoreScenarioPointer(f, m_scenario) &&
               f.WriteBool(false) && StorePointer(f, m_table) && f.WriteInt(0) && StorePlotParameters(f, nullptr) &&
               f.WriteInt(0);
    }

private:
    IHeatIntegrationScenario* m_scenario;
    Viewable* m_table;
};

// A table that the scenario viewer and an old process-stream view both name goes once: the
// process-stream view takes it with it, the viewer hears of it and forgets it.
TEST_F(ViewStreamRecords, ATableTheViewerAndAnOldProcessStreamNameGoesOnce) {
    root->SetName("Plant");
    auto* viewer = new HIDesignViewerScenario(root, "Base", ObjectTypeRegistry::Current()->Find(HIDesignViewerScenario::TypeName));
    ASSERT_TRUE(viewer->SetVariables());
    ASSERT_EQ(1, viewer->GetSegmentTables().Count());
    auto* type = const_cast<ObjectTypeInfo*>(ObjectTypeRegistry::Current()->Find(ProcessStream::TypeName));
    ObjectInstanceInfo info{type, "old", viewer};
    new OldProcessStream(info, p.scenario, viewer->GetSegmentTables()[0]);
    // Stored once by hand: the type is never written otherwise.
    type->SetTransient(false);
    LurmetBinaryFile out = LurmetBinaryFile::ForWriting();
    const bool stored = ViewRecords::Store(out, {viewer});
    type->SetTransient(true);
    ASSERT_TRUE(stored);
    ASSERT_TRUE(out.Commit());
    delete viewer;

    std::vector<Viewable*> roots;
    ASSERT_TRUE(recall(out.Bytes(), roots));
    ASSERT_EQ(1u, roots.size());
    auto* back = static_cast<HIDesignViewerScenario*>(roots[0]);
    EXPECT_EQ(0, back->GetSegmentTables().Count());
    EXPECT_EQ(0, back->GetProcessSegmentTableVector().Count());
    for (int i = 0; i < back->GetNumberOfChildren(); ++i) {
        EXPECT_FALSE(back->GetChild(i)->IsA(SegmentTable::TypeName));
        EXPECT_FALSE(back->GetChild(i)->IsA(ProcessStream::TypeName));
    }
    delete back;
}

struct OldStreamCase {
    int version;
    bool hasText;
};
void PrintTo(const OldStreamCase& c, std::ostream* os) {
    *os << "version " << c.version << (c.hasText ? " with text" : " without text");
}

class ViewProcessStreamVersions : public ViewStreamRecords, public ::testing::WithParamInterface<OldStreamCase> {};

// The old view reads its record, then goes with the table it linked: nothing is left.
TEST_P(ViewProcessStreamVersions, AnOldProcessStreamReadsToItsEndAndGoesWithItsTable) {
    const OldStreamCase& c = GetParam();
    std::vector<Viewable*> roots;
    ASSERT_TRUE(recall(viewSet({{c.version, ProcessStream::TypeName, 1, 0, processStream(c.version, c.hasText, 2)},
                                {4, SegmentTable::TypeName, 2, 1, segmentTable(4)}}),
                       roots));
    EXPECT_TRUE(roots.empty());
    EXPECT_EQ(baseReceivers, p.scenario->GetNumberOfReceivers());
}

INSTANTIATE_TEST_SUITE_P(Versions, ViewProcessStreamVersions,
                         ::testing::Values(OldStreamCase{2, false}, OldStreamCase{2, true}, OldStreamCase{3, false},
                                           OldStreamCase{3, true}));

// A table both an old process-stream view and the engineering data name goes once: the
// process-stream view owns it, the engineering data hears of its death.
TEST_F(ViewStreamRecords, TheEngineeringDataKeepsWhatItReadAndATableNamedTwiceGoesOnce) {
    std::vector<Viewable*> roots;
    ASSERT_TRUE(recall(viewSet({{0, HenEngData::TypeName, 1, 0, engineeringData(3, {2})},
                                {4, SegmentTable::TypeName, 2, 1, segmentTable(4)},
                                {3, ProcessStream::TypeName, 3, 1, processStream(3, false, 2)}}),
                       roots));
    ASSERT_EQ(1u, roots.size());
    auto* data = static_cast<HenEngData*>(roots[0]);
    EXPECT_EQ(0, data->GetNumberOfChildren());
    EXPECT_EQ(0, data->GetSegmentTables().Count());
    EXPECT_EQ(nullptr, data->GetProcessStream());
    EXPECT_EQ("case data", data->GetRecordName());
    EXPECT_EQ(15, data->Integer(14));
    EXPECT_EQ(3.0, data->Number(2));
    EXPECT_EQ(8, data->Flag(1));
    EXPECT_EQ(p.scenario, data->GetScenario());
    ASSERT_EQ(2, data->GetTexts().Count());
    EXPECT_EQ("second", data->GetTexts()[1]);
    EXPECT_EQ(baseReceivers, p.scenario->GetNumberOfReceivers());
    delete data;

    // A table only the engineering data names goes with it; no table still reads the texts.
    roots.clear();
    ASSERT_TRUE(recall(viewSet({{0, HenEngData::TypeName, 1, 0, engineeringData(0, {2})},
                                {4, SegmentTable::TypeName, 2, 1, segmentTable(4)}}),
                       roots));
    ASSERT_EQ(1u, roots.size());
    EXPECT_EQ(1, static_cast<HenEngData*>(roots[0])->GetSegmentTables().Count());
    delete roots[0];
    EXPECT_EQ(baseReceivers, p.scenario->GetNumberOfReceivers());
    roots.clear();
    ASSERT_TRUE(recall(viewSet({{0, HenEngData::TypeName, 1, 0, engineeringData(0, {})}}), roots));
    ASSERT_EQ(1u, roots.size());
    EXPECT_EQ(2, static_cast<HenEngData*>(roots[0])->GetTexts().Count());
    delete roots[0];
    // Cut anywhere, the record fails.
    for (int cut : {0, 1, 3, 6, 9, 11}) {
        roots.clear();
        EXPECT_FALSE(recall(viewSet({{0, HenEngData::TypeName, 1, 0, engineeringData(0, {}, cut)}}), roots)) << cut;
        EXPECT_TRUE(roots.empty());
    }
}

}  // namespace
