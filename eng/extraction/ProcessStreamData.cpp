// A process stream's data from its chain of case streams: supply and target temperature, mass
// flow, the raw temperature-enthalpy and property curves the simulator computed across the
// chain's heat-transfer units, and segments fitted to them as the extraction settings ask. The
// load is the simulator's own: the segments' specific heats are scaled to its heat-flow change.
#include "eng/extraction/VelmorToTarsilImport.h"

#include "eng/extraction/CaseItemAccess.h"
#include "eng/extraction/DataExtractionConfig.h"
#include "eng/model/IHeatIntegrationScenario.h"
#include "eng/model/IHeatIntegrationStream.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr double kEmpty = CPValue::Empty;
// Heat flows at one temperature: the target moves this far to the side the heat goes.
constexpr double kIsothermalNudge = 0.0001;
constexpr double kSameTemperature = 1e-8;
// Below this |dT| a stream is isothermal.
constexpr double kIsothermalSpan = 0.01;
// Raw points this close in temperature are one temperature; their enthalpy orders them.
constexpr double kRowTemperatureTie = 0.01;
constexpr double kZeroLoad = 1e-8;
constexpr double kMinPhaseFraction = 1e-5;
constexpr double kHugeProperty = 1e24;
constexpr double kFittedBranches = 10.0;
// A fit that moved the stream's ends further than this (a piece of no span widened) is no fit.
constexpr double kEndsMoved = 1e-6;
// A raw point this far past a stream's end (C) lies beyond it.
constexpr double kSpanTolerance = 0.01;
// Raw points this close (C) lie at one temperature, as the raw table's sort takes them.
constexpr double kOneRawTemperature = 0.01;

const char* const kCurveUnits[] = {"htCooler",         "htHeater",        "htCondenserPartial", "htCondenserTotal",
                                   "htReboiler",       "htCondenserThreePhase", "htReboilerThreePhase",
                                   "htHeatExchanger",  "htLNGExchanger",  "htAirCooler",        "htFiredHeater"};
const char* const kRawEnthalpy = "Raw_MassEnthalpy_DataSet";

// The heat the units along a chain give or take, by their own duties: where a heat flow at an end of
// the chain is not known (an inner stream the chain was cut at), it stands for the heat flows'
// change. False unless every unit that heats or cools the chain gives a known duty.
bool ChainUnitDuties(const StreamChain& chain, double& duties) {
    duties = 0.0;
    int units = 0;
    for (CPItem* s : chain.streams) {
        if (s == chain.Last()) break;
        for (CPItem* unit : s->RelatedNodes(CPItem::Downstream)) {
            if (!IsOneOf(unit, kCurveUnits)) continue;
            double duty = 0.0;
            if (!KnownNumber(unit, "Duty", duty) || duty == kEmpty) return false;
            duties += std::fabs(duty);
            ++units;
        }
    }
    return units > 0;
}

struct RawRow {
    std::vector<double> values;
    int temperatureColumn = 0;
    int enthalpyColumn = 0;
    double T() const { return values[static_cast<std::size_t>(temperatureColumn)]; }
    double H() const { return values[static_cast<std::size_t>(enthalpyColumn)]; }
};

// Rising temperature; temperatures within the tie count as one and go by rising enthalpy.
bool before(const RawRow& a, const RawRow& b) {
    if (std::fabs(a.T() - b.T()) <= kRowTemperatureTie) return a.H() < b.H();
    return a.T() < b.T();
}

void sortRows(std::vector<RawRow>& rows) {
    // The tie makes "before" no strict weak order, so the exact sort comes first and an
    // insertion pass settles the ties (rows are nearly in order by then: linear in practice).
    std::stable_sort(rows.begin(), rows.end(), [](const RawRow& a, const RawRow& b) { return a.T() < b.T(); });
    for (std::size_t i = 1; i < rows.size(); ++i)
        for (std::size_t j = i; j > 0 && before(rows[j], rows[j - 1]); --j) std::swap(rows[j], rows[j - 1]);
}

