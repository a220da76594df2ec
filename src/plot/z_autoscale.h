// The z autoscale of a pass: the ring scale chosen from data set 0's z range (--autoz, --biggest-ring), once per
// run, and the z legend's column kept only under --scaleinfo.
#ifndef TREMWIL_Z_AUTOSCALE_H
#define TREMWIL_Z_AUTOSCALE_H

#include "data/data_set.h"
#include "plot/scale_mapping.h"

// The ring scale after the autoscale step of a pass whose data set 0 has the z range z, given the scale now.
// It chooses a scale only while per_z is exactly 1.0, so normally for the first file alone; it tells the scale
// chosen on standard output unless --quiet.
ring_scale autoscale_z(const MinMax& z, ring_scale now);

#endif // TREMWIL_Z_AUTOSCALE_H
