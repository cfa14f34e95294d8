// Stream links of a scenario: making them, reading the candidates in the scenario's design,
// simple and advanced evaluation worked by hand, default bounds from the user preferences, the
// collection's counts and preference, the record, and streams or designs that go away.
#include "ScenarioTestDoubles.h"

#include "brasko/LurmetBinaryFile.h"
#include "eng/model/StreamLynx.h"
#include "eng/model/StreamLynxCollection.h"
#include "lumeth/Framework.h"
#include "lumeth/Messages.h"
#include "pellin/FlowSheet.h"
#include "pellin/NodeKinds.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>

using namespace scenario_test;

namespace {

constexpr double kEmpty = -32767.0;

// A design whose flowsheet is a table of nodes: each node names the unit upstream of it, its class
// and its temperature.
class FlowsheetDesign : public FakeDesign {
public:
    using FakeDesign::FakeDesign;
    struct Node {
        std::string upstream;
        std::string kind;
        double temperature = kEmpty;
    };
    bool GetUpstreamNodeName(const CPString& node, CPString& out) const override {
        auto it = nodes.find(node);
        if (it == nodes.end() || it->second.upstream.empty()) return false;
        out = it->second.upstream;
        return true;
    }
    CPString GetNodeClassName(const CPString& node) const override {
        auto it = nodes.find(node);
        return it == nodes.end() ? CPString() : CPString(it->second.kind);
    }
    bool GetNodeValue(const CPString& node, const CPString& name, double& out) const override {
        auto it = nodes.find(node);
        if (it == nodes.end() || name != "Temperature" || it->second.temperature == kEmpty) return false;
        out = it->second.temperature;
        return true;
    }
    // The stream's product block, found through the stream as the design finds it.
    CNode* GetStreamBlock(const CPString& streamName, bool end) const override {
        const auto it = blocks.find(streamName);
        return end && it != blocks.end() ? it->second.get() : nullptr;
    }
    void AddBlock(const std::string& stream) {
        blocks[stream] = FlowSheet::CreateNode(NodeKind::ProductBlock, CPString(stream + "End"));
    }
    // The stream leaves the network at `t`: End <- outlet material stream.
    void EndAt(const std::string& stream, double t) {
        AddBlock(stream);
        nodes[stream + "End"] = {stream + "-out", "ppProduct"};
        nodes[stream + "-out"] = {stream + "-hx", "ppMaterialStream", t};
        nodes[stream + "-hx"] = {"", "htHeatExchanger"};
    }
    // The stream leaves its last exchanger at `t` and its end heater at `afterHeater`.
    void EndBehindHeater(const std::string& stream, double t, double afterHeater) {
        AddBlock(stream);
        nodes[stream + "End"] = {stream + "-out", "ppProduct"};
        nodes[stream + "-out"] = {stream + "-heater", "ppMaterialStream", afterHeater};
        nodes[stream + "-heater"] = {stream + "-mid", "htHeater"};
        nodes[stream + "-mid"] = {"", "ppMaterialStream", t};
    }
    std::map<std::string, Node> nodes;
    std::map<std::string, std::unique_ptr<CNode>> blocks;
};

class FlowsheetDesignFactory : public IHENDesignFactory {
public:
    IHENDesign* CreateDesign(IHeatIntegrationScenario&, const CPString& name) override {
        made.push_back(new FlowsheetDesign(name));
        return made.back();
    }
    std::vector<FlowsheetDesign*> made;
};

// Process streams H1, H2, C1 (and a utility U1) in a scenario with one design; H1 is the linked
// stream in most tests, so the candidates are H2 (position 0) and C1 (position 1).
struct LinkFixture {
    LinkFixture() {
        ScenarioServices services;
        services.designs = designs;
        scenario = std::make_unique<CPIScenario>(nullptr, services);
        scenario->AddNotificationReceiver(&view);
        AddStream("H1", 0, 180.0, 4.0);
        AddStream("H2", 0, 150.0, 2.5);
        AddStream("C1", 0, 40.0, 3.0);
        AddStream("U1", 1, 250.0, kEmpty);
        scenario->AddDesign("Design 1");
        design = designs->made.back();
        design->EndAt("H2", 150.0);
        design->EndAt("C1", 60.0);
        ConfigData::Instance().Clear();
        ErrorJournal::Instance().Clear();
    }
    ~LinkFixture() {
        if (scenario) scenario->RemoveNotificationReceiver(&view);
        ConfigData::Instance().Clear();
    }
    void AddStream(const char* name, int kind, double supply, double massFlow) {
        ASSERT_EQ(scenario->AddStream(name, kind), 1);
        IHeatIntegrationStream* s = Stream(name);
        s->SetValue("Temperature", supply, 0);
        s->SetValue("Temperature", supply - 50.0, 1);
        if (massFlow != kEmpty) s->SetValue("MassFlow", massFlow, 0);
    }
    IHeatIntegrationStream* Stream(const char* name) {
        IHeatIntegrationStream* s = nullptr;
        scenario->GetStream(CPString(name), s);
        return s;
    }
    StreamLynx* Link(const char* name) {
        scenario->AddStreamLink(Stream(name));
        StreamLynxCollection* links = scenario->GetStreamLinkCollection();
        return links ? links->FindLink(Stream(name)) : nullptr;
    }
    double Value(const char* stream, const char* name) {
        double v = kEmpty;
        Stream(stream)->GetValue(name, v, 0);
        return v;
    }
    static void Prefer(const char* key, double value) {
        ConfigData::Instance().Set(StreamLynx::PreferenceSection, key, std::to_string(value));
    }

