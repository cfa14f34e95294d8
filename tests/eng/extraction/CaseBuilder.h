#pragma once
// Simulator cases built item by item for the import's tests: items of the main flowsheet (or a
// named one) with their numbers, links, and the property tables a heat-transfer unit carries for
// the streams it is fed.
#include "eng/extraction/StreamChain.h"
#include "osmeri/CPItem.h"
#include "osmeri/CPValue.h"
#include "ralvex/Case.h"

#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

namespace extraction_test {

struct CaseBuilder {
    Case simulatorCase{"Built"};

    CPItem* Item(const std::string& name, const std::string& cls, const char* flowsheet = "Main") {
        auto item = std::make_unique<CPItem>(name, cls);
        CPItem* raw = item.get();
        if (flowsheet) {
            raw->AddVariable("MySubFlowsheet")->Set(flowsheet);
            raw->AddVariable("VelmorFlowsheetName")->Set(flowsheet);
        }
        raw->AddVariable("VelmorName")->Set(name);
        simulatorCase.Add(std::move(item));
        return raw;
    }
    // A material stream with its temperature and, when given, molar enthalpy.
    CPItem* Stream(const std::string& name, double temperature, double molarEnthalpy = CPValue::Empty) {
        CPItem* s = Item(name, "ppMaterialStream");
        Num(s, "Temperature", temperature);
        if (molarEnthalpy != CPValue::Empty) Num(s, "MolarEnthalpy", molarEnthalpy);
        return s;
    }
    static void Num(CPItem* item, const char* name, double value) { item->AddVariable(name)->Set(value); }
    static void Link(CPItem* from, CPItem* to) { from->AddRelatedNode(to, CPItem::Downstream); }
    // from -> unit -> to, with a unit of that class made on the way.
    CPItem* Through(CPItem* from, const std::string& unitName, const std::string& cls, CPItem* to) {
        CPItem* unit = Item(unitName, cls);
        Link(from, unit);
        if (to) Link(unit, to);
        return unit;
    }
    static void List(CPValue* owner, const char* name, std::initializer_list<double> values) {
        CPValue* list = owner->AddSubValue(name);
        for (double v : values) list->AddSubValue("", v, CPValue::Specified);
    }
    // The unit's property table entry for one stream: temperatures and mass enthalpies, with
    // vapour fractions all 0.
    static CPValue* Table(CPItem* unit, const std::string& stream, std::initializer_list<double> t,
                          std::initializer_list<double> h) {
        CPValue* table = unit->AddVariable("PropertyTable");
        CPValue* entry = table->AddSubValue(stream);
        List(entry, "prpTemperature", t);
        List(entry, "prpMassEnthalpy", h);
        CPValue* vf = entry->AddSubValue("prpMassVapourFraction");
        for (std::size_t i = 0; i < t.size(); ++i) vf->AddSubValue("", 0.0, CPValue::Specified);
        return entry;
    }
    static StreamChain Chain(std::initializer_list<CPItem*> streams) {
        StreamChain c;
        for (CPItem* s : streams) c.AddItem(s);
        return c;
    }
};

inline std::vector<std::string> Names(const std::vector<CPItem*>& items) {
    std::vector<std::string> out;
    for (const CPItem* i : items) out.push_back(i->_get_szName());
    return out;
}

}  // namespace extraction_test
