#include "traval/CoinMILPSolver.h"

#include "dunmor/Exceptions.h"
#include "traval/CoinRun.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <limits>
#include <string_view>

namespace {

constexpr double kInfinity = std::numeric_limits<double>::infinity();
// COIN treats magnitudes from here on as infinite; so do we, so that callers may pass either.
constexpr double kInfiniteBound = 1e30;

bool EqualsNoCase(const char* text, const char* word) {
    for (; *text && *word; ++text, ++word) {
        if (std::toupper(static_cast<unsigned char>(*text)) != *word) return false;
    }
    return *text == '\0' && *word == '\0';
}

// Finite numbers from here on are no engineering data (a damaged case file, a mistyped value):
// the engines lose their tolerances on them, and a right-hand side taken as infinite on the side
// that must hold makes CLP abort. A model holding one is not solved.
constexpr double kWorkingRange = 1e20;

bool InWorkingRange(double value) { return !std::isfinite(value) || std::fabs(value) < kWorkingRange; }

double NormaliseBound(double value) {
    if (value >= kInfiniteBound) return kInfinity;
    if (value <= -kInfiniteBound) return -kInfinity;
    return value;
}

}  // namespace

bool CoinMILPSolver::SetSize(int columns, int rows) {
    if (columns < 0 || rows < 0 || columns > kMaxDimension || rows > kMaxDimension) {
        KS_ASSERT(columns >= 0 && rows >= 0 && columns <= kMaxDimension && rows <= kMaxDimension);
        return false;
    }
    const std::size_t c = static_cast<std::size_t>(columns);
    const std::size_t r = static_cast<std::size_t>(rows);
    columns_ = columns;
    rows_ = rows;
    startColumns_ = 0;
    startBasis_.clear();
    basis_.clear();
    objective_.assign(c, 0.0);
    lower_.assign(c, 0.0);
    upper_.assign(c, kInfinity);
    hasBounds_.assign(c, 0);
    integer_.assign(c, 0);
    excluded_.assign(c, 0);
    rightHandSide_.assign(r, 0.0);
    rowTypes_.assign(r, 'e');
    matrix_.clear();
    direction_ = 1.0;
    relativeGap_ = -1.0;
    absoluteGap_ = -1.0;
    seconds_ = 0.0;
    preprocess_ = false;
    kept_ = nullptr;
    solution_.assign(c, 0.0);
    objectiveValue_ = 0.0;
    return true;
}

bool CoinMILPSolver::ColumnInRange(int column) const {
    const bool inRange = column >= 0 && column < columns_;
    KS_ASSERT(inRange);
    return inRange;
}

bool CoinMILPSolver::SetIntegerColumn(int column) {
    if (!ColumnInRange(column)) return false;
    integer_[static_cast<std::size_t>(column)] = 1;
    return true;
}

bool CoinMILPSolver::MarkColumn(int column) {
    if (!ColumnInRange(column)) return false;
    excluded_[static_cast<std::size_t>(column)] = 1;
    return true;
}

bool CoinMILPSolver::SetColumnBounds(double upper, int column, double lower) {
    if (!ColumnInRange(column)) return false;
    lower = NormaliseBound(lower);
    upper = NormaliseBound(upper);
    const bool valid = !std::isnan(lower) && !std::isnan(upper) && lower <= upper &&
                       lower != kInfinity && upper != -kInfinity;
    if (!valid) {
        KS_ASSERT(valid);
        return false;
    }
    const std::size_t c = static_cast<std::size_t>(column);
    lower_[c] = lower;
    upper_[c] = upper;
    hasBounds_[c] = 1;
    return true;
}

bool CoinMILPSolver::SetObjective(const double* coefficients) {
    if (columns_ > 0 && !coefficients) {
        KS_ASSERT(coefficients != nullptr);
        return false;
    }
    for (int j = 0; j < columns_; ++j) {
        if (!std::isfinite(coefficients[j])) {
            KS_ASSERT(std::isfinite(coefficients[j]));
            return false;
        }
    }
    objective_.assign(coefficients, coefficients + columns_);
    return true;
}

bool CoinMILPSolver::SetSense(const char* sense) {
    if (sense && EqualsNoCase(sense, "MIN")) {
        direction_ = 1.0;
        return true;
    }
    if (sense && EqualsNoCase(sense, "MAX")) {
        direction_ = -1.0;
        return true;
    }
    KS_ASSERT(!"objective sense is neither MIN nor MAX");
    return false;
}

