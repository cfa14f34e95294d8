#pragma once
// `HenRetrofit`: the analysis object of one retrofit step (see IHenRetrofit.h). It reads the
// network from its working flowsheet into records (NetworkExtraction.h), scales their loads once
// for the models, finds the network's bottleneck exchangers with the network-pinch model
// (NetworkPinchModel.h), and runs the modification models through `ModificationModel`.
#include "eng/retrofit/IHenRetrofit.h"
#include "eng/retrofit/RetrofitRecords.h"

#include <array>
#include <memory>
#include <string>

// Scales the loads of the process stream records and the duties of the heater and cooler records
// so that the largest load becomes ten times the largest temperature (kelvin); answers the factor
// (1.0, nothing scaled, when either is zero).
double ScaleNetworkLoads(RetrofitNetwork& network);

// The modification families.
enum class ModificationKind { NewExchanger = 0, Repiping = 1, Resequencing = 2 };

// What a modification model offers the analysis: its steps, its results in reading order (hot
// location, second and third result, cold location; then, for resequencing and repiping, the
// four origin results and the moved exchanger's id), the history entry it wrote, its solve value
// (a scaled duty) and its per-heater values.
class ModificationModel {
public:
    virtual ~ModificationModel() = default;
    // Runs the model's steps; false when its status is no longer good.
    virtual bool RunSteps() = 0;
    virtual bool IsGood() const = 0;
    virtual int Result(int index) const = 0;
    virtual int HistoryEntry(int index) const = 0;
    virtual double SolveValue() const = 0;
    virtual std::string SearchNote() const { return std::string(); }
    // One value per heater record; null when the model found nothing.
    virtual const std::vector<double>* HeaterValues() = 0;
};

class HenRetrofit : public IHenRetrofit {
public:
    static constexpr int kNotComputed = 0;
    static constexpr int kComputed = 1;
    static constexpr int kFailed = 2;
    static constexpr int kHistoryLength = 5;

    HenRetrofit();
    ~HenRetrofit() override;

    FlowSheet* SetFlowSheet(const FlowSheet* sheet) override;
    void SetDTMin(double dtMin) override { m_dtMin = dtMin; }
    bool SetDesign(IHENDesign* design) override;

    void RunRetrofitPinch() override;
    const char* GetBottleneckText() override;
    const std::vector<CPString>* GetBottleneckExchangerIds() override;
    int GetNumberOfBottleneckExchangers() override;
    bool IsRetrofitPinchDone() override;
    int GetRetrofitPinchCount() const override { return m_networkFreedom; }
    double GetModificationBenefit() const override { return m_baseHeaterCost; }

    bool RunNewExchangerAddition() override { return RunFamily(ModificationKind::NewExchanger); }
    int GetNewExchangerHotLocation() override { return LazyResult(ModificationKind::NewExchanger, 0); }
    int GetNewExchangerResult2() override { return LazyResult(ModificationKind::NewExchanger, 1); }
    int GetNewExchangerResult3() override { return LazyResult(ModificationKind::NewExchanger, 2); }
    int GetNewExchangerColdLocation() override { return LazyResult(ModificationKind::NewExchanger, 3); }

    bool RunResequencing() override { return RunFamily(ModificationKind::Resequencing); }
    int GetResequencedExchangerId() override { return LazyResult(ModificationKind::Resequencing, 8); }
    int GetResequenceHotLocation() const override { return KeptResult(ModificationKind::Resequencing, 0); }
    int GetResequenceResult2() override { return LazyResult(ModificationKind::Resequencing, 1); }
    int GetResequenceResult3() override { return LazyResult(ModificationKind::Resequencing, 2); }
    int GetResequenceColdLocation() override { return LazyResult(ModificationKind::Resequencing, 3); }
    int GetResequenceOriginResult1() const override { return KeptResult(ModificationKind::Resequencing, 4); }
    int GetResequenceOriginResult2() override { return LazyResult(ModificationKind::Resequencing, 5); }
    int GetResequenceOriginResult3() override { return LazyResult(ModificationKind::Resequencing, 6); }
    int GetResequenceOriginResult4() override { return LazyResult(ModificationKind::Resequencing, 7); }

