#include "algorithm/EditValuesDialog.h"

#include "algorithm/AlgorithmEditor.h"
#include "app/Application.h"

#include <memory>

namespace orvanta {

namespace {

AlgorithmEditor* findEditor(Application& app)
{
    return app.desktop.find<AlgorithmEditor>(AlgorithmEditor::windowName);
}

// Closes the dialog (destroying it), then lets the editor do the button's work.
template <typename Work> void closeThen(Application& app, Work work)
{
    app.desktop.close(EditValuesDialog::windowName);
    if (AlgorithmEditor* editor = findEditor(app))
        work(*editor);
}

} // namespace

EditValuesDialog::EditValuesDialog(Application& app)
    : Window(windowName, "Edit all parameters"),
      app_(app), buttons_{
                     {"cmdProp", "Change &all values and step sizes (proportionately)", "", 0, true},
                     {"cmdFree", "Change &free values and step sizes (proportionately)", "", 1, true},
                     {"cmdNoProp", "Change all values but &not their step sizes", "", 2, true},
                     {"Change_Fraction", "Change only the step size &proportionality constant", "", 3, true},
                     {"cmdUnFuse", "Unfuse all values", "", 4, true},
                 }
{
}

void EditValuesDialog::cmdProp_Click()
{
    closeThen(app_, [](AlgorithmEditor& editor) { editor.editValues(ValueSequence::AllProportional); });
}

void EditValuesDialog::cmdFree_Click()
{
    closeThen(app_, [](AlgorithmEditor& editor) { editor.editValues(ValueSequence::FreeProportional); });
}

void EditValuesDialog::cmdNoProp_Click()
{
    closeThen(app_, [](AlgorithmEditor& editor) { editor.editValues(ValueSequence::ValuesOnly); });
}

void EditValuesDialog::Change_Fraction_Click()
{
    closeThen(app_,
              [](AlgorithmEditor& editor) { editor.askStepProportion(EmptyProportionAnswer::EndsQuestion); });
}

void EditValuesDialog::cmdUnFuse_Click()
{
    closeThen(app_, [](AlgorithmEditor& editor) { editor.unfuseAll(); });
}

void EditValuesDialog::buttonClicked(const std::string& name)
{
    if (name == "cmdProp")
        cmdProp_Click();
    else if (name == "cmdFree")
        cmdFree_Click();
    else if (name == "cmdNoProp")
        cmdNoProp_Click();
    else if (name == "Change_Fraction")
        Change_Fraction_Click();
    else if (name == "cmdUnFuse")
        cmdUnFuse_Click();
}

void EditValuesDialog::closeRequested()
{
    app_.desktop.close(windowName);
}

void openEditValuesDialog(Application& app)
{
    if (app.desktop.isOpen(EditValuesDialog::windowName)) {
        app.desktop.raise(EditValuesDialog::windowName);
        return;
    }
    AlgorithmEditor* editor = findEditor(app);
    if (!editor)
        return;
    // The dialog works like a modal one: the editor waits for it.
    editor->setEnabled(false);
    app.desktop.open(std::make_unique<EditValuesDialog>(app));
    app.desktop.onClose(EditValuesDialog::windowName, [&app] {
        if (AlgorithmEditor* owner = findEditor(app))
            owner->setEnabled(true);
    });
}

} // namespace orvanta
