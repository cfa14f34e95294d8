// Live steam: steam a simulation injects straight into the process (stripping steam, steam into
// a column or a mixer). The site must raise it from water, so each such feed becomes a cold
// process stream that heats water from ambient through boiling to the steam's own state, matched
// in the base design against a steam utility, with economic data of its own for that match.
//
// Water properties are IAPWS-IF97 (the engineering manager's steam functions). Molar enthalpies
// become mass enthalpies divided by 18.0; the boiling band is spread over 0.75 C above the
// boiling point so that the stream has a slope everywhere.
#include "eng/extraction/VelmorToTarsilImport.h"

#include "brasko/DefaultUtilityTypes.h"
#include "brasko/IDefaultUtilityManager.h"
#include "brasko/SteamProperties.h"
#include "eng/design/IHENDesign.h"
#include "eng/extraction/CaseItemAccess.h"
#include "eng/extraction/DataExtractionConfig.h"
#include "eng/extraction/MessageNumbers.h"
#include "eng/model/IHeatIntegrationScenario.h"
#include "eng/model/IHeatIntegrationStream.h"
#include "eng/model/IHeatIntegrationTotalSite.h"
#include "lumeth/Messages.h"
#include "pellin/CNode.h"
#include "ralvex/Case.h"

#include <cmath>
#include <unordered_set>
#include <vector>

namespace {
constexpr double kEmpty = CPValue::Empty;
constexpr double kKelvin = 273.15;
constexpr double kMolarMass = 18.0;
// Width of the boiling band above the boiling point, and how close a feed must be to its
// boiling point to count as saturated.
constexpr double kBoilingBand = 0.75;
// A boiling point this close to ambient leaves no liquid to heat.
constexpr double kNoLiquidBand = 0.5;
constexpr double kWetSteam = 0.001;
// Steam this cold has no physical meaning here.
constexpr double kColdestSteam = 20.0;
constexpr double kLiquidCoefficient = 3.75;
constexpr double kSteamCoefficient = 6.0;
constexpr const char* kEconomics = "SIMULATEDLIVESTEAMECONOMICS";
constexpr const char* kFeedBlock = "ppFeedOrProductBlock";

using Piece = VelmorToTarsilImport::LiveSteamProfile::Segment;

// The new stream's segments in order; false when a write was refused (the rest is not written).
bool writePieces(IHeatIntegrationStream& stream, const std::vector<Piece>& pieces) {
    if (pieces.empty()) return true;
    for (int n = stream.GetNumberOfSegments(); n < static_cast<int>(pieces.size()); ++n)
        if (stream.InsertSegment(0) != 1) return false;
    if (stream.SetValue("Temperature", pieces.front().from, 0) != 1) return false;
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        const int k = static_cast<int>(i);
        if (stream.SetValue("Temperature", pieces[i].to, k + 1) != 1 ||
            stream.SetValue("SpecificHeat", pieces[i].specificHeat, k) != 1 ||
            stream.SetValue("CHTCoeff", pieces[i].coefficient, k) != 1)
            return false;
    }
    return true;
}

// Water's enthalpy per unit mass, or empty.
double massEnthalpy(double temperatureC, double pressure, int phase) {
    const double h = SteamEnthalpyCalcTPi(temperatureC + kKelvin, pressure, phase);
    return h == kEmpty ? kEmpty : h / kMolarMass;
}
double massEnthalpyK(double temperatureK, double pressure, int phase) {
    const double h = SteamEnthalpyCalcTPi(temperatureK, pressure, phase);
    return h == kEmpty ? kEmpty : h / kMolarMass;
}
}  // namespace

CPItem* VelmorToTarsilImport::LiveSteamFeed(CPItem* block) const {
    CPItem* steam = FirstNeighbour(block, CPItem::Downstream);
    if (!IsClass(steam, CaseClass::MaterialStream) || !m_case) return nullptr;
    // The unit the steam goes into, logical operations (recycles and the like) passed over.
    CPItem* unit = nullptr;
    for (CPItem* d : steam->RelatedNodes(CPItem::Downstream))
        if (!m_case->GetModel().IsAncestor(d, "picLogicalOperation")) {
            unit = d;
            break;
        }
    // Steam into an exchanger or heater is a utility there, not steam the process takes up.
    if (!unit || m_case->GetModel().IsAncestor(unit, "picHeatTransferEquipment")) return nullptr;
    return steam;
}