    std::shared_ptr<FlowsheetDesignFactory> designs = std::make_shared<FlowsheetDesignFactory>();
    std::unique_ptr<CPIScenario> scenario;
    FlowsheetDesign* design = nullptr;
    RecordingReceiver view;
};

std::vector<std::string> journalKeys() {
    std::vector<std::string> keys;
    for (const Text& k : ErrorJournal::Instance().Keys()) keys.push_back(k);
    return keys;
}

}  // namespace

TEST(StreamLynx, ASimpleLinkKeepsTheDifferenceToItsOneSourceAndASecondSourceReplacesTheFirst) {
    LinkFixture f;
    StreamLynx* link = f.Link("H1");  // H1 at 180; H2 ends at 150, C1 at 60
    link->SetTemperatureTerm("Temperature", 0, true);
    EXPECT_TRUE(link->IsModified());
    EXPECT_DOUBLE_EQ(link->GetTemperatureCoefficient("Temperature", 0), 1.0);
    EXPECT_DOUBLE_EQ(link->GetSimpleOffset(), 30.0);
    EXPECT_DOUBLE_EQ(link->GetConstant("Temperature"), 30.0);
    EXPECT_DOUBLE_EQ(link->Evaluate("Temperature"), 180.0);
    f.design->EndAt("H2", 140.0);
    EXPECT_DOUBLE_EQ(link->Evaluate("Temperature"), 170.0);

    link->EnableTemperatureBound("Temperature", 0, 1);
    link->SetTemperatureTerm("Temperature", 1, true);
    EXPECT_EQ(link->GetNumberOfCoefficients("Temp_Temp"), 1);
    EXPECT_FALSE(link->IsTemperatureTerm("Temperature", 0));
    EXPECT_TRUE(link->IsTemperatureTerm("Temperature", 1));
    EXPECT_DOUBLE_EQ(link->GetTemperatureCoefficient("Temperature", 0), 0.0);
    EXPECT_EQ(link->IsTemperatureBoundEnabled("Temperature", 0), 0);
    EXPECT_DOUBLE_EQ(link->GetSimpleOffset(), 120.0);
    EXPECT_DOUBLE_EQ(link->Evaluate("Temperature"), 180.0);

    link->SetTemperatureTerm("Temperature", 1, false);
    EXPECT_DOUBLE_EQ(link->GetSimpleOffset(), 0.0);
    EXPECT_EQ(link->GetNumberOfCoefficients("Temp_All"), 0);
}

