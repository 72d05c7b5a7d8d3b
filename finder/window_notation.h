#pragma once
// What the window shows for a stored value text, and the declaration it copies:
// the same steps as the window's query (app/query.cpp, app/notation.cpp), on
// any host.
#include <string>

namespace finder {

struct WindowBoxes {
    std::string decimal;  // the 常量值 box
    std::string hex;      // the 十六制 box (no 0x)
};

// A hexadecimal text keeps its digits as written and shows their low 32 bits
// as a signed decimal; a decimal text keeps its digits and shows the low 32
// bits of its value in upper-case hexadecimal.
WindowBoxes WhatTheWindowShows(const std::string& stored);

// ".版本 2", an empty line, then ".常量 name, "decimal"", lines ending in CR LF;
// with several constants, one line each after the one header.
std::string EDeclarationHeader();
std::string EConstantLine(const std::string& name, const std::string& decimal);

}  // namespace finder
