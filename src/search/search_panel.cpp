#include "search_panel.h"

#include <QListWidget>

namespace ruzez {

// Placeholder until the search panel lands: the frame and its result list.
SearchPanel::SearchPanel(QWidget *parent)
    : QFrame(parent)
    , List1(new QListWidget(this))
{
    setGeometry(0, 32, 233, 385);
    List1->setGeometry(8, 200, 217, 160);
    List1->hide();
    hide();
}

SearchPanel::~SearchPanel() = default;

void SearchPanel::setRowSource(RowSource) {}

} // namespace ruzez
