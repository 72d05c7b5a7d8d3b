#pragma once
// Property access by (window id, control id, property number, element index):
// the only way the program's logic reaches its controls.
#include <cstdint>

#include "core/types.h"

namespace bridge {

using namespace core;  // the bridge speaks in the shared types

// A property's value: a number, or a text (for text properties).
struct PropertyValue {
    std::int32_t number = 0;
    Text text;
    bool isText = false;

    static PropertyValue Number(std::int32_t n) { PropertyValue v; v.number = n; return v; }
    static PropertyValue FromText(Text t) { PropertyValue v; v.text = std::move(t); v.isText = true; return v; }
};

PropertyValue ReadProperty(std::uint32_t windowId, std::uint32_t controlId, int propertyNumber, int elementIndex);
void WriteProperty(std::uint32_t windowId, std::uint32_t controlId, int propertyNumber, int elementIndex,
                   const PropertyValue& value);

// The forms the logic uses: a text read as a new copy, a text or number written.
Text ReadTextProperty(std::uint32_t windowId, std::uint32_t controlId, int propertyNumber);
void WriteTextProperty(std::uint32_t windowId, std::uint32_t controlId, int propertyNumber, const Text& text);
void WriteNumberProperty(std::uint32_t windowId, std::uint32_t controlId, int propertyNumber, std::int32_t number);

}  // namespace bridge
