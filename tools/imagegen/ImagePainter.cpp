#include "tools/imagegen/ImagePainter.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "tools/imagegen/Figure.h"
#include "tools/imagegen/ItemArt.h"
#include "tools/imagegen/Raster.h"
#include "tools/imagegen/RecipeError.h"
#include "tools/imagegen/SceneArt.h"

namespace Orvex::Tools::ImageGen {

namespace {

struct IconCell {
    uint32_t x, y, width;
    const char* drawing;
};

// Where the general window cuts its icons from the sheet: 40 pixels high, 40 or 20 wide.
constexpr IconCell kIconCells[] = {
    {0, 0, 40, "shield"},  {64, 0, 40, "sword"},     {128, 0, 40, "tag"},     {192, 0, 40, "card"},
    {0, 64, 40, "pot"},    {64, 64, 40, "amulet"},   {128, 64, 40, "coins"},  {192, 64, 40, "cake"},
    {0, 128, 40, "seed"},  {64, 128, 40, "potion"},  {128, 128, 40, "chest"}, {192, 128, 20, "cross"},
    {0, 192, 20, "check"}, {64, 192, 20, "sparkle"}, {128, 192, 40, "curse"}, {192, 192, 40, "newspaper"},
};

uint32_t parseNumber(const std::string& text, const std::string& origin, uint32_t low, uint32_t high) {
    uint32_t value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, error] = std::from_chars(text.data(), end, value);
    if (error != std::errc() || ptr != end || value < low || value > high) {
        throw RecipeError(origin + ": \"" + text + "\" is not a whole number from " + std::to_string(low) + " to " +
                          std::to_string(high));
    }
    return value;
}

void needArguments(const ImageRecipe& recipe, size_t count, bool orMore) {
    const size_t have = recipe.arguments.size();
    if (have < count || (!orMore && have > count)) {
        throw RecipeError(recipe.origin + ": painter \"" + recipe.painter + "\" takes " + std::to_string(count) +
                          (orMore ? " or more" : "") + " arguments, not " + std::to_string(have));
    }
}

std::vector<uint32_t> coloursFrom(const ImageRecipe& recipe, size_t first) {
    std::vector<uint32_t> colours;
    for (size_t i = first; i < recipe.arguments.size(); ++i)
        colours.push_back(parseColour(recipe.arguments[i], recipe.origin));
    return colours;
}

class Painter {
public:
    explicit Painter(const ImageRecipe& recipe) : recipe_(recipe) {
        canvas_.width = recipe.width;
        canvas_.height = recipe.height;
        canvas_.pixels.assign(size_t(recipe.width) * recipe.height, 0);
    }

    Canvas run() {
        const std::string& name = recipe_.painter;
        if (name == "solid") {
            solid();
        } else if (name == "checker") {
            checker();
        } else if (name == "frame") {
            frame();
        } else if (name == "icons") {
            icons();
        } else if (name == "marks") {
            marks();
        } else if (name == "badge") {
            badge();
        } else if (name == "vignette") {
            vignette();
        } else if (name == "character") {
            character();
        } else if (name == "walker") {
            walker();
        } else if (name == "conditions") {
            needSize(kFrameWidth * 4, kMarkHeight * 5);
            paintConditionSheet(canvas_);
        } else if (name == "items") {
            items();
        } else if (name == "ground") {
            needArguments(recipe_, 0, false);
            needSquareCells(4, 3);
            paintGround(canvas_);
        } else if (name == "wallsheet") {
            needArguments(recipe_, 2, false);
            needSquareCells(4, 4);
            if (canvas_.width % 8 != 0) throw RecipeError(recipe_.origin + ": the wall sheet's side must divide by 8");
            paintWallSheet(canvas_, parseColour(recipe_.arguments[0], recipe_.origin),
                           parseColour(recipe_.arguments[1], recipe_.origin));
        } else if (name == "glows") {
            needArguments(recipe_, 1, true);
            paintGlows(canvas_, coloursFrom(recipe_, 0));
        } else if (name == "darkplane") {
            needArguments(recipe_, 1, false);
            paintDarkPlane(canvas_, parseNumber(recipe_.arguments[0], recipe_.origin, 8, 256));
        } else if (name == "minimap") {
            needArguments(recipe_, 1, false);
            needSize(80, 10);
            paintMiniMap(canvas_, parseColour(recipe_.arguments[0], recipe_.origin));
        } else if (name == "arrows") {
            needArguments(recipe_, 1, false);
            const uint32_t directions = parseNumber(recipe_.arguments[0], recipe_.origin, 4, 8);
            if (directions != 4 && directions != 8) throw RecipeError(recipe_.origin + ": arrows are 4 or 8");
            needSize(80, 136);
            paintArrows(canvas_, int(directions));
        } else if (name == "gauge") {
            needArguments(recipe_, 0, false);
            needSize(canvas_.width, 64);
            paintGauge(canvas_);
        } else if (name == "hollow") {
            needArguments(recipe_, 0, false);
            if (canvas_.width < 128 || canvas_.height < 128) {
                throw RecipeError(recipe_.origin + ": the shelter chip needs at least 128 x 128 pixels");
            }
            paintHollow(canvas_);
        } else if (name == "picture") {
            needArguments(recipe_, 1, false);
            if (!isPicture(recipe_.arguments[0])) {
                throw RecipeError(recipe_.origin + ": no picture named \"" + recipe_.arguments[0] + "\"");
            }
            paintPicture(canvas_, recipe_.arguments[0]);
        } else {
            throw RecipeError(recipe_.origin + ": unknown painter \"" + name + "\"");
        }
        return std::move(canvas_);
    }

private:
    void set(uint32_t x, uint32_t y, uint32_t colour) {
        if (x < canvas_.width && y < canvas_.height) canvas_.pixels[size_t(y) * canvas_.width + x] = colour;
    }

