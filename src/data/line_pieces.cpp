// Cutting a run of lines into pieces and running work on threads.
#include "data/line_pieces.h"

#include <algorithm>
#include <exception>
#include <random>
#include <thread>

unsigned parse_threads(unsigned requested)
{
    const unsigned wanted = requested != 0 ? requested : std::max(1u, std::thread::hardware_concurrency());
    return std::min(wanted, max_parse_threads);
}

namespace
{

// The offset just past the first line feed at or after at; the end of text when there is none.
std::size_t after_line_feed(std::string_view text, std::size_t at)
{
    if (at == 0)
        return 0;
    const std::size_t feed = text.find('\n', at - 1);
    return feed == std::string_view::npos ? text.size() : feed + 1;
}

} // namespace

std::vector<std::string_view> cut_at_line_feeds(std::string_view text, std::size_t count, unsigned seed)
{
    std::vector<std::size_t> cuts;
    std::mt19937 random(seed);
    for (std::size_t k = 1; k < count; ++k) {
        const std::size_t share =
            seed != 0 ? std::uniform_int_distribution<std::size_t>(0, text.size())(random) : text.size() / count * k;
        cuts.push_back(after_line_feed(text, share));
    }
    std::sort(cuts.begin(), cuts.end());
    cuts.push_back(text.size());
    std::vector<std::string_view> pieces;
    std::size_t begin = 0;
    for (const std::size_t end : cuts) {
        pieces.push_back(text.substr(begin, end - begin));
        begin = end;
    }
    return pieces;
}

void run_on_threads(std::size_t count, const std::function<void(std::size_t)>& work)
{
    std::vector<std::exception_ptr> failures(count);
    const auto guarded = [&](std::size_t k) {
        try {
            work(k);
        } catch (...) {
            failures[k] = std::current_exception();
        }
    };
    {
        std::vector<std::jthread> threads;
        for (std::size_t k = 1; k < count; ++k)
            threads.emplace_back(guarded, k);
        guarded(0);
    }
    for (const std::exception_ptr& failure : failures)
        if (failure)
            std::rethrow_exception(failure);
}
