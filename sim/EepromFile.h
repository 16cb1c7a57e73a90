#pragma once
// The drive's EEPROM kept in a text file: one "address value" pair a line,
// both decimal. Written to a temporary name and renamed into place, so a
// crash never leaves half a file.

#include <cstdint>
#include <map>
#include <optional>
#include <string>

namespace drivesim {

// Loads and stores the saved register image.
class EepromFile {
public:
    using Image = std::map<uint16_t, uint16_t>;

    explicit EepromFile(std::string path) : path_(std::move(path)) {}

    // Nothing when the file does not exist (a new drive); an error text
    // when it exists but is malformed, so it is never overwritten blindly.
    struct LoadResult {
        std::optional<Image> image;
        std::string error;
    };
    LoadResult load() const;
    bool save(const Image& image) const;
    const std::string& path() const { return path_; }

    // Parses file text; false with a message on the first bad line.
    static bool parse(const std::string& text, Image& image, std::string& error);

private:
    std::string path_;
};

}  // namespace drivesim
