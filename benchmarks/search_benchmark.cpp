// Times the keyword search over a large links table held in memory, and
// (where SQLite is available) the equivalent LIKE query over the same rows.
//
//   search_benchmark [rows] [runs] [word...]
//
// Defaults: 100000 rows, 5 runs, the words "pollution ozone ville".

#include "search/keyword_search.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QStringList>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <vector>

#ifdef RUZEZ_WITH_SQLITE
#include <sqlite3.h>
#endif

using namespace ruzez;

namespace {

// Words of the course's subject; drawn with falling frequency so that a few
// are common, as in real descriptions.
const QStringList kVocabulary{
    "pollution", "air", "ozone", "ville", "dioxyde", "carbone", "azote", "soufre", "particules",
    "fines", "effet", "serre", "climat", "température", "atmosphère", "stratosphère",
    "troposphère", "rayonnement", "ultraviolet", "molécule", "gaz", "combustion", "moteur",
    "voiture", "usine", "chauffage", "énergie", "pétrole", "charbon", "bois", "pluies", "acides",
    "forêt", "lac", "santé", "asthme", "poumons", "mesure", "capteur", "station", "indice",
    "qualité", "seuil", "alerte", "pic", "été", "hiver", "vent", "brouillard", "smog", "CFC",
    "couche", "trou", "Antarctique", "protocole", "Montréal", "Kyoto", "émissions", "transport",
    "vélo", "tramway", "isolation", "économie", "recyclage", "déchets", "incinération",
    "méthane", "élevage", "agriculture", "engrais", "ammoniac", "benzène", "plomb", "métaux",
    "lichens", "bio-indicateur", "expérience", "réaction", "oxydation", "photochimique",
    "laboratoire", "élève", "fiche", "question", "schéma", "graphique", "courbe", "tableau",
    "concentration", "microgramme", "mètre", "cube", "la", "le", "les", "des", "du", "de", "et",
    "en", "dans", "sur", "par", "pour", "avec", "une", "un", "au", "aux",
};

QString pickWord(QRandomGenerator &random)
{
    // Roughly Zipf: index = size^u - 1 with u uniform in [0, 1).
    const double u = random.generateDouble();
    const int index = int(std::pow(double(kVocabulary.size()), u)) - 1;
    return kVocabulary.at(std::clamp(index, 0, int(kVocabulary.size()) - 1));
}

std::vector<LinkRow> makeRows(int count)
{
    QRandomGenerator random(1968);
    std::vector<LinkRow> rows;
    rows.reserve(count);
    const int titles = std::max(1, count / 5); // every title about five times
    for (int i = 0; i < count; ++i) {
        QStringList description;
        for (int w = random.bounded(15, 45); w > 0; --w)
            description.append(pickWord(random));
        const int title = random.bounded(titles);
        rows.push_back(LinkRow{QString::number(i + 1),
                               QStringLiteral("air/pages/page%1.html").arg(i + 1),
                               QStringLiteral("Page %1 : %2").arg(title).arg(pickWord(random)),
                               description.join(QLatin1Char(' ')) + QLatin1Char('.')});
    }
    return rows;
}

// The machine may be shared: processor time of this process is the fairer
// measure, wall time is shown beside it.
double cpuMilliseconds()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

double median(std::vector<double> times)
{
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

template<typename Run>
void report(const char *what, int runs, Run run)
{
    std::vector<double> wall;
    std::vector<double> cpu;
    qsizetype found = 0;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        const double cpuStart = cpuMilliseconds();
        timer.start();
        found = run();
        wall.push_back(double(timer.nsecsElapsed()) / 1e6);
        cpu.push_back(cpuMilliseconds() - cpuStart);
    }
    std::printf("%-32s %7lld results  cpu min %7.1f median %7.1f ms  wall median %7.1f ms\n",
                what, static_cast<long long>(found), *std::min_element(cpu.begin(), cpu.end()),
                median(cpu), median(wall));
}

#ifdef RUZEZ_WITH_SQLITE
// The same rows in an in-memory SQLite table; LIKE there ignores case for
// ASCII letters only, which is the same as ours for these words.
class SqlTable
{
public:
    explicit SqlTable(const std::vector<LinkRow> &rows)
    {
        sqlite3_open(":memory:", &m_db);
        exec("CREATE TABLE LINKS (LinkID INTEGER, URL TEXT, SubCategory TEXT, Description TEXT)");
        exec("BEGIN");
        sqlite3_stmt *insert = nullptr;
        sqlite3_prepare_v2(m_db, "INSERT INTO LINKS VALUES (?1, ?2, ?3, ?4)", -1, &insert, nullptr);
        for (const LinkRow &row : rows) {
            bindText(insert, 1, row.LinkID);
            bindText(insert, 2, row.URL);
            bindText(insert, 3, row.SubCategory);
            bindText(insert, 4, row.Description);
            sqlite3_step(insert);
            sqlite3_reset(insert);
        }
        sqlite3_finalize(insert);
        exec("COMMIT");
    }
    ~SqlTable() { sqlite3_close(m_db); }
    SqlTable(const SqlTable &) = delete;
    SqlTable &operator=(const SqlTable &) = delete;

