#include "model/ModelTitle.h"

namespace orvanta {

void setModelTitle(SessionState& session)
{
    session.modelTitle = tarnfieldModelTitle;
}

} // namespace orvanta
