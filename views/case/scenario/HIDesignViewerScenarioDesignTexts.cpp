// The words of the scenario viewer's design-comparison and retrofit tables: column headings,
// design names, exchanger names of the selected and the base design, the two streams of a new
// exchanger, and the cells of the stream-link table.
#include "eng/design/IHENDesign.h"
#include "eng/model/IHeatIntegrationScenario.h"
#include "eng/model/IHeatIntegrationStream.h"
#include "eng/model/StreamLynx.h"
#include "eng/model/StreamLynxCollection.h"
#include "pellin/HeatExch.h"
#include "pellin/NodeKinds.h"
#include "pellin/StreamNodes.h"
#include "views/case/scenario/DesignValueHelpers.h"
#include "views/case/scenario/ScenarioTextRows.h"

using namespace scenario_values;

namespace {

using T = HIDesignViewerScenario::TextRow;
using Var = const VarDescription&;

Text orEmpty(const char* s) { return s ? Text(s) : Text(); }

// The word of row index 1 from a short list.
Text rowWord(Var var, std::initializer_list<const char*> words) {
    int i = 0;
    for (const char* w : words)
        if (i++ == var.Offset(0)) return w;
    return Text();
}

// The name of exchanger i of a design: its "UnitOperationName"; empty when it has none.
Text exchangerName(const IHENDesign* design, int i) {
    const CNode* unit = design_values::exchangerAt(design, i);
    CPString name;
    return unit && unit->getVariableAsString(NodeValue::UnitOperationName, name) ? Text(name) : Text();
}

IHENDesign* selected(V& v) { return v.GetSelectedDesign(v.GetCurrentDesign()); }

IHENDesign* baseDesign(V& v) {
    const char* name = v.GetmyScenario()->GetRetrofitBaseDesignName();
    IHENDesign* d = nullptr;
    return name && *name && v.GetmyScenario()->GetDesign(name, d) ? d : nullptr;
}

// A design name of the design list for rows below the designs and one.
Text designListName(V& v, Var var) {
    if (var.Offset(0) >= v.GetmyScenario()->GetNumberOfDesigns() + 1) return Text();
    return orEmpty(v.GetDesignName(var));
}

// The stream entering side `side` (0 hot, 1 cold) of the row's new exchanger of the selected
// design.
Text newExchangerInlet(V& v, Var var, int side) {
    IHENDesign* d = selected(v);
    const double position = v.GetNewHX(var);
    CNode* unit = nullptr;
    if (!d || position == kEmpty || !d->GetHeatExchanger(static_cast<int>(position), unit) || !unit) return Text();
    void* model = nullptr;
    if (unit->QueryInterface(NodeKind::CountercurrentHX, &model) != 1) return Text();
    auto* exchanger = dynamic_cast<HeatExch*>(static_cast<CNode*>(model));
    CNode* inlet = exchanger ? exchanger->getInlet(side) : nullptr;
    void* piece = nullptr;
    if (!inlet || inlet->QueryInterface(NodeKind::MaterialStream, &piece) != 1) return Text();
    auto* segment = dynamic_cast<StreamPiece*>(static_cast<CNode*>(piece));
    const IFlowsheetStream* stream = segment ? segment->getParentPIStream() : nullptr;
    return stream ? Text(stream->GetName()) : Text();
}

// ---- the stream-link table ----

// The link of row index 1 among the links that count for `key`; null without the link views, the
// collection or that many links.
const StreamLynx* linkOfRow(V& v, Var var, const char* key) {
    if (!v.GetLinkTableCollection()) return nullptr;
    const StreamLynxCollection* links = v.GetmyScenario()->GetStreamLinkCollection();
    const int row = var.Offset(0);
    // The position search answers 0 for a row past the links; the count keeps such a row empty
    // instead of showing the first link again.
    if (!links || row < 0 || row >= links->CountLinks(key)) return nullptr;
    return links->GetLink(links->FindNthLink(key, row));
}

Text linkedStreamName(const StreamLynx* link) {
    const IHeatIntegrationStream* s = link ? link->GetLinkedStream() : nullptr;
    return s ? Text(s->GetName()) : Text();
}

// Column j of a target's terms: the sources of the first list, then those of the second.
// `word` answers "Temperature" or "Flowrate" by the list instead of the source's name.
Text termCell(V& v, Var var, bool temperatureTarget, bool word) {
    const char* all = temperatureTarget ? "Temp_All" : "Flow_All";
    const StreamLynx* link = linkOfRow(v, var, all);
    if (!link) return Text();
    const int n = link->GetNumberOfCoefficients(all);
    const int first = link->GetNumberOfCoefficients(temperatureTarget ? "Temp_Temp" : "Flow_Temp");
    const int j = var.Offset(1);
    if (n <= 0 || j < 0 || j >= n) return Text();
    if (word) return j < first ? "Temperature" : "Flowrate";
    const auto list = j < first ? (temperatureTarget ? StreamLynx::TempTemp : StreamLynx::FlowTemp)
                                : (temperatureTarget ? StreamLynx::TempFlow : StreamLynx::FlowFlow);
    const int at = j < first ? j : j - first;
    const CPTypedList<IHeatIntegrationStream>& terms = link->GetTermList(list);
    const IHeatIntegrationStream* s = at < static_cast<int>(terms.Length()) ? terms[static_cast<std::size_t>(at)] : nullptr;
    return s ? Text(s->GetName()) : Text();
}

}  // namespace