    void solid() {
        needArguments(recipe_, 1, false);
        std::fill(canvas_.pixels.begin(), canvas_.pixels.end(), parseColour(recipe_.arguments[0], recipe_.origin));
    }

    void checker() {
        needArguments(recipe_, 3, false);
        const uint32_t cell = parseNumber(recipe_.arguments[0], recipe_.origin, 1, 4096);
        const std::vector<uint32_t> colours = coloursFrom(recipe_, 1);
        for (uint32_t y = 0; y < canvas_.height; ++y) {
            for (uint32_t x = 0; x < canvas_.width; ++x) set(x, y, colours[((x / cell) + (y / cell)) % 2]);
        }
    }

    // A window frame: an edge band with a lighter inner line, rounded outer corners and a
    // translucent body.
    // A rounded frame: edge width, edge colour, fill colour and, optionally, a clear margin
    // around it (0 by default) that sets the edge in from the picture's border.
    void frame() {
        needArguments(recipe_, 3, true);
        if (recipe_.arguments.size() > 4) {
            needArguments(recipe_, 4, false);
        }
        const uint32_t edgeWidth = parseNumber(recipe_.arguments[0], recipe_.origin, 1, 32);
        const uint32_t edge = parseColour(recipe_.arguments[1], recipe_.origin);
        const uint32_t fill = parseColour(recipe_.arguments[2], recipe_.origin);
        const double inset =
            recipe_.arguments.size() > 3 ? parseNumber(recipe_.arguments[3], recipe_.origin, 0, 32) : 0.0;
        const double w = canvas_.width, h = canvas_.height, radius = edgeWidth * 2.0;
        for (uint32_t y = 0; y < canvas_.height; ++y) {
            for (uint32_t x = 0; x < canvas_.width; ++x) {
                const double d = roundedRectDistance(x + 0.5, y + 0.5, inset, inset, w - inset, h - inset, radius);
                uint32_t colour = 0;
                if (d <= -double(edgeWidth)) {
                    colour = fill;
                } else if (d <= -double(edgeWidth) + 1.5) {
                    colour = shade(edge, 1.35);
                } else if (d <= 0.0) {
                    colour = edge;
                } else if (d < 1.0) {
                    colour = fade(edge, 1.0 - d);
                }
                set(x, y, colour);
            }
        }
    }

    // The window icons: each icon cell gets the drawing of its item category or mark.
    void icons() {
        needArguments(recipe_, 0, false);
        Raster raster(canvas_);
        for (const IconCell& cell : kIconCells) {
            if (cell.x + cell.width > canvas_.width || cell.y + 40 > canvas_.height) {
                throw RecipeError(recipe_.origin + ": the icon sheet needs at least 232 x 232 pixels");
            }
            const double size = cell.width;
            drawItem(raster, cell.drawing, cell.x, cell.y + (40 - size) / 2, size);
        }
    }

    void character() {
        needArguments(recipe_, 1, false);
        if (!isCharacterKind(recipe_.arguments[0])) {
            throw RecipeError(recipe_.origin + ": no character named \"" + recipe_.arguments[0] + "\"");
        }
        needSize(kSheetWidth, kSheetHeight);
        paintCharacterSheet(canvas_, recipe_.arguments[0]);
    }

    // A 4 x 4 walking sheet of square cells for the sprite-animation check.
    void walker() {
        needArguments(recipe_, 1, false);
        if (!isCharacterKind(recipe_.arguments[0])) {
            throw RecipeError(recipe_.origin + ": no character named \"" + recipe_.arguments[0] + "\"");
        }
        if (canvas_.width != canvas_.height || canvas_.width % 4 != 0) {
            throw RecipeError(recipe_.origin + ": a walking sheet is square, its side a multiple of 4");
        }
        paintWalkerSheet(canvas_, recipe_.arguments[0], canvas_.width / 4);
    }

