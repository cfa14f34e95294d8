// Every record type of the module through the field-level record harness: failed writes are
// reported, a record cut after any field is refused and leaves the object it was read into as it
// was, and a full record re-stores byte for byte.
#include "eng/targeting/BathAreaTarget.h"
#include "eng/targeting/CostTargets.h"
#include "eng/targeting/EnergyTarget.h"
#include "eng/targeting/TemperatureInterval.h"
#include "eng/targeting/UnitsTarget.h"
#include "eng/model/MatchwiseStreamData.h"
#include "eng/model/SuperTargetRange.h"
#include "tests/eng/targeting/AreaTestSupport.h"
#include "tests/eng/targeting/TargetingFixtures.h"
#include "tests/eng/targeting/TotalSiteManagerTestSupport.h"
#include "tests/eng/targeting/UnitsTargetTestSupport.h"
#include "tests/eng/model/TotalSiteTestSupport.h"
#include "tests/support/RecordHarness.h"

#include <gtest/gtest.h>

namespace {

using targeting_test::SegmentSet;

std::shared_ptr<TIList> Boundaries(int mode, std::vector<KindedBoundary> b) {
    auto list = std::make_shared<TIList>(mode);
    list->SetBoundaries(b);
    return list;
}

// The four streams' energy target at a DTmin, with the segments it was built on.
struct EnergyHolder {
    explicit EnergyHolder(double dtMin) {
        AddFourStreamSegments(set);
        set.Shift(dtMin);
        target = std::make_unique<EnergyTarget>(set.refs, dtMin);
    }
    SegmentSet set;
    std::unique_ptr<EnergyTarget> target;
};
std::shared_ptr<EnergyTarget> FourStreamEnergy(double dtMin) {
    auto h = std::make_shared<EnergyHolder>(dtMin);
    return std::shared_ptr<EnergyTarget>(h, h->target.get());
}

// The four streams' Bath target with steam and cooling water, process films given (kW/m2 °C).
struct BathHolder {
    BathHolder(double dtMin, double film) {
        AddFourStreamSegments(set);
        for (StreamSegment* s : set.refs) s->dFilmCoefficient = film;
        set.Add(250, 249, 20.0, 1)->dFilmCoefficient = 6.0;
        set.Add(20, 25, 12.0, 1)->dFilmCoefficient = 3.75;
        area_test::CurveInputs c(set.refs, dtMin);
        c.in.pinchPoints = {PinchListEntry{90.0, 80.0, 0.0}};
        c.in.minimumFFactor = 0.75;
        target.reset(BathAreaTarget::Update(nullptr, c.in, 36));
    }
    SegmentSet set;
    std::unique_ptr<BathAreaTarget> target;
};
std::shared_ptr<BathAreaTarget> FourStreamBath(double dtMin, double film) {
    auto h = std::make_shared<BathHolder>(dtMin, film);
    return std::shared_ptr<BathAreaTarget>(h, h->target.get());
}

std::shared_ptr<UnitsTargetData> Units(int milpFlag, double secondHotCp) {
    auto r = std::make_shared<UnitsTargetData>();
    r->SetMILPOnUpdate(1);
    r->SetMILPFlag(milpFlag);
    units_test::StreamSet set;
    units_test::AddBalancedPair(set, "A", "B", 40, 50, 50, 100);
    units_test::AddBalancedPair(set, "C", "D", 140, 50, 50, secondHotCp);
    r->Update(set.Refs(), {}, 0);
    r->SetStreams({});
    return r;
}

std::shared_ptr<SuperTargetRange> Range(double end, std::vector<double> dTmins) {
    auto range = std::make_shared<SuperTargetRange>();
    range->dRangeEnd = end;
    range->dBaseCostValue = 40.0;
    for (double dt : dTmins) {
        SuperTargetPointRecord p{};
        for (int i = 0; i < 10; ++i) p.values[i] = dt + i;
        p.count = dt < 25.0 ? 1 : 0;
        p.eleventh = dt / 10.0;
        range->points.push_back(p);
    }
    range->requestedValues = {dTmins.front()};
    return range;
}

std::shared_ptr<TotalSiteManager> SiteManager(bool edited) {
    std::shared_ptr<TotalSiteManager> m = sitemanager_test::FactoryManager();
    if (edited) {
        m->SetValue("MP Steam", DUP_SupplyTemperature, 180.0);
        m->RemoveDefaultUtility("Air");
        m->AddDefaultUtility("Site Brine");
        m->SetEconomicData(EDT_RateOfReturn, 0.12, "DEFAULT");
        m->GetSiteStream("HP Steam")->SetValue("Viscosity", 0.02, 0);
    }
    return m;
}

std::shared_ptr<MatchwiseStreamData> Match(double area, const char* model) {
    auto m = std::make_shared<MatchwiseStreamData>(nullptr, nullptr);
    m->dFirstValue = 1.5;
    m->dCountercurrentArea = area;
    m->dFactor = 0.75;
    m->nInteger[0] = 7;
    m->SetCostModelName(model);
    return m;
}

RecordType SiteManagerRecord(const char* name, StoreRecallType type) {
    return Record<TotalSiteManager>(
        name, [] { return SiteManager(true); }, [] { return SiteManager(false); },
        [type](const TotalSiteManager& m, ILurmetBinaryFile& f) { return const_cast<TotalSiteManager&>(m).Store(&f, type); },
        [type](TotalSiteManager& m, ILurmetBinaryFile& f) { return m.Recall(&f, type); });
}

// The site of the site tests; the other one has its low-pressure steam edited.
std::shared_ptr<CPITotalSite> Site(bool edited) {
    auto s = std::make_shared<scenario_record_test::Site>();
    scenario_record_test::BuildSite(*s);
    if (edited) s->Manager().SetValue("LP Steam", DUP_SupplyTemperature, 170.0);
    return std::shared_ptr<CPITotalSite>(s, &s->site);
}

const std::vector<RecordType>& Table() {
    static const std::vector<RecordType> table = {
        Record<TIList>(
            "interval list", [] { return Boundaries(0, {{150, 1, 0}, {100, 2, 0}, {50, 3, 0}}); },
            [] { return Boundaries(9, {{1, 1, 9}}); }),
        Record<EnergyTarget>(
            "energy target", [] { return FourStreamEnergy(20.0); }, [] { return FourStreamEnergy(10.0); }),
        Record<BathAreaTarget>(
            "Bath area target", [] { return FourStreamBath(10.0, 0.2); }, [] { return FourStreamBath(20.0, 0.4); }),
        Record<UnitsTargetData>(
            "units target", [] { return Units(3, 200.0); }, [] { return Units(4, 100.0); }),
        Record<SuperTargetRange>(
            "supertargeting range", [] { return Range(52.0, {10.0, 20.0, 30.0}); }, [] { return Range(12.0, {99.0}); }),
        Record<CostTargetValue>(
            "cost target", [] { return std::make_shared<CostTargetValue>(CostTargetValue{0.00185}); },
            [] { return std::make_shared<CostTargetValue>(CostTargetValue{42.0}); },
            [](const CostTargetValue& r, ILurmetBinaryFile& f) { return StoreCostTarget(r, f); },
            [](CostTargetValue& r, ILurmetBinaryFile& f) { return RecallCostTarget(r, f); }),
        Record<MatchwiseStreamData>("match data", [] { return Match(2.5, "CHEAP"); }, [] { return Match(9.0, "OTHER"); }),
        SiteManagerRecord("site manager", SRT_All),
        SiteManagerRecord("site manager utilities", SRT_Utilities),
        Record<CPITotalSite>(
            "total site", [] { return Site(false); }, [] { return Site(true); },
            [](const CPITotalSite& s, ILurmetBinaryFile& f) { return const_cast<CPITotalSite&>(s).Store(f); },
            [](CPITotalSite& s, ILurmetBinaryFile& f) { return s.Recall(f); }),
    };
    return table;
}

class RecordTable : public ::testing::TestWithParam<std::size_t> {};

TEST_P(RecordTable, FailedWritesAreReportedAndShortRecordsChangeNothing) { ExpectRecordHarnessHolds(Table()[GetParam()]); }

INSTANTIATE_TEST_SUITE_P(Records, RecordTable, ::testing::Range<std::size_t>(0, Table().size()),
                         [](const ::testing::TestParamInfo<std::size_t>& info) {
                             std::string name = Table()[info.param].name;
                             for (char& c : name)
                                 if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                             return name;
                         });

}  // namespace
