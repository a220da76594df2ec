// The state of a run beyond the settings: what a fresh run starts from, and the one reset that tests use.
#ifndef TREMWIL_RUN_STATE_H
#define TREMWIL_RUN_STATE_H

// Puts the whole run back to its start: every setting (reset_settings), graphics mode left with the built-in
// font, the ten data sets, the user's axis limits, the overlay items, the colour slots and the four scales.
void reset_run_state();

#endif // TREMWIL_RUN_STATE_H