    bool RunRepiping() override { return RunFamily(ModificationKind::Repiping); }
    int GetRepipedExchangerId() override { return LazyResult(ModificationKind::Repiping, 8); }
    int GetRepipeHotLocation() override { return LazyResult(ModificationKind::Repiping, 0); }
    int GetRepipeResult2() override { return LazyResult(ModificationKind::Repiping, 1); }
    int GetRepipeResult3() override { return LazyResult(ModificationKind::Repiping, 2); }
    int GetRepipeColdLocation() override { return LazyResult(ModificationKind::Repiping, 3); }
    int GetRepipeOriginResult1() override { return LazyResult(ModificationKind::Repiping, 4); }
    int GetRepipeOriginResult2() override { return LazyResult(ModificationKind::Repiping, 5); }
    int GetRepipeOriginResult3() override { return LazyResult(ModificationKind::Repiping, 6); }
    int GetRepipeOriginResult4() override { return LazyResult(ModificationKind::Repiping, 7); }

    double GetNewExchangerIndicator() const override { return Family(ModificationKind::NewExchanger).indicator; }
    double GetResequenceIndicator() const override { return Family(ModificationKind::Resequencing).indicator; }
    double GetRepipeIndicator() const override { return Family(ModificationKind::Repiping).indicator; }

    bool CalculateUtilityExchangerSavings() override;
    bool HasCoolerSavings() const override { return m_savingsFlag && m_coolerSavingsState == kComputed; }
    bool HasHeaterSavings() const override { return m_savingsFlag && m_heaterSavingsState == kComputed; }
    bool WereUtilitySavingsComputed() const override { return m_savingsFlag; }
    const std::vector<CPString>* GetHeaterAlternativeUtilityNames() override;
    const std::vector<CPString>* GetCoolerAlternativeUtilityNames() override;
    const std::vector<std::uint32_t>* GetHeaterExchangerIds() override;
    const std::vector<std::uint32_t>* GetCoolerExchangerIds() override;
    const std::vector<double>* GetHeaterSavings() override;
    const std::vector<double>* GetCoolerSavings() override;

    int GetNumberOfHotUtilities() const override { return static_cast<int>(m_network.hotUtilities.size()); }
    int GetNumberOfColdUtilities() const override { return static_cast<int>(m_network.coldUtilities.size()); }
    int GetNumberOfCoolers() const override { return static_cast<int>(m_network.coolers.size()); }
    int GetNumberOfHeaters() const override { return static_cast<int>(m_network.heaters.size()); }
    int GetNumberOfProcessExchangers() const override { return static_cast<int>(m_network.exchangers.size()); }

    void SetNumberOfPreviousModifications(int count) override { m_previousModifications = count; }
    void SetModelReduction(MILPReduction* kept) override { m_kept = kept; }
    void SetNewExchangerHistory(const int ids[5]) override { SetHistory(ModificationKind::NewExchanger, ids); }
    void SetRepipeHistory(const int ids[5]) override { SetHistory(ModificationKind::Repiping, ids); }
    void SetResequenceHistory(const int ids[5]) override { SetHistory(ModificationKind::Resequencing, ids); }
    int GetNewExchangerHistory(int index) const override { return History(ModificationKind::NewExchanger, index); }
    int GetRepipeHistory(int index) const override { return History(ModificationKind::Repiping, index); }
    int GetResequenceHistory(int index) const override { return History(ModificationKind::Resequencing, index); }

    double GetModificationDuty() const override { return m_modificationDuty; }
    const char* GetModificationSearchNote() const override { return m_modificationSearch.c_str(); }
    void SetModificationDuty(double duty) override { m_modificationDuty = duty; }

    // ---- the model families ----
    // Extracts the network from the working copy when that has not been done.
    bool ExtractNetwork();
    // Scales the records' loads for the models (once).
    bool PrepareModels();
    bool RunDebottleneckAnalysis();

