#include "HostProcess.h"

#include <gtest/gtest.h>

TEST(HostInfo, LoadsTheModuleAndListsItsRegistrations) {
    HostRun run = RunHost("info");
    ASSERT_EQ(0, run.exitCode) << run.out;
    EXPECT_NE(std::string::npos, run.out.find("configuration keys: 10")) << run.out;
    std::size_t first = run.out.find("VelmorImportFilePath");
    std::size_t last = run.out.find("DefaultHeatTranCoeff =");
    ASSERT_NE(std::string::npos, first);
    ASSERT_NE(std::string::npos, last);
    EXPECT_LT(first, last) << "keys are listed in their registration order";
    EXPECT_NE(std::string::npos, run.out.find("501")) << "the project type is registered at load";
    EXPECT_NE(std::string::npos, run.out.find("property bounds: 5"));
}

TEST(HostInfo, UnknownCommandIsAUsageError) {
    HostRun run = RunHost("frobnicate");
    EXPECT_EQ(2, run.exitCode);
    EXPECT_NE(std::string::npos, run.out.find("usage"));
}