    // One drawing per cell, four cells a row, in the item sheet's order or the names given.
    void items() {
        std::vector<std::string> names = recipe_.arguments;
        if (names.empty()) names = itemSheetOrder();
        const uint32_t cell = canvas_.width / 4;
        needSize(canvas_.width, cell * uint32_t((names.size() + 3) / 4));
        drawCells(names, cell);
    }

    // Drawings in CELL-sized cells row by row; "-" leaves a cell empty.
    void marks() {
        needArguments(recipe_, 2, true);
        const uint32_t cell = parseNumber(recipe_.arguments[0], recipe_.origin, 4, 1024);
        const std::vector<std::string> names(recipe_.arguments.begin() + 1, recipe_.arguments.end());
        const uint32_t columns = canvas_.width / cell;
        if (columns == 0 || (names.size() + columns - 1) / columns * cell > canvas_.height) {
            throw RecipeError(recipe_.origin + ": " + std::to_string(names.size()) + " marks do not fit");
        }
        drawCells(names, cell);
    }

    void drawCells(const std::vector<std::string>& names, uint32_t cell) {
        for (const std::string& name : names) {
            if (name != "-" && !isItemDrawing(name)) {
                throw RecipeError(recipe_.origin + ": no drawing named \"" + name + "\"");
            }
        }
        const uint32_t columns = canvas_.width / cell;
        Raster raster(canvas_);
        for (size_t i = 0; i < names.size(); ++i) {
            const uint32_t left = uint32_t(i) % columns * cell, top = uint32_t(i) / columns * cell;
            raster.clip(int(left), int(top), int(left + cell), int(top + cell));  // marks never bleed
            if (names[i] != "-") drawItem(raster, names[i], left, top, cell);
        }
    }

    void needSize(uint32_t width, uint32_t height) const {
        if (canvas_.width != width || canvas_.height != height) {
            throw RecipeError(recipe_.origin + ": painter \"" + recipe_.painter + "\" paints " + std::to_string(width) +
                              " x " + std::to_string(height) + " pixels");
        }
    }

    void needSquareCells(uint32_t columns, uint32_t rows) const {
        if (canvas_.width % columns != 0 || canvas_.width / columns * rows != canvas_.height) {
            throw RecipeError(recipe_.origin + ": painter \"" + recipe_.painter + "\" needs " +
                              std::to_string(columns) + " x " + std::to_string(rows) + " square cells");
        }
    }

    void badge() {
        needArguments(recipe_, 2, false);
        const uint32_t tile = parseColour(recipe_.arguments[0], recipe_.origin);
        const uint32_t mark = parseColour(recipe_.arguments[1], recipe_.origin);
        const double w = canvas_.width, h = canvas_.height, side = std::min(w, h);
        for (uint32_t y = 0; y < canvas_.height; ++y) {
            for (uint32_t x = 0; x < canvas_.width; ++x) {
                const double d =
                    roundedRectDistance(x + 0.5, y + 0.5, w * 0.15, h * 0.15, w * 0.85, h * 0.85, side * 0.12);
                if (d > 0.0) continue;
                const double ring = std::abs(std::hypot(x + 0.5 - w / 2, y + 0.5 - h / 2) - side * 0.18);
                set(x, y, ring < side * 0.05 ? mark : tile);
            }
        }
    }

    void vignette() {
        needArguments(recipe_, 1, false);
        const uint32_t colour = parseColour(recipe_.arguments[0], recipe_.origin);
        const double cx = canvas_.width / 2.0, cy = canvas_.height / 2.0, reach = std::hypot(cx, cy);
        for (uint32_t y = 0; y < canvas_.height; ++y) {
            for (uint32_t x = 0; x < canvas_.width; ++x) {
                set(x, y, fade(colour, std::hypot(x + 0.5 - cx, y + 0.5 - cy) / reach));
            }
        }
    }

    const ImageRecipe& recipe_;
    Canvas canvas_;
};

}  // namespace

uint32_t parseColour(const std::string& text, const std::string& origin) {
    uint32_t value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, error] = std::from_chars(text.data(), end, value, 16);
    if (text.size() != 8 || error != std::errc() || ptr != end) {
        throw RecipeError(origin + ": colour \"" + text + "\" is not eight hex digits AARRGGBB");
    }
    return value;
}

Canvas paint(const ImageRecipe& recipe) { return Painter(recipe).run(); }

}  // namespace Orvex::Tools::ImageGen
