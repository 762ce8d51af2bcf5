#pragma once

// What every plot window has in common: a drawing surface "Graph" (PlotSurface), the captions
// laid on the graph (axis end values, range notes), and a column layout of ordinary controls
// (list boxes, text boxes, check boxes, buttons, notes and labels) beside it. The window
// subclasses (the data plot window, later the distribution and bivariate plot windows) declare
// their controls once in the constructor and react to the user through the virtual handlers;
// one generic Qt view (gui/PlotWindowView.h) renders any of them and forwards the events. Every
// plot window is modal: its opener waits (waitWhileOpen) until the user closes it.
//
// A plot window's picture (picture()) is the surface with the graph captions on it; the Qt view
// saves it as PNG or SVG ("Save picture..."), the batch program writes it with writeSvg.

#include "plots/PlotSurface.h"
#include "ui/CommandButton.h"
#include "ui/Window.h"

#include <functional>
#include <string>
#include <vector>

namespace orvanta {

class Clock;
class Desktop;
class FileSystem;
class UserInterface;

// A control of a plot window beside the graph. Which fields count depends on the kind.
struct PlotControl {
    enum class Kind {
        Label,    // text that the window changes (caption)
        Note,     // fixed text (caption)
        ListBox,  // heading above (caption), items, selected
        TextBox,  // caption beside, text, enabled
        CheckBox, // caption, toolTip, checked, enabled
        Button,   // caption (with "&"), toolTip, enabled
    };
    Kind kind = Kind::Label;
    std::string name;    // design name, e.g. "listXVar"
    std::string caption; // label text, list heading, box caption, check box or button caption
    std::string toolTip;
    int column = 0;    // 0, 1, ... from the graph rightwards
    std::string frame; // caption of the frame the control sits in; empty: none
    bool enabled = true;
    bool checked = false;
    std::string text;               // text box contents
    std::vector<std::string> items; // list box entries
    int selected = -1;              // list box selection, 0-based; -1 none
};

// A caption that stands on the graph at a twip position (top left corner), e.g. "lblXStart".
struct GraphCaption {
    std::string name;
    std::string caption;
    double left = 0.0;
    double top = 0.0;
};

class PlotWindow : public Window {
public:
    PlotWindow(std::string name, std::string caption, double graphWidth, double graphHeight);

    PlotSurface& graph() { return graph_; }
    const PlotSurface& graph() const { return graph_; }

    const std::vector<PlotControl>& controls() const { return controls_; }
    const PlotControl& control(const std::string& name) const;
    const std::vector<GraphCaption>& graphCaptions() const { return captions_; }
    const GraphCaption& graphCaption(const std::string& name) const;

    // The graph with its captions, as a picture to show or save.
    PlotPicture picture() const;
    // Tells the views that the graph was drawn on (they repaint).
    void graphChanged() { notifyChanged(); }

    // The user's actions, forwarded by the view. The control's new state is set first, then the
    // subclass reacts (onButton and the others).
    void buttonClicked(const std::string& name);
    void checkBoxClicked(const std::string& name, bool checked);
    void listClicked(const std::string& name, int index);
    void listDoubleClicked(const std::string& name, int index);
    // The user typed in a text box; the text is taken over without echoing it back.
    void textEdited(const std::string& name, std::string text);
    // The title bar's close button.
    virtual void closeRequested() = 0;

protected:
    PlotControl& addControl(PlotControl control);
    void addGraphCaption(GraphCaption caption);

    PlotControl& mutableControl(const std::string& name);
    void setControlCaption(const std::string& name, std::string caption);
    void setChecked(const std::string& name, bool checked);
    bool checked(const std::string& name) const { return control(name).checked; }
    void setControlEnabled(const std::string& name, bool enabled);
    void setBoxText(const std::string& name, std::string text);
    const std::string& boxText(const std::string& name) const { return control(name).text; }
    void addListItem(const std::string& name, std::string item);
    void selectListItem(const std::string& name, int index);
    int selectedItem(const std::string& name) const { return control(name).selected; }
    void setGraphCaption(const std::string& name, std::string caption);
    void moveGraphCaption(const std::string& name, double left);

    virtual void onButton(const std::string& /*name*/) {}
    virtual void onCheckBox(const std::string& /*name*/) {}
    virtual void onListClick(const std::string& /*name*/) {}
    virtual void onListDoubleClick(const std::string& /*name*/) {}

private:
    GraphCaption& mutableGraphCaption(const std::string& name);

    PlotSurface graph_;
    std::vector<PlotControl> controls_;
    std::vector<GraphCaption> captions_;
};

// A control of the given kind, design name, caption, column and frame.
PlotControl makeControl(PlotControl::Kind kind, std::string name, std::string caption, int column,
                        std::string frame = {});

// Draw_Gridmarks of the windows whose plot area spans x = 720..right (7200, or 8640 for the
// bivariate plot) and y = 480 (top) to 6720 (bottom): ten black ticks 100 twips long up the Y
// axis, 624 twips apart, and along the X axis, a tenth of the width apart.
void drawGridmarks(PlotSurface& graph, double right = 7200.0);

// "Save picture...": asks for a file (PNG or SVG, PNG preselected, a date-time default name) and
// writes the window's picture to it, as SVG when the name ends in ".svg" and otherwise as the
// PNG bytes that png makes of it (the windowing layer renders those). The file is replaced only
// once it is completely written; a failure is told to the user. False when cancelled or failed.
bool savePlotPicture(const PlotWindow& window, UserInterface& ui, const Clock& clock, FileSystem& files,
                     const std::function<std::string(const PlotPicture&)>& png);

// Lets interface events run until the window of that name is closed or the program has ended.
void waitWhileOpen(const Desktop& desktop, const std::string& name, UserInterface& ui,
                   const std::function<bool()>& programEnded);

} // namespace orvanta
