// Sorting the rows of a data set by z.
#pragma once

#include <vector>

// Puts z in the order of <, with -0 equal to +0 and every NaN last, each z keeping its exact bits; rows of equal z
// keep their file order. The rows of every column of others (each as long as z) move along with their z.
void sort_by_z(std::vector<double>& z, std::vector<std::vector<double>*> others);
