// Shared set-up of the reader tests: clean settings and data sets, and an error reporter that fails the test.
#ifndef TREMWIL_TESTS_READER_FIXTURE_H
#define TREMWIL_TESTS_READER_FIXTURE_H

#include <gtest/gtest.h>

#include "core/messages.h"
#include "core/settings.h"
#include "data/data_set.h"
#include "plot/run_state.h"

namespace reader_tests
{

// A report through error_func (a file that cannot be opened, no data) fails the test: none of these readings
// should make one.
inline void fail_on_report(const char* fmt, ...)
{
    ADD_FAILURE() << "unexpected report: " << fmt;
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
};

} // namespace reader_tests

#endif // TREMWIL_TESTS_READER_FIXTURE_H
