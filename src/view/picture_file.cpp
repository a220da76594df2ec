// The checks before a picture is saved, and the record of the pictures this run saved.
#include "view/picture_file.h"

#include <filesystem>
#include <map>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

#include "core/messages.h"
#include "data/byte_source.h"
#include "data/data_set.h"
#include "twgr.h"

namespace
{

namespace fs = std::filesystem;

// A file's place as the folder sees it: the folder resolved, the last part as written, so that "./a.png",
// "a.png" and "../here/a.png" agree while a link at the name stays the link (saving replaces the link).
std::string place_of(const std::string& name)
{
    std::error_code ec;
    const fs::path path = fs::absolute(fs::path(name), ec).lexically_normal();
    if (ec)
        return name;
    const fs::path folder = fs::weakly_canonical(path.parent_path(), ec);
    return ec ? path.string() : (folder / path.filename()).string();
}

std::optional<file_id> id_of(const std::string& name, bool follow_link)
{
    struct stat info {
    };
    const int result = follow_link ? stat(name.c_str(), &info) : lstat(name.c_str(), &info);
    if (result != 0)
        return std::nullopt;
    return file_id{info.st_dev, info.st_ino};
}

// The data set files change from pass to pass ("@0" follows the file shown): looked at anew each time.
data_file_index data_set_files()
{
    data_file_index index;
    for (const data& d : mydata)
        if (!d.fname.empty())
            index.add(d.fname);
    return index;
}

void tell_unfinished(const char* name, void*)
{
    note_run_failure();
    error_func("can't save %s\n", name);
}

bool refused(const char* fmt, const std::string& name, const std::string& other)
{
    note_run_failure();
    error_func(fmt, name.c_str(), other.c_str());
    return false;
}

} // namespace

void data_file_index::add(const std::string& given)
{
    if (is_standard_input(given)) {
        // Standard input has no name, but when it is a regular file (tremwil - <in.dat) that file is a data file.
        struct stat info {
        };
        if (fstat(STDIN_FILENO, &info) == 0 && S_ISREG(info.st_mode))
            by_id_.emplace(file_id{info.st_dev, info.st_ino}, given);
        return;
    }
    by_place_.emplace(place_of(given), given);
    for (bool follow : {true, false})
        if (const auto id = id_of(given, follow))
            by_id_.emplace(*id, given);
}

const std::string* data_file_index::replaced_by(const std::string& place, const std::optional<file_id>& target) const
{
    if (const auto at = by_place_.find(place); at != by_place_.end())
        return &at->second;
    if (const auto at = target ? by_id_.find(*target) : by_id_.end(); at != by_id_.end())
        return &at->second;
    return nullptr;
}

picture_files::picture_files(const std::vector<std::string>& data_file_arguments)
{
    for (const std::string& file : data_file_arguments)
        arguments_.add(file);
}

bool picture_files::save(const std::string& name, const std::string& comment, bool later)
{
    const std::string place = place_of(name);
    const auto target = id_of(name, false);
    const data_file_index sets = data_set_files();
    const data_file_index* const indexes[] = {&arguments_, &sets};
    for (const data_file_index* index : indexes)
        if (const std::string* data_file = index->replaced_by(place, target))
            return refused("can't save %s: it is the data file %s of this run\n", name, *data_file);
    const std::string shown = place_of(mydata[0].fname);
    const auto before = saved_.find(place);
    if (before != saved_.end() && before->second != shown)
        return refused("can't save %s: this run saved the picture of %s there\n", name, before->second);
    // The same place under another spelling must not be renamed over by an older save still finishing.
    if (before != saved_.end())
        finish();
    const auto save_now = later ? GrSaveContextToPngLater : GrSaveContextToPng_wc;
    if (save_now(nullptr, name.c_str(), comment.c_str()) != 0) {
        note_run_failure();
        error_func("can't save %s\n", name.c_str());
        return false;
    }
    saved_[place] = shown;
    return true;
}

void picture_files::finish()
{
    GrFinishPngSaves(tell_unfinished, nullptr);
}
