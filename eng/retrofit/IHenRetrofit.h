#pragma once
// The analysis of one network-pinch retrofit step on an existing network. The owner attaches a
// working copy of the base design's flowsheet, the minimum approach temperature and the design
// that receives the modification, asks for one result family and reads its results.
//
// Each family is computed at most once per object and keeps a state word: 0 not computed, 1
// computed, 2 failed. A getter marked lazy computes its family first while the family's state is
// 0; every getter of a family answers 0, null or false while the family's state is not 1.
// `SetFlowSheet` is the only reset.
#include <cstdint>
#include <vector>

#include "dunmor/CPString.h"

class FlowSheet;
class IHENDesign;
class MILPReduction;

class IHenRetrofit {
public:
    virtual ~IHenRetrofit() = default;

    // Discards every record and result, and keeps a clone of `sheet` as the working copy (which it
    // answers; null for a null sheet).
    virtual FlowSheet* SetFlowSheet(const FlowSheet* sheet) = 0;
    virtual void SetDTMin(double dtMin) = 0;
    // Keeps the design and extracts the network from the working copy; answers the extraction.
    virtual bool SetDesign(IHENDesign* design) = 0;

    // Extracts the network when that has not been done, then runs the debottleneck analysis when
    // it has not run. A failed extraction sets the bottleneck count to -1.
    virtual void RunRetrofitPinch() = 0;
    // Lazy. "DeBottlenecking HX are: " with the unit names of the bottleneck exchangers, separated
    // by ", " and closed by "."; empty while no bottleneck is known.
    virtual const char* GetBottleneckText() = 0;
    // Lazy. One text per bottleneck exchanger (its fingerprint in decimal); null when none.
    virtual const std::vector<CPString>* GetBottleneckExchangerIds() = 0;
    // Lazy.
    virtual int GetNumberOfBottleneckExchangers() = 0;
    // Whether the debottleneck analysis is done (running it first when it has not run).
    virtual bool IsRetrofitPinchDone() = 0;
    // The network freedom figure: process exchangers, heaters and coolers less the rank of the
    // stream balances.
    virtual int GetRetrofitPinchCount() const = 0;
    // The base heater utility cost of the analysis.
    virtual double GetModificationBenefit() const = 0;

    // The modification families. Run... computes the family when its state is 0 and answers
    // whether its state is 1.
    virtual bool RunNewExchangerAddition() = 0;
    virtual int GetNewExchangerHotLocation() = 0;
    virtual int GetNewExchangerResult2() = 0;
    virtual int GetNewExchangerResult3() = 0;
    virtual int GetNewExchangerColdLocation() = 0;

    virtual bool RunResequencing() = 0;
    virtual int GetResequencedExchangerId() = 0;
    virtual int GetResequenceHotLocation() const = 0;  // not lazy
    virtual int GetResequenceResult2() = 0;
    virtual int GetResequenceResult3() = 0;
    virtual int GetResequenceColdLocation() = 0;
    virtual int GetResequenceOriginResult1() const = 0;  // not lazy
    virtual int GetResequenceOriginResult2() = 0;
    virtual int GetResequenceOriginResult3() = 0;
    virtual int GetResequenceOriginResult4() = 0;

    virtual bool RunRepiping() = 0;
    virtual int GetRepipedExchangerId() = 0;
    virtual int GetRepipeHotLocation() = 0;
    virtual int GetRepipeResult2() = 0;
    virtual int GetRepipeResult3() = 0;
    virtual int GetRepipeColdLocation() = 0;
    virtual int GetRepipeOriginResult1() = 0;
    virtual int GetRepipeOriginResult2() = 0;
    virtual int GetRepipeOriginResult3() = 0;
    virtual int GetRepipeOriginResult4() = 0;

    virtual double GetNewExchangerIndicator() const = 0;
    virtual double GetResequenceIndicator() const = 0;
    virtual double GetRepipeIndicator() const = 0;

    // Utility exchanger savings: cheaper utilities for each heater and cooler.
    virtual bool CalculateUtilityExchangerSavings() = 0;
    virtual bool HasCoolerSavings() const = 0;
    virtual bool HasHeaterSavings() const = 0;
    // Whether the savings were worked out (a false CalculateUtilityExchangerSavings then says no
    // other utility serves a heater or cooler for less), or their computation failed.
    virtual bool WereUtilitySavingsComputed() const { return true; }
    virtual const std::vector<CPString>* GetHeaterAlternativeUtilityNames() = 0;
    virtual const std::vector<CPString>* GetCoolerAlternativeUtilityNames() = 0;
    virtual const std::vector<std::uint32_t>* GetHeaterExchangerIds() = 0;
    virtual const std::vector<std::uint32_t>* GetCoolerExchangerIds() = 0;
    virtual const std::vector<double>* GetHeaterSavings() = 0;
    virtual const std::vector<double>* GetCoolerSavings() = 0;

    // Counts of the extracted network.
    virtual int GetNumberOfHotUtilities() const = 0;
    virtual int GetNumberOfColdUtilities() const = 0;
    virtual int GetNumberOfCoolers() const = 0;
    virtual int GetNumberOfHeaters() const = 0;
    virtual int GetNumberOfProcessExchangers() const = 0;

    // Earlier steps of a multi-step retrofit: how many, and the id each step of a kind chose.
    virtual void SetNumberOfPreviousModifications(int count) = 0;
    // The reduction of the large modification models kept between the steps of a run, owned by
    // the caller (null: none kept); the analysis hands it to its model solves.
    virtual void SetModelReduction(MILPReduction* /*kept*/) {}
    virtual void SetNewExchangerHistory(const int ids[5]) = 0;
    virtual void SetRepipeHistory(const int ids[5]) = 0;
    virtual void SetResequenceHistory(const int ids[5]) = 0;
    virtual int GetNewExchangerHistory(int index) const = 0;
    virtual int GetRepipeHistory(int index) const = 0;
    virtual int GetResequenceHistory(int index) const = 0;

    // Duty of the new or moved exchanger, kW.
    virtual double GetModificationDuty() const = 0;
    virtual void SetModificationDuty(double duty) = 0;
    // How the last modification model was searched: empty for a model solved to optimality, else
    // its gap and time limit, and whether the search ended at the limit.
    virtual const char* GetModificationSearchNote() const { return ""; }
};
