// Sound in movies: event sounds (DefineSound, started by StartSound with
// their in and out points, loops and sync flags) and the main timeline's
// stream sound (SoundStreamHead, one SoundStreamBlock a frame), decoded
// once into 16-bit samples: raw PCM, ADPCM here, MP3 through the host.
// The sounds playing are mixed as the output asks for them; the stream
// follows the frames played (a jump takes it to the frame's place, a
// timeline that stops stops it).
#include "playback/movie/Movie.h"
#include "playback/movie/MovieAdpcm.h"

namespace {

const int kRates[4] = {5512, 11025, 22050, 44100};

int16_t Clip(int v) { return static_cast<int16_t>(v < -32768 ? -32768 : v > 32767 ? 32767 : v); }

// Room for `frames` more of the samples' frames.
bool Grow(MoviePcm* pcm, uint32_t frames, uint32_t* capacity, MovieBudget* budget) {
  const uint64_t need = static_cast<uint64_t>(pcm->frames) + frames;
  if (need <= *capacity) return true;
  uint64_t grown = *capacity ? *capacity * 2ull : 4096;
  while (grown < need) grown *= 2;
  const size_t unit = sizeof(int16_t) * pcm->channels;
  if (grown * unit > 0x7FFFFFFF || !budget->Take((grown - *capacity) * unit)) return false;
  int16_t* more = static_cast<int16_t*>(realloc(pcm->samples, static_cast<size_t>(grown * unit)));
  if (!more) {
    budget->Give((grown - *capacity) * unit);
    return false;
  }
  pcm->samples = more;
  *capacity = static_cast<uint32_t>(grown);
  return true;
}

// Raw samples or ADPCM packets appended to pcm; at most `limit` frames
// (0: as many as the bytes hold).
bool DecodeBlock(const MovieSoundFormat& f, const uint8_t* data, uint32_t size, uint32_t limit,
                 MoviePcm* pcm, uint32_t* capacity, MovieBudget* budget) {
  const int channels = pcm->channels;
  if (f.codec == 0 || f.codec == 3) {
    const uint32_t bytes = (f.is16 ? 2 : 1) * channels;
    uint32_t frames = size / bytes;
    if (limit && frames > limit) frames = limit;
    if (!Grow(pcm, frames, capacity, budget)) return false;
    int16_t* out = pcm->samples + static_cast<size_t>(pcm->frames) * channels;
    for (uint32_t i = 0; i < frames * channels; ++i)
      out[i] = f.is16 ? static_cast<int16_t>(data[2 * i] | data[2 * i + 1] << 8)
                      : static_cast<int16_t>((data[i] - 128) * 256);
    pcm->frames += frames;
    return true;
  }
  // ADPCM: a code size, then packets of a first sample and step index per
  // channel and 4,095 codes per channel, interleaved.
  CMovieBits r(data, data + size);
  const int bits = static_cast<int>(r.UB(2)) + 2;
  const int8_t* table = kMovieAdpcmIndex[bits - 2];
  const uint32_t sign = 1u << (bits - 1);
  uint32_t decoded = 0;
  while (!r.Bad() && (!limit || decoded < limit)) {
    int sample[2], index[2];
    for (int c = 0; c < channels; ++c) {
      sample[c] = r.SB(16);
      index[c] = static_cast<int>(r.UB(6));
      if (index[c] > 88) index[c] = 88;
    }
    if (r.Bad()) break;
    if (!Grow(pcm, 4096, capacity, budget)) return false;
    int16_t* out = pcm->samples + static_cast<size_t>(pcm->frames) * channels;
    uint32_t n = 0;
    for (int c = 0; c < channels; ++c) out[c] = static_cast<int16_t>(sample[c]);
    ++n;
    for (; n < 4096 && (!limit || decoded + n < limit); ++n) {
      for (int c = 0; c < channels; ++c) {
        const uint32_t code = r.UB(bits);
        if (r.Bad()) break;
        const int step = kMovieAdpcmSteps[index[c]];
        int diff = 0, s = step;
        for (uint32_t k = sign >> 1; k; k >>= 1, s >>= 1)
          if (code & k) diff += s;
        diff += s;
        sample[c] = Clip(code & sign ? sample[c] - diff : sample[c] + diff);
        index[c] += table[code & (sign - 1)];
        index[c] = index[c] < 0 ? 0 : index[c] > 88 ? 88 : index[c];
        out[n * channels + c] = static_cast<int16_t>(sample[c]);
      }
      if (r.Bad()) break;
    }
    pcm->frames += n;
    decoded += n;
  }
  return true;
}

// A whole sound's samples: false when it cannot be decoded or afforded.
bool Decode(const MovieSoundFormat& f, const uint8_t* data, uint32_t size, uint32_t samples,
            CMovieHost* host, MoviePcm* pcm, MovieBudget* budget) {
  memset(pcm, 0, sizeof *pcm);
  if (f.codec == 2) {
    if (!host || !host->DecodeMp3(data, size, pcm) || !pcm->samples) return false;
    if (!budget->Take(static_cast<size_t>(pcm->frames) * pcm->channels * 2)) {
      free(pcm->samples);
      memset(pcm, 0, sizeof *pcm);
      return false;
    }
    return pcm->frames > 0;
  }
  if (f.codec != 0 && f.codec != 1 && f.codec != 3) return false;
  pcm->channels = f.stereo ? 2 : 1;
  pcm->rate = kRates[f.rate & 3];
  uint32_t capacity = 0;
  const bool ok = DecodeBlock(f, data, size, samples, pcm, &capacity, budget) && pcm->frames > 0;
  if (!ok) {
    free(pcm->samples);
    budget->Give(static_cast<size_t>(capacity) * pcm->channels * 2);
    memset(pcm, 0, sizeof *pcm);
  }
  return ok;
}

}  // namespace

