// The zone that time labels and zone-less time text are in: UTC, the machine's local zone, or a zone of the
// system's zone database by name (Area/City), reached through the C library.
#ifndef TREMWIL_TIME_ZONE_H
#define TREMWIL_TIME_ZONE_H

#include <cstdint>
#include <string>

// Whether name is a zone the option may name: "UTC", "local", or a name of the zone database (a file below
// TZDIR or /usr/share/zoneinfo that is a zone file, reached without "..").
bool is_known_time_zone(const std::string& name);

// One zone in use. The C library knows one zone per process, the one TZ names, so a named zone is put in force
// by setting TZ while the object lives and the zone that was before (TZ set, or not set at all) is put back when
// it goes. Only the one thread that runs the program's steps makes such an object; threads it starts may convert
// times while it lives (the C library's conversions lock inside), but must not outlive it. An object for UTC
// or "local" leaves TZ alone.
class time_zone_in_use
{
public:
    // name as the option took it: "" or "UTC" for UTC, "local", or a database name.
    explicit time_zone_in_use(const std::string& name);
    ~time_zone_in_use();
    time_zone_in_use(const time_zone_in_use&) = delete;
    time_zone_in_use& operator=(const time_zone_in_use&) = delete;

    bool is_utc() const { return utc_; }
    // Seconds the zone's clocks are ahead of UTC at the UTC time t (seconds since 1970).
    std::int64_t offset_at(std::int64_t t) const;
    // The UTC time at which the zone's clocks show wall (seconds since 1970 of the clock read as UTC). A wall time
    // that a change to summer time skips is taken at the offset before the change; of a wall time that the change
    // back shows twice, the earlier.
    std::int64_t utc_of_wall(std::int64_t wall) const;

private:
    bool utc_ = true;
    bool changed_tz_ = false;
    bool had_tz_ = false;
    std::string old_tz_;
};

#endif // TREMWIL_TIME_ZONE_H
