// Reading through the built program: data set 0 once per pass, data sets 1 to 9 with "@N" references, and
// the ways a bad file ends or skips a pass.
#include <sstream>
#include <string>

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
bool has_trace(const std::string& err, const std::string& file, const std::string& text)
{
    std::istringstream lines(err);
    for (std::string line; std::getline(lines, line);) {
        const std::string head = "Debug:" + file + "(";
        const auto close = line.find(") ");
        if (line.starts_with(head) && close != std::string::npos && line.substr(close + 2) == text &&
            line.find_first_not_of("0123456789", head.size()) == close)
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

TEST(ReaderPasses, MissingColumnsOrFileEndTheRun)
{
    TempDir dir;
    dir.write("short.dat", "1 2 3\n4\n");
    dir.write("four.dat", "1 2 3 4 5\n");
    auto run = run_tremwil({"--in-memory", "short.dat"}, dir.path());
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(run.err.ends_with("\nError: Too few columns\n")) << run.err;

    run = run_tremwil({"--in-memory", "--drawellipse", "four.dat"}, dir.path());
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(contains(run.err, "Can't read value for ellipse/quiver V at column 6 3\n")) << run.err;
    EXPECT_TRUE(run.err.ends_with("Too few columns\n")) << run.err;

    run = run_tremwil({"--in-memory", "nofile.dat"}, dir.path());
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(run.err.ends_with("\nError: can't open file nofile.dat\n")) << run.err;
}

TEST(ReaderPasses, FileWithoutRowsIsReportedOrSkipped)
{
    TempDir dir;
    dir.write("empty.dat", "# nothing here\n\n");
    dir.write("a.dat", "1 2 3\n2 4 5\n");
    auto run = run_tremwil({"--in-memory", "empty.dat", "a.dat"}, dir.path());
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(run.err.ends_with("\nError: no data in file empty.dat\n")) << run.err;

    run = run_tremwil({"--in-memory", "--error-as-warning", "--debug", "empty.dat", "a.dat"}, dir.path());
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
    // y from column 3 of the same file.
    EXPECT_TRUE(contains(run.err, ") minmax.y Max:5 Min:3 Range:2\n")) << run.err;

    // Its own index, and a data set without a file: plain names that do not open.
    run = run_tremwil({"--in-memory", "--error-as-warning", "--debug", "-2", "@2", "-3", "@5", "a.dat"}, dir.path());
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_FALSE(contains(run.err, "cloning file 2")) << run.err;
    EXPECT_TRUE(contains(run.err, ") Reading dataset 2 from \"@2\"\n\nWarning: can't open file @2\n")) << run.err;
    EXPECT_TRUE(contains(run.err, ") cloning file 5\n")) << run.err;
    EXPECT_TRUE(contains(run.err, ") Reading dataset 3 from \"\"\n\nWarning: can't open file \n")) << run.err;

    run = run_tremwil({"--in-memory", "-2", "@2", "a.dat"}, dir.path());
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(run.err.ends_with("\nError: can't open file @2\n")) << run.err;
}

} // namespace
