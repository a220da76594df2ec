// Response-file expansion. Lines become arguments exactly as written (spaces kept, no quoting), whatever their
// length; a carriage return before the line end is dropped so files written on Windows read the same.
#include "cli/expand/at_file.h"

#include "print/err_printf.h"

#include <cstdio>
#include <cstdlib>
#include <deque>
#include <memory>
#include <new>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace
{

struct file_closer {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using file_handle = std::unique_ptr<std::FILE, file_closer>;

// Owns every argument text and vector handed out; they must stay valid for the whole run.
struct argument_store {
    std::deque<std::string> texts;
    std::deque<std::vector<char*>> vectors;
};

argument_store& store()
{
    static argument_store instance;
    return instance;
}

char* keep(const std::string& text)
{
    return store().texts.emplace_back(text).data();
}

// A directory opens for reading on this platform but holds no lines: treat it as a file that cannot be opened,
// so the argument stays as written.
file_handle open_response_file(const std::string& name)
{
    file_handle file(std::fopen(name.c_str(), "rb"));
    struct stat info {
    };
    if (file && fstat(fileno(file.get()), &info) == 0 && S_ISDIR(info.st_mode))
        file.reset();
    return file;
}

// What the response files of one expansion have brought so far: a file that never ends (@/dev/zero) or that names
// itself many times over stops at a bound instead of taking all memory.
struct response_budget {
    long arguments = 0;
    long bytes = 0;
};

[[noreturn]] void over_budget(const std::string& name, const std::string& what)
{
    err__printf("at_file.cpp", __LINE__,
                "response file \"%s\": response files bring more than %s, the most they may give\n", name.c_str(),
                what.c_str());
    std::exit(1);
}

void count_byte(const std::string& name, response_budget& budget)
{
    if (++budget.bytes > max_response_bytes)
        over_budget(name, std::to_string(max_response_bytes >> 20) + " MiB");
}

void count_argument(const std::string& name, response_budget& budget)
{
    if (++budget.arguments > max_response_arguments)
        over_budget(name, std::to_string(max_response_arguments) + " arguments");
}

// Splits the text into lines at each line feed. A last line without a line feed still counts; a read error just
// ends the file.
std::vector<std::string> read_lines(std::FILE* file, const std::string& name, response_budget& budget)
{
    std::vector<std::string> lines;
    std::string line;
    bool pending = false;
    for (int c = std::fgetc(file); c != EOF; c = std::fgetc(file)) {
        count_byte(name, budget);
        pending = true;
        if (c != '\n') {
            line += static_cast<char>(c);
            continue;
        }
        count_argument(name, budget);
        lines.push_back(line);
        line.clear();
        pending = false;
    }
    if (pending) {
        count_argument(name, budget);
        lines.push_back(line);
    }
    for (auto& l : lines)
        if (!l.empty() && l.back() == '\r')
            l.pop_back();
    return lines;
}

[[noreturn]] void too_deep(const std::string& name)
{
    err__printf("at_file.cpp", __LINE__,
                "response file \"%s\" nested more than %d levels deep (does a response file name itself?)\n",
                name.c_str(), max_response_file_depth);
    std::exit(1);
}

// depth 0 is an argument of the command line; deeper ones are lines of response files. Only a line is a comment:
// a command-line argument such as "-o #1.png" keeps its "#", or the arguments after it would shift.
void expand(const std::string& arg, std::vector<std::string>& out, int depth, response_budget& budget)
{
    if (!arg.empty() && (arg[0] == '@' || arg[0] == '$')) {
        const std::string name = arg.substr(1);
        if (file_handle file = open_response_file(name)) {
            if (depth >= max_response_file_depth)
                too_deep(name);
            const std::vector<std::string> lines = read_lines(file.get(), name, budget);
            file.reset();
            for (const auto& line : lines)
                expand(line, out, depth + 1, budget);
            return;
        }
    }
    if (depth > 0 && !arg.empty() && arg[0] == '#')
        return;
    out.push_back(arg);
}

[[noreturn]] void out_of_memory()
{
    std::fflush(stdout);
    std::fputs("Error: out of memory while expanding response files\n", stderr);
    std::exit(1);
}

} // namespace

int add_arg_to_argv(int* argc, char** argv, char* arg)
{
    try {
        std::vector<std::string> expanded;
        response_budget budget;
        expand(arg != nullptr ? arg : "", expanded, 0, budget);
        if (argv == nullptr) {
            *argc += static_cast<int>(expanded.size());
            return 0;
        }
        for (const auto& text : expanded) {
            argv[*argc] = keep(text);
            ++*argc;
            argv[*argc] = nullptr;
        }
    } catch (const std::bad_alloc&) {
        out_of_memory();
    }
    return 0;
}

int rebuild_argv(int* argc, char*** argv)
{
    try {
        std::vector<std::string> expanded;
        response_budget budget;
        for (int i = 0; i < *argc; ++i)
            expand((*argv)[i] != nullptr ? (*argv)[i] : "", expanded, 0, budget);
        std::vector<char*>& vector = store().vectors.emplace_back(expanded.size() + 2, nullptr);
        for (size_t i = 0; i < expanded.size(); ++i)
            vector[i] = keep(expanded[i]);
        *argc = static_cast<int>(expanded.size());
        *argv = vector.data();
    } catch (const std::bad_alloc&) {
        out_of_memory();
    }
    return 0;
}
