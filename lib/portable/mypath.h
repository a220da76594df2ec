// Path splitting into drive, directory, file name and extension, and the program's own absolute-path function.
#ifndef TREMWIL_MYPATH_H
#define TREMWIL_MYPATH_H

#include <cstddef>
#include <string>

// Splits real_path into its drive ("C:"), directory (up to the last "/" or "\" inclusive), file name and
// extension (from the last "." of the file-name part, the "." included). Every output may be null when it is not
// wanted; every wanted output is first set to the empty text. Returns 0, 12 when memory runs out, or 38 when a
// wanted part does not fit its buffer (parts filled before keep their values, later ones stay empty).
int explode_path_n(const char* real_path, char* drive, size_t drive_len, char* directory, size_t directory_len,
                   char* filename, size_t filename_len, char* extension, size_t extension_len);

// explode_path_n with buffers of 3, 256, 256 and 256 characters.
int explode_path(const char* path, char* drive, char* directory, char* filename, char* extension);

namespace tw
{

// Writes the absolute form of path into resolved (a buffer of PATH_MAX characters) and returns resolved: a
// relative path is joined with the current directory, and "." and ".." components and repeated separators are
// removed. The file need not exist and links are not followed. Returns null when path or resolved is null, path is
// empty, the current directory cannot be found, or the result does not fit PATH_MAX.
char* realpath(const char* path, char* resolved);

} // namespace tw

// The absolute form of a data file's name (tw::realpath). When it cannot be resolved the name is kept as given;
// with report set the system's reason is printed after "realpath" on standard error. "-" (standard input) stays "-".
std::string absolute_path(const std::string& name, bool report);

#endif // TREMWIL_MYPATH_H