VelmorToTarsilImport::LiveSteamProfile VelmorToTarsilImport::WorkOutLiveSteam(double ambient, double temperature,
                                                                              double pressure, double vapourFraction,
                                                                              bool subCool, bool superHeat) {
    LiveSteamProfile profile;
    profile.temperature = temperature;
    std::vector<Piece>& pieces = profile.segments;
    auto missing = [&profile] {
        profile.segments.clear();
        profile.propertiesMissing = true;
        return profile;
    };
    const double reduced = Steam67ReducedBPCalcT(pressure);
    const double tCritical = SteamCriticalProperty("Temperature");
    if (reduced == kEmpty || tCritical == kEmpty) return missing();
    const double tSat = reduced * tCritical;
    const double tSatC = tSat - kKelvin;
    profile.boilingPoint = tSatC;
    double& T = profile.temperature;

    double hAmbient = massEnthalpy(ambient, pressure, 1);
    const double hLiquid = massEnthalpyK(tSat, pressure, 1);
    const double hVapour = massEnthalpyK(tSat, pressure, 0);
    double tc = kEmpty;
    const double d = tSatC - ambient;
    if (std::fabs(d) <= kNoLiquidBand || d < 0.0) {
        // The steam condenses at or below ambient: no liquid to heat.
        hAmbient = massEnthalpy(ambient, pressure, 0);
    } else {
        const double e = tSatC - T;
        if (std::fabs(e) <= kBoilingBand && vapourFraction > kWetSteam) {
            tc = tSatC;
            T = tSatC + kBoilingBand;
        } else if (e < 0.0) {
            tc = tSatC;
        } else if (vapourFraction == 1.0) {
            tc = T - kBoilingBand;
        } else {
            tc = tSatC;
        }
    }
    const double tb = tSatC + kBoilingBand;

    if (tc == kEmpty) {
        if (!(T > ambient)) return profile;
        const double hSteam = massEnthalpy(T, pressure, 0);
        if (hSteam == kEmpty || hAmbient == kEmpty) return missing();
        pieces.push_back({ambient, T, (hSteam - hAmbient) / (T - ambient), kSteamCoefficient});
        return profile;
    }
    if (T <= tc) return profile;  // nothing to boil
    if (hLiquid == kEmpty || hVapour == kEmpty || (subCool && tc > ambient && hAmbient == kEmpty)) return missing();
    // Without room between ambient and the boiling start there is no liquid to heat.
    if (subCool && tc > ambient) pieces.push_back({ambient, tc, (hLiquid - hAmbient) / (tc - ambient), kLiquidCoefficient});
    const double cpBoil = (hVapour - hLiquid) / kBoilingBand * vapourFraction;
    if (T > tc + kBoilingBand) {
        pieces.push_back({tc, tb, cpBoil, kSteamCoefficient});
        if (superHeat && T > tb && T + kKelvin > tSat) {
            const double hSteam = massEnthalpy(T, pressure, 0);
            if (hSteam == kEmpty) return missing();
            pieces.push_back({tb, T, (hSteam - hVapour) / (T - tSatC), kSteamCoefficient});
        }
    } else {
        pieces.push_back({tc, T, cpBoil, kSteamCoefficient});
    }
    return profile;
}

