#pragma once
// The COIN-OR backed solver: CLP for linear models, CBC for models with integer columns.
// The model is kept in plain arrays until Solve, which hands it to the engine in one piece, so
// set-up calls may come in any order and each of them may be repeated.
#include "traval/IMILPSolver.h"

#include <vector>

class CoinMILPSolver : public IMILPSolver {
public:
    // Largest number of rows or columns a model may declare; a larger size is rejected rather
    // than allocated.
    static constexpr int kMaxDimension = 20000000;

    CoinMILPSolver() = default;
    ~CoinMILPSolver() override = default;

    bool SetSize(int columns, int rows) override;
    bool SetIntegerColumn(int column) override;
    bool MarkColumn(int column) override;
    bool SetColumnBounds(double upper, int column, double lower) override;
    bool SetObjective(const double* coefficients) override;
    bool SetSense(const char* sense) override;
    bool LoadMatrix(int count, const int* rows, const int* columns, const double* values) override;
    bool SetRightHandSide(const double* values) override;
    bool SetRowTypes(const char* types) override;
    bool SetOption(const char* name, double value) override;
    bool SetReduction(MILPReduction* kept) override;

    bool Solve() override;
    const double* GetSolution() override;
    double GetObjectiveValue() override;
    bool StoppedAtTimeLimit() const override { return stoppedAtTimeLimit_; }
    const double* GetRowPrices() override;
    bool SetStartingBasis(const int* statuses, int columns, int rows) override;
    int GetBasis(const int** statuses) override;

private:
    struct Triplet {
        int row;
        int column;
        double value;
    };

    bool ColumnInRange(int column) const;
    void ClearResult();
    // Zero columns: the rows are met exactly when each right-hand side admits activity 0.
    bool RowsAcceptZeroActivity() const;

    int columns_ = 0;
    int rows_ = 0;
    std::vector<double> objective_;
    std::vector<double> rightHandSide_;
    std::vector<char> rowTypes_;
    std::vector<double> lower_;
    std::vector<double> upper_;
    std::vector<unsigned char> hasBounds_;
    std::vector<unsigned char> integer_;
    std::vector<unsigned char> excluded_;
    std::vector<Triplet> matrix_;
    int startColumns_ = 0;
    std::vector<int> startBasis_;
    std::vector<int> basis_;
    double direction_ = 1.0;
    double relativeGap_ = -1.0;
    double absoluteGap_ = -1.0;
    double seconds_ = 0.0;
    bool preprocess_ = false;
    MILPReduction* kept_ = nullptr;

    std::vector<double> solution_;
    std::vector<double> rowPrices_;
    double objectiveValue_ = 0.0;
    bool stoppedAtTimeLimit_ = false;
    double noColumns_ = 0.0;  // what GetSolution points at when the model has no column
};