// The column condenser or reboiler a stream enters; null when it enters none.
CPItem* columnUnit(const CPItem* stream) {
    static const char* const kColumnUnits[] = {"htCondenserPartial", "htCondenserTotal", "htCondenserThreePhase",
                                               "htReboiler", "htReboilerThreePhase"};
    if (!stream) return nullptr;
    for (CPItem* d : stream->RelatedNodes(CPItem::Downstream))
        if (IsOneOf(d, kColumnUnits)) return d;
    return nullptr;
}

// One segment from supply to target: the inner points go, both ends stay.
void collapse(IHeatIntegrationStream& stream) {
    while (stream.GetNumberOfSegments() > 1)
        if (stream.DeleteSegment(1) != 1) break;
}

// One segment carrying only the given ends and load: the rates go first, since a rate left of an
// earlier fit would overrule the load.
void collapseTo(IHeatIntegrationStream& stream, double supply, double target, double dH) {
    collapse(stream);
    stream.SetValue("HeatCapacityFlowrate", kEmpty, 0);
    stream.SetValue("SpecificHeat", kEmpty, 0);
    stream.SetValue("Enthalpy", kEmpty, 0);
    stream.SetValue("Temperature", target, 1);
    stream.SetValue("Temperature", supply, 0);
    if (dH != kEmpty) stream.SetValue("Enthalpy", dH, 0);
}

// The one segment left of a fit whose specific heats changed sign takes the raw curve's mean
// specific heat from its first point to its last (the segment kept would carry one piece's).
void takeMeanSpecificHeat(IHeatIntegrationStream& stream) {
    const int n = stream.GetNumberOfSubvalues("Raw_MassEnthalpy_DataSet");
    double t0 = kEmpty, t1 = kEmpty, h0 = kEmpty, h1 = kEmpty;
    if (n < 2 || stream.GetValue("Raw_Temperature_DataSet", t0, 0) != 1 ||
        stream.GetValue("Raw_Temperature_DataSet", t1, n - 1) != 1 ||
        stream.GetValue("Raw_MassEnthalpy_DataSet", h0, 0) != 1 ||
        stream.GetValue("Raw_MassEnthalpy_DataSet", h1, n - 1) != 1)
        return;
    if (t0 == kEmpty || t1 == kEmpty || h0 == kEmpty || h1 == kEmpty || !(t1 - t0 > 0.0)) return;
    const double mean = (h1 - h0) / (t1 - t0);
    if (mean > 0.0) stream.SetValue("SpecificHeat", mean, 0);
}

// A fit whose specific heats change sign (a curve that falls back in its middle, or the curves of
// a tee's branches taken together) is one segment from supply to target instead, of the curve's
// mean specific heat: the extraction and its refresh fit alike.
void keepOneSignOfSpecificHeat(IHeatIntegrationStream& stream) {
    if (stream.IsSpecificHeatSignConsistent() || stream.GetNumberOfSegments() <= 1) return;
    collapse(stream);
    stream.SetValue("HeatCapacityFlowrate", kEmpty, 0);
    takeMeanSpecificHeat(stream);
    stream.UpdateSegmentPropertiesFromRawData(kRawEnthalpy);
}

// Whether every segment of the fit carries heat: a heat-capacity flow rate above zero. The curves
// of a tee's branches taken together, or of units in series whose tables each start their
// enthalpy at their own zero, can leave a piece with none (its points all at one temperature
// within the stream's span, or falling back where the next table starts).
bool everySegmentCarriesHeat(IHeatIntegrationStream& stream) {
    for (int i = 0; i < stream.GetNumberOfSegments(); ++i) {
        const double cp = stream.GetSegmentHeatCapacityFlowrate(i);
        if (!(cp > 0.0) || !std::isfinite(cp)) return false;
    }
    return true;
}

