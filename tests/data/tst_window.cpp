// Long lists read as windows: the ticket list on a few thousand generated
// tickets, walked and positioned in every order, across page edges and a
// commit; the tables opened at start-up without reading a row.
#include "masterdata/producers.h"
#include "testsupport.h"
#include "tickets/ticketlist.h"
#include "values.h"

#include <QSet>
#include <functional>
#include <QTest>

class TstWindow : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void walksTheWholeListBothWays_data();
    void walksTheWholeListBothWays();
    void firstLastPriorNextAcrossPages();
    void positionsOnARememberedNumber_data();
    void positionsOnARememberedNumber();
    void searchPrefix();
    void commitWhileOpenThenRequeryLandsOnTheSave();
    void hungarianNameOrder();
    void tablesOpenWithoutReadingRows();
    void producerListWalksEveryColumn_data();
    void producerListWalksEveryColumn();
    void fileWithoutTheListIndexes();
};

namespace {

constexpr int kTickets = 3000;

// Numbers 10000001.. with 23 producers (about 130 tickets each, so equal names
// run over page edges; two share a name, two differ only in an accent), every
// 37th ticket without a producer (NULL name), some without a date, the print
// mark NULL, " " or "I".
void generate(TestDb& db)
{
    db.data()->ZCon1.executeImmediate(R"(EXECUTE BLOCK AS
DECLARE i INTEGER = 0;
DECLARE names VARCHAR(400) = 'Zöld     Arany    Őri      Ócsai    Árvai    Papp     Éles     Erdős    Ulrik    Üveges   Kovács   Szabó    Török    Tóth     Csók     Cseh     Ábel     Abai     Oláh     Örkény   ';
BEGIN
  WHILE (i < 20) DO BEGIN
    INSERT INTO ostermelo (o_kod, o_nev, o_akod) VALUES (LPAD(:i + 100, 5, '0'),
      TRIM(SUBSTRING(:names FROM :i * 9 + 1 FOR 9)) || ' Gazda', '00001');
    i = i + 1;
  END
  INSERT INTO ostermelo (o_kod, o_nev, o_akod) VALUES ('00120', 'Tóth Gazda', '00001');
  INSERT INTO ostermelo (o_kod, o_nev, o_akod) VALUES ('00121', 'Ori Gazda', '00001');
  INSERT INTO ostermelo (o_kod, o_nev, o_akod) VALUES ('00122', 'Toth Gazda', '00001');
  i = 0;
  WHILE (i < 3000) DO BEGIN
    INSERT INTO fjfej (f_bszam, f_akod, f_ostermkod, f_kelt, f_prn, f_tipus)
      VALUES (CAST(10000001 + :i AS VARCHAR(8)), '00001',
        IIF(MOD(:i, 37) = 0, '99999', LPAD(MOD(:i * 7, 23) + 100, 5, '0')),
        IIF(MOD(:i, 41) = 0, NULL, DATEADD(MOD(:i * 13, 400) DAY TO DATE '2025-01-01')),
        DECODE(MOD(:i, 3), 0, NULL, 1, ' ', 'I'), '1');
    i = i + 1;
  END
END)");
    db.data()->ZCon1.commit();
}

struct Order {
    const char* orderBy;
    const char* field;
    const char* sortSql; // the same order, read whole, as the reference
};
const Order kOrders[] = {
    {"f_Bszam", "F_BSZAM", "f_bszam"},
    {"f_ostermkod", "F_OSTERMKOD", "f_ostermkod"},
    {"o_nev", "O_NEV", "o_nev COLLATE PXW_HUNDC"},
    {"f_kelt", "F_KELT", "f_kelt"},
    {"f_prn", "F_PRN", "f_prn"},
};

QString keyAndId(TQuery& q, const Order& o)
{
    return q.asString(o.field) + "|" + q.asString("ID_FJFEJ");
}

// Key texts and ids of the whole list, read whole in the plain order (equal
// keys by ticket id): what a window walk must show, row for row.
QStringList reference(TData* d, const Order& o)
{
    TQuery q(&d->ZCon1, "ref");
    q.add("SELECT " + QString(o.field) + ", ID_FJFEJ FROM FjFej LEFT JOIN ostermelo ON FjFej.f_ostermkod = "
          "Ostermelo.o_kod WHERE f_akod = :p1 ORDER BY " + o.sortSql + ", ID_FJFEJ");
    q.setText("p1", "00001");
    q.open();
    QStringList out;
    for (q.first(); !q.eof(); q.next())
        out << keyAndId(q, o);
    return out;
}

// The whole list walked row by row, from "first" on or from "last" back, with
// a commit every so many rows (which closes the window's cursors): each row's
// text in list order, the ids met, the most rows the window held.
struct Walk {
    QStringList texts;
    QSet<qint64> ids;
    int most = 0;
};
Walk walk(TQuery* q, bool back, int commitEvery, const std::function<QString()>& text, const char* idField)
{
    Walk w;
    if (back)
        q->last();
    else
        q->first();
    while (back || !q->eof()) {
        if (back)
            w.texts.prepend(text());
        else
            w.texts << text();
        w.ids.insert(q->asInteger(idField));
        w.most = std::max(w.most, q->rowsHeld());
        if (w.texts.size() % commitEvery == 0)
            Data->ZCon1.commit();
        if (!back) {
            q->next();
            continue;
        }
        const int was = q->recNo();
        q->prior();
        if (q->bof() && q->recNo() == was)
            break;
    }
    return w;
}

} // namespace

