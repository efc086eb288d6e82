// A screenshot of the whole X display the tests run on, taken by ImageMagick's import outside
// Wine, so that it shows what reached the screen rather than what Wine believes it drew.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace shell_testing {

struct Pixel {
    std::uint8_t red;
    std::uint8_t green;
    std::uint8_t blue;

    friend bool operator==(const Pixel&, const Pixel&) = default;
};

std::string Describe(const Pixel& pixel);

class Screenshot {
  public:
    // Takes one into `folder` (a Windows path); an empty one, and a test failure, if it fails.
    static Screenshot Take(const std::string& folder);

    int width() const { return width_; }
    int height() const { return height_; }
    // The pixel at screen coordinates, which are the display's under Wine's virtual desktop.
    Pixel at(int x, int y) const;
    // Writes the part of the screen within the rectangle as a binary PPM file.
    void saveCrop(const std::string& fileName, int left, int top, int right, int bottom) const;

  private:
    int width_ = 0;
    int height_ = 0;
    std::vector<std::uint8_t> rgb_;
};

}  // namespace shell_testing
