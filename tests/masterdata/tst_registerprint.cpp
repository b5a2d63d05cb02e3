// Printing the producer register and the product catalogue with their templates.
#include "testsupport.h"

#include "masterdata/Unit4.h"
#include "masterdata/Unit6.h"
#include "reports/engine/Report.h"

#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QTest>

class TstRegisterPrint : public QObject {
    Q_OBJECT
private slots:
    void producerRegister();
    void productList();
    void missingTemplateIsReported();
    void buyerAddressAsOnTheTicket();
};

namespace {

void useTemplate(const QString& name)
{
    QFile::remove(name);
    QVERIFY(QFile::copy(QString(VADMO_SOURCE_DIR) + "/src/reports/templates/" + name, name));
}

// Runs the print; the preview is replaced by a look at the prepared pages.
// With VADMO_PDF_DIR set, the pages are also written there for a visual check.
std::vector<rep::PreparedPage> printed(RecordingUi& ui, const std::function<void()>& print,
                                       const QString& pdfName)
{
    std::vector<rep::PreparedPage> pages;
    ui.onModal = [&](QDialog*) {
        pages = Data->frNyomtat->pages();
        if (!qEnvironmentVariableIsEmpty("VADMO_PDF_DIR"))
            Data->frNyomtat->exportPdf(qEnvironmentVariable("VADMO_PDF_DIR") + "/" + pdfName);
        return int(QDialog::Rejected);
    };
    print();
    return pages;
}

QString allText(const std::vector<rep::PreparedPage>& pages)
{
    QStringList out;
    for (const auto& p : pages)
        out << p.texts();
    return out.join('\n');
}

} // namespace

void TstRegisterPrint::producerRegister()
{
    UiScope s;
    TestDb db(true);
    db.selectBuyer();
    for (int i = 4; i <= 60; ++i)
        db.exec(QString("insert into ostermelo (o_kod, o_nev, o_irszam, o_helysegnev, o_utca, "
                        "o_jelleg, o_hazszam, o_adoazon, o_szido, o_anyja, o_szja) values "
                        "('%1', 'Termelő %2 Ágnes', '6000', 'Kecskemét', 'Rákóczi', 'út', '%3', "
                        "'8414090001', '19%4-03-01', 'Kiss Mária', 15)")
                    .arg(i, 5, 10, QChar('0'))
                    .arg(i % 7 == 0 ? 10 : i, 2, 10, QChar('0'))
                    .arg(i)
                    .arg(40 + i % 50));
    useTemplate("FjLista2.frf");
    TForm4 list;
    list.show();
    auto pages = printed(s.ui, [&] { list.button("Button6")->click(); }, "FjLista2.pdf");
    QVERIFY2(s.ui.log.isEmpty(), qPrintable(s.ui.log.join('\n')));
    QCOMPARE(s.ui.modalNames.size(), 1);
    QVERIFY(pages.size() >= 2);
    QVERIFY(pages[0].size.width() > pages[0].size.height()); // landscape
    const QString text = allText(pages);
    QVERIFY(text.contains("Minta Felvásárló Kft."));
    QVERIFY(text.contains("6000 Kecskemét, Fő utca 1"));
    QVERIFY(text.contains("Adószám: 12345676-2-03"));
    QVERIFY(text.contains("Összesen 60 őstermelő"));
    QVERIFY(text.contains("Szőke Ödön"));
    // Same names are printed in birth date order.
    QStringList births;
    for (const auto& p : pages) {
        const QStringList t = p.texts();
        for (int i = 0; i < t.size(); ++i)
            if (t[i] == "Termelő 10 Ágnes")
                births << t.value(i + 7);
    }
    QCOMPARE(births.size(), 9);
    QStringList sorted = births;
    sorted.sort();
    QCOMPARE(births, sorted);
    QCOMPARE(births.first(), QString("1946.03.01"));
    // The list keeps the printed result: every column, by name and birth date.
    QVERIFY(Data->ZQ30->hasField("O_FELJEGYZ"));
    QCOMPARE(Data->ZQ30->recordCount(), 60);
    QCOMPARE(Data->frNyomtat->templateName(), QString("FjLista2.frf"));
    QCOMPARE(Data->frNyomtat->title(), QString("Őstermelők jegyzéke 2026.12.09"));
    list.close();
}

