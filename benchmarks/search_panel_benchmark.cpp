// Times the search panel on 200,000 results: the whole "Chercher" (search,
// list filled, message), against the search alone. Prints medians of five
// runs; run it from the build folder, it takes no arguments.

#include "search/keyword_search.h"
#include "search/search_panel.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QTextStream>

#include <algorithm>
#include <vector>

using namespace ruzez;

namespace {

constexpr int kRows = 200000;
constexpr int kRuns = 5;

std::vector<LinkRow> manyRows()
{
    std::vector<LinkRow> rows;
    rows.reserve(kRows);
    for (int i = 1; i <= kRows; ++i)
        rows.push_back(LinkRow{QString::number(i), QStringLiteral("air/page%1.html").arg(i),
                               QStringLiteral("Page numéro %1 sur l'ozone").arg(i),
                               QStringLiteral("L'ozone et la pollution de l'air, fiche %1").arg(i)});
    return rows;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const std::vector<LinkRow> rows = manyRows();
    SearchPanel panel;
    panel.setRowSource([&rows] { return std::make_unique<LinkRowList>(rows); });
    panel.resize(233, 700);
    panel.show();

    std::vector<double> searchOnly;
    std::vector<double> whole;
    for (int run = 0; run < kRuns; ++run) {
        QElapsedTimer timer;
        timer.start();
        const LinkRowList list(rows);
        const KeywordSearch found = keywordSearch(&list, QStringLiteral("ozone"),
                                                  SearchMode::AuMoinsUnMot);
        searchOnly.push_back(timer.nsecsElapsed() / 1e6);

        panel.Text2->setText(QStringLiteral("ozone"));
        timer.restart();
        panel.Command6_Click();
        QApplication::processEvents();
        whole.push_back(timer.nsecsElapsed() / 1e6);
        if (found.hits.size() != kRows || panel.List1->model()->rowCount() != kRows)
            return 1;
    }
    QTextStream out(stdout);
    out << "search panel, " << kRows << " results (median of " << kRuns << ")\n"
        << "  search alone:          " << median(searchOnly) << " ms\n"
        << "  Chercher, list filled: " << median(whole) << " ms\n"
        << "  message: " << panel.Label4->text() << " (font " << panel.Label4->font().pointSizeF()
        << " pt, fits: "
        << (QFontMetrics(panel.Label4->font()).horizontalAdvance(panel.Label4->text())
                    <= panel.Label4->contentsRect().width()
                ? "yes"
                : "no")
        << ")\n";
    return 0;
}
