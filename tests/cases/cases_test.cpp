// End-to-end cases: every *.case file below tests/cases/ describes one run of the built program and what must come
// out of it; each file is one test, named after its path (golden/rings.case runs as Case/Cases.Run/golden_rings).
//
// A case file is read line by line; blank lines and lines starting with '#' are comments.
//   args: --in-memory -o "my plot.png" a.dat  words of the command line (a word in "..." may hold blanks, \"
//                                             and \\); repeatable, words are appended
//   shell: cmd <in | ${BIN} -                 instead of args: /bin/sh -c runs the command (pipes, limits, closed
//                                             descriptors, other tools), its status the run's
//   env: NAME=VALUE                           an environment variable for the run (repeatable)
//   file: a.dat                               a file for the run folder (its folders made): the lines up to "end"
//   copy: a.dat = examples/example.dat        a file of the repository copied into the run folder
//   dir: out                                  an empty folder in the run folder
//   link: l.png = a.dat                       a symbolic link in the run folder
//   hardlink: b.dat = a.dat                   a second name of a file of the run folder
//   stdin: a.dat                              standard input from this file of the run folder (else /dev/null)
//   folder: /tmp/tremwil-case-x               run in this fixed folder instead of a fresh one (for pictures that
//                                             show the data file's path); runs in it take turns under a lock
//   status: 0                                 the exit status (required)
//   stdout: text    stderr: text              with any such line, the whole stream equals these lines
//   empty: stdout   empty: stderr             the stream is empty
//   stdout-has: text    stderr-has: text      the stream contains the text
//   stdout-has-file: tests/data/x.txt         stdout contains the whole contents of this file of the repository
//   stdout-match: re    stderr-match: re      the stream contains a match of the regular expression (ECMAScript)
//   stderr-count: 2 text                      the stream contains the text exactly this many times (stdout- too;
//                                             a regular expression over a long --debug stream overflows the stack)
//   file-match: logfile = re                  the file exists and its contents contain a match of re
//   absent: a.png                             the run left no such file
//   comment: a.png = text                     the picture's "Comment" text equals text
//   png: out.png 640x480 0123456789abcdef     the picture's size and the checksum of its pixels
//   size: out.png 640x480                     a whole picture of this size, its pixels unchecked (for cases about
//                                             options, files and messages, whose pictures are not their subject)
//   same-pixels: a.png = b.png                two whole pictures of the same size and pixels
//   files: a.dat a.png                        the run folder holds just these names (no temporary file left)
//   memory-below: 65536                       the largest resident size of the run (and all it ran) in KiB
//   needs: Xvfb xdotool                       the case is skipped unless these programs are on the PATH
//   unsanitized: why                          the case is skipped in the sanitizer build (address-space limits,
//                                             inputs that take minutes there)
// ${SOURCE_DIR} (the repository), ${DIR} (the run folder's real path), ${BIN} (the program) and ${WM_CLOSE} (a tool
// that closes an X window as a window manager's close button does) are replaced in every value. The checksum is 64-bit
// FNV-1a over width and height (32-bit little endian each), then the RGB rows.
// With TREMWIL_CASES_PRINT=1 each run also prints what it produced, in this format, to help write new cases.
//
// Every case states an expected output besides its status. When a picture's checksum differs, the picture made is
// kept as <temp>/tremwil-case-pictures/<case>/<file> and the failure names it, to be looked at beside the old one.
// After a deliberate change of pictures, scripts/bless_cases.sh REGEX re-blesses the cases whose name (as
// golden_rings) matches REGEX: it runs them with TREMWIL_CASES_BLESS=REGEX, which writes each such case with its
// "png:" lines made anew to <temp>/tremwil-blessed/<case>.case instead of failing on them, and copies those back.
// tests/cases/README.md tells which cases keep a checksum and how to re-bless a chosen set.
#include <sys/file.h>

// GCC 12 warns falsely inside <regex> when it optimises with the sanitizers (std::function copied in the NFA).
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iomanip>
#include <optional>
#include <regex>
#include <set>
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
using test_support::read_file;

const fs::path cases_root = fs::path(SOURCE_DIR) / "tests" / "cases";

