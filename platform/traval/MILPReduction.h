#pragma once
// A large mixed-integer model's reduction, kept by the caller that solves the same model again.
//
// A caller that solves one model several times, each time with more of its integer columns held
// at zero (a stepwise search that excludes the choices of its earlier steps), hands the same
// reduction to each solve ("PREPRO" models only). The first solve reduces the model and leaves
// the reduction here with the root relaxation's basis; a later solve of the same model (the same
// rows, columns and coefficients, bounds differing only by integer columns now held at zero) goes
// on from the reduction instead of reducing the model again. A model that differs is solved
// afresh and its reduction replaces the kept one. The caller owns it, keeps it alive through the
// solves and clears it when its run ends; nothing of it is shared between callers.
#include <memory>
#include <vector>

class MILPReduction {
public:
    MILPReduction();
    ~MILPReduction();
    MILPReduction(const MILPReduction&) = delete;
    MILPReduction& operator=(const MILPReduction&) = delete;

    bool IsEmpty() const { return !state_; }
    // Drops the kept reduction (its memory too) and the caller's note.
    void Clear();

    // The caller's own note of how it built the kept model, for a caller that builds its models in
    // more than one way: its next solve can build that model at once and go on from the reduction,
    // instead of solving another model first, whose reduction would replace this one. The engine
    // never reads it.
    std::vector<int> callerNote;

    // Engine-specific content, defined by the engine.
    struct State;
    std::unique_ptr<State> state_;
};
