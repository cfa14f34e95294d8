#pragma once
// Networks for the retrofit tests, built as a user would in a real design.
//
// The worked network: hot H 150 -> 50 C (CP 2, 200 kW), cold C 100 -> 160 C (CP 4, 240 kW), one
// exchanger X between them with a heater on C after it (steam ST) and a cooler on H after it
// (cooling water CW). With DTmin 10 the network recovers at most 80 kW in X: its cold end closes
// to 110 - 100 = 10 C.
#include "eng/design/INetworkOptimiser.h"
#include "tests/eng/design/DesignTestSupport.h"

#include <cstdio>
#include <dirent.h>
#include <cstdlib>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>
#include <sys/stat.h>
#include <unistd.h>

namespace retrofit_test {

struct WorkedNetwork : design_test::DesignScenario {
    // xDuty: X's duty as the plant runs it (kW).
    explicit WorkedNetwork(bool withHeater = true, bool withCooler = true, double xDuty = 60.0) {
        Add("H", 150, 50, 2.0);
        Add("C", 100, 160, 4.0);
        Add("ST", 250, 249, 0.5, 1);
        Add("CW", 20, 30, 0.1, 1);
        d = Design("D1");
        using design_test::NthSegment;
        x = d->AddHeatExchanger(NthSegment(*d, "H", 0), NthSegment(*d, "C", 0), nullptr, nullptr, nullptr);
        for (int port = 0; port < 4; ++port) d->RemoveUtilityAtPort(x, port);
        if (withHeater)
            heater = d->AddHeatExchanger(NthSegment(*d, "ST", 0), NthSegment(*d, "C", 1), nullptr, nullptr, nullptr);
        if (withCooler)
            cooler = d->AddHeatExchanger(NthSegment(*d, "H", 1), NthSegment(*d, "CW", 0), nullptr, nullptr, nullptr);
        for (int port = 0; port < 4; ++port) {
            if (heater) d->RemoveUtilityAtPort(heater, port);
            if (cooler) d->RemoveUtilityAtPort(cooler, port);
        }
        x->addVariable("Duty", xDuty, ValueStatus::Specified);
        d->ProcessChange(17, CPString(), nullptr);
    }
    CPIHENDesign* d = nullptr;
    CNode* x = nullptr;
    CNode* heater = nullptr;
    CNode* cooler = nullptr;
};

inline double Celsius(double kelvin) { return kelvin - 273.15; }

// A temporary directory of this test alone for as long as it lives: the retrofit logs go there, so
// that tests (and runs of the host) at the same time never see or delete each other's logs.
class PrivateTempDir {
public:
    PrivateTempDir() {
        static int counter = 0;
        const char* previous = std::getenv("TMPDIR");
        m_had = previous != nullptr;
        if (m_had) m_previous = previous;
        m_path = "/tmp/kestrin-retrofit-" + std::to_string(getpid()) + "-" + std::to_string(++counter);
        ::mkdir(m_path.c_str(), 0700);
        ::setenv("TMPDIR", m_path.c_str(), 1);
    }
    ~PrivateTempDir() {
        if (m_had) ::setenv("TMPDIR", m_previous.c_str(), 1);
        else ::unsetenv("TMPDIR");
        for (const std::string& name : Names()) std::remove((m_path + "/" + name).c_str());
        ::rmdir(m_path.c_str());
    }
    const std::string& Path() const { return m_path; }
    // What the directory holds now: a run leaves nothing of its own behind.
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        if (DIR* dir = ::opendir(m_path.c_str())) {
            while (const dirent* entry = ::readdir(dir))
                if (std::string(entry->d_name) != "." && std::string(entry->d_name) != "..") names.push_back(entry->d_name);
            ::closedir(dir);
        }
        return names;
    }
    PrivateTempDir(const PrivateTempDir&) = delete;
    PrivateTempDir& operator=(const PrivateTempDir&) = delete;

private:
    std::string m_path, m_previous;
    bool m_had = false;
};