void TstRegisterPrint::productList()
{
    UiScope s;
    TestDb db(true);
    db.selectBuyer();
    for (int i = 5; i <= 24; ++i)
        db.exec(QString("insert into termek (t_kod, t_megnevezes, t_vtsz, t_ear, t_megy, "
                        "t_kompmerteke) values ('%1', 'Zöldség %2', '0709', %3, 'kg', 7)")
                    .arg(i, 5, 10, QChar('0'))
                    .arg(i)
                    .arg(1000 + i * 10.5));
    useTemplate("FjLista6.frf");
    TForm6 list;
    list.show();
    auto pages = printed(s.ui, [&] { list.button("Button6")->click(); }, "FjLista6.pdf");
    QVERIFY2(s.ui.log.isEmpty(), qPrintable(s.ui.log.join('\n')));
    QVERIFY(!pages.empty());
    QVERIFY(pages[0].size.width() > pages[0].size.height());
    const QString text = allText(pages);
    QVERIFY(text.contains("Terméklista"));
    QVERIFY(text.contains("Minta Felvásárló Kft."));
    QVERIFY(text.contains("1 252,00")); // 1000 + 24 * 10,5
    QVERIFY(text.contains("Összesen 24 termék"));
    const QStringList p0 = pages[0].texts();
    QVERIFY(p0.indexOf("Búza") < p0.indexOf("Napraforgó"));
    list.close();
}

void TstRegisterPrint::missingTemplateIsReported()
{
    UiScope s;
    TestDb db(true);
    db.selectBuyer();
    QFile::remove("FjLista6.frf");
    TForm6 list;
    list.show();
    list.button("Button6")->click();
    const QString path = QDir::toNativeSeparators(QDir::current().absoluteFilePath("FjLista6.frf"));
    QCOMPARE(s.ui.log, QStringList{"msg:A nyomtatási sablon nem nyitható meg: " + path + " (a fájl nem létezik)"});
    QVERIFY(s.ui.modalNames.isEmpty());
    list.close();
}

// Both registers print the buyer's street line by the rule the ticket uses:
// the district and every other part of the address are there.
void TstRegisterPrint::buyerAddressAsOnTheTicket()
{
    UiScope s;
    TestDb db(true);
    db.exec("update atvevo set v_kerulet = 'II.', v_epulet = 'B', v_ajto = '4'");
    db.exec("update ostermelo set o_kerulet = 'XI.', o_lepcso = '2' where o_kod = '00002'");
    db.exec("update ostermelo set o_szulhely = 'Hódmezővásárhely' where o_kod = '00001'");
    db.selectBuyer();
    useTemplate("FjLista2.frf");
    useTemplate("FjLista6.frf");
    const QString street = "6000 Kecskemét, II. Fő utca 1 B   4";
    TForm4 producers;
    producers.show();
    auto pages = printed(s.ui, [&] { producers.button("Button6")->click(); }, "FjLista2_kerulet.pdf");
    QVERIFY2(s.ui.log.isEmpty(), qPrintable(s.ui.log.join('\n')));
    QVERIFY2(allText(pages).contains(street), qPrintable(allText(pages).left(300)));
    QVERIFY(allText(pages).contains("6720 Szeged, XI. Kossuth Lajos utca 3/B  2"));
    QCOMPARE(Data->frNyomtat->fileName(), QString("ostermelok_jegyzeke_2026-12-09.pdf"));
    // Nothing of the register is cut, and a long town name keeps to one line.
    for (const auto& p : pages)
        for (const auto& it : p.items) {
            QVERIFY2(!it.clipped, qPrintable(it.text));
            if (it.text == "Hódmezővásárhely")
                QVERIFY(it.rect.height() < 5);
        }
    QVERIFY(allText(pages).contains("Hódmezővásárhely"));
    producers.close();

    TForm6 products;
    products.show();
    pages = printed(s.ui, [&] { products.button("Button6")->click(); }, "FjLista6_kerulet.pdf");
    QVERIFY2(s.ui.log.isEmpty(), qPrintable(s.ui.log.join('\n')));
    QVERIFY(allText(pages).contains(street));
    QCOMPARE(Data->frNyomtat->fileName(), QString("termeklista_2026-12-09.pdf"));
    for (const auto& p : pages)
        for (const auto& it : p.items)
            QVERIFY2(!it.clipped, qPrintable(it.text));
    products.close();
}

QTEST_MAIN(TstRegisterPrint)
#include "tst_registerprint.moc"
