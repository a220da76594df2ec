// Choosing the video driver: by name, from the environment, or by detection; and closing it again.
#include "core/c_entry.h"
#include "core/twgr_internal.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

_GR_driverInfo _GrDriverInfo = {
    .vdriver = nullptr,
    .curmode = &_GrDriverInfo.actmode,
    .actmode = {},
    .fdriver = twgr::placeholder_driver(),
    .sdriver = twgr::placeholder_driver(),
    .tdriver = twgr::placeholder_driver(),
    .mcode = GR_default_text,
    .deftw = 80,
    .defth = 25,
    .defgw = 640,
    .defgh = 480,
    .deftc = 16,
    .defgc = 16,
    .biggw = 4096,
    .biggh = 4096,
    .vposx = 0,
    .vposy = 0,
    .errsfatal = 1,
    .moderestore = 1,
    .splitbanks = 0,
    .curbank = -1,
    .mdsethook = nullptr,
    .setbank = nullptr,
    .setrwbanks = nullptr,
};
const _GR_driverInfo* const GrDriverInfo = &_GrDriverInfo;

namespace
{

// The drivers offered, in the order they are looked up and detected. A window driver goes first.
GrVideoDriver* const _GrVideoDriverTable[] = {
    &_GrDriverSDL2,
    &_GrDriverMEM,
    nullptr,
};

std::vector<std::string> split_blanks(const char* text)
{
    std::vector<std::string> tokens;
    std::string cur;
    for (const char* p = text; *p != '\0'; ++p) {
        if (*p == ' ' || *p == '\t') {
            if (!cur.empty())
                tokens.push_back(std::move(cur));
            cur.clear();
        } else {
            cur += *p;
        }
    }
    if (!cur.empty())
        tokens.push_back(std::move(cur));
    return tokens;
}

bool same_key(const std::string& token, const char* key)
{
    return token.size() == 2 && std::tolower((unsigned char)token[0]) == key[0] &&
           std::tolower((unsigned char)token[1]) == key[1];
}

long read_long(const std::string& token)
{
    long v = 0;
    std::sscanf(token.c_str(), "%ld", &v);
    return v;
}

// A colour count, with a last "K" or "M" multiplying by 1024 or 1048576.
GrColor read_count(const std::string& token)
{
    unsigned long long v = (unsigned long long)read_long(token);
    char last = (char)std::toupper((unsigned char)token.back());
    if (last == 'K')
        v *= 1024ULL;
    else if (last == 'M')
        v *= 1048576ULL;
    return (GrColor)v;
}

// Applies the size and colour keys; returns the driver name token (the last one), if any.
std::string apply_tokens(const std::vector<std::string>& tokens)
{
    std::string name;
    for (std::size_t i = 0; i < tokens.size(); ++i) {
        const std::string& t = tokens[i];
        bool has_value = i + 1 < tokens.size();
        int* target = same_key(t, "gw")   ? &_GrDriverInfo.defgw
                      : same_key(t, "gh") ? &_GrDriverInfo.defgh
                      : same_key(t, "tw") ? &_GrDriverInfo.deftw
                      : same_key(t, "th") ? &_GrDriverInfo.defth
                                          : nullptr;
        GrColor* count = same_key(t, "gc") || same_key(t, "nc") ? &_GrDriverInfo.defgc
                         : same_key(t, "tc")                    ? &_GrDriverInfo.deftc
                                                                : nullptr;
        if ((target != nullptr || count != nullptr) && has_value) {
            const std::string& v = tokens[++i];
            if (target != nullptr)
                *target = (int)read_long(v);
            else
                *count = read_count(v);
        } else if (target == nullptr && count == nullptr) {
            name = t;
        }
    }
    return name;
}

bool same_name(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower((unsigned char)x) == std::tolower((unsigned char)y);
           });
}

// The window driver also answers to the name it has where it first ran, so that scripts and TWGRDRV settings
// written for that name keep working.
constexpr struct {
    std::string_view alias, name;
} driver_aliases[] = {{"win32", "sdl2"}};

GrVideoDriver* find_named(std::string_view name)
{
    for (const auto& a : driver_aliases)
        if (same_name(name, a.alias))
            name = a.name;
    for (int i = 0; _GrVideoDriverTable[i] != nullptr; ++i)
        if (same_name(_GrVideoDriverTable[i]->name, name))
            return _GrVideoDriverTable[i];
    return nullptr;
}

// Of the drivers that detect their hardware, the one with the most modes (the first on ties).
GrVideoDriver* detect_driver()
{
    GrVideoDriver* best = nullptr;
    for (int i = 0; _GrVideoDriverTable[i] != nullptr; ++i) {
        GrVideoDriver* d = _GrVideoDriverTable[i];
        if (d->detect == nullptr || d->detect() == 0)
            continue;
        if (best == nullptr || d->nmodes > best->nmodes)
            best = d;
    }
    return best;
}

void read_biggest_size()
{
    const char* bigg = std::getenv("TWGRBIGG");
    int w = 0, h = 0;
    if (bigg != nullptr && std::sscanf(bigg, "%d %d", &w, &h) == 2) {
        _GrDriverInfo.biggw = w;
        _GrDriverInfo.biggh = h;
    }
}

void close_at_exit()
{
    _GrCloseVideoDriver();
}

} // namespace

int GrSetDriver(const char* driver_text)
{
    return twgr::result_or<int>(0, [&]() -> int {
        read_biggest_size();
        if (driver_text == nullptr)
            driver_text = std::getenv("TWGRDRV");
        std::string name = driver_text != nullptr ? apply_tokens(split_blanks(driver_text)) : std::string();
        std::string options;
        if (std::size_t sep = name.find("::"); sep != std::string::npos) {
            options = name.substr(sep + 2);
            name.resize(sep);
        }
        GrVideoDriver* drv = name.empty() ? detect_driver() : find_named(name);
        if (drv == nullptr)
            return 0;
        _GrCloseVideoDriver();
        static bool registered = false;
        if (!registered) {
            std::atexit(close_at_exit);
            registered = true;
        }
        if (drv->init != nullptr && drv->init(options.c_str()) == 0)
            return 0;
        _GrDriverInfo.vdriver = drv;
        return 1;
    });
}

void _GrCloseVideoDriver(void)
{
    // The screen's frame memory may go with the driver: nothing may reach it through the screen either.
    twgr::use_placeholder_driver();
    _GrDriverInfo.sdriver = twgr::placeholder_driver();
    GrVideoDriver* drv = _GrDriverInfo.vdriver;
    _GrDriverInfo.vdriver = nullptr;
    if (drv != nullptr && drv->reset != nullptr)
        drv->reset();
}
