// The simulator-case document reader: every element read into items and values, and every
// refusal with its status and line, with nothing made.
#include "osmeri/CPItem.h"
#include "ralvex/Case.h"
#include "ralvex/CaseReader.h"

#include <gtest/gtest.h>
#include <libxml/parserInternals.h>

#include <cstdio>
#include <string>

namespace {

std::unique_ptr<Case> read(const std::string& text, CaseReadResult* result = nullptr) {
    std::unique_ptr<Case> c;
    CaseReadResult r = CaseReader::ReadMemory(text, "plant.xml", c);
    if (result) *result = r;
    return c;
}

const char* const kPlant = R"(<?xml version="1.0"?>
<!-- a small plant -->
<simcase version="1" name="Plant A">
  <class name="myCooler" parent="htCooler"/>
  <item name="S1" class="ppMaterialStream">
    <num name="Temperature" units="C">150.5</num>
    <num name="Pressure"/>
    <short name="CompositionCRC">65535</short>
    <text name="LiquidProduct">S2</text>
    <list name="CompMolarFraction">0.25, 0.75 ?</list>
    <texts name="FeedStreams"><t>S1</t><t>A &amp; B</t></texts>
    <group name="PropertyTable">
      <group name="S1">
        <list name="prpTemperature">150 100</list>
        <group><list name="prpSpecificHeat">2 2.1</list></group>
        <group><list name="prpSpecificHeat">4 4.2</list></group>
      </group>
    </group>
    <link to="E1"/>
  </item>
  <item name="E1" class="myCooler" flowsheet="">
    <link to="S2"/>
  </item>
  <item name="S2" class="ppMaterialStream" flowsheet="Sub 1">
    <text name="VelmorName">Product</text>
  </item>
</simcase>
)";

TEST(CaseReader, ReadsEveryElementIntoItemsAndValues) {
    CaseReadResult r;
    std::unique_ptr<Case> c = read(kPlant, &r);
    ASSERT_EQ(r.status, CaseReadStatus::Ok) << r.message;
    ASSERT_TRUE(c);
    EXPECT_EQ(c->GetName(), "Plant A");
    ASSERT_EQ(c->GetNumberOfItems(), 3u);
    // Items come in document order.
    EXPECT_EQ(c->GetFirstItem()->GetName(), "S1");
    EXPECT_EQ(c->GetNextItem()->GetName(), "E1");
    EXPECT_EQ(c->GetNextItem()->GetName(), "S2");
    EXPECT_EQ(c->GetNextItem(), nullptr);

    CPItem* s1 = c->GetItemByName("S1");
    ASSERT_TRUE(s1);
    EXPECT_EQ(s1->_get_szClassName(), "ppMaterialStream");
    const CPValue* t = s1->GetVariable("Temperature");
    ASSERT_TRUE(t);
    EXPECT_TRUE(t->IsKnown());
    EXPECT_DOUBLE_EQ(t->GetAsDouble(), 150.5);
    ASSERT_TRUE(t->_get_punstrUnits());
    EXPECT_EQ(*t->_get_punstrUnits(), "C");
    // An empty number is unknown, never 0.
    const CPValue* p = s1->GetVariable("Pressure");
    ASSERT_TRUE(p);
    EXPECT_EQ(p->_get_nKnown(), 0);
    EXPECT_DOUBLE_EQ(p->GetAsDouble(), -32767.0);
    // A 16-bit code reads back bit for bit.
    EXPECT_EQ(static_cast<std::uint16_t>(s1->GetVariable("CompositionCRC")->GetAsShort()), 65535u);
    EXPECT_EQ(s1->GetVariable("LiquidProduct")->GetAsString(), "S2");
    const CPValue* x = s1->GetVariable("CompMolarFraction");
    ASSERT_EQ(x->GetSubvalueCount(), 3u);
    double buffer[3] = {};
    EXPECT_EQ(x->BuildVectorRepresentation(32, buffer, sizeof buffer), 3u);
    EXPECT_DOUBLE_EQ(buffer[0], 0.25);
    EXPECT_DOUBLE_EQ(buffer[1], 0.75);
    EXPECT_FALSE(x->GetSubValue(2)->IsKnown());
    const CPValue* feeds = s1->GetVariable("FeedStreams");
    ASSERT_EQ(feeds->GetSubvalueCount(), 2u);
    EXPECT_EQ(feeds->GetSubValue(1)->GetAsString(), "A & B");
    // Unnamed inner groups are indexed entries.
    const CPValue* table = s1->GetVariable("PropertyTable")->GetSubvalueByName("S1");
    ASSERT_TRUE(table);
    ASSERT_EQ(table->GetSubvalueCount(), 3u);
    EXPECT_TRUE(table->GetSubValue(1)->GetName().empty());
    EXPECT_DOUBLE_EQ(table->GetSubValue(2)->GetSubvalueByName("prpSpecificHeat")->GetSubValue(1)->GetAsDouble(), 4.2);

    // Sub-flowsheet and simulator names: "Main" by default, none for an empty attribute,
    // explicit values win.
    EXPECT_EQ(s1->GetVariable("MySubFlowsheet")->GetAsString(), "Main");
    EXPECT_EQ(s1->GetVariable("VelmorFlowsheetName")->GetAsString(), "Main");
    EXPECT_EQ(s1->GetVariable("VelmorName")->GetAsString(), "S1");
    CPItem* e1 = c->GetItemByName("E1");
    EXPECT_EQ(e1->GetVariable("MySubFlowsheet"), nullptr);
    EXPECT_EQ(e1->GetVariable("VelmorName")->GetAsString(), "E1");
    CPItem* s2 = c->GetItemByName("S2");
    EXPECT_EQ(s2->GetVariable("MySubFlowsheet")->GetAsString(), "Sub 1");
    EXPECT_EQ(s2->GetVariable("VelmorName")->GetAsString(), "Product");

    // Links: S1 feeds E1 feeds S2, each seen from the other side.
    EXPECT_EQ(s1->RelatedNodes(4), std::vector<CPItem*>{e1});
    EXPECT_EQ(e1->RelatedNodes(260), std::vector<CPItem*>{s1});
    EXPECT_EQ(s2->RelatedNodes(260), std::vector<CPItem*>{e1});

    // Declared and built-in classes.
    const Model& m = c->GetModel();
    EXPECT_TRUE(m.IsAncestor(e1, "htCooler"));
    EXPECT_TRUE(m.IsAncestor(e1, "picHeatTransferEquipment"));
    EXPECT_FALSE(m.IsAncestor(s1, "picHeatTransferEquipment"));
}

