// Coefficient defaults and economic data of a default manager: the refusals, the change code 67,
// named sets with their upper-case keys, renaming and deleting, and the lock.
#include "DefaultManagerTestSupport.h"

#include <gtest/gtest.h>

#include <cctype>
#include <string>

namespace {

std::string Upper(std::string s) {
    for (char& ch : s) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
    return s;
}

// ---- coefficient defaults -----------------------------------------------------------------------

TEST(DefaultManagerCoefficients, ZeroValueTakesTheFirstEntrysValue) {
    auto m = FactoryManager();
    EXPECT_EQ(m->AddHTCDefaultValue("X", 0.0, nullptr), 1);
    EXPECT_DOUBLE_EQ(m->GetHTCDefaultValue(28), 0.2);
    // A name held in other letters is taken.
    EXPECT_EQ(m->AddHTCDefaultValue("x", 0.5, nullptr), 0);
    EXPECT_EQ(m->AddHTCDefaultValue("WATER", 0.5, nullptr), 0);
    DefaultManager empty;
    EXPECT_EQ(empty.AddHTCDefaultValue("X", 0.0, nullptr), 1);
    EXPECT_DOUBLE_EQ(empty.GetHTCDefaultValue(0), 0.0);
}

struct CoefficientEditCase {
    const char* label;
    int operation;  // 0 value, 1 name, 2 note, 3 delete
    int index;
    double value;
    const char* text;
    hresult expected;
};
void PrintTo(const CoefficientEditCase& c, std::ostream* os) {
    *os << c.label;
}

class CoefficientEdits : public ::testing::TestWithParam<CoefficientEditCase> {};

TEST_P(CoefficientEdits, RefusalsLeaveTheTableAsItWas) {
    auto m = FactoryManager();
    ChangeRecorder r(*m);
    const auto before = RecordBytes(*m, SRT_Coefficients);
    const CoefficientEditCase& c = GetParam();
    hresult result = 0;
    switch (c.operation) {
    case 0: result = m->SetHTCDefaultValue(c.index, c.value); break;
    case 1: result = m->SetHTCDefaultValueName(c.index, c.text); break;
    case 2: result = m->SetHTCDefaultValueNote(c.index, c.text); break;
    default: result = m->DeleteHTCDefaultValue(c.index); break;
    }
    EXPECT_EQ(result, c.expected) << c.label;
    EXPECT_EQ(r.Count(67), c.expected) << c.label;
    EXPECT_EQ(RecordBytes(*m, SRT_Coefficients) == before, c.expected == 0) << c.label;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CoefficientEdits,
    ::testing::Values(CoefficientEditCase{"value zero", 0, 3, 0.0, nullptr, 0},
                      CoefficientEditCase{"value negative", 0, 3, -2.0, nullptr, 0},
                      CoefficientEditCase{"value", 0, 3, 1.7, nullptr, 1},
                      // A stream's film coefficient lies from 0.001 to 1e6 kW/(m2.C); so does an entry.
                      CoefficientEditCase{"value below a stream's range", 0, 3, 0.00099, nullptr, 0},
                      CoefficientEditCase{"value at the range's foot", 0, 3, 0.001, nullptr, 1},
                      CoefficientEditCase{"value at the range's head", 0, 3, 1e6, nullptr, 1},
                      CoefficientEditCase{"value above a stream's range", 0, 3, 1.01e6, nullptr, 0},
                      CoefficientEditCase{"value of a missing entry", 0, 28, 1.7, nullptr, 0},
                      CoefficientEditCase{"own name", 1, 2, 0.0, "Brine", 0},
                      CoefficientEditCase{"another entry's name", 1, 2, 0.0, "Water", 0},
                      CoefficientEditCase{"another entry's name in capitals", 1, 2, 0.0, "WATER", 0},
                      CoefficientEditCase{"own name in capitals", 1, 2, 0.0, "BRINE", 1},
                      CoefficientEditCase{"new name", 1, 2, 0.0, "Sea Water", 1},
                      CoefficientEditCase{"note", 2, 2, 0.0, "cooling", 1},
                      CoefficientEditCase{"note of a missing entry", 2, -1, 0.0, "x", 0},
                      CoefficientEditCase{"delete negative", 3, -1, 0.0, nullptr, 0},
                      CoefficientEditCase{"delete past the end", 3, 28, 0.0, nullptr, 0},
                      CoefficientEditCase{"delete last", 3, 27, 0.0, nullptr, 1}));

// ---- economic data ------------------------------------------------------------------------------

TEST(DefaultManagerEconomics, SettingReachesTheSetOrTheInfo) {
    auto m = FactoryManager();
    ASSERT_EQ(m->AddEconomicData("Fired Heater"), 1);
    EXPECT_EQ(m->SetEconomicData(EDT_FixedCostPerUnit, 100000.0, "fired heater"), 1);
    EXPECT_EQ(m->SetEconomicData(EDT_CostLaw, 1.0, "FIRED HEATER"), 1);
    EXPECT_DOUBLE_EQ(m->GetEconomicData(EDT_FixedCostPerUnit, "Fired Heater"), 100000.0);
    EXPECT_DOUBLE_EQ(m->GetEconomicData(EDT_FixedCostPerUnit, "DEFAULT"), 10000.0);
    // A shared item named through a set reaches the info.
    EXPECT_EQ(m->SetEconomicData(EDT_PlantLife, 10.0, "Fired Heater"), 1);
    EXPECT_DOUBLE_EQ(m->GetEconomicData(EDT_PlantLife, "DEFAULT"), 10.0);
    EXPECT_EQ(m->SetEconomicData(EDT_AreaExponent, 0.7, "No Such Set"), 0);
    EXPECT_EQ(m->SetEconomicData(EDT_AreaExponent, 0.7, ""), 0);
    EXPECT_EQ(m->SetEconomicData(EDT_AreaExponent, 0.7, nullptr), 0);
    EXPECT_EQ(m->GetVariableStatus(EDT_AreaExponent), 1);
}

TEST(DefaultManagerEconomics, NamesAreKeyedInUpperCaseAndDeletedByTheKey) {
    auto m = FactoryManager();
    EXPECT_EQ(m->GetNumberOfEconomicData(), 1);
    EXPECT_STREQ(m->GetEconomicDataName(0), "DEFAULT");
    EXPECT_EQ(m->GetEconomicDataName(1), nullptr);
    ASSERT_EQ(m->AddEconomicData("fired heater"), 1);
    EXPECT_EQ(m->AddEconomicData("Fired Heater"), 0);
    EXPECT_EQ(m->AddEconomicData("default"), 0);
    EXPECT_EQ(m->AddEconomicData(""), 0);
    EXPECT_EQ(m->GetNumberOfEconomicData(), 2);
    EXPECT_STREQ(m->GetEconomicDataName(1), "FIRED HEATER");
    EXPECT_EQ(m->GetEconomicDataName(2), nullptr);
    EXPECT_EQ(m->GetEconomicDataName(-1), nullptr);
    ASSERT_NE(m->GetEconomicDataPointer("Fired Heater"), m->GetEconomicDataPointer());
    EXPECT_EQ(m->GetEconomicDataPointer("Fired Heater")->GetName(), "FIRED HEATER");
    EXPECT_EQ(m->GetEconomicDataPointer("Nothing"), m->GetEconomicDataPointer());
    EXPECT_EQ(m->DeleteEconomicData("fired heater"), 0);
    EXPECT_EQ(m->DeleteEconomicData("FIRED HEATER"), 1);
    EXPECT_EQ(m->DeleteEconomicData("FIRED HEATER"), 0);
    EXPECT_EQ(m->GetNumberOfEconomicData(), 1);
}

// A set is read by its name in any case of a to z; the characters beside the letters in the
// code table ('@' '[' before and after A to Z, '`' '{' before and after a to z) and bytes past
// 127 name only themselves.
struct SetNameCase {
    const char* label;
    const char* asked;
    bool reaches;
};
void PrintTo(const SetNameCase& c, std::ostream* os) { *os << c.label; }

class EconomicSetNames : public ::testing::TestWithParam<SetNameCase> {};

TEST_P(EconomicSetNames, ReadByNameInAnyCaseOfTheLettersOnly) {
    auto m = FactoryManager();
    ASSERT_EQ(m->AddEconomicData("heater`{\xc3\xa9"), 1);
    ASSERT_EQ(m->SetEconomicData(EDT_FixedCostPerUnit, 123456.0, "HEATER`{\xc3\xa9"), 1);
    EXPECT_EQ(m->GetEconomicData(EDT_FixedCostPerUnit, GetParam().asked), GetParam().reaches ? 123456.0 : 0.0);
}

INSTANTIATE_TEST_SUITE_P(
    Names, EconomicSetNames,
    ::testing::Values(SetNameCase{"as stored", "HEATER`{\xc3\xa9", true},
                      SetNameCase{"lower case", "heater`{\xc3\xa9", true},
                      SetNameCase{"mixed case", "hEaTeR`{\xc3\xa9", true},
                      SetNameCase{"grave as at sign", "HEATER@{\xc3\xa9", false},
                      SetNameCase{"brace as bracket", "HEATER`[\xc3\xa9", false},
                      SetNameCase{"accented capital", "HEATER`{\xc3\x89", false},
                      SetNameCase{"shorter", "HEATER`{\xc3", false},
                      SetNameCase{"longer", "HEATER`{\xc3\xa9S", false}));

struct RenameCase {
    const char* label;
    const char* newName;
    const char* oldName;
    hresult expected;
    const char* listedName;  // name of set 1 afterwards
};
void PrintTo(const RenameCase& c, std::ostream* os) {
    *os << c.label;
}

class RenameEconomicData : public ::testing::TestWithParam<RenameCase> {};

TEST_P(RenameEconomicData, UpperCaseComparisonAndTheDefaultSetIsNeverRenamed) {
    auto m = FactoryManager();
    ASSERT_EQ(m->AddEconomicData("A"), 1);
    ASSERT_EQ(m->AddEconomicData("C"), 1);
    const RenameCase& c = GetParam();
    EXPECT_EQ(m->RenameEconomicData(c.newName, c.oldName), c.expected) << c.label;
    EXPECT_STREQ(m->GetEconomicDataName(1), c.listedName) << c.label;
    EXPECT_STREQ(m->GetEconomicDataName(0), "DEFAULT");
    if (c.expected == 1) {
        // Found under the new key, gone under the old one.
        EXPECT_EQ(m->DeleteEconomicData("A"), 0);
        EXPECT_EQ(m->DeleteEconomicData(Upper(c.newName).c_str()), 1);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RenameEconomicData,
    ::testing::Values(RenameCase{"to a free name", "b", "A", 1, "b"},
                      RenameCase{"old name in another case", "Bee", "a", 1, "Bee"},
                      RenameCase{"to DEFAULT", "DEFAULT", "A", 0, "A"},
                      RenameCase{"to default in lower case", "default", "A", 0, "A"},
                      RenameCase{"from Default", "x", "Default", 0, "A"},
                      RenameCase{"missing set", "x", "Z", 0, "A"},
                      RenameCase{"to a taken name", "c", "A", 0, "A"},
                      RenameCase{"to its own name", "a", "A", 0, "A"},
                      RenameCase{"to nothing", "", "A", 0, "A"},
                      RenameCase{"null", nullptr, "A", 0, "A"}));

}  // namespace
