// The exchanger bar chart: its plot, its bars and the variables they read.
#include "views/plots/chiHXBarPlot.h"

#include "eng/design/IHENDesign.h"
#include "eng/model/IHeatIntegrationStream.h"
#include "lumeth/PlotParameters.h"
#include "lumeth/TwoDimPlot.h"
#include "lumeth/VarEnumInfo.h"
#include "pellin/HeatExch.h"
#include "pellin/StreamNodes.h"
#include "views/design/HIDesignViewerDesign.h"

#include <cmath>

namespace {

constexpr double kEmpty = -32767.0;

struct BarKind {
    const char* key;
    const char* caption;
    int colour;
};
constexpr BarKind kBarKinds[] = {
    {"Exchanger", "Exchanger", chiHXBarPlot::ExchangerColour},
    {"Hot", "Heater", chiHXBarPlot::HeaterColour},
    {"Cold", "Cooler", chiHXBarPlot::CoolerColour},
};

IHeatIntegrationStream* streamOf(const CNode* node) {
    auto* piece = dynamic_cast<const StreamPiece*>(node);
    return piece ? dynamic_cast<IHeatIntegrationStream*>(piece->getParentPIStream()) : nullptr;
}

}  // namespace

const std::vector<chiHXBarPlot::Quantity>& chiHXBarPlot::Quantities() {
    // The key is also the name of the exchanger's value a bar shows; the description gives the
    // axis its unit (a UA value is a heat flow per degree, as a heat-capacity flow rate is).
    static const std::vector<Quantity> quantities{
        {"TotalNShells", ":Index.0", "No. of Shell"},
        {"HTArea", ":Area.0", "Area"},
        {"Duty", ":HeatFlow.0", "Duty"},
        {"UAValue", ":HeatCapacityFlow.0", "UA Value"},
    };
    return quantities;
}

chiHXBarPlot::chiHXBarPlot(const ObjectTypeInfo* type, Viewable* parent, IHENDesign* design, HIDesignViewerDesign* viewer)
    : Viewable(parent, type), m_pDesign(design), m_pViewer(viewer) {
    SetName("chiHXBarPlot");
    SetUpPlotType();
}

chiHXBarPlot::chiHXBarPlot(ObjectInstanceInfo& info) : Viewable(info.parent, info.type) {
    SetName(info.name);
    SetUpPlotType();
}

chiHXBarPlot::~chiHXBarPlot() {
    if (TwoDimPlot* plot = m_pPlot) {
        m_pPlot = nullptr;
        plot->RemoveDeathPostee(this);
        delete plot;
    }
    m_pQuantityList.reset();
    DeletePlotParameters(m_pPlotParameters);
}

void chiHXBarPlot::SetUpPlotType() {
    m_pQuantityList = std::make_unique<VarEnumInfo>();
    for (std::size_t k = 0; k < Quantities().size(); ++k)
        m_pQuantityList->AddEntry(static_cast<double>(k), Quantities()[k].caption);
}

int chiHXBarPlot::GetHXType(CNode* hotInlet, CNode* coldInlet) {
    const IHeatIntegrationStream* hot = streamOf(hotInlet);
    const IHeatIntegrationStream* cold = streamOf(coldInlet);
    if (!hot || !cold) return 255;
    if (hot->GetStreamKind() == 1) return hot->GetHotCold() == 0 ? 1 : 0;
    if (cold->GetStreamKind() == 1) return cold->GetHotCold() == 0 ? 1 : 0;
    return 255;
}

// ---- the plot ----

void chiHXBarPlot::ConstructPlot() {
    if (TwoDimPlot* old = m_pPlot) {
        m_pPlot = nullptr;
        old->RemoveDeathPostee(this);
        delete old;
    }
    m_nBars = 0;
    m_pPlot = new TwoDimPlot(this, m_pPlotParameters);
    m_pPlot->AddDeathPostee(this);
    m_pPlot->titleVisible = false;
    Axis* x = m_pPlot->GetXAxisPtr();
    Axis* y = m_pPlot->GetYAxisPtr();
    x->placement = y->placement = {90.0, 410.0};
    x->length = 500.0;
    y->length = 360.0;
    // The legend explains the three colours: one empty bar set per service.
    for (int k = 0; k < 3; ++k) {
        XYDataStruct legend;
        legend.xVariable = legend.yVariable = "Unknown.0";
        legend.label = kBarKinds[k].caption;
        legend.appearance.colour = GetCommonColour(kBarKinds[k].colour);
        if (PlottedData* set = m_pPlot->GetPlotArea().CreateBarDataSet(&legend, -1 - k)) set->SetName(legend.label);
    }
    Legend& key = m_pPlot->GetLegend();
    key.placement = {230.0, 40.0};
    key.Show();
    key.SetDirection(0);
    key.SetDirection(1);
    x->SetNumberFormat("");
    x->title = "Heat Exchanger";
    UpdatePlot();
}