TEST(CaseReader, UpstreamNeighboursComeInDocumentOrder) {
    std::unique_ptr<Case> c = read(R"(<simcase version="1" name="c">
      <item name="M" class="ppMixer"/>
      <item name="B" class="ppMaterialStream"><link to="M"/></item>
      <item name="A" class="ppMaterialStream"><link to="M"/></item>
    </simcase>)");
    ASSERT_TRUE(c);
    CPItem* m = c->GetItemByName("M");
    EXPECT_EQ(m->GetFirstRelatedNode(260)->GetName(), "B");
    EXPECT_EQ(m->GetNextRelatedNode()->GetName(), "A");
    EXPECT_EQ(m->GetNextRelatedNode(), nullptr);
}

TEST(CaseReader, SpreadsheetDocumentsCarryTheirSegmentation) {
    std::unique_ptr<Case> c = read(R"(<simcase version="1" name="sheet" source="spreadsheet" segmentation="Automatic"/>)");
    ASSERT_TRUE(c);
    EXPECT_EQ(c->GetSource(), "spreadsheet");
    EXPECT_EQ(c->GetSegmentation(), "Automatic");
}

struct Refusal {
    const char* label;
    std::string text;
    CaseReadStatus status;
    int line;
};
void PrintTo(const Refusal& c, std::ostream* os) {
    *os << c.label;
}

class CaseReaderRefusal : public ::testing::TestWithParam<Refusal> {};

std::string doc(const std::string& body) { return "<simcase version=\"1\" name=\"c\">\n" + body + "\n</simcase>\n"; }

std::string nested(int depth) {
    // simcase (1) > item (2) > group (3) ... > group (depth)
    std::string open, close;
    for (int i = 3; i <= depth; ++i) {
        open += "<group name=\"g" + std::to_string(i) + "\">";
        close = "</group>" + close;
    }
    return doc("<item name=\"I\" class=\"x\">" + open + close + "</item>");
}

TEST_P(CaseReaderRefusal, IsRefusedWithFileAndLineAndNoCase) {
    const Refusal& r = GetParam();
    CaseReadResult result;
    std::unique_ptr<Case> c = read(r.text, &result);
    EXPECT_EQ(c, nullptr);
    EXPECT_EQ(result.status, r.status) << result.message;
    if (r.line > 0) {
        EXPECT_EQ(result.line, r.line) << result.message;
    }
    EXPECT_EQ(result.message.rfind("plant.xml:", 0), 0u) << result.message;
}

