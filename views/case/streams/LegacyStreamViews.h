#pragma once
// Two view records that older case files hold and that nothing creates any more:
//
// - `ProcessStream`, an earlier view of one stream, linking a segment table and a plot. It reads
//   its record to its end and then goes, taking the table and the plot it links to with it.
// - `HenEngData`, the per-case data of an earlier generation of the views, listed by the old
//   case view. It keeps what it read (nothing reads it) and lives as long as its owner; the
//   segment tables it names go with it.
//
// Neither is ever written: a case stored again leaves them out.
#include "lumeth/HVector.h"
#include "lumeth/Viewable.h"

#include <cstdint>
#include <deque>
#include <memory>

class Dim2GraphControl;
class HenPlotList;
class IHENDesign;
class IHeatIntegrationScenario;
class SegmentTable;
class TwoDimPlot;
class VarEnumInfo;

class ProcessStream : public Viewable {
public:
    static constexpr const char* TypeName = "ProcessStreamObject";
    static constexpr int ClassVersion = 3;

    explicit ProcessStream(ObjectInstanceInfo& info) : Viewable(info) {}
    static Viewable* Create(ObjectInstanceInfo& info) { return new ProcessStream(info); }
    ~ProcessStream() override;
    ProcessStream(const ProcessStream&) = delete;
    ProcessStream& operator=(const ProcessStream&) = delete;

    bool StoreClassData(BinaryFile&) override { return true; }
    bool RecallClassData(BinaryFile& file, int version) override;
    bool CheckRecalledPointers() override;
    // The view goes once the whole case is read (its links are filled then).
    bool RecallFixUp() override;
    void DisconnectDeadObject(Viewable* dead) override;

private:
    IHeatIntegrationScenario* scenario = nullptr;
    Viewable* segmentTable = nullptr;
    Viewable* plot = nullptr;
    Dim2GraphControl* plotParameters = nullptr;
    Text text;
    bool flag = false;
    double values[6] = {};
    std::int32_t integers[4] = {};
    VarEnumInfo* choices = nullptr;
};

class HenEngData : public Viewable {
public:
    static constexpr const char* TypeName = "HenEngObject";

    explicit HenEngData(ObjectInstanceInfo& info);
    static Viewable* Create(ObjectInstanceInfo& info) { return new HenEngData(info); }
    ~HenEngData() override;
    HenEngData(const HenEngData&) = delete;
    HenEngData& operator=(const HenEngData&) = delete;

    bool StoreClassData(BinaryFile&) override { return false; }
    bool RecallClassData(BinaryFile& file, int version) override;
    bool CheckRecalledPointers() override;
    bool RecallFixUp() override { return true; }
    void DisconnectDeadObject(Viewable* dead) override;

    const Text& GetRecordName() const { return name; }
    std::int32_t Integer(int i) const { return i >= 0 && i < 15 ? integers[i] : 0; }
    double Number(int i) const { return i >= 0 && i < 3 ? numbers[i] : 0.0; }
    std::int32_t Flag(int i) const { return i == 0 ? flagA : i == 1 ? flagB : 0; }
    IHeatIntegrationScenario* GetScenario() const { return scenario; }
    IHENDesign* GetDesign() const { return design; }
    Viewable* GetProcessStream() const { return processStream; }
    Viewable* GetCaseView() const { return caseView; }
    const HVector<SegmentTable*>& GetSegmentTables() const { return segmentTables; }
    const HVector<Text>& GetTexts() const { return textList; }
    HenPlotList* GetPlotList() const { return plotList; }

private:
    std::int32_t flagA = 0, flagB = 0;
    IHeatIntegrationScenario* scenario = nullptr;
    IHENDesign* design = nullptr;
    HenPlotList* plotList = nullptr;
    Viewable* caseView = nullptr;
    HVector<SegmentTable*> segmentTables{10};
    Text name;
    std::int32_t integers[15] = {};
    double numbers[3] = {};
    HVector<Text> textList{10};
    Viewable* processStream = nullptr;
    // The links of the record, filled once the case is read.
    std::deque<Viewable*> recalledTables;
};
