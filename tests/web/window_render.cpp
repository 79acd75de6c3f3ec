// The window's picture of some cells, for the page's pixel test: shows the cells in the window
// backend (run under xvfb-run), reads back what the window shows and writes it as a binary PPM
// at one pixel per font pixel, after checking that each font pixel is a whole square there.
// Usage: web_window_render CELLS OUT.ppm   (CELLS: 80x25 glyph and colour bytes, row by row)
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

#include "window/window.h"

int main(int argc, char **argv) {
    if (argc != 3) {
        std::fputs("usage: web_window_render CELLS OUT.ppm\n", stderr);
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (bytes.size() != sizeof(ScreenCells)) {
        std::fprintf(stderr, "%s: %zu bytes, not 80x25 cells\n", argv[1], bytes.size());
        return 2;
    }
    ScreenCells cells;
    for (int i = 0; i < screenWidth * screenHeight; i++) {
        cells[i / screenWidth][i % screenWidth] =
            Cell{static_cast<uint8_t>(bytes[2 * i]), static_cast<uint8_t>(bytes[2 * i + 1])};
    }
    usePlatform(&windowPlatform);
    if (!windowPlatform.init()) return 2;
    windowPlatform.present(cells);
    WindowCapture capture;
    bool captured = windowCapture(&capture);
    windowPlatform.shutdown();
    if (!captured || capture.scale < 1) {
        std::fputs("web_window_render: cannot read the window back\n", stderr);
        return 1;
    }
    std::string picture = "P6\n640 400\n255\n";
    for (int y = 0; y < screenPixelsHigh; y++) {
        for (int x = 0; x < screenPixelsWide; x++) {
            auto at = [&](int dx, int dy) {
                return capture
                    .pixels[static_cast<size_t>(capture.originY + y * capture.scale + dy) *
                                static_cast<size_t>(capture.width) +
                            static_cast<size_t>(capture.originX + x * capture.scale + dx)];
            };
            uint32_t pixel = at(0, 0);
            for (int dy = 0; dy < capture.scale; dy++) {
                for (int dx = 0; dx < capture.scale; dx++) {
                    if (at(dx, dy) == pixel) continue;
                    std::fprintf(stderr, "web_window_render: font pixel %d,%d is not square\n", x,
                                 y);
                    return 1;
                }
            }
            picture += static_cast<char>(pixel >> 16 & 0xFF);
            picture += static_cast<char>(pixel >> 8 & 0xFF);
            picture += static_cast<char>(pixel & 0xFF);
        }
    }
    std::ofstream out(argv[2], std::ios::binary);
    out << picture;
    return out ? 0 : 1;
}
