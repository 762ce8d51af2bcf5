#pragma once

// Dense-matrix routines shared by the Marquardt minimizer and the covariance calculator: an LU
// decomposition with implicit partial pivoting (Crout's method), the forward and back
// substitution for one right-hand-side column, an inversion built from the two, and a Cholesky
// test of positive-definiteness. They all work in place on one engine-owned square matrix.
//
// The mathematics
// ---------------
// Crout's method factors the row-permuted matrix P A into L U, L unit lower triangular and U
// upper triangular, column by column: for column j the elements of U above the diagonal are
//     u(i, j) = a(i, j) - sum_{k < i} l(i, k) u(k, j),           i < j,
// and the candidates for the pivot are
//     c(i, j) = a(i, j) - sum_{k < j} l(i, k) u(k, j),           i >= j.
// The pivot is chosen by implicit (scaled) partial pivoting: each candidate is weighed by the
// reciprocal of the largest magnitude of its row in the input, rowScale(i) |c(i, j)|, so that
// the choice does not depend on how the rows happen to be scaled. Among equal merits the row
// with the larger number wins (the comparison is "greater than or equal"). The chosen row is
// swapped into place, and l(i, j) = c(i, j) / u(j, j) below the diagonal (one reciprocal, then
// products). An exactly zero pivot is replaced by tinyPivot, so a singular matrix whose rows are
// all non-zero still factors and yields a huge inverse rather than an error; only a row that is
// zero in the input stops the decomposition, since it cannot be scaled.
//
// Every sum is formed by subtracting the products one after another from the element, in
// increasing k, exactly as written; the order of the operations is part of the results.
//
// A x = b is then solved by forward substitution with L (applying the row exchanges recorded in
// pivotIndex and skipping the leading zeros of b) and back substitution with U. The inverse is
// the solution for the n columns of the identity; its determinant is the parity of the row
// exchanges divided by the product of the diagonal of U.
//
// The Cholesky test runs the factorisation A = G G' of a symmetric matrix on a copy:
//     g(i, i) = sqrt(a(i, i) - sum_{k < i} g(i, k)^2),
//     g(j, i) = (a(i, j) - sum_{k < i} g(i, k) g(j, k)) / g(i, i),   j > i,
// the sums subtracted from k = i - 1 down to 1. A diagonal radicand that is not positive (zero,
// negative or not a number) shows that the matrix is not positive-definite; its leading minor
// of order i is where the test fails.
//
// Reference: W. H. Press, S. A. Teukolsky, W. T. Vetterling and B. P. Flannery, Numerical
// Recipes, 2nd ed., Cambridge University Press, 1992, sections 2.3 (LU decomposition with
// implicit pivoting) and 2.9 (Cholesky decomposition); G. H. Golub and C. F. Van Loan, Matrix
// Computations, 3rd ed., Johns Hopkins University Press, 1996, sections 3.2, 3.4 and 4.2.
//
// Indices count from 1 like the free positions they stand for; row and column 0 exist and are
// never read. Failures are returned as values; the routines never throw.

#include "minimize/MinimizationState.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace orvanta {

class UserInterface;

// Replaces an exactly zero pivot after elimination.
inline constexpr double tinyPivot = 1e-20;

// A square matrix of doubles with indices 1..order. Storage grows with the largest order set so
// far and is reused for any smaller order: setOrder allocates only when the order grows.
class WorkMatrix {
public:
    WorkMatrix() = default;
    explicit WorkMatrix(int order) { setOrder(order); }

    int order() const { return order_; }

    // Sets the order (a negative one counts as 0) and every element of the new order to 0.
    void setOrder(int order);

    double& operator()(int row, int column) { return elements_[offset(row, column)]; }
    double operator()(int row, int column) const { return elements_[offset(row, column)]; }

    void setIdentity();
    // Takes the order and the elements of other; allocates only when the order grows.
    void assign(const WorkMatrix& other);
    // Exchanges rows a and b over all columns 1..order.
    void swapRows(int a, int b);

private:
    std::size_t offset(int row, int column) const;

    int order_ = 0;
    int capacity_ = 0; // the largest order the storage holds
    std::vector<double> elements_;
};

