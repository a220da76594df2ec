// Saving the pictures of one run: never over a data file of the run, never over another file's picture.
#ifndef TREMWIL_PICTURE_FILE_H
#define TREMWIL_PICTURE_FILE_H

#include <map>
#include <optional>
#include <string>
#include <sys/types.h>
#include <utility>
#include <vector>

#include "core/settings.h"
#include "twgr.h"

using file_id = std::pair<dev_t, ino_t>;

// What a save writes: the page's pixels as a PNG, or the recording of its drawing as SVG or PDF.
struct picture_source {
    picture_kind kind = PICTURE_PNG;
    const GrRecording* recording = nullptr; // the page's recording, for SVG and PDF
    double points_per_pixel = 1.0;          // the size of a pixel on a vector page
};

// Data files by place (the folder resolved, the last part as written) and by identity (a hard link or a link to
// one is the same file), with their names as given.
class data_file_index
{
public:
    void add(const std::string& given);
    // The data file that a picture saved at place (with identity target) would replace, or null.
    const std::string* replaced_by(const std::string& place, const std::optional<file_id>& target) const;

private:
    std::map<std::string, std::string> by_place_;
    std::map<file_id, std::string> by_id_;
};

// The record of one run's saves; the run loop owns it.
class picture_files
{
public:
    explicit picture_files(const std::vector<std::string>& data_file_arguments);
    // Saves the page as name for the data file shown (data set 0). Refused, through error_func and with the file
    // named, when name is a data file of the run (a data-file argument or a data set's file), or when this run
    // already saved the picture of another data file there; saving the same file's picture again replaces it. A
    // refused or failed save marks the run as failed. True when saved. With later, the picture is finished
    // (flushed to the disk and renamed over name) in the background, and a failure to finish is told by finish().
    bool save(const std::string& name, const std::string& comment, bool later, const picture_source& source = {});
    // Waits for the saves finishing in the background; each that failed is told, with its file named, and marks
    // the run as failed.
    void finish();

private:
    data_file_index arguments_;                // built once: a run may have many data-file arguments
    std::map<std::string, std::string> saved_; // place of each picture saved -> place of the data file it shows
};

#endif // TREMWIL_PICTURE_FILE_H
