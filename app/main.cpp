#include "huvolo.h"

int main(int argc, char *argv[])
{
    huvolo::openStandardStreams();
    return huvolo::run(argc, argv);
}