// An optimiser that reports every run as improved and changes nothing, so that a retrofit step's
// area check passes; it counts its runs.
class AcceptingOptimiser : public INetworkOptimiser {
public:
    explicit AcceptingOptimiser(int& runs) : m_runs(runs) {}
    void SetUseEquationBased(bool) override {}
    int Run(int, bool, bool) override {
        ++m_runs;
        return IHENDesign::OptimiserImproved;
    }
    bool GetFittedValues(CNode*, double&, double&) const override { return false; }

private:
    int& m_runs;
};

class AcceptingProvider : public INetworkOptimiserProvider {
public:
    std::unique_ptr<INetworkOptimiser> MakeOptimiser(IHENDesign&, const char*) override {
        return std::make_unique<AcceptingOptimiser>(runs);
    }
    std::unique_ptr<IOptimiserCheck> MakeCheck(IHENDesign&, const char*) override { return nullptr; }
    int runs = 0;
};

// Real designs that reach the given optimiser provider (none: the optimiser is not available).
class ProvidedDesignFactory : public IHENDesignFactory {
public:
    explicit ProvidedDesignFactory(INetworkOptimiserProvider* provider) : m_provider(provider) {}
    IHENDesign* CreateDesign(IHeatIntegrationScenario& scenario, const CPString& name) override {
        auto* design = new CPIHENDesign(&scenario, name);
        design->SetNetworkOptimiserProvider(m_provider);
        return design;
    }

private:
    INetworkOptimiserProvider* m_provider;
};

// H1 150 -> 50 C (CP 2) heats C 100 -> 160 C (CP 4) in X at 60 kW, H2 130 -> 70 C (CP 1) has only
// a cooler; steam ST heats C after X, cooling water CW cools H1 after X and H2. The one gainful new
// exchanger takes 20 kW from H2 in front of X (H2 leaves it at C's supply + 10). `h2Water` names
// the cooling water of H2's cooler: "CW" puts both coolers in series on one cooling water (whose
// flow the first cooler then fixes), another name gives H2 its own, equal to CW. `extraUtilities`
// (name, supply, target, cost index; hot or cold by their temperatures) come before the design.
struct ThreeStreamNetwork : design_test::DesignScenario {
    struct Utility {
        const char* name;
        double supply, target, costIndex;
    };
    explicit ThreeStreamNetwork(std::shared_ptr<IHENDesignFactory> designs = nullptr, const char* h2Water = "CW",
                                std::initializer_list<Utility> extraUtilities = {})
        : DesignScenario(std::move(designs)) {
        using design_test::NthSegment;
        const bool ownWater = h2Water[0] && std::string(h2Water) != "CW";
        Add("H1", 150, 50, 2.0);
        Add("H2", 130, 70, 1.0);
        Add("C", 100, 160, 4.0);
        Add("ST", 250, 249, 0.5, 1);
        Add("CW", 20, 30, 0.1, 1);
        if (ownWater) Add(h2Water, 20, 30, 0.2, 1);
        for (const Utility& u : extraUtilities) Add(u.name, u.supply, u.target, u.costIndex, 1);
        d = Design("D1");
        x = d->AddHeatExchanger(NthSegment(*d, "H1", 0), NthSegment(*d, "C", 0), nullptr, nullptr, nullptr);
        for (int port = 0; port < 4; ++port) d->RemoveUtilityAtPort(x, port);
        heater = d->AddHeatExchanger(NthSegment(*d, "ST", 0), NthSegment(*d, "C", 1), nullptr, nullptr, nullptr);
        cooler = d->AddHeatExchanger(NthSegment(*d, "H1", 1), NthSegment(*d, "CW", 0), nullptr, nullptr, nullptr);
        if (h2Water[0])
            cooler2 = d->AddHeatExchanger(NthSegment(*d, "H2", 0), NthSegment(*d, h2Water, ownWater ? 0 : 1), nullptr,
                                          nullptr, nullptr);
        for (CNode* u : {heater, cooler, cooler2})
            for (int port = 0; port < 4; ++port)
                if (u) d->RemoveUtilityAtPort(u, port);
        x->addVariable("Duty", 60.0, ValueStatus::Specified);
        d->ProcessChange(17, CPString(), nullptr);
    }
    CPIHENDesign* d = nullptr;
    CNode* x = nullptr;
    CNode* heater = nullptr;
    CNode* cooler = nullptr;
    CNode* cooler2 = nullptr;
};

}  // namespace retrofit_test