TEST(StreamLynx, AnAdvancedLinkSumsItsTermsPerTarget) {
    LinkFixture f;
    StreamLynx* link = f.Link("H1");
    link->SetAdvanced(true);
    // Temperature = 5 + 0.5 x T(H2) + 2 x F(C1) = 5 + 75 + 6 = 86
    link->SetConstant("Temperature", 5.0);
    link->SetTemperatureTerm("Temperature", 0, true);
    link->SetTemperatureCoefficient("Temperature", 0, 0.5);
    link->SetMassFlowTerm("Temperature", 1, true);
    link->SetMassFlowCoefficient("Temperature", 1, 2.0);
    // MassFlow = 1 + 0.01 x T(C1) + 1 x F(H2) = 1 + 0.6 + 2.5 = 4.1
    link->SetConstant("MassFlow", 1.0);
    link->SetTemperatureTerm("MassFlow", 1, true);
    link->SetTemperatureCoefficient("MassFlow", 1, 0.01);
    link->SetMassFlowTerm("MassFlow", 0, true);

    EXPECT_EQ(link->GetNumberOfCoefficients("Temp_All"), 2);
    EXPECT_EQ(link->GetNumberOfCoefficients("Flow_All"), 2);
    EXPECT_DOUBLE_EQ(link->Evaluate("Temperature"), 86.0);
    EXPECT_DOUBLE_EQ(link->Evaluate("MassFlow"), 4.1);
    EXPECT_DOUBLE_EQ(link->Evaluate("Pressure"), 0.0);
    EXPECT_DOUBLE_EQ(link->GetConstant("Temperature"), 5.0) << "an advanced link keeps its own A";
    EXPECT_TRUE(journalKeys().empty());
}

TEST(StreamLynx, AViolatedBoundIsReportedWithTheSourcesNameAndTheTermStillCounts) {
    LinkFixture f;
    StreamLynx* link = f.Link("H1");
    link->SetAdvanced(true);
    link->SetConstant("Temperature", 0.0);
    link->SetTemperatureTerm("Temperature", 0, true);
    link->EnableTemperatureBound("Temperature", 0, 1);
    link->SetTemperatureLowerBound("Temperature", 0, 100.0);
    link->SetTemperatureUpperBound("Temperature", 0, 140.0);  // H2 is at 150
    link->SetMassFlowTerm("Temperature", 1, true);
    link->EnableMassFlowBound("Temperature", 1, 1);
    link->SetMassFlowLowerBound("Temperature", 1, 2.0);
    link->SetMassFlowUpperBound("Temperature", 1, 4.0);  // C1 flows 3.0: within
    EXPECT_DOUBLE_EQ(link->Evaluate("Temperature"), 153.0);
    EXPECT_EQ(journalKeys(), (std::vector<std::string>{"TempBound"}));
    EXPECT_NE(std::string(ErrorJournal::Instance().Texts()[0]).find("H2"), std::string::npos);

    link->SetMassFlowUpperBound("Temperature", 1, 2.5);
    EXPECT_DOUBLE_EQ(link->Evaluate("Temperature"), 153.0);
    EXPECT_EQ(journalKeys().back(), "FlowBound");
}

TEST(StreamLynx, ResultsAreWrittenIntoTheLinkedStream) {
    LinkFixture f;
    StreamLynx* link = f.Link("H1");
    EXPECT_EQ(link->UpdateLinkedStream("Temperature", 175.0), 1);
    EXPECT_DOUBLE_EQ(f.Value("H1", "Temperature"), 175.0);
    EXPECT_EQ(link->UpdateLinkedStream("MassFlow", 4.5), 1);
    EXPECT_DOUBLE_EQ(f.Value("H1", "MassFlow"), 4.5);
    EXPECT_EQ(link->UpdateLinkedStream("Temperature", kEmpty), 0);
    EXPECT_EQ(journalKeys(), (std::vector<std::string>{"TempUpdateError"}));
    EXPECT_DOUBLE_EQ(f.Value("H1", "Temperature"), 175.0);

    link->SetTemperatureCoefficient("Temperature", 0, 2.0);
    ASSERT_TRUE(link->IsModified());
    f.design->operationUpdates.clear();
    link->ClearModified();
    EXPECT_FALSE(link->IsModified());
    EXPECT_EQ(f.design->operationUpdates, (std::vector<std::string>{"H1"})) << "the design hears of the write";
}

