// The queries of the period lists, the producer breakdown, the cash daily
// list and the statistics, against rows inserted by the tests.
#include "listfixture.h"

#include "reports/lists.h"
#include "values.h"

#include <QTest>
#include <cmath>

class TstLists : public QObject {
    Q_OBJECT
private slots:
    void emptyPeriodAndReversedPeriod();
    void itemizedOrdersAndBuyer();
    void productGroupsByExactName();
    void voidedTicketCancelsEverywhere();
    void perProducerPrintOrder();
    void cashListCountsOnlyCash();
    void statisticsAgainstInsertedRows();
    void producerBreakdown();
};

namespace {

double vetelar(double brutto, double ear, double komp, double levon = 0)
{
    const double netto = brutto - brutto * levon / 100;
    return netto * ear + netto * ear * komp / 100;
}

QStringList column(TQuery* q, const QString& field)
{
    QStringList out;
    for (q->first(); !q->isEmpty() && !q->eof(); q->next())
        out << q->asString(field);
    return out;
}

const lists::Period kYear{QDate(2026, 1, 1), QDate(2026, 12, 31), false};

} // namespace

void TstLists::emptyPeriodAndReversedPeriod()
{
    UiScope s;
    TestDb db(true);
    db.selectBuyer();
    const rec::Context ctx = contextFor(db);
    QCOMPARE(lists::collectItemized(ctx, Data->ZQ20, kYear.from, kYear.to, lists::ItemOrder::Ostermelo),
             QString("0"));
    QCOMPARE(Data->ZQ20->recordCount(), 0);
    QCOMPARE(lists::collectPerProduct(ctx, Data->ZQ80, Data->ZQ20, Data->ZQ21, kYear), QString("0"));
    QCOMPARE(Data->ZQ20->recordCount(), 0);
    QCOMPARE(Data->ZQ21->recordCount(), 0);

    addTicket(db, TicketSpec("20260001", "00001", "2026.03.10"));
    // Seven digits before the comma and three after: stored and summed whole.
    addLine(db, "20260001", "Búza", 1234567.891, 60, 12);
    // From after to selects nothing, on either date kind.
    const lists::Period reversed{QDate(2026, 12, 31), QDate(2026, 1, 1), false};
    QCOMPARE(lists::collectItemized(ctx, Data->ZQ20, reversed.from, reversed.to,
                                    lists::ItemOrder::Termek),
             QString("0"));
    QCOMPARE(Data->ZQ20->recordCount(), 0);
    QCOMPARE(lists::collectPerProducer(ctx, Data->ZQ80, Data->ZQ20, reversed), QString("0"));
    QCOMPARE(Data->ZQ20->recordCount(), 0);
    QCOMPARE(lists::collectPerProduct(ctx, Data->ZQ80, Data->ZQ20, Data->ZQ21,
                                      {reversed.from, reversed.to, true}),
             QString("0"));
    QCOMPARE(Data->ZQ20->recordCount(), 0);

    // Both ends are included, in every list and on either date kind: issued
    // on the 10th, bought on the 11th, paid on the 12th.
    setDates(db, "20260001", "2026.03.12", "2026.03.11");
    const QString one = lists::totalText(vetelar(1234567.891, 60, 12));
    for (const QDate& d : {QDate(2026, 3, 11), QDate(2026, 3, 12)}) {
        const bool purchase = d.day() == 11;
        for (const lists::Period& p : {lists::Period{QDate(2026, 3, 1), d, purchase},
                                       lists::Period{d, QDate(2026, 3, 31), purchase}}) {
            QCOMPARE(lists::collectPerProducer(ctx, Data->ZQ80, Data->ZQ20, p), one);
            QCOMPARE(lists::collectPerProduct(ctx, Data->ZQ80, Data->ZQ20, Data->ZQ21, p), one);
            if (!purchase) // the itemized list goes by the payment date
                QCOMPARE(lists::collectItemized(ctx, Data->ZQ20, p.from, p.to,
                                                lists::ItemOrder::Termek),
                         one);
            QCOMPARE(Data->ZQ20->recordCount(), 1);
        }
    }
    // The itemized read shows its progress from the start and as rows come.
    s.ui.clear();
    lists::collectItemized(ctx, Data->ZQ20, kYear.from, kYear.to, lists::ItemOrder::Termek);
    QCOMPARE(s.ui.progress, QStringList{QString::fromUtf8("Kigyűjtés…/0")});
    QVERIFY(s.ui.progressSteps >= 2); // at the start and at the first row
}