// Whether the raw curve, in the order of its temperatures, gains heat as it warms: the enthalpies
// of units' tables that share one reference do. Tables that each keep their own (a tee's branches
// with a table each, one from zero at the feed and the other not) give points that fall back as
// the temperature rises, and a fit of them is a shape no stream has. Points not known are passed
// over; a fall within rounding is none.
// Tables in series whose second starts from its own zero meet at one temperature with two
// enthalpies: a step no phase change explains (the vapour fraction the same on both sides) is a
// change of reference too.
bool rawCurveGainsHeatAsItWarms(IHeatIntegrationStream& stream) {
    const int n = std::min(stream.GetNumberOfSubvalues("Raw_MassEnthalpy_DataSet"),
                           stream.GetNumberOfSubvalues("Raw_Temperature_DataSet"));
    double lastT = kEmpty, lastH = kEmpty, lastV = kEmpty;
    for (int k = 0; k < n; ++k) {
        double t = kEmpty, h = kEmpty, v = kEmpty;
        if (stream.GetValue("Raw_Temperature_DataSet", t, k) != 1 || stream.GetValue("Raw_MassEnthalpy_DataSet", h, k) != 1 ||
            t == kEmpty || h == kEmpty)
            continue;
        if (stream.GetValue("Raw_VapourFraction_DataSet", v, k) != 1) v = kEmpty;
        if (lastH != kEmpty) {
            const double rounding = 1e-6 * (1.0 + std::fabs(lastH));
            if (h < lastH - rounding) return false;
            const bool sameTemperature = std::fabs(t - lastT) < kOneRawTemperature;
            if (sameTemperature && h > lastH + rounding && v != kEmpty && lastV != kEmpty && v == lastV) return false;
        }
        lastT = t;
        lastH = h;
        lastV = v;
    }
    return true;
}

// Whether every point of the raw curve lies within the stream's span. The branches of a tee whose
// units take a branch past the mixed stream's end (beside a bypass, or branches that end apart)
// give points beyond it: the pieces fitted within the span are then no shape of the stream's,
// and the branch units, calculated past the end on the last piece, would follow its slope far
// beyond any temperature of the plant.
bool rawCurveWithinSpan(IHeatIntegrationStream& stream, double supply, double target) {
    const double low = std::min(supply, target) - kSpanTolerance, high = std::max(supply, target) + kSpanTolerance;
    const int n = stream.GetNumberOfSubvalues("Raw_Temperature_DataSet");
    for (int k = 0; k < n; ++k) {
        double t = kEmpty;
        if (stream.GetValue("Raw_Temperature_DataSet", t, k) == 1 && t != kEmpty && (t < low || t > high)) return false;
    }
    return true;
}

// A fit that leaves a segment without heat, or moved the stream's ends (the curves of a tee's
// branches, whose points may all lie at the feed's temperature), or was made of a curve that loses
// heat as it warms, or of a tee's branches reaching past the stream's end, is one segment from
// supply to target instead, at the simulator's heat-flow change: the load is known, the shape of
// the curve is not.
// The fit may have moved the target to widen a piece of no span: the ends go back to the chain's.
void oneSegmentAtLoad(IHeatIntegrationStream& stream, double supply, double target, double dH, bool teed) {
    if (dH == kEmpty || !(dH > 0.0) || supply == kEmpty || target == kEmpty) return;
    // Sound: every segment carries heat, from the chain's supply to its target, fitted to a curve
    // that gains heat as it warms (and, across a tee, keeps within the stream's span).
    const bool ends = std::fabs(stream.GetSupplyTemperature() - supply) <= kEndsMoved &&
                      std::fabs(stream.GetTargetTemperature() - target) <= kEndsMoved;
    const bool oneSegment = stream.GetNumberOfSegments() <= 1;
    if (ends && everySegmentCarriesHeat(stream) &&
        (oneSegment || (rawCurveGainsHeatAsItWarms(stream) && (!teed || rawCurveWithinSpan(stream, supply, target)))))
        return;
    collapseTo(stream, supply, target, dH);
}
}  // namespace

