// The followed rows: pieces read one after another give the rows of the file read whole, --last keeps the newest
// rows or a time span, and --nox numbers rows on across the rows dropped.
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/messages.h"
#include "core/settings.h"
#include "data/data_reader.h"
#include "data/data_set.h"
#include "follow/follower.h"
#include "plot/run_state.h"
#include "test_support.h"

namespace
{

using test_support::TempDir;
using rows = std::vector<double>;

void fail_on_report(const char* fmt, ...)
{
    ADD_FAILURE() << "unexpected report: " << fmt;
}

class Follow : public testing::Test
{
protected:
    void SetUp() override
    {
        reset_run_state();
        error_func = fail_on_report;
        quiet = 1;
    }
    void TearDown() override { reset_run_state(); }

    void append(const std::string& text) const { std::ofstream(path_, std::ios::app) << text; }
    // Data set 0 as the follower shows it after reading what the file holds now.
    data shown(follower& f, bool first) const
    {
        EXPECT_EQ(first ? f.start() : f.next(0), follow_news::new_rows);
        data d;
        f.show(d);
        return d;
    }

    TempDir dir_;
    std::filesystem::path path_;
};

// The lines of a file cut into pieces at every line end give the rows, messages aside, that reading it whole gives.
TEST_F(Follow, PiecesAtAnyLineEndReadAsTheWholeFile)
{
    const std::string text = "\xEF\xBB\xBFtime,y,z\n# note\n1,10,2\n2,NA,3\n\n3,30,1\n4,40,5\n";
    const auto path = dir_.write("a.csv", text);
    sort = 0;
    data whole;
    whole.fname = path.string();
    whole.cols.x_name = "time";
    testing::internal::CaptureStderr(); // the count of the row without a value
    const std::uint64_t row_count = readfile(whole).rows;
    testing::internal::GetCapturedStderr();
    ASSERT_EQ(row_count, 3u);
    for (std::size_t cut = 0; cut <= text.size(); cut = text.find('\n', cut) + 1) {
        data pieces;
        pieces.fname = path.string();
        pieces.cols.x_name = "time";
        piece_reading state;
        testing::internal::CaptureStderr();
        read_piece(pieces, std::string_view(text).substr(0, cut), state);
        read_piece(pieces, std::string_view(text).substr(cut), state);
        testing::internal::GetCapturedStderr();
        EXPECT_EQ(pieces.x, whole.x) << "cut at " << cut;
        EXPECT_EQ(pieces.y, whole.y) << "cut at " << cut;
        EXPECT_EQ(pieces.z, whole.z) << "cut at " << cut;
        EXPECT_EQ(pieces.block_starts, whole.block_starts) << "cut at " << cut;
        EXPECT_EQ(state.lines, 7u);
        if (cut == text.size())
            break;
    }
}

TEST_F(Follow, KeepsTheNewestRowsAndNumbersRowsOnUnderNox)
{
    path_ = dir_.write("a.dat", "5\n6\n7\n");
    nox = 1;
    noz = 1;
    mydata[0].cols.y = 1;
    mydata[0].fname = path_.string();
    follower f(mydata[0], switches_from_options(), keep_rule{2, 0}, 10);
    const data first = shown(f, true);
    EXPECT_EQ(first.y, (rows{6, 7}));
    EXPECT_EQ(first.x, (rows{1, 2})); // the rows' numbers in the file, from 0
    append("8\n9\n10\n");
    const data later = shown(f, false);
    EXPECT_EQ(later.y, (rows{9, 10}));
    EXPECT_EQ(later.x, (rows{4, 5}));
    EXPECT_EQ(later.minmax.y.Min, 9); // the ranges are those of the rows kept
    EXPECT_EQ(f.next(0), follow_news::nothing);
}

TEST_F(Follow, KeepsATimeSpanBackFromTheNewestTime)
{
    path_ = dir_.write("a.dat", "100 1 1\n150 2 1\n200 3 1\n");
    time_x_axes = 1;
    mydata[0].fname = path_.string();
    follower f(mydata[0], switches_from_options(), keep_rule{0, 60}, 10);
    EXPECT_EQ(shown(f, true).x, (rows{150, 200}));
    append("270 4 1\n");
    EXPECT_EQ(shown(f, false).x, (rows{270}));
    // A piece of a line is no row yet.
    append("300 5");
    EXPECT_EQ(f.next(0), follow_news::nothing);
    append(" 1\n");
    EXPECT_EQ(shown(f, false).x, (rows{270, 300}));
}

TEST_F(Follow, RowsReadBeforeARotationStayAndTheNewFileIsReadFromItsStart)
{
    path_ = dir_.write("a.csv", "at,level\n1,1\n2,2\n");
    mydata[0].fname = path_.string();
    mydata[0].cols.x_name = "at";
    mydata[0].cols.y_name = "level";
    noz = 1;
    follower f(mydata[0], switches_from_options(), keep_rule{}, 10);
    EXPECT_EQ(shown(f, true).x, (rows{1, 2}));
    std::filesystem::rename(path_, dir_ / "a.csv.1");
    dir_.write("a.csv", "at,level\n3,3\n"); // the new file's header is taken as a header again
    EXPECT_EQ(shown(f, false).x, (rows{1, 2, 3}));
    // A truncation is seen by the file being shorter than what was read of it.
    std::filesystem::resize_file(path_, 0);
    append("level,at\n5,4"); // its columns may even move
    EXPECT_EQ(f.next(0), follow_news::nothing);
    append("\n");
    EXPECT_EQ(shown(f, false).x, (rows{1, 2, 3, 4}));
}

// Without --last the rows kept reach the row limit of a data file: the run ends there with a message, before memory
// runs out.
TEST_F(Follow, RowsBeyondTheLimitEndTheRun)
{
    path_ = dir_.write("a.dat", "1 1 1\n2 2 1\n");
    mydata[0].fname = path_.string();
    read_limits small;
    small.max_rows = 4;
    follower f(mydata[0], switches_from_options(), keep_rule{}, 10, small);
    EXPECT_EQ(f.start(), follow_news::new_rows);
    append("3 3 1\n");
    EXPECT_EQ(f.next(0), follow_news::new_rows);
    append("4 4 1\n5 5 1\n");
    EXPECT_EXIT(f.next(0), testing::ExitedWithCode(1),
                "Error: data file .*a.dat has more than 4 rows, the most one data file may hold; --last=N keeps only "
                "the newest N rows");
    // With --last the same rows go on.
    follower kept(mydata[0], switches_from_options(), keep_rule{2, 0}, 10, small);
    EXPECT_EQ(kept.start(), follow_news::new_rows);
    append("6 6 1\n");
    EXPECT_EQ(kept.next(0), follow_news::new_rows);
    EXPECT_EQ(kept.rows(), 2u);
}

TEST_F(Follow, AFileThatDoesNotOpenGivesNothing)
{
    mydata[0].fname = (dir_ / "missing.dat").string();
    follower f(mydata[0], switches_from_options(), keep_rule{}, 10);
    EXPECT_EQ(f.start(), follow_news::nothing);
}

} // namespace
