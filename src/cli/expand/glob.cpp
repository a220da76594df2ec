// Wildcard expansion: a directory walk around fnmatch, so that matching can ignore letter case and the number of
// entries examined can be bounded.
#include "cli/expand/glob.h"

#include "core/messages.h"

#include <algorithm>
#include <deque>
#include <filesystem>
#include <fnmatch.h>
#include <new>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace
{

// Owns every vector and text handed out; they must stay valid for the whole run.
struct glob_store {
    std::deque<std::string> texts;
    std::deque<std::vector<char*>> vectors;
};

glob_store& store()
{
    static glob_store instance;
    return instance;
}

struct too_deep {
};

// The expansion of one argument: its results and the shared count of directory entries and brace alternatives
// examined, and whether that count reached the budget.
struct expansion {
    std::vector<std::string> results;
    long entries = 0;
    bool budget_reached = false;
};

// Counts one more entry or alternative; false, and no count, once the budget is spent.
bool take_from_budget(expansion& state)
{
    if (state.entries > glob_entry_budget) {
        state.budget_reached = true;
        return false;
    }
    ++state.entries;
    return true;
}

bool has_wildcard(const std::string& text)
{
    return text.find_first_of("*?[") != std::string::npos;
}

// The first brace group "{...}" that has its closing brace, as the positions of both braces.
bool find_braces(const std::string& pattern, size_t& open, size_t& close)
{
    for (open = pattern.find('{'); open != std::string::npos; open = pattern.find('{', open + 1)) {
        int level = 0;
        for (close = open; close < pattern.size(); ++close) {
            level += pattern[close] == '{';
            level -= pattern[close] == '}';
            if (level == 0)
                break;
        }
        // An empty pair stays literal text, as in "find -exec cmd {}".
        if (close < pattern.size() && close > open + 1)
            return true;
    }
    return false;
}

// The comma-separated alternatives inside a brace group; commas of nested groups do not split.
std::vector<std::string> split_alternatives(const std::string& inside)
{
    std::vector<std::string> alternatives(1);
    int level = 0;
    for (char c : inside) {
        level += c == '{';
        level -= c == '}';
        if (c == ',' && level == 0)
            alternatives.emplace_back();
        else
            alternatives.back() += c;
    }
    return alternatives;
}

bool exists(const std::string& path)
{
    struct stat info {
    };
    return lstat(path.c_str(), &info) == 0;
}

bool is_directory(const std::string& path)
{
    struct stat info {
    };
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

std::vector<std::string> split_components(const std::string& pattern)
{
    std::vector<std::string> components(1);
    for (char c : pattern) {
        if (c == '/')
            components.emplace_back();
        else
            components.back() += c;
    }
    return components;
}

void walk(const std::string& prefix, const std::vector<std::string>& components, size_t index, int depth,
          expansion& state);

// Matches one wildcard component against the entries of the directory prefix names.
void match_directory(const std::string& prefix, const std::vector<std::string>& components, size_t index, int depth,
                     expansion& state)
{
    const std::string& component = components[index];
    const bool last = index + 1 == components.size();
    if (!last && depth + 1 > glob_max_depth)
        throw too_deep{};
    // The directory iterator skips "." and "..": a pattern never walks back up through them.
    std::error_code failed;
    std::filesystem::directory_iterator entry(prefix.empty() ? "." : prefix, failed);
    for (; !failed && entry != std::filesystem::directory_iterator(); entry.increment(failed)) {
        if (!take_from_budget(state))
            break;
        const std::string name = entry->path().filename().string();
        if (name[0] == '.' && component[0] != '.')
            continue;
        if (fnmatch(component.c_str(), name.c_str(), FNM_NOESCAPE | FNM_CASEFOLD) != 0)
            continue;
        if (last)
            state.results.push_back(prefix + name);
        else if (is_directory(prefix + name))
            walk(prefix + name + "/", components, index + 1, depth + 1, state);
    }
}

void walk(const std::string& prefix, const std::vector<std::string>& components, size_t index, int depth,
          expansion& state)
{
    const std::string& component = components[index];
    if (has_wildcard(component)) {
        match_directory(prefix, components, index, depth, state);
        return;
    }
    if (index + 1 < components.size()) {
        walk(prefix + component + "/", components, index + 1, depth, state);
        return;
    }
    // A name without wildcards is taken literally; it counts as a match only when it exists.
    if (exists(prefix + component))
        state.results.push_back(prefix + component);
}

void expand_pattern(const std::string& pattern, int depth, expansion& state)
{
    size_t open = 0;
    size_t close = 0;
    if (find_braces(pattern, open, close)) {
        if (depth + 1 > glob_max_depth)
            throw too_deep{};
        const std::string head = pattern.substr(0, open);
        const std::string tail = pattern.substr(close + 1);
        // Every alternative counts against the budget, so that groups that multiply (five groups of a hundred
        // make ten billion patterns) end as soon as a wide directory walk would.
        for (const auto& alternative : split_alternatives(pattern.substr(open + 1, close - open - 1))) {
            if (!take_from_budget(state))
                return;
            expand_pattern(head + alternative + tail, depth + 1, state);
        }
        return;
    }
    walk("", split_components(pattern), 0, depth, state);
}

bool needs_expansion(const std::string& arg)
{
    size_t open = 0;
    size_t close = 0;
    return has_wildcard(arg) || find_braces(arg, open, close);
}

// The results of one argument in byte order, or the argument itself when nothing matches or expansion fails.
std::vector<std::string> expand_argument(const std::string& arg)
{
    if (!needs_expansion(arg))
        return {arg};
    expansion state;
    try {
        expand_pattern(arg, 0, state);
    } catch (const too_deep&) {
        return {arg};
    }
    if (state.budget_reached)
        warning("the wildcard %s reached the limit of %ld directory entries and brace alternatives examined for one "
                "argument; further matches are left out\n",
                arg.c_str(), glob_entry_budget);
    if (state.results.empty())
        return {arg};
    std::sort(state.results.begin(), state.results.end());
    return std::move(state.results);
}

} // namespace

int do_glob(int* argc, char*** argv, int first)
{
    std::vector<std::string> expanded;
    for (int i = 0; i < *argc; ++i) {
        const std::string arg = (*argv)[i] != nullptr ? (*argv)[i] : "";
        if (i < first) {
            expanded.push_back(arg);
            continue;
        }
        try {
            for (auto& result : expand_argument(arg))
                expanded.push_back(std::move(result));
        } catch (const std::bad_alloc&) {
            expanded.push_back(arg);
        }
    }
    std::vector<char*>& vector = store().vectors.emplace_back(expanded.size() + 1, nullptr);
    for (size_t i = 0; i < expanded.size(); ++i) {
        vector[i] = store().texts.emplace_back(std::move(expanded[i])).data();
        TW_DEBUG("argv[" << i << "] = " << vector[i]);
    }
    *argc = static_cast<int>(expanded.size());
    *argv = vector.data();
    return 0;
}
