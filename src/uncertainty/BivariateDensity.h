#pragma once

// The joint density of two parameters that a posterior integration over exactly one grid
// parameter leaves behind: for every profile value x(i) of the evaluated parameter p and every
// grid value y(j) of the grid parameter q, the density exp(-(y - reference)) of that grid point
// relative to the reference of the integration (the starting point's -ln[L], unless a far better
// point moved it to keep the sums finite). The bivariate plot draws it and the grid file (.grd)
// saves it.

#include <cstddef>
#include <vector>

namespace orvanta {

struct BivariateDensity {
    int profileParam = 0;              // p
    int gridParam = 0;                 // q
    int profileCount = 0;              // N
    int gridCount = 0;                 // M
    std::vector<double> profileValues; // 1..N
    std::vector<double> gridValues;    // 1..M
    std::vector<double> densities;     // (i - 1) M + (j - 1), i = 1..N, j = 1..M
    double maxDensity = 0.0;
    double peakProfileValue = 0.0; // the pair where maxDensity occurs
    double peakGridValue = 0.0;

    // Sized for N x M and cleared; throws std::bad_alloc when the memory is not there.
    void allocate(int p, int q, int n, int m)
    {
        profileParam = p;
        gridParam = q;
        profileCount = n;
        gridCount = m;
        profileValues.assign(static_cast<std::size_t>(n) + 1, 0.0);
        gridValues.assign(static_cast<std::size_t>(m) + 1, 0.0);
        densities.assign(static_cast<std::size_t>(n) * static_cast<std::size_t>(m), 0.0);
        maxDensity = 0.0;
        peakProfileValue = 0.0;
        peakGridValue = 0.0;
    }

    bool empty() const { return profileCount < 1 || gridCount < 1; }

    double& density(int i, int j) { return densities[index(i, j)]; }
    double density(int i, int j) const { return densities[index(i, j)]; }

private:
    std::size_t index(int i, int j) const
    {
        return static_cast<std::size_t>(i - 1) * static_cast<std::size_t>(gridCount) +
               static_cast<std::size_t>(j - 1);
    }
};

} // namespace orvanta
