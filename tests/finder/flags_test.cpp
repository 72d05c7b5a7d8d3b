// Flag words split into names: composites, fields, aliases and what remains.
#include <gtest/gtest.h>

#include "finder/flags.h"

using namespace finder;

namespace {

std::vector<FlagName> WindowStyles() {
    return {
        {"WS_OVERLAPPED", 0, "winuser.h"},          {"WS_BORDER", 0x800000, "winuser.h"},
        {"WS_DLGFRAME", 0x400000, "winuser.h"},     {"WS_CAPTION", 0xC00000, "winuser.h"},
        {"WS_SYSMENU", 0x80000, "winuser.h"},       {"WS_THICKFRAME", 0x40000, "winuser.h"},
        {"WS_MINIMIZEBOX", 0x20000, "winuser.h"},   {"WS_MAXIMIZEBOX", 0x10000, "winuser.h"},
        {"WS_OVERLAPPEDWINDOW", 0xCF0000, "winuser.h"}, {"WS_TILEDWINDOW", 0xCF0000, "winuser.h"},
        {"WS_VISIBLE", 0x10000000, "winuser.h"},    {"WS_CLIPSIBLINGS", 0x4000000, "winuser.h"},
        {"WS_CLIPCHILDREN", 0x2000000, "winuser.h"}, {"WS_EX_COMPOSITED", 0x2000000, "winuser.h"},
        {"WS_POPUP", 0x80000000, "winuser.h"},
    };
}

std::vector<FlagName> MessageBoxFlags() {
    return {
        {"MB_OK", 0, "winuser.h"},           {"MB_OKCANCEL", 1, "winuser.h"},  {"MB_YESNO", 4, "winuser.h"},
        {"MB_TYPEMASK", 0xF, "winuser.h"},   {"MB_ICONQUESTION", 0x20, "winuser.h"},
        {"MB_ICONERROR", 0x10, "winuser.h"}, {"MB_ICONHAND", 0x10, "winuser.h"}, {"MB_ICONMASK", 0xF0, "winuser.h"},
        {"MB_DEFBUTTON2", 0x100, "winuser.h"}, {"MB_DEFMASK", 0xF00, "winuser.h"},
        {"MB_USEGLYPHCHARS", 4, "winnls.h"},  // another family's value, same bits as MB_YESNO
        {"MB_GROUPMASK", 0xFF, "winuser.h"},  // holds two fields: not a field itself
    };
}

std::string Formula(const FlagSplit& split) {
    std::string out;
    for (const FlagPart& p : split.parts) {
        out += (out.empty() ? "" : " | ") + p.name;
        if (!p.field.empty()) out += "[" + p.field + "]";
    }
    if (split.remainder) {
        char rest[32];
        std::snprintf(rest, sizeof rest, "0x%llX", static_cast<unsigned long long>(split.remainder));
        out += (out.empty() ? "" : " | ") + std::string(rest);
    }
    return out;
}

}  // namespace

TEST(FinderFlags, CompositeWinsOverItsBits) {
    const FlagSplit split = SplitFlags(0x16CF0000, WindowStyles());
    EXPECT_EQ(Formula(split), "WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | WS_VISIBLE");
    ASSERT_EQ(split.parts.size(), 4u);
    EXPECT_EQ(split.parts[0].aliases, std::vector<std::string>{"WS_TILEDWINDOW"});
    // Same value, fewer words: WS_CLIPCHILDREN is named, WS_EX_COMPOSITED is its alias.
    EXPECT_EQ(split.parts[1].aliases, std::vector<std::string>{"WS_EX_COMPOSITED"});
    EXPECT_EQ(Formula(SplitFlags(0xC80000, WindowStyles())), "WS_SYSMENU | WS_CAPTION");
}

TEST(FinderFlags, RemainderInHexadecimal) {
    EXPECT_EQ(Formula(SplitFlags(0x90CF0001, WindowStyles())), "WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_POPUP | 0x1");
    EXPECT_EQ(Formula(SplitFlags(0x3, WindowStyles())), "0x3");
    EXPECT_EQ(Formula(SplitFlags(0x3, {})), "0x3");
}

TEST(FinderFlags, FieldsNameTheirOneValue) {
    const FlagSplit split = SplitFlags(0x24, MessageBoxFlags());
    EXPECT_EQ(Formula(split), "MB_YESNO[MB_TYPEMASK] | MB_ICONQUESTION[MB_ICONMASK]");
    ASSERT_EQ(split.parts.size(), 2u);
    EXPECT_EQ(split.parts[0].fieldMask, 0xFu);
    EXPECT_EQ(split.parts[0].aliases, std::vector<std::string>{"MB_USEGLYPHCHARS"});
    // 5 is no value of the type field, though 1 and 4 are: the field's bits remain.
    EXPECT_EQ(Formula(SplitFlags(0x125, MessageBoxFlags())), "MB_ICONQUESTION[MB_ICONMASK] | MB_DEFBUTTON2[MB_DEFMASK] | 0x5");
    // A zero field goes without saying (MB_OK); aliases by source, words, then order.
    EXPECT_EQ(Formula(SplitFlags(0x10, MessageBoxFlags())), "MB_ICONERROR[MB_ICONMASK]");
}

TEST(FinderFlags, ZeroNamesTheZeroValues) {
    const FlagSplit split = SplitFlags(0, MessageBoxFlags());
    EXPECT_TRUE(split.parts.empty());
    EXPECT_EQ(split.zero, std::vector<std::string>{"MB_OK"});
    EXPECT_EQ(split.remainder, 0u);
}

TEST(FinderFlags, SixtyFourBitWords) {
    const std::vector<FlagName> names = {{"F_LOW", 1, "a.h"}, {"F_HIGH", 0x100000000ull, "a.h"},
                                         {"F_TOP", 0x8000000000000000ull, "a.h"}};
    EXPECT_EQ(Formula(SplitFlags(0x8000000100000003ull, names)), "F_LOW | F_HIGH | F_TOP | 0x2");
}
