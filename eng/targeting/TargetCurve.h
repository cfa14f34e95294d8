#pragma once
// One target curve: a hot and a cold temperature-interval list over a set of stream segments,
// with the cumulative heat load at every boundary.
//
// Kinds: 0 shifted composite curves, 1 composite curves, 2 shifted balanced composite curves,
// 3 balanced composite curves, 4 utility composite curve. The utility composite curve is the
// heat-flow profile of the utilities as loaded, drawn against the grand composite curve of the
// energy target (its reference profile): it is lowered until it nowhere exceeds it.
#include "eng/targeting/TemperatureInterval.h"

#include <memory>
#include <span>
#include <vector>

class ILurmetBinaryFile;

class TargetCurve {
public:
    static constexpr int RecordVersion = 1;
    enum Kind : int { ShiftedComposite = 0, Composite = 1, ShiftedBalanced = 2, Balanced = 3, UtilityComposite = 4 };

    // A boundary of the utility composite curve and the list it comes from (0 hot, 1 cold).
    struct PointRef {
        TemperatureInterval* pEntry = nullptr;
        int nList = 0;
    };

    // An empty curve of kind 0 (what a recall reads into).
    TargetCurve() = default;
    TargetCurve(int kind, double hotStartLoad, double coldStartLoad, std::span<StreamSegment* const> segments);
    TargetCurve(const TargetCurve&) = delete;
    TargetCurve& operator=(const TargetCurve&) = delete;

    // Rebuilds both lists and every load over `segments`: the hot loads rise from 0.0 at the
    // lowest boundary, the cold loads from `coldStartLoad`; the utility composite curve then
    // builds its profile, which starts at the heat of its hot utilities (`hotStartLoad` is kept
    // for the callers' sake and does not move it).
    void Build(double hotStartLoad, double coldStartLoad, std::span<StreamSegment* const> segments);
    // Frees both lists and empties the point list; the curve stays.
    void ClearIntervals();

    // list 0 hot, 1 cold; coordinate 0 temperature, 1 heat load. On the utility composite curve
    // list 0 reads the merged points of both lists (the hot list when there is no such point).
    // A load just below zero (above -0.001) reads as 0.0; anything missing reads as 0.0.
    double GetPointValue(int list, int coordinate, int index) const;
    int GetNumberOfPoints(int list) const;

    int GetKind() const { return m_nKind; }
    // The grand composite curve the utility profile is fitted against (not owned).
    void SetReferenceProfile(const TIList* profile) { m_pReference = profile; }
    const TIList* GetReferenceProfile() const { return m_pReference; }
    const TIList* GetHotList() const { return m_pHot.get(); }
    const TIList* GetColdList() const { return m_pCold.get(); }
    const std::vector<PointRef>& GetPoints() const { return m_points; }
    // The hot utilities' part of the utility composite curve's merged points: how many of them,
    // from the top, reach down to the last boundary of the hot list (0 without one; 0 on other
    // curves).
    int GetNumberOfHotProfilePoints() const;
    // Whether the lists were built from segments (not recalled). The lists keep no membership
    // once their loads are laid down: which segments lie across a boundary of a built curve
    // follows from the segments' own temperatures (CoversInterval).
    bool IsBuilt() const { return m_bBuilt; }
    // Whether `segment` is drawn on `list` (0 hot, 1 cold) of this curve across its interval i
    // (between boundaries i and i + 1), as the list's membership had it when built.
    bool CoversInterval(int list, const StreamSegment& segment, int i) const;
    // Two values the curve carries in the case file (0.0 on a new curve).
    double GetCarriedValue(int i) const { return (i == 0 || i == 1) ? m_dCarried[i] : 0.0; }
    void SetCarriedValue(int i, double value) {
        if (i == 0 || i == 1) m_dCarried[i] = value;
    }

    // Record version 1: kind, the two carried values, then each list behind a presence flag.
    // A recalled curve has boundaries and loads but no membership. On failure it is unchanged.
    bool Store(ILurmetBinaryFile& file) const;
    bool Recall(ILurmetBinaryFile& file);

    static int HotMode(int kind);
    static int ColdMode(int kind);
    // Whether a segment is drawn on a curve of this kind (either side).
    static bool TakesSegment(int kind, const StreamSegment& segment);

private:
    void BuildUtilityProfile();

    const TIList* m_pReference = nullptr;
    int m_nKind = ShiftedComposite;
    double m_dCarried[2] = {0.0, 0.0};
    bool m_bBuilt = false;
    std::unique_ptr<TIList> m_pHot;
    std::unique_ptr<TIList> m_pCold;
    std::vector<PointRef> m_points;
};

void DeleteTargetCurve(TargetCurve* curve);
