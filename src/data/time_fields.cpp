// Time fields: time text read by parse_time_text and moved from the wall clock of the zone to UTC.
#include "data/time_fields.h"

#include "core/settings.h"
#include "data/time_text.h"

namespace
{

std::int64_t floor_div(std::int64_t a, std::int64_t b)
{
    return a / b - (a % b != 0 && (a < 0) != (b < 0));
}

} // namespace

time_columns time_columns_of(const row_columns& need, const time_zone_in_use* zone)
{
    time_columns c;
    if (time_x_axes && need.reads_x)
        c.x = need.x;
    if (time_y_axes)
        c.y = need.y;
    c.units_per_second = time_units_per_second;
    c.zone = zone != nullptr && !zone->is_utc() ? zone : nullptr;
    return c;
}

// Zones change their offset on whole minutes, so one answer serves every time of the same wall-clock minute.
std::int64_t time_field_reader::offset_of_wall(std::int64_t wall_seconds)
{
    const std::int64_t minute = floor_div(wall_seconds, 60);
    if (minute != cached_minute_) {
        cached_minute_ = minute;
        cached_offset_ = minute * 60 - columns_.zone->utc_of_wall(minute * 60);
    }
    return cached_offset_;
}

bool time_field_reader::read_text(std::string_view text, double& seconds, std::size_t& error_at)
{
    const time_text_result t = parse_time_text(text);
    if (!t.ok()) {
        error_at = t.error_at;
        return false;
    }
    std::int64_t micros = t.micros;
    if (!t.zoned && columns_.zone != nullptr)
        micros -= offset_of_wall(floor_div(micros, 1000000)) * 1000000;
    seconds = static_cast<double>(micros) / 1e6;
    return true;
}
