// The pinch streams of `targets --json` are most of a large table's document: each name is written
// as a JSON literal straight into it, plain runs whole and every other character escaped, and each
// temperature with ten significant digits. A hot stream of the name given (150 -> 50, 1.8 kW/K)
// against C (20 -> 200, 1 kW/K) at DTmin 10 pinches at 145 C shifted, where the named stream is at
// its supply temperature.
#include "HostProcess.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace {

struct NamedStream {
    const char* label;
    std::string csvName;   // the name as the table's field gives it
    std::string jsonName;  // the literal the report must hold
};
[[maybe_unused]] void PrintTo(const NamedStream& n, std::ostream* os) { *os << n.label; }

class HostTargetsJsonName : public ::testing::TestWithParam<NamedStream> {};

TEST_P(HostTargetsJsonName, IsWrittenAsItsLiteralInThePinchStreams) {
    ScratchFile table("jsonnames", std::string(GetParam().label) + ".csv",
                      "name,supply,target,cp,h,kind\n" + GetParam().csvName +
                          ",150,50,1.8,1,process\nC,20,200,1,1,process\n");
    const HostRun run = RunHost("targets " + table.path + " --dtmin 10 --json");
    ASSERT_EQ(0, run.exitCode) << run.out;
    const std::string expected = "\"hot_streams\": [{\"name\": " + GetParam().jsonName + ", \"temperature\": 150}]";
    EXPECT_NE(std::string::npos, run.out.find(expected)) << run.out;
}

INSTANTIATE_TEST_SUITE_P(
    Names, HostTargetsJsonName,
    ::testing::Values(NamedStream{"plain", "Hot feed 1", "\"Hot feed 1\""},
                      NamedStream{"quotes", "\"say \"\"hi\"\"\"", "\"say \\\"hi\\\"\""},
                      NamedStream{"backslashAtEnd", "\"dir\\\"", "\"dir\\\\\""},
                      NamedStream{"tabInside", "\"a\tb\"", "\"a\\tb\""},
                      NamedStream{"controlFirst", "\"\x01x\"", "\"\\u0001x\""},
                      NamedStream{"deleteLast", "\"x\x7f\"", "\"x\\u007f\""},
                      NamedStream{"c1Control", "\"a\xc2\x85z\"", "\"a\\u0085z\""},
                      NamedStream{"accented", "\"caf\xc3\xa9 out\"", "\"caf\xc3\xa9 out\""},
                      NamedStream{"escapesBetweenRuns", "\"ab\"\"cd\\ef\tgh\"", "\"ab\\\"cd\\\\ef\\tgh\""}),
    [](const ::testing::TestParamInfo<NamedStream>& info) { return std::string(info.param.label); });

// %.10g rounds to ten significant digits: 150.123456789 is 150.1234568, and the shifted pinch
// 5 below it 145.1234568.
TEST(HostTargetsJsonNumber, PinchTemperaturesKeepTenSignificantDigits) {
    ScratchFile table("jsonnames", "digits.csv",
                      "name,supply,target,cp,h,kind\nH,150.123456789,50,1.8,1,process\nC,20,200,1,1,process\n");
    const HostRun run = RunHost("targets " + table.path + " --dtmin 10 --json");
    ASSERT_EQ(0, run.exitCode) << run.out;
    EXPECT_NE(std::string::npos, run.out.find("{\"hot\": 150.1234568, \"cold\": 140.1234568, \"shifted\": 145.1234568, "
                                              "\"hot_streams\": [{\"name\": \"H\", \"temperature\": 150.1234568}]"))
        << run.out;
}

}  // namespace