INSTANTIATE_TEST_SUITE_P(
    Documents, CaseReaderRefusal,
    ::testing::Values(
        Refusal{"Unclosed", doc("<item name=\"A\" class=\"x\">"), CaseReadStatus::Malformed, 0},
        Refusal{"NotXml", "just text", CaseReadStatus::Malformed, 1},
        Refusal{"Doctype", "<?xml version=\"1.0\"?>\n<!DOCTYPE simcase>\n<simcase version=\"1\" name=\"c\"/>",
                CaseReadStatus::Doctype, 2},
        Refusal{"OtherRoot", "<case version=\"1\" name=\"c\"/>", CaseReadStatus::UnknownElement, 1},
        Refusal{"Version2", "<simcase version=\"2\" name=\"c\"/>", CaseReadStatus::BadVersion, 1},
        Refusal{"NoName", "<simcase version=\"1\"/>", CaseReadStatus::MissingAttribute, 1},
        Refusal{"UnknownElement", doc("<item name=\"A\" class=\"x\"><real name=\"T\"/></item>"),
                CaseReadStatus::UnknownElement, 2},
        Refusal{"UnknownTopElement", doc("<stream name=\"A\"/>"), CaseReadStatus::UnknownElement, 2},
        Refusal{"NamespacedElement", doc("<x:item xmlns:x=\"urn:x\" name=\"A\" class=\"x\"/>"),
                CaseReadStatus::UnknownElement, 2},
        Refusal{"UnknownAttribute", doc("<item name=\"A\" class=\"x\" colour=\"red\"/>"),
                CaseReadStatus::UnknownAttribute, 2},
        Refusal{"UnitsOnText", doc("<item name=\"A\" class=\"x\"><text name=\"T\" units=\"C\">a</text></item>"),
                CaseReadStatus::UnknownAttribute, 2},
        Refusal{"StrayText", doc("<item name=\"A\" class=\"x\">hello</item>"), CaseReadStatus::UnknownElement, 2},
        Refusal{"ItemWithoutClass", doc("<item name=\"A\"/>"), CaseReadStatus::MissingAttribute, 2},
        Refusal{"UnnamedValue", doc("<item name=\"A\" class=\"x\"><num>1</num></item>"),
                CaseReadStatus::MissingAttribute, 2},
        Refusal{"UnnamedGroupOnItem", doc("<item name=\"A\" class=\"x\"><group/></item>"),
                CaseReadStatus::MissingAttribute, 2},
        Refusal{"DuplicateItem", doc("<item name=\"A\" class=\"x\"/>\n<item name=\"A\" class=\"y\"/>"),
                CaseReadStatus::DuplicateName, 3},
        Refusal{"DuplicateValue",
                doc("<item name=\"A\" class=\"x\">\n<num name=\"T\">1</num>\n<text name=\"T\">a</text></item>"),
                CaseReadStatus::DuplicateName, 4},
        Refusal{"DuplicateInGroup",
                doc("<item name=\"A\" class=\"x\"><group name=\"G\"><num name=\"T\"/><num name=\"T\"/></group></item>"),
                CaseReadStatus::DuplicateName, 2},
        Refusal{"DuplicateClass", doc("<class name=\"k\" parent=\"a\"/>\n<class name=\"k\" parent=\"b\"/>"),
                CaseReadStatus::DuplicateName, 3},
        Refusal{"LoopingClass", doc("<class name=\"a\" parent=\"b\"/>\n<class name=\"b\" parent=\"a\"/>"),
                CaseReadStatus::BadClass, 3},
        Refusal{"LinkToNothing", doc("<item name=\"A\" class=\"x\">\n<link to=\"B\"/></item>"),
                CaseReadStatus::BadLink, 3},
        Refusal{"LinkToSelf", doc("<item name=\"A\" class=\"x\"><link to=\"A\"/></item>"), CaseReadStatus::BadLink, 2},
        Refusal{"RepeatedLink",
                doc("<item name=\"A\" class=\"x\"><link to=\"B\"/>\n<link to=\"B\"/></item><item name=\"B\" "
                    "class=\"y\"/>"),
                CaseReadStatus::BadLink, 3},
        Refusal{"BadNumber", doc("<item name=\"A\" class=\"x\"><num name=\"T\">12,5</num></item>"),
                CaseReadStatus::BadNumber, 2},
        Refusal{"HexNumber", doc("<item name=\"A\" class=\"x\"><num name=\"T\">0x10</num></item>"),
                CaseReadStatus::BadNumber, 2},
        Refusal{"NotANumber", doc("<item name=\"A\" class=\"x\"><num name=\"T\">nan</num></item>"),
                CaseReadStatus::BadNumber, 2},
        Refusal{"HugeNumber", doc("<item name=\"A\" class=\"x\"><num name=\"T\">1e999</num></item>"),
                CaseReadStatus::BadNumber, 2},
        Refusal{"ShortTooLarge", doc("<item name=\"A\" class=\"x\"><short name=\"C\">65536</short></item>"),
                CaseReadStatus::BadNumber, 2},
        Refusal{"ShortFraction", doc("<item name=\"A\" class=\"x\"><short name=\"C\">1.5</short></item>"),
                CaseReadStatus::BadNumber, 2},
        Refusal{"BadListEntry", doc("<item name=\"A\" class=\"x\"><list name=\"L\">1 two</list></item>"),
                CaseReadStatus::BadNumber, 2},
        Refusal{"ElementInNumber", doc("<item name=\"A\" class=\"x\"><num name=\"T\"><b/></num></item>"),
                CaseReadStatus::UnknownElement, 2},
        Refusal{"ForeignEntryInTexts", doc("<item name=\"A\" class=\"x\"><texts name=\"L\"><s/></texts></item>"),
                CaseReadStatus::UnknownElement, 2},
        Refusal{"NestedTooDeep", nested(33), CaseReadStatus::TooDeep, 2},
        Refusal{"Utf16WithDoctype",
                std::string("\xFF\xFE<\0!\0D\0O\0C\0T\0Y\0P\0E\0 \0s\0>\0<\0s\0/\0>\0", 30),
                CaseReadStatus::Malformed, 0}),
    [](const ::testing::TestParamInfo<Refusal>& info) { return std::string(info.param.label); });