static std::unique_ptr<TestDb> gDb;

void TstWindow::initTestCase()
{
    gDb = std::make_unique<TestDb>(true);
    gDb->selectBuyer();
    generate(*gDb);
    // 400 producers more for the producer list: NULLs, ties over page edges
    // (one buyer code for all, two sexes), accented words.
    gDb->data()->ZCon1.executeImmediate(R"(EXECUTE BLOCK AS
DECLARE i INTEGER = 0;
DECLARE w VARCHAR(200) = 'Zöld  Arany Őri   Ócsa  Árvai Papp  Éles  Erdő  Ulrik Üveg  ';
BEGIN
  WHILE (i < 400) DO BEGIN
    INSERT INTO ostermelo (o_kod, o_nev, o_irszam, o_helysegnev, o_utca, o_adoazon, o_igszam,
      o_regszam, o_adoszam, o_szulhely, o_szido, o_anyja, o_csgazd, o_szulnev, o_neme, o_bankszla,
      o_ervkelt, o_betetlap, o_muvktg, o_mnyptag, o_szja, o_taj, o_akod, o_kamara)
    VALUES (LPAD(:i + 1000, 5, '0'),
      TRIM(SUBSTRING(:w FROM MOD(:i, 10) * 6 + 1 FOR 6)) || ' ' || MOD(:i, 13),
      IIF(MOD(:i, 11) = 0, NULL, LPAD(MOD(:i * 7, 60) + 1000, 4, '0')),
      IIF(MOD(:i, 9) = 0, NULL, TRIM(SUBSTRING(:w FROM MOD(:i * 3, 10) * 6 + 1 FOR 6)) || 'falva'),
      TRIM(SUBSTRING(:w FROM MOD(:i * 7, 10) * 6 + 1 FOR 6)) || ' utca',
      IIF(MOD(:i, 5) = 0, '', LPAD(MOD(:i * 31, 97), 10, '8')),
      LPAD(MOD(:i, 50), 7, '0'), IIF(MOD(:i, 4) = 0, NULL, 'R' || MOD(:i, 30)),
      LPAD(MOD(:i * 13, 200), 11, '1'), TRIM(SUBSTRING(:w FROM MOD(:i * 9, 10) * 6 + 1 FOR 6)),
      IIF(MOD(:i, 6) = 0, NULL, DATEADD(MOD(:i * 17, 300) DAY TO DATE '1960-01-01')),
      TRIM(SUBSTRING(:w FROM MOD(:i * 11, 10) * 6 + 1 FOR 6)) || ' Anna',
      IIF(MOD(:i, 3) = 0, NULL, LPAD(MOD(:i, 40), 8, '2')),
      TRIM(SUBSTRING(:w FROM MOD(:i * 7, 10) * 6 + 1 FOR 6)), IIF(MOD(:i, 2) = 0, '1', '2'),
      LPAD(MOD(:i * 3, 120), 24, '1'), IIF(MOD(:i, 7) = 0, NULL, DATEADD(MOD(:i, 40) DAY TO DATE '2027-01-01')),
      IIF(MOD(:i, 8) = 0, NULL, 'B' || MOD(:i, 25)), MOD(:i, 7) * 1.5, IIF(MOD(:i, 3) = 0, 'I', 'N'),
      MOD(:i, 3) * 15, LPAD(MOD(:i * 19, 150), 9, '3'), '00001', IIF(MOD(:i, 10) = 0, 'K' || :i, NULL));
    i = i + 1;
  END
END)");
    gDb->data()->ZCon1.commit();
}

