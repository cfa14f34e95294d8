#pragma once
// A trend study as the design views see it: a design followed over N intervals (time points
// 0 .. N), each point a schedule of what-if events; calculated point by point into trends of
// utility loads, stream outlet temperatures and a profit index. Its study-level events take an
// exchanger out of service for a range of points (cleaning) or set a stream's mass flow from a
// point on (flow change).
#include "brasko/NotificationSender.h"
#include "dunmor/CPString.h"

class IHENTrendCleanExchEvent : public virtual INotificationSender {
public:
    static constexpr int CodeDestroyed = 105;
    static constexpr int CodeMoveRequest = 106;
    ~IHENTrendCleanExchEvent() override = default;
    virtual const char* GetHeatExchangerName() const = 0;
    virtual int GetStartingPoint() const = 0;
    virtual int GetEndingPoint() const = 0;
    // Ask the study to move the cleaning (code 106 with "StartingPoint" / "EndingPoint").
    virtual void SetStartingPoint(int point) = 0;
    virtual void SetEndingPoint(int point) = 0;
    virtual const char* GetName() const = 0;
};

class IHENTrendSpecialEvent : public virtual INotificationSender {
public:
    static constexpr int CodeDestroyed = 109;
    static constexpr int CodeMoveRequest = 110;
    ~IHENTrendSpecialEvent() override = default;
    virtual const char* GetStreamName() const = 0;
    virtual int GetTimePoint() const = 0;
    virtual double GetNewValue() const = 0;
    // Ask the study to move the selected flow change (code 110 with "StartingPoint").
    virtual void SetTimePoint(int point) = 0;
    // A new mass flow from the event's point on: the study writes it into the events of its
    // time points (code 110 with "NewValue").
    virtual void SetNewValue(double value) = 0;
    virtual const char* GetName() const = 0;
};

class IHENTrend : public virtual INotificationSender, public virtual INotificationReceiver {
public:
    static constexpr int CodeCleaningAdded = 104;
    static constexpr int CodeCleaningMoved = 107;
    static constexpr int CodeFlowChangeAdded = 108;
    static constexpr int CodeDestroyed = 102;

    // The most time intervals a study runs over: every point holds a schedule with a whole
    // operating state, and each is one calculation of the network.
    static constexpr int MaxIntervals = 2000;

    ~IHENTrend() override = default;
    // Answers the number of cleanings and flow changes removed because they began after the new
    // last point (the others are written into the new points); -1, and nothing changed, for a
    // number below 0 or above MaxIntervals.
    virtual int SetNumberOfIntervals(int n) = 0;
    virtual int GetNumberOfIntervals() const = 0;
    virtual void SetReferenceTimePoint(int point) = 0;
    virtual int GetReferenceTimePoint() const = 0;
    virtual int GetNumberOfHeatExchangers() const = 0;
    virtual void GetHeatExchangerName(int index, CPString& out) const = 0;
    virtual void AddFouledHeatExchanger(const CPString& name) = 0;
    virtual void RemoveFouledHeatExchanger(const CPString& name) = 0;
    virtual int GetNumberOfFouledHeatExchangers() const = 0;
    virtual void GetFouledHeatExchangerName(int index, CPString& out) const = 0;
    virtual int GetNumberOfStreams() const = 0;
    virtual const char* GetStreamName(int index) const = 0;
    virtual double GetStreamMassFlow(int index) const = 0;
    virtual void SetTimeAtPoint(int point, double time) = 0;
    virtual double GetTimeAtPoint(int point) const = 0;
    virtual void SetFouledHTC(const CPString& exchanger, int point, double value) = 0;
    virtual double GetFouledHTC(const CPString& exchanger, int point) = 0;
    virtual bool AllTimePointsNeedCalculation() const = 0;
    virtual bool NeedsCalculation() const = 0;
    virtual void Calculate() = 0;
    virtual int GetNumberOfTrendSeries(const CPString& kind) const = 0;
    virtual void GetTrendSeriesName(const CPString& kind, int index, CPString& out) const = 0;
    virtual double GetTrendValue(const CPString& kind, int point, const CPString& series) const = 0;
    virtual unsigned char GetStatus() const = 0;
    virtual const char* GetName() const = 0;
    virtual void SetName(const CPString& name) = 0;
    virtual const char* GetTimeUnit() const = 0;
    virtual void SetTimeUnit(const CPString& unit) = 0;
    virtual double GetCumulativeProfitIndex() const = 0;
    virtual void SetStatus(unsigned char status) = 0;
    // Null when added, else "WrongRangeForEvent".
    virtual const char* AddCleanExchEvent(const CPString& exchanger, int from, int to) = 0;
    virtual bool SelectCleanExchEvent(const CPString& name) = 0;
    virtual bool DeleteSelectedEvent() = 0;
    virtual int GetNumberOfCleanExchEvents() const = 0;
    virtual IHENTrendCleanExchEvent* GetCleanExchEvent(int index) const = 0;
    // Null when added, else the message key that refuses the mass flow (one at or below 0, or
    // past what a case holds); nothing changes then.
    virtual const char* AddSpecialEvent(const CPString& stream, const CPString& variable, int point, double value) = 0;
    // The message key that refuses `value` as the stream's mass flow in a flow change (as any
    // event's flow on it is refused: at or below 0, or leaving a segment no case holds); null
    // when the stream can run at it.
    virtual const char* GetFlowChangeRefusal(const CPString& stream, double value) const = 0;
    virtual bool SelectSpecialEvent(const CPString& name) = 0;
    virtual int GetNumberOfSpecialEvents() const = 0;
    virtual IHENTrendSpecialEvent* GetSpecialEvent(int index) const = 0;
};
