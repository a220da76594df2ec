// The reading steps of a pass: data set 0 from the current file, then data sets 1 to 9.
#ifndef TREMWIL_DATA_PASSES_H
#define TREMWIL_DATA_PASSES_H

#include "data/byte_source.h"
#include "data/draw_types.h"

class data;

// Reads data set 0 (its fname set by the caller) and widens its ranges. A file that yields no rows cannot be
// scaled: it is reported through error_func ("no data in file %s\n"), and under --error-as-warning the result
// is false, telling the caller to skip this file (no picture; go on with the next argument).
// A line lacking a needed column ends the run with status 1. Inputs that can be read only once (standard input,
// pipes) are read through inputs, which keeps them for the run. The column switches the reader turns on are
// carried in switches for the files read after it, and a file found to have one column gives data set 0 y column 1.
bool read_reference_data_set(kept_inputs& inputs, column_switches& switches);

// --by: the rows of data set 0, read into their groups, become one data set each, named by its value, sorted as a
// file's rows are and with its ranges widened; data set 0 has the ranges of the whole file. A file of more values
// than data sets ends the run.
void split_by_groups(data& d, const column_switches& switches);

// Reads every data set 1 to 9 that has a file name, resolving "@N" references to data set N's file name
// first, and widens their ranges, carrying the column switches as read_reference_data_set does. A data set
// without rows is simply not drawn.
void read_extra_data_sets(kept_inputs& inputs, column_switches& switches);

#endif // TREMWIL_DATA_PASSES_H