void TstWindow::walksTheWholeListBothWays_data()
{
    QTest::addColumn<int>("order");
    for (int i = 0; i < 5; ++i)
        QTest::newRow(kOrders[i].orderBy) << i;
}

// Every ticket exactly once, in the order the engine gives when it sorts the
// whole list; backwards from "last" the same, reversed. The window never holds
// more than its limit. A commit now and then closes the cursors: reading on
// starts again from the edge row, inside a run of equal keys too.
void TstWindow::walksTheWholeListBothWays()
{
    QFETCH(int, order);
    const Order& o = kOrders[order];
    const QStringList want = reference(gDb->data(), o);
    QCOMPARE(want.size(), kTickets);
    TQuery* q = Data->ZQ10;
    ticketlist::requery(o.orderBy, false);
    QVERIFY(q->windowed());
    const auto text = [&] { return keyAndId(*q, o); };
    const Walk fwd = walk(q, false, 170, text, "ID_FJFEJ");
    QCOMPARE(fwd.texts, want);
    QCOMPARE(fwd.ids.size(), kTickets);
    QVERIFY2(fwd.most <= 10 * TQuery::PageRows + TQuery::PageRows, qPrintable(QString::number(fwd.most)));
    const Walk back = walk(q, true, 170, text, "ID_FJFEJ");
    QCOMPARE(back.texts, want);
    QCOMPARE(back.ids.size(), kTickets);
}

void TstWindow::firstLastPriorNextAcrossPages()
{
    TQuery* q = Data->ZQ10;
    G.aktBszam.clear();
    ticketlist::requery();
    QCOMPARE(q->asString("F_BSZAM"), QString("10000001"));
    QVERIFY(q->canFetchMore());
    QVERIFY(!q->canFetchBefore());
    // Over the first page edge and back.
    for (int i = 0; i < TQuery::PageRows + 5; ++i)
        q->next();
    QCOMPARE(q->asString("F_BSZAM"), QString::number(10000001 + TQuery::PageRows + 5));
    q->last();
    QCOMPARE(q->asString("F_BSZAM"), QString::number(10000000 + kTickets));
    QVERIFY(q->eof());
    QVERIFY(!q->canFetchMore());
    // "last" read only the end: the rows before come page by page.
    QVERIFY(q->rowsHeld() <= TQuery::PageRows);
    for (int i = 0; i < 2 * TQuery::PageRows + 3; ++i)
        q->prior();
    QCOMPARE(q->asString("F_BSZAM"), QString::number(10000000 + kTickets - 2 * TQuery::PageRows - 3));
    q->next();
    QCOMPARE(q->asString("F_BSZAM"), QString::number(10000000 + kTickets - 2 * TQuery::PageRows - 2));
    q->first();
    QCOMPARE(q->asString("F_BSZAM"), QString("10000001"));
    QCOMPARE(q->recNo(), 0);
    q->prior();
    QVERIFY(q->bof());
    QCOMPARE(q->asString("F_BSZAM"), QString("10000001"));
}

void TstWindow::positionsOnARememberedNumber_data()
{
    QTest::addColumn<int>("n");
    QTest::newRow("near the start") << 3;
    QTest::newRow("middle") << 1500;
    QTest::newRow("end") << kTickets;
}

// Positioned on the number, with the tickets before and after it at hand.
void TstWindow::positionsOnARememberedNumber()
{
    QFETCH(int, n);
    TQuery* q = Data->ZQ10;
    G.aktBszam = QString::number(10000000 + n);
    ticketlist::requery();
    QCOMPARE(q->asString("F_BSZAM"), G.aktBszam);
    QVERIFY(q->rowsHeld() <= 2 * TQuery::PageRows);
    q->prior();
    QCOMPARE(q->asString("F_BSZAM"), QString::number(10000000 + std::max(1, n - 1)));
    q->next();
    q->next();
    QCOMPARE(q->asString("F_BSZAM"), QString::number(10000000 + std::min(kTickets, n + 1)));
}

