// A stream cut into segments that change nothing physical (one stream, the same rate and film
// coefficient on both sides of each cut) has the area and shells of the uncut stream; a cut that
// does change something (another stream, another rate, another coefficient, ends that do not
// meet) keeps its own interval.
#include "AreaTestSupport.h"
#include "TargetingFixtures.h"

#include "eng/targeting/BathAreaTarget.h"
#include "pellin/FFactor.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cmath>
#include <ostream>
#include <string>

using area_test::CurveInputs;
using targeting_test::SegmentSet;

namespace {

struct CutCase {
    const char* label;
    int hotCuts, coldCuts;
    int kind;  // of the hot stream: 0 process, 1 utility
};
void PrintTo(const CutCase& c, std::ostream* os) { *os << c.label; }

// `cuts` equal segments of one stream from `in` to `out`, all named `name`.
void AddCut(SegmentSet& set, const char* name, double in, double out, double cp, double h, int cuts, int kind) {
    for (int k = 0; k < cuts; ++k) {
        const double a = in + (out - in) * k / cuts, b = k + 1 == cuts ? out : in + (out - in) * (k + 1) / cuts;
        StreamSegment* s = set.Add(a, b, cp, kind);
        s->dFilmCoefficient = h;
        s->strStreamName = name;
    }
}

class BathCutStream : public ::testing::TestWithParam<CutCase> {};

// Hot 150 -> 50 and cold 30 -> 130, both CP 2, h 0.5: the curves run parallel 20 apart in one
// interval, A = (200/0.5 + 200/0.5) / 20 = 40 m2; the shell-and-tube area is A / F and the shells
// those of that one interval (two streams share its N shells: 2N - N), however either is cut.
TEST_P(BathCutStream, CutsThatChangeNothingGiveTheUncutAreaAndShells) {
    const CutCase& c = GetParam();
    SegmentSet set;
    AddCut(set, "H1", 150, 50, 2.0, 0.5, c.hotCuts, c.kind);
    AddCut(set, "C1", 30, 130, 2.0, 0.5, c.coldCuts, 0);
    CurveInputs inputs(set.refs, 10.0);
    std::unique_ptr<BathAreaTarget> bath(BathAreaTarget::Update(nullptr, inputs.in, 36));
    ASSERT_TRUE(bath);

    double F = 0.0, shells = 0.0;
    g_CalculateFFactorAndShells(50, 150, 30, 130, 0.8, F, shells, 0, 0);
    EXPECT_NEAR(bath->GetCountercurrentArea(), 40.0, 1e-9);
    EXPECT_NEAR(bath->GetShellAndTubeArea(), 40.0 / F, 1e-9);
    EXPECT_EQ(bath->GetShells(), static_cast<int>(std::ceil(shells)));
    EXPECT_EQ(bath->GetNumberOfIntervals(), 2);
}

INSTANTIATE_TEST_SUITE_P(Cuts, BathCutStream,
                         ::testing::Values(CutCase{"hot in 2", 2, 1, 0}, CutCase{"hot in 10", 10, 1, 0},
                                           CutCase{"hot in 100", 100, 1, 0}, CutCase{"cold in 7", 1, 7, 0},
                                           CutCase{"hot in 3, cold in 5", 3, 5, 0},
                                           CutCase{"hot utility in 2 rows", 2, 1, 1}),
                         [](const ::testing::TestParamInfo<CutCase>& info) {
                             std::string name;
                             for (const char* p = info.param.label; *p; ++p)
                                 if (std::isalnum(static_cast<unsigned char>(*p))) name += *p;
                             return name;
                         });

// Each condition of a joint failed alone keeps the point at 100 C on the hot curve as an interval
// boundary: hot 150 -> 100 and 100 -> 50 against cold 30 -> 130 CP 2.
struct KeptCutCase {
    const char* label;
    const char* lowerName;
    double lowerTop;  // where the lower segment starts
    double lowerCp, lowerH;
};
void PrintTo(const KeptCutCase& c, std::ostream* os) { *os << c.label; }

class BathKeptCut : public ::testing::TestWithParam<KeptCutCase> {};

TEST_P(BathKeptCut, ACutThatChangesSomethingBoundsAnInterval) {
    const KeptCutCase& c = GetParam();
    SegmentSet set;
    AddCut(set, "H1", 150, 100, 2.0, 0.5, 1, 0);
    AddCut(set, c.lowerName, c.lowerTop, 100.0 - 100.0 / c.lowerCp, c.lowerCp, c.lowerH, 1, 0);
    AddCut(set, "C1", 30, 130, 2.0, 0.5, 1, 0);
    CurveInputs inputs(set.refs, 10.0);
    std::unique_ptr<BathAreaTarget> bath(BathAreaTarget::Update(nullptr, inputs.in, 36));
    ASSERT_TRUE(bath);
    EXPECT_GE(bath->GetNumberOfIntervals(), 3);
}

INSTANTIATE_TEST_SUITE_P(Conditions, BathKeptCut,
                         ::testing::Values(KeptCutCase{"another stream", "H2", 100, 2.0, 0.5},
                                           KeptCutCase{"another rate", "H1", 100, 4.0, 0.5},
                                           KeptCutCase{"another coefficient", "H1", 100, 2.0, 1.0},
                                           KeptCutCase{"ends apart", "H1", 99, 2.0, 0.5}));

}  // namespace
