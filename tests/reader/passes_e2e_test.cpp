// Reading through the built program: data set 0 once per pass, data sets 1 to 9 with "@N" references, and
// the ways a bad file ends or skips a pass.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "test_support.h"

namespace
{

// Every run draws in memory, so no window system is needed.
using test_support::run_tremwil;
using test_support::TempDir;

bool contains(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

int occurrences(const std::string& text, const std::string& part)
{
    int n = 0;
    for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++n;
    return n;
}

// A whole trace line: "Debug:" file "(" line ") " text.
bool has_trace(const std::string& stderr_text, const std::string& file, const std::string& text)
{
    const std::string err = "\n" + stderr_text;
    const std::string head = "\nDebug:" + file + "(";
    for (auto at = err.find(head); at != std::string::npos; at = err.find(head, at + 1)) {
        const auto close = err.find_first_not_of("0123456789", at + head.size());
        if (close != std::string::npos && close > at + head.size() &&
            err.compare(close, text.size() + 3, ") " + text + "\n") == 0)
            return true;
    }
    return false;
}

TEST(ReaderPasses, EachFileIsReadOnceWithTheTracesAUserSees)
{
    TempDir dir;
    dir.write("a.dat", "# x y z\n1 2 3\n2 4 5\n");
    dir.write("b.dat", "5 6 7\n");
    const auto run = run_tremwil({"--in-memory", "--debug", "a.dat", "b.dat"}, dir.path());
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(occurrences(run.err, ") Columns: 3\n"), 2) << run.err;
    EXPECT_EQ(occurrences(run.err, ") sorting\n"), 2) << run.err;
    EXPECT_TRUE(has_trace(run.err, "data_reader.cpp", "rows=2")) << run.err;
    EXPECT_TRUE(has_trace(run.err, "data_set.cpp", "minmax.y Max:4 Min:2 Range:2")) << run.err;
    EXPECT_TRUE(contains(run.err, ") minmax.x Max:2 Min:1 Range:1\n")) << run.err;
    EXPECT_TRUE(contains(run.err, ") minmax.z Max:5 Min:3 Range:2\n")) << run.err;
    // b.dat is the second pass: the range of data set 0 has kept a.dat's extremes.
    EXPECT_TRUE(contains(run.err, ") minmax.z Max:7 Min:3 Range:4\n")) << run.err;
}

TEST(ReaderPasses, MissingColumnsOrFilesEndTheRunOrSkipIt)
{
    TempDir dir;
    dir.write("short.dat", "1 2 3\n4\n");
    dir.write("four.dat", "1 2 3 4 5\n");
    dir.write("empty.dat", "# nothing here\n\n");
    dir.write("a.dat", "1 2 3\n2 4 5\n");
    const struct {
        std::vector<std::string> args;
        const char* err_end;
    } fatal[] = {
        {{"short.dat"}, "\nError: Too few columns\n"},
        {{"--drawellipse", "four.dat"},
         "Can't read value for ellipse/quiver V at column 6 3\n\nError: Too few columns\n"},
        {{"nofile.dat"}, "\nError: can't open file nofile.dat\n"},
        {{"empty.dat", "a.dat"}, "\nError: no data in file empty.dat\n"},
        {{"-2", "@2", "a.dat"}, "\nError: can't open file @2\n"}, // its own index: a plain name
    };
    for (const auto& c : fatal) {
        auto args = c.args;
        args.insert(args.begin(), "--in-memory");
        const auto run = run_tremwil(args, dir.path());
        EXPECT_EQ(run.status, 1) << c.err_end;
        EXPECT_TRUE(run.err.ends_with(c.err_end)) << run.err;
    }

    // Under --error-as-warning a file without rows is skipped and the next one read.
    const auto run = run_tremwil({"--in-memory", "--error-as-warning", "--debug", "empty.dat", "a.dat"}, dir.path());
    EXPECT_EQ(run.status, 0) << run.err;
    const auto warned = run.err.find("\nWarning: no data in file empty.dat\n");
    ASSERT_NE(warned, std::string::npos) << run.err;
    EXPECT_NE(run.err.find(") rows=2\n", warned), std::string::npos) << run.err;
}

TEST(ReaderPasses, ExtraDataSetsFollowTheirFileReferences)
{
    TempDir dir;
    dir.write("a.dat", "1 2 3\n2 4 5\n");
    auto run = run_tremwil({"--in-memory", "--debug", "-1", "@0", "--y1=3", "a.dat"}, dir.path());
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(contains(run.err, ") cloning file 0\n")) << run.err;
    EXPECT_TRUE(contains(run.err, ") Reading dataset 1 from \"a.dat\"\n")) << run.err;
    EXPECT_EQ(occurrences(run.err, ") rows=2\n"), 2) << run.err;
    EXPECT_TRUE(contains(run.err, ") minmax.y Max:5 Min:3 Range:2\n")) << "y from column 3 of the same file";

    // Its own index, and a data set without a file: plain names that do not open.
    // The run goes on past them, but files it could not read fail it.
    run = run_tremwil({"--in-memory", "--error-as-warning", "--debug", "-2", "@2", "-3", "@5", "a.dat"}, dir.path());
    EXPECT_EQ(run.status, 1) << run.err;
    EXPECT_FALSE(contains(run.err, "cloning file 2")) << run.err;
    EXPECT_TRUE(contains(run.err, ") Reading dataset 2 from \"@2\"\n\nWarning: can't open file @2\n")) << run.err;
    EXPECT_TRUE(contains(run.err, ") cloning file 5\n")) << run.err;
    EXPECT_TRUE(contains(run.err, ") Reading dataset 3 from \"\"\n\nWarning: can't open file \n")) << run.err;
}

} // namespace