std::vector<double> VelmorToTarsilImport::ReadPropertyCurve(const StreamChain& chain, const CPString& dataSet,
                                                            const CPString& propertyKey) const {
    std::vector<double> curve;
    if (dataSet.empty() || propertyKey.empty()) return curve;
    const bool direct = propertyKey == "prpTemperature" || propertyKey == "prpMassEnthalpy" ||
                        propertyKey == "prpMassVapourFraction";
    for (CPItem* s : chain.streams) {
        // The unit the chain's last stream enters lies beyond the chain (a reboiler the stream
        // feeds, say): its table of that stream is the next stream's curve.
        if (s == chain.Last()) break;
        CPItem* unit = nullptr;
        for (CPItem* d : s->RelatedNodes(CPItem::Downstream))
            if (IsOneOf(d, kCurveUnits)) {
                unit = d;
                break;
            }
        const CPValue* table = unit ? unit->GetVariable("PropertyTable") : nullptr;
        const CPValue* entry = table ? table->FindSubValue(s->_get_szName()) : nullptr;
        if (!entry) continue;
        if (direct) {
            const CPValue* values = entry->FindSubValue(propertyKey);
            if (!values || values->GetNumberOfSubValues() == 0) continue;
            const std::vector<double> v = values->GetVector();
            curve.insert(curve.end(), v.begin(), v.end());
            continue;
        }
        const CPValue* vapour = entry->FindSubValue("prpMassVapourFraction");
        if (!vapour || vapour->GetNumberOfSubValues() == 0) continue;
        const std::size_t points = vapour->GetNumberOfSubValues();
        for (std::size_t i = 0; i < points; ++i) {
            double sum = 0.0, fractions = 0.0;
            for (std::size_t k = 0; k < entry->GetNumberOfSubValues(); ++k) {
                const CPValue* phase = entry->GetSubValue(k);
                if (!phase->GetName().empty()) continue;  // phases are the indexed entries
                const CPValue* property = phase->FindSubValue(propertyKey);
                const CPValue* fraction = phase->FindSubValue("prpPhaseMassFeedFraction");
                if (!property || !fraction || i >= property->GetNumberOfSubValues() ||
                    i >= fraction->GetNumberOfSubValues())
                    continue;
                const double value = property->GetSubValue(i)->GetAsDouble();
                const double f = fraction->GetSubValue(i)->GetAsDouble();
                if (value == kEmpty || !(value < kHugeProperty) || !(f > kMinPhaseFraction) || f == kEmpty) continue;
                sum += value * f;
                fractions += f;
            }
            // No phase gives the property at this point: it is not known, never 0.
            curve.push_back(fractions > 0.0 ? sum / fractions : kEmpty);
        }
    }
    return curve;
}

void VelmorToTarsilImport::SetStreamEnds(IHeatIntegrationStream& stream, const StreamChain& chain, double& supply,
                                         double& target, double& dH) {
    CPItem* inlet = chain.First();
    CPItem* outlet = chain.Last();
    double mass = 0.0;
    supply = target = dH = kEmpty;
    if (KnownNumber(inlet, "MassFlow", mass)) stream.SetValue("MassFlow", mass, 0);
    if (StreamTemperature(inlet, supply)) stream.SetValue("Temperature", supply, 0);
    else supply = kEmpty;
    if (!StreamTemperature(outlet, target)) {
        target = kEmpty;
        return;
    }
    double hIn = 0.0, hOut = 0.0;
    bool falls = false, rises = false;
    dH = 0.0;
    if (KnownNumber(inlet, "HeatFlow", hIn) && KnownNumber(outlet, "HeatFlow", hOut)) {
        falls = hIn > hOut;
        rises = hIn < hOut;
        dH = std::fabs(hIn - hOut);
    } else if (double duties = 0.0; supply != kEmpty && ChainUnitDuties(chain, duties)) {
        falls = target < supply;
        rises = target > supply;
        dH = duties;
    }
    if (supply != kEmpty && std::fabs(supply - target) < kSameTemperature) {
        if (falls) target = supply - kIsothermalNudge;
        else if (rises) target = supply + kIsothermalNudge;
    }
    stream.SetValue("Temperature", target, 1);
}

