// The fields of columns drawn on a time axis: numbers in the unit of --time-unit, or time text (ISO 8601 / RFC
// 3339) in the zone of --tz when it names none. Only such columns take this path; every other column is read as
// a plain number.
#ifndef TREMWIL_TIME_FIELDS_H
#define TREMWIL_TIME_FIELDS_H

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "core/time_zone.h"
#include "data/draw_types.h"

// Which columns of a data set are read as time, and how. Column 0 is none.
struct time_columns {
    std::uint32_t x = 0, y = 0;
    double units_per_second = 1;
    const time_zone_in_use* zone = nullptr; // of zone-less text; none reads it as UTC

    bool any() const { return x != 0 || y != 0; }
    bool holds(std::uint32_t col) const { return col != 0 && (col == x || col == y); }
};

// The time columns of a row that needs the columns need (x only while x is read at all).
time_columns time_columns_of(const row_columns& need, const time_zone_in_use* zone);

// Reads time fields to seconds since 1970 (UTC). Each thread has its own: it keeps the offset of the last
// wall-clock minute it converted, since asking the zone database for every row would cost more than the reading.
class time_field_reader
{
public:
    explicit time_field_reader(const time_columns& columns) : columns_(columns) {}

    const time_columns& columns() const { return columns_; }
    // A number of the time unit in seconds.
    double from_unit(double value) const
    {
        return columns_.units_per_second == 1 ? value : value / columns_.units_per_second;
    }
    // The whole of text as time text; false (and where it goes wrong in error_at) when it is none.
    bool read_text(std::string_view text, double& seconds, std::size_t& error_at);

private:
    std::int64_t offset_of_wall(std::int64_t wall_seconds);

    time_columns columns_;
    std::int64_t cached_minute_ = INT64_MIN;
    std::int64_t cached_offset_ = 0;
};

#endif // TREMWIL_TIME_FIELDS_H