namespace {

// A link of H1 with every kind of term, coefficient and bound.
StreamLynx* fullLink(LinkFixture& f) {
    StreamLynx* link = f.Link("H1");
    link->SetAdvanced(true);
    link->SetTemperatureTerm("Temperature", 0, true);
    link->SetTemperatureCoefficient("Temperature", 0, 0.75);
    link->EnableTemperatureBound("Temperature", 0, 1);
    link->SetTemperatureLowerBound("Temperature", 0, 120.0);
    link->SetTemperatureUpperBound("Temperature", 0, 170.0);
    link->SetMassFlowTerm("Temperature", 1, true);
    link->SetMassFlowCoefficient("Temperature", 1, -2.0);
    link->SetTemperatureTerm("MassFlow", 1, true);
    link->SetMassFlowTerm("MassFlow", 0, true);
    link->SetMassFlowCoefficient("MassFlow", 0, 1.5);
    return link;
}

std::vector<double> snapshot(const StreamLynx& l) {
    std::vector<double> v = {double(l.GetNumberOfCandidates()), double(l.IsAdvanced()), double(l.IsModified())};
    for (const char* target : {"Temperature", "MassFlow"}) {
        for (int i = 0; i < l.GetNumberOfCandidates(); ++i) {
            v.insert(v.end(), {double(l.IsTemperatureTerm(target, i)), double(l.IsMassFlowTerm(target, i)),
                               l.GetTemperatureCoefficient(target, i), l.GetMassFlowCoefficient(target, i),
                               l.GetTemperatureLowerBound(target, i), l.GetTemperatureUpperBound(target, i),
                               l.GetMassFlowLowerBound(target, i), l.GetMassFlowUpperBound(target, i),
                               double(l.IsTemperatureBoundEnabled(target, i)),
                               double(l.IsMassFlowBoundEnabled(target, i))});
        }
    }
    return v;
}

std::vector<std::uint8_t> stored(const StreamLynxCollection& links) {
    LurmetBinaryFile file = LurmetBinaryFile::ForWriting();
    EXPECT_TRUE(links.Store(file));
    return file.Bytes();
}

}  // namespace

TEST(StreamLynxCollection, RecordsRoundTripTheirLinks) {
    LinkFixture f;
    StreamLynx* link = fullLink(f);
    f.Link("C1");
    const std::vector<std::uint8_t> bytes = stored(*f.scenario->GetStreamLinkCollection());

    StreamLynxCollection recalled(f.scenario.get());
    LurmetBinaryFile in = LurmetBinaryFile::ForReading(bytes);
    ASSERT_TRUE(recalled.Recall(in));
    ASSERT_EQ(recalled.GetNumberOfLinks(), 2);
    EXPECT_EQ(recalled.GetLink(0)->GetLinkedStream(), f.Stream("H1"));
    EXPECT_EQ(recalled.GetLink(1)->GetLinkedStream(), f.Stream("C1"));
    EXPECT_EQ(snapshot(*recalled.GetLink(0)), snapshot(*link));
    EXPECT_EQ(stored(recalled), bytes);
}

