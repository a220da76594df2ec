// End-to-end cases: every *.case file below tests/cases/ describes one run of the built program and what must come
// out of it; each file is one test, named after its path (golden/rings.case runs as Case/Cases.Run/golden_rings).
//
// A case file is read line by line; blank lines and lines starting with '#' are comments.
//   args: --in-memory -o "my plot.png" a.dat  words of the command line; "..." groups blanks, \" and \\ inside
//                                             quotes; repeatable, words are appended
//   env: NAME=VALUE                           an environment variable for the run (repeatable)
//   file: a.dat                               a file for the run folder (its folders made): the lines up to "end"
//   copy: a.dat = examples/example.dat        a file of the repository copied into the run folder
//   dir: out                                  an empty folder in the run folder
//   link: l.png = a.dat                       a symbolic link in the run folder
//   folder: /tmp/tremwil-case-x               run in this fixed folder instead of a fresh one (for pictures that
//                                             show the data file's path); runs in it take turns under a lock
//   status: 0                                 the exit status (required)
//   stdout: text    stderr: text              with any such line, the whole stream equals these lines
//   stdout-has: text    stderr-has: text      the stream contains the text
//   stdout-has-file: tests/data/x.txt         stdout contains the whole contents of this file of the repository
//   stdout-match: re    stderr-match: re      the stream contains a match of the regular expression (ECMAScript)
//   file-match: logfile = re                  the file exists and its contents contain a match of re
//   absent: a.png                             the run left no such file
//   comment: a.png = text                     the picture's "Comment" text equals text
//   empty: stdout   empty: stderr             the stream is empty
//   png: out.png 640x480 0123456789abcdef     the picture's size and the checksum of its pixels
// ${SOURCE_DIR} (the repository), ${DIR} (the run folder, real path in comments) and ${BIN} (the program) are
// replaced in args, env, copy sources, file patterns and comments.
// The checksum is 64-bit FNV-1a over width and height (32-bit little endian each) and then the RGB rows.
// With TREMWIL_CASES_PRINT=1 each run also prints what it produced, in this format, to help write new cases, and
// with TREMWIL_CASES_KEEP=folder its pictures are copied there (as case_picture.png) to be looked at.
#include <sys/file.h>

// GCC 12 warns falsely inside <regex> when it optimises with the sanitizers (std::function copied in the NFA).
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <optional>
#include <regex>
#include <sstream>
#include <stdexcept>
#include <string>
#include <unistd.h>
#include <vector>

#include <gtest/gtest.h>

#include "png_image.h"
#include "test_support.h"

namespace
{

namespace fs = std::filesystem;
using namespace std::chrono_literals;

const fs::path cases_root = fs::path(SOURCE_DIR) / "tests" / "cases";

struct picture {
    std::string file;
    std::string size; // "640x480"
    std::string checksum;
};

struct stream_expectation {
    std::optional<std::vector<std::string>> lines; // the whole stream, when given
    std::vector<std::string> parts;
    std::vector<std::string> patterns;
};

struct test_case {
    std::vector<std::string> args;
    std::vector<std::pair<std::string, std::string>> env;
    std::vector<std::pair<std::string, std::string>> files;  // name, contents
    std::vector<std::pair<std::string, std::string>> copies; // name, source
    std::vector<std::pair<std::string, std::string>> links;  // name, target
    std::vector<std::string> dirs, absent;
    std::vector<std::pair<std::string, std::string>> file_patterns, comments; // name, pattern or text
    std::string folder;
    std::optional<int> status;
    stream_expectation out, err;
    std::vector<picture> pictures;
};

std::vector<std::string> split_words(const std::string& text)
{
    std::vector<std::string> words;
    std::string word;
    bool in_word = false, quoted = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '"') {
            quoted = !quoted;
            in_word = true;
        } else if (quoted && c == '\\' && i + 1 < text.size() && (text[i + 1] == '"' || text[i + 1] == '\\')) {
            word += text[++i];
        } else if (!quoted && (c == ' ' || c == '\t')) {
            if (in_word)
                words.push_back(word);
            word.clear();
            in_word = false;
        } else {
            word += c;
            in_word = true;
        }
    }
    if (quoted)
        throw std::runtime_error("unclosed quote");
    if (in_word)
        words.push_back(word);
    return words;
}

std::string expand(std::string text, const fs::path& dir)
{
    for (const auto& [name, value] : {std::pair<std::string, std::string>{"${SOURCE_DIR}", SOURCE_DIR},
                                      std::pair<std::string, std::string>{"${DIR}", dir.string()},
                                      std::pair<std::string, std::string>{"${BIN}", TREMWIL_BIN}})
        for (auto at = text.find(name); at != std::string::npos; at = text.find(name, at + value.size()))
            text.replace(at, name.size(), value);
    return text;
}

