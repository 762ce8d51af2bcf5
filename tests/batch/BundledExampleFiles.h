#pragma once

// The bundled example's files (examples/README.md) as the batch tests use them, and algorithm
// files made from its algorithm file.

#include "app/MainMenu.h"
#include "support/ExampleModels.h"

#include <map>
#include <string>

namespace orvanta::testing {

inline const std::string examples = ORVANTA_EXAMPLES_DIR;
inline const std::string lengths = examples + "/tarnfield-lengths.dat";
inline const std::string tags = examples + "/tarnfield-tags.dat";

// The bundled algorithm file's options with the parameters at the true values, free only where
// steps says so and changed where changes says so, written to path.
inline void writeExampleAlgorithm(const std::string& path, const std::map<int, double>& steps,
                                  const std::map<int, double>& changes = {})
{
    writeExampleModel(examples, path, {steps, changes});
}

// The windowed program's engine with every tool installed, talking to a scripted user, to do on
// the bundled example what a batch command does.
struct WindowedExample : ScriptedProgram {
    // "&Initialize model" with both data files, then "&Load algorithm data" of algorithmFile.
    void loadExample(const std::string& algorithmFile)
    {
        initializeBundledExample(app, model, examples);
        ui.answer(Answer::Yes).pickFile(algorithmFile);
        app.mainMenuButtonClicked(menuButton::loadAlg);
    }
};

} // namespace orvanta::testing
