#pragma once

#include "search/close_picture.h"
#include "search/keyword_search.h"
#include "search/link_fields.h"
#include "search/link_row_source.h"

#include <QFrame>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QLabel;
class QLineEdit;
class QListView;
class QPushButton;
class QRadioButton;
class QStringListModel;

namespace ruzez {

// The keyword search panel, Frame1 of the main window: keywords, the two
// modes, "Chercher", the result message and the result list List1 (with
// its hidden twin List2 of addresses). The main window places it and
// decides what a result opens.
class SearchPanel : public QFrame
{
    Q_OBJECT

public:
    // Opens the links table afresh for one search; null when it cannot be
    // read (the search then finds nothing).
    using RowSource = std::function<std::unique_ptr<LinkRows>()>;

    explicit SearchPanel(QWidget *parent = nullptr);
    ~SearchPanel() override;

    void setRowSource(RowSource source);

    // Runs a whole search (the keywords normalised) somewhere else than
    // here, the window answering meanwhile. The row source and the search
    // replace each other: the last one given runs.
    using Search = std::function<KeywordSearch(const QString &keywords, SearchMode mode)>;
    void setSearch(Search search);

    // The mode chosen by the two option buttons.
    SearchMode mode() const;

    QLabel *Label2 = nullptr;
    ClosePicture *Image1 = nullptr;
    QLabel *Label3 = nullptr;
    QLineEdit *Text2 = nullptr;
    QRadioButton *Option1 = nullptr;
    QRadioButton *Option2 = nullptr;
    QPushButton *Command6 = nullptr;
    QLabel *Label4 = nullptr;
    // A list over a model: 200,000 titles fill it at once.
    QListView *List1 = nullptr;
    // The address of each entry of List1, at the same index; never shown.
    QStringList List2;

public slots:
    // Runs the search with the keyword box and the mode as they are now.
    void Command6_Click();

signals:
    // The close picture Image1 was clicked.
    void Image1_Click();
    // A result was double-clicked, or Enter pressed on it; url is its URL
    // field, relative to the course folder.
    void List1_DblClick(const QString &url);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildControls();
    void Text2_Enter();
    void List1_DoubleClicked();
    void showResults(const KeywordSearch &search);
    void showMessage(const QString &message);

    RowSource m_rowSource;
    Search m_search;
    // A search waits with the window answering: "Chercher" again meanwhile
    // would start a second one inside the first.
    bool m_searching = false;
    QStringListModel *m_titles = nullptr;
};

} // namespace ruzez
