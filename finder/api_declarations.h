#pragma once
// Declarations of DLL functions and of the types they take, ready to paste, in
// the languages of declarations.h (README "Functions and types"). Written from
// the model of api_model.h; the catalog resolves every type name they mention.
#include <string>
#include <vector>

#include "finder/api_model.h"
#include "finder/declarations.h"

namespace finder {

// i686 for 易语言 and VB6 (32-bit languages), x86_64 for the others.
Arch DefaultArch(Language language);

struct ApiDeclaration {
    std::string text;                   // the header the language needs, the types, then the functions
    std::vector<std::string> declared;  // the types written, in the order written (what they hold first)
    std::vector<std::string> askNext;   // types named but not written (those only pointed to), sorted
};

// Every function and type asked for, with the types they need written before
// them once each: a type brings what it holds by value (nested records,
// Parent.Child, records and callbacks it embeds); a function brings the records
// and callbacks its parameters take or point to (C brings none: it is written
// after <windows.h>). Types reached only through a pointer are named in a
// closing comment ("ask for next") and left out. A name the catalog lacks is
// written as a pointer-sized integer with a comment saying so.
ApiDeclaration DeclareApi(Language language, Arch arch, const std::vector<const ApiFunction*>& functions,
                          const std::vector<const ApiType*>& types, const TypeCatalog& catalog);

// One function, one type: DeclareApi's text.
std::string DeclareFunction(Language language, Arch arch, const ApiFunction& function, const TypeCatalog& catalog);
std::string DeclareType(Language language, Arch arch, const ApiType& type, const TypeCatalog& catalog);

}  // namespace finder
