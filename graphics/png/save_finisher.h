// Finishing saved pictures in the background: flushing each to the disk and renaming it over its target takes
// milliseconds of waiting per file, which a run over many files need not spend on its own path.
#ifndef TWGR_SAVE_FINISHER_H
#define TWGR_SAVE_FINISHER_H

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "png/replace_file.h"

namespace twgr
{

// Commits written replacement files on a few threads. At most a few files wait at once (the caller waits for
// room), so that the table of temporary files a signal removes never fills. The threads never take the ending
// signals: those reach the thread that writes the pictures, where the table cannot change under the handler.
class save_finisher
{
public:
    static save_finisher& instance();
    ~save_finisher(); // finishes what is pending
    save_finisher(const save_finisher&) = delete;
    save_finisher& operator=(const save_finisher&) = delete;

    // Waits for room and for any pending commit of the same target, then queues the file's commit.
    void hand_over(std::unique_ptr<replacement_file> file);
    // Waits until no commit of target is pending, so that a later save of it cannot be overtaken by an older one.
    void wait_for_target(const std::string& target);
    // Waits for every pending commit; returns the targets whose commit failed since the last call.
    std::vector<std::string> finish_all();

    // Runs in the finishing thread just before each commit; for tests that make a commit fail.
    using commit_hook = void (*)(const std::string& target);
    void set_before_commit(commit_hook hook);

private:
    save_finisher() = default;
    void start_threads();
    void work();
    bool target_pending(const std::string& target) const;

    std::mutex lock_;
    std::condition_variable changed_;
    std::deque<std::unique_ptr<replacement_file>> queue_;
    std::vector<std::string> running_; // targets being committed now
    std::vector<std::string> failed_;
    std::vector<std::thread> threads_;
    commit_hook before_commit_ = nullptr;
    bool stopping_ = false;
};

} // namespace twgr

#endif // TWGR_SAVE_FINISHER_H
