// The save container's readers over arbitrary files: the current format and the old one. A
// damaged file is refused with nothing read into the serializer (current) or read whole and
// unscrambled (old); no read passes the file and no body inflates beyond the limit.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "engine/serialization/OxSerializer.h"
#include "engine/system/OxStringConvert.h"
#include "game/save/COldSaveDataController.h"
#include "game/save/CSaveDataController.h"
#include "platform/kernel/Process.h"

namespace {

void check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

const std::filesystem::path& scratchFile() {
    static const std::filesystem::path kScratch =
        std::filesystem::temp_directory_path() / ("orvex-fuzz-save-" + std::to_string(Platform::Kernel::processId()));
    return kScratch;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    {
        std::ofstream out(scratchFile(), std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    const std::u16string path = Orvex::System::widen(scratchFile().string());

    Orvex::Serialization::OxSerializer current;
    Fenwarrow::CSaveDataController container;
    if (container.readContainer(current, path)) {
        check(!current.isWriting() && current.getPosition() == 0);
        check(current.getBuffer().size() <= Fenwarrow::CSaveDataController::kMaxDataBytes);
        check(size >= 16 && (data[4] ^ 0xB5) == 1);
    } else {
        check(current.getBuffer().empty());
    }

    Orvex::Serialization::OxSerializer old;
    Fenwarrow::COldSaveDataController oldContainer;
    if (oldContainer.readOldContainer(old, path)) {
        check(old.getBuffer().size() == size && old.getPosition() == 16);
        for (size_t i = 0; i < 16; ++i) {
            check(oldContainer.getHeader()[i] == (data[i] ^ 0xB5));
        }
    } else {
        check(size < 16);
    }
    return 0;
}
