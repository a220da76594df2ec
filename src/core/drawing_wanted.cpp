// The check a long drawing calls between its rows.
#include "core/drawing_wanted.h"

namespace
{

drawing_wanted_check current_check = nullptr;

} // namespace

drawing_wanted_check set_drawing_wanted_check(drawing_wanted_check check)
{
    const drawing_wanted_check before = current_check;
    current_check = check;
    return before;
}

bool drawing_wanted()
{
    return current_check == nullptr || current_check();
}
