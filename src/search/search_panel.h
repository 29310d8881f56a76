#pragma once

#include "search/link_row.h"

#include <QFrame>

#include <functional>
#include <optional>
#include <vector>

class QListWidget;

namespace ruzez {

// The keyword search panel, Frame1 of the main window: keywords, the two
// modes, "Chercher", the result message and the result list List1 (with
// its hidden twin List2 of addresses). The main window places it and
// decides what a result opens.
class SearchPanel : public QFrame
{
    Q_OBJECT

public:
    // Reads the links table afresh for one search; nullopt when it cannot
    // be read (the search then finds nothing).
    using RowSource = std::function<std::optional<std::vector<LinkRow>>()>;

    explicit SearchPanel(QWidget *parent = nullptr);
    ~SearchPanel() override;

    void setRowSource(RowSource source);

    QListWidget *List1 = nullptr;

signals:
    // The close picture Image1 was clicked.
    void Image1_Click();
    // A result was double-clicked; url is its URL field, relative to the course folder.
    void List1_DblClick(const QString &url);
};

} // namespace ruzez
