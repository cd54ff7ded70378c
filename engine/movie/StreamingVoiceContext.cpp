#include "engine/movie/StreamingVoiceContext.h"

namespace Theora {

void StreamingVoiceContext::onBufferEnd(void* /*context*/) { bufferEnd_.set(); }

}  // namespace Theora