bool CoinMILPSolver::LoadMatrix(int count, const int* rows, const int* columns, const double* values) {
    if (count < 0 || (count > 0 && (!rows || !columns || !values))) {
        KS_ASSERT(count >= 0 && (count == 0 || (rows && columns && values)));
        return false;
    }
    // Check everything before taking anything, so that a bad triplet leaves the old matrix whole.
    for (int k = 0; k < count; ++k) {
        const bool valid = rows[k] >= 0 && rows[k] < rows_ && columns[k] >= 0 &&
                           columns[k] < columns_ && std::isfinite(values[k]);
        if (!valid) {
            KS_ASSERT(valid);
            return false;
        }
    }
    matrix_.clear();
    matrix_.reserve(static_cast<std::size_t>(count));
    for (int k = 0; k < count; ++k) matrix_.push_back({rows[k], columns[k], values[k]});
    return true;
}

bool CoinMILPSolver::SetRightHandSide(const double* values) {
    if (rows_ > 0 && !values) {
        KS_ASSERT(values != nullptr);
        return false;
    }
    for (int i = 0; i < rows_; ++i) {
        if (std::isnan(values[i])) {
            KS_ASSERT(!std::isnan(values[i]));
            return false;
        }
    }
    rightHandSide_.assign(values, values + rows_);
    return true;
}

bool CoinMILPSolver::SetRowTypes(const char* types) {
    if (rows_ > 0 && !types) {
        KS_ASSERT(types != nullptr);
        return false;
    }
    std::vector<char> accepted(static_cast<std::size_t>(rows_));
    for (int i = 0; i < rows_; ++i) {
        const char t = static_cast<char>(std::tolower(static_cast<unsigned char>(types[i])));
        if (t != 'l' && t != 'e' && t != 'g') {
            KS_ASSERT(!"row type is not 'l', 'e' or 'g'");
            return false;
        }
        accepted[static_cast<std::size_t>(i)] = t;
    }
    rowTypes_ = std::move(accepted);
    return true;
}

bool CoinMILPSolver::SetReduction(MILPReduction* kept) {
    kept_ = kept;
    return true;
}

bool CoinMILPSolver::SetOption(const char* name, double value) {
    if (name && !std::isnan(value)) {
        if (EqualsNoCase(name, "OPTCR") && value >= 0.0 && std::isfinite(value)) {
            relativeGap_ = value;
            return true;
        }
        if (EqualsNoCase(name, "OPTCA") && value >= 0.0 && std::isfinite(value)) {
            absoluteGap_ = value;
            return true;
        }
        if (EqualsNoCase(name, "PREPRO") && (value == 0.0 || value == 1.0)) {
            preprocess_ = value == 1.0;
            return true;
        }
        if (EqualsNoCase(name, "MAXTIM")) {
            // Callers have passed the limit with either sign; only its size counts.
            seconds_ = std::isfinite(value) ? std::fabs(value) : 0.0;
            return true;
        }
    }
    KS_ASSERT(!"unknown solver option or value");
    return false;
}

void CoinMILPSolver::ClearResult() {
    std::fill(solution_.begin(), solution_.end(), 0.0);
    rowPrices_.clear();
    objectiveValue_ = 0.0;
    stoppedAtTimeLimit_ = false;
}

bool CoinMILPSolver::RowsAcceptZeroActivity() const {
    for (int i = 0; i < rows_; ++i) {
        const double b = rightHandSide_[static_cast<std::size_t>(i)];
        const char t = rowTypes_[static_cast<std::size_t>(i)];
        if ((t == 'e' && b != 0.0) || (t == 'l' && b < 0.0) || (t == 'g' && b > 0.0)) return false;
    }
    return true;
}

