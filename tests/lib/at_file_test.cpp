// Response-file expansion of the argument vector (nested files, names that stay as written, files that name each
// other or never end are case files: lib/response_file*).
#include "cli/expand/at_file.h"

#include <gtest/gtest.h>
#include <test_support.h>

#include <string>
#include <vector>

namespace
{

using Args = std::vector<std::string>;

// Runs rebuild_argv on a copy of args and returns the new vector, checking its null entry.
Args rebuild(const Args& args)
{
    std::vector<std::string> texts(args);
    std::vector<char*> old;
    for (auto& text : texts)
        old.push_back(text.data());
    old.push_back(nullptr);
    int argc = static_cast<int>(args.size());
    char** argv = old.data();
    EXPECT_EQ(rebuild_argv(&argc, &argv), 0);
    EXPECT_NE(argv, old.data()) << "a new vector is built";
    EXPECT_EQ(argv[argc], nullptr);
    for (size_t i = 0; i < args.size(); ++i)
        EXPECT_EQ(old[i], texts[i].data()) << "the old vector is left alone";
    return Args(argv, argv + argc);
}

// "@" or "$" and the file's path (built by appending: GCC 12 warns falsely on "@" + std::string).
std::string at(const std::filesystem::path& file, char mark = '@')
{
    std::string arg(1, mark);
    arg += file.string();
    return arg;
}

TEST(ResponseFiles, LinesBecomeArgumentsExactlyAsWritten)
{
    test_support::TempDir dir;
    const auto rsp = dir.write("run.rsp", "--title=Run 5\n# a comment line\ndata.dat\n  padded  \n\n-x\n3");
    const Args expected{"tremwil", "--title=Run 5", "data.dat", "  padded  ", "", "-x", "3", "tail.dat"};
    EXPECT_EQ(rebuild({"tremwil", at(rsp), "tail.dat"}), expected) << "with @";
    EXPECT_EQ(rebuild({"tremwil", at(rsp, '$'), "tail.dat"}), expected) << "with $";

    // Windows line ends, and a last line without a line feed.
    const auto crlf = dir.write("crlf.rsp", "--title=Windows run\r\n\r\n# comment\r\nwin.dat\r\nlast.dat");
    EXPECT_EQ(rebuild({"p", at(crlf)}), (Args{"p", "--title=Windows run", "", "win.dat", "last.dat"}));

    const std::string long_line(4095, 'a');
    const std::string longer_line = std::string(4096, 'b') + std::string(10000, 'c');
    const auto long_rsp = dir.write("long.rsp", long_line + "\n" + longer_line + "\nnext.dat\n");
    EXPECT_EQ(rebuild({"p", at(long_rsp)}), (Args{"p", long_line, longer_line, "next.dat"}));
}

TEST(ResponseFilesDeathTest, NestingOrArgumentsPastTheirLimitStopWithAnError)
{
    test_support::TempDir dir;
    std::filesystem::path previous = dir.write("level0.rsp", "deepest\n");
    for (int level = 1; level < max_response_file_depth; ++level)
        previous = dir.write("level" + std::to_string(level) + ".rsp", at(previous) + "\n");
    EXPECT_EQ(rebuild({"p", at(previous)}), (Args{"p", "deepest"})) << "nesting up to the limit works";
    const auto one_past = dir.write("past.rsp", at(previous) + "\n");
    EXPECT_EXIT(rebuild({"p", at(one_past)}), testing::ExitedWithCode(1), "level0\\.rsp.* nested more than 32 levels");

    // Files that bring too many arguments between them stop the run too.
    std::string many;
    for (int i = 0; i < 500'000; ++i)
        many += "x\n";
    const auto first = dir.write("first.rsp", many + "y");
    const auto second = dir.write("second.rsp", many);
    EXPECT_EXIT(rebuild({"p", at(first), at(second)}), testing::ExitedWithCode(1),
                "Error: .*second\\.rsp.*more than 1000000 arguments");
}

TEST(AddArgToArgv, CountsThenAppendsKeepingTheNullEntry)
{
    test_support::TempDir dir;
    std::string args[] = {at(dir.write("two.rsp", "one\ntwo\n# note\n")), "plain", "#1.png"};
    int count = 0;
    for (auto& arg : args)
        add_arg_to_argv(&count, nullptr, arg.data());
    EXPECT_EQ(count, 4);

    std::vector<char*> argv(count + 2, reinterpret_cast<char*>(&count));
    int n = 0;
    add_arg_to_argv(&n, argv.data(), args[0].data());
    EXPECT_EQ(n, 2);
    EXPECT_EQ(argv[2], nullptr);
    add_arg_to_argv(&n, argv.data(), args[1].data());
    add_arg_to_argv(&n, argv.data(), args[2].data());
    ASSERT_EQ(n, 4);
    EXPECT_EQ(Args(argv.data(), argv.data() + n), (Args{"one", "two", "plain", "#1.png"}));
    EXPECT_EQ(argv[4], nullptr);
    EXPECT_NE(argv[2], args[1].data()) << "arguments are stored as copies";
}

} // namespace
