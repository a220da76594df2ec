// Parsing of overlay option values into the program-wide item lists.
#include "plot/overlays.h"

#include <iostream>
#include <locale>
#include <sstream>
#include <stdexcept>

#include "core/messages.h"

std::vector<Circle> circles;
std::vector<Arrow> arrows;
std::vector<Line> lines;
std::vector<Text> texts;

namespace
{

// Reads and drops everything up to and including the next ','; running out of input first is a failure.
std::istream& skip_comma(std::istream& in)
{
    char ch = 0;
    while (in.get(ch))
        if (ch == ',')
            return in;
    in.setstate(std::ios::failbit);
    return in;
}

// Parses value into item with a stream that throws on a failed read; prints the grok message on failure.
template <typename Item> bool parse_item(const char* value, Item& item)
{
    std::istringstream in(value);
    in.imbue(std::locale::classic());
    in.exceptions(std::ios::failbit | std::ios::badbit);
    try {
        in >> item;
    } catch (const std::exception&) { // the library's stream failure type differs between ABIs
        std::cerr << "Failed to grok: " << value << "\n";
        return false;
    }
    return true;
}

} // namespace

std::istream& operator>>(std::istream& in, Circle& c)
{
    in >> c.x;
    skip_comma(in) >> c.y;
    return skip_comma(in) >> c.r;
}

std::istream& operator>>(std::istream& in, Arrow& a)
{
    in >> a.x1;
    skip_comma(in) >> a.y1;
    skip_comma(in) >> a.x2;
    return skip_comma(in) >> a.y2;
}

std::istream& operator>>(std::istream& in, Line& l)
{
    switch (l.mode) {
    case LT_NORMAL:
        in >> l.x1;
        skip_comma(in) >> l.y1;
        skip_comma(in) >> l.x2;
        return skip_comma(in) >> l.y2;
    case LT_HORIZONTAL:
        return in >> l.y1;
    case LT_VERTICAL:
        return in >> l.x1;
    }
    throw std::ios_base::failure("Unknown mode");
}

std::istream& operator>>(std::istream& in, Text& t)
{
    in >> t.x1;
    skip_comma(in) >> t.y1;
    skip_comma(in);
    return std::getline(in, t.text);
}

void add_circle(const char* value)
{
    Circle c{};
    if (!parse_item(value, c))
        return;
    if (!(c.r > 0))
        error("radius may not be zero or negative (%g,%g,%g)\n", c.x, c.y, c.r);
    circles.push_back(c);
}

void add_arrow(const char* value)
{
    Arrow a{};
    if (parse_item(value, a))
        arrows.push_back(a);
}

void add_line(lt_type mode, const char* value)
{
    Line l{};
    l.mode = mode;
    if (parse_item(value, l))
        lines.push_back(l);
}

void add_text(const char* value)
{
    Text t{};
    if (parse_item(value, t))
        texts.push_back(t);
}

void clear_overlays()
{
    circles.clear();
    arrows.clear();
    lines.clear();
    texts.clear();
}
