#pragma once
// Event handlers of the main window.
#include "bridge/form_description.h"

void OnWindowCreated(const EventArgs&);
void OnWindowDestroyed(const EventArgs&);
void OnForumLabelPressed(const EventArgs&);
void OnQueryClicked(const EventArgs&);
