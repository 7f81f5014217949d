// varnex-cli: the meter protocol from the command line (decode captures, write sample captures).
#include "cli/CommandTable.h"

int main(int argc, char** argv)
{
    return varnex::cli::RunCommandLine(argc, argv, varnex::cli::CommandIo{});
}