bool VelmorToTarsilImport::WriteRawData(IHeatIntegrationStream& stream, const StreamChain& chain) {
    // The raw table: one column per data set, one row per point of the first curve. A shorter
    // curve leaves its missing points empty; a longer one is cut.
    std::vector<RawRow> rows;
    int temperatureColumn = 0, enthalpyColumn = 0;
    for (std::size_t c = 0; c < m_propertyDataSets.size(); ++c) {
        if (m_propertyDataSets[c].second == "Raw_Temperature_DataSet") temperatureColumn = static_cast<int>(c);
        if (m_propertyDataSets[c].second == kRawEnthalpy) enthalpyColumn = static_cast<int>(c);
    }
    for (std::size_t c = 0; c < m_propertyDataSets.size(); ++c) {
        const std::vector<double> curve = ReadPropertyCurve(chain, m_propertyDataSets[c].second, m_propertyDataSets[c].first);
        if (c == 0) {
            rows.resize(curve.size());
            for (RawRow& r : rows) {
                r.values.assign(m_propertyDataSets.size(), kEmpty);
                r.temperatureColumn = temperatureColumn;
                r.enthalpyColumn = enthalpyColumn;
            }
        }
        for (std::size_t k = 0; k < rows.size() && k < curve.size(); ++k) rows[k].values[c] = curve[k];
    }
    if (rows.empty()) return false;
    sortRows(rows);
    // A table written before (a refresh after the document was solved again) may hold more points
    // than this one: what lies beyond the new points is the old curve's and goes.
    for (std::size_t c = 0; c < m_propertyDataSets.size(); ++c) {
        stream.TruncateRawData(m_propertyDataSets[c].second, static_cast<int>(rows.size()));
        for (std::size_t k = 0; k < rows.size(); ++k)
            stream.SetValue(m_propertyDataSets[c].second, rows[k].values[c], static_cast<int>(k));
    }
    return true;
}