MovieSoundFormat ReadMovieSoundFormat(uint8_t byte) {
  return MovieSoundFormat{static_cast<uint8_t>(byte >> 4), static_cast<uint8_t>((byte >> 2) & 3),
                          static_cast<uint8_t>((byte >> 1) & 1), static_cast<uint8_t>(byte & 1)};
}

MovieSound* ReadMovieSound(CMovieBits& r, MovieBudget* budget) {
  const uint8_t format = r.U8();
  const uint32_t samples = r.U32();
  if (r.Bad()) return nullptr;
  MovieSound* sound = NewMovieDef<MovieSound>(budget, kDefSound);
  if (!sound) return nullptr;
  sound->format = ReadMovieSoundFormat(format);
  sound->samples = samples;
  sound->data = r.Pos();
  sound->size = r.Left();
  // MP3 data starts with the samples to skip.
  if (sound->format.codec == 2 && sound->size >= 2) {
    sound->data += 2;
    sound->size -= 2;
  }
  return sound;
}

void CMovie::PrepareSounds() {
  for (MovieDef** page : m_pages) {
    for (int i = 0; page && i < 256; ++i) {
      if (!page[i] || page[i]->kind != kDefSound) continue;
      MovieSound* sound = static_cast<MovieSound*>(page[i]);
      if (sound->state) continue;
      sound->state = Decode(sound->format, sound->data, sound->size, sound->samples, m_host,
                            &sound->pcm, &m_budget) ? 1 : 2;
    }
  }
  if (!m_hasStream || m_stream.state) return;
  // The stream: its blocks' samples one after the other, and where each
  // frame's begin. An MP3 block names its sample count before its frames.
  MovieStream& s = m_stream;
  s.state = 2;
  const uint32_t frames = m_main.FrameCount();
  if (!s.starts.Grow(frames + 1)) return;
  MoviePcm& pcm = s.pcm;
  memset(&pcm, 0, sizeof pcm);
  uint32_t capacity = 0;
  CMovieArray<uint8_t> mp3;
  mp3.SetBudget(&m_budget);
  uint32_t at = 0, b = 0;
  pcm.channels = s.format.stereo ? 2 : 1;
  pcm.rate = kRates[s.format.rate & 3];
  for (uint32_t f = 0; f <= frames; ++f) {
    s.starts[f] = at;
    for (; b < s.blocks.GetSize() && s.blocks[b].frame == f; ++b) {
      const MovieStreamBlock& block = s.blocks[b];
      if (s.format.codec == 2) {
        if (block.size < 4) continue;
        at += block.data[0] | block.data[1] << 8;
        uint8_t* slot = mp3.Grow(block.size - 4);
        if (!slot) return;
        memcpy(slot, block.data + 4, block.size - 4);
      } else {
        if (!DecodeBlock(s.format, block.data, block.size, 0, &pcm, &capacity, &m_budget)) return;
        at = pcm.frames;
      }
    }
  }
  if (s.format.codec == 2 &&
      (!mp3.GetSize() || !Decode(s.format, mp3.Data(), mp3.GetSize(), 0, m_host, &pcm, &m_budget)))
    return;
  s.state = pcm.frames ? 1 : 2;
}

