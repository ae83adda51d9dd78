// Media types as values, and the documented helpers that free the task-memory ones.
#pragma once

#include <dshow.h>

#include <optional>
#include <vector>

#include "host/wave_file.h"

namespace tovarin::media {

// The subtype of AMR-NB frames in storage format, as the encoder produces them.
extern const GUID kSubtypeAmrNb;

struct MediaType {
    GUID major{};
    GUID sub{};
    GUID format_type{};
    bool fixed_size = true;
    ULONG sample_size = 0;
    std::vector<BYTE> format;

    static MediaType From(const AM_MEDIA_TYPE& mt);
    static MediaType Pcm(const PcmFormat& pcm);
    static MediaType AmrNb();

    // Fills a caller's record; the format block is task memory.
    void CopyTo(AM_MEDIA_TYPE* out) const;
    // A task-memory record for a caller to free with DeleteMediaType.
    AM_MEDIA_TYPE* NewTaskMemory() const;
    // The PCM format of an audio/PCM/WAVEFORMATEX type.
    std::optional<PcmFormat> Wave() const;
};

}  // namespace tovarin::media
