#pragma once
// A few functions and types of the Windows API as the database will hold them,
// with the metadata's type texts and the layouts mingw-w64's GCC gives for
// i686 and x86_64: what the declaration tests and api_declarations_sample
// write from.
#include <map>
#include <string>
#include <string_view>

#include "finder/api_model.h"

namespace finder_test {

class SampleCatalog : public finder::TypeCatalog {
public:
    SampleCatalog();
    const finder::ApiType* Find(std::string_view name) const override;
    const finder::ApiFunction& Function(std::string_view name) const;  // aborts when absent
    const finder::ApiType& Type(std::string_view name) const;          // aborts when absent

    std::map<std::string, finder::ApiFunction, std::less<>> functions;
    std::map<std::string, finder::ApiType, std::less<>> types;
};

}  // namespace finder_test
