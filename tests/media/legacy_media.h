#pragma once

#include <QByteArray>
#include <QColor>

namespace ruzez::test {

// Media files of our own for the legacy course, made byte by byte.

// A Flash 5 movie of one frame: its stage filled with one colour.
QByteArray swfFilledWith(const QColor &colour, int width, int height);
// A standard MIDI file: a note held for `seconds` on a piano.
QByteArray midiNote(int seconds);
// A 16-bit mono WAV: a tone of `milliseconds`.
QByteArray wavTone(int milliseconds);

} // namespace ruzez::test
