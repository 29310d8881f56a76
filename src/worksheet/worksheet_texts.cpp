#include "worksheet_texts.h"

namespace ruzez {

namespace {

// Text runs read as the worksheet does: each piece of text with its format,
// and "\r\n" where a line ends inside a run.
WorksheetRun plain(const QString &text) { return {text}; }
WorksheetRun bold(const QString &text) { return {text, true}; }
WorksheetRun italic(const QString &text) { return {text, false, true}; }
WorksheetRun bullet() { return {QString(kBullet), false, false, WorksheetRun::Font::Bullet}; }

} // namespace

QList<WorksheetRun> worksheetRuns1()
{
    return {
        plain(QStringLiteral("Exemple d'un hypertexte : un document sur l'un des polluants de l'air, ")),
        plain(QStringLiteral("le dioxyde de carbone.\r\n")),
        plain(QStringLiteral("Cet hypertexte comporte des textes et des images.\r\n")),
        bullet(),
        plain(QStringLiteral(" En cliquant sur le lien « Le dioxyde de carbone », vous obtiendrez une ")),
        plain(QStringLiteral("nouvelle page sur le dioxyde de carbone qui comporte elle aussi différents liens.\r\n")),
        bullet(),
        plain(QStringLiteral(" De retour sur la première page, à l'aide du bouton « précédent » dans la barre ")),
        plain(QStringLiteral("de menu principale, vous pouvez cliquer sur le lien « mécanisme » qui ouvre une ")),
        plain(QStringLiteral("page expliquant l'")),
        bold(QStringLiteral("effet de serre.")),
        plain(QStringLiteral(" Depuis cette nouvelle page, vous accéderez à un schéma explicatif en cliquant sur le lien « image ».")),
    };
}

QList<WorksheetRun> worksheetRuns2()
{
    return {
        bold(QStringLiteral("a.")),
        plain(QStringLiteral(" Quelle est la différence entre un texte et un hypertexte ?\r\n")),
        bold(QStringLiteral("b.")),
        plain(QStringLiteral(" Repérer tous les liens qui apparaissent dans l'hypertexte présenté dans ")),
        plain(QStringLiteral("la page sur le dioxyde de carbone.\r\n")),
        bold(QStringLiteral("c.")),
        plain(QStringLiteral(" Citer un polluant de l'air, un polluant de l'eau et un polluant des sols.\r\n")),
        bold(QStringLiteral("d.")),
        plain(QStringLiteral(" Chercher sur ce site la pollution engendrée par chacun de ces polluants.\r\n")),
        bold(QStringLiteral("e.")),
        plain(QStringLiteral(" Pour quelles raisons, le dioxyde de carbone est-il à la fois indispensable à ")),
        plain(QStringLiteral("la vie et polluant ?\r\n")),
        bold(QStringLiteral("f.")),
        plain(QStringLiteral(" Chercher sur ce site les origines du dioxyde de carbone dans l'air.")),
    };
}

// The apostrophes of "d’ozone", "D’où" and "d’une" are typographic (U+2019),
// as the worksheet was typed; the others are plain.
QList<WorksheetRun> worksheetRuns3()
{
    return {
        bold(QStringLiteral("a.")),
        plain(QStringLiteral(" À partir du texte ci-dessus indiquer les conséquences de la disparition de la couche d’ozone à certains endroits.\r\n")),
        bold(QStringLiteral("b.")),
        plain(QStringLiteral(" Pourquoi les mots « réseau trophique » sont-ils écrits en bleu ? Que signifient-ils ?\r\n")),
        bold(QStringLiteral("c.")),
        plain(QStringLiteral(" Chercher dans un dictionnaire anglais, la traduction des mots ")),
        italic(QStringLiteral("mail, news, chat, world, wide, web ")),
        plain(QStringLiteral("et")),
        italic(QStringLiteral(" surf.\r\nLes réponses aux questions ")),
        bold(QStringLiteral("d., e. ")),
        italic(QStringLiteral("et ")),
        bold(QStringLiteral("f.")),
        plain(QStringLiteral(" sont à rechercher sur le site.\r\n")),
        bold(QStringLiteral("d. ")),
        plain(QStringLiteral("Quels sont les gaz responsables de la disparition de la couche d’ozone ?\r\n")),
        bold(QStringLiteral("e. ")),
        plain(QStringLiteral("D’où proviennent ces gaz ?\r\n")),
        bold(QStringLiteral("f. ")),
        plain(QStringLiteral("Ces gaz sont responsables également d’une autre forme de pollution. Laquelle ?\r\n")),
        bold(QStringLiteral("g. ")),
        plain(QStringLiteral("Justifier la raison pour laquelle les CFC ne peuvent plus être utilisés dans les ")),
        plain(QStringLiteral("aérosols.\r\n")),
        plain(QStringLiteral("Depuis quand a-t-on interdit leur utilisation ?")),
    };
}

} // namespace ruzez
