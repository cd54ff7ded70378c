#include "engine/io/OxFileReplace.h"

#include "engine/io/OxPathUtility.h"
#include "platform/kernel/NativeFile.h"

namespace Orvex::IO {
namespace {

constexpr char16_t kPendingSuffix[] = u".new";

bool writeSynced(const std::u16string& path, const std::function<bool(StreamIO::OxFileStreamIO&)>& write) {
    if (!createEmptyFile(path)) {
        return false;
    }
    StreamIO::OxFileStreamIO file;
    return file.open(path) && write(file) && file.sync();
}

}  // namespace

bool replaceFileAtomically(const std::u16string& path,
                           const std::function<bool(StreamIO::OxFileStreamIO& file)>& write) {
    const std::u16string pending = path + kPendingSuffix;
    deleteFileIfExists(pending);
    const std::string nativePending = toNativePath(makeAbsolutePath(pending));
    const std::string nativeTarget = toNativePath(makeAbsolutePath(path));
    if (nativePending.empty() || nativeTarget.empty() || !writeSynced(pending, write) ||
        !Platform::Kernel::renameFile(nativePending, nativeTarget)) {
        deleteFileIfExists(pending);
        return false;
    }
    return true;
}

}  // namespace Orvex::IO
