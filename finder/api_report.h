#pragma once
// A name that is a function or a type: what the command finds for it, and how
// it is printed (a short summary, or JSON with everything).
#include <string>
#include <vector>

#include "finder/api_model.h"
#include "finder/json_writer.h"

namespace finder {

struct ApiAnswer {
    std::vector<ApiFunction> functions;
    std::vector<ApiType> types;
    // Found for NAME+A and NAME+W when NAME itself is neither: the pair, and which
    // one UNICODE picks.
    std::string unicodePicks;

    bool Found() const { return !functions.empty() || !types.empty(); }
};

// A function: its DLL and signature; a record: size and alignment on both
// architectures; an interface: its IID and base; a line or two each.
std::string ApiText(const ApiAnswer& answer);
void ApiJson(JsonWriter& json, const ApiAnswer& answer);

}  // namespace finder
