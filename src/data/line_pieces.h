// Parsing one run of whole lines on several threads: the run is cut at line feeds into pieces that are parsed
// at the same time and joined in order by the caller.
#ifndef TREMWIL_LINE_PIECES_H
#define TREMWIL_LINE_PIECES_H

#include <cstddef>
#include <functional>
#include <string_view>
#include <vector>

// The threads a reader uses for a file: requested (0 for one per core), at most max_parse_threads.
inline constexpr unsigned max_parse_threads = 16;
unsigned parse_threads(unsigned requested);

// text cut into count pieces that end right after a line feed (the last one at the end of text), in order; put
// together they are text again. The cuts are near even shares of the bytes, or, with seed != 0, at line feeds
// chosen at random from the seed (so that tests can put the cuts anywhere). Pieces may be empty.
std::vector<std::string_view> cut_at_line_feeds(std::string_view text, std::size_t count, unsigned seed);

// Calls work(0) .. work(count - 1), each on its own thread but the first, which runs on the caller's, and waits
// for all of them. The first exception thrown (by the lowest index) is thrown again once all have ended.
void run_on_threads(std::size_t count, const std::function<void(std::size_t)>& work);

#endif // TREMWIL_LINE_PIECES_H
