// Loading and unloading fonts: the font path, the search over candidate files and drivers, and building the font
// record from what a driver reports. Font files are untrusted input: sizes are capped before anything is allocated.
#include "font/fontdrv.h"

#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <optional>

#include "core/c_entry.h"
#include "unpack.h"

const font_driver* const _GrFontDriverTable[] = {&fdv_native, &fdv_bgi, &fdv_raw, &fdv_fna, &fdv_win, nullptr};

namespace
{

constexpr std::size_t max_font_path_dirs = 100;

// The font path: unset until first needed (then taken from "TWGRFONT"), or set by GrSetFontPath.
struct font_path_info {
    bool set = false;
    std::vector<std::string> dirs; // each ends in "/"
};
font_path_info font_path;

bool is_blank(char c)
{
    return std::isspace(static_cast<unsigned char>(c)) != 0;
}

void set_font_path(const char* list)
{
    std::vector<std::string> dirs;
    std::string part;
    auto flush = [&] {
        if (!part.empty() && dirs.size() < max_font_path_dirs)
            dirs.push_back(part.back() == '/' ? part : part + "/");
        part.clear();
    };
    for (const char* p = list; *p; ++p) {
        if (*p == ':' || *p == ';' || is_blank(*p))
            flush();
        else
            part += *p;
    }
    flush();
    font_path.dirs = std::move(dirs);
    font_path.set = true;
}

// Reads a whole regular file, refusing anything larger than a font could sensibly be.
std::optional<std::vector<std::uint8_t>> read_font_file(const std::string& path)
{
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec))
        return std::nullopt;
    auto size = std::filesystem::file_size(path, ec);
    if (ec || size > max_font_file_bytes)
        return std::nullopt;
    std::ifstream in(path, std::ios::binary);
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
    if (!in || !in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size())))
        return std::nullopt;
    if (is_packed_font(bytes))
        return unpacked_font(bytes);
    return bytes;
}

// Tries every driver on one candidate (the file as named, then with the driver's extension).
GrFont* load_from_candidate(const std::string& base)
{
    std::map<std::string, std::optional<std::vector<std::uint8_t>>> files;
    auto file_of = [&](const std::string& path) -> const std::optional<std::vector<std::uint8_t>>& {
        auto it = files.find(path);
        if (it == files.end())
            it = files.emplace(path, read_font_file(path)).first;
        return it->second;
    };
    for (const font_driver* const* d = _GrFontDriverTable; *d; ++d) {
        const font_driver& drv = **d;
        for (const std::string& path : {base, base + drv.ext}) {
            const auto& bytes = file_of(path);
            if (!bytes)
                continue;
            bool opened = drv.openfile(*bytes, path.c_str()) != 0;
            GrFont* font = opened ? build_font(drv) : nullptr;
            drv.cleanup();
            if (font)
                return font;
            if (opened)
                break; // this driver took the file but could not build it; the extension is not tried then
        }
    }
    return nullptr;
}

// The name without leading white space, ending at the next white space.
std::string trimmed_font_name(const char* name)
{
    while (*name && is_blank(*name))
        ++name;
    const char* end = name;
    while (*end && !is_blank(*end))
        ++end;
    return std::string(name, end);
}

} // namespace

void GrSetFontPath(const char* path_list)
{
    twgr::or_nothing([&] {
        if (path_list && *path_list)
            set_font_path(path_list);
    });
}

GrFont* GrLoadConvertedFont(const char* name, int cvt, int w, int h, int minch, int maxch)
{
    return twgr::result_or<GrFont*>(nullptr, [&]() -> GrFont* {
        if (!name || cvt != 0 || w != 0 || h != 0 || minch != 0 || maxch != 0)
            return nullptr;
        std::string file = trimmed_font_name(name);
        if (file.empty())
            return nullptr;
        if (GrFont* font = load_from_candidate(file))
            return font;
        if (file.find('/') != std::string::npos)
            return nullptr;
        if (!font_path.set) {
            const char* env = std::getenv("TWGRFONT");
            set_font_path(env ? env : "");
        }
        for (const std::string& dir : font_path.dirs)
            if (GrFont* font = load_from_candidate(dir + file))
                return font;
        return nullptr;
    });
}

GrFont* GrLoadFont(const char* name)
{
    return GrLoadConvertedFont(name, 0, 0, 0, 0, 0);
}

void GrUnloadFont(GrFont* font)
{
    if (!font || font->h.preloaded)
        return;
    std::unique_ptr<loaded_font> owned(static_cast<loaded_font*>(font));
}

// Fonts as distributions ship them (console fonts as .psf.gz) are gzip-compressed: the unpacked bytes are the font,
// held to the same limit as a plain font file.
bool is_packed_font(std::span<const std::uint8_t> file)
{
    return packing_of(file) == packing::gzip;
}

std::optional<std::vector<std::uint8_t>> unpacked_font(std::span<const std::uint8_t> packed)
{
    unpacked_bytes unpacked = unpack_whole(packing::gzip, packed, max_font_file_bytes);
    if (!unpacked.error.empty())
        return std::nullopt;
    return std::move(unpacked.bytes);
}

GrFont* load_font_from_bytes(const font_driver& drv, std::span<const std::uint8_t> file, const char* path)
{
    std::optional<std::vector<std::uint8_t>> unpacked;
    if (is_packed_font(file)) {
        unpacked = unpacked_font(file);
        if (!unpacked)
            return nullptr;
        file = *unpacked;
    }
    GrFont* font = drv.openfile(file, path) ? build_font(drv) : nullptr;
    drv.cleanup();
    return font;
}
