// The reading steps of a pass: data set 0, then data sets 1 to 9 with their "@N" file references.
#include "data/data_passes.h"

#include <exception>
#include <new>
#include <string>

#include "core/messages.h"
#include "data/byte_source.h"
#include "data/data_reader.h"
#include "data/data_set.h"

namespace
{

// A line that lacks a needed column, a file that fails or changes while it is read, or one beyond the reader's
// limits leaves nothing sensible to draw: the run ends here with status 1.
void read_or_end_run(data& d, kept_inputs& inputs)
{
    try {
        readfile(d, inputs);
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

} // namespace

bool read_reference_data_set(kept_inputs& inputs)
{
    data& d = mydata[0];
    read_or_end_run(d, inputs);
    d.FindMinMax();
    if (!d.x.empty())
        return true;
    error_func("no data in file %s\n", d.fname.c_str());
    return false;
}

void read_extra_data_sets(kept_inputs& inputs)
{
    for (int i = 1; i < 10; ++i) {
        data& d = mydata[i];
        if (d.fname.empty())
            continue;
        resolve_file_reference(i);
        TW_DEBUG("Reading dataset " << i << " from \"" << d.fname << "\"");
        d.clear_rows();
        read_or_end_run(d, inputs);
        d.FindMinMax();
    }
}
