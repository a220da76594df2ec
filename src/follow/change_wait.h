// Waiting for a followed file to change without spinning: inotify on Linux (the file and its folder's entry of
// that name), poll on a stream's descriptor, and else a look every period. A stop signal ends every wait.
#ifndef TREMWIL_CHANGE_WAIT_H
#define TREMWIL_CHANGE_WAIT_H

#include <string>

#include "follow/followed_file.h"

class change_wait
{
public:
    // For file, looked at every period_ms where no change can be awaited.
    change_wait(const followed_file& file, int period_ms);
    ~change_wait();
    change_wait(const change_wait&) = delete;
    change_wait& operator=(const change_wait&) = delete;

    // After the file was opened anew under its name: the new file is the one to watch.
    void rewatch(const followed_file& file);
    // Returns when the file may have news, a stop signal came, or timeout_ms passed (-1: as long as it takes).
    void wait(int timeout_ms);
    // Whether changes are awaited (inotify or a stream) rather than looked for every period.
    bool awaits_changes() const;

private:
    int wait_for_notice(int timeout_ms);
    bool relevant_notices();

    int period_ms_;
    int stream_fd_ = -1;
    int notify_fd_ = -1;
    int folder_watch_ = -1;
    int file_watch_ = -1;
    std::string base_name_; // the file's name in its folder
};

#endif // TREMWIL_CHANGE_WAIT_H
