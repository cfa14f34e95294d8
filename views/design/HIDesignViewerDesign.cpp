#include "views/design/HIDesignViewerDesign.h"

#include "eng/design/IHENDesign.h"
#include "eng/model/IHeatIntegrationStream.h"
#include "views/grid/HENDiagram.h"

HIDesignViewerDesign::HIDesignViewerDesign(Viewable* parent, const Text& name, const ObjectTypeInfo* type)
    : Viewable(parent, type) {
    SetName(name);
}

HIDesignViewerDesign::~HIDesignViewerDesign() {
    HENDiagram* diagram = pGridDiagram;
    pGridDiagram = nullptr;
    delete diagram;
}

void HIDesignViewerDesign::SetEngineeringDesign(IHENDesign* design, bool) {
    pDesign = design;
    if (design && pGridDiagram) pGridDiagram->SetDesign(design);
}

void HIDesignViewerDesign::ReplaceGridDiagram(HENDiagram* diagram) {
    HENDiagram* old = pGridDiagram;
    pGridDiagram = diagram;
    if (old && old != diagram) {
        old->RemoveDeathPostee(this);
        delete old;
    }
    if (diagram) diagram->AddDeathPostee(this);
}

Viewable* HIDesignViewerDesign::GetEquipmentView(CNode*) { return nullptr; }

void HIDesignViewerDesign::DisconnectDeadObject(Viewable* dead) {
    if (dead == pGridDiagram) pGridDiagram = nullptr;
    Viewable::DisconnectDeadObject(dead);
}

Text HIDesignViewerDesign::NetworkOptimisationKey(int result) {
    switch (result) {
        case 0: return "NetOptNoStrmData";
        case 1: return "NetOptNoEcoData";
        case 2: return "NetOptNoDes";
        case 3: case 9: case 13: return "NetOptFail";
        case 5: return "NetOptInfeasible";
        case 6: return "NetOptDesInfes";
        case 7: return "NetOptUnbound";
        case 8: return "NetOptUndet";
        case 10: return "NetOptInvalid";
        case 11: return "NetOptMemory";
        case 12: return "NetOptLog";
        case 101: return "NetOptNoFiles";
        case 102: return "NetOptRuntime";
        case 103: return "NetOptFailSegmented";
        case 104: return "NetOptNoArea";
        default: return "NetOptOk";
    }
}

Text HIDesignViewerDesign::RetrofitKey(int result) {
    struct Row {
        int code;
        const char* key;
    };
    static constexpr Row kKeys[] = {
        {0, "RetBigProb"},        {1, "RetDesInfes"},      {4, "RetTempViolation"}, {5, "RetNewHXFail"},
        {6, "RetNewHXNotOpti"},   {7, "RetNewHXOk"},       {8, "RetNoBCDesign"},    {9, "RetNoColdUtil"},
        {11, "RetNoDes"},         {12, "RetNoEcoData"},    {13, "RetNoForScope"},   {15, "RetNoHotUtil"},
        {16, "RetNoLoop"},        {18, "RetNoPinch"},      {19, "RetNoProcHX"},     {20, "RetNoScope"},
        {21, "RetNoStrmData"},    {22, "RetNoUtilCost"},   {23, "RetNoUtilData"},   {24, "RetNoUtilOptions"},
        {25, "RetNoUtilScope"},   {26, "RetOptiFail"},     {27, "RetOptiFrzFail"},  {29, "RetRepipFail"},
        {30, "RetRepipNotOpti"},  {31, "RetRepipOk"},      {32, "RetResqFail"},     {33, "RetResqNotOpti"},
        {34, "RetResqOk"},        {35, "RetFail"},         {38, "RetTempRev"},      {39, "RetUtilOk"},
        {40, "RetUtilFail"},      {41, "RetUtilNotOpti"},  {43, "RetDesStrmUntied"},
    };
    for (const Row& row : kKeys)
        if (row.code == result) return row.key;
    return "RetOk";
}

int HIDesignViewerDesign::ExchangerGroup(int index) const {
    CNode* unit = nullptr;
    if (!pDesign || !pDesign->GetHeatExchanger(index, unit) || !unit) return 0;
    // A unit on a utility stream is a heater (hot utility) or a cooler (cold utility). Linear in
    // the utilities and their units: a list of tens of exchangers asks it once per row.
    for (int s = 0; s < pDesign->GetNumberOfStreams(); ++s) {
        IHeatIntegrationStream* stream = pDesign->GetStream(s);
        if (!stream || stream->GetStreamKind() != 1) continue;
        CNode* on = nullptr;
        for (int k = 0; pDesign->GetUnitOnStream(stream->GetName(), k, on); ++k)
            if (on == unit) return stream->GetHotCold() == 0 ? 3 : 5;
    }
    return 1;
}

bool HIDesignViewerDesign::PassesExchangerFilter(int index) const {
    const int filter = static_cast<int>(GetExchangerFilter());
    if (filter == 9) return true;
    const int group = ExchangerGroup(index);
    switch (filter) {
        case 1: case 3: case 5: return group == filter;
        case 4: return group == 1 || group == 3;
        case 6: return group == 1 || group == 5;
        case 8: return group == 3 || group == 5;
        default: return false;
    }
}

int HIDesignViewerDesign::CountFilteredExchangers() const {
    int n = 0;
    for (int i = 0; pDesign && i < pDesign->GetNumberOfHeatExchangers(); ++i) n += PassesExchangerFilter(i);
    return n;
}

int HIDesignViewerDesign::GetProcessExchangerIndex(int row) const {
    for (int i = 0, seen = 0; pDesign && i < pDesign->GetNumberOfHeatExchangers(); ++i)
        if (ExchangerGroup(i) == 1 && seen++ == row) return i;
    return -1;
}

int HIDesignViewerDesign::GetUtilityExchangerIndex(int row) const {
    for (int i = 0, seen = 0; pDesign && i < pDesign->GetNumberOfHeatExchangers(); ++i)
        if (PassesExchangerFilter(i) && seen++ == row) return i;
    return -1;
}
