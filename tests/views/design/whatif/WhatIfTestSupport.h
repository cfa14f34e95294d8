#pragma once
// A locked network with its default study for the what-if views, and the small helpers their
// tests share: reading and writing a view's variables by address and the forms and messages a
// step showed.
#include "eng/design/IHENTrend.h"
#include "lumeth/Session.h"
#include "lumeth/Viewable.h"
#include "tests/eng/design/OperationTestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace whatif_test {

inline VarDescription At(const std::string& address) {
    VarDescription v;
    EXPECT_TRUE(VarDescription::Parse(address.c_str(), v)) << address;
    return v;
}

inline double Get(Viewable& view, const std::string& address) { return view.Value(At(address)); }
inline int Set(Viewable& view, const std::string& address, double value) { return view.Specify(At(address), value); }
inline Text GetText(Viewable& view, const std::string& address) { return view.TextValue(At(address)); }
inline int SetText(Viewable& view, const std::string& address, const char* text) {
    return view.SpecifyText(At(address), text);
}
inline std::vector<int> Dims(Viewable& view, const std::string& address) {
    DimInfo dims;
    view.Dimensions(At(address), dims);
    std::vector<int> out;
    for (int i = 0; i < dims.NumberOfDims(); ++i) out.push_back(dims.Dim(i));
    return out;
}

// What the journal holds of one kind since a mark: the forms opened, the message keys shown.
struct JournalMark {
    std::uint64_t from = Session::Instance().NextSequence();
    std::vector<std::string> Of(SessionEvent event, bool byKey = false) const {
        std::vector<std::string> out;
        for (const SessionEntry& e : Session::Instance().Journal())
            if (e.event == event && e.sequence >= from) out.push_back(byKey ? e.key.c_str() : e.text.c_str());
        return out;
    }
    std::vector<std::string> FormsOpened() const { return Of(SessionEvent::ViewOpened); }
    std::vector<std::string> Errors() const { return Of(SessionEvent::Error, true); }
};

// The textbook network operated with its two exchangers, locked, with its default study.
struct StudiedNetwork : design_test::OperatedNetwork {
    explicit StudiedNetwork(bool exchangers = true) : OperatedNetwork(true, exchangers) {
        d->LockOperation();
        d->AddStudy();
        base = d->GetDefaultStudy();
    }
    IHENTrend* base = nullptr;
};

}  // namespace whatif_test