void VelmorToTarsilImport::ExtractLiveSteam() {
    DataExtractionConfig* config = m_scenario ? m_scenario->GetDataExtractionConfig() : nullptr;
    if (!config || config->GetSetting("DoIExtractLiveSteam") == 0.0) return;
    const double ambient = Setting("UserSuppliedAmbientTemperature", 20.0);
    const bool subCool = Setting("UseSubCoolLiveSteam", 1.0) != 0.0;
    const bool superHeat = Setting("UseSuperHeatLiveSteam", 1.0) != 0.0;

    // One stream per steam: two feed blocks on one steam feed it once.
    std::vector<CPItem*> feeds;
    std::unordered_set<const CPItem*> listed;
    for (CPItem* item : m_extractedItems)
        if (IsClass(item, kFeedBlock))
            if (CPItem* steam = LiveSteamFeed(item); steam && listed.insert(steam).second) feeds.push_back(steam);

    for (CPItem* steam : feeds) {
        double flag = 0.0, vapourFraction = 1.0;  // without a vapour fraction the steam counts as dry
        if (!KnownNumber(steam, "IsLiveSteam", flag) || flag == 0.0) continue;
        if (KnownNumber(steam, "VapourFraction", vapourFraction) && vapourFraction == 0.0) continue;
        if (!KnownNumber(steam, "VapourFraction", vapourFraction)) vapourFraction = 1.0;
        // Steam named like a utility ("LP Steam") or a stream extracted before keeps a stream of
        // its own; its entry names the case object it was made from.
        const CPString name = FreeStreamName(steam->_get_szName());
        IHeatIntegrationStream* stream = nullptr;
        double temperature = kEmpty, pressure = kEmpty, mass = kEmpty;
        if (!KnownNumber(steam, "Temperature", temperature)) temperature = kEmpty;
        const bool havePressure = KnownNumber(steam, "Pressure", pressure);
        if ((havePressure || temperature != kEmpty) && !(temperature > kColdestSteam)) {
            // Steam at or below 20 C (or of no known temperature) is not worked out.
            ReportWarning("Live_Steam", "ExtractionLiveSteamNotExtracted",
                          FormatMessage(FindString("ExtractionLiveSteamTooCold"), {steam->_get_szName()}));
            continue;
        }
        // Colder than ambient: the site raises no such steam.
        if (havePressure && temperature < ambient) {
            ReportWarning("Live_Steam", "ExtractionLiveSteamNotExtracted",
                          FormatMessage(FindString("ExtractionLiveSteamBelowAmbient"),
                                        {steam->_get_szName(), ExtractionNumber(temperature), ExtractionNumber(ambient)}));
            continue;
        }

        m_scenario->AddStream(name, 0);
        stream = nullptr;
        if (!m_scenario->GetStream(name, stream) || !stream) continue;
        if (KnownNumber(steam, "MassFlow", mass)) stream->SetValue("MassFlow", mass, 0);
        if (havePressure) {
            const LiveSteamProfile profile =
                WorkOutLiveSteam(ambient, temperature, pressure, vapourFraction, subCool, superHeat);
            if (profile.propertiesMissing) {
                ReportWarning("Live_Steam", "ExtractionLiveSteamNotExtracted",
                              FormatMessage(FindString("ExtractionLiveSteamNoProperties"),
                                            {steam->_get_szName(), ExtractionNumber(pressure), ExtractionNumber(temperature)}));
            } else {
                writePieces(*stream, profile.segments);
                temperature = profile.temperature;
            }
        }
        ReportNewStream(steam, name, stream);
        MatchLiveSteam(name, temperature);
    }
}

void VelmorToTarsilImport::MatchLiveSteam(const CPString& name, double temperature) {
    m_scenario->AddEconomicData(kEconomics);
    m_scenario->SetEconomicData(EDT_AreaCostCoefficient, 0.0001, kEconomics);
    m_scenario->SetEconomicData(EDT_AreaExponent, 1.0, kEconomics);

    const char* recommended = nullptr;
    IDefaultUtilityManager* manager = nullptr;
    if (m_scenario->IsTotalSiteScenario()) recommended = m_scenario->GetRecommendedSiteUtilityName(temperature, SHT_Hot, nullptr);
    else if (m_scenario->GetDefaultUtilityManager(manager) == 1 && manager)
        recommended = manager->GetRecommendedUtilityName(temperature, SHT_Hot, nullptr);
    if (!recommended || !*recommended || temperature == kEmpty) {
        ReportWarning("Empty_Utility", "NoUtilForThisTemp",
                      FormatMessage(FindString("ExtractionNoUtilityForLiveSteam"),
                                    {name, temperature == kEmpty ? CPString("temperature not known")
                                                                 : ExtractionNumber(temperature) + " C"}));
        return;
    }
    const CPString utility = recommended;  // the manager's text may not outlive the edits below
    IHeatIntegrationStream* existing = nullptr;
    if (!m_scenario->GetStream(utility, existing) || !existing) {
        auto* site = m_scenario->IsTotalSiteScenario() ? dynamic_cast<IHeatIntegrationTotalSite*>(m_scenario->GetProject())
                                                       : nullptr;
        if (site) site->AddStream(utility);
        else m_scenario->AddStream(utility, 1);
    }
    m_scenario->SetMatchCostModelName(utility, name, kEconomics);

    // The exchanger goes between the last segments of the two streams: the end nodes take none.
    IHENDesign* design = GetBaseDesign();
    if (!design) return;
    CNode* utilityEnd = design->GetStreamBlock(utility, true);
    CNode* streamEnd = design->GetStreamBlock(name, true);
    CNode* utilityNode = utilityEnd ? utilityEnd->getIthUpStreamNode(0) : nullptr;
    CNode* streamNode = streamEnd ? streamEnd->getIthUpStreamNode(0) : nullptr;
    if (!utilityNode || !streamNode) return;
    // A unit of the case may hold the made name: the match takes a free one, so that the case's
    // unit is placed under its own name.
    const CPString exchangerName = FreeUnitName(name + "_HeatExchange");
    CNode* exchanger = design->AddHeatExchanger(utilityNode, streamNode, "by data extraction module", "htHeatExchanger",
                                                exchangerName.c_str());
    if (!exchanger) return;
    for (int port : {2, 3})
        if (design->CanRemoveUtilityAtPort(exchanger, port)) design->RemoveUtilityAtPort(exchanger, port);
}
