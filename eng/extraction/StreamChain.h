#pragma once
// One candidate process stream of a simulator case: the material streams that, joined end to end
// through the units between them, form one scenario stream (upstream first), with the tees and
// mixers met on the way. The items belong to the case.
#include <vector>

class CPItem;

struct StreamChain {
    std::vector<CPItem*> streams;
    std::vector<CPItem*> tees;
    std::vector<CPItem*> mixers;

    std::size_t Length() const { return streams.size(); }
    CPItem* First() const { return streams.empty() ? nullptr : streams.front(); }
    CPItem* Last() const { return streams.empty() ? nullptr : streams.back(); }
    // Files a material stream, a tee or a mixer into its list; any other item is passed over.
    void AddItem(CPItem* item);
    // Appends the three lists of another chain.
    void Append(const StreamChain& other);
    // Whether some stream of the chain feeds a heat-transfer unit or another material stream.
    bool LeadsToHeatTransfer() const;
};
