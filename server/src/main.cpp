#include "Admin.h"

#include <iostream>

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    vendra::server::CommandContext ctx{std::cout, std::cerr, std::cin};
    return vendra::server::RunCommand(args, ctx);
}
