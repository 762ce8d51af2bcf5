#include "uncertainty/GridFile.h"

#include "text/NumberText.h"
#include "text/TextFile.h"
#include "ui/ReportWindow.h"
#include "ui/UserInterface.h"
#include "uncertainty/BivariateDensity.h"

#include <cstddef>
#include <optional>

namespace orvanta {

namespace {

// A whole number as a print list writes it: its sign or a blank before it, a blank after it.
std::string printListNumber(int value)
{
    return (value < 0 ? "" : " ") + numberText(value) + " ";
}

} // namespace

std::string gridFileText(const BivariateDensity& d)
{
    std::string text = "Bivariate plot data for parameters" + printListNumber(d.profileParam) + "and" +
                       printListNumber(d.gridParam) + "\n";
    text += "        X_Coord,        Y_Coord,  Prob_Density\n";
    for (int i = 1; i <= d.profileCount; ++i) {
        const std::string x = formatNumber(d.profileValues[static_cast<std::size_t>(i)], "    0.0000E+000");
        for (int j = 1; j <= d.gridCount; ++j)
            text += x + formatNumber(d.gridValues[static_cast<std::size_t>(j)], "     0.0000E+000") +
                    formatNumber(d.density(i, j), "    0.0000E+000") + "\n";
    }
    return text;
}

bool saveGridFile(const BivariateDensity& density, UserInterface& ui, FileSystem& files)
{
    FileDialogRequest request;
    request.mode = FileDialogMode::Save;
    request.title = gridFile::dialogTitle;
    request.filter = fileFilter(gridFile::filterEntry);
    request.filterIndex = 2;
    request.defaultName = gridFile::defaultName;
    const std::optional<std::string> path = ui.chooseFile(request);
    if (!path)
        return false;
    if (!saveTextFile(*path, gridFileText(density), files)) {
        reportSaveFailure(ui, *path);
        return false;
    }
    return true;
}

} // namespace orvanta