void TstLists::itemizedOrdersAndBuyer()
{
    UiScope s;
    TestDb db(true);
    db.selectBuyer();
    db.exec("INSERT INTO atvevo (v_akod, v_neve) VALUES ('00002', 'Másik Kft.')");
    // Producers 00003 Árvai, 00001 Kovács, 00002 Szőke: Hungarian order puts Á
    // before K; payment and purchase dates run the other way round.
    addTicket(db, TicketSpec("20260001", "00002", "2026.02.01"));
    addLine(db, "20260001", "Napraforgó", 10, 140, 12);
    addTicket(db, TicketSpec("20260002", "00001", "2026.03.01"));
    addLine(db, "20260002", "Őszibarack", 20, 220, 7);
    addLine(db, "20260002", "Búza", 30, 60, 12);
    addTicket(db, TicketSpec("20260003", "00003", "2026.04.01"));
    addLine(db, "20260003", "alma", 5, 100, 7);
    setDates(db, "20260003", "2026.04.01", "2026.01.15");
    // Another buyer's ticket in the same period never shows.
    addTicket(db, TicketSpec("20269999", "00001", "2026.03.01"), "00002");
    addLine(db, "20269999", "Búza", 1000, 60, 12, 0, "00002");

    const rec::Context ctx = contextFor(db);
    const double total = vetelar(10, 140, 12) + vetelar(20, 220, 7) + vetelar(30, 60, 12) +
                         vetelar(5, 100, 7);
    QCOMPARE(lists::collectItemized(ctx, Data->ZQ20, kYear.from, kYear.to,
                                    lists::ItemOrder::Ostermelo),
             lists::totalText(total));
    QCOMPARE(column(Data->ZQ20, "O_NEV"),
             QStringList({"Árvai Éva", "Kovács János", "Kovács János", "Szőke Ödön"}));
    lists::collectItemized(ctx, Data->ZQ20, kYear.from, kYear.to, lists::ItemOrder::FizDatum);
    QCOMPARE(column(Data->ZQ20, "S_BSZAM"),
             QStringList({"20260001", "20260002", "20260002", "20260003"}));
    lists::collectItemized(ctx, Data->ZQ20, kYear.from, kYear.to, lists::ItemOrder::Termek);
    QCOMPARE(column(Data->ZQ20, "S_MEGNEVEZES"),
             QStringList({"alma", "Búza", "Napraforgó", "Őszibarack"}));
    lists::collectItemized(ctx, Data->ZQ20, kYear.from, kYear.to, lists::ItemOrder::FelvDatum);
    QCOMPARE(column(Data->ZQ20, "S_BSZAM").first(), QString("20260003"));
    lists::collectItemized(ctx, Data->ZQ20, kYear.from, kYear.to, lists::ItemOrder::Fjegy);
    QCOMPARE(column(Data->ZQ20, "S_MEGNEVEZES"),
             QStringList({"Napraforgó", "Búza", "Őszibarack", "alma"}));
    // The itemized list filters on the payment date only.
    QCOMPARE(lists::collectItemized(ctx, Data->ZQ20, QDate(2026, 1, 10), QDate(2026, 1, 20),
                                    lists::ItemOrder::Ostermelo),
             QString("0"));
    QCOMPARE(lists::orderName(lists::ItemOrder::Fjegy), QString("fjegy szám"));
}

