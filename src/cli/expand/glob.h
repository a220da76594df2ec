// Wildcard expansion of the command-line arguments, the same whatever the shell did with them.
#ifndef TREMWIL_GLOB_H
#define TREMWIL_GLOB_H

// Most directory entries and brace alternatives examined while one argument is expanded (one more is looked at
// before the expansion stops, with a warning that names the argument).
constexpr long glob_entry_budget = 100000;
// Deepest nesting of brace alternatives and wildcard directory parts below an argument; deeper patterns fail.
constexpr int glob_max_depth = 8;

// Replaces *argc and *argv by the vector in which every argument from index first on is expanded as a
// file-name pattern (the ones before it stay as they are): "*", "?" and bracket expressions in any path component,
// letter case ignored; brace alternatives; a backslash is an ordinary character. The results of one argument are sorted
// in byte order; an argument that matches nothing, or whose expansion fails, stays as it is. The new vector (followed
// by a null entry) and its texts live until the program ends; the old ones are left as they are. Returns 0.
int do_glob(int* argc, char*** argv, int first = 0);

#endif // TREMWIL_GLOB_H
