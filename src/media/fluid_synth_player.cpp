#include "media/fluid_synth_player.h"

#include <QFile>

#include <algorithm>

#include <fluidsynth.h>

namespace ruzez {

namespace {

// The sound server of the desktop; ALSA where there is none.
const char *const kDrivers[] = {"pulseaudio", "alsa"};

// fluidsynth's own gain is 0.2; at 1 the General MIDI fonts clip.
constexpr double kFullGain = 0.5;

} // namespace

FluidSynthPlayer::FluidSynthPlayer(QStringList soundFonts)
    : m_soundFonts(std::move(soundFonts))
{
}

FluidSynthPlayer::~FluidSynthPlayer()
{
    stop();
    if (m_synth)
        delete_fluid_synth(m_synth);
    if (m_settings)
        delete_fluid_settings(m_settings);
}

QStringList FluidSynthPlayer::defaultSoundFonts()
{
    return {QStringLiteral("/usr/share/sounds/sf2/TimGM6mb.sf2"),
            QStringLiteral("/usr/share/sounds/sf2/default-GM.sf2"),
            QStringLiteral("/usr/share/sounds/sf2/FluidR3_GM.sf2")};
}

bool FluidSynthPlayer::ensureSynth()
{
    if (m_synth)
        return true;
    // fluidsynth reports to stderr by default; a missing font is our answer.
    for (int level = FLUID_PANIC; level < LAST_LOG_LEVEL; ++level)
        fluid_set_log_function(level, nullptr, nullptr);
    m_settings = new_fluid_settings();
    if (!m_settings)
        return false;
    fluid_settings_setint(m_settings, "synth.lock-memory", 0);
    m_synth = new_fluid_synth(m_settings);
    if (!m_synth)
        return false;
    for (const QString &font : m_soundFonts) {
        if (QFile::exists(font) && fluid_synth_sfload(m_synth, QFile::encodeName(font).constData(), 1) != FLUID_FAILED)
            return true;
    }
    delete_fluid_synth(m_synth);
    m_synth = nullptr;
    return false;
}

bool FluidSynthPlayer::play(const QString &path, int loops, double volume)
{
    stop();
    if (!ensureSynth())
        return false;
    const QByteArray file = QFile::encodeName(path);
    if (!fluid_is_midifile(file.constData()))
        return false;
    fluid_synth_set_gain(m_synth, float(kFullGain * std::clamp(volume, 0.0, 1.0)));
    for (const char *driver : kDrivers) {
        fluid_settings_setstr(m_settings, "audio.driver", driver);
        m_driver = new_fluid_audio_driver(m_settings, m_synth);
        if (m_driver)
            break;
    }
    if (!m_driver)
        return false;
    m_player = new_fluid_player(m_synth);
    if (!m_player || fluid_player_add(m_player, file.constData()) != FLUID_OK) {
        stop();
        return false;
    }
    fluid_player_set_loop(m_player, loops);
    return fluid_player_play(m_player) == FLUID_OK;
}

// The driver goes first: it calls into the synthesiser from its own thread.
void FluidSynthPlayer::stop()
{
    if (m_player)
        fluid_player_stop(m_player);
    if (m_driver) {
        delete_fluid_audio_driver(m_driver);
        m_driver = nullptr;
    }
    if (m_player) {
        delete_fluid_player(m_player);
        m_player = nullptr;
    }
    if (m_synth)
        fluid_synth_system_reset(m_synth);
}

} // namespace ruzez