void TstLists::productGroupsByExactName()
{
    UiScope s;
    TestDb db(true);
    db.selectBuyer();
    addTicket(db, TicketSpec("20260001", "00001", "2026.05.01"));
    addLine(db, "20260001", "Búza", 100, 60, 12);
    addLine(db, "20260001", "búza", 40, 60, 12, 10);
    addLine(db, "20260001", "Búza", 50, 62, 12);
    // Paid in June but bought in May: the date kind decides.
    setDates(db, "20260001", "2026.06.02", "2026.05.01");

    const rec::Context ctx = contextFor(db);
    const lists::Period may{QDate(2026, 5, 1), QDate(2026, 5, 31), false};
    QCOMPARE(lists::collectPerProduct(ctx, Data->ZQ80, Data->ZQ20, Data->ZQ21, may), QString("0"));
    const lists::Period mayBought{may.from, may.to, true};
    const QString total = lists::collectPerProduct(ctx, Data->ZQ80, Data->ZQ20, Data->ZQ21, mayBought);
    QCOMPARE(total, lists::totalText(vetelar(100, 60, 12) + vetelar(40, 60, 12, 10) + vetelar(50, 62, 12)));
    QCOMPARE(Data->ZQ20->recordCount(), 2);
    QHash<QString, std::pair<double, double>> groups;
    for (Data->ZQ20->first(); !Data->ZQ20->eof(); Data->ZQ20->next())
        groups[Data->ZQ20->asString("S_MEGNEVEZES")] = {Data->ZQ20->asFloat("MENNYISEG"),
                                                        Data->ZQ20->asFloat("KIFIZETETT")};
    QCOMPARE(groups["Búza"].first, 150.0);
    QVERIFY(std::abs(groups["Búza"].second - vetelar(100, 60, 12) - vetelar(50, 62, 12)) < 1e-6);
    QCOMPARE(groups["búza"].first, 36.0);
    QVERIFY(std::abs(groups["búza"].second - vetelar(40, 60, 12, 10)) < 1e-6);
    // The first group's lines stand ready for the screen.
    Data->ZQ20->first();
    QCOMPARE(Data->ZQ21->recordCount(), Data->ZQ20->asString("S_MEGNEVEZES") == "Búza" ? 2 : 1);
}

void TstLists::voidedTicketCancelsEverywhere()
{
    UiScope s;
    TestDb db(true);
    db.selectBuyer();
    TicketSpec t("20260001", "00001", "2026.07.01");
    t.muvktg = 6720;
    addTicket(db, t);
    addLine(db, "20260001", "Búza", 100, 60, 12);
    TicketSpec v("20260002", "00001", "2026.07.01");
    v.tipus = "4";
    v.ervenyt = "20260001";
    v.muvktg = -6720;
    addTicket(db, v);
    addLine(db, "20260002", "Búza", -100, 60, 12);

    const rec::Context ctx = contextFor(db);
    QCOMPARE(lists::collectItemized(ctx, Data->ZQ20, kYear.from, kYear.to, lists::ItemOrder::Fjegy),
             QString("0"));
    QCOMPARE(Data->ZQ20->recordCount(), 2);
    QCOMPARE(lists::collectPerProduct(ctx, Data->ZQ80, Data->ZQ20, Data->ZQ21, kYear), QString("0"));
    QCOMPARE(Data->ZQ20->asFloat("KIFIZETETT"), 0.0);
    QCOMPARE(Data->ZQ20->asFloat("MENNYISEG"), 0.0);
    QCOMPARE(lists::collectPerProducer(ctx, Data->ZQ80, Data->ZQ20, kYear), QString("0"));
    QCOMPARE(Data->ZQ20->asFloat("NEVOSSZESEN"), 0.0);

    lists::collectCash(ctx, Data->ZQ11, false);
    QCOMPARE(Data->ZQ11->recordCount(), 1);
    QCOMPARE(Data->ZQ11->asFloat("V_KIFIZ1"), 0.0);

    // A zero quantity has no average price: empty, not a division error.
    const lists::StatTotals st = lists::collectStatistics(ctx, Data->ZQ11, false);
    QCOMPARE(st.felvar, QString("0"));
    QCOMPARE(st.vetelar, QString("0"));
    QCOMPARE(Data->ZQ11->recordCount(), 1);
    QVERIFY(Data->ZQ11->isNull("V_ATLAR"));
    QCOMPARE(Data->ZQ11->asString("V_ATLAR"), QString());
    lists::collectStatistics(ctx, Data->ZQ11, true);
    QVERIFY(Data->ZQ11->isNull("V_ATLAR"));

    const lists::Sums sums = lists::producerTotals(ctx, Data->ZQ11, "00001");
    QCOMPARE(sums.felvar, QString("0"));
    QCOMPARE(sums.kompfelar, QString("0"));
    QCOMPARE(sums.vetelar, QString("0"));
    lists::producerBreakdown(ctx, Data->ZQ11, "00001", false);
    QCOMPARE(Data->ZQ11->recordCount(), 1);
    QVERIFY(Data->ZQ11->isNull("V_ATLAR"));
    QCOMPARE(Data->ZQ11->asFloat("V_VETELAR"), 0.0);
    // Line by line each has its own average.
    lists::producerBreakdown(ctx, Data->ZQ11, "00001", true);
    QCOMPARE(Data->ZQ11->recordCount(), 2);
    QCOMPARE(Data->ZQ11->asFloat("V_ATLAR"), 60.0);
}

