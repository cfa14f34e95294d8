// The text of a list's add row, in any case of letters, is no name for a default utility, an
// economic data set or a film coefficient: the entry would look like the row that adds one.
#include "DefaultManagerTestSupport.h"

#include <gtest/gtest.h>

#include <functional>
#include <strings.h>
#include <string>

namespace {

struct NamingCase {
    const char* label;
    std::function<hresult(DefaultManager&, const char*)> name;
    std::function<bool(DefaultManager&, const char*)> holds;
};
void PrintTo(const NamingCase& c, std::ostream* os) { *os << c.label; }

bool holdsCoefficient(DefaultManager& m, const char* name) {
    for (int i = 0; i < m.GetNumberOfHTCDefaultValues(); ++i)
        if (strcasecmp(m.GetHTCDefaultValueName(i), name) == 0) return true;
    return false;
}
bool holdsSet(DefaultManager& m, const char* name) {
    for (int i = 0; i < m.GetNumberOfEconomicData(); ++i)
        if (strcasecmp(m.GetEconomicDataName(i), name) == 0) return true;
    return false;
}

class AddRowText : public ::testing::TestWithParam<NamingCase> {};

TEST_P(AddRowText, IsRefusedAsAName) {
    const NamingCase& c = GetParam();
    for (const char* text : {"**New**", "**NEW**"}) {
        auto m = FactoryManager();
        ASSERT_EQ(1, m->AddEconomicData("Plate"));
        EXPECT_EQ(0, c.name(*m, text)) << text;
        EXPECT_FALSE(c.holds(*m, text)) << text;
    }
    // A name of its own passes the same way, so the refusal is the name's alone.
    auto m = FactoryManager();
    ASSERT_EQ(1, m->AddEconomicData("Plate"));
    EXPECT_EQ(1, c.name(*m, "Own Name"));
    EXPECT_TRUE(c.holds(*m, "Own Name"));
}

INSTANTIATE_TEST_SUITE_P(
    Lists, AddRowText,
    ::testing::Values(
        NamingCase{"AddUtility", [](DefaultManager& m, const char* n) { return m.AddDefaultUtility(n); },
                   [](DefaultManager& m, const char* n) { return m.Exists(n); }},
        NamingCase{"RenameUtility", [](DefaultManager& m, const char* n) { return m.RenameDefaultUtility("HP Steam", n); },
                   [](DefaultManager& m, const char* n) { return m.Exists(n); }},
        NamingCase{"AddSet", [](DefaultManager& m, const char* n) { return m.AddEconomicData(n); }, holdsSet},
        NamingCase{"RenameSet", [](DefaultManager& m, const char* n) { return m.RenameEconomicData(n, "Plate"); },
                   holdsSet},
        NamingCase{"AddCoefficient", [](DefaultManager& m, const char* n) { return m.AddHTCDefaultValue(n, 0.5, nullptr); },
                   holdsCoefficient},
        NamingCase{"RenameCoefficient",
                   [](DefaultManager& m, const char* n) { return m.SetHTCDefaultValueName(1, n); }, holdsCoefficient}),
    [](const ::testing::TestParamInfo<NamingCase>& info) { return std::string(info.param.label); });

}  // namespace