std::pair<std::string, std::string> split_at(const std::string& text, char sep)
{
    const auto at = text.find(sep);
    if (at == std::string::npos)
        throw std::runtime_error(std::string("missing '") + sep + "' in: " + text);
    auto trim = [](std::string s) {
        s.erase(0, s.find_first_not_of(' '));
        s.erase(s.find_last_not_of(' ') + 1);
        return s;
    };
    return {trim(text.substr(0, at)), trim(text.substr(at + 1))};
}

// Reads the entry of line i; a file's lines are read too, leaving i at its line "end".
void read_entry(test_case& c, const std::string& key, const std::string& value, const std::vector<std::string>& lines,
                std::size_t& i)
{
    if (key == "args") {
        for (auto& w : split_words(value))
            c.args.push_back(w);
    } else if (key == "env") {
        c.env.push_back(split_at(value, '='));
    } else if (key == "file") {
        std::string contents;
        while (++i < lines.size() && lines[i] != "end")
            contents += lines[i] + "\n";
        if (i == lines.size())
            throw std::runtime_error("file " + value + " has no line 'end'");
        c.files.emplace_back(value, contents);
    } else if (key == "copy") {
        c.copies.push_back(split_at(value, '='));
    } else if (key == "link" || key == "file-match" || key == "comment") {
        (key == "link" ? c.links : key == "comment" ? c.comments : c.file_patterns).push_back(split_at(value, '='));
    } else if (key == "dir" || key == "absent") {
        (key == "dir" ? c.dirs : c.absent).push_back(value);
    } else if (key == "folder") {
        c.folder = value;
    } else if (key == "status") {
        c.status = std::stoi(value);
    } else if (key == "stdout" || key == "stderr") {
        auto& want = (key == "stdout" ? c.out : c.err).lines;
        want = want.value_or(std::vector<std::string>{});
        want->push_back(value);
    } else if (key == "stdout-has" || key == "stderr-has") {
        (key == "stdout-has" ? c.out : c.err).parts.push_back(value);
    } else if (key == "stdout-has-file") {
        c.out.parts.push_back(test_support::read_file(fs::path(SOURCE_DIR) / value));
    } else if (key == "stdout-match" || key == "stderr-match") {
        std::regex{value}; // refused here when it is no regular expression
        (key == "stdout-match" ? c.out : c.err).patterns.push_back(value);
    } else if (key == "empty" && (value == "stdout" || value == "stderr")) {
        (value == "stdout" ? c.out : c.err).lines = std::vector<std::string>{};
    } else if (key == "png") {
        picture p;
        if (!(std::istringstream(value) >> p.file >> p.size >> p.checksum))
            throw std::runtime_error("png needs a file name, a size and a checksum");
        c.pictures.push_back(p);
    } else {
        throw std::runtime_error("unknown entry '" + key + "'");
    }
}

// Throws with the line number when the text is not a valid case.
test_case parse_case(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    test_case c;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].empty() || lines[i][0] == '#')
            continue;
        const std::size_t number = i + 1;
        try {
            const auto colon = lines[i].find(':');
            if (colon == std::string::npos)
                throw std::runtime_error("expected 'entry: value'");
            const std::string value = lines[i].substr(colon + 1);
            read_entry(c, lines[i].substr(0, colon), value.starts_with(' ') ? value.substr(1) : value, lines, i);
        } catch (const std::exception& e) {
            throw std::runtime_error("line " + std::to_string(number) + ": " + e.what());
        }
    }
    if (!c.status)
        throw std::runtime_error("no 'status:' line");
    return c;
}

std::uint64_t fnv1a(std::uint64_t hash, const unsigned char* bytes, std::size_t n)
{
    for (std::size_t i = 0; i < n; ++i)
        hash = (hash ^ bytes[i]) * 1099511628211ULL;
    return hash;
}

std::string picture_line(const std::string& file, const test_support::png_image& png)
{
    std::uint64_t hash = 14695981039346656037ULL;
    for (const std::uint32_t v : {png.width, png.height}) {
        const unsigned char le[4] = {static_cast<unsigned char>(v), static_cast<unsigned char>(v >> 8),
                                     static_cast<unsigned char>(v >> 16), static_cast<unsigned char>(v >> 24)};
        hash = fnv1a(hash, le, 4);
    }
    hash = fnv1a(hash, png.pixels.data(), png.pixels.size());
    char sum[17];
    std::snprintf(sum, sizeof sum, "%016llx", static_cast<unsigned long long>(hash));
    return file + " " + std::to_string(png.width) + "x" + std::to_string(png.height) + " " + sum;
}