    // Rows whose description holds every word (all) or any word.
    qsizetype like(const QStringList &words, bool all) const
    {
        QString sql = QStringLiteral("SELECT SubCategory, URL FROM LINKS WHERE ");
        for (int i = 0; i < words.size(); ++i) {
            if (i > 0)
                sql += all ? QStringLiteral(" AND ") : QStringLiteral(" OR ");
            sql += QStringLiteral("Description LIKE ?%1").arg(i + 1);
        }
        sqlite3_stmt *query = nullptr;
        sqlite3_prepare_v2(m_db, sql.toUtf8().constData(), -1, &query, nullptr);
        for (int i = 0; i < words.size(); ++i)
            bindText(query, i + 1, QLatin1Char('%') + words.at(i) + QLatin1Char('%'));
        QStringList titles;
        QStringList urls;
        while (sqlite3_step(query) == SQLITE_ROW) {
            titles.append(QString::fromUtf8(
                reinterpret_cast<const char *>(sqlite3_column_text(query, 0))));
            urls.append(QString::fromUtf8(
                reinterpret_cast<const char *>(sqlite3_column_text(query, 1))));
        }
        sqlite3_finalize(query);
        return titles.size();
    }

private:
    void exec(const char *sql) { sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr); }
    static void bindText(sqlite3_stmt *statement, int index, const QString &text)
    {
        const QByteArray utf8 = text.toUtf8();
        sqlite3_bind_text(statement, index, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
    }

    sqlite3 *m_db = nullptr;
};
#endif

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    const int count = args.isEmpty() ? 100000 : args.takeFirst().toInt();
    const int runs = args.isEmpty() ? 5 : std::max(1, args.takeFirst().toInt());
    const QStringList words = args.isEmpty() ? QStringList{"pollution", "ozone", "ville"} : args;
    const QString keywords = words.join(QLatin1Char(' '));

    QElapsedTimer timer;
    timer.start();
    const std::vector<LinkRow> rows = makeRows(count);
    std::printf("%d rows generated in %.0f ms; keywords \"%s\", %d runs\n", count,
                double(timer.elapsed()), qPrintable(keywords), runs);

    const LinkRowList list(rows);
    report("keywordSearch, tous les mots", runs, [&] {
        return keywordSearch(&list, keywords, SearchMode::TousLesMots).hits.size();
    });
    report("keywordSearch, au moins un mot", runs, [&] {
        return keywordSearch(&list, keywords, SearchMode::AuMoinsUnMot).hits.size();
    });
#ifdef RUZEZ_WITH_SQLITE
    timer.restart();
    const SqlTable table(rows);
    std::printf("SQLite in-memory table loaded in %.0f ms\n", double(timer.elapsed()));
    report("SQLite LIKE ... AND ...", runs, [&] { return table.like(words, true); });
    report("SQLite LIKE ... OR ...", runs, [&] { return table.like(words, false); });
#else
    std::printf("SQLite comparison not built (no SQLite headers found)\n");
#endif
    return 0;
}
