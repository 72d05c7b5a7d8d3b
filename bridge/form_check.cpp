#include "bridge/form_check.h"

#include <set>

namespace bridge {
namespace {

bool CanHoldChildren(ControlKind kind) { return kind == ControlKind::GroupBox; }

}  // namespace

bool FormIsWellFormed(const FormDescription& form) {
    if (form.width < 0 || form.height < 0) return false;
    std::set<std::uint32_t> seen{form.controlId};
    std::set<std::uint32_t> containers;
    for (const ControlDescription& c : form.controls) {
        if (c.width < 0 || c.height < 0 || c.kind == ControlKind::Window) return false;
        if (c.parentId != 0 && !containers.count(c.parentId)) return false;
        if (!seen.insert(c.id).second) return false;
        if (CanHoldChildren(c.kind)) containers.insert(c.id);
    }
    return true;
}

}  // namespace bridge
