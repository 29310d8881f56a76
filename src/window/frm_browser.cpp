// The window's construction: its controls, where they stand, how their
// events reach the handlers, and the Qt events the handlers answer.

#include "window/frm_browser.h"

#include "browser/browser_component.h"
#include "browser/status_strip.h"
#include "favourites/menuf.h"
#include "search/search_panel.h"
#include "search/search_requests.h"
#include "shell/enter_presses_button.h"
#include "shell/twips.h"
#include "window/file_operations.h"
#include "worksheet/worksheet_picture.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QStyle>
#include <QTextEdit>
#include <QTimer>
#include <QToolButton>

namespace ruzez {

namespace {

const QColor kButtonFace(0xC0, 0xC0, 0xC0);        // &H00C0C0C0
constexpr int kButtonHeightTwips = 615;
constexpr int kButtonWidthTwips = 1335;

} // namespace

frmBrowser::frmBrowser(MessageBoxes &boxes, Drives &drives, DialupLine &dialup, HelpEngine &help,
                       WindowFrame &frame, QString programFolder,
                       std::unique_ptr<BrowserComponent> browser, std::function<void()> endProgram,
                       QWidget *parent, FileAccess *files)
    : QWidget(parent)
    , m_boxes(boxes)
    , m_drives(drives)
    , m_dialup(dialup)
    , m_help(help)
    , m_frame(frame)
    , m_programFolder(std::move(programFolder))
    , m_ownFiles(files ? nullptr : std::make_unique<DirectFileAccess>(fileOperations()))
    , m_files(files ? *files : *m_ownFiles)
    , m_endProgram(std::move(endProgram))
{
    Q_ASSERT(browser);
    browser->setParent(this);
    brwWebBrowser = browser.release();

    m_state.premierenav = false;
    setWindowTitle(QStringLiteral("RUZEZ"));
    // The designed client area, 12015 x 7800 twips.
    resize(twipsToPixels(12015), twipsToPixels(7800));
    createControls();
    connectHandlers();
    connectKeys();
    describeForScreenReaders();
}

frmBrowser::~frmBrowser() = default;

QToolButton *frmBrowser::makeButton(const QString &caption, const QString &themeIcon,
                                    int standardIcon, int leftTwips, int topTwips, int widthTwips)
{
    auto *button = new QToolButton(this);
    button->setText(caption);
    button->setIcon(QIcon::fromTheme(themeIcon,
                                     style()->standardIcon(QStyle::StandardPixmap(standardIcon))));
    button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    button->setGeometry(twipsToPixels(leftTwips), twipsToPixels(topTwips), twipsToPixels(widthTwips),
                        twipsToPixels(kButtonHeightTwips));
    QPalette palette = button->palette();
    palette.setColor(QPalette::Button, kButtonFace);
    palette.setColor(QPalette::Window, kButtonFace);
    button->setPalette(palette);
    button->setAutoFillBackground(true);
    pressOnEnter(button);
    return button;
}

void frmBrowser::createControls()
{
    cboAddress = new QComboBox(this);
    cboAddress->setEditable(true);
    cboAddress->setInsertPolicy(QComboBox::NoInsert);
    cboAddress->setEditText(QStringLiteral("Combo1"));
    cboAddress->hide();

    avant = makeButton(QStringLiteral("&Précédent"), QStringLiteral("go-previous"),
                       QStyle::SP_ArrowBack, 0, 0, kButtonWidthTwips);
    avant->setToolTip(QStringLiteral("Page précédente"));
    suivant = makeButton(QStringLiteral("&Suivant"), QStringLiteral("go-next"),
                         QStyle::SP_ArrowForward, 1320, 0, kButtonWidthTwips);
    suivant->setToolTip(QStringLiteral("Page suivante"));
    stoppeur = makeButton(QStringLiteral("A&rrêter"), QStringLiteral("process-stop"),
                          QStyle::SP_BrowserStop, 2640, 0, kButtonWidthTwips);
    stoppeur->setToolTip(QStringLiteral("Arrêter le chargement"));
    actu = makeButton(QStringLiteral("A&ctualiser"), QStringLiteral("view-refresh"),
                      QStyle::SP_BrowserReload, 3960, 0, kButtonWidthTwips);
    Maison = makeButton(QStringLiteral("Acc&ueil"), QStringLiteral("go-home"),
                        QStyle::SP_DirHomeIcon, 5280, 0, 1455);
    Command8 = makeButton(QStringLiteral("&Rechercher"), QStringLiteral("edit-find"),
                          QStyle::SP_FileDialogContentsView, 6720, 0, kButtonWidthTwips);
    Command3 = makeButton(QStringLiteral("&Imprimer"), QStringLiteral("document-print"),
                          QStyle::SP_FileIcon, 8040, 0, kButtonWidthTwips);
    Command5 = makeButton(QStringLiteral("&Aide"), QStringLiteral("help-browser"),
                          QStyle::SP_DialogHelpButton, 9360, 0, kButtonWidthTwips);
    Command2 = makeButton(QStringLiteral("&Fermer"), QStringLiteral("window-close"),
                          QStyle::SP_DialogCloseButton, 10680, 0, kButtonWidthTwips);
    // Favourites and settings: created hidden; nothing in the window shows them.
    Command4 = makeButton(QStringLiteral("Fa&voris"), QStringLiteral("bookmarks"),
                          QStyle::SP_DirIcon, 4440, 1680, 1095);
    Command4->hide();
    Command1 = makeButton(QStringLiteral("Para&mètres"), QStringLiteral("preferences-system"),
                          QStyle::SP_FileDialogDetailedView, 4560, 2280, 1095);
    Command1->hide();

    brwWebBrowser->setGeometry(twipsToPixels(6120), twipsToPixels(2040), twipsToPixels(4680),
                               twipsToPixels(2295));

    Frame1 = new SearchPanel(this);
    // The panel starts a few pixels above the buttons' lower edge: the
    // buttons stay in front of it.
    Frame1->lower();
    Frame1->hide();
    // The search reads the links table afresh each time, from wherever the
    // start-up found it; never found, it reads nothing.
    Frame1->setSearch([this](const QString &keywords, SearchMode mode) {
        return search_requests::run(m_files, m_state.site.databaseName, keywords, mode);
    });

    Text1 = new QTextEdit(this);
    Text1->setAcceptRichText(true);
    Text1->setReadOnly(true);
    // Little space around the text, so that the worksheets fit the heights
    // they were written for.
    Text1->document()->setDocumentMargin(2);
    // The wrap width the layout sets is the box's width less 12 pixels, a
    // few pixels more than the text area beside the vertical scroll bar: a
    // horizontal scroll bar would only ever scroll those few pixels.
    Text1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Text1->setGeometry(twipsToPixels(1440), twipsToPixels(5520), twipsToPixels(7815),
                       twipsToPixels(1575));

    Image2 = new QLabel(this);
    Image2->setGeometry(twipsToPixels(360), twipsToPixels(6600), twipsToPixels(705), twipsToPixels(735));
    Image2->setPixmap(worksheetPicture(devicePixelRatioF()));

    etat = new StatusStrip(this);
    etat->setGeometry(0, height() - twipsToPixels(375), width(), twipsToPixels(375));
    Label1 = etat->Label1;

    timTimer = new QTimer(this);
    timTimer->setInterval(5);

    setTabOrder(cboAddress, avant);
    setTabOrder(avant, suivant);
    setTabOrder(suivant, stoppeur);
    setTabOrder(stoppeur, actu);
    setTabOrder(actu, Maison);
    setTabOrder(Maison, Command8);
    setTabOrder(Command8, Command3);
    setTabOrder(Command3, Command5);
    setTabOrder(Command5, Command2);
    setTabOrder(Command2, brwWebBrowser);
}

void frmBrowser::connectHandlers()
{
    connect(avant, &QToolButton::clicked, this, &frmBrowser::avant_Click);
    connect(suivant, &QToolButton::clicked, this, &frmBrowser::suivant_Click);
    connect(stoppeur, &QToolButton::clicked, this, &frmBrowser::stoppeur_Click);
    connect(actu, &QToolButton::clicked, this, &frmBrowser::actu_Click);
    connect(Maison, &QToolButton::clicked, this, &frmBrowser::Maison_Click);
    connect(Command8, &QToolButton::clicked, this, &frmBrowser::Command8_Click);
    connect(Command3, &QToolButton::clicked, this, &frmBrowser::Command3_Click);
    connect(Command5, &QToolButton::clicked, this, &frmBrowser::Command5_Click);
    connect(Command2, &QToolButton::clicked, this, &frmBrowser::Command2_Click);
    connect(Command4, &QToolButton::clicked, this, &frmBrowser::Command4_Click);
    connect(Command1, &QToolButton::clicked, this, &frmBrowser::Command1_Click);

    // A choice from the list is a click; a selection from code runs the
    // handler itself (selectAddress).
    connect(cboAddress, &QComboBox::activated, this, &frmBrowser::cboAddress_Click);
    cboAddress->installEventFilter(this);
    if (cboAddress->lineEdit())
        cboAddress->lineEdit()->installEventFilter(this);

    connect(brwWebBrowser, &BrowserComponent::StatusTextChange, this,
            &frmBrowser::brwWebBrowser_StatusTextChange);
    connect(brwWebBrowser, &BrowserComponent::ProgressChange, this,
            &frmBrowser::brwWebBrowser_ProgressChange);
    connect(brwWebBrowser, &BrowserComponent::DownloadBegin, this,
            &frmBrowser::brwWebBrowser_DownloadBegin);
    connect(brwWebBrowser, &BrowserComponent::DownloadComplete, this,
            &frmBrowser::brwWebBrowser_DownloadComplete);
    connect(brwWebBrowser, &BrowserComponent::BeforeNavigate2, this,
            &frmBrowser::brwWebBrowser_BeforeNavigate2);
    connect(brwWebBrowser, &BrowserComponent::NewWindow2, this,
            &frmBrowser::brwWebBrowser_NewWindow2);
    connect(brwWebBrowser, &BrowserComponent::NavigateComplete2, this,
            &frmBrowser::brwWebBrowser_NavigateComplete2);

    connect(timTimer, &QTimer::timeout, this, &frmBrowser::timTimer_Timer);
    connect(etat, &StatusStrip::resized, this, &frmBrowser::etat_Resize);
    connect(Frame1, &SearchPanel::Image1_Click, this, &frmBrowser::Frame1_Image1_Click);
    connect(Frame1, &SearchPanel::List1_DblClick, this, &frmBrowser::Frame1_List1_DblClick);
}

bool frmBrowser::eventFilter(QObject *watched, QEvent *event)
{
    const bool inAddressBox = watched == cboAddress || watched == cboAddress->lineEdit();
    if (inAddressBox && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            int KeyAscii = 13;
            cboAddress_KeyPress(KeyAscii);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

bool frmBrowser::event(QEvent *event)
{
    // Sent before the window reaches the screen: it appears already fitted,
    // whether or not the window manager makes it the active window.
    if (event->type() == QEvent::Show && !m_shownOnce) {
        m_shownOnce = true;
        Form_Activate();
    } else if (event->type() == QEvent::WindowActivate) {
        if (m_activateOnReturn)
            Form_Activate();
    } else if (event->type() == QEvent::WindowDeactivate) {
        // The window "becomes active" again when it takes the activation
        // back from another window of the program (a message box, the
        // favourites or settings window), not when the user merely comes
        // back from another application.
        const QWidget *now = QApplication::activeWindow();
        m_activateOnReturn = now && now != this;
        Form_LostFocus();
    }
    return QWidget::event(event);
}

void frmBrowser::closeEvent(QCloseEvent *event)
{
    // Closing from the close box, from "Fermer" or from the application
    // quitting: the closing handlers run once.
    unloadOnce(UnloadMode::FormControlMenu);
    event->accept();
}

} // namespace ruzez
