#pragma once
// The engine's model of a declared network and its solution.
//
// Variables: the duty of every exchanger (process exchangers within 0 and their maximum duty,
// utility exchangers from 0 up) and the temperature of every declared stream segment that lies
// between two units of a process stream. The segments at a stream's start and end hold their
// declared temperatures (the end one is the target), and so does every segment of a utility
// stream: a utility's flow follows its duty.
//
// Each process-stream segment carries a share of its stream's flow: 1 on the main stream, the
// branch fractions of the splitters it passes times the share of the splitter's inlet inside a
// branch. Process splitters keep their declared fractions. The heat a stream piece gives off or
// takes up between two segments is its share times the difference of the stream's heat content
// h(T), piecewise linear over the declared segments (h counts from the supply temperature in the
// stream's own direction, so it grows along every stream, hot or cold).
//
// Constraints: per exchanger the heat balance of each process side, both end differences at
// least DTMin (left out where both temperatures are held), a specified area held, an area-locked
// exchanger not above its area and a new one not above MaxNewArea; per splitter every branch at
// the inlet temperature; per mixer the flow-weighted heat contents; a positive capital cap above
// the capital of the new exchangers.
//
// Objective per year: utility cost (cost index x duty x hours x 3600) plus the capital
// recovery factor times the capital, shells x (a + b (A / shells)^c) with A = Q / (U F LMTD).
// Existing process exchangers (those not new) pay only for the cost beyond that of their own
// area (a smooth maximum with 0). F and shells are held during one solve and refreshed from the
// solved temperatures between solves.
#include "vireth/CPinchWrapper.h"
#include "vireth/IpoptSolve.h"

#include <string>
#include <unordered_map>
#include <vector>

namespace vireth {

struct SegmentDecl {
    double inletT = 0.0, outletT = 0.0, load = 0.0, massFlow = 0.0, htc = 0.0, cp = 0.0;
};

struct StreamDecl {
    std::string label;
    double supplyT = 0.0, targetT = 0.0, load = 0.0;
    bool cold = false, utility = false;
    double htc = 0.0, costIndex = 0.0;
    std::vector<SegmentDecl> segments;
};

struct NodeDecl {
    std::string label, stream, from, to;
    double temperature = 0.0;
};

struct SplitterDecl {
    std::string inlet, name;
    std::vector<std::vector<int>> branches;
    std::vector<double> fractions;
    bool utility = false;
};

struct MixerDecl {
    std::string outlet, name;
    std::vector<int> inlets;
};

// Heat content of a process stream, piecewise linear in the distance from its supply
// temperature along the stream's direction; beyond the declared range the end slopes go on.
class HeatContent {
public:
    HeatContent() = default;
    explicit HeatContent(const StreamDecl& stream);
    // h(T) and dh/dT.
    double At(double t, double* slope = nullptr) const;

private:
    double m_supply = 0.0;
    double m_sign = 1.0;                 // +1 cold, -1 hot: distance = sign (T - supply)
    std::vector<double> m_breaks;        // distances where segments end, ascending
    std::vector<double> m_slopes;        // CP of each segment
    std::vector<double> m_heat;          // h at the start of each segment
};

// Log-mean temperature difference of two end differences and its partial derivatives.
double LogMean(double a, double b, double& dA, double& dB);

class PinchModel : public SmoothProblem {
public:
    // ---- declarations ----
    std::vector<SegmentDecl> pendingSegments;
    std::vector<StreamDecl> streams;
    std::vector<NodeDecl> nodes;
    std::vector<SplitterDecl> splitters;
    std::vector<MixerDecl> mixers;
    std::vector<ExchangerDeclaration> exchangers;
    double rate = 0.0, life = 0.0, hours = 0.0, capitalCap = 0.0;

    const StreamDecl* FindStream(const std::string& label) const;
    int FindNode(const std::string& label) const;
    int FindExchanger(const std::string& name) const;
    int FindSplitter(const std::string& name) const;
    void IndexStream();
    void IndexNode();
    void IndexSplitter();
    void IndexMixer();
    void IndexExchanger();
    bool HasMixer(const std::string& name) const { return m_mixerIndex.count(name) > 0; }

    // ---- the run ----
    // 0 solved and not dearer than the start, 1 no model, 2 solver failure, 3 dearer.
    long Run();
    double StartCost() const { return m_startCost; }
    double FinalCost() const { return m_finalCost; }
    int Solves() const { return m_solves; }
    // After a successful run.
    bool ExchangerResult(int e, double& duty, double& area, double t[4]) const;
    bool SplitterResult(int s, std::vector<double>& fractions) const;

    // ---- SmoothProblem ----
    int Variables() const override { return m_variables; }
    int Constraints() const override { return static_cast<int>(m_rows.size()); }
    void Bounds(std::vector<double>& xl, std::vector<double>& xu, std::vector<double>& gl,
                std::vector<double>& gu) const override;
    void Start(std::vector<double>& x) const override { x = m_x; }
    double Objective(const double* x) const override;
    void Gradient(const double* x, double* gradient) const override;
    void ConstraintValues(const double* x, double* g) const override;
    void JacobianStructure(std::vector<int>& rows, std::vector<int>& columns) const override;
    void JacobianValues(const double* x, double* values) const override;

private:
    struct Ref {
        int column = -1;       // -1: held
        double held = 0.0;
        double Value(const double* x) const { return column >= 0 ? x[column] : held; }
    };
    struct Exchanger {
        Ref t[4];              // hot in, hot out, cold in, cold out
        int utilitySide = -1;  // 0 hot, 1 cold, -1 none
        int stream[2] = {-1, -1};
        double share[2] = {1.0, 1.0};
        double u = 1.0, f = 1.0, shells = 1.0;
        double costIndex = 0.0;
        bool existing = false;
    };
    enum class RowKind { SideBalance, Approach, Equal, Mixer, AreaLimit, CapitalCap };
    struct Row {
        RowKind kind = RowKind::Equal;
        int exchanger = -1, side = 0;
        Ref a, b;
        double constant = 0.0;
        int stream = -1;
        std::vector<std::pair<Ref, double>> pieces;  // mixer: segment and its signed share
        double lower = 0.0, upper = 0.0;
        std::vector<int> columns;                     // Jacobian structure of the row
        // Where each partial the row emits goes among its columns: a row emits the same
        // partials in the same order at every point.
        std::vector<int> slots;
    };
    using Partials = std::vector<std::pair<int, double>>;

    bool Build();
    void RefreshShells(const double* x);
    double Area(int e, const double* x, double partial[5]) const;  // d/dQ, d/dT0..T3
    double Capital(int e, double area, double& dCapital) const;
    double RowValue(const Row& row, const double* x, Partials* partials) const;
    void AddArea(int e, const double* x, double scale, Partials* partials, double& value) const;
    double Recovery() const;

    std::unordered_map<std::string, int> m_streamIndex, m_nodeIndex, m_splitterIndex, m_mixerIndex,
        m_exchangerIndex;
    std::vector<HeatContent> m_heat;   // per stream
    std::vector<double> m_share;       // per node
    std::vector<Ref> m_nodeRef;        // per node
    std::vector<Exchanger> m_x4;       // per exchanger
    std::vector<Row> m_rows;
    int m_variables = 0;
    std::vector<double> m_x, m_xl, m_xu;
    double m_startCost = 0.0, m_finalCost = 0.0;
    int m_solves = 0;
    bool m_solved = false;
};

}  // namespace vireth
