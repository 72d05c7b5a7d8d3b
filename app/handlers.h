#pragma once
// Event handlers of the main window.
#include "bridge/form_description.h"

namespace app {

void OnWindowCreated(const bridge::EventArgs&);
void OnWindowDestroyed(const bridge::EventArgs&);
void OnForumLabelPressed(const bridge::EventArgs&);
void OnQueryClicked(const bridge::EventArgs&);

}  // namespace app
