// The page of a followed data file: drawn again as rows arrive, at most every --every seconds; a saving run saves
// it again each time, a window keeps taking its keys meanwhile.
#ifndef TREMWIL_FOLLOW_VIEW_H
#define TREMWIL_FOLLOW_VIEW_H

#include <string>

#include "data/byte_source.h"
#include "follow/follower.h"
#include "view/page_steps.h"
#include "view/picture_file.h"

// Shows the page of the rows read into data set 0 and follows the file, in graphics mode. A saving run returns
// next when the stream ends and quit on a stop signal (its last picture stays whole); a window stops following at
// the stream's end and returns the step of a key that leaves the page, or quit on a stop signal.
next_step follow_page(follower& rows, bool first_file, const std::string& option_words, picture_files& pictures,
                      kept_inputs& inputs);

// The follower of data set 0's file under the run's --last and --every, starting from the run's column switches.
follower follower_of_run(const data& shown, const column_switches& switches);

#endif // TREMWIL_FOLLOW_VIEW_H
