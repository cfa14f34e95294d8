#pragma once
// Base of the stream test doubles: every operation of a heat-integration stream answered
// neutrally, so a double states only what the code under test reads.
#include "brasko/NotificationSender.h"
#include "eng/model/IHeatIntegrationStream.h"

class NeutralStream : public IHeatIntegrationStream, public NotificationSender {
public:
    int GetValue(const CPString&, double&, int) const override { return 0; }
    int SetValue(const CPString&, double, int) override { return 0; }
    int SetName(const CPString&) override { return 0; }
    int SetDTminContribution(double, const CPString&, int, int) override { return 0; }
    int InsertSegment(int) override { return 0; }
    int DeleteSegment(int) override { return 0; }
    int SetStreamKind(int, int) override { return 0; }
    int NotifyValueChanged(double) override { return 0; }
    int LinearizeRawData(const CPString&, const CPString&, double, unsigned char) override { return 0; }
    int UpdateSegmentPropertiesFromRawData(const CPString&) override { return 0; }
    int SetValueFromRawEnthalpy(const CPString&, int) override { return 0; }
    int GetStreamKind() const override { return 0; }
    int GetHotCold() const override { return 0; }
    int GetDTminContributionScope() const override { return 0; }
    unsigned char GetValueStatus(const CPString&, int) const override { return 0; }
    int GetStoredInt() const override { return 0; }
    int GetNumberOfSegments() const override { return 0; }
    int GetNumberOfSubvalues(const CPString&) const override { return 0; }
    bool IsLinkedTo(const CPString&) const override { return false; }
    bool AreDesignSegmentsComplete() const override { return true; }
    const StreamSegmentList* GetDesignSegments() const override { return nullptr; }
    int CopyFrom(IHeatIntegrationStream*) override { return 0; }
    int LinkStream(const CPString&) override { return 0; }
    int UnlinkStream(const CPString&) override { return 0; }
    void WidenIsothermalStream() override {}
    void SetLoadFraction(double, int) override {}
    void SetCostIndex(double) override {}
    void SetMassEmissionsCoefficient(double) override {}
    void SetUpdating(int) override {}
    int IsUpdating() const override { return 0; }
    double GetDTminContribution() const override { return 0.0; }
    double GetHeatLoadInRange(double, double, int) const override { return 0.0; }
    double GetHeatLoad(int) override { return 0.0; }
    double GetSegmentHeatCapacityFlowrate(int) const override { return 0.0; }
    double GetHeatLoadFromSupply(double) const override { return 0.0; }
    double GetTemperatureAtLoad(double) const override { return 0.0; }
    double GetSupplyTemperature() const override { return 0.0; }
    double GetTargetTemperature() const override { return 0.0; }
    double GetStoredValue() const override { return 0.0; }
    double GetCostIndex() const override { return 0.0; }
    bool EarnsCredit() const override { return false; }
    void MarkEarnsCredit() override {}
    double GetMassEmissionsCoefficient() const override { return 0.0; }
    double GetOperatingCost() const override { return 0.0; }
    double GetLoadFraction(int) const override { return 0.0; }
    double GetSegmentValueAtTemperature(double, const CPString&) const override { return 0.0; }
    int GetPointIndexAtTemperature(double) const override { return 0; }
    bool IsSpecificHeatSignConsistent() const override { return true; }
    bool IsLocked() const override { return false; }
    bool IsHeldByRetrofitBase(const char*) const override { return false; }
    void SetHeatLoad(double, int) override {}
    int FitSpecificHeatPolynomial() override { return 1; }
    int GetMeanSpecificHeat(double, double, double*, double*) const override { return 0; }
    const CPString& GetName() const override { return m_strNeutralName; }

private:
    CPString m_strNeutralName;
};
