#include "engine/system/OxException.h"

namespace Orvex::Exception {

OxRuntimeException::OxRuntimeException(const std::string& detail)
    : OxException(kExceptionBaseMessage),
      detail_(detail.empty() ? std::string("実行時例外（範囲外の数値が指定されている)") : detail) {}

}  // namespace Orvex::Exception
