// The host's entries to the extraction wizard: input answered with the wizard's own message on
// a refusal, what the form shows, the choices of a list, and the sub-flowsheets of a document.
#include "eng/extraction/DataExtractionConfig.h"
#include "lumeth/Messages.h"
#include "tests/support/FourStreamProject.h"
#include "views/session/ExtractionWizardEntries.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <unistd.h>

namespace {

TEST(ViewExtractionWizardEntries, InputIsTakenOrRefusedWithTheWizardsMessage) {
    FourStreamProject p(false);
    ASSERT_EQ(nullptr, KestrinExtractionWizardOpen(nullptr));
    void* wizard = KestrinExtractionWizardOpen(p.scenario);
    ASSERT_NE(nullptr, wizard);
    char message[256] = "x";
    EXPECT_EQ(1, KestrinExtractionWizardSpecify(wizard, "ExtraData.210", 0.25, message, sizeof message));
    EXPECT_STREQ("", message);
    EXPECT_EQ(0.25, p.scenario->GetDataExtractionConfig()->GetSetting("SegmentTolerances"));
    EXPECT_EQ(0, KestrinExtractionWizardSpecify(wizard, "ExtraData.210", 2.0, message, sizeof message));
    EXPECT_EQ(FindString("NegativeSegmentTolerance"), message);
    EXPECT_EQ(0, KestrinExtractionWizardSpecify(wizard, "not an address", 1.0, message, sizeof message));
    EXPECT_STREQ("the wizard has no variable not an address", message);
    // A message longer than the buffer is cut, never overrun.
    char small[8];
    EXPECT_EQ(0, KestrinExtractionWizardSpecify(wizard, "ExtraData.211", 1.0, small, sizeof small));
    EXPECT_EQ(std::string(FindString("MaxSegmentsTooSmall")).substr(0, 7), small);
    EXPECT_EQ(0, KestrinExtractionWizardSpecifyText(wizard, "ExtraData.203", "/no/such.vmc", message, sizeof message));
    EXPECT_NE(nullptr, std::strstr(message, "/no/such.vmc"));

    ASSERT_TRUE(p.AddUtility("LP Steam") && p.AddUtility("HP Steam") && p.AddUtility("Cooling Water"));
    EXPECT_EQ(1, KestrinExtractionWizardCommand(wizard, "BuildUtilityInfo", message, sizeof message));
    double value = -1.0;
    char name[64];
    EXPECT_EQ(1, KestrinExtractionWizardChoice(wizard, "Enum.264", 1, &value, name, sizeof name));
    EXPECT_EQ(1.0, value);
    EXPECT_STREQ("HP Steam", name);
    EXPECT_EQ(0, KestrinExtractionWizardChoice(wizard, "Enum.264", 2, &value, name, sizeof name));
    EXPECT_EQ(1, KestrinExtractionWizardChoice(wizard, "Enum.265", 0, &value, name, sizeof name));
    EXPECT_STREQ("Cooling Water", name);
    // No network: no heaters.
    EXPECT_EQ(0, KestrinExtractionWizardDimension(wizard, "Enum.264"));
    EXPECT_EQ(-1, KestrinExtractionWizardDimension(wizard, "Switch.201"));
    EXPECT_EQ(0.0, KestrinExtractionWizardValue(wizard, "ExtraData.220"));
    EXPECT_EQ(0, KestrinExtractionWizardCommand(wizard, "NoSuchWord", message, sizeof message));
    KestrinExtractionWizardClose(wizard);
}

TEST(ViewExtractionWizardEntries, TheSubFlowsheetsOfADocumentAreListedEachChosen) {
    FourStreamProject p(false);
    const std::string path = ::testing::TempDir() + std::to_string(getpid()) + "-wizard-flowsheets.vmc";
    if (FILE* f = std::fopen(path.c_str(), "wb")) {
        std::fputs("<simcase version=\"1\" name=\"X\"><item name=\"A\" class=\"ppValve\"/>"
                   "<item name=\"B\" class=\"ppValve\" flowsheet=\"Sub 1\"/><item name=\"C\" class=\"ppValve\" "
                   "flowsheet=\"Sub 1\"/></simcase>",
                   f);
        std::fclose(f);
    }
    char error[256];
    ASSERT_EQ(2, KestrinListCaseSubFlowsheets(p.scenario, path.c_str(), error, sizeof error)) << error;
    void* wizard = KestrinExtractionWizardOpen(p.scenario);
    EXPECT_EQ(2, KestrinExtractionWizardDimension(wizard, "ExtraData.215"));
    char name[64];
    EXPECT_EQ(6, KestrinExtractionWizardText(wizard, "ExtraData.215.1", name, sizeof name));
    EXPECT_STREQ("Sub 1", name);
    EXPECT_EQ(1.0, KestrinExtractionWizardValue(wizard, "Switch.217.0"));
    KestrinExtractionWizardClose(wizard);
    EXPECT_EQ(-1, KestrinListCaseSubFlowsheets(p.scenario, "/no/such/case.vmc", error, sizeof error));
    EXPECT_NE('\0', error[0]);
    std::remove(path.c_str());
}

}  // namespace
