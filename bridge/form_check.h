#pragma once
// Whether a window description can be built: unique ids, parents described before
// their children, sizes that are not negative.
#include "bridge/form_description.h"

namespace bridge {

bool FormIsWellFormed(const FormDescription& form);

}  // namespace bridge