void VelmorToTarsilImport::AddProcessStreamData(const CPString& streamName, const StreamChain& chain, bool scale,
                                                double givenLoad) {
    if (chain.streams.empty() || !m_scenario) return;
    DataExtractionConfig* config = m_scenario->GetDataExtractionConfig();
    for (CPItem* s : chain.streams) s->AddVariable("PIStreamName")->Set(streamName);
    IHeatIntegrationStream* stream = nullptr;
    if (!m_scenario->GetStream(streamName, stream) || !stream) return;
    CPItem* inlet = chain.First();
    CPItem* outlet = chain.Last();

    double supply = kEmpty, target = kEmpty, dH = kEmpty;
    SetStreamEnds(*stream, chain, supply, target, dH);
    if (!WriteRawData(*stream, chain)) {
        if (dH > 0.0) stream->SetValue("Enthalpy", dH, 0);
        return;
    }

    if (!config) return;
    const double excel = config->GetSetting("TransferFromExcel");
    double tolerance = 0.9;
    if (config->GetSettingValue("SegmentTolerances", tolerance) != 1 || tolerance == kEmpty) tolerance = 0.9;
    const double noSegments = config->GetSetting("DoIUseSegments");
    const double onPhaseChange = config->GetSetting("SegmentOnPhaseChange");
    const double dT = target - supply;
    bool isothermal = false;

    if (excel == 0.0 && std::fabs(dT) >= kIsothermalSpan && noSegments == 0.0) {
        if (onPhaseChange != 0.0) {
            double vIn = -1.0, vOut = -1.0;
            if (!KnownNumber(inlet, "VapourFraction", vIn)) vIn = -1.0;
            if (!KnownNumber(outlet, "VapourFraction", vOut)) vOut = -1.0;
            if (vIn != -1.0 && vOut != -1.0 && vIn == vOut) {
                stream->UpdateSegmentPropertiesFromRawData(kRawEnthalpy);
            } else {
                stream->LinearizeRawData(kRawEnthalpy, "SpecificHeat", tolerance, 0);
            }
        } else if (stream->LinearizeRawData(kRawEnthalpy, "SpecificHeat", tolerance, 0) != 1) {
            stream->UpdateSegmentPropertiesFromRawData(kRawEnthalpy);
        } else {
            stream->SetValue("MaxSplitBranches", kFittedBranches, 0);
            keepOneSignOfSpecificHeat(*stream);
        }
    } else if (excel == 0.0) {
        if (givenLoad > 0.0) {
            stream->SetValue("HeatCapacityFlowrate", kEmpty, 0);
            stream->SetValue("Enthalpy", givenLoad, 0);
        } else {
            const int mapped = stream->UpdateSegmentPropertiesFromRawData(kRawEnthalpy);
            if ((mapped == 0 || std::fabs(stream->GetHeatLoad(0)) < kZeroLoad) && dH > 0.0) {
                stream->SetValue("HeatCapacityFlowrate", kEmpty, 0);
                stream->SetValue("Enthalpy", dH, 0);
            }
        }
        isothermal = std::fabs(dT) < kIsothermalSpan;
    } else {
        const double segmentation = config->GetSetting("ExcelSegmentation");
        if (segmentation == 0.0) stream->SetValueFromRawEnthalpy("Enthalpy", 0);
        else if (segmentation > 1.0 && chain.tees.empty()) stream->SetValueFromRawEnthalpy("Enthalpy", 1);
        else stream->LinearizeRawData(kRawEnthalpy, "HeatCapacityFlowrate", tolerance, 1);
    }

    if (excel != 0.0) return;
    // The load is the simulator's heat-flow change. A missing heat flow (dH 0) would zero every
    // specific heat: the fitted ones stay then.
    const double load = std::fabs(stream->GetHeatLoad(0));
    if (scale && dH != kEmpty && dH > 0.0 && load >= kZeroLoad) {
        const double factor = dH / load;
        for (int i = 0; i < stream->GetNumberOfSegments(); ++i) {
            double cp = kEmpty;
            if (stream->GetValue("SpecificHeat", cp, i) == 1 && cp != kEmpty)
                stream->SetValue("SpecificHeat", cp * factor, i);
        }
    }
    if (!isothermal) oneSegmentAtLoad(*stream, supply, target, dH, !chain.tees.empty());
    if (isothermal) stream->WidenIsothermalStream();
}

bool VelmorToTarsilImport::ChainValuesKnown(const StreamChain& chain, bool columnDuty, CPString* missing) const {
    if (chain.streams.empty()) return true;
    // What the stream is made of must be known before anything of it goes: both end temperatures,
    // and a load (the two heat flows, or the units' curves).
    double ends[2] = {kEmpty, kEmpty};
    for (int k = 0; k < 2; ++k) {
        const CPItem* end = k == 0 ? chain.First() : chain.Last();
        if (!KnownNumber(end, "Temperature", ends[k]) || ends[k] == kEmpty) {
            if (missing) *missing = "the temperature of " + end->_get_szName();
            return false;
        }
    }
    // An isothermal reboiler's or condenser's load is its unit's duty; any other load comes from
    // the two heat flows or from the units' curves.
    if (columnDuty && std::fabs(ends[1] - ends[0]) < kIsothermalSpan) {
        const CPItem* unit = columnUnit(chain.First());
        double duty = 0.0;
        if (!KnownNumber(unit, "Duty", duty) || duty == kEmpty) {
            if (missing) *missing = unit ? "the duty of " + unit->_get_szName() : CPString("the duty of its unit");
            return false;
        }
    } else {
        double hFirst = kEmpty, hLast = kEmpty;
        const bool heatFlows = KnownNumber(chain.First(), "HeatFlow", hFirst) && hFirst != kEmpty &&
                               KnownNumber(chain.Last(), "HeatFlow", hLast) && hLast != kEmpty;
        if (!heatFlows && ReadPropertyCurve(chain, "Raw_Temperature_DataSet", "prpTemperature").empty()) {
            if (missing) *missing = "the heat flows of " + chain.First()->_get_szName() + " and " + chain.Last()->_get_szName();
            return false;
        }
    }
    return true;
}

