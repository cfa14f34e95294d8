// An open case solved again: a second document of the same items and links gives it new values
// and asks for a refresh; any other document is refused with its first difference and the case
// stays as it was.
#include "osmeri/CPItem.h"
#include "osmeri/CPValue.h"
#include "ralvex/Case.h"
#include "ralvex/CaseReader.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

// A feed heated in E1, with the values a solution gives.
std::string Plant(const std::string& feedValues, const std::string& extraItem = "", const std::string& e1Links = "<link to=\"S2\"/>",
                  const std::string& e1Class = "htHeater") {
    return "<?xml version=\"1.0\"?>\n<simcase version=\"1\" name=\"Plant\">\n"
           "  <item name=\"S1\" class=\"ppMaterialStream\">" + feedValues + "<link to=\"E1\"/></item>\n"
           "  <item name=\"E1\" class=\"" + e1Class + "\"><num name=\"Duty\">300</num>" + e1Links + "</item>\n"
           "  <item name=\"S2\" class=\"ppMaterialStream\"><num name=\"Temperature\">90</num></item>\n" +
           extraItem + "</simcase>\n";
}

const std::string kFirst = "<num name=\"Temperature\">40</num><num name=\"Pressure\">300</num>";

std::unique_ptr<Case> Open() {
    std::unique_ptr<Case> c;
    EXPECT_EQ(CaseReader::ReadMemory(Plant(kFirst), "plant.vmc", c).status, CaseReadStatus::Ok);
    return c;
}

double Number(const Case& c, const char* item, const char* value) {
    const CPItem* i = c.GetItemByName(item);
    const CPValue* v = i ? i->GetVariable(value) : nullptr;
    return v && v->IsKnown() ? v->GetAsDouble() : -1.0;
}

TEST(SolvedCase, TheSameItemsTakeTheNewValuesAndTheCaseAsksForARefresh) {
    std::unique_ptr<Case> c = Open();
    ASSERT_TRUE(c);
    // What the extraction writes on the case stays: a value of its own and an item of its own.
    c->GetItemByName("S1")->AddVariable("PIStreamName")->Set("S1_To_S2");
    c->Add(std::make_unique<CPItem>("S1Duplicate", "ppMaterialStream"));
    EXPECT_FALSE(c->GetCaseRefresh());
    const CaseReadResult r = CaseReader::ApplySolvedMemory(Plant("<num name=\"Temperature\">55</num>"), "solved.vmc", *c);
    ASSERT_EQ(r.status, CaseReadStatus::Ok) << r.message;
    EXPECT_TRUE(c->GetCaseRefresh());
    EXPECT_DOUBLE_EQ(Number(*c, "S1", "Temperature"), 55.0);
    // The pressure the first solution gave and this one does not is no longer known.
    ASSERT_NE(c->GetItemByName("S1")->GetVariable("Pressure"), nullptr);
    EXPECT_FALSE(c->GetItemByName("S1")->GetVariable("Pressure")->IsKnown());
    EXPECT_EQ(c->GetItemByName("S1")->GetVariable("PIStreamName")->GetAsString(), CPString("S1_To_S2"));
    EXPECT_NE(c->GetItemByName("S1Duplicate"), nullptr);
    EXPECT_DOUBLE_EQ(Number(*c, "E1", "Duty"), 300.0);
    // Solved a third time against the second: the pressure comes back.
    ASSERT_EQ(CaseReader::ApplySolvedMemory(Plant(kFirst), "again.vmc", *c).status, CaseReadStatus::Ok);
    EXPECT_DOUBLE_EQ(Number(*c, "S1", "Pressure"), 300.0);
    EXPECT_DOUBLE_EQ(Number(*c, "S1", "Temperature"), 40.0);
}

TEST(SolvedCase, AnotherCaseIsRefusedWithItsFirstDifferenceAndChangesNothing) {
    struct Row {
        std::string document;
        const char* named;
    } rows[] = {
        {Plant(kFirst, "  <item name=\"S3\" class=\"ppMaterialStream\"/>\n"), "item S3 is not in the case"},
        {Plant(kFirst, "", ""), "item E1 feeds nothing, not S2"},
        {Plant(kFirst, "", "<link to=\"S2\"/>", "htCooler"), "item E1 is of class htCooler, not htHeater"},
        {"<?xml version=\"1.0\"?><simcase version=\"1\" name=\"Plant\">"
         "<item name=\"S1\" class=\"ppMaterialStream\"/></simcase>",
         "item E1 of the case is missing"},
        {"<simcase version=\"1\" name=\"Plant\"><item name=\"S1\"", "malformed"},
    };
    for (const Row& r : rows) {
        std::unique_ptr<Case> c = Open();
        ASSERT_TRUE(c);
        const CaseReadResult result = CaseReader::ApplySolvedMemory(r.document, "other.vmc", *c);
        EXPECT_NE(result.status, CaseReadStatus::Ok) << r.named;
        EXPECT_NE(result.message.find(r.named), std::string::npos) << result.message;
        EXPECT_EQ(result.message.rfind("other.vmc:", 0), 0u) << result.message;
        EXPECT_FALSE(c->GetCaseRefresh()) << r.named;
        EXPECT_DOUBLE_EQ(Number(*c, "S1", "Temperature"), 40.0) << r.named;
        EXPECT_DOUBLE_EQ(Number(*c, "S1", "Pressure"), 300.0) << r.named;
    }
}

TEST(SolvedCase, TheStructureIsTheFirstDocumentsNotTheCaseTheExtractionChanged) {
    std::unique_ptr<Case> c = Open();
    ASSERT_TRUE(c);
    // The extraction puts a copy of S2 between E1 and S2: the case's links change, the document's
    // do not, and the solution of the same plant still applies.
    CPItem* e1 = c->GetItemByName("E1");
    CPItem* s2 = c->GetItemByName("S2");
    auto copy = std::make_unique<CPItem>("S2Duplicate", "ppMaterialStream");
    CPItem* dup = copy.get();
    c->Add(std::move(copy));
    e1->UnlinkRelatedNode(s2, CPItem::Downstream);
    e1->AddRelatedNode(dup, CPItem::Downstream);
    dup->AddRelatedNode(s2, CPItem::Downstream);
    const CaseReadResult r = CaseReader::ApplySolvedMemory(Plant("<num name=\"Temperature\">45</num>"), "solved.vmc", *c);
    EXPECT_EQ(r.status, CaseReadStatus::Ok) << r.message;
    EXPECT_EQ(CaseReadStatusWord(CaseReadStatus::DifferentCase), std::string("different-case"));
}

}  // namespace
