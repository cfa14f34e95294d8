#pragma once
// A trend study: a design followed over N intervals. Each time point 0 .. N carries an
// operating schedule whose events say how the network differs then from the design's default
// state (exchangers foul, are taken out of service and cleaned; stream flows change).
// Calculating solves the design at every point, keeps each point's state, builds trends of the
// utility loads, the stream outlet temperatures and a profit index, and integrates the profit
// index over time. Cleanings and flow changes are edited at study level and written into the
// points' schedules whenever they change.
#include "brasko/NotificationSender.h"
#include "eng/design/HENSchedule.h"
#include "eng/design/IHENTrend.h"

#include <memory>
#include <string>
#include <utility>
#include <vector>

class CNode;
class IHENDesign;
class ILurmetBinaryFile;

// What a study event sends with its move request: the study moves the event that asks, whichever
// of its events the views have selected.
struct TrendEventMove {
    const void* event;
    int point;
};

class HENTrendCleanExchEvent : public IHENTrendCleanExchEvent, public NotificationSender {
public:
    HENTrendCleanExchEvent(const CPString& exchanger, int from, int to);
    ~HENTrendCleanExchEvent() override;
    const char* GetHeatExchangerName() const override { return m_exchanger.c_str(); }
    int GetStartingPoint() const override { return m_from; }
    int GetEndingPoint() const override { return m_to; }
    void SetStartingPoint(int point) override;
    void SetEndingPoint(int point) override;
    const char* GetName() const override { return m_name.c_str(); }
    // What the study does when it moves the cleaning.
    void SetRange(int from, int to) {
        m_from = from;
        m_to = to;
    }
    void UpdateName();
    void SetHeatExchangerName(const CPString& exchanger) {
        m_exchanger = exchanger;
        UpdateName();
    }

private:
    CPString m_exchanger, m_name;
    int m_from, m_to;
};

class HENTrendSpecialEvent : public IHENTrendSpecialEvent, public NotificationSender {
public:
    HENTrendSpecialEvent(const CPString& stream, const CPString& variable, int point, double value);
    ~HENTrendSpecialEvent() override;
    const char* GetStreamName() const override { return m_stream.c_str(); }
    int GetTimePoint() const override { return m_point; }
    double GetNewValue() const override { return m_value; }
    void SetTimePoint(int point) override;
    void SetNewValue(double value) override;
    const char* GetName() const override { return m_name.c_str(); }
    const char* GetVariable() const { return m_variable.c_str(); }
    void MoveTo(int point) { m_point = point; }
    // What the study does when it takes a new flow.
    void StoreNewValue(double value) { m_value = value; }
    void UpdateName();
    void SetStreamName(const CPString& stream) {
        m_stream = stream;
        UpdateName();
    }

private:
    CPString m_stream, m_variable, m_name;
    int m_point;
    double m_value;
};

class HENTrend : public IHENTrend, public NotificationSender {
public:
    explicit HENTrend(IHENDesign* design);
    // A study made from the design's default study: points, exchangers, fouling and times are
    // copied; the source becomes the reference study; no cleanings, flow changes or results.
    HENTrend(HENTrend& source);
    HENTrend& operator=(const HENTrend&) = delete;
    ~HENTrend() override;

    // ---- IHENTrend ----
    int SetNumberOfIntervals(int n) override;
    int GetNumberOfIntervals() const override { return m_intervals; }
    void SetReferenceTimePoint(int point) override { m_referencePoint = point; }
    int GetReferenceTimePoint() const override { return m_referencePoint; }
    int GetNumberOfHeatExchangers() const override { return static_cast<int>(m_exchangers.size()); }
    void GetHeatExchangerName(int index, CPString& out) const override;
    void AddFouledHeatExchanger(const CPString& name) override;
    void RemoveFouledHeatExchanger(const CPString& name) override;
    int GetNumberOfFouledHeatExchangers() const override { return static_cast<int>(m_fouled.size()); }
    void GetFouledHeatExchangerName(int index, CPString& out) const override;
    int GetNumberOfStreams() const override;
    const char* GetStreamName(int index) const override;
    double GetStreamMassFlow(int index) const override;
    void SetTimeAtPoint(int point, double time) override;
    double GetTimeAtPoint(int point) const override;
    void SetFouledHTC(const CPString& exchanger, int point, double value) override;
    double GetFouledHTC(const CPString& exchanger, int point) override;
    bool AllTimePointsNeedCalculation() const override;
    bool NeedsCalculation() const override;
    void Calculate() override;
    int GetNumberOfTrendSeries(const CPString& kind) const override;
    void GetTrendSeriesName(const CPString& kind, int index, CPString& out) const override;
    double GetTrendValue(const CPString& kind, int point, const CPString& series) const override;
    unsigned char GetStatus() const override { return m_status; }
    const char* GetName() const override { return m_name.c_str(); }
    void SetName(const CPString& name) override { m_name = name; }
    const char* GetTimeUnit() const override { return m_timeUnit.c_str(); }
    void SetTimeUnit(const CPString& unit) override { m_timeUnit = unit; }
    double GetCumulativeProfitIndex() const override { return m_cumulativeProfit; }
    void SetStatus(unsigned char status) override { m_status = status; }
    const char* AddCleanExchEvent(const CPString& exchanger, int from, int to) override;
    bool SelectCleanExchEvent(const CPString& name) override;
    bool DeleteSelectedEvent() override;
    int GetNumberOfCleanExchEvents() const override { return static_cast<int>(m_cleanings.size()); }
    IHENTrendCleanExchEvent* GetCleanExchEvent(int index) const override;
    const char* AddSpecialEvent(const CPString& stream, const CPString& variable, int point, double value) override;
    const char* GetFlowChangeRefusal(const CPString& stream, double value) const override;
    bool SelectSpecialEvent(const CPString& name) override;
    int GetNumberOfSpecialEvents() const override { return static_cast<int>(m_specials.size()); }
    IHENTrendSpecialEvent* GetSpecialEvent(int index) const override;

