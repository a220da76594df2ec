// The run of tremwil: start-up, option parsing, checks of the settings, and one pass per data-file argument.
#ifndef TREMWIL_RUN_DRIVER_H
#define TREMWIL_RUN_DRIVER_H

// The whole program; returns the exit status of a normal end (other ends exit directly).
int run_tremwil(int argc, char** argv);

#endif // TREMWIL_RUN_DRIVER_H
