#include <cctype>
#include <functional>
#include <stdexcept>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "artwork.h"
#include "pictures.h"
#include "raster.h"

namespace quorvel::artwork {

namespace {

constexpr int jpeg_quality = 90;

void add(std::vector<ImageFile>& files, std::string name, Bytes bytes) {
    files.push_back({std::move(name), std::move(bytes)});
}

// One picture of the program: its file name without extension, the format
// of its designed (100 %) file, and how to draw it at a display scale.
struct Drawing {
    std::string name;
    enum Format { bmp, gif, jpeg } format;
    std::function<Image(double)> draw;
};

std::vector<Drawing> drawings() {
    std::vector<Drawing> list;
    const std::pair<const char*, Rgba> inks[] = {
        {"normal", rgb(82, 81, 213)},
        {"hover", rgb(126, 118, 189)},
        {"pressed", rgb(48, 121, 89)},
        {"disabled", rgb(81, 90, 95)},
    };
    for (const auto& [state, ink] : inks) {
        const Rgba i = ink;
        list.push_back({std::string("settings_") + state, Drawing::jpeg,
                        [i](double k) { return settings_button(i, k); }});
    }
    const std::pair<const char*, Face> faces[] = {
        {"normal", Face::plain}, {"hover", Face::light}, {"pressed", Face::dark}};
    const std::tuple<const char*, Glyph, Drawing::Format> glyphs[] = {
        {"close_", Glyph::close, Drawing::gif},
        {"minimise_", Glyph::minimise, Drawing::gif},
        {"maximise_", Glyph::maximise, Drawing::bmp},
        {"restore_", Glyph::restore, Drawing::bmp},
    };
    for (const auto& [prefix, glyph, format] : glyphs) {
        for (const auto& [state, face] : faces) {
            const Glyph g = glyph;
            const Face f = face;
            list.push_back({std::string(prefix) + state, format,
                            [g, f](double k) { return title_button(g, f, k); }});
        }
    }
    const std::pair<const char*, Image (*)()> frame[] = {
        {"title_strip", title_strip},   {"title_joint", title_joint},
        {"title_holder", title_holder}, {"date_line", date_line},
        {"title_left", title_left},     {"title_right", title_right},
        {"status_left", status_left},   {"status_middle", status_middle},
        {"status_right", status_right}, {"border_left", border_left},
        {"border_right", border_right},
    };
    for (const auto& [name, draw] : frame) {
        auto* d = draw;
        list.push_back({name, Drawing::bmp, [d](double k) { return blocks(d(), k); }});
    }
    return list;
}

// Scaled sets: small palettes as GIF, the rest as BMP, both lossless.
ImageFile encode_scaled(const Drawing& d, const Image& image, int percent) {
    const std::string base = d.name + "@" + std::to_string(percent);
    try {
        return {base + ".gif", encode_gif(image)};
    } catch (const std::invalid_argument&) {
        return {base + ".bmp", encode_bmp(image)};
    }
}

}  // namespace

std::vector<ImageFile> draw_all() {
    std::vector<ImageFile> files;

    std::vector<Image> icons;
    for (int size : {128, 96, 72, 64, 48, 32, 24, 16}) icons.push_back(program_icon(size));
    add(files, "program_icon.ico", encode_ico(icons));

    for (const Drawing& d : drawings()) {
        const Image image = d.draw(1.0);
        switch (d.format) {
            case Drawing::jpeg:
                add(files, d.name + ".jpg", encode_jpeg(image, jpeg_quality));
                break;
            case Drawing::gif:
                add(files, d.name + ".gif", encode_gif(image));
                break;
            case Drawing::bmp:
                add(files, d.name + ".bmp", encode_bmp(image));
                break;
        }
    }
    return files;
}

std::vector<ImageFile> draw_scaled_sets() {
    std::vector<ImageFile> files;
    std::string script =
        "// Written by tools/artwork: the pictures drawn for each shipped display scale.\n";
    const std::vector<Drawing> list = drawings();
    for (std::size_t set = 0; set < std::size(scaled_set_percent); ++set) {
        const int percent = scaled_set_percent[set];
        for (const Drawing& d : list) {
            ImageFile file = encode_scaled(d, d.draw(percent / 100.0), percent);
            std::string id = "IDR_" + d.name;
            for (char& c : id) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
            script += id + "+" + std::to_string(scaled_set_id_step * static_cast<int>(set + 1)) +
                      " RCDATA \"" + file.name + "\"\n";
            files.push_back(std::move(file));
        }
    }
    files.push_back({"scaled_pictures.rc", Bytes(script.begin(), script.end())});
    return files;
}

}  // namespace quorvel::artwork