void TstLists::perProducerPrintOrder()
{
    UiScope s;
    TestDb db(true);
    db.selectBuyer();
    copyListTemplates();
    // Lines entered out of name order, for two producers.
    for (const char* p : {"00001", "00002"}) {
        const QString b = QString("2026000") + (p[4] == '1' ? "1" : "2");
        addTicket(db, TicketSpec(b.toUtf8().constData(), p, "2026.08.01"));
        addLine(db, b, "Zab", 10, 50, 12);
        addLine(db, b, "Alma", 10, 50, 7);
        addLine(db, b, "Búza", 10, 50, 12);
    }
    const rec::Context ctx = contextFor(db);
    const QString total = lists::collectPerProducer(ctx, Data->ZQ80, Data->ZQ20, kYear);
    QCOMPARE(Data->ZQ20->recordCount(), 2);
    QVERIFY(lists::printPerProducer(*Data->frNyomtat, ctx, Data->ZQ60, Data->ZQ20, Data->ZQ80,
                                    Data->ZQ21, kYear, total));
    QVERIFY2(s.ui.log.isEmpty(), qPrintable(s.ui.log.join('\n')));
    const QStringList texts = pagesText(*Data->frNyomtat).split('\n');
    // The first group and the following one both print their lines by name,
    // each under its own producer and total.
    QStringList products;
    for (const QString& t : texts)
        if (t == "Zab" || t == "Alma" || t == "Búza" || t == "Kovács János" || t == "Szőke Ödön")
            products << t;
    QCOMPARE(products, QStringList({"Kovács János", "Alma", "Búza", "Zab", "Szőke Ödön", "Alma",
                                    "Búza", "Zab"}));
    const QString each = val::fmtFixed(vetelar(10, 50, 12) * 2 + vetelar(10, 50, 7), 2, true);
    QCOMPARE(texts.count(each), 2);
    QCOMPARE(Data->frNyomtat->fileName(), QString("ostermelonkenti_lista_2026-01-01_2026-12-31.pdf"));
}

void TstLists::cashListCountsOnlyCash()
{
    UiScope s;
    TestDb db(true);
    db.selectBuyer();
    TicketSpec a("20260001", "00001", "2026.09.01");
    a.muvktg = 5000;
    addTicket(db, a);
    addLine(db, "20260001", "Búza", 50, 90, 12);
    addLine(db, "20260001", "Napraforgó", 20, 140, 12);
    TicketSpec b("20260002", "00002", "2026.09.01");
    b.muvktg = 1235;
    addTicket(db, b);
    addLine(db, "20260002", "Búza", 10, 100, 12);
    TicketSpec c("20260003", "00003", "2026.09.01");
    c.transfer = true;
    c.muvktg = 99999;
    addTicket(db, c);
    addLine(db, "20260003", "Búza", 1000, 100, 12);
    TicketSpec d("20260004", "00003", "2026.09.03");
    d.muvktg = 700;
    addTicket(db, d);
    addLine(db, "20260004", "Tojás", 10, 70, 0);

    const rec::Context ctx = contextFor(db);
    lists::collectCash(ctx, Data->ZQ11, false);
    // By payment date: the day after each issue date.
    QCOMPARE(column(Data->ZQ11, "F_FIZKELT"), QStringList({"2026.09.02", "2026.09.04"}));
    Data->ZQ11->first();
    QCOMPARE(Data->ZQ11->asFloat("V_KIFIZ1"), 6235.0);
    Data->ZQ11->next();
    QCOMPARE(Data->ZQ11->asFloat("V_KIFIZ1"), 700.0);

    lists::collectCash(ctx, Data->ZQ11, true);
    QCOMPARE(column(Data->ZQ11, "S_MEGNEVEZES"), QStringList({"Búza", "Napraforgó", "Tojás"}));
    Data->ZQ11->first();
    QVERIFY(std::abs(Data->ZQ11->asFloat("V_KIFIZ2") - vetelar(50, 90, 12) - vetelar(10, 100, 12)) < 1e-6);

    // No cash tickets at all: nothing listed.
    db.exec("UPDATE fjfej SET f_utal = 'x'");
    lists::collectCash(ctx, Data->ZQ11, false);
    QCOMPARE(Data->ZQ11->recordCount(), 0);
}