int chiHXBarPlot::FilteredCount() const {
    if (m_pViewer) return m_pViewer->CountFilteredExchangers();
    return m_pDesign ? m_pDesign->GetNumberOfHeatExchangers() : 0;
}

CNode* chiHXBarPlot::ExchangerOfBar(int bar) const {
    if (!m_pDesign || bar < 0) return nullptr;
    const int index = m_pViewer ? m_pViewer->GetFilteredExchangerIndex(bar) : bar;
    CNode* unit = nullptr;
    return m_pDesign->GetHeatExchanger(index, unit) ? unit : nullptr;
}

void chiHXBarPlot::ApplyQuantityAxis() {
    if (!m_pPlot) return;
    Axis* y = m_pPlot->GetYAxisPtr();
    const bool known = m_nSelected >= 0 && m_nSelected < static_cast<int>(Quantities().size());
    y->title = known ? Quantities()[static_cast<std::size_t>(m_nSelected)].caption : "";
    // The picture says what it shows.
    m_pPlot->title = known ? y->title + " of Each Unit" : Text("Units");
    m_pPlot->titleVisible = true;
    m_pPlot->titlePlacement = {300.0, 20.0};
    VarDescription description;
    if (m_nSelected == 1) y->SetNumberFormat("%4.1f");
    else if (known && VarDescription::Parse(Quantities()[static_cast<std::size_t>(m_nSelected)].description, description))
        y->SetNumberFormat(description.DefFormat());
    y->showUnits = true;
}

void chiHXBarPlot::UpdatePlot() {
    if (!m_pPlot) return;
    TwoDimDataPlotArea& area = m_pPlot->GetPlotArea();
    for (int i = 0; i < m_nBars; ++i) area.DestroyDataSet(i);
    m_nBars = FilteredCount();
    for (int i = 0; i < m_nBars; ++i) {
        CNode* unit = ExchangerOfBar(i);
        int colour = ExchangerColour;
        if (HeatExch* hx = AsHeatExch(unit); hx && hx->getInlet(0) && hx->getInlet(1)) {
            const int type = GetHXType(hx->getInlet(0), hx->getInlet(1));
            colour = type == 1 ? HeaterColour : type == 0 ? CoolerColour : ExchangerColour;
        }
        XYDataStruct bar;
        bar.xVariable = FormattedText("ExtraData.791.%d.[]", i);
        bar.yVariable = FormattedText("ExtraData.799.%d.[]", i);
        bar.label = HIDesignViewerDesign::UnitName(unit);
        bar.appearance.colour = GetCommonColour(colour);
        bar.appearance.flag = 1;
        if (PlottedData* set = area.CreateBarDataSet(&bar, i)) {
            set->SetName(bar.label);
            set->Reset(0);
        }
    }
    ApplyQuantityAxis();
}

// ---- the variables ----

double chiHXBarPlot::BarEdge(const VarDescription& var) {
    const int bar = var.Offset(0), end = var.Offset(1);
    if (bar < 0) return kEmpty;
    if (end == 0) return bar + 0.7;
    if (end == 1) return bar + 1.3;
    return kEmpty;
}

double chiHXBarPlot::BarHeight(const VarDescription& var) {
    const int end = var.Offset(1);
    if (end != 0 && end != 1) return kEmpty;
    CNode* unit = ExchangerOfBar(var.Offset(0));
    if (!unit) return kEmpty;
    if (end == 0) return 0.0;
    if (m_nSelected < 0 || m_nSelected >= static_cast<int>(Quantities().size())) return 0.0;
    double value = 0.0;
    if (!unit->getVariableAsDouble(Quantities()[static_cast<std::size_t>(m_nSelected)].key, value) || value == kEmpty)
        return 0.0;
    return value;
}

int chiHXBarPlot::BarPoints(const VarDescription&, DimInfo& dims) {
    dims.AddDim(2);
    return 1;
}

int chiHXBarPlot::BarRows(const VarDescription&, DimInfo& dims) {
    dims.AddDim(FilteredCount());
    return 1;
}

double chiHXBarPlot::Selected(const VarDescription&) { return m_nSelected; }

int chiHXBarPlot::SetSelected(const VarDescription&, double value) {
    // Only the four quantities of the list: anything else leaves the choice as it is.
    if (!std::isfinite(value) || value < 0.0 || value >= static_cast<double>(Quantities().size())) return 0;
    m_nSelected = static_cast<std::int32_t>(value);
    UpdatePlot();
    return 1;
}

Text chiHXBarPlot::RowName(const VarDescription& var) { return HIDesignViewerDesign::UnitName(ExchangerOfBar(var.Offset(0))); }

Text chiHXBarPlot::RowNumber(const VarDescription& var) { return FormattedText("%d", var.Offset(0) + 1); }

