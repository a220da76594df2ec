// The background finisher of saved pictures: a bounded queue and a few threads that commit its files in turn.
#include "png/save_finisher.h"

#include <algorithm>
#include <array>
#include <utility>

namespace
{

// Commits wait mostly on the disk: a few threads overlap those waits. Queued and running commits stay below the
// table of temporary files, leaving slots for the file being written and a save of the window mode.
constexpr std::size_t finishing_threads = 3;
constexpr std::size_t waiting_limit = twgr::pending_file_limit - 2;

} // namespace

namespace twgr
{

save_finisher& save_finisher::instance()
{
    static save_finisher finisher;
    return finisher;
}

save_finisher::~save_finisher()
{
    {
        const std::lock_guard<std::mutex> lock(lock_);
        stopping_ = true;
    }
    changed_.notify_all();
    for (std::thread& thread : threads_)
        thread.join();
}

void save_finisher::start_threads()
{
    const ending_signals_held held;
    for (std::size_t i = 0; i < finishing_threads; ++i)
        threads_.emplace_back([this] { work(); });
}

void save_finisher::hand_over(std::unique_ptr<replacement_file> file)
{
    std::unique_lock<std::mutex> lock(lock_);
    if (threads_.empty())
        start_threads();
    // An older commit of the same target must not be overtaken on another thread.
    changed_.wait(lock,
                  [&] { return queue_.size() + running_.size() < waiting_limit && !target_pending(file->target()); });
    queue_.push_back(std::move(file));
    lock.unlock();
    changed_.notify_all();
}

bool save_finisher::target_pending(const std::string& target) const
{
    return std::find(running_.begin(), running_.end(), target) != running_.end() ||
           std::any_of(queue_.begin(), queue_.end(), [&](const auto& file) { return file->target() == target; });
}

void save_finisher::wait_for_target(const std::string& target)
{
    std::unique_lock<std::mutex> lock(lock_);
    changed_.wait(lock, [&] { return !target_pending(target); });
}

std::vector<std::string> save_finisher::finish_all()
{
    std::unique_lock<std::mutex> lock(lock_);
    changed_.wait(lock, [this] { return queue_.empty() && running_.empty(); });
    return std::exchange(failed_, {});
}

void save_finisher::set_before_commit(commit_hook hook)
{
    const std::lock_guard<std::mutex> lock(lock_);
    before_commit_ = hook;
}

// Takes files in the order they came; the pending queue is drained before a stopping thread ends.
void save_finisher::work()
{
    std::unique_lock<std::mutex> lock(lock_);
    for (;;) {
        changed_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
        if (queue_.empty())
            return;
        std::unique_ptr<replacement_file> file = std::move(queue_.front());
        queue_.pop_front();
        const std::string target = file->target();
        running_.push_back(target);
        const commit_hook hook = before_commit_;
        lock.unlock();
        if (hook != nullptr)
            hook(target);
        const bool committed = file->commit();
        file.reset();
        lock.lock();
        running_.erase(std::find(running_.begin(), running_.end(), target));
        if (!committed)
            failed_.push_back(target);
        changed_.notify_all();
    }
}

} // namespace twgr
