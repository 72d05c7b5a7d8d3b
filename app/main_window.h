#pragma once
// The program's one window: its description, ids and forum address.
#include <cstdint>

#include "bridge/form_description.h"

namespace app {

namespace main_window {

constexpr std::uint32_t kWindowId = 0x52010001;
constexpr std::uint32_t kWindowControl = 0x06010000;  // the window addressed as a control
constexpr std::uint32_t k标签1 = 0x160117CE;
constexpr std::uint32_t k分组框5 = 0x16010002;
constexpr std::uint32_t k编辑框_常量值十六 = 0x16010005;
constexpr std::uint32_t k标签15 = 0x16010006;
constexpr std::uint32_t k编辑框_常量值 = 0x16010007;
constexpr std::uint32_t k标签10 = 0x16010008;
constexpr std::uint32_t k按钮_Qalomir = 0x16010009;
constexpr std::uint32_t k标签9 = 0x1601000A;
constexpr std::uint32_t k编辑框_常量名 = 0x1601000B;

// The forum that the red label names and opens (a reserved example domain).
extern const char kForumHost[];
extern const char kForumAddress[];

const bridge::FormDescription& Form();

}  // namespace main_window

}  // namespace app
