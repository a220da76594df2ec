// The reading steps of a pass: data set 0, then data sets 1 to 9 with their "@N" file references.
#include "data/data_passes.h"

#include <exception>
#include <new>
#include <string>

#include "data/by_groups.h"

#include "core/messages.h"
#include "data/byte_source.h"
#include "data/data_reader.h"
#include "data/data_set.h"

namespace
{

// A line that lacks a needed column, a file that fails or changes while it is read, or one beyond the reader's
// limits leaves nothing sensible to draw: the run ends here with status 1.
void read_or_end_run(data& d, kept_inputs& inputs, column_switches& switches)
{
    try {
        const file_read read = readfile(d, inputs, switches);
        switches = read.switches;
        if (read.one_column)
            d.cols.y = 1;
    } catch (const too_few_columns_exception& e) {
        error("%s\n", e.what());
    } catch (const input_error& e) {
        error("%s\n", e.what());
    } catch (const std::bad_alloc&) {
        error("out of memory while reading data file %s (%zu rows read)\n", d.fname.c_str(), d.x.size());
    }
}

// "@N" with a digit N other than the data set's own index names data set N's file.
void resolve_file_reference(int i)
{
    const std::string& name = mydata[i].fname;
    if (name.size() != 2 || name[0] != '@' || name[1] < '0' || name[1] > '9')
        return;
    const int n = name[1] - '0';
    if (n == i)
        return;
    TW_DEBUG("cloning file " << n);
    mydata[i].fname = mydata[n].fname;
}

// How --by names its column in messages and in the key.
std::string by_column_text(const cols& c)
{
    if (!c.by_name.empty())
        return c.by_name;
    std::string text(1, '$');
    text += std::to_string(c.by);
    return text;
}

void widen(MinMax& range, const MinMax& by)
{
    range.set_min(by.Min);
    range.set_max(by.Max);
}

} // namespace

void split_by_groups(data& d, const column_switches& switches)
{
    const std::string column = by_column_text(d.cols);
    const std::size_t distinct = d.by.groups.distinct();
    if (distinct > by_groups::max_groups)
        error("--by=%s: column %s of data file %s holds %s%zu different values, more than the %zu data sets of a "
              "picture; choose the rows to draw with --where (for example --where='%s == %s')\n",
              column.c_str(), column.c_str(), d.fname.c_str(), distinct >= by_groups::max_counted ? "at least " : "",
              distinct, by_groups::max_groups, column.c_str(), d.by.groups.values.front().c_str());
    take_groups(mydata, d.by, column);
    for (data& set : mydata) {
        if (sort && switches.reads_z())
            set.sort();
        set.FindMinMax();
    }
    // Data set 0 has the ranges of the whole file: the plot's scales come from them.
    for (const data& set : mydata) {
        widen(d.minmax.x, set.minmax.x);
        widen(d.minmax.y, set.minmax.y);
        widen(d.minmax.z, set.minmax.z);
        widen(d.minmax.e1, set.minmax.e1);
        widen(d.minmax.e2, set.minmax.e2);
    }
}

bool read_reference_data_set(kept_inputs& inputs, column_switches& switches)
{
    data& d = mydata[0];
    read_or_end_run(d, inputs, switches);
    // Rows split by --by are in their groups, not in d, until split_by_groups makes the groups data sets.
    if (d.cols.by != 0 && d.by.groups.distinct() > 0)
        split_by_groups(d, switches);
    else
        d.FindMinMax();
    if (!d.x.empty())
        return true;
    error_func("no data in file %s\n", d.fname.c_str());
    return false;
}

void read_extra_data_sets(kept_inputs& inputs, column_switches& switches)
{
    for (int i = 1; i < 10; ++i) {
        data& d = mydata[i];
        if (d.fname.empty())
            continue;
        resolve_file_reference(i);
        TW_DEBUG("Reading dataset " << i << " from \"" << d.fname << "\"");
        d.clear_rows();
        read_or_end_run(d, inputs, switches);
        d.FindMinMax();
    }
}