const std::vector<HIDesignViewerScenario::TextRow>& HIDesignViewerScenario::DesignTextRows() {
    static const std::vector<T> rows = {
        {.type = 1519, .number = 301, .read = [](V&, Var var) { return rowWord(var, {"Design", "Base Case", "Target"}); },
         .dims = 1},
        {.type = 1519, .number = 607, .read = designListName, .dims = 1},
        {.type = 1519, .number = 650, .read = designListName, .dims = 1},
        {.type = 1519, .number = 608, .read = [](V&, Var var) { return rowWord(var, {"Target", "Simulation"}); }, .dims = 1},
        {.type = 1519, .number = 771, .read = [](V& v, Var var) {
             const IHENDesign* d = v.GetEngineeringDesign(var.Offset(0), 1);
             return d ? orEmpty(d->GetDesignName()) : Text();
         }, .dims = 1},
        {.type = 1519, .number = 773, .read = [](V& v, Var var) { return exchangerName(selected(v), var.Offset(0)); },
         .dims = 1},
        // The base design's exchangers, then those of the selected design that the base lacks.
        {.type = 1519, .number = 770, .read = [](V& v, Var var) {
             IHENDesign* b = baseDesign(v);
             const int i = var.Offset(0);
             if (!b) return exchangerName(selected(v), i);
             const int m = b->GetNumberOfHeatExchangers();
             return i < m ? exchangerName(b, i) : v.GetHXinDesign(b, i - m);
         }, .dims = 1},
        {.type = 1519, .number = 772, .read = [](V& v, Var var) {
             IHENDesign* b = baseDesign(v);
             return b ? v.GetHXinDesign(b, var.Offset(0)) : exchangerName(selected(v), var.Offset(0));
         }, .dims = 1},
        {.type = 1519, .number = 705, .read = [](V& v, Var var) { return newExchangerInlet(v, var, 1); }, .dims = 1},
        {.type = 1519, .number = 708, .read = [](V& v, Var var) { return newExchangerInlet(v, var, 0); }, .dims = 1},
        // ---- the stream-link table ----
        {.name = "StrName", .number = 402, .read = [](V& v, Var var) { return linkedStreamName(linkOfRow(v, var, "Temp_All")); },
         .dims = 1},
        {.name = "StrName", .number = 403, .read = [](V& v, Var var) { return termCell(v, var, true, false); }, .dims = 2},
        {.name = "StrName", .number = 404, .read = [](V& v, Var var) { return termCell(v, var, true, true); }, .dims = 2},
        {.name = "StrName", .number = 405, .read = [](V& v, Var var) {
             const StreamLynx* link = linkOfRow(v, var, "Flow_All");
             return link && link->GetNumberOfCoefficients("Flow_All") > 0 ? linkedStreamName(link) : Text();
         }, .dims = 1},
        {.name = "StrName", .number = 406, .read = [](V& v, Var var) { return termCell(v, var, false, false); }, .dims = 2},
        {.name = "StrName", .number = 407, .read = [](V& v, Var var) { return termCell(v, var, false, true); }, .dims = 2},
    };
    return rows;
}
