// What lets every pupil use the window: the keys that move between its
// parts, and the names screen readers give its controls.

#include "window/frm_browser.h"

#include "browser/browser_component.h"
#include "search/close_picture.h"
#include "search/search_panel.h"
#include "window/window_keys.h"

#include <QAccessibleWidget>
#include <QLabel>
#include <QLineEdit>
#include <QTextEdit>
#include <QToolButton>

#include <mutex>

namespace ruzez {

namespace {

// A picture that only decorates is left out of what screen readers list.
const char kDecorative[] = "ruzez_decorative";

class WindowAccessible final : public QAccessibleWidget
{
public:
    explicit WindowAccessible(QWidget *window)
        : QAccessibleWidget(window, QAccessible::Window)
    {
    }
    int childCount() const override { return int(children().size()); }
    QAccessibleInterface *child(int index) const override
    {
        const QList<QWidget *> shown = children();
        return index >= 0 && index < shown.size() ? QAccessible::queryAccessibleInterface(shown.at(index))
                                                  : nullptr;
    }
    int indexOfChild(const QAccessibleInterface *child) const override
    {
        return child && child->object() ? int(children().indexOf(qobject_cast<QWidget *>(child->object())))
                                        : -1;
    }

private:
    QList<QWidget *> children() const
    {
        QList<QWidget *> listed;
        for (QObject *object : widget()->children()) {
            auto *child = qobject_cast<QWidget *>(object);
            if (child && !child->isWindow() && !child->property(kDecorative).toBool())
                listed.append(child);
        }
        return listed;
    }
};

QAccessibleInterface *windowAccessible(const QString &className, QObject *object)
{
    if (className == QLatin1String("ruzez::frmBrowser"))
        return new WindowAccessible(static_cast<QWidget *>(object));
    return nullptr;
}

} // namespace

void frmBrowser::connectKeys()
{
    // "A&rrêter" and "&Rechercher" would share Alt+R while a page loads;
    // Escape stops the page, and Alt+R always opens the search.
    stoppeur->setShortcut(QKeySequence());

    const auto inButtonRow = [this](const QWidget *focus) {
        return focus && focus->parentWidget() == this && qobject_cast<const QToolButton *>(focus);
    };
    const auto firstButton = [this]() -> QWidget * {
        for (QToolButton *button : {avant, suivant, stoppeur, actu, Maison, Command8, Command3,
                                    Command5, Command2}) {
            if (button->isVisibleTo(this) && button->isEnabled())
                return button;
        }
        return nullptr;
    };
    std::vector<WindowKeys::Region> regions{
        {inButtonRow, firstButton},
        {[this](const QWidget *focus) { return Frame1->isAncestorOf(focus); },
         [this]() -> QWidget * { return Frame1->isVisibleTo(this) ? Frame1->Text2 : nullptr; }},
        {[this](const QWidget *focus) { return focus == brwWebBrowser || brwWebBrowser->isAncestorOf(focus); },
         [this]() -> QWidget * { return brwWebBrowser; }},
        {[this](const QWidget *focus) { return focus == Text1 || Text1->isAncestorOf(focus); },
         [this]() -> QWidget * { return Text1->isVisibleTo(this) ? Text1 : nullptr; }},
    };
    new WindowKeys(this, std::move(regions), [this] { escapePressed(); });
}

void frmBrowser::escapePressed()
{
    if (Frame1->isVisibleTo(this) && Frame1->isAncestorOf(focusWidget()))
        Frame1_Image1_Click();
    else if (brwWebBrowser->Busy())
        stoppeur_Click();
}

void frmBrowser::describeForScreenReaders()
{
    static std::once_flag installed;
    std::call_once(installed, [] { QAccessible::installFactory(windowAccessible); });

    brwWebBrowser->setAccessibleName(QStringLiteral("Page"));
    Text1->setAccessibleName(QStringLiteral("Fiche d'activité"));
    // The worksheet is read with the arrow keys, line by line.
    Text1->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    Image2->setProperty(kDecorative, true);
}

} // namespace ruzez
