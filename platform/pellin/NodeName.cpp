#include "pellin/NodeName.h"

#include "pellin/NodeKinds.h"

#include <string>

CPString NodeName::GetDefaultNodeName() {
    CPString name = m_prefix;
    name += std::to_string(m_number);
    ++m_number;
    return name;
}

const char* ExchangerPort::Name(int port) {
    static constexpr const char* kNames[] = {"HotSideFeed", "HotSideProduct", "ColdSideFeed", "ColdSideProduct"};
    return port >= 0 && port < 4 ? kNames[port] : nullptr;
}
