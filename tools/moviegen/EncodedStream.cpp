#include "tools/moviegen/EncodedStream.h"

namespace Orvex::Tools::MovieGen {

EncodedPacket copyPacket(const ogg_packet& packet) {
    EncodedPacket copy;
    copy.bytes.assign(packet.packet, packet.packet + packet.bytes);
    copy.granulepos = packet.granulepos;
    copy.beginsStream = packet.b_o_s != 0;
    copy.endsStream = packet.e_o_s != 0;
    return copy;
}

}  // namespace Orvex::Tools::MovieGen
