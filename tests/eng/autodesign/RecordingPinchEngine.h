#pragma once
// A network-pinch engine that records what is declared to it and answers results set by the
// test. The record outlives the engine (the optimiser destroys its engine at the end of a run).
#include "vireth/CPinchWrapper.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace optimiser_test {

struct PinchRecord {
    struct Segment {
        std::string stream;
        int number;
        double inletT, outletT, load, massFlow, htc, cp;
    };
    struct Stream {
        std::string label;
        double supplyT, targetT, load;
        int cold, segments;
        bool utility;
        double htc, costIndex;
    };
    struct Node {
        std::string label, stream, from, to;
        double temperature;
    };
    struct Splitter {
        std::string kind;  // "top", "inner"
        std::string inlet, name;
        std::vector<std::vector<int>> branches;
        std::vector<double> fractions;
        int utility;
        std::string mixer;  // top-level only
    };
    struct Mixer {
        std::string outlet, name;
        std::vector<int> inlets;
    };
    struct Results {
        double duty, area, t[4];
    };
    std::vector<std::string> calls;  // operation names in order
    std::vector<Segment> segments;
    std::vector<Stream> streams;
    std::vector<Node> nodes;
    std::vector<Splitter> splitters;
    std::vector<Mixer> mixers;
    std::vector<ExchangerDeclaration> exchangers;
    std::vector<double> economics;
    // What the engine answers.
    long runResult = 0;
    std::map<std::string, Results> exchangerResults;
    std::map<std::string, std::vector<double>> splitterResults;
    std::vector<std::string> splitterQueries;

    const Stream* FindStream(const std::string& label) const {
        for (const Stream& s : streams)
            if (s.label == label) return &s;
        return nullptr;
    }
    const ExchangerDeclaration* FindExchanger(const std::string& name) const {
        for (const ExchangerDeclaration& x : exchangers)
            if (x.name == name) return &x;
        return nullptr;
    }
};

class RecordingPinchEngine : public CPinchWrapper {
public:
    explicit RecordingPinchEngine(std::shared_ptr<PinchRecord> record) : m_r(std::move(record)) {}

    int CreateStream(const char* s, double ts, double tt, double load, int cold, int n) override {
        m_r->calls.push_back("CreateStream");
        m_r->streams.push_back({s, ts, tt, load, cold, n, false, 0.0, 0.0});
        return 1;
    }
    int CreateUtility(const char* s, double ts, double tt, double load, int cold, int n, double htc,
                      double cost) override {
        m_r->calls.push_back("CreateUtility");
        m_r->streams.push_back({s, ts, tt, load, cold, n, true, htc, cost});
        return 1;
    }
    int CreateSegment(const char* s, int number, double tin, double tout, double load, double m, double htc,
                      double cp) override {
        m_r->calls.push_back("CreateSegment");
        m_r->segments.push_back({s, number, tin, tout, load, m, htc, cp});
        return 1;
    }
    int CreateNode(const char* segment, const char* stream, const char* from, const char* to, double t) override {
        m_r->calls.push_back("CreateNode");
        m_r->nodes.push_back({segment, stream, from, to, t});
        return 1;
    }
    int CreateSplitMixer(const char* inlet, const char*, const char* splitter, int,
                         const std::vector<std::vector<int>>& lists, const std::vector<double>& fractions,
                         const char* mixer, int, const std::vector<int>&, const std::vector<double>&,
                         int utility) override {
        m_r->calls.push_back("CreateSplitMixer");
        m_r->splitters.push_back({"top", inlet, splitter, lists, fractions, utility, mixer});
        return 1;
    }
    int CreateIntSplitter(const char* inlet, const char* splitter, int, const std::vector<std::vector<int>>& lists,
                          const std::vector<double>& fractions, int utility) override {
        m_r->calls.push_back("CreateIntSplitter");
        m_r->splitters.push_back({"inner", inlet, splitter, lists, fractions, utility, ""});
        return 1;
    }
    int CreateIntMixer(const char* outlet, const char* mixer, int, const std::vector<int>& inlets,
                       const std::vector<double>&) override {
        m_r->calls.push_back("CreateIntMixer");
        m_r->mixers.push_back({outlet, mixer, inlets});
        return 1;
    }
    int ConnectSplittersAndMixers() override {
        m_r->calls.push_back("ConnectSplittersAndMixers");
        return 1;
    }
    int CreateExchanger(const ExchangerDeclaration& x) override {
        m_r->calls.push_back("CreateExchanger");
        m_r->exchangers.push_back(x);
        return 1;
    }
    int SetEconomicParameters(double a, double b, double c, double d) override {
        m_r->calls.push_back("SetEconomicParameters");
        m_r->economics = {a, b, c, d};
        return 1;
    }
    long RunOptimization(const char*, const char*) override {
        m_r->calls.push_back("RunOptimization");
        return m_r->runResult;
    }
    int GetExchangerResults(const char* x, double& duty, double& area, double& hi, double& ho, double& ci,
                            double& co) override {
        auto it = m_r->exchangerResults.find(x);
        if (it == m_r->exchangerResults.end()) return 0;
        duty = it->second.duty;
        area = it->second.area;
        hi = it->second.t[0];
        ho = it->second.t[1];
        ci = it->second.t[2];
        co = it->second.t[3];
        return 1;
    }
    int GetSplitterResults(const char* splitter, int, const std::vector<std::vector<int>>&,
                           std::vector<double>& fractions) override {
        m_r->splitterQueries.push_back(splitter);
        auto it = m_r->splitterResults.find(splitter);
        if (it == m_r->splitterResults.end()) return 0;
        fractions = it->second;
        return 1;
    }

private:
    std::shared_ptr<PinchRecord> m_r;
};

}  // namespace optimiser_test
