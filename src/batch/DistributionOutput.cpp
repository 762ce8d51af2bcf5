#include "batch/DistributionOutput.h"

#include "plots/SvgWriter.h"
#include "text/TextFile.h"
#include "ui/ReportWindow.h"

#include <memory>
#include <ostream>

namespace orvanta {

bool writeReportFile(const std::string& windowName, const std::string& text, const std::string& path,
                     const std::string& commandName, std::ostream& err)
{
    std::unique_ptr<ReportWindow> window = makeReportWindow(windowName);
    window->setText(text);
    if (window->saveAs(path, realFileSystem()))
        return true;
    err << commandName << ": the report file '" << path << "' cannot be written\n";
    return false;
}

bool writeDistributionPlot(const DistributionProfile& profile, int parameter, DistributionSource source,
                           const std::string& path, const std::string& commandName, std::ostream& err)
{
    DistributionPlotWindow window(profile, parameter, source, [] {});
    window.cmdClear_Click();
    for (const int curve : {2, 1}) {
        window.listClicked("listVar", curve - 1);
        window.cmdPlot_Click();
    }
    if (saveFileBytes(path, writeSvg(window.picture())))
        return true;
    err << commandName << ": the picture '" << path << "' cannot be written\n";
    return false;
}

} // namespace orvanta