// Holds a fixed run folder for one run at a time (also across test programs), fresh and emptied afterwards.
class fixed_folder
{
public:
    explicit fixed_folder(const fs::path& path) : path_(path)
    {
        lock_ = open((path.string() + ".lock").c_str(), O_RDWR | O_CREAT, 0644);
        if (lock_ < 0 || flock(lock_, LOCK_EX) != 0)
            throw std::runtime_error("cannot lock " + path.string());
        fs::remove_all(path_);
        fs::create_directories(path_);
    }
    ~fixed_folder()
    {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
        close(lock_); // releases the lock
    }
    fixed_folder(const fixed_folder&) = delete;
    fixed_folder& operator=(const fixed_folder&) = delete;

private:
    fs::path path_;
    int lock_ = -1;
};

std::string as_lines(const std::vector<std::string>& lines)
{
    std::string text;
    for (const auto& l : lines)
        text += l + "\n";
    return text;
}

void check_stream(const char* name, const stream_expectation& want, const std::string& got,
                  std::vector<std::string>& failures)
{
    if (want.lines && got != as_lines(*want.lines))
        failures.push_back(std::string(name) + " is\n" + got + "\ninstead of\n" + as_lines(*want.lines));
    for (const auto& part : want.parts)
        if (got.find(part) == std::string::npos)
            failures.push_back(std::string(name) + " lacks '" + part + "':\n" + got);
    for (const auto& pattern : want.patterns)
        if (!std::regex_search(got, std::regex(pattern)))
            failures.push_back(std::string(name) + " has no match of '" + pattern + "':\n" + got);
}

void print_outcome(const test_support::RunResult& run, const fs::path& dir)
{
    std::string text = "status: " + std::to_string(run.status) + "\n";
    for (const auto& [name, stream] : {std::pair{"stdout", &run.out}, std::pair{"stderr", &run.err}}) {
        std::istringstream lines(*stream);
        for (std::string line; std::getline(lines, line);)
            text += std::string(name) + ": " + line + "\n";
    }
    std::vector<fs::path> pngs;
    for (const auto& entry : fs::directory_iterator(dir))
        if (entry.path().extension() == ".png")
            pngs.push_back(entry.path());
    std::sort(pngs.begin(), pngs.end());
    for (const auto& path : pngs)
        if (auto png = test_support::read_png(path))
            text += "png: " + picture_line(path.filename().string(), *png) + "\n";
    std::printf("%s", text.c_str());
}

// Runs the case and returns what did not come out as expected (nothing when the case passes).
std::vector<std::string> run_case(const test_case& c, const std::string& case_name = "")
{
    std::optional<test_support::TempDir> fresh;
    std::optional<fixed_folder> fixed;
    if (c.folder.empty())
        fresh.emplace();
    else
        fixed.emplace(c.folder);
    const fs::path dir = fresh ? fresh->path() : fs::path(c.folder);
    for (const auto& [name, contents] : c.files) {
        fs::create_directories((dir / name).parent_path());
        std::ofstream(dir / name, std::ios::binary) << contents;
    }
    for (const auto& [name, source] : c.copies)
        fs::copy_file(fs::path(SOURCE_DIR) / expand(source, dir), dir / name);
    for (const auto& name : c.dirs)
        fs::create_directory(dir / name);
    for (const auto& [name, target] : c.links)
        fs::create_symlink(target, dir / name);
    std::vector<std::string> args;
    for (const auto& a : c.args)
        args.push_back(expand(a, dir));
    auto env = c.env;
    for (auto& [name, value] : env)
        value = expand(value, dir);

    const auto run = test_support::finish_tremwil(test_support::start_tremwil(args, dir, env), dir, 120s);
    if (std::getenv("TREMWIL_CASES_PRINT") != nullptr)
        print_outcome(run, dir);
    if (const char* keep = std::getenv("TREMWIL_CASES_KEEP"); keep != nullptr && !case_name.empty())
        for (const auto& entry : fs::directory_iterator(dir))
            if (entry.path().extension() == ".png")
                fs::copy_file(entry.path(), fs::path(keep) / (case_name + "_" + entry.path().filename().string()),
                              fs::copy_options::overwrite_existing);

    std::vector<std::string> failures;
    if (run.status != *c.status)
        failures.push_back("exit status " + std::to_string(run.status) + " instead of " + std::to_string(*c.status) +
                           "; stderr:\n" + run.err);
    check_stream("stdout", c.out, run.out, failures);
    check_stream("stderr", c.err, run.err, failures);
    for (const auto& name : c.absent)
        if (fs::exists(fs::symlink_status(dir / name)))
            failures.push_back(name + " exists");
    for (const auto& [name, pattern] : c.file_patterns)
        if (!fs::exists(dir / name) ||
            !std::regex_search(test_support::read_file(dir / name), std::regex(expand(pattern, dir))))
            failures.push_back("no match of '" + pattern + "' in " + name + ":\n" +
                               test_support::read_file(dir / name));
    for (const auto& [name, text] : c.comments) {
        const auto png = test_support::read_png(dir / name);
        const std::string want = expand(text, fs::canonical(dir));
        if (!png || png->comment.value_or("") != want)
            failures.push_back(name + " has the comment '" + (png ? png->comment.value_or("") : "") + "' instead of '" +
                               want + "'");
    }
    for (const auto& want : c.pictures) {
        const auto png = test_support::read_png(dir / want.file);
        const std::string expected = want.file + " " + want.size + " " + want.checksum;
        if (!png)
            failures.push_back("no valid picture " + want.file);
        else if (const auto got = picture_line(want.file, *png); got != expected)
            failures.push_back("png: " + got + "\ninstead of\npng: " + expected);
    }
    return failures;
}

