// Path splitting and absolute paths.
#include "portable/mypath.h"

#include "portable/compat.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <new>
#include <string>
#include <unistd.h>
#include <vector>

namespace
{

constexpr int result_no_memory = 12;
constexpr int result_too_long = 38;

bool is_separator(char c)
{
    return c == '/' || c == '\\';
}

// Index just after the last separator or drive colon before end, or 0.
size_t start_after_separator(const std::string& path, size_t end)
{
    for (size_t i = end; i > 0; --i)
        if (is_separator(path[i - 1]) || path[i - 1] == ':')
            return i;
    return 0;
}

// Copies part into an output that is wanted; false when it does not fit.
bool store_part(const std::string& part, char* out, size_t out_len)
{
    if (out == nullptr)
        return true;
    if (part.size() >= out_len)
        return false;
    tw::strlcpy(out, part.c_str(), out_len);
    return true;
}

void clear_part(char* out, size_t out_len)
{
    if (out != nullptr && out_len > 0)
        out[0] = '\0';
}

// Cuts the extension off path and stores it: the text from the last "." that stands after every separator and
// drive colon. The scan never looks before the first character.
bool split_extension(std::string& path, char* extension, size_t extension_len)
{
    for (size_t i = path.size(); i > 0; --i) {
        const char c = path[i - 1];
        if (c == '.') {
            if (!store_part(path.substr(i - 1), extension, extension_len))
                return false;
            path.resize(i - 1);
            return true;
        }
        if (is_separator(c) || c == ':')
            return true;
    }
    return true;
}

int split_path(std::string& path, char* drive, size_t drive_len, char* directory, size_t directory_len, char* filename,
               size_t filename_len, char* extension, size_t extension_len)
{
    if (!split_extension(path, extension, extension_len))
        return result_too_long;
    const size_t name_start = start_after_separator(path, path.size());
    if (!store_part(path.substr(name_start), filename, filename_len))
        return result_too_long;
    if (name_start == 0)
        return 0;
    path.resize(name_start);
    const size_t colon = path.rfind(':');
    const size_t directory_start = colon == std::string::npos ? 0 : colon + 1;
    if (!store_part(path.substr(directory_start), directory, directory_len))
        return result_too_long;
    if (directory_start == 0)
        return 0;
    path.resize(directory_start);
    return store_part(path, drive, drive_len) ? 0 : result_too_long;
}

// Splits a path at "/" into its components, dropping empty ones and ".", and applying "..".
void push_components(const std::string& path, std::vector<std::string>& parts)
{
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find('/', start);
        if (end == std::string::npos)
            end = path.size();
        const std::string part = path.substr(start, end - start);
        if (part == "..") {
            if (!parts.empty())
                parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        start = end + 1;
    }
}

std::string current_directory()
{
    std::vector<char> buffer(PATH_MAX);
    if (getcwd(buffer.data(), buffer.size()) == nullptr)
        return {};
    return buffer.data();
}

} // namespace

int explode_path_n(const char* real_path, char* drive, size_t drive_len, char* directory, size_t directory_len,
                   char* filename, size_t filename_len, char* extension, size_t extension_len)
{
    clear_part(drive, drive_len);
    clear_part(directory, directory_len);
    clear_part(filename, filename_len);
    clear_part(extension, extension_len);
    if (real_path == nullptr)
        return 0;
    try {
        std::string path(real_path);
        return split_path(path, drive, drive_len, directory, directory_len, filename, filename_len, extension,
                          extension_len);
    } catch (const std::bad_alloc&) {
        return result_no_memory;
    }
}

int explode_path(const char* path, char* drive, char* directory, char* filename, char* extension)
{
    return explode_path_n(path, drive, 3, directory, 256, filename, 256, extension, 256);
}

namespace tw
{

char* realpath(const char* path, char* resolved)
{
    if (path == nullptr || resolved == nullptr || path[0] == '\0') {
        errno = path != nullptr && resolved != nullptr ? ENOENT : EINVAL;
        return nullptr;
    }
    try {
        std::vector<std::string> parts;
        if (path[0] != '/') {
            const std::string cwd = current_directory();
            if (cwd.empty())
                return nullptr;
            push_components(cwd, parts);
        }
        push_components(path, parts);
        std::string absolute;
        for (const auto& part : parts) {
            absolute += '/';
            absolute += part;
        }
        if (parts.empty())
            absolute.push_back('/');
        if (strlcpy(resolved, absolute.c_str(), PATH_MAX) >= PATH_MAX) {
            errno = ENAMETOOLONG;
            return nullptr;
        }
        return resolved;
    } catch (const std::bad_alloc&) {
        errno = ENOMEM;
        return nullptr;
    }
}

} // namespace tw

std::string absolute_path(const std::string& name, bool report)
{
    // Standard input has no path: it is shown as named.
    if (name == "-")
        return name;
    std::vector<char> resolved(PATH_MAX);
    errno = 0;
    if (tw::realpath(name.c_str(), resolved.data()) != nullptr)
        return resolved.data();
    if (report)
        std::perror("realpath");
    return name;
}
