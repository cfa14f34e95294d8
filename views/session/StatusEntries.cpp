#include "views/session/StatusEntries.h"

#include "eng/core/ModuleEntry.h"
#include "lumeth/Session.h"

#include <algorithm>
#include <cstring>

extern "C" int KestrinStatusLine(int level, char* out, int size) {
    AttachCallingThread();
    Text text;
    const std::vector<SessionEntry>& journal = Session::Instance().Journal();
    for (auto it = journal.rbegin(); it != journal.rend(); ++it)
        if (it->event == SessionEvent::Status && it->number == level) {
            text = it->text;
            break;
        }
    if (out && size > 0) {
        const std::size_t n = std::min(static_cast<std::size_t>(size - 1), text.size());
        std::memcpy(out, text.data(), n);
        out[n] = '\0';
    }
    return static_cast<int>(text.size()) + 1;
}
