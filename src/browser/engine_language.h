#pragma once

class QTranslator;
class QWebEngineProfile;

namespace ruzez {

// The web engine speaks French whatever the system's locale (C.UTF-8
// included): its own pages and messages, the language pages are asked in,
// and Qt WebEngine's texts.

// Before the QApplication exists: the engine reads its language once, when
// it starts. Adds --lang=fr to QTWEBENGINE_CHROMIUM_FLAGS unless the flags
// already choose a language.
void chooseFrenchForTheEngine();

// Qt WebEngine's own French texts, when the system has them (Debian 12's
// translations ship none yet: then nothing is loaded and false returned).
bool loadEngineTranslations(QTranslator &translator);

// Pages are asked for in French.
void askPagesInFrench(QWebEngineProfile &profile);

inline constexpr auto kEngineLanguage = "fr";

} // namespace ruzez
