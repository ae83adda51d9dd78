// The device's audio ends, host side: the microphone, the speaker and the phone line.
//
// Every clocked part of the media framework reads and writes here in blocks of 8000 Hz mono
// 16-bit samples, at the pace of the device clock. The microphone and the caller's voice on the
// line play what the console (or a test) gives them. Each output (the speaker, the line) is a
// mixer: every playback goes to the output its renderer was given (the speaker unless told the
// line), and what an output sends is the saturated sum of everything playing to it, taken in
// 20 ms blocks one block behind the device clock. Each playback is traced when it starts and
// ends, and can be asked for while it lasts ("expect sound"). In real time the speaker and the
// microphone are the host's sound card when it has one.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "host/sound_source.h"
#include "host/wave_file.h"

namespace tovarin::media {

// Line is the caller's voice alone; Call is the whole call, the caller's voice and what the phone
// sends to the line, mixed.
enum class AudioInput { Microphone, Line, Call };
enum class AudioOutput { Speaker, Line };

// What the microphone hears, and what the caller says on the line, from now on.
void SetMicrophone(SoundSpec spec);
void SetCallerVoice(SoundSpec spec);
// Takes the next samples an input hears.
void ReadInput(AudioInput input, std::span<int16_t> out);

// A real line behind the phone line (a network call): while one is attached, the caller's voice
// comes from it and what is played to the line goes to it. It is called on the device's audio
// threads with the audio state's lock held, so it must neither block nor call back here.
class LineEndpoint {
  public:
    virtual ~LineEndpoint() = default;
    virtual void ReadCaller(std::span<int16_t> out) = 0;
    virtual void PlayToCaller(std::span<const int16_t> samples) = 0;
};
// Attaches the line's far end; nullptr gives the line back to what the console sets.
void AttachLine(std::shared_ptr<LineEndpoint> line);
// Mixes what the line has due by now and sends it on: the far end calls it before it takes a
// packet, since the microphone is heard on the line only as far as someone asks for it.
void SendDueLineAudio();

// The phone simulator says when a call is connected: the caller's voice is then heard on the line,
// and what plays to the line goes to the caller mixed with the microphone at full scale.
void SetLineConnected(bool connected);
bool LineConnected();

// The formats the audio capture filter's pin offers, in order. A device boots with the formats of
// the phone's codec chip; tests replace them.
std::vector<PcmFormat> CaptureFormats();
void SetCaptureFormats(std::vector<PcmFormat> formats);
std::vector<PcmFormat> DefaultCaptureFormats();

// A capture driver that never ends its stream when asked to (the recorder must not hang on it).
void SetCaptureIgnoresStop(bool ignore);
bool CaptureIgnoresStop();

struct PlayingSound {
    int id = 0;
    std::wstring path;  // device path of the file
    AudioOutput output = AudioOutput::Speaker;
    int32_t volume = 0;  // hundredths of a decibel
    uint64_t position_ms = 0;
};

// A renderer's playback: begun when it starts playing a file, ended when it stops.
int BeginPlayback(const std::wstring& path, int32_t volume, AudioOutput output);
// The volume is heard from the next block mixed.
void UpdatePlayback(int id, uint64_t position_ms, int32_t volume);
// Samples the renderer plays now, at full scale: its output's mixer scales them by its volume.
void PlaySamples(int id, std::span<const int16_t> samples);
// Finished: what it played is still heard to its end. Stopped: it is silent from the next block.
enum class PlaybackEnd { Finished, Stopped };
void EndPlayback(int id, PlaybackEnd end);
std::vector<PlayingSound> NowPlaying();

// Keeps what the speaker plays in a WAVE file (written when recording is switched off and when
// the device shuts down). Returns false with *error set when the file cannot be made.
bool StartSpeakerRecording(const std::filesystem::path& wave, std::string* error);
void StopSpeakerRecording();

const wchar_t* OutputName(AudioOutput output);

}  // namespace tovarin::media