    // ---- state, for the owner and tests ----
    int GetExtractionState() const { return m_extractionState; }
    int GetSetUpState() const { return m_setUpState; }
    int GetDebottleneckState() const { return m_debottleneckState; }
    int GetFamilyState(ModificationKind kind) const { return Family(kind).state; }
    double GetLoadScalingFactor() const { return m_loadScale; }
    const RetrofitNetwork& GetNetwork() const { return m_network; }
    const std::vector<std::uint32_t>& GetBottleneckFingerPrints() const { return m_bottleneckIds; }
    // The heater duties of the network-pinch optimum (scaled), one per heater record.
    const std::vector<double>& GetPinchHeaterDuties() const { return m_pinchHeaterDuties; }
    // The full solution of the network-pinch model, as its columns are laid out.
    const std::vector<double>& GetPinchSolution() const { return m_pinchSolution; }
    int GetPinchModelWidth() const { return m_pinchWidth; }
    int GetPinchModelIntegerColumns() const { return m_pinchIntegerColumns; }

protected:
    // The model of a modification family over the scaled records; null when the family has no
    // model.
    virtual std::unique_ptr<ModificationModel> CreateModificationModel(ModificationKind kind);

private:
    struct FamilyResults {
        int state = kNotComputed;
        std::array<int, 9> results{};
        std::array<int, kHistoryLength> history{};
        double indicator = 0.0;
    };
    struct Savings {
        std::vector<CPString> alternativeNames;
        std::vector<std::uint32_t> exchangerIds;
        std::vector<double> savings;
    };

    void Reset();
    bool RunFamily(ModificationKind kind);
    bool RunModificationModel(ModificationKind kind);
    int LazyResult(ModificationKind kind, int index);
    int KeptResult(ModificationKind kind, int index) const;
    FamilyResults& Family(ModificationKind kind) { return m_families[static_cast<std::size_t>(kind)]; }
    const FamilyResults& Family(ModificationKind kind) const { return m_families[static_cast<std::size_t>(kind)]; }
    void SetHistory(ModificationKind kind, const int ids[5]);
    int History(ModificationKind kind, int index) const;
    // The unit cost of each heater's hot utility, in heater order (0.0 for a utility not found).
    std::vector<double> HeaterUtilityUnitCosts() const;
    void EnsureSavings(int state);
    // The savings of cheaper utilities for the heaters and coolers (UtilityExchangerSavings.cpp);
    // fills the savings arrays and states. Answers whether it ran.
    bool ComputeUtilityExchangerSavings();
    // The design whose flowsheet was attached (the base design); the attached design when no
    // design of the scenario owns that flowsheet.
    IHENDesign* BaseDesign() const;

    std::unique_ptr<FlowSheet> m_sheet;
    const FlowSheet* m_baseSheet = nullptr;  // the flowsheet the working copy was cloned from
    IHENDesign* m_design = nullptr;
    CPString m_bottleneckText;
    RetrofitNetwork m_network;
    double m_dtMin = 0.0;
    double m_loadScale = 1.0;
    int m_networkFreedom = 0;
    int m_extractionState = kNotComputed;
    int m_setUpState = kNotComputed;
    double m_baseHeaterCost = 0.0;
    int m_debottleneckState = kNotComputed;
    int m_bottleneckCount = 0;
    std::vector<std::uint32_t> m_bottleneckIds;
    std::vector<CPString> m_bottleneckTexts;
    std::vector<double> m_pinchHeaterDuties;
    std::vector<double> m_pinchSolution;
    int m_pinchWidth = 0;
    int m_pinchIntegerColumns = 0;
    Savings m_heaterSavings, m_coolerSavings;
    int m_heaterSavingsState = kNotComputed;
    int m_coolerSavingsState = kNotComputed;
    bool m_savingsFlag = false;
    std::array<FamilyResults, 3> m_families{};
    int m_previousModifications = 0;
    MILPReduction* m_kept = nullptr;  // the caller's
    double m_modificationDuty = 0.0;
    std::string m_modificationSearch;
};
