// The propagation's work list through a design: a unit beside a segment calculates again when the
// unit on the segment's other side changes any of that segment's values, and not when that unit
// writes only its own.
#include "DesignTestSupport.h"

#include "pellin/FlowSheet.h"
#include "pellin/StreamNodes.h"

#include <memory>
#include <ostream>
#include <string>

#include <gtest/gtest.h>

using namespace design_test;

namespace {

// Writes one value, once: on itself, or on the segment after it; a number, or the text "Liquid"
// in place of the text the segment holds.
class WritingUnit : public CNode {
public:
    WritingUnit(const char* value, bool onSegment, bool text)
        : CNode("WRITER-1", "testWritingUnit"), m_value(value), m_onSegment(onSegment), m_text(text) {}
    int Calculate(int code) override {
        if (!UnitCode::IsCalculate(code) || m_done) return 0;
        m_done = true;
        CNode* target = m_onSegment ? getIthDownStreamNode(0) : this;
        if (target && m_text) return target->addVariable(m_value.c_str(), "Liquid", ValueStatus::Specified);
        return target ? target->writeCalculated(m_value.c_str(), 42.0) : 0;
    }

protected:
    std::unique_ptr<CNode> makeEmptyCopy() const override {
        return std::make_unique<WritingUnit>(m_value.c_str(), m_onSegment, m_text);
    }

private:
    std::string m_value;
    bool m_onSegment;
    bool m_text;
    bool m_done = false;
};

// Copies a value of the segment before it as "Seen", counting its calculations.
class ReadingUnit : public CNode {
public:
    explicit ReadingUnit(const char* value) : CNode("READER-1", "testReadingUnit"), m_value(value) {}
    int Calculate(int code) override {
        if (!UnitCode::IsCalculate(code)) return 0;
        ++calls;
        double v = 0.0;
        const CNode* segment = getIthUpStreamNode(0);
        return segment && segment->getVariableAsDouble(m_value.c_str(), v) ? writeCalculated("Seen", v) : 0;
    }
    long calls = 0;

protected:
    std::unique_ptr<CNode> makeEmptyCopy() const override { return std::make_unique<ReadingUnit>(m_value.c_str()); }

private:
    std::string m_value;
};

struct Case {
    const char* name;
    const char* value;
    bool onSegment;
    long readerCalls;
    bool seen;
    bool text = false;
};
void PrintTo(const Case& c, std::ostream* out) { *out << c.name; }

class UnitWorkListTest : public ::testing::TestWithParam<Case> {};

// The reader comes first on the list, so it has calculated (and come to rest) before the writer
// writes: only a change of the segment between them brings it back, to copy the value and to
// calculate once more after its own write.
TEST_P(UnitWorkListTest, TheUnitAcrossASegmentCalculatesAgainOnlyWhenTheSegmentChanged) {
    const Case& c = GetParam();
    DesignScenario s;
    s.Add("H", 150, 50, 1.0);
    CPIHENDesign* d = s.Design("D1");
    ASSERT_NE(d, nullptr);
    FlowSheet& sheet = *d->GetFlowSheet();
    auto* reader = static_cast<ReadingUnit*>(sheet.addNode(std::make_unique<ReadingUnit>(c.value)));
    CNode* segment = sheet.addNode(std::make_unique<StreamNode>("SEGMENT-1", NodeKind::MaterialStream));
    CNode* writer = sheet.addNode(std::make_unique<WritingUnit>(c.value, c.onSegment, c.text));
    ASSERT_TRUE(reader && segment && writer);
    if (c.text) segment->addVariable(c.value, "Vapour", ValueStatus::Specified);
    ASSERT_TRUE(sheet.connectNodes(writer, segment));
    ASSERT_TRUE(sheet.connectNodes(segment, reader));
    const std::vector<CNode*> units = sheet.getAllNodes();
    d->ClearUnitResults(units);
    d->PropagateUnitValues(units, {}, CPIHENDesign::CodeFlowsheetChanged);
    EXPECT_EQ(reader->calls, c.readerCalls);
    double seen = 0.0;
    EXPECT_EQ(reader->getVariableAsDouble("Seen", seen) == 1, c.seen);
    if (c.seen) {
        EXPECT_EQ(seen, 42.0);
    }
}

INSTANTIATE_TEST_SUITE_P(
    WrittenValues, UnitWorkListTest,
    ::testing::Values(Case{"OwnValueOnly", "Progress", false, 1, false},
                      Case{"SegmentTemperature", "Temperature", true, 3, true},
                      // A value no unit model of the design writes on a segment still counts.
                      Case{"OtherSegmentValue", "Pressure", true, 3, true},
                      // A text the writer changes in place on the segment counts too (the
                      // reader finds no number in it, so it writes nothing either time).
                      Case{"SegmentTextInPlace", "Phase", true, 2, false, true}),
    [](const ::testing::TestParamInfo<Case>& info) { return std::string(info.param.name); });

}  // namespace
