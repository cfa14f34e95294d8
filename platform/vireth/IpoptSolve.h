#pragma once
// The hand-over between the engine's model and Ipopt. Kept free of Ipopt headers so that only
// IpoptSolve.cpp sees them.
#include <vector>

namespace vireth {

// A smooth problem: minimise f(x) subject to gl <= g(x) <= gu and xl <= x <= xu, with exact first
// derivatives (the Jacobian sparse, in triplets whose structure does not change).
class SmoothProblem {
public:
    virtual ~SmoothProblem() = default;
    virtual int Variables() const = 0;
    virtual int Constraints() const = 0;
    virtual void Bounds(std::vector<double>& xl, std::vector<double>& xu, std::vector<double>& gl,
                        std::vector<double>& gu) const = 0;
    virtual void Start(std::vector<double>& x) const = 0;
    virtual double Objective(const double* x) const = 0;
    virtual void Gradient(const double* x, double* gradient) const = 0;
    virtual void ConstraintValues(const double* x, double* g) const = 0;
    virtual void JacobianStructure(std::vector<int>& rows, std::vector<int>& columns) const = 0;
    virtual void JacobianValues(const double* x, double* values) const = 0;
};

enum class SolveOutcome { Solved, Acceptable, Failed };

// Ipopt with a limited-memory Hessian, tolerance 1e-8, at most 3000 iterations and no output.
// `x` holds the final point on Solved and Acceptable, and is left as it was on Failed.
SolveOutcome SolveWithIpopt(const SmoothProblem& problem, std::vector<double>& x);

}  // namespace vireth