// A row of the input of luDecompose that is entirely zero ends the decomposition there.
enum class DecompositionStatus { Decomposed, ZeroRow };

struct DecompositionResult {
    DecompositionStatus status = DecompositionStatus::Decomposed;
    int failedRow = 0;       // the zero row (a free position); 0 on success
    int failedParameter = 0; // its parameter number, as the failure message names it

    bool failed() const { return status != DecompositionStatus::Decomposed; }
};

struct InversionResult {
    DecompositionResult decomposition;
    double inverseDeterminant = 0.0; // set only when the decomposition succeeded

    bool failed() const { return decomposition.failed(); }
};

struct CholeskyResult {
    bool positiveDefinite = true;
    int failedPosition = 0;  // the row whose pivot was not positive (choleskyFailed when not 0)
    int failedParameter = 0; // its parameter number (choleskyFailedAt)
};

// What the tool that calls the routines lends them.
struct MatrixCaller {
    // Lets interface events run once per row or column, and shows the decomposition failure
    // message; without it the routines neither yield nor tell the user anything.
    UserInterface* ui = nullptr;
    // The parameter number of each free position, [1..n] (the free-parameter index, or the
    // covariance calculator's own); a position beyond its end stands for itself.
    std::span<const std::int16_t> parameterNumbers;
    // Words the decomposition failure message: the Marquardt minimizer's derivative mode.
    DerivativeMode derivativeMode = DerivativeMode::Numerical;

    int parameterOf(int position) const;
};

// The engine-owned matrix and its companions. setOrder sizes everything for order n without
// allocating unless n exceeds every earlier order.
struct MatrixWork {
    WorkMatrix workMatrix;              // decomposed and inverted in place
    WorkMatrix identityMatrix;          // the identity, then the inverse column by column
    WorkMatrix choleskyScratch;         // the copy choleskyTest works on
    std::vector<double> rowScale;       // [1..n]: 1 / largest |element| of input row i
    std::vector<int> pivotIndex;        // [1..n]: the row swapped into place for column j
    std::vector<double> choleskyDiagonal; // [1..n]: square roots of the Cholesky pivots
    double permutationSign = 1.0;       // parity of the row exchanges
    double inverseDeterminant = 0.0;    // determinant of the inverse after invertWorkMatrix

    int order() const { return workMatrix.order(); }
    void setOrder(int order);
};

// Factors work.workMatrix (of order work.order()) in place into the LU factors of its
// row-permuted self and fills rowScale, pivotIndex and permutationSign. On a zero row the
// failure message is shown (when the caller lends a user interface) and the matrix is left as
// it was; the rows before the zero row have their rowScale set.
DecompositionResult luDecompose(MatrixWork& work, const MatrixCaller& caller = {});

// Solves workMatrix x = b with the factors of the last successful luDecompose; x replaces b.
// b is column `column` of rhs (rows 1..n), or the elements [1..n] of a vector.
void luSolveColumn(const MatrixWork& work, WorkMatrix& rhs, int column, const MatrixCaller& caller = {});
void luSolveColumn(const MatrixWork& work, std::vector<double>& b, const MatrixCaller& caller = {});

// Replaces workMatrix by its inverse and sets inverseDeterminant. When the decomposition fails
// it returns at once, workMatrix holding what the decomposition left.
InversionResult invertWorkMatrix(MatrixWork& work, const MatrixCaller& caller = {});

// Whether workMatrix (read as symmetric, upper triangle and diagonal) is positive-definite.
// Works on choleskyScratch: workMatrix is left bit for bit as it was. Shows nothing.
CholeskyResult choleskyTest(MatrixWork& work, const MatrixCaller& caller = {});

// The decomposition failure message: title "Matrix decompositon failure at parameter #", the
// parameter number and "!"; text by derivative mode; OK button, exclamation icon.
std::string decompositionFailureTitle(int parameterNumber);
std::string decompositionFailureText(DerivativeMode mode);
void showDecompositionFailure(UserInterface& ui, int parameterNumber, DerivativeMode mode);

} // namespace orvanta
