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
//   icons                                     the window icon sheet (fixed cell table): each
//                                             icon the drawing of its item category or mark
//   marks    CELL DRAWING...                  drawings (ItemArt.h) in CELL-sized cells row by row;
//                                             "-" leaves a cell empty
//   badge    COLOUR MARK                      a rounded tile with a ring mark in its middle
//   vignette COLOUR                           the colour at the edges fading to clear at the centre
//   character KIND                            a character's sprite sheet (Figure.h): hero,
//                                             slime, mobb, guard, vendor, or weapon
//   conditions                                the condition marks over a head (Figure.h)
//   items    [DRAWING...]                     item drawings four a row in square cells of
//                                             width / 4 (default: the item sheet order)
//   ground                                    floor and water chips (SceneArt.h)
//   wallsheet TOP FACE                        the auto-tile wall sheet (SceneArt.h)
//   glows    COLOUR...                        additive glow chips, one square cell each
//   darkplane CELL                            darkness with a hole around the player's cell
//   minimap                                   the mini-map icon strip (80 x 10)
//   arrows   4|8                              direction arrows around the player (80 x 136)
//   gauge                                     HUD gauge parts, four rows of 16 pixels
//   hollow                                    the pot an actor hides in (>= 128 x 128)
//   picture  NAME                             a full picture (SceneArt.h)
// Throws RecipeError naming the recipe line for an unknown painter or bad arguments.
Canvas paint(const ImageRecipe& recipe);

// "AARRGGBB" to a colour; throws RecipeError (with origin) when malformed.
uint32_t parseColour(const std::string& text, const std::string& origin);

}  // namespace Orvex::Tools::ImageGen