void TstWindow::searchPrefix()
{
    TQuery* q = Data->ZQ10;
    G.aktBszam.clear();
    ticketlist::requery();
    QVERIFY(q->locatePrefix("F_BSZAM", "10002"));
    QCOMPARE(q->asString("F_BSZAM"), QString("10002000"));
    q->prior();
    QCOMPARE(q->asString("F_BSZAM"), QString("10001999"));
    // No ticket begins so: the list stays where it was.
    QVERIFY(!q->locatePrefix("F_BSZAM", "9"));
    QCOMPARE(q->asString("F_BSZAM"), QString("10001999"));
    QVERIFY(!q->locatePrefix("F_BSZAM", "100030011"));
    QCOMPARE(q->asString("F_BSZAM"), QString("10001999"));
    // Keys follow it ("10002000" ...), but none begins with it.
    QVERIFY(!q->locatePrefix("F_BSZAM", "1000199X"));
    QCOMPARE(q->asString("F_BSZAM"), QString("10001999"));
}

// A save commits the shared transaction, which closes the window's cursors:
// reading on continues by key without losing or repeating a row, and the
// re-read after the save stands on the saved ticket.
void TstWindow::commitWhileOpenThenRequeryLandsOnTheSave()
{
    TQuery* q = Data->ZQ10;
    ticketlist::requery("o_nev", false);
    QSet<qint64> ids;
    for (q->first(); !q->eof() && ids.size() < 75; q->next())
        ids.insert(q->asInteger("ID_FJFEJ"));
    QVERIFY(q->canFetchMore());
    {
        TxGuard tx(&Data->ZCon1);
        TQuery* w = Data->ZQ11;
        w->setSql("INSERT INTO fjfej (f_bszam, f_akod, f_ostermkod, f_tipus) VALUES (:p1, '00001', '00105', '1')");
        w->setText("p1", "10009999");
        w->execSQL();
        tx.commit();
    }
    for (; !q->eof(); q->next())
        ids.insert(q->asInteger("ID_FJFEJ"));
    // Read on after the commit: the new ticket may or may not come, none twice.
    QVERIFY(ids.size() == kTickets || ids.size() == kTickets + 1);

    G.aktBszam = "10009999";
    ticketlist::requery();
    QCOMPARE(q->asString("F_BSZAM"), QString("10009999"));
    q->prior();
    QCOMPARE(q->asString("F_BSZAM"), QString::number(10000000 + kTickets));
    gDb->exec("DELETE FROM fjfej WHERE f_bszam = '10009999'");
}

// Accented capitals with their base letters, as in a Hungarian dictionary.
void TstWindow::hungarianNameOrder()
{
    TQuery* q = Data->ZQ10;
    ticketlist::requery("o_nev", false);
    QStringList names;
    for (q->first(); !q->eof(); q->next()) {
        const QString n = q->asString("O_NEV").section(' ', 0, 0);
        if (!n.isEmpty() && (names.isEmpty() || names.last() != n))
            names << n;
    }
    QCOMPARE(names.size(), 22);
    auto before = [&](const char* a, const char* b) {
        return names.indexOf(QString::fromUtf8(a)) < names.indexOf(QString::fromUtf8(b));
    };
    // In byte order every accented initial would come after "Zöld".
    QVERIFY(before("Arany", "Árvai"));
    QVERIFY(before("Árvai", "Cseh"));
    QVERIFY(before("Ábel", "Cseh"));
    QVERIFY(before("Éles", "Kovács"));
    QVERIFY(before("Őri", "Papp"));
    QVERIFY(before("Örkény", "Papp"));
    QVERIFY(before("Ócsai", "Papp"));
    QVERIFY(before("Üveges", "Zöld"));
    QVERIFY(before("Ulrik", "Zöld"));
    QCOMPARE(names.last(), QString::fromUtf8("Zöld"));
}

// Start-up proves the six tables are there and reads none of their rows; a
// table is then read a window at a time however far it is walked.
void TstWindow::tablesOpenWithoutReadingRows()
{
    TData* d = gDb->data();
    const qint64 before = fb::rowsFetched();
    d->openTables();
    QCOMPARE(fb::rowsFetched(), before);
    for (TTable* t : d->tables()) {
        QVERIFY(t->active());
        QVERIFY(t->fieldCount() > 0);
        QCOMPARE(t->rowsHeld(), 0);
    }
    TTable* t = d->IBTable1;
    int n = 0, most = 0;
    for (t->first(); !t->eof(); t->next()) {
        ++n;
        most = std::max(most, t->rowsHeld());
    }
    QCOMPARE(n, kTickets);
    QVERIFY(most <= 11 * TQuery::PageRows);
    QVERIFY(fb::rowsFetched() - before >= kTickets);

    // A missing table is found at opening, as before.
    TTable missing(&d->ZCon1, "IBTable9", "NINCS");
    QVERIFY_THROWS_EXCEPTION(fb::Error, missing.open());
}

