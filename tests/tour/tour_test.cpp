// The README's tour: every committed picture must be what the program draws today from the tour's command, and
// every command of the tour must appear in the README as it is run.
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "png_image.h"
#include "test_support.h"

namespace
{

namespace fs = std::filesystem;

const fs::path source_root = fs::path(SOURCE_DIR);

struct tour_entry {
    std::string name, arguments;
};

std::string trimmed(const std::string& text)
{
    const auto first = text.find_first_not_of(' ');
    const auto last = text.find_last_not_of(' ');
    return first == std::string::npos ? std::string() : text.substr(first, last - first + 1);
}

std::vector<tour_entry> tour_list()
{
    std::ifstream in(source_root / "docs" / "tour" / "tour.list");
    std::vector<tour_entry> entries;
    for (std::string line; std::getline(in, line);) {
        const auto bar = line.find('|');
        if (line.empty() || line[0] == '#' || bar == std::string::npos)
            continue;
        entries.push_back({trimmed(line.substr(0, bar)), trimmed(line.substr(bar + 1))});
    }
    return entries;
}

// The pictures that differ from their committed copies, with the reason.
std::string stale_pictures(const std::vector<tour_entry>& entries, const fs::path& drawn)
{
    std::string stale;
    for (const tour_entry& entry : entries) {
        const auto committed = test_support::read_png(source_root / "docs" / "tour" / (entry.name + ".png"));
        const auto fresh = test_support::read_png(drawn / (entry.name + ".png"));
        if (!committed || !fresh)
            stale += entry.name + ": " + (committed ? "not drawn" : "no readable committed picture") + "\n";
        else if (committed->width != fresh->width || committed->height != fresh->height)
            stale += entry.name + ": size differs\n";
        else if (committed->pixels != fresh->pixels)
            stale += entry.name + ": pixels differ\n";
    }
    return stale;
}

TEST(Tour, CommittedPicturesAreWhatTheProgramDrawsAndTheReadmeShowsTheirCommands)
{
    const std::vector<tour_entry> entries = tour_list();
    ASSERT_GE(entries.size(), 5u);

    test_support::TempDir dir;
    const fs::path drawn = dir / "drawn";
    const std::string command = "TMPDIR='" + dir.path().string() + "' TREMWIL='" TREMWIL_BIN "' '" +
                                (source_root / "scripts" / "tour.sh").string() + "' '" + drawn.string() + "' >'" +
                                (dir / "out").string() + "' 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0) << test_support::read_file(dir / "out");
    EXPECT_EQ(stale_pictures(entries, drawn), "") << "redraw them with scripts/tour.sh after a deliberate change";

    const std::string readme = test_support::read_file(source_root / "README.md");
    for (const tour_entry& entry : entries) {
        EXPECT_NE(readme.find("tremwil " + entry.arguments + "\n"), std::string::npos)
            << entry.name << ": the README does not show its command";
        EXPECT_NE(readme.find("docs/tour/" + entry.name + ".png"), std::string::npos)
            << entry.name << ": the README does not show its picture";
    }
}

} // namespace