Text chiHXBarPlot::QuantityCaption(const VarDescription&) {
    const bool known = m_nSelected >= 0 && m_nSelected < static_cast<int>(Quantities().size());
    return known ? Quantities()[static_cast<std::size_t>(m_nSelected)].caption : "";
}

const ViewForm<chiHXBarPlot>& chiHXBarPlot::Form() {
    using V = chiHXBarPlot;
    static const ViewForm<V> form{
        {{"ExtraData.791", FormHook::Value, 1519, false, 2}, &V::BarEdge, nullptr, nullptr, nullptr, &V::BarPoints},
        {{"ExtraData.799", FormHook::Value, 1519, false, 2}, &V::BarHeight, nullptr, nullptr, nullptr, &V::BarPoints},
        {{"Enum.250", FormHook::Value, 105, true, 0}, &V::Selected, &V::SetSelected},
        {{"ExtraData.713", FormHook::Text, 1519, false, 1}, nullptr, nullptr, &V::RowName, nullptr, &V::BarRows},
        {{"ExtraData.790", FormHook::Text, 1519, false, 1}, nullptr, nullptr, &V::RowNumber, nullptr, &V::BarRows},
        {{"ExtraData.798", FormHook::Text, 1519, false, 0}, nullptr, nullptr, &V::QuantityCaption},
    };
    return form;
}

void chiHXBarPlot::LoadVariables(FormDescription& form) { Form().Describe(form); }

double chiHXBarPlot::Value(const VarDescription& var) {
    double out = kEmpty;
    if (!m_pDesign) return Viewable::Value(var);
    if (Form().Value(*this, var, out)) return out;
    return var.Type() == 1519 ? Viewable::Value(var) : kEmpty;
}

int chiHXBarPlot::Specify(const VarDescription& var, double value) {
    int result = 0;
    if (!m_pDesign) return 0;
    return Form().Specify(*this, var, value, result) ? result : 0;
}

Text chiHXBarPlot::TextValue(const VarDescription& var) {
    Text out;
    if (!m_pDesign) return Viewable::TextValue(var);
    if (Form().TextValue(*this, var, out)) return out;
    return var.Type() == 1519 ? Viewable::TextValue(var) : Text();
}

int chiHXBarPlot::Message(const Text&) { return 1; }

bool chiHXBarPlot::GenMessage(MessageInfo& info) {
    if (info.code != 6) return Viewable::GenMessage(info);
    info.answer = info.name == "chiHXBarPlot" ? m_pPlot : nullptr;
    return true;
}

VarEnumInfo* chiHXBarPlot::GetEnumInfo(const VariableNameInfo& var) {
    if (var.Var().Type() == 105 && var.Var().Number() == 250) return m_pQuantityList.get();
    return Viewable::GetEnumInfo(var);
}

int chiHXBarPlot::Dimensions(const VarDescription& var, DimInfo& dims) {
    if (!m_pDesign) return Viewable::Dimensions(var, dims);
    int added = 0;
    if (var.Type() == 1519 && Form().Dimensions(*this, var, dims, added)) return added;
    return 0;
}

int chiHXBarPlot::GetEDVarType(const VarDescription& var) {
    if (var.Type() == 1519 && var.Number() == 799 && m_nSelected >= 0 &&
        m_nSelected < static_cast<int>(Quantities().size())) {
        VarDescription description;
        if (VarDescription::Parse(Quantities()[static_cast<std::size_t>(m_nSelected)].description, description))
            return description.Type();
    }
    return Viewable::GetEDVarType(var);
}

Text chiHXBarPlot::AttachedName(const Viewable* child) const {
    if (child && child->IsA(TypeName)) return "chiHXBarPlot.200.1";
    if (child && child->IsA("Dim2GraphControlObject")) return "Dim2GraphControl.200";
    return Viewable::AttachedName(child);
}

Viewable* chiHXBarPlot::AttachedObject(const VarDescription& var) {
    if (var.Flags() & VarDescription::FlagSelf) return this;
    if (!var.IsObjectLink()) return Viewable::AttachedObject(var);
    const ObjectTypeRegistry* registry = ObjectTypeRegistry::Current();
    const ObjectTypeInfo* asked = registry ? registry->Find(var.ObjectType()) : nullptr;
    Viewable* found = nullptr;
    if (asked && asked->IsA(TypeName)) found = m_pPlot;
    else if (asked && asked->IsA("Dim2GraphControlObject")) found = m_pPlotParameters;
    else return Viewable::AttachedObject(var);
    const VarDescription* next = var.GetNextLink();
    return found && next ? found->AttachedObject(*next) : found;
}

void chiHXBarPlot::DisconnectDeadObject(Viewable* dead) {
    if (dead == m_pPlot) m_pPlot = nullptr;
    Viewable::DisconnectDeadObject(dead);
}
