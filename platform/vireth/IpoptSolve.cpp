#include "vireth/IpoptSolve.h"

#include "IpIpoptApplication.hpp"
#include "IpTNLP.hpp"

#include <algorithm>
#include <cstddef>

namespace vireth {
namespace {

class Adapter : public Ipopt::TNLP {
public:
    Adapter(const SmoothProblem& problem, const std::vector<double>& start) : m_problem(problem), m_start(start) {
        m_problem.JacobianStructure(m_rows, m_columns);
    }

    bool get_nlp_info(Ipopt::Index& n, Ipopt::Index& m, Ipopt::Index& nnzJac, Ipopt::Index& nnzHess,
                      IndexStyleEnum& style) override {
        n = m_problem.Variables();
        m = m_problem.Constraints();
        nnzJac = static_cast<Ipopt::Index>(m_rows.size());
        nnzHess = 0;
        style = C_STYLE;
        return true;
    }

    bool get_bounds_info(Ipopt::Index n, Ipopt::Number* xl, Ipopt::Number* xu, Ipopt::Index m, Ipopt::Number* gl,
                         Ipopt::Number* gu) override {
        std::vector<double> vxl, vxu, vgl, vgu;
        m_problem.Bounds(vxl, vxu, vgl, vgu);
        std::copy_n(vxl.begin(), n, xl);
        std::copy_n(vxu.begin(), n, xu);
        std::copy_n(vgl.begin(), m, gl);
        std::copy_n(vgu.begin(), m, gu);
        return true;
    }

    bool get_starting_point(Ipopt::Index n, bool initX, Ipopt::Number* x, bool initZ, Ipopt::Number*,
                            Ipopt::Number*, Ipopt::Index, bool initLambda, Ipopt::Number*) override {
        if (!initX || initZ || initLambda) return false;
        std::copy_n(m_start.begin(), n, x);
        return true;
    }

    bool eval_f(Ipopt::Index, const Ipopt::Number* x, bool, Ipopt::Number& f) override {
        f = m_problem.Objective(x);
        return true;
    }
    bool eval_grad_f(Ipopt::Index, const Ipopt::Number* x, bool, Ipopt::Number* g) override {
        m_problem.Gradient(x, g);
        return true;
    }
    bool eval_g(Ipopt::Index, const Ipopt::Number* x, bool, Ipopt::Index, Ipopt::Number* g) override {
        m_problem.ConstraintValues(x, g);
        return true;
    }
    bool eval_jac_g(Ipopt::Index, const Ipopt::Number* x, bool, Ipopt::Index, Ipopt::Index, Ipopt::Index* rows,
                    Ipopt::Index* columns, Ipopt::Number* values) override {
        if (!values) {
            std::copy(m_rows.begin(), m_rows.end(), rows);
            std::copy(m_columns.begin(), m_columns.end(), columns);
        } else {
            m_problem.JacobianValues(x, values);
        }
        return true;
    }

    void finalize_solution(Ipopt::SolverReturn, Ipopt::Index n, const Ipopt::Number* x, const Ipopt::Number*,
                           const Ipopt::Number*, Ipopt::Index, const Ipopt::Number*, const Ipopt::Number*,
                           Ipopt::Number, const Ipopt::IpoptData*, Ipopt::IpoptCalculatedQuantities*) override {
        m_final.assign(x, x + n);
    }

    const std::vector<double>& Final() const { return m_final; }

private:
    const SmoothProblem& m_problem;
    const std::vector<double>& m_start;
    std::vector<int> m_rows, m_columns;
    std::vector<double> m_final;
};

}  // namespace

SolveOutcome SolveWithIpopt(const SmoothProblem& problem, std::vector<double>& x) {
    Ipopt::SmartPtr<Adapter> nlp = new Adapter(problem, x);
    Ipopt::SmartPtr<Ipopt::IpoptApplication> app = IpoptApplicationFactory();
    app->Options()->SetIntegerValue("print_level", 0);
    app->Options()->SetStringValue("sb", "yes");
    app->Options()->SetStringValue("hessian_approximation", "limited-memory");
    app->Options()->SetNumericValue("tol", 1e-8);
    // Approaches are rows with DTmin as their bound; the exchangers judge them to a part in a
    // million of their span, so a point is taken only when every row holds far closer than that
    // (Ipopt would otherwise accept rows off by up to 1e-4, and 1e-2 at its acceptable level).
    app->Options()->SetNumericValue("constr_viol_tol", 1e-8);
    app->Options()->SetNumericValue("acceptable_constr_viol_tol", 1e-8);
    app->Options()->SetIntegerValue("max_iter", 3000);
    if (app->Initialize() != Ipopt::Solve_Succeeded) return SolveOutcome::Failed;
    const Ipopt::ApplicationReturnStatus status = app->OptimizeTNLP(Ipopt::SmartPtr<Ipopt::TNLP>(GetRawPtr(nlp)));
    SolveOutcome outcome = SolveOutcome::Failed;
    if (status == Ipopt::Solve_Succeeded) outcome = SolveOutcome::Solved;
    else if (status == Ipopt::Solved_To_Acceptable_Level) outcome = SolveOutcome::Acceptable;
    if (outcome != SolveOutcome::Failed && nlp->Final().size() == x.size()) x = nlp->Final();
    else outcome = SolveOutcome::Failed;
    return outcome;
}

}  // namespace vireth