bool VelmorToTarsilImport::RefreshProcessStreamData(IHeatIntegrationStream& stream, const StreamChain& chain, bool scale,
                                                    bool columnDuty, CPString* missing) {
    if (chain.streams.empty()) return true;
    if (!ChainValuesKnown(chain, columnDuty, missing)) return false;
    double tolerance = 0.9;
    if (DataExtractionConfig* config = m_scenario ? m_scenario->GetDataExtractionConfig() : nullptr)
        if (config->GetSettingValue("SegmentTolerances", tolerance) != 1 || tolerance == kEmpty) tolerance = 0.9;

    // The stream starts empty: one segment, no rates, no load, no temperatures (a rate left of
    // the earlier fit would overrule the load of this one).
    collapseTo(stream, kEmpty, kEmpty, kEmpty);
    double supply = kEmpty, target = kEmpty, dH = kEmpty;
    SetStreamEnds(stream, chain, supply, target, dH);
    // Mass lost along the chain (a draw-off): the outlet's heat flow counts for the mass that
    // reaches it, scaled back to the inlet's.
    CPItem* inlet = chain.First();
    CPItem* outlet = chain.Last();
    double mIn = 0.0, mOut = 0.0, hIn = 0.0, hOut = 0.0;
    if (dH != kEmpty && !scale && KnownNumber(inlet, "MassFlow", mIn) && KnownNumber(outlet, "MassFlow", mOut) &&
        mOut > 0.0 && mIn - mOut > kZeroLoad && KnownNumber(inlet, "HeatFlow", hIn) && KnownNumber(outlet, "HeatFlow", hOut))
        dH = std::fabs(hIn - mIn / mOut * hOut);
    if (!WriteRawData(stream, chain)) {
        if (dH > 0.0) stream.SetValue("Enthalpy", dH, 0);
        return true;
    }

    const double dT = target - supply;
    const bool isothermal = std::fabs(dT) < kIsothermalSpan;
    if (!isothermal) {
        if (stream.LinearizeRawData(kRawEnthalpy, "SpecificHeat", tolerance, 0) == 1) {
            stream.SetValue("MaxSplitBranches", kFittedBranches, 0);
            keepOneSignOfSpecificHeat(stream);
        } else if (stream.UpdateSegmentPropertiesFromRawData(kRawEnthalpy) == 0 ||
                   std::fabs(stream.GetHeatLoad(0)) < kZeroLoad) {
            // As the extraction does: the curves' specific heats, scaled to the heat flows below;
            // the load alone only where the curves give none.
            if (dH > 0.0) {
                stream.SetValue("HeatCapacityFlowrate", kEmpty, 0);
                stream.SetValue("Enthalpy", dH, 0);
            }
        }
    } else if (!columnDuty) {
        stream.UpdateSegmentPropertiesFromRawData(kRawEnthalpy);
        if (dH > 0.0) stream.SetValue("Enthalpy", dH, 0);
    } else {
        CPItem* unit = columnUnit(inlet);
        double duty = 0.0;
        if (unit && KnownNumber(unit, "Duty", duty) && duty != kEmpty && duty != 0.0) {
            stream.SetValue("HeatCapacityFlowrate", kEmpty, 0);
            stream.SetValue("Enthalpy", std::fabs(duty), 0);
        }
    }
    const double load = std::fabs(stream.GetHeatLoad(0));
    if (scale && dH != kEmpty && dH > 0.0 && load >= kZeroLoad) {
        const double factor = dH / load;
        for (int i = 0; i < stream.GetNumberOfSegments(); ++i) {
            double cp = kEmpty;
            if (stream.GetValue("SpecificHeat", cp, i) == 1 && cp != kEmpty) stream.SetValue("SpecificHeat", cp * factor, i);
        }
    }
    if (!isothermal) oneSegmentAtLoad(stream, supply, target, dH, !chain.tees.empty());
    if (isothermal) stream.WidenIsothermalStream();
    return true;
}