void TstLists::statisticsAgainstInsertedRows()
{
    UiScope s;
    TestDb db(true);
    db.selectBuyer();
    struct L { const char* name; double brutto, ear, komp, levon; const char* felv; };
    const L lines[] = {{"Búza", 120, 61.5, 12, 0, "2026.01.10"},   {"Búza", 80, 60, 12, 2.5, "2026.01.20"},
                       {"Búza", 200, 63, 12, 0, "2026.02.05"},     {"búza", 10, 55, 12, 0, "2026.02.05"},
                       {"Tojás", 300, 42, 7, 0, "2025.02.11"},     {"Tojás", 150, 45.5, 7, 0, "2026.02.11"}};
    QHash<QString, std::array<double, 3>> byProduct, byMonth; // netto, felvar, vetelar
    double felvar = 0, vet = 0;
    int n = 0;
    for (const L& l : lines) {
        const QString b = QString("2026%1").arg(++n, 4, 10, QChar('0'));
        addTicket(db, TicketSpec(b.toUtf8().constData(), "00001", l.felv));
        addLine(db, b, QString::fromUtf8(l.name), l.brutto, l.ear, l.komp, l.levon);
        const double netto = l.brutto - l.brutto * l.levon / 100;
        const double fv = netto * l.ear, vt = vetelar(l.brutto, l.ear, l.komp, l.levon);
        felvar += fv;
        vet += vt;
        const QString name = QString::fromUtf8(l.name);
        const QString month = name + "/" + QString::number(QDate::fromString(l.felv, "yyyy.MM.dd").month());
        for (auto* h : {&byProduct, &byMonth}) {
            auto& a = (*h)[h == &byProduct ? name : month];
            a[0] += netto;
            a[1] += fv;
            a[2] += vt;
        }
    }
    // Another buyer's line is not counted.
    db.exec("INSERT INTO atvevo (v_akod, v_neve) VALUES ('00002', 'Másik Kft.')");
    addTicket(db, TicketSpec("20269999", "00001", "2026.01.10"), "00002");
    addLine(db, "20269999", "Búza", 1000, 60, 12, 0, "00002");

    const rec::Context ctx = contextFor(db);
    const lists::StatTotals t = lists::collectStatistics(ctx, Data->ZQ11, false);
    QVERIFY(std::abs(val::parseNumber(t.felvar).value_or(-1) - felvar) < 1e-6);
    QVERIFY(std::abs(val::parseNumber(t.vetelar).value_or(-1) - vet) < 1e-6);
    QCOMPARE(Data->ZQ11->recordCount(), int(byMonth.size()));
    for (Data->ZQ11->first(); !Data->ZQ11->eof(); Data->ZQ11->next()) {
        const QString key = Data->ZQ11->asString("S_MEGNEVEZES") + "/" + Data->ZQ11->asString("HO");
        QVERIFY2(byMonth.contains(key), qPrintable(key));
        const auto& a = byMonth[key];
        QVERIFY(std::abs(Data->ZQ11->asFloat("V_MENNY") - a[0]) < 1e-6);
        QVERIFY(std::abs(Data->ZQ11->asFloat("V_FELVAR") - a[1]) < 1e-6);
        QVERIFY(std::abs(Data->ZQ11->asFloat("V_KIFIZ") - a[2]) < 1e-6);
        QVERIFY(std::abs(Data->ZQ11->asFloat("V_ATLAR") - a[1] / a[0]) < 1e-6);
    }
    // February of two years falls into one month row.
    QVERIFY(byMonth.contains("Tojás/2"));
    lists::collectStatistics(ctx, Data->ZQ11, true);
    // Two spellings, two rows, next to each other in Hungarian order.
    QStringList names = column(Data->ZQ11, "S_MEGNEVEZES");
    QCOMPARE(names.size(), 3);
    QCOMPARE(names.last(), QString("Tojás"));
    names.removeLast();
    names.sort();
    QCOMPARE(names, QStringList({"Búza", "búza"}));
    for (Data->ZQ11->first(); !Data->ZQ11->eof(); Data->ZQ11->next()) {
        const auto& a = byProduct[Data->ZQ11->asString("S_MEGNEVEZES")];
        QVERIFY(std::abs(Data->ZQ11->asFloat("V_KIFIZ") - a[2]) < 1e-6);
        QVERIFY(std::abs(Data->ZQ11->asFloat("V_ATLAR") - a[1] / a[0]) < 1e-6);
    }
    // A buyer without lines: "0" and no rows.
    QCOMPARE(lists::collectStatistics(contextFor(db, "00002"), Data->ZQ11, true).felvar,
             lists::totalText(vetelar(1000, 60, 0)));
    QCOMPARE(lists::collectStatistics(contextFor(db, "00009"), Data->ZQ11, true).vetelar, QString("0"));
    QCOMPARE(Data->ZQ11->recordCount(), 0);
}

