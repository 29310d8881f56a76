#pragma once

#include <QByteArray>
#include <QColor>
#include <QString>

namespace ruzez::test {

// Media files of our own for the legacy course, made byte by byte.

// A Flash 5 movie of one frame: its stage filled with one colour.
QByteArray swfFilledWith(const QColor &colour, int width, int height);
// A standard MIDI file: `seconds` of organ notes, two a second (an organ
// holds its sound where a piano's would fade before the test listens).
QByteArray midiTune(int seconds);
// A 16-bit mono WAV: a tone of `milliseconds`.
QByteArray wavTone(int milliseconds);

// Lays out the legacy course in `folder`: the pages of tests/media/course
// and the media files above. False when a file could not be written.
bool layOutLegacyCourse(const QString &folder);

} // namespace ruzez::test