#if defined(__SANITIZE_ADDRESS__)
constexpr bool sanitized = true;
#elif defined(__has_feature)
constexpr bool sanitized = __has_feature(address_sanitizer);
#else
constexpr bool sanitized = false;
#endif

struct entry {
    std::string key, value;
    std::string body; // a file's lines
};

// Words at blanks; a word in double quotes may hold blanks, \" and \\.
std::vector<std::string> split_words(const std::string& text)
{
    std::istringstream in(text);
    std::vector<std::string> words;
    for (std::string word; in >> std::quoted(word);)
        words.push_back(word);
    return words;
}

// "name = value" as its two trimmed sides.
std::pair<std::string, std::string> split_at_equals(const std::string& text)
{
    const auto at = text.find('=');
    if (at == std::string::npos)
        throw std::runtime_error("missing '=' in: " + text);
    auto trim = [](std::string s) {
        s.erase(0, s.find_first_not_of(' '));
        s.erase(s.find_last_not_of(' ') + 1);
        return s;
    };
    return {trim(text.substr(0, at)), trim(text.substr(at + 1))};
}

// The entries of a case (of a part of one when status is not required); throws naming the line at a fault.
std::vector<entry> parse_case(const std::string& text, bool status_required = true)
{
    const std::string keys =
        " args shell env file copy dir link hardlink stdin folder status stdout stderr stdout-has stderr-has "
        "stdout-has-file empty file-match stdout-match stderr-match stdout-count stderr-count absent comment png "
        "size same-pixels files memory-below needs unsanitized ";
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    std::vector<entry> entries;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].empty() || lines[i][0] == '#')
            continue;
        const auto colon = lines[i].find(':');
        const std::string where = "line " + std::to_string(i + 1) + ": ";
        if (colon == std::string::npos)
            throw std::runtime_error(where + "expected 'entry: value'");
        entry e{lines[i].substr(0, colon), lines[i].substr(colon + 1), ""};
        if (e.value.starts_with(' '))
            e.value.erase(0, 1);
        if (keys.find(" " + e.key + " ") == std::string::npos ||
            (e.key == "empty" && e.value != "stdout" && e.value != "stderr"))
            throw std::runtime_error(where + "unknown entry '" + e.key + "'");
        for (const std::size_t start = i; e.key == "file" && (++i == lines.size() || lines[i] != "end");) {
            if (i == lines.size())
                throw std::runtime_error("line " + std::to_string(start + 1) + ": file " + e.value + " has no 'end'");
            e.body += lines[i] + "\n";
        }
        entries.push_back(e);
    }
    if (status_required && std::none_of(entries.begin(), entries.end(), [](auto& e) { return e.key == "status"; }))
        throw std::runtime_error("no 'status:' line");
    // A status alone lets a run pass that printed, drew or wrote something else entirely.
    const std::string expectations = " stdout stderr stdout-has stderr-has stdout-has-file empty file-match "
                                     "stdout-match stderr-match stdout-count stderr-count absent comment png size "
                                     "same-pixels files memory-below ";
    if (status_required && std::none_of(entries.begin(), entries.end(), [&](auto& e) {
            return expectations.find(" " + e.key + " ") != std::string::npos;
        }))
        throw std::runtime_error("no expected output besides the status");
    return entries;
}

