#pragma once
// Writing a file whole or not at all.
#include <functional>
#include <string>

#include "engine/io/OxFileStreamIO.h"

namespace Orvex::IO {

// `write` fills a new file beside `path` (its name with ".new" appended), which is pushed to the
// disk and renamed over `path`, so that a crash leaves the old file or the new one, never a part.
// When `write`, the sync or the rename fails, the new file is removed, `path` is left as it was
// and the result is false.
bool replaceFileAtomically(const std::u16string& path,
                           const std::function<bool(StreamIO::OxFileStreamIO& file)>& write);

}  // namespace Orvex::IO
