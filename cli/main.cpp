#include "cli/cli.h"

#include <iostream>

int main(int argc, char* argv[])
{
    return ov::RunCli(argc, argv, std::cout, std::cerr, ov::SystemCliEnvironment());
}
