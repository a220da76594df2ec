// The run of tremwil: start-up, option parsing, checks of the settings, and one pass per data-file argument.
#ifndef TREMWIL_RUN_DRIVER_H
#define TREMWIL_RUN_DRIVER_H

// The whole program; returns the exit status of a normal end (other ends exit directly).
int run_tremwil(int argc, char** argv);

// Gives data sets 1 to 9 that have a file the column choices of data set 0 they were not given.
void inherit_columns();

// Limit and widening checks through error_func, then the column clash warnings, in this order.
void check_settings();

// Writes the column announcement of data set 0 on standard output.
void announce_columns();

#endif // TREMWIL_RUN_DRIVER_H