// A bound nobody gave is its default (10 % either side of H2's 150), not 0; a bound of 0 that
// was given is a bound of its own and stays given through the record.
TEST(StreamLynx, ABoundNobodyGaveIsItsDefaultAndAGivenZeroIsKept) {
    LinkFixture f;
    StreamLynx* link = f.Link("H1");
    link->SetAdvanced(true);
    link->SetConstant("Temperature", 0.0);
    link->SetTemperatureTerm("Temperature", 0, true);
    link->EnableTemperatureBound("Temperature", 0, 1);
    EXPECT_FALSE(link->IsBoundSet("Temperature", 0, true, false));
    EXPECT_DOUBLE_EQ(link->DefaultBound("Temperature", 0, true, false), 135.0);
    EXPECT_DOUBLE_EQ(link->Evaluate("Temperature"), 150.0);
    EXPECT_TRUE(journalKeys().empty());
    EXPECT_EQ(link->GetTemperatureLowerBound("Temperature", 0), 0.0) << "reading the default stores nothing";

    link->SetTemperatureUpperBound("Temperature", 0, 0.0);
    EXPECT_TRUE(link->IsBoundSet("Temperature", 0, true, true));
    EXPECT_DOUBLE_EQ(link->Evaluate("Temperature"), 150.0);
    EXPECT_EQ(journalKeys(), (std::vector<std::string>{"TempBound"}));

    const std::vector<std::uint8_t> bytes = stored(*f.scenario->GetStreamLinkCollection());
    StreamLynxCollection recalled(f.scenario.get());
    LurmetBinaryFile in = LurmetBinaryFile::ForReading(bytes);
    ASSERT_TRUE(recalled.Recall(in));
    EXPECT_TRUE(recalled.GetLink(0)->IsBoundSet("Temperature", 0, true, true));
    EXPECT_FALSE(recalled.GetLink(0)->IsBoundSet("Temperature", 0, true, false));
    // Turning the bound off forgets what was given.
    link->EnableTemperatureBound("Temperature", 0, 0);
    EXPECT_FALSE(link->IsBoundSet("Temperature", 0, true, true));
}

// A record of version 3 knew no given-flags: a bound stored as 0 was one nobody gave, any other
// stored bound was given.
TEST(StreamLynx, AVersion3LinkTakesItsNonZeroBoundsAsGiven) {
    LinkFixture f;
    f.Link("C1");
    LurmetBinaryFile file = LurmetBinaryFile::ForWriting();
    RecordHandle links, record;
    ASSERT_TRUE(file.BeginRecord(links, StreamLynxCollection::RecordVersion) && file.WriteInt(1));
    ASSERT_TRUE(file.BeginRecord(record, 3) && file.WriteCPString("H1") && file.WriteBool(true) && file.WriteBool(false));
    // One term: H2's temperature in the Temperature target.
    ASSERT_TRUE(file.WriteInt(1) && file.WriteCPString("H2") && file.WriteInt(0) && file.WriteInt(0) && file.WriteInt(0));
    ASSERT_TRUE(file.WriteInt(2));
    auto arrays = [&](double first) {
        bool ok = file.WriteBool(true) && file.WriteDouble(first) && file.WriteDouble(0.0);
        for (int list = 1; list < 4; ++list) ok = ok && file.WriteBool(false);
        return ok;
    };
    ASSERT_TRUE(arrays(1.0) && arrays(0.0));  // coefficients, lower bounds
    ASSERT_TRUE(file.WriteBool(true) && file.WriteBool(true) && file.WriteBool(false) && file.WriteBool(false) &&
                file.WriteBool(false) && file.WriteBool(false));  // bound flags
    ASSERT_TRUE(arrays(170.0));  // upper bounds
    ASSERT_TRUE(file.EndRecord(record) && file.EndRecord(links));

    StreamLynxCollection recalled(f.scenario.get());
    LurmetBinaryFile in = LurmetBinaryFile::ForReading(file.Bytes());
    ASSERT_TRUE(recalled.Recall(in));
    ASSERT_EQ(1, recalled.GetNumberOfLinks());
    const StreamLynx* link = recalled.GetLink(0);
    ASSERT_TRUE(link->IsTemperatureTerm("Temperature", 0));
    EXPECT_FALSE(link->IsBoundSet("Temperature", 0, true, false));
    EXPECT_TRUE(link->IsBoundSet("Temperature", 0, true, true));
    EXPECT_DOUBLE_EQ(link->GetTemperatureUpperBound("Temperature", 0), 170.0);
}