std::vector<std::string> case_names()
{
    std::vector<std::string> names;
    for (const auto& entry : fs::recursive_directory_iterator(cases_root))
        if (entry.path().extension() == ".case")
            names.push_back(fs::relative(entry.path(), cases_root).replace_extension().string());
    std::sort(names.begin(), names.end());
    return names;
}

// golden/rings -> golden_rings
std::string test_name(std::string path)
{
    std::replace_if(
        path.begin(), path.end(), [](char ch) { return std::isalnum(static_cast<unsigned char>(ch)) == 0; }, '_');
    return path;
}

class Cases : public testing::TestWithParam<std::string>
{
};

TEST_P(Cases, Run)
{
    const fs::path file = cases_root / (GetParam() + ".case");
    test_case c;
    try {
        c = parse_case(test_support::read_file(file));
    } catch (const std::exception& e) {
        FAIL() << file.string() << ": " << e.what();
    }
    for (const auto& failure : run_case(c, test_name(GetParam())))
        ADD_FAILURE() << file.string() << ": " << failure;
}

INSTANTIATE_TEST_SUITE_P(Case, Cases, testing::ValuesIn(case_names()),
                         [](const auto& info) { return test_name(info.param); });

// The harness itself: a case passes only when what it names matches.

TEST(CaseFormat, WordsSplitAtBlanksAndQuotesGroupThem)
{
    EXPECT_EQ(split_words(R"(-o  "my plot.png" --title="a \"b\"" x)"),
              (std::vector<std::string>{"-o", "my plot.png", "--title=a \"b\"", "x"}));
    EXPECT_THROW(split_words("--title=\"open"), std::runtime_error);
}

TEST(CaseFormat, ChecksumIsFnv1aOfTheSizeAndThePixels)
{
    const unsigned char a = 'a';
    EXPECT_EQ(fnv1a(14695981039346656037ULL, &a, 1), 0xaf63dc4c8601ec8cULL); // the published value for "a"
    test_support::png_image black;
    black.width = black.height = 1;
    black.pixels = {0, 0, 0};
    EXPECT_EQ(picture_line("p.png", black), "p.png 1x1 5d1ee66e34429d67");
}

TEST(CaseFormat, UnknownEntriesAndMissingStatusAreRefusedWithTheLine)
{
    EXPECT_THROW(parse_case("args: a.dat\n"), std::runtime_error);
    try {
        parse_case("status: 0\nfile: a.dat\n1 2 3\nend\npgn: a.png 1x1 0\n");
        FAIL() << "a misspelt entry was accepted";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "line 5: unknown entry 'pgn'");
    }
}

TEST(CaseFormat, AWrongPictureOrMessageFailsAndShowsWhatCameOut)
{
    const std::string run = "args: --in-memory --quiet --nopath -o p.png a.dat\nfile: a.dat\n0 0 1\n1 1 2\nend\n"
                            "status: 0\nempty: stderr\n";
    ASSERT_TRUE(run_case(parse_case(run)).empty()) << "the run itself should succeed";
    const auto failures = run_case(parse_case(run + "stdout-has: nothing like this\npng: p.png 640x480 0\n"));
    ASSERT_EQ(failures.size(), 2U);
    EXPECT_NE(failures[1].find("png: p.png 640x480 "), std::string::npos) << failures[1];
    EXPECT_EQ(run_case(parse_case(run + "png: missing.png 640x480 0\n")).size(), 1U);
    EXPECT_EQ(run_case(parse_case(run + "stderr-match: .\nabsent: p.png\nfile-match: a.dat = ^0 0 2\n"
                                        "comment: p.png = x\n"))
                  .size(),
              4U);
    EXPECT_TRUE(run_case(parse_case(run + "absent: a.png\nfile-match: a.dat = ^0 0 1\\n1\n"
                                          "stdout-match: ^$\n"))
                    .empty());
}

} // namespace
