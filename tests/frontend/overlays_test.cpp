// Overlay items (the forms of their values, the values that fail and the radius check are case files:
// picture/overlays_value_forms, picture/overlays_bad_values_dropped, cli/handler_radius).
#include <gtest/gtest.h>

#include <sstream>

#include "plot/overlays.h"

namespace
{

// A line of no known direction cannot be read: it would otherwise be drawn from values never read.
TEST(Overlays, LineOfUnknownDirectionIsNotRead)
{
    Line unknown{};
    unknown.mode = static_cast<lt_type>(7);
    std::istringstream in("1,2,3,4");
    EXPECT_THROW(in >> unknown, std::exception);
}

} // namespace
