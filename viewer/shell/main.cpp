// main.cpp: the tessaly executable.
#include "shell/tessaly_main.hpp"

int main(int argc, char** argv)
{
    return tessaly::runTessaly(argc, argv);
}
