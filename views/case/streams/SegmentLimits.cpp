#include "views/case/streams/SegmentLimits.h"

#include "eng/model/CaseSegmentDomain.h"
#include "eng/model/IHeatIntegrationStream.h"

namespace segment_limits {

bool Holds(const IHeatIntegrationStream& s, int i) {
    const auto read = [&s](const char* name, int index) {
        double v = CaseValueLimits::EmptyValue;
        return s.GetValue(name, v, index) == 1 ? v : CaseValueLimits::EmptyValue;
    };
    return CaseValueLimits::SegmentHolds(read, i, s.GetStreamKind() == 1);
}

}  // namespace segment_limits
