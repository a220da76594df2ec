// readfile on files written into a temporary folder: the line rules, the switches the reader sets, its limits, and
// damaged input compared with a literal line-by-line reading. The ellipse/quiver columns show in runs: the golden
// pictures and the cases reader/quiver_* and reader/ellipse_not_perpendicular_once.
#include "data/data_reader.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <string>
#include <tuple>
#include <vector>

#include "packed.h"
#include "reader_fixture.h"
#include "stream_reference.h"
#include "test_support.h"

namespace
{

using test_support::packed;

class Reader : public reader_tests::ReaderTest
{
public:
    // Reads text as the file of data set index and returns what readfile returned.
    std::uint64_t read(const std::string& text, int index = 0)
    {
        mydata[index].fname = dir.write("set" + std::to_string(index) + ".dat", text).string();
        return readfile(mydata[index]).rows;
    }
    // Everything a reading of text as data set 0 leaves, from a clean start.
    reader_tests::reading read_with(const std::string& text, read_limits limits = {}, int type = DT_NORMAL)
    {
        SetUp();
        draw_type = type;
        mydata[0].cols.e = 3;
        return read_as("read.dat", text, limits);
    }
};

using rows = std::vector<double>;

// Comments, blank lines, words where numbers belong and sorting by z are held to a literal reading below; these
// are what that reading cannot show (the traces of a line that falls short, the sort a line without z stops and the
// switches a one-column file sets: the cases reader/fatal_short_line_traced, reader/line_without_z_stops_the_sort
// and reader/one_column_*).
TEST_F(Reader, AppendsRowsAndCountsOnWithXAsTheRowNumber)
{
    EXPECT_EQ(read("2 4 5\n1 2 3"), 2u);
    // With x as the row number the count goes on from the rows already there.
    nox = 1;
    EXPECT_EQ(read("7 8 9\r\n6 5 4\r\n"), 4u);
    EXPECT_EQ(mydata[0].x, (rows{1, 3, 2, 2}));
    EXPECT_EQ(mydata[0].y, (rows{2, 5, 4, 8}));
    EXPECT_EQ(read("# nothing\n\n\n", 1), 0u);
    EXPECT_THROW(read("  # not a comment\n", 1), too_few_columns_exception);
}

// A blank line, not a comment line, ends a block; after the sort by z a row starts a block where the row before
// it came from another block, so that the line mode joins no two blocks either way.
TEST_F(Reader, BlankLinesEndBlocksAlsoAfterTheSort)
{
    sort = 0;
    read("\n1 1 1\n2 2 2\n\n\n3 3 3\n# c\n4 4 4\n\n");
    EXPECT_EQ(mydata[0].block_starts, (std::vector<std::size_t>{2}));
    sort = 1;
    const std::pair<const char*, std::vector<std::size_t>> sorted[] = {{"1 0 1\n2 0 3\n\n3 0 2\n4 0 4\n", {1, 2, 3}},
                                                                       {"1 0 2\n2 0 1\n\n3 0 4\n4 0 3\n", {2}}};
    for (const auto& [text, starts] : sorted) {
        mydata[0].clear_rows();
        read(text);
        EXPECT_EQ(mydata[0].block_starts, starts) << text;
    }
}

// The reader's rules done the slow way: getline, then one fresh string stream per column.
struct literal_result {
    std::vector<std::tuple<double, double, double>> rows;
    bool too_few = false;
};

literal_result read_literally(const std::string& path, std::uint32_t ycol)
{
    literal_result out;
    std::ifstream in(path, std::ios::binary);
    std::string line;
    int columns = -1;
    bool no_x = false, no_z = false;
    while (in.good()) {
        std::getline(in, line);
        if (!in.eof() && !line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty() || line[0] == '#' || line[0] == ';' || line[0] == '!')
            continue;
        if (columns == -1 && (columns = stream_reference::count_values(line)) == 1)
            no_x = no_z = true, ycol = 1;
        const auto x = no_x ? stream_reference::column_outcome{true, double(out.rows.size()), 0}
                            : stream_reference::value_at_col(line, 1);
        const auto y = stream_reference::value_at_col(line, ycol);
        const auto z = stream_reference::value_at_col(line, 3);
        // A drawn column holding a missing-value mark leaves the row out, before any column is found lacking.
        if ((x.reached && std::isnan(x.value)) || (y.reached && std::isnan(y.value)) ||
            (!no_z && z.reached && std::isnan(z.value)))
            continue;
        if (!x.reached || !y.reached)
            return out.too_few = true, out;
        no_z = no_z || !z.reached;
        out.rows.emplace_back(x.value, y.value, no_z ? 1.0 : z.value);
    }
    if (!no_z)
        std::stable_sort(out.rows.begin(), out.rows.end(),
                         [](const auto& a, const auto& b) { return std::get<2>(a) < std::get<2>(b); });
    return out;
}

// Reads text under limits and compares it with the literal reading (default columns).
void expect_read_as_literally(Reader& test, const std::string& text, const read_limits& limits)
{
    const auto got = test.read_with(text, limits);
    const literal_result expected = read_literally(mydata[0].fname, 2);
    if (expected.too_few) {
        ASSERT_TRUE(got.error.starts_with("Too few columns: line ")) << got.error;
        return;
    }
    ASSERT_EQ(got.error, "");
    std::vector<std::tuple<double, double, double>> rows;
    for (std::size_t i = 0; i < got.columns[0].size(); ++i)
        rows.emplace_back(got.columns[0][i], got.columns[1][i], got.columns[2][i]);
    if (got.switches.reads_z()) {
        ASSERT_TRUE(std::is_sorted(got.columns[2].begin(), got.columns[2].end()));
    }
    // Rows of equal z have no fixed order after sorting: compare them as sets.
    auto sorted_expected = expected.rows;
    std::sort(rows.begin(), rows.end());
    std::sort(sorted_expected.begin(), sorted_expected.end());
    ASSERT_EQ(rows, sorted_expected);
}

// Every truncation and every bit flip of a sample, and data written by others (runs of blanks, tabs, trailing
// blanks, "6.", comment blocks, two-column files), must read as the literal reading does, without faults.
TEST_F(Reader, DamagedFilesReadAsTheLiteralReading)
{
    const std::string sample = "# x y z\r\n1 2 3\r\n-4.5e1\t6 7 tail\n\n 8 9e-400 1e999\n;c\n2 1,5 +.5\n1 2";
    std::vector<std::string> variants;
    for (std::size_t n = 0; n <= sample.size(); ++n)
        variants.push_back(sample.substr(0, n));
    for (std::size_t bit = 0; bit < sample.size() * 8; ++bit) {
        variants.push_back(sample);
        variants.back()[bit / 8] = static_cast<char>(variants.back()[bit / 8] ^ (1 << (bit % 8)));
    }
    for (const char* name : {"steps", "silver", "battery", "candlesticks", "soundvel"})
        variants.push_back(test_support::read_file(std::string(TEST_DATA_DIR) + "/reader/gnuplot-" + name + ".dat"));
    for (const std::string& text : variants) {
        SCOPED_TRACE(testing::PrintToString(text));
        for (const unsigned threads : {1u, 3u})
            expect_read_as_literally(*this, text,
                                     {.block_bytes = 1 + text.size() % 7,
                                      .threads = threads,
                                      .parallel_bytes = 0,
                                      .cut_seed = static_cast<unsigned>(text.size() + threads)});
        if (HasFatalFailure())
            break;
    }
}

TEST_F(Reader, VeryLongLinesAndLinesWithoutEnd)
{
    std::string numbers, doubled;
    for (int i = 1; i <= 100000; ++i) {
        numbers.append(std::to_string(i)).push_back(' ');
        doubled.append(std::to_string(2 * i)).push_back('\t');
    }
    mydata[0].cols = {.x = 99999, .y = 100000, .z = 3};
    EXPECT_EQ(read(doubled + "\n" + std::string(1 << 20, ' ') + numbers), 2u);
    EXPECT_EQ(mydata[0].x, (rows{99999, 199998}));
    EXPECT_EQ(mydata[0].y, (rows{100000, 200000}));
    EXPECT_EQ(mydata[0].z, (rows{3, 6}));

    // Room made for every line is given back when most lines were comments.
    std::string mostly_comments;
    for (int i = 0; i < 200000; ++i)
        mostly_comments.append(i % 100 == 0 ? "1 2 3\n" : "#\n");
    EXPECT_EQ(read(mostly_comments, 1), 2000u);
    EXPECT_LT(mydata[1].x.capacity(), 2000u + 500u + 4096u);
}

// The file arrives in reads of any size, plain or compressed, and is parsed in pieces cut at random line feeds
// on any number of threads: it reads as from one piece on one thread, with the same rows, block starts, messages,
// switches and first error (a carriage return apart from its line feed, a missing z that switches z off, a short
// line, the row limit, blank lines).
TEST_F(Reader, LinesCutAcrossReadsAndThreadsReadAsWhole)
{
    std::string rows_then_short = "1 2 3\n";
    for (int i = 0; i < 12; ++i)
        rows_then_short += std::to_string(i) + " " + std::to_string(i * 3 % 7) + (i == 6 ? "\n" : " 5e-1\n");
    const struct {
        std::string text;
        read_limits limits;
        int type = DT_NORMAL;
    } samples[] = {
        {"# x y z\r\n1 2 3\r\n-4.5e1\t6 7 tail\n\n 8 9e-400 1e999\n;c\n2 1,5 +.5\r\n12 3 -4\n1 2\r", {}},
        {rows_then_short, {}},
        {rows_then_short, {.max_rows = 5}},
        {rows_then_short, {.max_rows = 9}},
        {rows_then_short + "7\n8 9 1\n", {}},
        {"5\n#\n6 1\n7\n-1\n\n2\n", {}},
        {"\n1 2 3\n\n\n2 3 4\n#\n3 4 5\n\r\n4 5\n\n5 6 7\n6 7 8\n\n", {}},
        {"1 2 3\nNA 2 3\n4 - 6\n\n7 8 9\n1 nan 1\n2 2 null\n3 3 3 NaN\n", {}},
        {"0 0 1 0 0 2\n0 0 1 0 0 2\n0 0 1 0 0 2\n2 2 3 3 3 3\n1 2 3 4 5 6\n", {}, DT_ELLIPSE_XUYV},
    };
    for (const auto& sample : samples) {
        const reader_tests::reading whole = read_with(sample.text, sample.limits, sample.type);
        // Compressed, in three gzip members or zstd frames, the reader's room of a few bytes cuts them anywhere too.
        const std::string forms[] = {sample.text, packed(sample.text, false, 3), packed(sample.text, true, 3)};
        for (std::size_t block = 1; block <= 9; ++block) {
            for (const unsigned threads : {1u, 2u, 3u, 5u}) {
                const std::string& form = forms[(block + threads) % 3];
                SCOPED_TRACE(sample.text.substr(0, 30) + " block " + std::to_string(block) + " threads " +
                             std::to_string(threads) + " form " + std::to_string((block + threads) % 3));
                read_limits cut = sample.limits;
                cut.block_bytes = block;
                cut.threads = threads;
                cut.parallel_bytes = 0;
                cut.cut_seed = static_cast<unsigned>(block * 8 + threads);
                reader_tests::expect_same_reading(read_with(form, cut, sample.type), whole);
            }
        }
        EXPECT_FALSE(whole.columns[0].empty());
    }
}

// Rows, line length and file size are bounded; what reaches a bound ends the reading with a message naming the
// file (and the line).
TEST_F(Reader, LimitsEndTheReadingWithAMessageNamingTheFile)
{
    const std::string line16 = "1 2 3 4 5 6 7 8\t";
    // The limits hold for the unpacked bytes: a small compressed file that unpacks past them ends like a large one;
    // empty gzip members unpack to nothing, but their own bytes count.
    std::string rows, empty_members;
    for (int i = 0; i < 20000; ++i)
        rows += "1 2 3\n";
    for (int i = 0; i < 4000; ++i)
        empty_members += packed("", false);
    const std::string larger = "data file F is larger than ", most = " bytes, the most one data file may hold";
    const struct {
        std::string text;
        read_limits limits;
        std::string message; // "F" stands for the file's path
    } cases[] = {
        {"1 2 3\n4 5 6\n# no row\n7 8 9\n", {.max_rows = 3}, ""},
        {"1 2 3\n4 5 6\n7 8 9\n1 1 1",
         {.max_rows = 3},
         "data file F has more than 3 rows, the most one data file may hold"},
        {"1 2 3\n" + line16 + "\n" + line16, {.block_bytes = 4, .max_line_bytes = 16}, ""},
        {"1 2 3\n" + line16 + "9\n",
         {.block_bytes = 4, .max_line_bytes = 16},
         "line 2 of data file F is longer than 16 bytes, the longest a line may be"},
        {"1 2 3\n\n" + line16 + "9",
         {.block_bytes = 1 << 20, .max_line_bytes = 16},
         "line 3 of data file F is longer than 16 bytes, the longest a line may be"},
        {std::string(3 << 20, ' ') + "1 2 3\n", {}, ""},
        {std::string(17 << 20, ' ') + "\n1 2 3\n",
         {},
         "line 1 of data file F is longer than 16 MiB, the longest a line may be"},
        {"1 2 3\n4 5 6\n", {.max_file_bytes = 12}, ""},
        {"1 2 3\n4 5 6\n", {.max_file_bytes = 11}, larger + "11" + most},
        {packed(rows, false, 2), {.max_file_bytes = 65536}, larger + "65536" + most},
        {packed(rows, true, 2), {.max_file_bytes = 65536}, larger + "65536" + most},
        {packed(rows, false, 2),
         {.max_rows = 19999},
         "data file F has more than 19999 rows, the most one data file may hold"},
        {packed(rows, true, 2),
         {.max_rows = 19999},
         "data file F has more than 19999 rows, the most one data file may hold"},
        {empty_members, {.max_file_bytes = empty_members.size()}, ""},
        {empty_members,
         {.max_file_bytes = empty_members.size() - 1},
         larger + std::to_string(empty_members.size() - 1) + most},
    };
    for (const auto& c : cases) {
        const std::string message = read_with(c.text, c.limits).error;
        std::string expected = c.message;
        if (const auto at = expected.find(" F "); at != std::string::npos)
            expected.replace(at + 1, 1, mydata[0].fname);
        EXPECT_EQ(message, expected) << c.text.substr(0, 40);
    }
}

} // namespace
