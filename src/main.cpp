// Vesperfall: the start window is the first window.

#include "frontend/Application.h"

int main(int argc, char** argv)
{
    return runVesperfall(argc, argv);
}
