// Zones through the C library: localtime_r gives the offset at a time, and the time of a wall clock is found from
// the offsets around it. Setting TZ is process-wide, which is why it is done here alone, for the life of one object.
#include "core/time_zone.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string_view>
#include <sys/stat.h>

namespace
{

bool is_zone_name_character(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '/' || c == '_' ||
           c == '-' || c == '+';
}

std::string zone_folder()
{
    const char* dir = std::getenv("TZDIR");
    return dir != nullptr && *dir != '\0' ? dir : "/usr/share/zoneinfo";
}

// A compiled zone file starts with the magic "TZif".
bool is_zone_file(const std::string& path)
{
    struct stat st {
    };
    if (stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return false;
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (f == nullptr)
        return false;
    char magic[4] = {};
    const bool ok = std::fread(magic, 1, 4, f) == 4 && std::string_view(magic, 4) == "TZif";
    std::fclose(f);
    return ok;
}

bool names_utc(const std::string& name)
{
    return name.empty() || name == "UTC";
}

} // namespace

bool is_known_time_zone(const std::string& name)
{
    if (names_utc(name) || name == "local")
        return true;
    if (name.front() == '/' || name.find("..") != std::string::npos)
        return false;
    for (char c : name)
        if (!is_zone_name_character(c))
            return false;
    return is_zone_file(zone_folder() + "/" + name);
}

time_zone_in_use::time_zone_in_use(const std::string& name) : utc_(names_utc(name))
{
    if (utc_ || name == "local")
        return;
    const char* old = std::getenv("TZ");
    had_tz_ = old != nullptr;
    if (had_tz_)
        old_tz_ = old;
    changed_tz_ = setenv("TZ", name.c_str(), 1) == 0;
    tzset();
}

time_zone_in_use::~time_zone_in_use()
{
    if (!changed_tz_)
        return;
    if (had_tz_)
        setenv("TZ", old_tz_.c_str(), 1);
    else
        unsetenv("TZ");
    tzset();
}

std::int64_t time_zone_in_use::offset_at(std::int64_t t) const
{
    if (utc_)
        return 0;
    const std::time_t when = static_cast<std::time_t>(t);
    std::tm local{};
    if (localtime_r(&when, &local) == nullptr)
        return 0;
    return local.tm_gmtoff;
}

std::int64_t time_zone_in_use::utc_of_wall(std::int64_t wall) const
{
    if (utc_)
        return wall;
    // The offsets half a day before and after the wall time read as UTC are the ones in force on either side of
    // any change near it (zones change at most once in half a day); the wall time is at an offset when the
    // time it gives has that offset.
    const std::int64_t before = offset_at(wall - 86400 / 2);
    const std::int64_t after = offset_at(wall + 86400 / 2);
    if (offset_at(wall - before) == before)
        return wall - before;
    if (offset_at(wall - after) == after)
        return wall - after;
    return wall - before; // skipped by a change: at the offset before it
}
