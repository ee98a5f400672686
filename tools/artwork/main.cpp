// Writes every picture of the program into the folder named on the command
// line; the resource script embeds them from there.
#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>

#include "artwork.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT_FOLDER\n", argv[0]);
        return 2;
    }
    try {
        const std::filesystem::path folder = argv[1];
        std::filesystem::create_directories(folder);
        auto files = quorvel::artwork::draw_all();
        for (auto& file : quorvel::artwork::draw_scaled_sets()) files.push_back(std::move(file));
        for (const auto& file : files) {
            const auto path = folder / file.name;
            std::ofstream out(path, std::ios::binary | std::ios::trunc);
            out.write(reinterpret_cast<const char*>(file.bytes.data()),
                      static_cast<std::streamsize>(file.bytes.size()));
            out.close();
            if (!out) {
                std::fprintf(stderr, "cannot write %s\n", path.string().c_str());
                return 1;
            }
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "artwork: %s\n", e.what());
        return 1;
    }
    return 0;
}
