#pragma once
// The check a design runs before the network optimiser starts: whether every exchanger is
// correctly specified and calculated, whether any is infeasible, whether utilities sit at
// exchanger ports (untied streams), whether port temperatures inside the network are specified,
// and whether at least one kind of variable is chosen. Severity 2 (fatal) means the optimiser
// cannot run; 1 is a warning.
#include "dunmor/CPString.h"
#include "eng/design/INetworkOptimiser.h"

#include <string>
#include <vector>

class IHENDesign;

class OptimiserCheck : public IOptimiserCheck {
public:
    static constexpr const char* AllOK = "OK: There are no errors/warnings.";
    static constexpr const char* Warning = "WARNING: Check if the network is correctly specified.";
    static constexpr const char* Fatal = "FATAL ERROR: The optimizer cannot run. Make the necessary corrections.";

    OptimiserCheck(IHENDesign* design, const char* name);

    void Check() override;
    void CheckTemperatureSpecs();

    int GetSeverity() const override { return m_severity; }
    bool CanRun() const override { return m_canRun; }
    const char* GetMessage() const override { return m_message.c_str(); }
    bool IsPartOK(int part) const override;
    const char* GetPartMessage(int part) const override;
    int GetNumberOfPartUnits(int part) const override;
    CNode* GetPartUnit(int part, int index) const override;
    const char* GetTemperaturePortWord(int index) const override;
    const char* GetUnitStatusText(int index) const override;

    // The text of an exchanger's calculation status (empty for a status without one).
    static const char* StatusText(int status);

private:
    const std::vector<CNode*>* PartList(int part) const;

    IHENDesign* m_design;
    CPString m_name;
    bool m_hasName = false;
    int m_severity = 0;
    bool m_canRun = true;
    CPString m_message;
    bool m_ok[PartCount] = {true, true, true, true, true};
    CPString m_messages[PartCount];
    std::vector<CNode*> m_units, m_infeasible, m_untied, m_temperatureSpecs;
    std::vector<CPString> m_portWords;
    std::vector<CNode*> m_exchangers;
};
