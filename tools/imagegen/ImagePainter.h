#pragma once
// Paints the images of a recipe. Every painter is a pure function of the recipe, so the same
// recipe gives the same pixels on every run.
#include <cstdint>
#include <vector>

#include "tools/imagegen/ImageRecipe.h"

namespace Orvex::Tools::ImageGen {

struct Canvas {
    uint32_t width = 0;
    uint32_t height = 0;
    std::vector<uint32_t> pixels;  // 0xAARRGGBB, rows top to bottom
};

// Painters and their arguments:
//   solid    COLOUR
//   checker  CELL COLOUR COLOUR              squares of CELL pixels
//   frame    EDGE COLOUR FILL                 one rounded frame over the whole image, so that
//                                             its nine 64x64 cells slice into window parts
//   icons    COLOUR...                        the window icon sheet (fixed cell table), one
//                                             shape per icon in the colours given in turn
//   grid     CELL COLOUR...                   one round mark per CELL-sized cell, colours in turn
//   badge    COLOUR MARK                      a rounded tile with a ring mark in its middle
//   vignette COLOUR                           the colour at the edges fading to clear at the centre
// Throws RecipeError naming the recipe line for an unknown painter or bad arguments.
Canvas paint(const ImageRecipe& recipe);

// "AARRGGBB" to a colour; throws RecipeError (with origin) when malformed.
uint32_t parseColour(const std::string& text, const std::string& origin);

}  // namespace Orvex::Tools::ImageGen
