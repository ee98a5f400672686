#include <string>
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

}  // namespace

std::vector<ImageFile> draw_all() {
    std::vector<ImageFile> files;

    std::vector<Image> icons;
    for (int size : {128, 96, 72, 64, 48, 32, 24, 16}) icons.push_back(program_icon(size));
    add(files, "program_icon.ico", encode_ico(icons));

    const std::pair<const char*, Rgba> inks[] = {
        {"normal", rgb(82, 81, 213)},
        {"hover", rgb(126, 118, 189)},
        {"pressed", rgb(48, 121, 89)},
        {"disabled", rgb(81, 90, 95)},
    };
    for (const auto& [state, ink] : inks) {
        add(files, std::string("settings_") + state + ".jpg",
            encode_jpeg(settings_button(ink), jpeg_quality));
    }

    const std::pair<const char*, Face> faces[] = {
        {"normal", Face::plain}, {"hover", Face::light}, {"pressed", Face::dark}};
    for (const auto& [state, face] : faces) {
        add(files, std::string("close_") + state + ".gif",
            encode_gif(title_button(Glyph::close, face)));
    }
    for (const auto& [state, face] : faces) {
        add(files, std::string("minimise_") + state + ".gif",
            encode_gif(title_button(Glyph::minimise, face)));
    }
    for (const auto& [state, face] : faces) {
        add(files, std::string("maximise_") + state + ".bmp",
            encode_bmp(title_button(Glyph::maximise, face)));
    }
    for (const auto& [state, face] : faces) {
        add(files, std::string("restore_") + state + ".bmp",
            encode_bmp(title_button(Glyph::restore, face)));
    }

    const std::pair<const char*, Image (*)()> frame[] = {
        {"title_strip", title_strip},   {"title_joint", title_joint},
        {"title_holder", title_holder}, {"date_line", date_line},
        {"title_left", title_left},     {"title_right", title_right},
        {"status_left", status_left},   {"status_middle", status_middle},
        {"status_right", status_right}, {"border_left", border_left},
        {"border_right", border_right},
    };
    for (const auto& [name, draw] : frame)
        add(files, std::string(name) + ".bmp", encode_bmp(draw()));
    return files;
}

}  // namespace quorvel::artwork
