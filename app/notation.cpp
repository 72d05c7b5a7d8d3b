#include "app/notation.h"

#include <windows.h>

#include <array>

#include "app/call_gate.h"
#include "core/external_functions.h"
#include "core/text_commands.h"

namespace app {

using namespace core;

namespace {

constexpr int STIF_SUPPORT_HEX_FLAG = 1;

CallWord AddressWord(const void* address) {
    return reinterpret_cast<CallWord>(address);
}

}  // namespace

void CallStrToIntEx(const Text& text, int flags, int& result) {
    std::array<CallWord, 3> arguments{};
    const HMODULE shlwapi = ExternalLoadLibraryA("shlwapi.dll");
    if (!shlwapi) return;
    const FARPROC strToIntEx = ExternalGetProcAddress(shlwapi, "StrToIntExA");
    if (!strToIntEx) return;  // never call through an empty address

    Text parsed = text;
    arguments[0] = AddressWord(ExternalLstrcpynText(&parsed[0], parsed.c_str(), 0));
    arguments[1] = flags;
    arguments[2] = AddressWord(ExternalLstrcpynInt(&result, &result, 0));
    ExternalCallWindowProcA(CallGate, reinterpret_cast<HWND>(strToIntEx), static_cast<UINT>(arguments.size()),
                            reinterpret_cast<WPARAM>(arguments.data()), 0);
}

int HexTextToInt(const Text& text) {
    int result = 0;
    const Text prefixed = CompareTexts(LeftText(text, 2), "0x") == 0 ? text : ConcatTexts("0x", text);
    CallStrToIntEx(prefixed, STIF_SUPPORT_HEX_FLAG, result);
    return result;
}

Text IntToHexText(int value) {
    Text buffer = BlankText(255);
    ExternalWvsprintfA(&buffer[0], "%X", reinterpret_cast<va_list>(&value));
    return Text(buffer.c_str());
}

Text BuildDeclarationText(const Text& name, const Text& decimal) {
    return ConcatTexts(".版本 2\r\n\r\n.常量 ", name, ", \"", decimal, "\"");
}

}  // namespace app