// StartSound: the sound, then how to play it.
void CMovie::StartSound(CMovieBits& r) {
  const MovieDef* def = GetDef(r.U16());
  const uint8_t flags = r.U8();
  const uint32_t in = flags & 1 ? r.U32() : 0;
  const uint32_t out = flags & 2 ? r.U32() : 0;
  const int loops = flags & 4 ? r.U16() : 1;
  if (r.Bad() || !def || def->kind != kDefSound) return;
  const MovieSound* sound = static_cast<const MovieSound*>(def);
  if (flags & 0x20) {  // stop it
    for (int i = 0; i < m_voiceCount;)
      if (m_voices[i].sound == sound)
        m_voices[i] = m_voices[--m_voiceCount];
      else
        ++i;
    return;
  }
  if (sound->state != 1 || m_voiceCount == 16) return;
  if (flags & 0x10)  // once at a time
    for (int i = 0; i < m_voiceCount; ++i)
      if (m_voices[i].sound == sound) return;
  // In and out points count samples at 44.1 kHz.
  const double scale = static_cast<double>(sound->pcm.rate) / kMovieMixRate;
  Voice& v = m_voices[m_voiceCount++];
  v.pcm = &sound->pcm;
  v.sound = sound;
  v.start = v.at = in * scale;
  v.end = out && out * scale < sound->pcm.frames ? out * scale : sound->pcm.frames;
  v.loops = loops < 1 ? 1 : loops;
}

// The stream at the frame played: started, or moved when a jump took the
// timeline away from where the stream is.
void CMovie::FollowStream(uint32_t frame) {
  if (!m_hasStream || m_stream.state != 1 || frame >= m_stream.starts.GetSize()) return;
  const MoviePcm& pcm = m_stream.pcm;
  // MP3 blocks count samples at the sound's rate; raw and ADPCM frames
  // are samples already.
  const double expected = m_stream.starts[frame];
  if (!m_streamPlaying || m_streamAt > expected + pcm.rate / 2.0 || m_streamAt + pcm.rate / 2.0 < expected)
    m_streamAt = expected;
  m_streamPlaying = true;
}

void CMovie::StopSounds() {
  m_voiceCount = 0;
  m_streamPlaying = false;
}

bool CMovie::MixSound(int16_t* out, uint32_t frames) {
  memset(out, 0, sizeof(int16_t) * 2 * frames);
  bool any = false;
  // Adds samples from *at (stepping by the rates) up to end, into count
  // frames of dst; returns the frames filled.
  auto mix = [&any](int16_t* dst, uint32_t count, const MoviePcm& pcm, double* at, double end) {
    const double step = static_cast<double>(pcm.rate) / kMovieMixRate;
    uint32_t i = 0;
    for (; i < count && *at < end; ++i, *at += step) {
      const int16_t* s = pcm.samples + static_cast<size_t>(*at) * pcm.channels;
      const int right = pcm.channels > 1 ? s[1] : s[0];
      dst[2 * i] = Clip(dst[2 * i] + s[0]);
      dst[2 * i + 1] = Clip(dst[2 * i + 1] + right);
    }
    any = any || i > 0;
    return i;
  };
  for (int k = 0; k < m_voiceCount;) {
    Voice& v = m_voices[k];
    uint32_t done = 0;
    while (done < frames && v.loops > 0) {
      const uint32_t n = mix(out + 2 * done, frames - done, *v.pcm, &v.at, v.end);
      done += n;
      if (v.at >= v.end) {
        --v.loops;
        v.at = v.start;
        if (n == 0) break;  // nothing between its in and out points
      }
    }
    if (v.loops <= 0)
      m_voices[k] = m_voices[--m_voiceCount];
    else
      ++k;
  }
  if (m_streamPlaying) {
    mix(out, frames, m_stream.pcm, &m_streamAt, m_stream.pcm.frames);
    if (m_streamAt >= m_stream.pcm.frames) m_streamPlaying = false;
  }
  return any;
}
