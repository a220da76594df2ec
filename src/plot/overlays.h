// Overlay items given on the command line (circles, arrows, lines, texts in data coordinates):
// their types, value parsers, program-wide lists and the handling of the six overlay option values.
#ifndef TREMWIL_OVERLAYS_H
#define TREMWIL_OVERLAYS_H

#include <istream>
#include <string>
#include <vector>

enum lt_type : int {
    LT_NORMAL = 0,
    LT_HORIZONTAL = 1,
    LT_VERTICAL = 2,
};

struct Circle {
    double x, y, r;
};

struct Arrow {
    double x1, y1, x2, y2;
};

// Only the coordinates its mode uses are set: y1 for LT_HORIZONTAL, x1 for LT_VERTICAL.
struct Line {
    lt_type mode;
    double x1, y1, x2, y2;
};

struct Text {
    double x1, y1;
    std::string text;
};

// Fields are separated by commas; whatever stands between a number and the next comma is ignored.
std::istream& operator>>(std::istream& in, Circle& c);
std::istream& operator>>(std::istream& in, Arrow& a);
std::istream& operator>>(std::istream& in, Line& l); // reads by l.mode, which the caller sets first
std::istream& operator>>(std::istream& in, Text& t); // the text is the rest of the line and must not be empty

extern std::vector<Circle> circles;
extern std::vector<Arrow> arrows;
extern std::vector<Line> lines;
extern std::vector<Text> texts;

// Option handlers: parse value and append the item. A value that does not parse prints "Failed to grok: "
// with the value on stderr and adds nothing; a circle radius <= 0 ends the run through error().
void add_circle(const char* value);
void add_arrow(const char* value);
void add_line(lt_type mode, const char* value);
void add_text(const char* value);

// Empties the four lists (for tests).
void clear_overlays();

#endif // TREMWIL_OVERLAYS_H
