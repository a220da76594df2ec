// Shared set-up of the reader tests: clean settings and data sets, and an error reporter that records.
#ifndef TREMWIL_TESTS_READER_FIXTURE_H
#define TREMWIL_TESTS_READER_FIXTURE_H

#include <cstdarg>
#include <cstdio>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/messages.h"
#include "core/settings.h"
#include "data/data_set.h"
#include "plot/run_state.h"

namespace reader_tests
{

// Messages that went through error_func while record_reports was installed.
inline std::vector<std::string> reports;

inline void record_reports(const char* fmt, ...)
{
    va_list args;
    va_start(args, fmt);
    char text[1024];
    std::vsnprintf(text, sizeof text, fmt, args);
    va_end(args);
    reports.emplace_back(text);
}

class ReaderTest : public testing::Test
{
protected:
    void SetUp() override
    {
        reset_run_state();
        reports.clear();
        error_func = record_reports;
    }
    // Tests without this fixture (the number scanner's) must not see a trace level left on.
    void TearDown() override { reset_run_state(); }
};

} // namespace reader_tests

#endif // TREMWIL_TESTS_READER_FIXTURE_H
