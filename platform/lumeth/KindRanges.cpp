#include "lumeth/KindRanges.h"

#include <utility>

namespace {
std::vector<KindRange>& installed() {
    static std::vector<KindRange> ranges;
    return ranges;
}
}  // namespace

void InstallKindRanges(std::vector<KindRange> ranges) { installed() = std::move(ranges); }

const KindRange* FindKindRange(int kind) {
    for (const KindRange& r : installed())
        if (r.kind == kind) return &r;
    return nullptr;
}
