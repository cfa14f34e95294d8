// The site streams of a total-site scenario. The site owns one stream per site utility; each of
// its scenarios holds a copy of its own. The copy takes the site's data (temperatures and
// segments, film coefficients and properties, approach, price) whenever the site stream changes,
// and a change of those data made in the scenario goes to the site stream and on to the other
// scenarios. What the scenario's targets and designs put into a utility (its loads, the
// temperature it is placed at, its network load) stays with the copy: each scenario keeps the
// utility loads of its own targets, whichever scenario calculated last.
#include "eng/model/Scenario.h"

#include "eng/design/IHENDesign.h"
#include "eng/model/MatchwiseStreamData.h"
#include "eng/model/StreamValueNames.h"

#include <vector>

namespace N = StreamValueNames;

namespace {
// What a site stream says of a change of its data.
constexpr int kSiteCodes[] = {37, 33, 34, 35, 4};
// A utility load given to the site stream.
constexpr int kUtilityLoadCode = 40;

bool isSiteCode(int code) {
    for (int c : kSiteCodes)
        if (c == code) return true;
    return false;
}
}  // namespace

CPIScenario::SiteStreamLink::SiteStreamLink(CPIScenario& scenario, CPIHeatIntegrationStream& copy,
                                            CPIHeatIntegrationStream& site)
    : m_scenario(scenario), m_copy(copy), m_site(site) {
    m_site.AddNotificationReceiver(this);
    for (int code : kSiteCodes) m_site.AddValidMessage(this, code);
    m_site.AddValidMessage(this, kUtilityLoadCode);
}

CPIScenario::SiteStreamLink::~SiteStreamLink() { m_site.RemoveNotificationReceiver(this); }

void CPIScenario::SiteStreamLink::NotifyChange(int code, const CPString&, void* data) {
    if (isSiteCode(code)) m_scenario.TakeSiteStreamData(m_copy, m_site);
    // A utility load typed on the site is given to the utility in every scenario, each of which
    // takes it as its own user-supplied load.
    if (code == kUtilityLoadCode && data) m_copy.NotifyValueChanged(*static_cast<double*>(data));
}

CPIHeatIntegrationStream* CPIScenario::SiteStreamOf(const CPIHeatIntegrationStream& stream) const {
    const auto found = m_siteLinks.find(&stream);
    return found == m_siteLinks.end() ? nullptr : &found->second->Site();
}

bool CPIScenario::HoldsForRetrofitBase(const IHeatIntegrationStream& stream, const char* name) const {
    for (const auto& [copy, link] : m_siteLinks)
        if (static_cast<const IHeatIntegrationStream*>(copy) == &stream) return link->Site().IsHeldByRetrofitBase(name);
    return false;
}

std::vector<CPIHeatIntegrationStream*> CPIScenario::SiteStreamCopies() const {
    std::vector<CPIHeatIntegrationStream*> copies;
    if (m_siteLinks.empty() || !m_pStreams) return copies;
    for (CPIHeatIntegrationStream* stream : *m_pStreams)
        if (m_siteLinks.count(stream)) copies.push_back(stream);
    return copies;
}

CPIHeatIntegrationStream* CPIScenario::MakeSiteStreamCopy(const CPString& name, CPIHeatIntegrationStream& site) {
    auto* copy = new CPIHeatIntegrationStream(this, name);
    copy->TakeSiteData(site);
    copy->SetStreamKind(CPIHeatIntegrationStream::KindUtility, 0);
    // A utility that takes the DTmin takes this scenario's.
    if (copy->GetDTminContributionScope() == ValueAndFlag::ScopeGlobal) copy->SetDTminContribution(m_dDTmin, "Global", 0, 0);
    m_siteLinks.emplace(copy, std::make_unique<SiteStreamLink>(*this, *copy, site));
    return copy;
}

void CPIScenario::TakeSiteStreamData(CPIHeatIntegrationStream& copy, CPIHeatIntegrationStream& site) {
    ++m_nTakingSiteData;
    copy.TakeSiteData(site);
    if (copy.GetDTminContributionScope() == ValueAndFlag::ScopeGlobal) copy.SetDTminContribution(m_dDTmin, "Global", 0, 0);
    UpdateSideLists(copy, 2);
    // The copy's segments are rebuilt from the site's data and every target follows, the
    // utility placement with its loads included.
    RemoveStreamSegments(copy);
    AddStreamSegments(copy);
    EnsureMatchwiseStreamData();
    m_pMatches->AddStream(&copy);
    MarkUtilitySegmentsForUpdate();
    m_pLastChangeSource = &copy;
    UpdateTargets(&copy, 41);
    if (m_pDesigns) {
        std::vector<IHENDesign*> designs(m_pDesigns->begin(), m_pDesigns->end());
        for (IHENDesign* design : designs) design->UpdateOperationForStreamChange(&copy);
    }
    --m_nTakingSiteData;
}

void CPIScenario::PassChangeToSite(int code, const CPString& text, void* data) {
    if (m_siteLinks.empty() || m_nTakingSiteData > 0 || !isSiteCode(code)) return;
    if (code == 4) {
        // A new price names no stream: the copy whose price is no longer its site stream's has it.
        std::vector<CPIHeatIntegrationStream*> changed;
        for (CPIHeatIntegrationStream* copy : SiteStreamCopies())
            if (copy->GetCostIndex() != SiteStreamOf(*copy)->GetCostIndex()) changed.push_back(copy);
        for (CPIHeatIntegrationStream* copy : changed) GiveSiteStreamData(*copy, code, text);
        return;
    }
    if (!data) return;
    auto* stream = dynamic_cast<CPIHeatIntegrationStream*>(static_cast<IHeatIntegrationStream*>(data));
    if (stream && SiteStreamOf(*stream)) GiveSiteStreamData(*stream, code, text);
}

void CPIScenario::GiveSiteStreamData(CPIHeatIntegrationStream& copy, int code, const CPString& text) {
    const auto found = m_siteLinks.find(&copy);
    if (found == m_siteLinks.end()) return;
    SiteStreamLink* link = found->second.get();
    CPIHeatIntegrationStream& site = link->Site();
    site.TakeSiteData(copy);
    // This scenario has the change already; the site's views and the other scenarios hear it
    // from the site stream.
    site.HoldNotificationForReceiver(link, true);
    site.SendAMessage(code, text, code == 4 ? nullptr : static_cast<IHeatIntegrationStream*>(&site));
    // A receiver may have let go of the copy meanwhile: the link is looked up again.
    const auto still = m_siteLinks.find(&copy);
    if (still != m_siteLinks.end() && still->second.get() == link) site.HoldNotificationForReceiver(link, false);
}

int CPIScenario::RenameSiteStream(const CPString& oldName, const CPString& newName) {
    CPIHeatIntegrationStream* stream = StreamByName(oldName);
    if (!stream || !SiteStreamOf(*stream) || StreamByName(newName)) return 0;
    const CPString previous = oldName;  // the caller's text may be the stream's own name
    stream->SetName(newName);
    RenameHeldStream(*stream, previous, newName);
    return 1;
}

int CPIScenario::DropSiteStream(const CPString& name) {
    CPIHeatIntegrationStream* stream = StreamByName(name);
    if (!stream || !SiteStreamOf(*stream)) return 0;
    ++m_nDroppingSiteStream;
    const int result = DeleteStream(name);
    --m_nDroppingSiteStream;
    return result;
}