TEST(CaseReader, NestingUpTo32IsRead) {
    CaseReadResult r;
    EXPECT_TRUE(read(nested(32), &r)) << r.message;
}

TEST(CaseReader, RefusesADocumentAbove64MegabytesBeforeParsing) {
    std::string big = doc("");
    big.append(CaseReader::MaxDocumentBytes, ' ');
    CaseReadResult r;
    EXPECT_EQ(read(big, &r), nullptr);
    EXPECT_EQ(r.status, CaseReadStatus::TooLarge);
}

// Counts every attempt of the XML library to load an external resource.
int g_loads = 0;
xmlParserInputPtr recordingLoader(const char*, const char*, xmlParserCtxtPtr) {
    ++g_loads;
    return nullptr;
}

TEST(CaseReader, AnExternalEntityIsRefusedUnread) {
    const std::string secret = ::testing::TempDir() + "kestrin-entity-secret.txt";
    if (FILE* f = std::fopen(secret.c_str(), "w")) {
        std::fputs("secret", f);
        std::fclose(f);
    }
    const xmlExternalEntityLoader before = xmlGetExternalEntityLoader();
    xmlSetExternalEntityLoader(recordingLoader);
    g_loads = 0;
    const std::string hostile = "<?xml version=\"1.0\"?>\n<!-- note -->\n<!DOCTYPE simcase [\n"
                                "  <!ENTITY leak SYSTEM \"file://" + secret + "\">\n"
                                "  <!ENTITY % remote SYSTEM \"http://example.invalid/x.dtd\"> %remote;\n]>\n"
                                "<simcase version=\"1\" name=\"c\"><item name=\"A\" class=\"x\">"
                                "<text name=\"T\">&leak;</text></item></simcase>";
    CaseReadResult r;
    std::unique_ptr<Case> c = read(hostile, &r);
    xmlSetExternalEntityLoader(before);
    std::remove(secret.c_str());
    EXPECT_EQ(c, nullptr);
    EXPECT_EQ(r.status, CaseReadStatus::Doctype);
    EXPECT_EQ(r.line, 3);
    EXPECT_EQ(g_loads, 0);
    // An entity used without a declaration is not expanded either: the document is malformed.
    g_loads = 0;
    xmlSetExternalEntityLoader(recordingLoader);
    EXPECT_EQ(read(doc("<item name=\"A\" class=\"x\"><text name=\"T\">&leak;</text></item>"), &r), nullptr);
    xmlSetExternalEntityLoader(before);
    EXPECT_EQ(r.status, CaseReadStatus::Malformed);
    EXPECT_EQ(g_loads, 0);
}

TEST(CaseReader, AFileThatIsNotThereOrADirectoryCannotBeOpened) {
    std::unique_ptr<Case> c;
    EXPECT_EQ(CaseReader::ReadFile("/nonexistent/plant.xml", c).status, CaseReadStatus::CannotOpen);
    EXPECT_EQ(CaseReader::ReadFile(::testing::TempDir(), c).status, CaseReadStatus::CannotOpen);
    EXPECT_EQ(c, nullptr);
}

}  // namespace
