#pragma once
// Generated history folders of the benchmarks: made once in their scratch
// folder and reused by later runs.

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

namespace kq::bench {

// The folder of the viewer's benchmarks: 50,000 histories in 50 folders.
inline constexpr int kFolders = 50;
inline constexpr int kPerFolder = 1000;

// Bytes that compress and match nothing, the same for the same seed.
inline std::vector<std::uint8_t> noise(std::size_t n, std::uint32_t seed) {
    std::vector<std::uint8_t> out(n);
    for (auto& b : out) {
        seed = seed * 1664525u + 1013904223u;
        b = static_cast<std::uint8_t>(seed >> 24);
    }
    return out;
}

// A text and a number; appended, as GCC warns falsely about "literal" + string at -O3.
inline std::string numbered(const char* text, int n) {
    std::string out(text);
    out.append(std::to_string(n));
    return out;
}

inline std::string folderName(int f) {
    char name[16];
    std::snprintf(name, sizeof name, "F%02d", f);
    return name;
}

// `folders` folders F00, F01, ... below `root` of `perFolder` histories each,
// H<n>.tvk holding `history(n)`; a file "complete" beside them marks a
// folder made whole, which later runs reuse.
inline void generateFolder(const std::filesystem::path& root, const std::filesystem::path& below, int folders,
                           int perFolder, const std::function<std::vector<std::uint8_t>(int)>& history) {
    const auto done = root / "complete";
    if (std::filesystem::exists(done)) return;
    std::printf("generating %d histories in %s\n", folders * perFolder, root.string().c_str());
    for (int f = 0; f < folders; ++f) {
        const auto folder = root / below / folderName(f);
        std::filesystem::create_directories(folder);
        for (int i = 0; i < perFolder; ++i) {
            const int n = f * perFolder + i;
            const std::vector<std::uint8_t> bytes = history(n);
            std::ofstream out(folder / numbered("H", n).append(".tvk"), std::ios::binary);
            out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        }
    }
    std::ofstream(done) << "ok";
}

}  // namespace kq::bench
