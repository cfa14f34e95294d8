#pragma once
// Area targeting by linear programming, for scenarios with forbidden matches. A transportation
// LP over shifted-temperature intervals: a column carries heat from one hot segment in one
// interval to one cold segment in the same interval or a colder one, priced at the area one unit
// of that heat needs; every segment gives or takes exactly its load in every interval; a pair of
// streams forbidden to match gets no column. The solution's heat is then laid out along each
// interval so that every flowing column has real end temperatures, and the area (and, for
// shell-and-tube exchangers, the F-factor and shells) of each column is computed from them and
// added to the totals and to the (hot stream, cold stream) match records.
//
// The model is built at a small temporary DTmin (2 °C) so that it may route heat across any
// approach the streams allow; the real approach of a column is its shifted difference plus both
// segments' shifts.
#include "eng/targeting/LPProblem.h"
#include "eng/targeting/TemperatureInterval.h"

#include <array>
#include <memory>
#include <span>
#include <vector>

struct AreaTargetInputs;
class ILurmetBinaryFile;
class MatchwiseStreamDataList;

// End temperatures (shifted) and results of one flowing column, kept in the column's values.
namespace AreaLPColumnValue {
constexpr std::size_t HotTop = 0;
constexpr std::size_t HotBottom = 1;
constexpr std::size_t ColdTop = 2;
constexpr std::size_t ColdBottom = 3;
constexpr std::size_t Area = 4;
constexpr std::size_t Shells = 5;
constexpr std::size_t Count = 6;
}  // namespace AreaLPColumnValue

class AreaLP {
public:
    enum Option : int { CountercurrentOnly = 0, ShellAndTubeOnly = 1, Both = 2 };
    enum Kind : int { Countercurrent = 0, ShellAndTube = 1 };

    static constexpr double TemporaryDTmin = 2.0;
    // Objective of a column whose two streams are forbidden to match.
    static constexpr double ForbiddenCoefficient = 2e16;
    static constexpr double SubdivisionStep = 12.0;
    static constexpr double SubdivisionFactor = 4.0;
    // A model larger than this is not built: the results stay 0.
    static constexpr std::size_t MaxColumns = 1000000;

    // An empty result with option 1 (what a recall reads into).
    AreaLP() = default;
    AreaLP(const AreaLP&) = delete;
    AreaLP& operator=(const AreaLP&) = delete;

    // The record builder's step: code 16 or 19 answers `existing` unchanged; code 18 refreshes
    // (or first builds) the result when the utility placement is valid; any other code rebuilds it
    // (or first builds it) when the scenario has segments and a valid placement, code 4 only when
    // the utilities come from the trade-off. A new result takes `option` before it is computed.
    static AreaLP* Update(AreaLP* existing, const AreaTargetInputs& in, int changeCode, int option = ShellAndTubeOnly);

    // Everything from the segments: intervals, models, solutions and results by the option.
    void Rebuild(std::span<StreamSegment* const> segments, double dtMin, double minimumFFactor,
                 MatchwiseStreamDataList* matches);
    // The same intervals and columns with the coefficients of the segments' present film
    // coefficients (a result without a model is rebuilt from `in`).
    void Refresh(const AreaTargetInputs& in);

    // Steps.
    void SetTemporaryContributions();
    void RestoreContributions();
    void BuildIntervals();
    // False, with an empty model, when the model would exceed MaxColumns.
    bool BuildModel(int kind);
    void RefreshCoefficients(int kind);
    bool Solve();
    void Distribute(int kind, MatchwiseStreamDataList* matches);

    // T(i) - T(j) and T(i+1) - T(j+1) of the interval boundaries.
    double TopDifference(int i, int j) const;
    double BottomDifference(int i, int j) const;
    // The shift of a segment (its share of the approach) and its raw contribution value.
    static double Shift(const StreamSegment& s);
    static double RawContribution(const StreamSegment& s) { return s.DTminContribution.dValue; }

    double GetCountercurrentArea() const { return m_dCountercurrentArea; }
    double GetShellAndTubeArea() const { return m_dShellAndTubeArea; }
    double GetShells() const { return m_dShells; }
    double GetDTmin() const { return m_dDTmin; }
    double GetMinimumFFactor() const { return m_dMinimumFFactor; }
    int GetOption() const { return m_nOption; }
    void SetOption(int option) { m_nOption = option; }
    int GetIntervalCount() const { return m_nIntervalCount; }
    bool HasModel() const { return m_pModel != nullptr; }
    const LPProblem* GetModel() const { return m_pModel.get(); }
    const TIList* GetIntervals() const { return m_pIntervals.get(); }
    // The F-factor each column was priced with (1.0 unless computed for shell-and-tube).
    const std::vector<double>& GetColumnFFactors() const { return m_columnF; }

    // The values the area record keeps of the result (see AreaTarget.cpp for the layout).
    void SetStoredValues(double countercurrentArea, double shellAndTubeArea, double shells, double dtMin,
                         int intervalCount, int option, double minimumFFactor);

private:
    // Per interval: hot process, cold process, hot utility, cold utility, hot linked, cold linked.
    enum MemberList : int { HotProcess = 0, ColdProcess, HotUtility, ColdUtility, HotLinked, ColdLinked, ListCount };
    using IntervalMembers = std::array<SegmentRefs, ListCount>;

    void Compute(MatchwiseStreamDataList* matches, bool fullModel);
    void CollectMembers();
    double Coefficient(const LPMatchColumn& column, int kind, double& F, bool computeF) const;
    // A contribution in force during the computation, and what it replaced.
    struct SavedSegment {
        StreamSegment* pSegment = nullptr;
        ValueAndFlag contribution;
        double dShiftedFarEnd = 0.0;
    };

    std::unique_ptr<TIList> m_pIntervals;
    std::unique_ptr<LPProblem> m_pModel;
    SegmentRefs m_segments;
    std::vector<IntervalMembers> m_members;
    std::vector<double> m_columnF;
    std::vector<SavedSegment> m_saved;
    double m_dCountercurrentArea = 0.0;
    double m_dShellAndTubeArea = 0.0;
    double m_dShells = 0.0;
    double m_dDTmin = 0.0;
    int m_nOption = ShellAndTubeOnly;
    double m_dMinimumFFactor = 0.8;
    int m_nIntervalCount = 0;
};
