#include "search_panel.h"

#include "search/close_picture.h"

#include "shell/enter_presses_button.h"
#include "shell/twips.h"

#include <QApplication>
#include <QCursor>
#include <QKeyEvent>
#include <QEvent>
#include <QFont>
#include <QLabel>
#include <QLineEdit>
#include <QFontMetrics>
#include <QListView>
#include <QPushButton>
#include <QRadioButton>
#include <QStringListModel>

namespace ruzez {

namespace {

const QColor kPanelColour(20, 100, 180); // &H00B46414

// Verdana where it is installed; otherwise the system's sans serif of the
// same size and style.
QFont verdana(qreal points, bool bold, bool italic = false)
{
    QFont font(QStringLiteral("Verdana"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(points);
    font.setBold(bold);
    font.setItalic(italic);
    return font;
}

void setTextColour(QWidget *widget, const QColor &colour)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, colour);
    widget->setPalette(palette);
}

// Shows the hourglass over one control while a search runs and gives the
// control back the pointer it had.
class WaitPointer
{
public:
    explicit WaitPointer(QWidget *widget)
        : m_widget(widget)
        , m_ownPointer(widget->testAttribute(Qt::WA_SetCursor))
        , m_pointer(widget->cursor())
    {
        m_widget->setCursor(Qt::WaitCursor);
    }
    ~WaitPointer()
    {
        if (m_ownPointer)
            m_widget->setCursor(m_pointer);
        else
            m_widget->unsetCursor();
    }
    WaitPointer(const WaitPointer &) = delete;
    WaitPointer &operator=(const WaitPointer &) = delete;

private:
    QWidget *m_widget;
    bool m_ownPointer;
    QCursor m_pointer;
};

} // namespace

SearchPanel::SearchPanel(QWidget *parent)
    : QFrame(parent)
{
    installSearchAccessibility();
    buildControls();
    connect(Command6, &QPushButton::clicked, this, &SearchPanel::Command6_Click);
    connect(Text2, &QLineEdit::returnPressed, this, &SearchPanel::Text2_Enter);
    connect(Image1, &ClosePicture::clicked, this, &SearchPanel::Image1_Click);
    List1->installEventFilter(this);
    List1->viewport()->installEventFilter(this);
    hide();
}

SearchPanel::~SearchPanel() = default;

void SearchPanel::buildControls()
{
    // The main window stretches the height; the width and place are fixed.
    setGeometry(twipsRect(0, 480, 3495, 5775));
    setFrameShape(QFrame::NoFrame);
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, kPanelColour);
    setPalette(palette);

    Label2 = new QLabel(QStringLiteral("Recherche par mot(s) clé(s)"), this);
    Label2->setGeometry(twipsRect(240, 240, 2415, 615));
    Label2->setFont(verdana(12, true, true));

    Image1 = new ClosePicture(this);
    Image1->setGeometry(twipsRect(2880, 240, 480, 480));
    Image1->setPixmap(closePicture(qApp->devicePixelRatio()));
    Image1->setToolTip(QStringLiteral("Fermer"));
    Image1->setAccessibleName(QStringLiteral("Fermer la recherche"));

    Label3 = new QLabel(QStringLiteral("Saisir les mots en les séparant d'un espace, choisir une "
                                       "option et appuyer sur « Chercher »."),
                        this);
    Label3->setGeometry(twipsRect(240, 960, 3135, 615));
    Label3->setFont(verdana(8.25, false));

    Text2 = new QLineEdit(this);
    Text2->setGeometry(twipsRect(120, 1680, 3135, 285));
    Text2->setAccessibleName(QStringLiteral("Mots-clés"));
    Text2->setAccessibleDescription(Label3->text());

    Option1 = new QRadioButton(QStringLiteral("au moins un mot"), this);
    Option1->setGeometry(twipsRect(120, 2040, 1815, 195));
    Option1->setChecked(true);
    Option2 = new QRadioButton(QStringLiteral("tous les mots"), this);
    Option2->setGeometry(twipsRect(120, 2280, 1815, 195));

    Command6 = new QPushButton(QStringLiteral("Chercher"), this);
    Command6->setGeometry(twipsRect(2040, 2100, 1215, 375));
    pressOnEnter(Command6);

    Label4 = new QLabel(this);
    Label4->setGeometry(twipsRect(240, 2580, 3015, 375));
    Label4->setFont(verdana(12, true));
    Label4->setAlignment(Qt::AlignCenter);
    Label4->hide();

