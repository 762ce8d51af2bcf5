#include "plots/PlotWindow.h"

#include "plots/PlotPalette.h"
#include "plots/SvgWriter.h"
#include "text/TextFile.h"
#include "ui/Desktop.h"
#include "ui/ReportWindow.h"
#include "ui/UserInterface.h"

#include <algorithm>
#include <cctype>
#include <stdexcept>

namespace orvanta {

PlotWindow::PlotWindow(std::string name, std::string caption, double graphWidth, double graphHeight)
    : Window(std::move(name), std::move(caption)), graph_(graphWidth, graphHeight)
{
}

const PlotControl& PlotWindow::control(const std::string& name) const
{
    for (const PlotControl& c : controls_)
        if (c.name == name)
            return c;
    throw std::out_of_range("no plot control " + name);
}

PlotControl& PlotWindow::mutableControl(const std::string& name)
{
    return const_cast<PlotControl&>(static_cast<const PlotWindow&>(*this).control(name));
}

const GraphCaption& PlotWindow::graphCaption(const std::string& name) const
{
    for (const GraphCaption& c : captions_)
        if (c.name == name)
            return c;
    throw std::out_of_range("no graph caption " + name);
}

GraphCaption& PlotWindow::mutableGraphCaption(const std::string& name)
{
    return const_cast<GraphCaption&>(static_cast<const PlotWindow&>(*this).graphCaption(name));
}

PlotPicture PlotWindow::picture() const
{
    std::vector<PictureCaption> captions;
    for (const GraphCaption& c : captions_)
        captions.push_back({c.left, c.top, c.caption});
    return makePicture(graph_, captions);
}

PlotControl& PlotWindow::addControl(PlotControl control)
{
    controls_.push_back(std::move(control));
    return controls_.back();
}

void PlotWindow::addGraphCaption(GraphCaption caption)
{
    captions_.push_back(std::move(caption));
}

void PlotWindow::setControlCaption(const std::string& name, std::string caption)
{
    mutableControl(name).caption = std::move(caption);
    notifyChanged();
}

void PlotWindow::setChecked(const std::string& name, bool checked)
{
    mutableControl(name).checked = checked;
    notifyChanged();
}

void PlotWindow::setControlEnabled(const std::string& name, bool enabled)
{
    mutableControl(name).enabled = enabled;
    notifyChanged();
}

void PlotWindow::setBoxText(const std::string& name, std::string text)
{
    mutableControl(name).text = std::move(text);
    notifyChanged();
}

void PlotWindow::addListItem(const std::string& name, std::string item)
{
    mutableControl(name).items.push_back(std::move(item));
    notifyChanged();
}

void PlotWindow::selectListItem(const std::string& name, int index)
{
    PlotControl& list = mutableControl(name);
    list.selected = index >= 0 && index < static_cast<int>(list.items.size()) ? index : -1;
    notifyChanged();
}

void PlotWindow::setGraphCaption(const std::string& name, std::string caption)
{
    mutableGraphCaption(name).caption = std::move(caption);
    notifyChanged();
}

void PlotWindow::moveGraphCaption(const std::string& name, double left)
{
    mutableGraphCaption(name).left = left;
    notifyChanged();
}

void PlotWindow::buttonClicked(const std::string& name)
{
    if (control(name).enabled)
        onButton(name);
}

void PlotWindow::checkBoxClicked(const std::string& name, bool checked)
{
    if (!control(name).enabled)
        return;
    setChecked(name, checked);
    onCheckBox(name);
}

void PlotWindow::listClicked(const std::string& name, int index)
{
    selectListItem(name, index);
    if (selectedItem(name) >= 0)
        onListClick(name);
}

void PlotWindow::listDoubleClicked(const std::string& name, int index)
{
    selectListItem(name, index);
    if (selectedItem(name) >= 0)
        onListDoubleClick(name);
}

void PlotWindow::textEdited(const std::string& name, std::string text)
{
    mutableControl(name).text = std::move(text);
}

PlotControl makeControl(PlotControl::Kind kind, std::string name, std::string caption, int column,
                        std::string frame)
{
    PlotControl c;
    c.kind = kind;
    c.name = std::move(name);
    c.caption = std::move(caption);
    c.column = column;
    c.frame = std::move(frame);
    return c;
}

void drawGridmarks(PlotSurface& graph, double right)
{
    const double spacing = (right - 720.0) / 10.0;
    for (int k = 0; k <= 9; ++k) {
        graph.line(720.0, 480.0 + 624.0 * k, 820.0, 480.0 + 624.0 * k, paletteCode::black);
        graph.line(right - spacing * k, 6720.0, right - spacing * k, 6620.0, paletteCode::black);
    }
}

void waitWhileOpen(const Desktop& desktop, const std::string& name, UserInterface& ui,
                   const std::function<bool()>& programEnded)
{
    while (desktop.isOpen(name) && !(programEnded && programEnded()))
        ui.waitForEvents();
}

namespace {

bool endsWithSvg(const std::string& path)
{
    if (path.size() < 4)
        return false;
    std::string extension = path.substr(path.size() - 4);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension == ".svg";
}

} // namespace

bool savePlotPicture(const PlotWindow& window, UserInterface& ui, const Clock& clock, FileSystem& files,
                     const std::function<std::string(const PlotPicture&)>& png)
{
    FileDialogRequest request;
    request.mode = FileDialogMode::Save;
    request.title = "Save picture as...";
    request.filter = fileFilter("PNG pictures (*.png)|*.png|SVG pictures (*.svg)|*.svg");
    request.defaultName = dateTimeName(clock, ".png");
    const std::optional<std::string> path = ui.chooseFile(request);
    if (!path)
        return false;
    const PlotPicture picture = window.picture();
    const std::string bytes = endsWithSvg(*path) ? writeSvg(picture) : png(picture);
    if (!saveFileBytes(*path, bytes, files)) {
        reportSaveFailure(ui, *path);
        return false;
    }
    return true;
}

} // namespace orvanta
