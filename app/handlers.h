#pragma once
// Event handlers of the main window: created, destroyed, the forum label.
#include "bridge/form_description.h"

namespace app {

void OnWindowCreated(const bridge::EventArgs&);
void OnWindowDestroyed(const bridge::EventArgs&);
void OnForumLabelPressed(const bridge::EventArgs&);

}  // namespace app
