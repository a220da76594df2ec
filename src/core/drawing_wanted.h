// A long drawing asks now and then whether its picture is still wanted: the window's view loop abandons one
// that a newer view request has made useless. Without a window nothing is asked and every picture is finished.
#ifndef TREMWIL_DRAWING_WANTED_H
#define TREMWIL_DRAWING_WANTED_H

using drawing_wanted_check = bool (*)();

// Sets the check (null: every drawing is wanted); returns the one before.
drawing_wanted_check set_drawing_wanted_check(drawing_wanted_check check);

// False once the check has said that the picture being drawn will not be shown.
bool drawing_wanted();

#endif // TREMWIL_DRAWING_WANTED_H
