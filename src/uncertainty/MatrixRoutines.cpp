#include "uncertainty/MatrixRoutines.h"

#include "text/NumberText.h"
#include "ui/UserInterface.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <utility>

namespace orvanta {

// ---- WorkMatrix -----------------------------------------------------------------------------

void WorkMatrix::setOrder(int order)
{
    order_ = std::max(order, 0);
    if (order_ > capacity_) {
        capacity_ = order_;
        const auto side = static_cast<std::size_t>(capacity_) + 1;
        elements_.assign(side * side, 0.0);
        return;
    }
    for (int row = 1; row <= order_; ++row)
        for (int column = 1; column <= order_; ++column)
            (*this)(row, column) = 0.0;
}

std::size_t WorkMatrix::offset(int row, int column) const
{
    assert(row >= 0 && row <= order_ && column >= 0 && column <= order_);
    const auto side = static_cast<std::size_t>(capacity_) + 1;
    return static_cast<std::size_t>(row) * side + static_cast<std::size_t>(column);
}

void WorkMatrix::setIdentity()
{
    for (int row = 1; row <= order_; ++row)
        for (int column = 1; column <= order_; ++column)
            (*this)(row, column) = row == column ? 1.0 : 0.0;
}

void WorkMatrix::assign(const WorkMatrix& other)
{
    if (&other == this)
        return;
    setOrder(other.order_);
    for (int row = 1; row <= order_; ++row)
        for (int column = 1; column <= order_; ++column)
            (*this)(row, column) = other(row, column);
}

void WorkMatrix::swapRows(int a, int b)
{
    for (int column = 1; column <= order_; ++column)
        std::swap((*this)(a, column), (*this)(b, column));
}

// ---- MatrixCaller and MatrixWork ------------------------------------------------------------

namespace {

// Makes the companion vectors long enough for the matrix's present order.
void fitCompanions(MatrixWork& work)
{
    const auto size = static_cast<std::size_t>(work.order()) + 1;
    if (work.rowScale.size() < size)
        work.rowScale.resize(size, 0.0);
    if (work.pivotIndex.size() < size)
        work.pivotIndex.resize(size, 0);
    if (work.choleskyDiagonal.size() < size)
        work.choleskyDiagonal.resize(size, 0.0);
}

} // namespace

int MatrixCaller::parameterOf(int position) const
{
    if (position >= 1 && static_cast<std::size_t>(position) < parameterNumbers.size())
        return parameterNumbers[static_cast<std::size_t>(position)];
    return position;
}

void MatrixWork::setOrder(int order)
{
    workMatrix.setOrder(order);
    identityMatrix.setOrder(order);
    choleskyScratch.setOrder(order);
    fitCompanions(*this);
    permutationSign = 1.0;
    inverseDeterminant = 0.0;
}

namespace {

void letEventsRun(const MatrixCaller& caller)
{
    if (caller.ui)
        caller.ui->processPendingEvents();
}

// rowScale(i) = 1 / largest |a(i, j)|; the first row whose largest magnitude is 0 (or, since the
// comparison is "greater than", holds nothing but NaN) is returned, 0 when there is none.
int scaleRows(MatrixWork& work, const MatrixCaller& caller)
{
    const WorkMatrix& a = work.workMatrix;
    const int n = a.order();
    for (int i = 1; i <= n; ++i) {
        letEventsRun(caller);
        double big = 0.0;
        for (int j = 1; j <= n; ++j) {
            const double magnitude = std::fabs(a(i, j));
            if (magnitude > big)
                big = magnitude;
        }
        if (big == 0.0)
            return i;
        work.rowScale[static_cast<std::size_t>(i)] = 1.0 / big;
    }
    return 0;
}

// The elements of U above the diagonal of column j.
void eliminateAboveDiagonal(WorkMatrix& a, int j)
{
    for (int i = 1; i < j; ++i) {
        double sum = a(i, j);
        for (int k = 1; k < i; ++k)
            sum = sum - a(i, k) * a(k, j);
        a(i, j) = sum;
    }
}

// The pivot candidates of column j (on and below the diagonal); returns the row of the largest
// scaled candidate, the later row among equal merits. A column whose merits are all NaN keeps
// its own row.
int eliminateAndChoosePivot(MatrixWork& work, int j)
{
    WorkMatrix& a = work.workMatrix;
    const int n = a.order();
    double big = 0.0;
    int imax = j;
    for (int i = j; i <= n; ++i) {
        double sum = a(i, j);
        for (int k = 1; k < j; ++k)
            sum = sum - a(i, k) * a(k, j);
        a(i, j) = sum;
        const double merit = work.rowScale[static_cast<std::size_t>(i)] * std::fabs(sum);
        if (merit >= big) {
            big = merit;
            imax = i;
        }
    }
    return imax;
}

void exchangeRows(MatrixWork& work, int imax, int j)
{
    work.workMatrix.swapRows(imax, j);
    work.permutationSign = -work.permutationSign;
    work.rowScale[static_cast<std::size_t>(imax)] = work.rowScale[static_cast<std::size_t>(j)];
}

// Divides the elements below the pivot by it (one reciprocal, then products).
void scaleBelowPivot(WorkMatrix& a, int j)
{
    const int n = a.order();
    if (j >= n)
        return;
    const double reciprocal = 1.0 / a(j, j);
    for (int i = j + 1; i <= n; ++i)
        a(i, j) = a(i, j) * reciprocal;
}

void decomposeColumn(MatrixWork& work, int j)
{
    WorkMatrix& a = work.workMatrix;
    eliminateAboveDiagonal(a, j);
    const int imax = eliminateAndChoosePivot(work, j);
    if (imax != j)
        exchangeRows(work, imax, j);
    work.pivotIndex[static_cast<std::size_t>(j)] = imax;
    if (a(j, j) == 0.0)
        a(j, j) = tinyPivot;
    scaleBelowPivot(a, j);
}

// The solve on any column: element(i) is b(i).
template <typename Element>
void substitute(const MatrixWork& work, Element element, const MatrixCaller& caller)
{
    const WorkMatrix& a = work.workMatrix;
    const int n = a.order();
    int ii = 0; // the first position with a non-zero right-hand side, once met
    for (int i = 1; i <= n; ++i) {
        letEventsRun(caller);
        const int ip = work.pivotIndex[static_cast<std::size_t>(i)];
        double sum = element(ip);
        element(ip) = element(i);
        if (ii != 0) {
            for (int k = ii; k < i; ++k)
                sum = sum - a(i, k) * element(k);
        } else if (sum != 0.0) {
            ii = i;
        }
        element(i) = sum;
    }
    for (int i = n; i >= 1; --i) {
        letEventsRun(caller);
        double sum = element(i);
        for (int k = i + 1; k <= n; ++k)
            sum = sum - a(i, k) * element(k);
        element(i) = sum / a(i, i);
    }
}

} // namespace

DecompositionResult luDecompose(MatrixWork& work, const MatrixCaller& caller)
{
    fitCompanions(work);
    work.permutationSign = 1.0;
    if (const int zeroRow = scaleRows(work, caller); zeroRow != 0) {
        const int parameter = caller.parameterOf(zeroRow);
        if (caller.ui)
            showDecompositionFailure(*caller.ui, parameter, caller.derivativeMode);
        return {DecompositionStatus::ZeroRow, zeroRow, parameter};
    }
    for (int j = 1; j <= work.order(); ++j) {
        letEventsRun(caller);
        decomposeColumn(work, j);
    }
    return {};
}

void luSolveColumn(const MatrixWork& work, WorkMatrix& rhs, int column, const MatrixCaller& caller)
{
    substitute(work, [&rhs, column](int row) -> double& { return rhs(row, column); }, caller);
}

void luSolveColumn(const MatrixWork& work, std::vector<double>& b, const MatrixCaller& caller)
{
    const auto size = static_cast<std::size_t>(work.order()) + 1;
    if (b.size() < size)
        b.resize(size, 0.0);
    substitute(work, [&b](int row) -> double& { return b[static_cast<std::size_t>(row)]; }, caller);
}

InversionResult invertWorkMatrix(MatrixWork& work, const MatrixCaller& caller)
{
    const int n = work.order();
    work.identityMatrix.setOrder(n);
    work.identityMatrix.setIdentity();

    InversionResult result;
    result.decomposition = luDecompose(work, caller);
    if (result.failed())
        return result;

    double determinant = work.permutationSign;
    for (int i = 1; i <= n; ++i)
        determinant = determinant / work.workMatrix(i, i);
    work.inverseDeterminant = determinant;
    result.inverseDeterminant = determinant;

    for (int column = 1; column <= n; ++column)
        luSolveColumn(work, work.identityMatrix, column, caller);
    work.workMatrix.assign(work.identityMatrix);
    return result;
}

CholeskyResult choleskyTest(MatrixWork& work, const MatrixCaller& caller)
{
    fitCompanions(work);
    WorkMatrix& s = work.choleskyScratch;
    s.assign(work.workMatrix);
    const int n = s.order();
    for (int i = 1; i <= n; ++i) {
        for (int j = i; j <= n; ++j) {
            double sum = s(i, j);
            for (int k = i - 1; k >= 1; --k)
                sum = sum - s(i, k) * s(j, k);
            if (i == j) {
                if (!(sum > 0.0))
                    return {false, i, caller.parameterOf(i)};
                work.choleskyDiagonal[static_cast<std::size_t>(i)] = std::sqrt(sum);
            } else {
                s(j, i) = sum / work.choleskyDiagonal[static_cast<std::size_t>(i)];
            }
        }
    }
    return {};
}

std::string decompositionFailureTitle(int parameterNumber)
{
    return "Matrix decompositon failure at parameter #" + numberText(parameterNumber) + "!";
}

std::string decompositionFailureText(DerivativeMode mode)
{
    if (mode == DerivativeMode::Analytical)
        return "Look for statistically dead parameters and/or suspect your analytical derivatives";
    return "Look for statistically dead model parameters";
}

void showDecompositionFailure(UserInterface& ui, int parameterNumber, DerivativeMode mode)
{
    ui.showMessage(decompositionFailureText(mode), decompositionFailureTitle(parameterNumber), Buttons::OK,
                   Icon::Exclamation);
}

} // namespace orvanta
