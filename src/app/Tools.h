#pragma once

namespace orvanta {

class Application;
class TarnfieldModel;

// Connects every tool of the workbench to the shell: the commands of the main menu, the hooks
// of the quit flow, and the model. The windowed and the command-line programs both start here.
void installTools(Application& app, TarnfieldModel& model);

} // namespace orvanta
