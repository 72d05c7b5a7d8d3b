// Converts "10" from hexadecimal and exits with the value read: 16 when the
// platform's parse was found, 0 when it was not.
#include "app/notation.h"
#include "core/runtime.h"

using namespace core;
using namespace app;

int main() {
    StartRuntime();
    EndProgram(HexTextToInt("10"));
}
