#pragma once
// The query button's handler: the constant's value in both notations, then the
// offer to copy its declaration.
#include "bridge/form_description.h"

namespace app {

void OnQueryClicked(const bridge::EventArgs&);

}  // namespace app
