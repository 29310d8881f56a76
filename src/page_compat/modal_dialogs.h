#pragma once

#include <QDialog>
#include <QJsonValue>
#include <QSize>
#include <QWebEngineUrlSchemeHandler>

#include <functional>

class QWebEngineProfile;
class QWebEngineView;

namespace ruzez {

// showModalDialog(url, arguments, features): the page waits, in a
// synchronous request to a scheme of ours, while a modal window of ours shows
// the dialog's page; the request answers with the page's returnValue once
// the window closes. The arguments reach the dialog's page as
// window.dialogArguments (a copy: what JSON can carry).

inline constexpr char kModalDialogScheme[] = "ruzez-dialog";

// Before the application starts (the engine reads its schemes once).
void registerModalDialogScheme();

// "dialogWidth:300px; dialogHeight:200px": the page area asked for.
QSize modalDialogSize(const QString &features);

// The window of one dialog: its page on the same profile as the opener's.
class ModalDialogWindow : public QDialog
{
    Q_OBJECT

public:
    ModalDialogWindow(QWebEngineProfile *profile, const QUrl &url, const QJsonValue &arguments,
                      const QString &features, QWidget *parent = nullptr);

    QJsonValue returnValue() const { return m_returnValue; }
    void setReturnValue(const QJsonValue &value) { m_returnValue = value; }
    QWebEngineView *view() const { return m_view; }

private:
    QWebEngineView *m_view = nullptr;
    QJsonValue m_returnValue;
};

// Serves the scheme on a profile: each request from a local page opens a
// dialog and answers with its returnValue as JSON.
class ModalDialogs : public QWebEngineUrlSchemeHandler
{
    Q_OBJECT

public:
    // Installs itself on the profile until destroyed.
    explicit ModalDialogs(QWebEngineProfile *profile, QObject *parent = nullptr);
    ~ModalDialogs() override;

    void requestStarted(QWebEngineUrlRequestJob *job) override;

signals:
    // A dialog window is shown (for whoever watches: the tests); it
    // deletes itself once closed.
    void dialogShown(ModalDialogWindow *window);

public:
    // The profile of the dialogs' pages: one of their own, so that they run
    // in a process of their own while the opener's waits.
    QWebEngineProfile *dialogProfile() const { return m_dialogProfile; }

private:
    QWebEngineProfile *m_profile;
    QWebEngineProfile *m_dialogProfile;
};

} // namespace ruzez
