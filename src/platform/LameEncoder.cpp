#include "platform/LameEncoder.h"

#include <lame/lame.h>

#include <stdexcept>

namespace tavu {

LameEncoder::LameEncoder(int sampleRate, int kbps) : m_lame(lame_init())
{
    if (!m_lame)
        throw std::runtime_error("LAME could not start");
    lame_set_num_channels(m_lame, 2);
    lame_set_in_samplerate(m_lame, sampleRate);
    lame_set_out_samplerate(m_lame, sampleRate);
    lame_set_VBR(m_lame, vbr_off);
    lame_set_brate(m_lame, kbps);
    lame_set_mode(m_lame, JOINT_STEREO);
    lame_set_bWriteVbrTag(m_lame, 0); // a stream has no end to write it at
    if (lame_init_params(m_lame) < 0) {
        lame_close(m_lame);
        throw std::runtime_error("LAME refused " + std::to_string(sampleRate) + " Hz at " + std::to_string(kbps) +
                                 " kbit/s");
    }
}

LameEncoder::~LameEncoder()
{
    lame_close(m_lame);
}

void LameEncoder::encode(const float* samples, std::size_t frames, Bytes& out)
{
    // LAME's own bound of the output for this many frames.
    const std::size_t room = frames + frames / 4 + 7200;
    const std::size_t at = out.size();
    out.resize(at + room);
    const int written = lame_encode_buffer_interleaved_ieee_float(m_lame, samples, static_cast<int>(frames),
                                                                  out.data() + at, static_cast<int>(room));
    out.resize(at + static_cast<std::size_t>(written > 0 ? written : 0));
}

} // namespace tavu
