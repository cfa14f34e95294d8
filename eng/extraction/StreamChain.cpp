#include "eng/extraction/StreamChain.h"

#include "eng/extraction/CaseItemAccess.h"
#include "osmeri/CPItem.h"

void StreamChain::AddItem(CPItem* item) {
    if (!item) return;
    const CPString& cls = item->_get_szClassName();
    if (cls == CaseClass::MaterialStream) streams.push_back(item);
    else if (cls == CaseClass::Tee) tees.push_back(item);
    else if (cls == CaseClass::Mixer) mixers.push_back(item);
}

void StreamChain::Append(const StreamChain& other) {
    streams.insert(streams.end(), other.streams.begin(), other.streams.end());
    tees.insert(tees.end(), other.tees.begin(), other.tees.end());
    mixers.insert(mixers.end(), other.mixers.begin(), other.mixers.end());
}

bool StreamChain::LeadsToHeatTransfer() const {
    static const char* const kClasses[] = {"htCooler",     "htHeater",      "htHeatExchanger", "htLNGExchanger",
                                           "htAirCooler", "htFiredHeater", CaseClass::MaterialStream};
    for (CPItem* s : streams)
        for (CPItem* d : s->RelatedNodes(CPItem::Downstream))
            if (IsOneOf(d, kClasses)) return true;
    return false;
}
