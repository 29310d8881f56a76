#pragma once

#include <QDialog>
#include <QWebEnginePage>

#include <optional>

class QCheckBox;
class QLineEdit;

namespace ruzez {

inline const QString kJavaScriptDialogTitle = QStringLiteral("Message de la page Web");
inline const QString kStopDialogsText =
    QStringLiteral("&Empêcher cette page d'afficher d'autres boîtes de dialogue");

// The box a page's alert(), confirm() or prompt() opens: the page's message
// as plain text under a French title, OK (and Annuler), a text field for a
// prompt, and on request the offer to stop the page's dialogs.
class JavaScriptDialog : public QDialog
{
    Q_OBJECT

public:
    enum class Kind { Alert, Confirm, Prompt };

    JavaScriptDialog(Kind kind, const QString &message, const QString &defaultValue,
                     bool offerToStop, QWidget *parent = nullptr);

    QString value() const;
    bool stopAsked() const;

private:
    QLineEdit *m_value = nullptr;
    QCheckBox *m_stop = nullptr;
};

// A page whose JavaScript dialogs are French, and cannot hold the pupil:
// from the third dialog in a row on one page the box offers to stop them,
// and once stopped, the page's dialogs are dismissed without showing
// (alert returns, confirm and prompt answer Annuler) until it navigates.
class JavaScriptDialogPage : public QWebEnginePage
{
    Q_OBJECT

public:
    static constexpr int kOfferToStopFrom = 3;

    explicit JavaScriptDialogPage(QObject *parent = nullptr);
    explicit JavaScriptDialogPage(QWebEngineProfile *profile, QObject *parent = nullptr);

signals:
    // A course page's window.external.AddFavorite(url, title) on a click.
    void favouriteRequested(const QUrl &url, const QString &title);

protected:
    void javaScriptAlert(const QUrl &securityOrigin, const QString &msg) override;
    bool javaScriptConfirm(const QUrl &securityOrigin, const QString &msg) override;
    bool javaScriptPrompt(const QUrl &securityOrigin, const QString &msg,
                          const QString &defaultValue, QString *result) override;
    // Course pages speak to the program through it (page_compat/page_messages.h).
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString &message,
                                  int lineNumber, const QString &sourceId) override;

private:
    void watchNavigations();
    // The pupil's answer, or none when the dialog was dismissed unseen.
    struct Answer
    {
        bool accepted = false;
        QString value;
    };
    std::optional<Answer> ask(JavaScriptDialog::Kind kind, const QString &message,
                              const QString &defaultValue = {});

    int m_inARow = 0;
    bool m_stopped = false;
    // What the page's onbeforeunload last returned: the question asks it.
    QString m_leavingText;
};

} // namespace ruzez
