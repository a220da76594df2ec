// Saving one picture of the run: never over a data file of the run, never over another file's picture.
#ifndef TREMWIL_PICTURE_FILE_H
#define TREMWIL_PICTURE_FILE_H

#include <string>

// Saves the page as the PNG file name for the data file shown (data set 0). Refused, through error_func and with
// the file named, when name is a data file of the run (a data-file argument, argv from first_non_opt to its null
// entry, or a data set's file), or when this run already saved the picture of another data file there; saving the
// same file's picture again replaces it. A refused or failed save marks the run as failed. True when saved.
bool write_picture(const std::string& name, const std::string& comment, int first_non_opt, char** argv);

// Forgets the pictures saved and the data files seen, so that a test starts a new run.
void forget_saved_pictures();

#endif // TREMWIL_PICTURE_FILE_H
