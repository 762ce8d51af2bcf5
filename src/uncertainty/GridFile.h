#pragma once

// The grid file (.grd) of a posterior integration over one grid parameter: the joint density of
// the evaluated parameter p and the grid parameter q, one line per pair of values:
//   "Bivariate plot data for parameters 1 and 2 "   (numbers as a print list writes them)
//   "        X_Coord,        Y_Coord,  Prob_Density"
//   one line per pair, profile value i = 1..N outer, grid value j = 1..M inner: x(i) in
//   "    0.0000E+000", y(j) in "     0.0000E+000", the density in "    0.0000E+000".
// Lines end with CR LF in the file.

#include <string>

namespace orvanta {

class FileSystem;
class UserInterface;
struct BivariateDensity;

namespace gridFile {
inline constexpr const char* dialogTitle = "Save grid values in...";
inline constexpr const char* filterEntry = "Grid files (*.grd)|*.grd";
inline constexpr const char* defaultName = ".grd";
} // namespace gridFile

// The file's text, with "\n" line ends.
std::string gridFileText(const BivariateDensity& density);

// saveGridFile: the save dialog (the grid files preselected, the name preset to ".grd"), then
// the file, written through a temporary file so that a failed save leaves any earlier file
// whole. Cancel ends it silently; a failed write is told to the user. True when written.
bool saveGridFile(const BivariateDensity& density, UserInterface& ui, FileSystem& files);

} // namespace orvanta
