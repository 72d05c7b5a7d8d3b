// qalomir-find: the constants database from the command line (README "qalomir-find").
#include "finder/command.h"
#include "finder/console.h"

int main(int argc, char** argv) {
    const auto out = finder::StandardStream(false);
    const auto err = finder::StandardStream(true);
    return finder::RunFind(finder::ArgumentsUtf8(argc, argv), finder::ProgramFolder() + u8"API常量.mdb", *out, *err);
}
