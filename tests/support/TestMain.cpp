// The entry point of every test program: tests run headless (no window, silent audio) whether
// they are started by CTest or by hand.
#include <cstdlib>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    setenv("SDL_VIDEODRIVER", "dummy", /*overwrite=*/0);
    setenv("SDL_AUDIODRIVER", "dummy", /*overwrite=*/0);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
