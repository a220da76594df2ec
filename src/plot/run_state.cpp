// The reset of a whole run: settings, graphics mode, data sets, user limits, overlays, colour slots and scales.
#include "plot/run_state.h"

#include <algorithm>
#include <iterator>

#include "core/settings.h"
#include "data/data_set.h"
#include "plot/graphics_mode.h"
#include "plot/overlays.h"
#include "plot/scale_mapping.h"

void reset_run_state()
{
    exitgrmode();
    reset_settings();
    for (data& d : mydata)
        d = data();
    UserMinMax = myMinMax();
    clear_overlays();
    std::fill(std::begin(colors), std::end(colors), GrColor{0});
    Xscale = Yscale = Escale = class_scalefunc();
    Zscale = ring_scale();
}
