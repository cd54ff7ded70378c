#pragma once
#include <ogg/ogg.h>

#include <cstdint>
#include <functional>
#include <vector>

namespace Orvex::Tools::MovieGen {

struct EncodedPacket {
    std::vector<uint8_t> bytes;
    int64_t granulepos = -1;
    bool beginsStream = false;
    bool endsStream = false;
};

// A copy of an encoder's packet, which points into the encoder's own buffers.
EncodedPacket copyPacket(const ogg_packet& packet);

// The packets of one logical stream: its three header packets and its data packets, and how
// its granule positions turn into seconds (to interleave the streams by time).
struct EncodedStream {
    uint32_t serial = 0;
    std::vector<EncodedPacket> headers;
    std::vector<EncodedPacket> data;
    std::function<double(int64_t)> granuleTime;
};

}  // namespace Orvex::Tools::MovieGen
