// Data values to pixels: the linear or base-10 logarithmic mapping of one axis, its three program-wide instances, the
// ring scale and the ring radius of a z value, and the one conversion of a pixel position from double to int that every
// drawer uses.
#ifndef TREMWIL_SCALE_MAPPING_H
#define TREMWIL_SCALE_MAPPING_H

// Mapping of one axis: min lands on pixel 0, max on pixel range. On a log axis min and max are the log10 of the
// data limits and every value is mapped by its log10, so decades lie evenly spaced.
class class_scalefunc
{
public:
    double min = 0.0;
    double max = 0.0;
    double range = 0.0;
    bool log = false;

    class_scalefunc() = default;
    class_scalefunc(double min_value, double max_value, double range_pixels);

    // Stores the three fields as given; a range with min equal to max maps everything to an infinity or NaN,
    // which trunc_pixel then sends far off the page.
    void set(double min_value, double max_value, double range_pixels);
    // The same for data limits on a log axis (log_axis true): min and max become their log10.
    void set(double min_value, double max_value, double range_pixels, bool log_axis);
    // Pixel position of value, plus 0.5 so that truncation rounds positive results to the nearest pixel. On a
    // log axis a value of 0 maps to minus infinity and a negative one to NaN: both land off the page.
    double scale(double value) const;
    // Length in pixels of a data distance, without offset and rounding term.
    double scale2(double value) const;
};

// x data to the plot column, y data to the plot row counted upward, ellipse components to pixel lengths.
extern class_scalefunc Xscale;
extern class_scalefunc Yscale;
extern class_scalefunc Escale;

// The ring scale of a run: pixels per z unit (--scalez, or what the z autoscale chose), the pixels reserved at
// the right edge for the z legend, and the radius added to every ring (when every z of the first file is 0).
struct ring_scale {
    double per_z = 1.0;
    int legend_width = 50;
    double added = 0.0;
};

// The run's ring scale as the plot draws with it: the run loop sets it from --scalez and the z autoscale, the
// composer widens its legend column to what the legend needs.
extern ring_scale Zscale;

// The ring scale a run starts from: --scalez, the default legend column, nothing added.
ring_scale ring_scale_from_options();

// Ring radius in pixels of a z value: z * per_z + added (of Zscale); negative means a filled disc. Under
// --area it is sign(z) * sqrt(|z| * z_area_reference) * per_z + added, so that the ring's area
// follows |z| and the reference keeps its radius; --min-ring raises a smaller |radius| to min_ring.
double scale_z(double z);

// The |z| whose ring keeps its linear radius under --area: the largest |z| of data set 0, set with the plot
// ranges (0 until then, which leaves the radius linear).
extern double z_area_reference;

// Pixel positions this far from the origin lie outside every page, so the clipping drops them, and sums of
// them with a few page sizes still fit an int.
inline constexpr int pixel_far = 1 << 24;

// A pixel position as an int, truncated toward zero. Values beyond +-pixel_far (infinities among them)
// saturate there; a NaN becomes +pixel_far, so it never reaches a primitive and lands off the page.
int trunc_pixel(double v);

#endif // TREMWIL_SCALE_MAPPING_H
