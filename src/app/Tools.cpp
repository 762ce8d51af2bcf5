#include "app/Tools.h"

#include "app/Application.h"
#include "model/InitializationWindow.h"

namespace orvanta {

void installTools(Application& app, TarnfieldModel& model)
{
    installInitialization(app, model);
}

} // namespace orvanta