bool CoinMILPSolver::Solve() {
    ClearResult();
    if (columns_ == 0) return RowsAcceptZeroActivity();
    bool inRange = std::all_of(objective_.begin(), objective_.end(), InWorkingRange) &&
                   std::all_of(rightHandSide_.begin(), rightHandSide_.end(), InWorkingRange) &&
                   std::all_of(matrix_.begin(), matrix_.end(), [](const Triplet& t) { return InWorkingRange(t.value); });
    for (std::size_t j = 0; inRange && j < static_cast<std::size_t>(columns_); ++j)
        inRange = !hasBounds_[j] || (InWorkingRange(lower_[j]) && InWorkingRange(upper_[j]));
    if (!inRange) {
        KS_ASSERT(!"model holds numbers outside the solver's working range");
        return false;
    }

    traval::CoinModelData model;
    model.columns = columns_;
    model.rows = rows_;
    model.direction = direction_;
    model.relativeGap = relativeGap_;
    model.absoluteGap = absoluteGap_;
    model.seconds = seconds_;
    model.preprocess = preprocess_;
    model.kept = kept_;
    model.objective = objective_;
    model.columnLower.resize(static_cast<std::size_t>(columns_));
    model.columnUpper.resize(static_cast<std::size_t>(columns_));
    for (std::size_t j = 0; j < static_cast<std::size_t>(columns_); ++j) {
        double lo = 0.0;
        double up = kInfinity;
        if (excluded_[j]) {
            up = 0.0;
        } else if (hasBounds_[j]) {
            lo = lower_[j];
            up = upper_[j];
        } else if (integer_[j]) {
            up = 1.0;
        }
        model.columnLower[j] = lo;
        model.columnUpper[j] = up;
        if (integer_[j]) model.integerColumns.push_back(static_cast<int>(j));
    }

    model.rowLower.resize(static_cast<std::size_t>(rows_));
    model.rowUpper.resize(static_cast<std::size_t>(rows_));
    for (std::size_t i = 0; i < static_cast<std::size_t>(rows_); ++i) {
        const double b = NormaliseBound(rightHandSide_[i]);
        const char t = rowTypes_[i];
        model.rowLower[i] = (t == 'l') ? -kInfinity : b;
        model.rowUpper[i] = (t == 'g') ? kInfinity : b;
        // A row that must reach an infinite right-hand side holds for no finite activity.
        if (model.rowLower[i] == kInfinity || model.rowUpper[i] == -kInfinity) return false;
    }

    // Column-ordered matrix; entries naming the same place are summed, and what sums to zero
    // is left out.
    std::vector<Triplet> sorted = matrix_;
    std::sort(sorted.begin(), sorted.end(), [](const Triplet& a, const Triplet& b) {
        return a.column != b.column ? a.column < b.column : a.row < b.row;
    });
    model.columnStarts.assign(static_cast<std::size_t>(columns_) + 1, 0);
    for (std::size_t k = 0; k < sorted.size();) {
        const Triplet& first = sorted[k];
        double sum = 0.0;
        for (; k < sorted.size() && sorted[k].column == first.column && sorted[k].row == first.row; ++k)
            sum += sorted[k].value;
        if (sum == 0.0) continue;
        model.rowIndices.push_back(first.row);
        model.elements.push_back(sum);
        ++model.columnStarts[static_cast<std::size_t>(first.column) + 1];
    }
    for (std::size_t j = 0; j < static_cast<std::size_t>(columns_); ++j)
        model.columnStarts[j + 1] += model.columnStarts[j];
    // The sorted copy is as large as the matrix; the engines have their own from here on.
    std::vector<Triplet>().swap(sorted);

    std::vector<double> solution;
    std::vector<double> prices;
    if (model.integerColumns.empty() && startColumns_ > 0 && startColumns_ <= columns_ &&
        startBasis_.size() == static_cast<std::size_t>(startColumns_) + static_cast<std::size_t>(rows_)) {
        model.startColumns = startColumns_;
        model.startBasis = startBasis_;
    }
    basis_.clear();
    if (model.integerColumns.empty()) model.finalBasis = &basis_;
    model.stoppedAtTimeLimit = &stoppedAtTimeLimit_;
    const bool solved = model.integerColumns.empty() ? traval::RunLinear(model, solution, &prices)
                                                     : traval::RunMixedInteger(model, solution);
    if (!solved || solution.size() != static_cast<std::size_t>(columns_)) return false;

    // The engines answer integer columns within a tolerance; callers compare binaries with 1.0.
    for (int j : model.integerColumns) {
        double& x = solution[static_cast<std::size_t>(j)];
        x = std::nearbyint(x) + 0.0;  // + 0.0 turns -0 into 0
    }
    double objective = 0.0;
    for (std::size_t j = 0; j < solution.size(); ++j) objective += objective_[j] * solution[j];
    solution_ = std::move(solution);
    objectiveValue_ = objective;
    if (prices.size() == static_cast<std::size_t>(rows_)) rowPrices_ = std::move(prices);
    return true;
}

bool CoinMILPSolver::SetStartingBasis(const int* statuses, int columns, int rows) {
    // Statuses are the engine's own: free, basic, at upper bound, at lower bound, superbasic, fixed.
    if (!statuses || columns <= 0 || rows != rows_ || columns > columns_) return false;
    for (int k = 0; k < columns + rows; ++k)
        if (statuses[k] < 0 || statuses[k] > 5) return false;
    startColumns_ = columns;
    startBasis_.assign(statuses, statuses + columns + rows);
    return true;
}

int CoinMILPSolver::GetBasis(const int** statuses) {
    *statuses = basis_.empty() ? nullptr : basis_.data();
    return static_cast<int>(basis_.size());
}

const double* CoinMILPSolver::GetRowPrices() { return rowPrices_.empty() ? nullptr : rowPrices_.data(); }

const double* CoinMILPSolver::GetSolution() {
    return solution_.empty() ? &noColumns_ : solution_.data();
}

double CoinMILPSolver::GetObjectiveValue() { return objectiveValue_; }

IMILPSolver* IMILPSolver::Create(const char* name) {
    if (name && std::string_view(name) == "QEV_XPRESS") return new CoinMILPSolver();
    return nullptr;
}
