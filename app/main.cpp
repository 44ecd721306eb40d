#include "huvolo.h"

int main(int argc, char *argv[])
{
    return huvolo::run(argc, argv);
}
