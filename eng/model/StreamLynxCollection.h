#pragma once
// The stream links of one scenario, in the order they were made, with the user's preference for
// advanced links. The scenario owns the collection and is the only one that destroys it; the
// collection owns its links.
#include "brasko/NotificationSender.h"
#include "dunmor/CPString.h"
#include "eng/model/StreamLynx.h"
#include "tevrin/CPTypedList.h"

class IHeatIntegrationScenario;
class IHeatIntegrationStream;
class ILurmetBinaryFile;

class StreamLynxCollection : public NotificationSender, public INotificationReceiver {
public:
    static constexpr int RecordVersion = 1;
    // The change code of a scenario that is being destroyed.
    static constexpr int ScenarioDestroyed = 25;

    explicit StreamLynxCollection(IHeatIntegrationScenario* scenario);
    // Destroys every link.
    ~StreamLynxCollection() override;
    StreamLynxCollection(const StreamLynxCollection&) = delete;
    StreamLynxCollection& operator=(const StreamLynxCollection&) = delete;

    IHeatIntegrationScenario* GetScenario() const { return m_pScenario; }
    const CPTypedList<StreamLynx>& GetLinkList() const { return m_links; }
    int GetNumberOfLinks() const { return static_cast<int>(m_links.Length()); }
    // Null out of range.
    StreamLynx* GetLink(int index) const;
    // The link whose linked stream is `stream`, or null.
    StreamLynx* FindLink(const IHeatIntegrationStream* stream) const;
    // Takes the link over (null is refused).
    bool AddLink(StreamLynx* link);
    // Removes and destroys every link of `stream`; answers how many went.
    int DeleteLinksOf(const IHeatIntegrationStream* stream);
    // A stream leaving the scenario (while the scenario still holds it): its own links go, and
    // it stops being a candidate of the others.
    void DropStream(const IHeatIntegrationStream* stream);
    // A stream that joins the scenario's process streams becomes a candidate of every link.
    void AdmitStream(IHeatIntegrationStream* stream);

    // Links with at least one term of the key (StreamLynx::GetNumberOfCoefficients); for
    // "Temp_All" also the links with no term at all.
    int CountLinks(const CPString& key) const;
    // Position of the n-th (from 0) of the links CountLinks counts; 0 when there is none.
    int FindNthLink(const CPString& key, int n) const;
    // On makes every link advanced and sets its preference flag; off clears the preference
    // flags only.
    void SetAdvancedLinkPreference(int on);
    int GetAdvancedLinkPreference() const { return m_nAdvancedPreference; }

    // Change 25 from the scenario: the collection and its links let go of the scenario (its
    // owner destroys the collection).
    void NotifyChange(int code, const CPString& text, void* data) override;

    // Record version 1: the number of links and each link's record.
    bool Store(ILurmetBinaryFile& file) const;
    // Appends the links read; on a failed read the links read so far stay.
    bool Recall(ILurmetBinaryFile& file);

private:
    bool Counts(const StreamLynx& link, const CPString& key) const;

    IHeatIntegrationScenario* m_pScenario;
    CPTypedList<StreamLynx> m_links;
    int m_nAdvancedPreference = 0;
};