    // ---- INotificationReceiver: a cleaning asks to be moved (code 106) ----
    void NotifyChange(int code, const CPString& text, void* data) override;

    // ---- outside the interface ----
    HENOperatingSchedule* GetTimePointSchedule(int point) const;
    // Not calculated, with every figure of the last run gone (a changed plant, events or points).
    void InvalidateResults();
    IHENTrend* GetReferenceStudy() const { return m_reference; }
    // The trapezoid rule over the points: sum of (t[i+1] - t[i]) (P[i] + P[i+1]) / 2.
    static double IntegrateProfitIndex(const std::vector<double>& times, const std::vector<double>& profits);
    // The profit index of a state: sales of the process streams (price per mass times mass
    // flow) less the total utility cost.
    double ProfitIndexOf(const IHENState& state) const;
    // The design the study follows (a design read back takes over the studies it read).
    void SetDesign(IHENDesign* design) { m_design = design; }
    // A unit of the design renamed: the study's exchangers, fouled exchangers, cleanings and the
    // schedules of its points name it by its new name; a stream renamed: its flow changes, its
    // series and the points.
    void RenameTarget(const CPString& oldName, const CPString& newName, bool stream);
    // The plant under the study changed from the default state `before` to `now`: the events of
    // every point follow it, and the results are gone.
    void FollowPlant(const HENState* before, const HENState& now);
    // The study's results and its points' at one moment, given back exactly when a change of the
    // plant under it is refused (its points stay the same ones meanwhile).
    struct Kept {
        unsigned char status = 0;
        bool seriesBuilt = false;
        std::vector<std::pair<std::string, std::vector<double>>> utilitySeries, outletSeries;
        std::vector<double> profitSeries;
        double cumulativeProfit = 0.0;
        std::vector<HENSchedule::Kept> points;
    };
    Kept Keep() const;
    void GiveBack(const Kept& kept);

    // ---- case file ----
    // Version 2: name, time unit; int32 intervals and reference point; the time points'
    // schedules after their count; the selected cleaning (int32 1 and its name, or 0), the
    // cleanings after their count (each a nested record, version 2: exchanger, int32 start and
    // end); the selected flow change likewise, the flow changes after their count (each a nested
    // record, version 3: stream, variable text, name, int32 point, double mass flow); the fouled
    // exchangers' names after their count; the times of the points; status as a char; the
    // cumulative profit index (version 1 holds it negated); whether trends were built, as a
    // char. The study is built from its design first; a failed read leaves it as it was.
    static constexpr int RecordVersion = 2;
    bool Store(ILurmetBinaryFile& file) const;
    bool Recall(ILurmetBinaryFile& file);

private:
    using Series = std::vector<std::pair<std::string, std::vector<double>>>;

    void SetUpTimePoints();
    bool IsStudyExchanger(const CPString& name) const;
    std::vector<HENTrendCleanExchEvent*> CleaningsOf(const CPString& exchanger) const;
    std::vector<HENTrendSpecialEvent*> FlowChangesOf(const CPString& stream) const;
    // "WrongRangeForEvent" when (from, to) covers no point or overlaps a cleaning of the list
    // other than `moving`.
    const char* CheckRange(const std::vector<HENTrendCleanExchEvent*>& list, int from, int to,
                           const HENTrendCleanExchEvent* moving = nullptr) const;
    void WriteCleanings(std::vector<HENTrendCleanExchEvent*> list);
    void RemoveCleaningEvents(const HENTrendCleanExchEvent& cleaning);
    void WriteFlowChanges(std::vector<HENTrendSpecialEvent*> list);
    // After new time points: the cleanings and flow changes that begin at a point the study still
    // has are written into its points; the others are removed. Answers how many were removed.
    int RewriteStudyEvents();
    void MoveCleaning(HENTrendCleanExchEvent& cleaning, const CPString& which, int value);
    void DeleteSelectedCleaning();
    void DeleteSelectedFlowChange();
    void ChangeFlow(HENTrendSpecialEvent& event, double value);
    void MoveFlowChange(HENTrendSpecialEvent& event, int point);
    // Whether another flow change of the stream than `moving` starts at the point.
    bool HasFlowChangeAt(const CPString& stream, int point, const HENTrendSpecialEvent* moving) const;
    void BuildSeries();
    static const std::vector<double>* FindSeries(const Series& series, const CPString& name);

    CPString m_name;
    CPString m_timeUnit = "months";
    IHENDesign* m_design;
    int m_intervals = 12;
    int m_referencePoint = 0;
    std::vector<std::unique_ptr<HENOperatingSchedule>> m_points;
    std::vector<double> m_times;
    std::vector<std::pair<CPString, CNode*>> m_exchangers;  // area specified: may foul or be cleaned
    std::vector<CNode*> m_utilityExchangers;
    std::vector<std::pair<CPString, CNode*>> m_fouled;
    std::vector<std::unique_ptr<HENTrendCleanExchEvent>> m_cleanings;
    HENTrendCleanExchEvent* m_selectedCleaning = nullptr;
    std::vector<std::unique_ptr<HENTrendSpecialEvent>> m_specials;
    HENTrendSpecialEvent* m_selectedSpecial = nullptr;
    Series m_utilitySeries;
    Series m_outletSeries;
    std::vector<double> m_profitSeries;
    IHENTrend* m_reference = nullptr;
    unsigned char m_status = 0;
    bool m_seriesBuilt = false;
    double m_cumulativeProfit = 0.0;
};
