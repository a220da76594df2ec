// Response files: an argument "@name" or "$name" stands for the lines of the file name, one argument per line.
#ifndef TREMWIL_AT_FILE_H
#define TREMWIL_AT_FILE_H

// Deepest nesting of response files; a file that names itself, directly or through others, stops here.
constexpr int max_response_file_depth = 32;
// Most lines and bytes that the response files of one expansion may bring, all files together.
constexpr long max_response_arguments = 1'000'000;
constexpr long max_response_bytes = 256L << 20;

// Replaces *argc and *argv by the vector with every response file expanded and every "#" comment line of a
// response file dropped (a command-line argument starting with "#" stays), followed by a null entry. Each file is
// read once. The new vector and its texts live until the program ends; the old ones are left as they are. Ends the
// run with status 1 when response files nest too deep, bring more than the lines or bytes above, or memory runs
// out. Returns 0.
int rebuild_argv(int* argc, char*** argv);

// Expands one command-line argument. With argv null, adds to *argc the number of arguments that arg produces;
// otherwise stores them (copies that live until the program ends) at argv[*argc] onwards, keeps argv[*argc] null
// after each, and advances *argc. The caller's array must have room for them and the null entry. Returns 0.
int add_arg_to_argv(int* argc, char** argv, char* arg);

#endif // TREMWIL_AT_FILE_H
