// Drives the serializer's read side over arbitrary bytes. The first byte says how many of the
// following bytes are read operations; the rest is the stream. Whatever the stream holds, a
// read must stay inside the buffer, never allocate beyond what the stream could hold, and
// either take exactly the bytes its value writes back or fail, leave its destination empty and
// keep the stream failed from then on.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <string>
#include <vector>

#include "engine/serialization/OxSerializer.h"

namespace {

using Orvex::Serialization::OxSerializer;

void check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

// The block sizes the game's records use.
constexpr size_t kBlockSizes[] = {16, 56, 64, 128, 132, 256, 264, 316, 1544, 2404};

// Runs one read; returns its result and, on success, what the value writes back.
bool readOne(OxSerializer& in, uint8_t op, std::vector<uint8_t>& rewritten) {
    OxSerializer out;
    bool ok = false;
    switch (op % 8) {
        case 0: {
            uint8_t v = 0xAA;
            ok = in.readByte(v);
            check(ok || v == 0);
            out.writeByte(v);
            break;
        }
        case 1: {
            int32_t v = -1;
            ok = in.read32(v);
            check(ok || v == 0);
            out.write32(v);
            break;
        }
        case 2: {
            std::string v = "x";
            ok = in.serializeString(v);
            check(ok || v.empty());
            out.writeString(v);
            break;
        }
        case 3: {
            std::u16string v = u"x";
            ok = in.serializeWString(v);
            check(ok || v.empty());
            out.writeWString(v);
            break;
        }
        case 4: {
            std::vector<bool> v{true};
            ok = in.serializeBoolVector(v);
            check(ok || v.empty());
            out.serializeBoolVector(v);
            break;
        }
        case 5: {
            const size_t size = kBlockSizes[(op >> 3) % std::size(kBlockSizes)];
            std::vector<uint8_t> v(size, 0xAA);
            ok = in.readBlock(v.data(), v.size());
            for (const uint8_t b : v) check(ok || b == 0);
            out.writeBlock(v.data(), v.size());
            break;
        }
        case 6: {
            const uint32_t minElement = (op >> 3) + 1u;
            uint32_t count = 0xAAAAAAAA;
            ok = in.readCount(count, minElement);
            check(ok ? uint64_t{count} * minElement <= in.getRemaining() : count == 0);
            out.write32(count);
            break;
        }
        default: {
            float v = 1.0f;
            ok = in.read32(v);
            check(ok || v == 0.0f);
            out.write32(v);
            break;
        }
    }
    rewritten = out.getBuffer();
    return ok;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) {
        return 0;
    }
    const size_t opCount = std::min<size_t>(data[0] % 32, size - 1);
    const uint8_t* ops = data + 1;

    OxSerializer in;
    in.getBuffer().assign(data + 1 + opCount, data + size);
    in.setWriting(false);
    const std::vector<uint8_t>& stream = in.getBuffer();

    bool failed = false;
    std::vector<uint8_t> rewritten;
    for (size_t i = 0; i < opCount; ++i) {
        const uint32_t before = in.getPosition();
        const bool ok = readOne(in, ops[i], rewritten);
        const uint32_t after = in.getPosition();
        check(after <= stream.size());
        check(ok == !in.hasReadFailed());
        if (failed) {
            check(!ok);  // sticky
        }
        if (!ok) {
            failed = true;
            continue;
        }
        // A successful read took exactly what its value writes back; bool elements come back
        // as 0 or 1, so compare those by truth.
        check(after - before == rewritten.size());
        const bool boolVector = ops[i] % 8 == 4;
        for (size_t k = 0; k < rewritten.size(); ++k) {
            const uint8_t original = stream[before + k];
            check(boolVector && k >= 4 ? (original != 0) == (rewritten[k] != 0) : original == rewritten[k]);
        }
    }
    return 0;
}
