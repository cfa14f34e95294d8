// The extraction's catalogue entries: every key has a text, and each format takes as many
// arguments as the extraction hands it.
#include "lumeth/ExtractionMessages.h"
#include "lumeth/Messages.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {

int conversions(const std::string& text) {
    int n = 0;
    for (std::size_t i = 0; i + 1 < text.size(); ++i)
        if (text[i] == '%') {
            if (text[i + 1] != '%') ++n;
            ++i;
        }
    return n;
}

TEST(ExtractionMessages, FormatsTakeTheArgumentsTheExtractionGives) {
    const struct {
        const char* key;
        int arguments;
    } formats[] = {{"ExtractionCompToleranceOf", 1},       {"ExtractionTempInversionAt", 1},
                   {"ExtractionAutoAddSegments", 1},       {"ExtractionFlowsheetObject", 1},
                   {"ExtractionOutUnitOpToInUnitOp", 2},   {"ExtractionOutUnitOpToProcessBlock", 1},
                   {"ExtractionFeedProcessToInUnitOp", 1}, {"ExtractionFeedProcessToProductProcess", 0},
                   {"ExtractionHeaterOrCooler", 3},        {"ExtractionMultiAttachmentsWarning", 2},
                   {"ExtractionCheckStreamsInSim", 2},     {"ExtractionReboilerWarning", 3},
                   {"ExtractionUnableToAdd", 1},           {"ExtractionHXWithDiscrepancy", 1},
                   {"ExtractionLiveSteamTooCold", 1},      {"ExtractionLiveSteamNoProperties", 3},
                   {"FileNameInExtraction", 1},            {"FileNameAndStepsInExtraction", 3},
                   {"EndStaticTextInPage9InExtraction", 1}, {"NoUtilForThisTemp", 0},
                   {"ExtractionNoUtilityForUnit", 2},      {"ExtractionNoUtilityForLiveSteam", 2}, {"ExtractionUnitStreamNotFollowed", 2},
                   {"ExtractionUnitNotTaken", 2},          {"ExtractionExchangerSideNotLinked", 4},
                   {"ExtractionExchangerInletUnnamed", 2}, {"ExtractionStreamValueMissing", 2},
                   {"ExtractionSeparatorDutyTooSmall", 2}, {"ExtractionSeparatorSpanUnusable", 3},
                   {"ExtractionLiveSteamBelowAmbient", 3}, {"ExtractionDutyNotTaken", 4},
                   {"ExtractionLNGExchangers", 1},         {"ExtractionSeparatorValueUnknown", 2},
                   {"ExtractionSeparatorClassNotTaken", 3}, {"ExtractionVesselDutyNotTaken", 3},
                   {"ExtractionSplitFlowRounded", 3}, {"ExtractionNoUtilityServesUnit", 6},
                   {"ExtractionStreamMeetsKept", 3},
                   {"ExtractionDutyTooSmall", 3},          {"ExtractionVesselHeatedCools", 4},
                   {"ExtractionVesselCooledHeats", 4},     {"ExtractionPartnerKeptDuty", 3},
                   {"ExtractionStreamTurned", 3},          {"ExtractionStreamDutyUnusable", 3},
                   {"ExtractionVesselTemperatureUnknown", 3}};
    for (const auto& f : formats) {
        ASSERT_TRUE(MessageCatalogue::Instance().Contains(f.key)) << f.key;
        EXPECT_EQ(conversions(FindString(f.key)), f.arguments) << f.key;
    }
    EXPECT_EQ(FormatMessage(FindString("ExtractionReboilerWarning"), {"R1", "reboiler", "2"}),
              "Unit R1, a reboiler, is fed by 2 material streams; the first is taken.");
}

TEST(ExtractionMessages, EveryKeyOnceAndWithAText) {
    std::size_t count = 0;
    const MessageText* texts = ExtractionMessageTexts(count);
    std::set<std::string> keys;
    for (std::size_t i = 0; i < count; ++i) {
        EXPECT_TRUE(keys.insert(texts[i].key).second) << texts[i].key;
        EXPECT_NE(std::string(texts[i].text), "") << texts[i].key;
        EXPECT_EQ(FindString(texts[i].key), texts[i].text) << texts[i].key;
    }
}

}  // namespace