void TstLists::producerBreakdown()
{
    UiScope s;
    TestDb db(true);
    db.selectBuyer();
    addTicket(db, TicketSpec("20260001", "00002", "2026.03.05"));
    addLine(db, "20260001", "Búza", 100, 60, 12);
    addLine(db, "20260001", "Búza", 50, 70, 12);
    addTicket(db, TicketSpec("20260002", "00002", "2025.03.20"));
    addLine(db, "20260002", "búza", 10, 60, 12);
    // Bought on 1 April (issued the day after).
    addTicket(db, TicketSpec("20260003", "00002", "2026.04.02"));
    addLine(db, "20260003", "Búza", 20, 60, 12);
    addTicket(db, TicketSpec("20260004", "00001", "2026.04.02"));
    addLine(db, "20260004", "Búza", 999, 60, 12);

    const rec::Context ctx = contextFor(db);
    const lists::Sums sums = lists::producerTotals(ctx, Data->ZQ11, "00002");
    QCOMPARE(sums.felvar, lists::totalText(100 * 60 + 50 * 70 + 10 * 60 + 20 * 60));
    QCOMPARE(sums.kompfelar, lists::totalText((100 * 60 + 50 * 70 + 10 * 60 + 20 * 60) * 0.12));
    QCOMPARE(rep::variable("v_far").toString(), sums.felvar);
    lists::producerBreakdown(ctx, Data->ZQ11, "00002", false);
    // March (two years, two spellings) and April.
    QCOMPARE(Data->ZQ11->recordCount(), 3);
    QCOMPARE(Data->ZQ11->recNo(), 2); // the grid stands on the last row
    Data->ZQ11->first();
    QCOMPARE(Data->ZQ11->asInteger("HO"), 3);
    QCOMPARE(Data->ZQ11->asString("S_MEGNEVEZES"), QString("búza")); // Hungarian order: small first
    Data->ZQ11->next();
    QCOMPARE(Data->ZQ11->asString("S_MEGNEVEZES"), QString("Búza"));
    QCOMPARE(Data->ZQ11->asFloat("V_MENNY"), 150.0);
    QVERIFY(std::abs(Data->ZQ11->asFloat("V_ATLAR") - (6000.0 + 3500.0) / 150) < 1e-9);
    lists::producerBreakdown(ctx, Data->ZQ11, "00002", true);
    QCOMPARE(Data->ZQ11->recordCount(), 4);
    QVERIFY(Data->ZQ11->hasField("ID_FJSOR"));
    // Products in Hungarian order within the month, as every other list.
    addTicket(db, TicketSpec("20260005", "00002", "2026.04.02"));
    for (const char* t : {"Őszibarack", "Paprika", "Áfonya", "Alma"})
        addLine(db, "20260005", t, 1, 10, 7);
    for (bool detailed : {false, true}) {
        lists::producerBreakdown(ctx, Data->ZQ11, "00002", detailed);
        QStringList april;
        for (Data->ZQ11->first(); !Data->ZQ11->eof(); Data->ZQ11->next())
            if (Data->ZQ11->asInteger("HO") == 4)
                april << Data->ZQ11->asString("S_MEGNEVEZES");
        QCOMPARE(april, (QStringList{"Áfonya", "Alma", "Búza", "Őszibarack", "Paprika"}));
    }
    // Nobody's code: zeros and no rows.
    QCOMPARE(lists::producerTotals(ctx, Data->ZQ11, "99999").vetelar, QString("0"));
    lists::producerBreakdown(ctx, Data->ZQ11, "99999", false);
    QCOMPARE(Data->ZQ11->recordCount(), 0);

    // The producer's lines for the screen, and the search by first letters.
    QCOMPARE(lists::findProducer(Data->ZQ30, "sző"), QString("00002"));
    const lists::ProducerLines l = lists::takeProducer(Data->ZQ30);
    QCOMPARE(l.cim, QString("6720  Szeged  Kossuth Lajos"));
    QCOMPARE(l.szido, QString("Szül.idö: 1958.07.14  Anyja neve: Tóth Erzsébet"));
    QCOMPARE(lists::findProducer(Data->ZQ30, "xyz"), QString("00003")); // first by name: Árvai
}

QTEST_MAIN(TstLists)
#include "tst_lists.moc"
