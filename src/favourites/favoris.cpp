#include "favoris.h"

#include "browser/browser_component.h"
#include "favourites/ajouteur.h"
#include "favourites/favourites_file.h"
#include "favourites/favourites_requests.h"
#include "shell/enter_presses_button.h"
#include "shell/twips.h"

#include <QEvent>
#include <QGroupBox>
#include <QIcon>
#include <QKeyEvent>
#include <QShowEvent>
#include <QListWidget>
#include <QStyle>
#include <QToolButton>

namespace ruzez {

namespace {

// A button with its picture above its caption. The picture comes from the
// desktop's icon theme when it has one, else from the widget style.
QToolButton *pictureButton(QWidget *parent, const QString &caption, const QString &themeIcon,
                           QStyle::StandardPixmap fallback, const QRect &geometry)
{
    auto *button = new QToolButton(parent);
    button->setText(caption);
    button->setIcon(QIcon::fromTheme(themeIcon, parent->style()->standardIcon(fallback)));
    button->setIconSize(QSize(24, 24));
    button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    button->setFocusPolicy(Qt::StrongFocus);
    button->setGeometry(geometry);
    pressOnEnter(button);
    return button;
}

} // namespace

favoris::favoris(BrowserComponent &browser, QString programFolder, MessageBoxes &boxes,
                 QWidget *parent, FileAccess *files)
    : QDialog(parent)
    , m_browser(browser)
    , m_programFolder(std::move(programFolder))
    , m_files(files)
    , m_boxes(boxes)
{
    setWindowTitle(QStringLiteral("Sites favoris"));
    setFixedSize(twipsToPixels(7305), twipsToPixels(5595));

    Frame1 = new QGroupBox(this);
    Frame1->setGeometry(twipsRect(120, 0, 6975, 4455));
    Liste = new QListWidget(Frame1);
    Liste->setGeometry(twipsRect(240, 240, 6495, 3960));
    Liste->setSelectionMode(QAbstractItemView::SingleSelection);
    Liste->setSortingEnabled(false);
    // Any double click in the list counts, as on the item under it or on
    // the blank below the items; the handler looks at the selection.
    Liste->viewport()->installEventFilter(this);
    Liste->installEventFilter(this);

    Command3 = pictureButton(this, QStringLiteral("Fermer"), QStringLiteral("window-close"),
                             QStyle::SP_DialogCloseButton, twipsRect(2280, 4680, 855, 735));
    Command1 = pictureButton(this, QStringLiteral("Enlever"), QStringLiteral("list-remove"),
                             QStyle::SP_TrashIcon, twipsRect(3360, 4680, 855, 735));
    Command2 = pictureButton(this, QStringLiteral("Aller à..."), QStringLiteral("go-jump"),
                             QStyle::SP_ArrowForward, twipsRect(4440, 4680, 855, 735));

    connect(Command1, &QToolButton::clicked, this, &favoris::Command1_Click);
    connect(Command2, &QToolButton::clicked, this, &favoris::Command2_Click);
    connect(Command3, &QToolButton::clicked, this, &favoris::Command3_Click);

    setTabOrder(Liste, Command2);
    setTabOrder(Command2, Command1);
    setTabOrder(Command1, Command3);
    Liste->setFocus();
}

int favoris::selectedPosition() const
{
    const QModelIndexList rows = Liste->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

void favoris::Form_Load()
{
    QStringList titles;
    const bool read = favourites_requests::titles(m_files, m_programFolder, titles);
    Liste->addItems(titles);
    if (!read)
        reportFavouritesFailure(m_boxes);
}

void favoris::Command1_Click()
{
    const int position = selectedPosition();
    if (position < 0)
        return;
    // The list is refilled from the file whatever happened, so it shows
    // what the file now holds.
    favourites_requests::remove(m_files, m_programFolder, position + 1);
    Liste->clear();
    Form_Load();
}

void favoris::Command2_Click()
{
    const int position = selectedPosition();
    if (position < 0)
        return;
    const QString address = favourites_requests::address(m_files, m_programFolder, position + 1);
    // Each step goes ahead whatever the one before gave: an unread address
    // still stops the page under way, and the window closes.
    m_browser.Stop();
    m_browser.Navigate(address);
    close();
}

void favoris::Command3_Click()
{
    close();
}

void favoris::Liste_DblClick()
{
    Command2_Click();
}

void favoris::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    // The window opens on its first entry, selected: the one outlined is
    // the one "Aller à..." goes to.
    if (!event->spontaneous() && Liste->count() > 0 && Liste->selectedItems().isEmpty())
        Liste->setCurrentRow(0);
}

bool favoris::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == Liste->viewport() && event->type() == QEvent::MouseButtonDblClick)
        Liste_DblClick();
    if (watched == Liste && event->type() == QEvent::KeyPress) {
        // Enter in the list goes to the entry, as a double click does.
        const auto *key = static_cast<QKeyEvent *>(event);
        const bool plain = (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
        if (plain && (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)) {
            if (!key->isAutoRepeat())
                Liste_DblClick();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace ruzez
