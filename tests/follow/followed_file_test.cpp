// The followed file: only whole lines come out, a partial line waits for its end, a truncated or replaced file is
// read again from its start, and a stream's end gives its last line.
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "data/byte_source.h"
#include "follow/followed_file.h"
#include "test_support.h"

namespace
{

using test_support::TempDir;

void append(const std::filesystem::path& path, const std::string& text)
{
    std::ofstream(path, std::ios::app) << text;
}

// Everything one reading gives: the lines and the last news.
struct reading {
    std::string lines;
    file_news last = file_news::none;
};

// Bounded, so that a file that never stops giving lines ends the test instead of filling the memory.
reading read_all(followed_file& file)
{
    reading r;
    for (int looks = 0; looks < 100000; ++looks) {
        r.last = file.look(r.lines);
        if (r.last != file_news::lines)
            return r;
    }
    ADD_FAILURE() << "the file never stopped giving lines";
    return r;
}

TEST(FollowedFile, GivesWholeLinesAndKeepsAPartOfALineForItsEnd)
{
    TempDir dir;
    const auto path = dir.write("a.dat", "1 2 3\n4 5");
    followed_file file(path.string(), 1 << 20, 4); // tiny blocks: lines cross the blocks
    ASSERT_TRUE(file.open());
    EXPECT_FALSE(file.is_stream());
    EXPECT_EQ(read_all(file).lines, "1 2 3\n");
    append(path, " 6\n7 8 9\n");
    const reading more = read_all(file);
    EXPECT_EQ(more.lines, "4 5 6\n7 8 9\n");
    EXPECT_EQ(more.last, file_news::none);
    EXPECT_EQ(read_all(file).lines, "");
}

TEST(FollowedFile, ReadsATruncatedOrReplacedFileFromItsStart)
{
    TempDir dir;
    const auto path = dir.write("a.dat", "1 1 1\n2 2 2\n");
    followed_file file(path.string(), 1 << 20, 1 << 16);
    ASSERT_TRUE(file.open());
    read_all(file);
    // Copy and truncate: the file shrinks below what was read.
    std::filesystem::resize_file(path, 0);
    append(path, "3 3 3\n");
    std::string lines;
    EXPECT_EQ(file.look(lines), file_news::truncated);
    EXPECT_EQ(read_all(file).lines, "3 3 3\n");
    // Rename and create: what the old file gained first, including its last line without a line feed, then the new
    // file from its start.
    append(path, "4 4");
    std::filesystem::rename(path, dir / "a.dat.1");
    EXPECT_EQ(read_all(file).lines, ""); // nothing stands at the name yet: the old file is still followed
    dir.write("a.dat", "5 5 5\n");
    lines.clear();
    EXPECT_EQ(file.look(lines), file_news::replaced);
    EXPECT_EQ(lines, "4 4\n");
    EXPECT_EQ(read_all(file).lines, "5 5 5\n");
}

TEST(FollowedFile, AStreamEndsWithItsLastLine)
{
    TempDir dir;
    const auto fifo = dir / "in.fifo";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    // Opened for reading without waiting, then for writing, so that neither open waits for the other.
    const int reader = open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
    const int writer = open(fifo.c_str(), O_WRONLY);
    ASSERT_GE(reader, 0);
    ASSERT_GE(writer, 0);
    ASSERT_EQ(fcntl(reader, F_SETFL, 0), 0);
    followed_file file(fifo.string(), 1 << 20, 1 << 16);
    ASSERT_TRUE(file.open());
    EXPECT_TRUE(file.is_stream());
    std::string lines;
    EXPECT_EQ(file.look(lines), file_news::none); // nothing written yet: no waiting
    ASSERT_EQ(write(writer, "1 2 3\n4 5 6", 11), 11);
    EXPECT_EQ(read_all(file).lines, "1 2 3\n");
    close(writer);
    const reading last = read_all(file);
    EXPECT_EQ(last.lines, "4 5 6\n");
    EXPECT_EQ(last.last, file_news::ended);
    close(reader);
}

TEST(FollowedFile, RefusesCompressedDataAndEndlessLines)
{
    TempDir dir;
    followed_file packed(dir.write("a.dat.gz", std::string("\x1f\x8b\x08\x00", 4)).string(), 1 << 20, 1 << 16);
    ASSERT_TRUE(packed.open());
    std::string lines;
    EXPECT_THROW(packed.look(lines), input_error);
    // zstd data may open with a skippable frame, and its first bytes may come one at a time.
    followed_file skippable(dir.write("c.dat", std::string("\x50\x2a\x4d\x18"
                                                           "0 1\n",
                                                           8))
                                .string(),
                            1 << 20, 1);
    ASSERT_TRUE(skippable.open());
    EXPECT_THROW(read_all(skippable), input_error);
    followed_file endless(dir.write("b.dat", std::string(100, '7')).string(), 64, 16);
    ASSERT_TRUE(endless.open());
    EXPECT_THROW(read_all(endless), input_error);
    followed_file folder(dir.path().string(), 64, 16);
    EXPECT_FALSE(folder.open());
}

} // namespace
