#pragma once

#include "media/midi_synth.h"

#include <QStringList>

#include <fluidsynth/types.h>

namespace ruzez {

// MIDI through libfluidsynth and a General MIDI sound font from the
// system's packages, to the desktop's sound server. The synthesiser and its
// sound font are made on the first file and kept; the sound output is
// opened for a file and closed when it stops, so that a silent page holds
// no stream open.
class FluidSynthPlayer : public MidiSynth
{
public:
    // The sound fonts to try, in order; the first that loads is used.
    explicit FluidSynthPlayer(QStringList soundFonts = defaultSoundFonts());
    ~FluidSynthPlayer() override;

    bool play(const QString &path, int loops, double volume) override;
    void stop() override;

    // Debian's General MIDI sound fonts, the small one first.
    static QStringList defaultSoundFonts();

private:
    bool ensureSynth();

    QStringList m_soundFonts;
    fluid_settings_t *m_settings = nullptr;
    fluid_synth_t *m_synth = nullptr;
    fluid_player_t *m_player = nullptr;
    fluid_audio_driver_t *m_driver = nullptr;
};

} // namespace ruzez
