#pragma once

#include <QString>

namespace ruzez {

// Plays one MIDI file at a time on the sound output; a new file replaces
// the one playing.
class MidiSynth
{
public:
    virtual ~MidiSynth() = default;

    // loops: how many times, or -1 until stopped; volume: linear, 0 to 1.
    // False when the file cannot be played (no sound font, not MIDI...).
    virtual bool play(const QString &path, int loops, double volume) = 0;
    virtual void stop() = 0;
};

} // namespace ruzez
