// Keys the scenario and the default utilities send as messages read as words in the catalogue.
#include "lumeth/Messages.h"

#include <gtest/gtest.h>

namespace {

TEST(ScenarioMessages, SubsetSearchAndApproachWarningReadAsWords) {
    for (const char* key : {"CPIFindSubSets", "NoSubsetsFound", "DeltaTMinWarning"}) {
        ASSERT_TRUE(MessageCatalogue::Instance().Contains(key)) << key;
        EXPECT_NE(FindString(key), Text(key)) << key;
        EXPECT_NE(FindString(key).find(' '), Text::npos) << key;
    }
}

}  // namespace
