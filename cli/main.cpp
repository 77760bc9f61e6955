// Entry point of brisklet-cli, the command-line front end to the encryption engine.
#include "cli/CommandLine.h"

int main(int argc, char** argv) {
    return cli::runCommandLine(argc, argv);
}