    m_titles = new QStringListModel(this);
    List1 = new QListView(this);
    List1->setModel(m_titles);
    List1->setGeometry(twipsRect(120, 3000, 3255, 2400));
    List1->setSelectionMode(QAbstractItemView::SingleSelection);
    List1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Every title is one line: the list need not measure each of them.
    List1->setUniformItemSizes(true);
    List1->setAccessibleName(QStringLiteral("Pages trouvées"));
    List1->hide();

    for (QLabel *label : {Label2, Label3})
        label->setWordWrap(true);
    for (QWidget *widget : std::initializer_list<QWidget *>{Label2, Label3, Option1, Option2})
        setTextColour(widget, Qt::white);
    setTextColour(Label4, Qt::yellow);

    setTabOrder(Image1, Command6);
    setTabOrder(Command6, Text2);
    setTabOrder(Text2, List1);
    setTabOrder(List1, Option1);
    setTabOrder(Option1, Option2);
}

// The row source and the search replace each other: the last one given runs.
void SearchPanel::setRowSource(RowSource source)
{
    m_rowSource = std::move(source);
    m_search = nullptr;
}

void SearchPanel::setSearch(Search search)
{
    m_search = std::move(search);
    m_rowSource = nullptr;
}

SearchMode SearchPanel::mode() const
{
    return Option2->isChecked() ? SearchMode::TousLesMots : SearchMode::AuMoinsUnMot;
}

void SearchPanel::Command6_Click()
{
    if (m_searching)
        return;
    const QString normalised = nettoiquest(Text2->text());
    Text2->setText(normalised);
    if (isBlankKeywords(normalised))
        return;

    const WaitPointer wait(Command6);
    // The window does not answer while the table is searched: show the
    // message first.
    showMessage(QString::fromUtf8(kSearchRunning));
    List1->hide();
    repaint();
    m_titles->setStringList({});
    List2.clear();

    KeywordSearch search;
    if (m_search) {
        m_searching = true;
        search = m_search(normalised, mode());
        m_searching = false;
    } else {
        const std::unique_ptr<LinkRows> rows = m_rowSource ? m_rowSource() : nullptr;
        search = keywordSearch(rows.get(), normalised, mode());
    }
    Text2->setText(search.keywords);
    showResults(search);
}

void SearchPanel::showResults(const KeywordSearch &search)
{
    QStringList titles;
    titles.reserve(search.hits.size());
    List2.reserve(search.hits.size());
    for (const SearchHit &hit : search.hits) {
        titles.append(hit.title);
        List2.append(hit.address);
    }
    m_titles->setStringList(titles);
    showMessage(search.message);
    List1->setVisible(!search.hits.isEmpty());
}

// The message is one line, in a smaller type when the designed one would cut
// it ("200000 pages trouvées").
void SearchPanel::showMessage(const QString &message)
{
    QFont font = verdana(12, true);
    while (font.pointSizeF() > 6
           && QFontMetrics(font).horizontalAdvance(message) > Label4->contentsRect().width())
        font.setPointSizeF(font.pointSizeF() - 0.5);
    Label4->setFont(font);
    Label4->setText(message);
    Label4->show();
}

void SearchPanel::Text2_Enter()
{
    const WaitPointer wait(Text2);
    Command6_Click();
}

// A double-click without a selected title has no address to open and is
// ignored.
void SearchPanel::List1_DoubleClicked()
{
    const QModelIndexList selected = List1->selectionModel()->selectedIndexes();
    if (selected.isEmpty())
        return;
    const int index = selected.first().row();
    if (index >= 0 && index < List2.size())
        emit List1_DblClick(List2.at(index));
}

bool SearchPanel::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == List1->viewport() && event->type() == QEvent::MouseButtonDblClick) {
        List1_DoubleClicked();
    } else if (watched == List1 && event->type() == QEvent::KeyPress) {
        // Enter opens the selected result, as a double-click does.
        const auto *key = static_cast<QKeyEvent *>(event);
        const bool plain = (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
        if (plain && (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)) {
            if (!key->isAutoRepeat())
                List1_DoubleClicked();
            return true;
        }
    } else if (watched == List1 && event->type() == QEvent::FocusIn) {
        // Reached by Tab: the first title is selected, so that Enter opens
        // something and the screen reader has a title to read.
        const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
        const bool byKeyboard = reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason;
        if (byKeyboard && !List1->currentIndex().isValid() && m_titles->rowCount() > 0)
            List1->setCurrentIndex(m_titles->index(0));
    }
    return QFrame::eventFilter(watched, event);
}

} // namespace ruzez
