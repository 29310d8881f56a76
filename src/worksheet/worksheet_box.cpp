#include "worksheet_box.h"

#include "worksheet_texts.h"

#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextEdit>

namespace ruzez {

namespace {

// A text document takes CR and LF each as a paragraph break, so the
// worksheet's CR LF would leave an empty line; one break is meant.
QString paragraphs(QString text)
{
    return text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
}

// Clears the box, then writes each run at the insertion point in black
// Arial 10 with the run's own weight and slant. A font the system lacks
// falls back to a like one; nothing here can stop the writing part-way.
void write(QTextEdit &Text1, const QList<WorksheetRun> &runs)
{
    Text1.clear();
    QTextCursor cursor(Text1.document());

    QTextCharFormat base;
    base.setFontFamilies({kWorksheetFontFamily});
    base.setFontPointSize(kWorksheetPointSize);
    base.setForeground(QColor(0, 0, 0));

    for (const WorksheetRun &run : runs) {
        QTextCharFormat format = base;
        format.setFontWeight(run.bold ? QFont::Bold : QFont::Normal);
        format.setFontItalic(run.italic);
        // The bullet is U+2022, which text fonts draw as a bullet: it stays
        // in the worksheet's font.
        cursor.insertText(paragraphs(run.text), format);
    }
}

} // namespace

void fiche1(QTextEdit &Text1) { write(Text1, worksheetRuns1()); }
void fiche2(QTextEdit &Text1) { write(Text1, worksheetRuns2()); }
void fiche3(QTextEdit &Text1) { write(Text1, worksheetRuns3()); }

} // namespace ruzez
