// The z autoscale step, and the viewing loop: compose, then redraw, save, go back, go on or stop.
#include "view/viewing.h"

#include <algorithm>
#include <cmath>
#include <iostream>
#include <unistd.h>

#include "plot/compose.h"
#include "data/data_set.h"
#include "core/messages.h"
#include "core/settings.h"
#include "plot/tick_scale.h"
#include "view/picture_file.h"

namespace
{

// Ring scale from the tick spacing of the z magnitudes: four pixels per spacing, and a legend column twice
// the largest ring; a column over 100 pixels (or one that no int can hold) shrinks to 40.
void autoscale_rings(double zmin, double zmax)
{
    if (zmin == 0 && zmax == 0) {
        TW_DEBUG("all z are zero");
        zmax += 0.01;
        zmin -= 0.01;
        add_to_z_when_zero = 10.0;
    }
    if (zmax == zmin) {
        TW_DEBUG("all z are equal");
        zmax *= 1.01;
        zmin *= 0.99;
    }
    double t = 0;
    int type = 0;
    scale1(zmin, zmax, &t, &type);
    scalez = 4.0 / t;
    TW_DEBUG("spacing=" << t << " scalez=" << scalez);
    if (!quiet)
        std::cout << "Autoscaling: scalez = " << scalez << "\n" << std::flush;
    const double width = 2 * zmax * scalez;
    if (width <= 100) {
        scalew = static_cast<int>(width);
    } else {
        scalew = 40;
        scalez = 20.0 / zmax;
    }
    TW_DEBUG("scalew=" << scalew << " scalez=" << scalez);
}

void scale_to_biggest_ring(double zmax)
{
    if (zmax == 0)
        zmax = 0.01;
    scalez = biggest_ring / zmax;
    if (!quiet)
        std::cout << "Setting scalez = " << scalez << " based on --biggest-ring=" << biggest_ring << "\n" << std::flush;
}

// The next argument index after key c, or -1 to stop.
int next_index(int c, int first_non_opt)
{
    switch (c) {
    case 27:
    case 'q':
    case 'Q':
        return -1;
    case 8:
        return std::max(optind - 1, first_non_opt);
    default:
        return optind + 1;
    }
}

// Composes and handles commands while the shown file stays the same.
void viewing_loop(char** argv, int first_non_opt, int& quit)
{
    const int shown = optind;
    while (optind == shown) {
        const int c = tremwil(mydata);
        TW_DEBUG("c=" << c);
        if (c == 'r' || c == 'R')
            continue;
        if (c == 's' || c == 'S') {
            save_picture(first_non_opt, argv);
            continue;
        }
        const int next = next_index(c, first_non_opt);
        if (next < 0) {
            quit = 1;
            return;
        }
        optind = next;
    }
}

} // namespace

void autoscale_z()
{
    const MinMax& z = mydata[0].minmax.z;
    const double zmax = std::max(std::fabs(z.Max), std::fabs(z.Min));
    const double zmin = std::min(std::fabs(z.Max), std::fabs(z.Min));
    if (autoz && scalez == 1.0)
        autoscale_rings(zmin, zmax);
    if (biggest_ring != 0 && scalez == 1.0)
        scale_to_biggest_ring(zmax);
    if (!scaleinfo)
        scalew = 0;
}

std::string png_file_name()
{
    if (output_fname != nullptr)
        return output_fname;
    const std::string& name = mydata[0].fname;
    // A '.' in a folder name is no extension: only the last path part is looked at.
    const std::size_t part = name.find_last_of('/');
    const std::size_t dot = name.find_last_of('.');
    if (dot == std::string::npos || (part != std::string::npos && dot < part))
        return name + ".png";
    return name.substr(0, dot) + ".png";
}

std::string png_comment(int first_non_opt, char** argv)
{
    std::string comment;
    for (int i = 0; i < first_non_opt; ++i) {
        comment += argv[i];
        comment += ' ';
    }
    for (const data& d : mydata) {
        if (d.fname.empty())
            continue;
        comment += d.fname + "(" + absolute_path(d.fname, false) + ")";
    }
    return comment;
}

void save_picture(int first_non_opt, char** argv)
{
    const std::string name = png_file_name();
    const std::string comment = png_comment(first_non_opt, argv);
    TW_DEBUG("save-and-exit " << name);
    TW_DEBUG("comment: " << comment);
    write_picture(name, comment, first_non_opt, argv);
    if (save_and_exit != 0)
        ++save_and_exit;
}

void view_current_file(char** argv, int vga, int first_non_opt, int& quit)
{
    entergrmode(vga);
    alloc_colors();
    viewing_loop(argv, first_non_opt, quit);
    exitgrmode();
}
