#pragma once
// A small view for framework tests: it answers series of values by (type code, number), keeps a
// few fields and a link to another view in its record, and can be told to delete itself when
// it receives a command line or a change notice.
#include "lumeth/BinaryFile.h"
#include "lumeth/Viewable.h"

#include <map>
#include <utility>
#include <vector>

class ProbeView : public Viewable {
public:
    static constexpr const char* TypeName = "ProbeViewObject";

    ProbeView(Viewable* parent, const Text& name) : Viewable(parent, TypeName) { SetName(name); }
    explicit ProbeView(ObjectInstanceInfo& info) : Viewable(info) {}
    static Viewable* Create(ObjectInstanceInfo& info) { return new ProbeView(info); }

    // Series answered through Dimensions (the point count) and Value (the running index).
    std::map<std::pair<int, int>, std::vector<double>> series;

    double Value(const VarDescription& var) override {
        auto it = series.find({var.Type(), var.Number()});
        if (it == series.end()) return Viewable::Value(var);
        const int i = var.RunningIndex() >= 0 ? var.Offset(var.RunningIndex()) : var.Offset(0);
        if (i < 0 || i >= static_cast<int>(it->second.size())) return EmptyValue;
        return it->second[static_cast<std::size_t>(i)];
    }
    int Dimensions(const VarDescription& var, DimInfo& dims) override {
        auto it = series.find({var.Type(), var.Number()});
        if (it == series.end()) return Viewable::Dimensions(var, dims);
        dims.AddDim(static_cast<int>(it->second.size()));
        return 1;
    }
    int Message(const Text& line) override {
        if (line == "SelfDelete") {
            delete this;
            return 1;
        }
        return Viewable::Message(line);
    }
    void DisconnectDeadObject(Viewable* dead) override {
        deaths.push_back({dead->GetName(), dead->IsA(TypeName)});
        if (dead == link) link = nullptr;
        if (deleteOnDeath) {
            Viewable* victim = deleteOnDeath;
            deleteOnDeath = nullptr;
            delete victim;
        }
    }

    // Record: count, ratio, note, link.
    bool StoreClassData(BinaryFile& file) override {
        return file.WriteInt(count) && file.WriteDouble(ratio) && file.WriteCPString(note) && StorePointer(file, link);
    }
    bool RecallClassData(BinaryFile& file, int version) override {
        recalledVersion = version;
        std::int32_t n = 0;
        CPString text;
        if (!file.ReadInt(n) || !file.ReadDouble(ratio) || !file.ReadCPString(text)) return false;
        count = n;
        note = text;
        return RecallPointerX(file, link, nullptr);
    }
    bool RecallFixUp() override {
        fixedUp = true;
        if (link) link->AddDeathPostee(this);
        return true;
    }

    int count = 0;
    double ratio = 0.0;
    Text note;
    Viewable* link = nullptr;
    int recalledVersion = -1;
    bool fixedUp = false;
    // (dead view's name, whether IsA still worked) of every death this view was told of.
    std::vector<std::pair<Text, bool>> deaths;
    Viewable* deleteOnDeath = nullptr;
};

// A registry with the probe's type (version 3) under "ViewableObject", installed while it lives.
struct ProbeRegistry {
    ProbeRegistry() {
        ObjectTypeInfo* type = types.Add(std::make_unique<ObjectTypeInfo>(
            ProbeView::TypeName, types.Find("ViewableObject"), "ProbeView", 0, 1, "probe"));
        type->SetClassVersion(3);
        type->SetFactory(&ProbeView::Create);
    }
    ObjectTypeRegistry types;
    ScopedObjectTypeRegistry scope{types};
};
