// qalomir-find: the constants database from the command line (README "qalomir-find").
#include "lookup/command.h"
#include "lookup/console.h"

int main(int argc, char** argv) {
    const auto out = lookup::StandardStream(false);
    const auto err = lookup::StandardStream(true);
    return lookup::RunFind(lookup::ArgumentsUtf8(argc, argv), lookup::ProgramFolder() + u8"API常量.mdb", *out, *err);
}