void TstWindow::producerListWalksEveryColumn_data()
{
    // The grid column number, its field and the plain sort of the whole table.
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("sortSql");
    const char* texts[] = {"O_NEV",    "O_IRSZAM",   "O_HELYSEGNEV", "O_UTCA",   "O_ADOAZON",
                           "O_IGSZAM", "O_REGSZAM",  "O_ADOSZAM",    "O_SZULHELY", nullptr,
                           "O_ANYJA",  "O_CSGAZD",   "O_SZULNEV",    "O_NEME",   "O_BANKSZLA", nullptr,
                           "O_BETETLAP", nullptr,    "O_MNYPTAG",    nullptr,    "O_TAJ",
                           "O_AKOD",   nullptr,      "O_KAMARA"};
    const char* others[] = {"O_SZIDO", "O_ERVKELT", "O_MUVKTG", "O_SZJA", "ID_OSTERMELO"};
    QTest::newRow("O_KOD") << 1 << "O_KOD" << "O_KOD";
    int other = 0;
    for (int i = 0; i < int(std::size(texts)); ++i) {
        const QString f = texts[i] ? texts[i] : others[other++];
        const QString sort = texts[i] ? f + " COLLATE PXW_HUNDC" : f;
        QTest::newRow(qPrintable(f)) << i + 2 << f << sort;
    }
}

// Every column's order, walked forward and back over page edges with a commit
// now and then (which closes the cursors): the keys in the order of the whole
// table sorted at once, each producer once.
void TstWindow::producerListWalksEveryColumn()
{
    QFETCH(int, column);
    QFETCH(QString, field);
    QFETCH(QString, sortSql);
    TQuery ref(&Data->ZCon1, "ref");
    ref.add("SELECT " + field + " FROM ostermelo ORDER BY " + sortSql);
    ref.open();
    QStringList want;
    for (ref.first(); !ref.eof(); ref.next())
        want << ref.asString(field);
    QVERIFY(want.size() > 400);

    TQuery* q = Data->ZQ30;
    producers::runList(q, column);
    QVERIFY(q->windowed());
    const auto text = [&] { return q->asString(field); };
    const Walk fwd = walk(q, false, 37, text, "ID_OSTERMELO");
    const Walk back = walk(q, true, 37, text, "ID_OSTERMELO");
    QCOMPARE(fwd.texts, want);
    QCOMPARE(back.texts, want);
    QCOMPARE(fwd.ids.size(), want.size());
    QCOMPARE(back.ids.size(), want.size());
}

// A file made before the list's descending index: the list still reads, the
// engine choosing its own way.
void TstWindow::fileWithoutTheListIndexes()
{
    gDb.reset();
    TestDb db(true);
    db.selectBuyer();
    db.data()->ZCon1.executeImmediate(
        "EXECUTE BLOCK AS DECLARE i INTEGER = 0; BEGIN WHILE (i < 300) DO BEGIN "
        "INSERT INTO fjfej (f_bszam, f_akod, f_tipus) VALUES "
        "(CAST(10000001 + :i AS VARCHAR(8)), '00001', '1'); i = i + 1; END END");
    db.data()->ZCon1.commit();
    db.exec("DROP INDEX IX_FJFEJ_AKOD_BSZAM_D");
    QVERIFY(ticketlist::window("f_Bszam", &Data->ZCon1).planBefore.isEmpty());
    G.aktBszam = "10000200";
    ticketlist::requery();
    TQuery* q = Data->ZQ10;
    QCOMPARE(q->asString("F_BSZAM"), QString("10000200"));
    q->prior();
    QCOMPARE(q->asString("F_BSZAM"), QString("10000199"));
    q->last();
    QCOMPARE(q->asString("F_BSZAM"), QString("10000300"));
}

QTEST_GUILESS_MAIN(TstWindow)
#include "tst_window.moc"
