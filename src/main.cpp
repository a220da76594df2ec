// Entry point of tremwil.
#include "cli/run_driver.h"

int main(int argc, char** argv)
{
    return run_tremwil(argc, argv);
}
