#include "browser/javascript_dialogs.h"

#include "page_compat/page_messages.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>
#include <QWebEngineView>

namespace ruzez {

namespace {

// A page can pass a message of any length; the box stays on the screen.
constexpr qsizetype kLongestMessage = 2000;

QString shown(const QString &message)
{
    if (message.size() <= kLongestMessage)
        return message;
    return message.left(kLongestMessage) + QStringLiteral("…");
}

// Qt WebEngine asks before a page with an unload handler is left, in English
// whatever the language: the question is put in French.
bool isLeavingQuestion(const QString &message)
{
    return message == QCoreApplication::translate(
        "QWebEnginePage",
        "Are you sure you want to leave this page? Changes that you made may not be saved.");
}

const QString kLeavingQuestion =
    QStringLiteral("Voulez-vous vraiment quitter cette page ? Les modifications que vous avez "
                   "faites risquent de ne pas être enregistrées.");

} // namespace

JavaScriptDialog::JavaScriptDialog(Kind kind, const QString &message, const QString &defaultValue,
                                   bool offerToStop, QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(kJavaScriptDialogTitle);
    setModal(true);

    auto *layout = new QVBoxLayout(this);
    auto *row = new QHBoxLayout;
    auto *icon = new QLabel(this);
    const auto standardIcon = kind == Kind::Alert ? QStyle::SP_MessageBoxInformation
                                                  : QStyle::SP_MessageBoxQuestion;
    const int iconSize = style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, this);
    icon->setPixmap(style()->standardIcon(standardIcon, nullptr, this).pixmap(iconSize));
    icon->setAlignment(Qt::AlignTop);
    row->addWidget(icon);
    // The page's text is shown as it is, never read as markup.
    auto *text = new QLabel(shown(message), this);
    text->setTextFormat(Qt::PlainText);
    text->setWordWrap(true);
    text->setMinimumWidth(300);
    text->setMaximumWidth(600);
    text->setTextInteractionFlags(Qt::TextSelectableByMouse);
    row->addWidget(text, 1);
    layout->addLayout(row);

    if (kind == Kind::Prompt) {
        m_value = new QLineEdit(defaultValue, this);
        layout->addWidget(m_value);
    }
    if (offerToStop) {
        m_stop = new QCheckBox(kStopDialogsText, this);
        layout->addWidget(m_stop);
    }

    auto *buttons = new QDialogButtonBox(this);
    QPushButton *ok = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    ok->setDefault(true);
    if (kind != Kind::Alert)
        buttons->addButton(QStringLiteral("Annuler"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    if (m_value)
        m_value->setFocus();
    else
        ok->setFocus();
}

QString JavaScriptDialog::value() const
{
    return m_value ? m_value->text() : QString();
}

bool JavaScriptDialog::stopAsked() const
{
    return m_stop && m_stop->isChecked();
}

JavaScriptDialogPage::JavaScriptDialogPage(QObject *parent)
    : QWebEnginePage(parent)
{
    watchNavigations();
}

JavaScriptDialogPage::JavaScriptDialogPage(QWebEngineProfile *profile, QObject *parent)
    : QWebEnginePage(profile, parent)
{
    watchNavigations();
}

// A new document starts afresh; a move to an anchor of the same one does not.
void JavaScriptDialogPage::watchNavigations()
{
    connect(this, &QWebEnginePage::loadStarted, this, [this] {
        m_inARow = 0;
        m_stopped = false;
        m_leavingText.clear();
    });
}

std::optional<JavaScriptDialogPage::Answer>
JavaScriptDialogPage::ask(JavaScriptDialog::Kind kind, const QString &message,
                          const QString &defaultValue)
{
    if (m_stopped)
        return std::nullopt;
    ++m_inARow;
    JavaScriptDialog dialog(kind, message, defaultValue, m_inARow >= kOfferToStopFrom,
                            QWebEngineView::forPage(this));
    const bool accepted = dialog.exec() == QDialog::Accepted;
    if (dialog.stopAsked())
        m_stopped = true;
    return Answer{accepted, dialog.value()};
}

void JavaScriptDialogPage::javaScriptAlert(const QUrl &, const QString &msg)
{
    ask(JavaScriptDialog::Kind::Alert, msg);
}

bool JavaScriptDialogPage::javaScriptConfirm(const QUrl &, const QString &msg)
{
    const bool leaving = isLeavingQuestion(msg);
    const QString question = !leaving ? msg
        : m_leavingText.isEmpty() ? kLeavingQuestion : leavingQuestion(m_leavingText);
    const auto answer = ask(JavaScriptDialog::Kind::Confirm, question);
    // A page whose dialogs were stopped cannot keep the pupil from leaving it.
    if (!answer)
        return leaving;
    return answer->accepted;
}

bool JavaScriptDialogPage::javaScriptPrompt(const QUrl &, const QString &msg,
                                            const QString &defaultValue, QString *result)
{
    const auto answer = ask(JavaScriptDialog::Kind::Prompt, msg, defaultValue);
    if (!answer || !answer->accepted)
        return false;
    if (result)
        *result = answer->value;
    return true;
}

void JavaScriptDialogPage::javaScriptConsoleMessage(JavaScriptConsoleMessageLevel, const QString &message,
                                                    int, const QString &)
{
    const auto said = pageMessage(message, url());
    if (!said)
        return;
    if (said->kind == PageMessage::Kind::Leaving)
        m_leavingText = said->text;
    else
        emit favouriteRequested(said->url, said->text);
}

} // namespace ruzez
