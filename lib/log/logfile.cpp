// The usage log, appended atomically so that parallel runs sharing one folder keep whole lines. Only a regular file
// is written, never through a link, and a line is never left half written.
#include "log/logfile.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <memory>
#include <new>
#include <sys/stat.h>
#include <unistd.h>

namespace
{

constexpr int open_attempts = 11;

struct free_deleter {
    void operator()(char* p) const { std::free(p); }
};

// The local time in the locale's date and time forms; LC_TIME follows the user's environment. The buffer is
// roomy: a locale with long forms must not lose the time from the line altogether.
std::string time_text()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    char text[128] = "";
    if (localtime_r(&now, &local) != nullptr)
        std::strftime(text, sizeof text, "%x %X", &local);
    return text;
}

bool is_control(char c)
{
    const auto byte = static_cast<unsigned char>(c);
    return byte < 0x20 || byte == 0x7f;
}

bool has_control(const char* text)
{
    for (; *text != '\0'; ++text)
        if (is_control(*text))
            return true;
    return false;
}

bool needs_quotes(const char* arg)
{
    return std::strpbrk(arg, " ,*") != nullptr || has_control(arg);
}

// Control characters as escapes, so that a line feed or a terminal sequence in a file name cannot forge a line
// of the log or act on the terminal that shows it.
void append_escaped(std::string& line, const char* text)
{
    static constexpr char hex[] = "0123456789abcdef";
    for (; *text != '\0'; ++text) {
        const auto byte = static_cast<unsigned char>(*text);
        if (!is_control(*text))
            line += *text;
        else if (byte == '\n')
            line += "\\n";
        else if (byte == '\t')
            line += "\\t";
        else if (byte == '\r')
            line += "\\r";
        else
            line += {'\\', 'x', hex[byte >> 4], hex[byte & 15]};
    }
}

void append_quoted(std::string& line, const char* text, tw::quote_function quote)
{
    std::unique_ptr<char, free_deleter> quoted(quote(text));
    line += '"';
    // Without memory for the quoted copy the text goes in as it is rather than being lost.
    append_escaped(line, quoted ? quoted.get() : text);
    line += '"';
}

void append_argument(std::string& line, const char* arg, tw::quote_function quote)
{
    line += ' ';
    if (!needs_quotes(arg)) {
        line += arg;
        return;
    }
    const char* equals = std::strchr(arg, '=');
    if (std::strncmp(arg, "--", 2) == 0 && equals != nullptr) {
        line.append(arg, equals + 1);
        append_quoted(line, equals + 1, quote);
        return;
    }
    append_quoted(line, arg, quote);
}

// A link is not followed, and only a regular file is kept: a pipe or a device named logfile would block the run
// or take its line elsewhere. O_NONBLOCK makes opening a pipe without a reader fail at once instead of waiting.
int open_log(const char* name)
{
    for (int attempt = 0; attempt < open_attempts; ++attempt) {
        const int fd = open(name, O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY, 0666);
        if (fd < 0)
            continue;
        struct stat info {
        };
        if (fstat(fd, &info) == 0 && S_ISREG(info.st_mode))
            return fd;
        close(fd);
        return -1;
    }
    return -1;
}

// One write(2) on an O_APPEND descriptor puts the whole line at the end at once; the loop only finishes a write
// that a signal or a full disk cut short. Returns the number of bytes written.
size_t write_all(int fd, const std::string& line)
{
    size_t done = 0;
    while (done < line.size()) {
        const ssize_t written = write(fd, line.data() + done, line.size() - done);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            break;
        done += static_cast<size_t>(written);
    }
    return done;
}

// Takes back the first part of a line that could not be written whole, so that no torn line stays. When another
// run appended after it meanwhile, cutting would take its line too: the part then stays.
void take_back(int fd, size_t done)
{
    const off_t end = lseek(fd, 0, SEEK_CUR);
    struct stat info {
    };
    if (end < static_cast<off_t>(done) || fstat(fd, &info) != 0 || info.st_size != end)
        return;
    if (ftruncate(fd, end - static_cast<off_t>(done)) != 0)
        return; // nothing more can be done; "No logfile entry" follows all the same
}

void no_entry()
{
    std::fflush(stdout);
    std::fputs("No logfile entry\n", stderr);
    std::fflush(stderr);
}

} // namespace

char* quote_string(const char* s)
{
    if (s == nullptr)
        s = "";
    size_t extra = 0;
    for (const char* p = s; *p; ++p)
        extra += *p == '\\' || *p == '"';
    const size_t length = std::strlen(s);
    char* quoted = static_cast<char*>(std::malloc(length + extra + 1));
    if (quoted == nullptr)
        return nullptr;
    char* out = quoted;
    for (const char* p = s; *p; ++p) {
        if (*p == '\\' || *p == '"')
            *out++ = '\\';
        *out++ = *p;
    }
    *out = '\0';
    return quoted;
}

namespace tw
{

std::string log_arguments(int argc, char** argv, quote_function quote)
{
    std::string line;
    for (int i = 0; i < argc; ++i)
        append_argument(line, argv[i] != nullptr ? argv[i] : "", quote);
    return line;
}

} // namespace tw

void flogfile(const char* logfile, int argc, char** argv)
{
    const int fd = open_log(logfile);
    if (fd < 0) {
        no_entry();
        return;
    }
    bool written = false;
    try {
        const std::string line = time_text() + tw::log_arguments(argc, argv) + "\n";
        const size_t done = write_all(fd, line);
        written = done == line.size();
        if (!written && done > 0)
            take_back(fd, done);
    } catch (const std::bad_alloc&) {
        written = false;
    }
    close(fd);
    if (!written)
        no_entry();
}

void logfile(int argc, char** argv)
{
    flogfile("logfile", argc, argv);
}
