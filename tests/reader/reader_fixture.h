// Shared set-up of the reader tests: clean settings and data sets, an error reporter that fails the test, and one
// reading of a file with everything it leaves and says.
#ifndef TREMWIL_TESTS_READER_FIXTURE_H
#define TREMWIL_TESTS_READER_FIXTURE_H

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <utility>
#include <vector>

#include "core/messages.h"
#include "core/settings.h"
#include "data/data_reader.h"
#include "data/data_set.h"
#include "plot/run_state.h"
#include "test_support.h"

namespace reader_tests
{

// A report through error_func (a file that cannot be opened, no data) fails the test: none of these readings
// should make one.
inline void fail_on_report(const char* fmt, ...)
{
    ADD_FAILURE() << "unexpected report: " << fmt;
}

// Compiles text into the expression slot of c; a text that does not compile fails the test.
inline void compile(cols& c, expr_slot slot, const char* text)
{
    expr_error error;
    EXPECT_TRUE(c[slot].compile(text, error)) << text << ": " << error.what;
}

// Everything a reading of a file leaves in data set 0.
struct reading {
    std::uint64_t rows = 0;
    std::array<std::vector<double>, 7> columns; // x, y, z and the four components
    std::vector<double> c;
    std::vector<std::size_t> block_starts;
    column_switches switches;
    std::string messages, said, error; // standard error, standard output, the message of what it threw
    // --by: each group's columns (x, y, z, ..., colour) and block starts, and the groups' values.
    std::vector<std::pair<std::array<std::vector<double>, 8>, std::vector<std::size_t>>> groups;
    std::vector<std::string> values;
};

// Two readings of the same text, one cut into pieces, leave the same rows, blocks, groups, messages and error.
inline void expect_same_reading(const reading& got, const reading& whole)
{
    EXPECT_EQ(got.columns, whole.columns);
    EXPECT_EQ(got.c, whole.c);
    EXPECT_EQ(got.block_starts, whole.block_starts);
    EXPECT_EQ(got.switches, whole.switches);
    EXPECT_EQ(got.messages, whole.messages);
    EXPECT_EQ(got.said, whole.said);
    EXPECT_EQ(got.error, whole.error);
    EXPECT_EQ(got.groups, whole.groups);
    EXPECT_EQ(got.values, whole.values);
}

class ReaderTest : public testing::Test
{
protected:
    void SetUp() override
    {
        reset_run_state();
        error_func = fail_on_report;
    }
    // Tests without this fixture (the number scanner's) must not see a trace level left on.
    void TearDown() override { reset_run_state(); }

    // Writes text as the file name and reads it into data set 0 under the settings as they stand.
    reading read_as(const std::string& name, const std::string& text, const read_limits& limits = {})
    {
        data& d = mydata[0];
        d.fname = dir.write(name, text).string();
        reading out{};
        testing::internal::CaptureStderr();
        testing::internal::CaptureStdout();
        try {
            const file_read read = readfile(d, limits);
            out.rows = read.rows;
            out.switches = read.switches;
        } catch (const std::exception& e) {
            out.error = e.what();
        }
        out.said = testing::internal::GetCapturedStdout();
        out.messages = testing::internal::GetCapturedStderr();
        for (std::size_t k = 0; k < out.columns.size(); ++k)
            out.columns[k] = *d.columns()[k];
        out.c = d.c;
        out.block_starts = d.block_starts;
        for (std::size_t g = 0; g < d.by.groups.values.size(); ++g)
            out.groups.emplace_back(d.by.rows[g].columns, d.by.rows[g].block_starts);
        out.values = d.by.groups.values;
        return out;
    }
    test_support::TempDir dir;
};

} // namespace reader_tests

#endif // TREMWIL_TESTS_READER_FIXTURE_H