// The value of a "png:" line that matches the picture.
std::string picture_line(const std::string& file, const test_support::png_image& png)
{
    std::uint64_t hash = 14695981039346656037ULL;
    const auto add = [&hash](std::uint32_t byte) { hash = (hash ^ (byte & 0xffU)) * 1099511628211ULL; };
    for (const std::uint32_t v : {png.width, png.height})
        for (int shift = 0; shift < 32; shift += 8)
            add(v >> shift);
    for (const png_byte byte : png.pixels)
        add(byte);
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

// One run of the program as a case sets it up; its folder stays until the object goes, for the checks.
class case_run
{
public:
    explicit case_run(std::vector<entry> entries)
    {
        std::string folder;
        for (const auto& e : entries)
            if (e.key == "folder")
                folder = e.value;
        if (folder.empty())
            fresh_.emplace();
        else
            fixed_.emplace(folder);
        dir_ = fs::canonical(folder.empty() ? fresh_->path() : fs::path(folder));
        std::vector<std::string> args;
        std::optional<std::string> shell;
        std::vector<std::pair<std::string, std::string>> env;
        fs::path input = "/dev/null";
        for (auto& e : entries) {
            e.value = expand(e.value);
            if (e.key == "args")
                for (auto& word : split_words(e.value))
                    args.push_back(word);
            else if (e.key == "shell")
                shell = e.value;
            else if (e.key == "env")
                env.push_back(split_at_equals(e.value));
            else if (e.key == "file") {
                fs::create_directories((dir_ / e.value).parent_path());
                std::ofstream(dir_ / e.value, std::ios::binary) << e.body;
            } else if (e.key == "copy")
                fs::copy_file(fs::path(SOURCE_DIR) / split_at_equals(e.value).second,
                              dir_ / split_at_equals(e.value).first);
            else if (e.key == "dir")
                fs::create_directory(dir_ / e.value);
            else if (e.key == "link")
                fs::create_symlink(split_at_equals(e.value).second, dir_ / split_at_equals(e.value).first);
            else if (e.key == "hardlink")
                fs::create_hard_link(dir_ / split_at_equals(e.value).second, dir_ / split_at_equals(e.value).first);
            else if (e.key == "stdin")
                input = dir_ / e.value;
        }
        const pid_t pid = shell ? test_support::start_shell(*shell, dir_, env, input)
                                : test_support::start_tremwil(args, dir_, env, input);
        run_ = test_support::finish_tremwil(pid, dir_, 120s);
    }

    // What did not come out as the entries say (nothing when the case passes).
    std::vector<std::string> failures(const std::vector<entry>& entries) const
    {
        std::vector<std::string> failures;
        std::optional<std::string> whole[2]; // stdout, stderr
        for (auto e : entries) {
            e.value = expand(e.value);
            if (e.key == "stdout" || e.key == "stderr")
                whole[e.key == "stderr"] = whole[e.key == "stderr"].value_or("") + e.value + "\n";
            else if (e.key == "empty")
                whole[e.value == "stderr"] = "";
            else if (std::string failure = failure_of(e); !failure.empty())
                failures.push_back(failure);
        }
        for (int i = 0; i < 2; ++i)
            if (whole[i] && *whole[i] != (i ? run_.err : run_.out))
                failures.push_back((i ? "stderr is\n" + run_.err : "stdout is\n" + run_.out) + "\ninstead of\n" +
                                   *whole[i]);
        return failures;
    }

    // What the run produced, in the form of a case.
    void print() const
    {
        std::string text = "status: " + std::to_string(run_.status) + "\n";
        for (const auto& [name, stream] : {std::pair{"stdout", &run_.out}, std::pair{"stderr", &run_.err}}) {
            std::istringstream lines(*stream);
            for (std::string line; std::getline(lines, line);)
                text += std::string(name) + ": " + line + "\n";
        }
        std::set<fs::path> pngs;
        for (const auto& file : fs::directory_iterator(dir_))
            if (file.path().extension() == ".png")
                pngs.insert(file.path());
        for (const auto& path : pngs)
            if (auto png = test_support::read_png(path))
                text += "png: " + picture_line(path.filename().string(), *png) + "\n";
        std::printf("%s", text.c_str());
    }

    // The "png:" value that the picture a png entry names has ("(no valid picture)" when there is none).
    std::string made_picture_line(const entry& e) const
    {
        const std::string name = e.value.substr(0, e.value.find(' '));
        const auto png = test_support::read_png(dir_ / name);
        return png ? picture_line(name, *png) : "(no valid picture)";
    }

    // Names the case for the pictures kept of it.
    void set_name(const std::string& name) { name_ = name; }

private:
    // Keeps a copy of the picture of a failed png entry; says where.
    std::string kept_picture(const entry& e) const
    {
        const std::string name = e.value.substr(0, e.value.find(' '));
        if (!fs::is_regular_file(dir_ / name))
            return "";
        const fs::path keep = fs::temp_directory_path() / "tremwil-case-pictures" / name_ / name;
        std::error_code failed;
        fs::create_directories(keep.parent_path(), failed);
        fs::copy_file(dir_ / name, keep, fs::copy_options::overwrite_existing, failed);
        return failed ? "" : "\nthe picture made is kept as " + keep.string();
    }

    std::string expand(std::string text) const
    {
        for (const auto& [name, value] : {std::pair<std::string, std::string>{"${SOURCE_DIR}", SOURCE_DIR},
                                          {"${DIR}", dir_.string()},
                                          {"${BIN}", TREMWIL_BIN},
                                          {"${WM_CLOSE}", WM_CLOSE_BIN}})
            for (auto at = text.find(name); at != std::string::npos; at = text.find(name, at + value.size()))
                text.replace(at, name.size(), value);
        return text;
    }

    // What an expectation other than a whole stream finds wrong with the run ("" when it holds).
    std::string failure_of(const entry& e) const
    {
        const std::string& stream = e.key.starts_with("stdout") ? run_.out : run_.err;
        if (e.key == "status")
            return std::to_string(run_.status) == e.value ? ""
                                                          : "exit status " + std::to_string(run_.status) +
                                                                " instead of " + e.value + "; stderr:\n" + run_.err;
        if (e.key == "stdout-has" || e.key == "stderr-has" || e.key == "stdout-has-file") {
            const std::string part = e.key.ends_with("file") ? read_file(fs::path(SOURCE_DIR) / e.value) : e.value;
            return !part.empty() && stream.find(part) != std::string::npos
                       ? ""
                       : e.key + " lacks '" + part + "':\n" + stream;
        }
        if (e.key == "stdout-match" || e.key == "stderr-match")
            return std::regex_search(stream, std::regex(e.value)) ? "" : e.key + " finds no match in:\n" + stream;
        if (e.key == "stdout-count" || e.key == "stderr-count") {
            const auto space = e.value.find(' ');
            const std::string part = space == std::string::npos ? "" : e.value.substr(space + 1);
            std::size_t found = 0;
            for (auto at = stream.find(part); !part.empty() && at != std::string::npos; at = stream.find(part, at + 1))
                ++found;
            return !part.empty() && std::to_string(found) == e.value.substr(0, space)
                       ? ""
                       : e.key + " finds '" + part + "' " + std::to_string(found) + " times:\n" + stream;
        }
        if (e.key == "file-match") {
            const auto [name, pattern] = split_at_equals(e.value);
            const bool found =
                fs::exists(dir_ / name) && std::regex_search(read_file(dir_ / name), std::regex(pattern));
            return found ? "" : "no match of '" + pattern + "' in " + name + ":\n" + read_file(dir_ / name);
        }
        if (e.key == "absent")
            return fs::exists(fs::symlink_status(dir_ / e.value)) ? e.value + " exists" : "";
        if (e.key == "comment") {
            const auto [name, text] = split_at_equals(e.value);
            const auto png = test_support::read_png(dir_ / name);
            const std::string got = png ? png->comment.value_or("") : "(no picture)";
            return got == text ? "" : name + " has the comment '" + got + "' instead of '" + text + "'";
        }
        if (e.key == "png") {
            const std::string got = made_picture_line(e);
            return got == e.value ? "" : "png: " + got + "\ninstead of\npng: " + e.value + kept_picture(e);
        }
        if (e.key == "size") {
            const std::string got = made_picture_line(e);
            return got.starts_with(e.value + " ") ? "" : "size: " + got + "\ninstead of\nsize: " + e.value;
        }
        if (e.key == "same-pixels") {
            const auto [a, b] = split_at_equals(e.value);
            const auto first = test_support::read_png(dir_ / a), second = test_support::read_png(dir_ / b);
            const bool same = first && second && first->width == second->width && first->height == second->height &&
                              first->pixels == second->pixels;
            return same ? "" : a + " and " + b + " are not two whole pictures of the same pixels";
        }
        if (e.key == "files") {
            std::string names;
            for (const auto& name : test_support::names_in(dir_))
                names += (names.empty() ? "" : " ") + name;
            return names == e.value ? "" : "the run folder holds " + names + " instead of " + e.value;
        }
        if (e.key == "memory-below")
            return run_.peak_kb < std::stol(e.value)
                       ? ""
                       : "the run took " + std::to_string(run_.peak_kb) + " KiB, not below " + e.value;
        return ""; // an entry that sets up the run
    }

    std::optional<test_support::TempDir> fresh_;
    std::optional<fixed_folder> fixed_;
    fs::path dir_;
    std::string name_ = "unnamed";
    test_support::RunResult run_;
};

std::vector<std::string> case_names()
{
    std::vector<std::string> names;
    for (const auto& file : fs::recursive_directory_iterator(cases_root))
        if (file.path().extension() == ".case")
            names.push_back(fs::relative(file.path(), cases_root).replace_extension().string());
    std::sort(names.begin(), names.end());
    return names;
}

// golden/rings as golden_rings: the name of its test.
std::string test_name(const std::string& case_path)
{
    return std::regex_replace(case_path, std::regex("[^A-Za-z0-9]"), "_");
}

// The text of a case with each "png:" line replaced by what the run made.
std::string blessed_case(const std::string& text, const case_run& run)
{
    std::istringstream in(text);
    std::string out;
    for (std::string line; std::getline(in, line);) {
        if (line.starts_with("png:")) {
            const entry e{"png", line.substr(line.find_first_not_of(' ', 4)), ""};
            line = "png: " + run.made_picture_line(e);
        }
        out += line + "\n";
    }
    return out;
}

// Why the case cannot run here ("" when it can).
std::string reason_to_skip(const std::vector<entry>& entries)
{
    for (const auto& e : entries) {
        if (e.key == "unsanitized" && sanitized)
            return "not in the sanitizer build: " + e.value;
        if (e.key == "needs")
            for (const auto& program : split_words(e.value))
                if (!test_support::on_path(program))
                    return program + " is needed (scripts/install-deps.sh)";
    }
    return "";
}

class Cases : public testing::TestWithParam<std::string>
{
};

TEST_P(Cases, Run)
{
    const fs::path file = cases_root / (GetParam() + ".case");
    std::vector<entry> entries;
    try {
        entries = parse_case(read_file(file));
    } catch (const std::exception& e) {
        FAIL() << file.string() << ": " << e.what();
    }
    if (const std::string why = reason_to_skip(entries); !why.empty())
        GTEST_SKIP() << why;
    case_run run(entries);
    run.set_name(test_name(GetParam()));
    if (std::getenv("TREMWIL_CASES_PRINT") != nullptr)
        run.print();
    const char* bless = std::getenv("TREMWIL_CASES_BLESS");
    if (bless != nullptr && std::regex_search(test_name(GetParam()), std::regex(bless))) {
        const fs::path blessed = fs::temp_directory_path() / "tremwil-blessed" / (GetParam() + ".case");
        fs::create_directories(blessed.parent_path());
        std::ofstream(blessed, std::ios::binary) << blessed_case(read_file(file), run);
        std::erase_if(entries, [](const entry& e) { return e.key == "png"; });
    }
    for (const auto& failure : run.failures(entries))
        ADD_FAILURE() << file.string() << ": " << failure;
}

// golden/rings runs as golden_rings.
INSTANTIATE_TEST_SUITE_P(Case, Cases, testing::ValuesIn(case_names()),
                         [](const auto& info) { return test_name(info.param); });

// The harness itself: a case passes only when what it names matches.

TEST(CaseFormat, MisspeltEntriesUnendedFilesAndMissingStatusAreRefused)
{
    for (const auto& [text, message] :
         {std::pair{"status: 0\nfile: a.dat\n1 2 3\nend\npgn: a.png 1x1 0\n", "line 5: unknown entry 'pgn'"},
          {"status: 0\nempty: stdin\n", "line 2: unknown entry 'empty'"},
          {"status: 0\nfile: a.dat\n1 2 3\n", "line 2: file a.dat has no 'end'"},
          {"args: a.dat\n", "no 'status:' line"},
          {"args: a.dat\nstatus: 0\nfile: b.dat\nend\n", "no expected output besides the status"}}) {
        try {
            parse_case(text);
            ADD_FAILURE() << text << " was accepted";
        } catch (const std::runtime_error& e) {
            EXPECT_STREQ(e.what(), message);
        }
    }
    // Needs and limits skip a case, never pass it.
    const std::string run = "args: a.dat\nstatus: 0\nempty: stdout\n";
    EXPECT_EQ(reason_to_skip(parse_case(run + "needs: sh\n")), "");
    EXPECT_EQ(reason_to_skip(parse_case(run + "needs: sh no-such-tool\n")),
              "no-such-tool is needed (scripts/install-deps.sh)");
    EXPECT_EQ(reason_to_skip(parse_case(run + "unsanitized: slow\n")),
              sanitized ? "not in the sanitizer build: slow" : "");
}

// One run, then each kind of expectation alone: right ones pass, and each wrong one gives one failure.
TEST(CaseFormat, EachKindOfWrongExpectationFails)
{
    case_run run(parse_case("shell: ${BIN} --in-memory --quiet --nopath -o p.png a.dat && cp p.png q.png\n"
                            "file: a.dat\n0 0 1\n1 1 2\nend\nstatus: 0\n",
                            false));
    run.set_name("format_test");
    EXPECT_EQ(
        run.failures(parse_case("status: 0\nempty: stderr\nempty: stdout\nabsent: a.png\nstdout-match: ^$\n"
                                "size: p.png 640x480\nsame-pixels: p.png = q.png\nfiles: a.dat logfile p.png q.png\n"
                                "memory-below: 1000000\n"
                                "file-match: a.dat = ^0 0 1\\n1\n"
                                "comment: p.png = ${BIN} --in-memory --quiet --nopath -o p.png a.dat(${DIR}/a.dat)\n",
                                false)),
        std::vector<std::string>{});
    for (const char* wrong :
         {"status: 1", "stdout: x", "stderr:", "empty: stdout\nstdout: x", "stdout-has: x", "stderr-has: x",
          "stdout-has-file: README.md", "stdout-has-file: missing.txt", "stdout-match: .", "stderr-match: .",
          "file-match: a.dat = ^0 0 2", "file-match: b.dat = .*", "absent: p.png", "comment: p.png = x",
          "png: p.png 640x480 0", "png: missing.png 640x480 0", "size: p.png 640x48", "size: p.png 480x640",
          "size: missing.png 640x480"})
        EXPECT_EQ(run.failures(parse_case(wrong, false)).size(), 1U) << wrong;
    for (const char* wrong : {"stderr-count: 1 x", "stdout-count: 0 ", "same-pixels: p.png = a.dat",
                              "files: a.dat p.png", "memory-below: 1"})
        EXPECT_EQ(run.failures(parse_case(wrong, false)).size(), 1U) << wrong;
    // A wrong checksum keeps the picture made, and names it.
    const fs::path kept = fs::temp_directory_path() / "tremwil-case-pictures" / "format_test" / "p.png";
    fs::remove(kept);
    const auto failures = run.failures(parse_case("png: p.png 640x480 0", false));
    ASSERT_EQ(failures.size(), 1U);
    EXPECT_TRUE(failures[0].ends_with("the picture made is kept as " + kept.string())) << failures[0];
    EXPECT_TRUE(test_support::read_png(kept).has_value());
    fs::remove_all(kept.parent_path());
}

// Re-blessing writes the case with each picture line made anew and everything else as it was.
TEST(CaseFormat, BlessingRewritesOnlyThePictureLines)
{
    const std::string text = "# a comment\nargs: --in-memory --quiet --nopath -o p.png a.dat\nfile: a.dat\n0 0 1\n"
                             "1 1 2\nend\nstatus: 0\npng: p.png 640x480 0123\nempty: stderr\n";
    case_run run(parse_case(text));
    const std::string blessed = blessed_case(text, run);
    const auto entries = parse_case(blessed);
    EXPECT_TRUE(run.failures(entries).empty()) << blessed;
    EXPECT_EQ(blessed.substr(0, blessed.find("png:")), text.substr(0, text.find("png:")));
    EXPECT_TRUE(blessed.ends_with("\nempty: stderr\n")) << blessed;
}

} // namespace
