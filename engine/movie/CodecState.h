#pragma once
// Owns one state struct of the C codec libraries (Ogg, Theora, Vorbis): it is cleared exactly
// once, by its library's clear function, if and only if it was set up.
#include <ogg/ogg.h>
#include <theora/theora.h>
#include <vorbis/codec.h>

#include <type_traits>
#include <utility>

namespace Theora {

template <typename State, auto Clear>
class CodecState {
public:
    CodecState() = default;
    ~CodecState() { reset(); }
    CodecState(const CodecState&) = delete;
    CodecState& operator=(const CodecState&) = delete;

    // Sets the state up with `init(State*)`; a library call that reports 0 or nothing has set
    // it up, any other result leaves it empty. False on failure.
    template <typename Init>
    bool init(Init&& init) {
        reset();
        if constexpr (std::is_void_v<std::invoke_result_t<Init, State*>>) {
            std::forward<Init>(init)(&state_);
            ready_ = true;
        } else {
            ready_ = std::forward<Init>(init)(&state_) == 0;
            if (!ready_) {
                state_ = {};
            }
        }
        return ready_;
    }
    // Takes over another owner's state (the libraries' states may be moved bytewise).
    void take(CodecState& other) {
        reset();
        state_ = other.state_;
        ready_ = other.ready_;
        other.state_ = {};
        other.ready_ = false;
    }
    void reset() {
        if (ready_) {
            Clear(&state_);
            ready_ = false;
        }
        state_ = {};
    }

    bool ready() const { return ready_; }
    State* get() { return &state_; }
    const State* get() const { return &state_; }
    State& operator*() { return state_; }
    const State& operator*() const { return state_; }
    State* operator->() { return &state_; }
    const State* operator->() const { return &state_; }

private:
    State state_{};
    bool ready_ = false;
};

using OggSync = CodecState<ogg_sync_state, &ogg_sync_clear>;
using OggStream = CodecState<ogg_stream_state, &ogg_stream_clear>;
using TheoraInfo = CodecState<theora_info, &theora_info_clear>;
using TheoraComment = CodecState<theora_comment, &theora_comment_clear>;
using TheoraDecoder = CodecState<theora_state, &theora_clear>;
using VorbisInfo = CodecState<vorbis_info, &vorbis_info_clear>;
using VorbisComment = CodecState<vorbis_comment, &vorbis_comment_clear>;
using VorbisDsp = CodecState<vorbis_dsp_state, &vorbis_dsp_clear>;
using VorbisBlock = CodecState<vorbis_block, &vorbis_block_clear>;

// The decoding states of one open movie, declared so that each is cleared before the states it
// was made from (members go in reverse order).
struct MovieCodecs {
    OggSync sync;
    OggStream videoStream;
    OggStream audioStream;
    TheoraInfo videoInfo;
    TheoraComment videoComment;
    VorbisInfo audioInfo;
    VorbisComment audioComment;
    TheoraDecoder videoDecoder;
    VorbisDsp audioDsp;
    VorbisBlock audioBlock;
};

}  // namespace Theora
