// The exchange screens driven as the user does: the file picked or the folder
// typed, the button pressed; what is shown, stored and written.
#include "testsupport.h"

#include "exchange/Unit20.h"
#include "exchange/Unit25.h"
#include "exchange/Unit29.h"
#include "exchange/Unit34.h"
#include "exchange/Unit41.h"
#include "exchange/excelexport.h"
#include "exchange/inventory.h"
#include "gui/dbwidgets.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QPlainTextEdit>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

class TstExchangeScreens : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void csvScreen();
    void oldImportScreen();
    void workbookScreen();
    void tableTextScreen();
    void handOverScreen();
    void longPeriodHeldAsWindow();

private:
    QTemporaryDir home_;
};

namespace {

void put(const QString& path, const QByteArray& data)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(data);
}

QString at(int pos, const QString& text, QString line = {})
{
    if (line.size() < pos - 1 + text.size())
        line = line.leftJustified(pos - 1 + text.size(), ' ');
    return line.replace(pos - 1, text.size(), text);
}

} // namespace

void TstExchangeScreens::initTestCase()
{
    // The workbooks go to the documents folder: keep them out of the real one.
    qputenv("HOME", home_.path().toUtf8());
    qputenv("XDG_CONFIG_HOME", home_.filePath("config").toUtf8());
}

void TstExchangeScreens::csvScreen()
{
    TestDb db;
    UiScope scope;
    const QString file = QDir(db.dir()).filePath("termelok.csv");
    put(file, "00123;Alfa B\xE9ta;6720;Szeged;F\xF5 u. 1.;8414090001;12345678;;;Szeged;1960.05.01;"
              "Gamma Delta;;2;;123-456-789;;\r\n"
              "00124;Rossz;;;;;;;;;1960-05-01\r\n");
    scope.ui.files.push_back(file);
    TForm34 f;
    QTest::mouseClick(f.openButton(), Qt::LeftButton);
    QCOMPARE(f.list()->count(), 2);
    QVERIFY(f.memo()->toPlainText().contains(QString::fromUtf8("Alfa Béta")));
    QTest::mouseClick(f.runButton(), Qt::LeftButton);
    QCOMPARE(scope.ui.log.size(), 1);
    const QString end = scope.ui.log[0];
    QVERIFY(end.startsWith("msg:A lista feldolgozva"));
    QVERIFY(end.contains("Beolvasva: 1 sor, kihagyva: 1 sor."));
    QVERIFY(end.contains("termelok.csv 2. sor, 11. mező (O_SZIDO)"));
    QVERIFY(end.contains("Hiba301: Újban, INSERT az östermelöben"));
    // The grid shows every producer, on the last one: the one just imported.
    TQuery* q = f.grid()->query();
    QVERIFY(q);
    QCOMPARE(q->recNo(), q->recordCount() - 1);
    QCOMPARE(q->asString("O_KOD"), QString("00123"));
    QCOMPARE(q->asDate("O_SZIDO"), QDate(1960, 5, 1));
    QVERIFY(end.contains("A fájl kódolása: Windows-1250."));

    // A spreadsheet's UTF-8 with its byte-order mark: read as such, and said so.
    scope.ui.clear();
    const QString utf8 = QDir(db.dir()).filePath("utf8.csv");
    put(utf8, "\xEF\xBB\xBF" + QString::fromUtf8("00130;Kovács Éva;6720\r\n").toUtf8());
    scope.ui.files.push_back(utf8);
    QTest::mouseClick(f.openButton(), Qt::LeftButton);
    QTest::mouseClick(f.runButton(), Qt::LeftButton);
    QCOMPARE(scope.ui.log.size(), 1);
    QVERIFY2(scope.ui.log[0].contains("Beolvasva: 1 sor, kihagyva: 0 sor.\nA fájl kódolása: UTF-8 (BOM)."),
             qPrintable(scope.ui.log[0]));
    QCOMPARE(db.scalar("SELECT o_nev FROM ostermelo WHERE o_kod = '00130'"),
             QString::fromUtf8("Kovács Éva"));

    // A file that cannot be read is reported by the general handler.
    scope.ui.clear();
    scope.ui.files.push_back(QDir(db.dir()).filePath("nincs.csv"));
    QTest::mouseClick(f.openButton(), Qt::LeftButton);
    QCOMPARE(scope.ui.log.size(), 1);
    QVERIFY(scope.ui.log[0].startsWith("error:A fájl nem olvasható"));

    // "Mégsem" during the run: the lines before it stay, each committed; the
    // end message says how far it got.
    scope.ui.clear();
    const QString five = QDir(db.dir()).filePath("ot.csv");
    put(five, "00201;Egy\r\n00202;Ketto\r\n00203;Harom\r\n00204;Negy\r\n00205;Ot\r\n");
    scope.ui.files.push_back(five);
    QTest::mouseClick(f.openButton(), Qt::LeftButton);
    scope.ui.cancelAt = 2;
    QTest::mouseClick(f.runButton(), Qt::LeftButton);
    QCOMPARE(scope.ui.progress, QStringList{"Feldolgozás: ot.csv/5"});
    QCOMPARE(scope.ui.progressOpen, 0);
    QCOMPARE(scope.ui.log.size(), 1);
    QVERIFY(scope.ui.log[0].contains("Beolvasva: 2 sor, kihagyva: 0 sor."));
    QVERIFY2(scope.ui.log[0].contains("Megszakítva a 3. sor előtt: addig 2 sor került be"),
             qPrintable(scope.ui.log[0]));
    QCOMPARE(db.scalar("SELECT LIST(o_kod) FROM (SELECT o_kod FROM ostermelo "
                       "WHERE o_kod BETWEEN '00201' AND '00205' ORDER BY o_kod)"),
             QString("00201,00202"));
}

void TstExchangeScreens::oldImportScreen()
{
    TestDb db;
    UiScope scope;
    QTemporaryDir old;
    put(old.filePath("exposterm.txt"),
        at(229, "1975.04.12", at(7, "Regi Termelo", at(2, "0042 "))).toLatin1() + "\r\n");
    put(old.filePath("exptermek.txt"),
        at(94, "12,5", at(7, "Buza", at(2, "0007 "))).toLatin1() + "\r\n");
    put(old.filePath("expatvevo.txt"), "Elso Kft.\r\nMasodik Bt.\r\n");

    TForm25 f;
    QVERIFY(f.folder()->text().endsWith("/vadmo5/"));
    f.folder()->setText(old.path() + "/");
    f.buyers()->setChecked(false);
    f.ImportClick();
    QCOMPARE(scope.ui.log.size(), 2);
    QVERIFY(scope.ui.log[0].startsWith("msg:A régi östermelö adatok átemelve\nBeolvasva: 1 sor"));
    QVERIFY(scope.ui.log[1].startsWith("msg:A régi termék adatok átemelve\nBeolvasva: 1 sor"));
    QCOMPARE(f.result(), int(QDialog::Accepted));
    QCOMPARE(db.scalar("SELECT o_szido FROM ostermelo WHERE o_kod = '10042'"), QString("1975.04.12"));
    QCOMPARE(db.scalar("SELECT COUNT(*) FROM atvevo"), QString("1"));

    // UTF-8 and Windows-1250 lines in one file: refused with the line before
    // anything is imported.
    scope.ui.clear();
    put(old.filePath("exposterm.txt"),
        at(7, QString::fromUtf8("Kovács Éva"), at(2, "0050 ")).toUtf8() + "\r\n" +
            at(7, QString::fromLatin1("Kov\xE1" "cs"), at(2, "0051 ")).toLatin1() + "\r\n");
    TForm25 m;
    m.folder()->setText(old.path() + "/");
    m.show();
    QTest::mouseClick(m.findChild<QPushButton*>("Button1"), Qt::LeftButton);
    QCOMPARE(scope.ui.log.size(), 1);
    QVERIFY2(scope.ui.log[0].startsWith("error:A(z) " + old.filePath("exposterm.txt") +
                                        " fájl nem olvasható be: vegyes kódolású: a(z) 1. sor UTF-8, "
                                        "a(z) 2. sor Windows-1250"),
             qPrintable(scope.ui.log[0]));
    QCOMPARE(db.scalar("SELECT COUNT(*) FROM ostermelo WHERE o_kod IN ('10050', '10051')"), QString("0"));
    // A UTF-8 file keeps the fields after an accented name in place.
    scope.ui.clear();
    put(old.filePath("exposterm.txt"),
        at(53, "6720", at(7, QString::fromUtf8("Kovács Éva"), at(2, "0052 "))).toUtf8() + "\r\n");
    m.producers()->setChecked(true);
    m.products()->setChecked(false);
    m.buyers()->setChecked(false);
    m.ImportClick();
    QCOMPARE(scope.ui.log.size(), 1);
    QVERIFY2(scope.ui.log[0].contains("A fájl kódolása: UTF-8."), qPrintable(scope.ui.log[0]));
    QCOMPARE(db.scalar("SELECT o_nev || '/' || o_irszam FROM ostermelo WHERE o_kod = '10052'"),
             QString::fromUtf8("Kovács Éva/6720"));

    // A missing file stops at its kind; the screen stays open.
    scope.ui.clear();
    TForm25 g;
    g.folder()->setText(old.path() + "/nincs/");
    g.show();
    QTest::mouseClick(g.findChild<QPushButton*>("Button1"), Qt::LeftButton);
    QCOMPARE(scope.ui.log.size(), 1);
    QVERIFY(scope.ui.log[0].startsWith("error:A fájl nem olvasható"));
    QVERIFY(g.isVisible());

    // Nothing ticked: "Import" only closes.
    scope.ui.clear();
    TForm25 h;
    for (QCheckBox* c : {h.producers(), h.products(), h.buyers()})
        c->setChecked(false);
    h.ImportClick();
    QVERIFY(scope.ui.log.isEmpty());
    QCOMPARE(h.result(), int(QDialog::Accepted));
}

void TstExchangeScreens::workbookScreen()
{
    TestDb db(true);
    db.selectBuyer();
    UiScope scope;
    scope.ui.openResult = true;
    TForm20 f;
    QCOMPARE(f.dateFrom()->date(), QDate(2026, 1, 1));
    QCOMPARE(f.dateTo()->date(), QDate(2026, 12, 31));
    QVERIFY(f.tab(0).xls->isChecked());
    {
        // A click into a date picks the part under the pointer, and typed
        // digits replace it: the year at the left, the day at the right.
        f.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f));
        auto* from = f.dateFrom()->findChild<QLineEdit*>();
        QTest::mouseClick(from, Qt::LeftButton, {}, QPoint(from->fontMetrics().horizontalAdvance("20") + 2, from->height() / 2));
        QTest::keyClicks(f.dateFrom(), "2016");
        QCOMPARE(f.dateFrom()->date(), QDate(2016, 1, 1));
        auto* to = f.dateTo()->findChild<QLineEdit*>();
        QTest::mouseClick(to, Qt::LeftButton, {}, QPoint(to->fontMetrics().horizontalAdvance("2026.12.1") + 2, to->height() / 2));
        QTest::keyClicks(f.dateTo(), "15");
        QCOMPARE(f.dateTo()->date(), QDate(2026, 12, 15));
        f.dateFrom()->setDate(QDate(2026, 1, 1));
        f.dateTo()->setDate(QDate(2026, 12, 31));
    }
    // Without "Kigyüjtés" first: the tab collects its own rows.
    QTest::mouseClick(f.tab(1).exportButton, Qt::LeftButton);
    const QString path = f.lastPath();
    QVERIFY(path.endsWith("/OSTERMELO.xls"));
    QVERIFY(path.startsWith(home_.path()));
    QVERIFY(QFile::exists(path));
    QCOMPARE(scope.ui.log.size(), 1);
    QVERIFY(scope.ui.log[0].startsWith("info:AZ östermelö konvertálás befejeződött!"));
    QCOMPARE(scope.ui.titles, QStringList{"Kész!"});
    QCOMPARE(scope.ui.progress, QStringList{"Az östermelők exportálása…/3"});
    QCOMPARE(scope.ui.progressOpen, 0);
    QCOMPARE(scope.ui.opened, QStringList{path});
    QCOMPARE(f.tab(1).grid->query()->recordCount(), 3);

    // Unticked: saved, not opened; the .xlsx kind.
    scope.ui.clear();
    f.tab(0).show->setChecked(false);
    f.tab(0).xlsx->setChecked(true);
    QTest::mouseClick(f.tab(0).collect, Qt::LeftButton);
    QTest::mouseClick(f.tab(0).exportButton, Qt::LeftButton);
    QVERIFY(f.lastPath().endsWith("/FJFEJ.xlsx"));
    QVERIFY(scope.ui.opened.isEmpty());
    QVERIFY(scope.ui.log.value(0).startsWith("info:A fjegy konvertálás befejeződött!"));
    QCOMPARE(scope.ui.titles, QStringList{"Kész!"});

    // A file that cannot be written: the failure, and no completion.
    scope.ui.clear();
    QFile::remove(f.lastPath());
    QVERIFY(QDir().mkpath(f.lastPath())); // a folder where the file should go
    QTest::mouseClick(f.tab(0).exportButton, Qt::LeftButton);
    QCOMPARE(scope.ui.log.size(), 1);
    QVERIFY(scope.ui.log[0].startsWith("msg:A fájl mentése nem történt meg!"));
    QVERIFY(scope.ui.titles.isEmpty());
    QVERIFY(scope.ui.opened.isEmpty());
}

void TstExchangeScreens::tableTextScreen()
{
    TestDb db(true);
    UiScope scope;
    QTemporaryDir out;
    TForm29 f;
    QCOMPARE(f.folder()->text(), QDir::homePath() + "/");
    for (size_t i = 1; i < f.boxes().size(); ++i)
        f.boxes()[i]->setChecked(false);
    f.folder()->setText(out.path() + "/nincs/");
    QPushButton* exp = f.findChild<QPushButton*>("Button1");
    QTest::mouseClick(exp, Qt::LeftButton);
    QCOMPARE(scope.ui.log.size(), 1);
    QVERIFY(scope.ui.log[0].startsWith("error:A fájl nem hozható létre"));
    QVERIFY(scope.ui.log[0].contains("nincs/atvevo.txt"));
    QCOMPARE(f.result(), 0);
    scope.ui.clear();
    f.folder()->setText(out.path() + "/");
    // Nothing of the progress may stay behind the closing message.
    auto* bar = f.findChild<QProgressBar*>("ProgressBar1");
    QVERIFY(bar);
    int barShown = -1, jobsShown = -1;
    scope.ui.onShow = [&](const QString&) {
        barShown = bar->isHidden() ? 0 : 1;
        jobsShown = scope.ui.progressOpen;
    };
    QTest::mouseClick(exp, Qt::LeftButton);
    QCOMPARE(scope.ui.log, QStringList{"confirm:Exportálás vége. "});
    QCOMPARE(barShown, 0);
    QCOMPARE(jobsShown, 0);
    QCOMPARE(scope.ui.progress.size(), 1);
    scope.ui.onShow = nullptr;
    QVERIFY(QFile::exists(out.filePath("atvevo.txt")));
    QVERIFY(!QFile::exists(out.filePath("ostermelo.txt")));
    QCOMPARE(f.result(), int(QDialog::Accepted));

    // Bytes left in the register that no Windows-1250 character stands for
    // are written as "?", and the end message names where.
    auto raw = [](const char* hex) {
        return QString("CAST(CAST(x'%1' AS VARCHAR(8) CHARACTER SET OCTETS) AS VARCHAR(8) "
                       "CHARACTER SET WIN1250)").arg(hex);
    };
    db.exec("UPDATE ostermelo SET o_nev = " + raw("4B6F7681") + ", o_szulhely = " + raw("7890") +
            " WHERE o_kod = '00002'");
    const QString id = db.scalar("SELECT id_ostermelo FROM ostermelo WHERE o_kod = '00002'");
    scope.ui.clear();
    TForm29 g;
    for (size_t i = 0; i < g.boxes().size(); ++i)
        g.boxes()[i]->setChecked(i == 1);
    g.folder()->setText(out.path() + "/");
    QTest::mouseClick(g.findChild<QPushButton*>("Button1"), Qt::LeftButton);
    QFile written(out.filePath("ostermelo.txt"));
    QVERIFY(written.open(QIODevice::ReadOnly));
    const QByteArray file = written.readAll();
    const int line = int(file.left(file.indexOf(":Kov?:")).count('\n')) + 1;
    const QString bad(QChar(0xFFFD));
    QCOMPARE(scope.ui.log, QStringList{QString("confirm:Exportálás vége. \n\nA Windows-1250 kódlapban "
                                               "nem létező karakterek helyére \"?\" került:\n"
                                               "ostermelo.txt %1. sor (azonosító: %2), O_NEV: %3\n"
                                               "ostermelo.txt %1. sor (azonosító: %2), O_SZULHELY: %3")
                                           .arg(line).arg(id, bad)});
    QVERIFY(file.contains(":Kov?:") && file.contains(":x?:"));
}

void TstExchangeScreens::handOverScreen()
{
    TestDb db(true);
    db.selectBuyer();
    UiScope scope;
    QTemporaryDir target;
    TForm41 f;
    QVERIFY(f.target()->text().endsWith("/holtu5/fjegy_keszlethez.xml"));
    QVERIFY(!f.handOverButton()->isEnabled());
    f.KigyujtesClick();
    QVERIFY(f.handOverButton()->isEnabled());
    QVERIFY(QFile::exists(QDir(db.dir()).filePath(inventory::FileName)));
    QVERIFY(scope.ui.log.isEmpty());

    // A typed folder that does not exist is asked about; "no" makes nothing.
    const QString typed = target.filePath("nincs/fjegy_keszlethez.xml");
    f.target()->setText(typed);
    scope.ui.answers = {false};
    QTest::mouseClick(f.handOverButton(), Qt::LeftButton);
    QCOMPARE(scope.ui.log.size(), 1);
    QVERIFY(scope.ui.log[0].startsWith("ask:A mappa nem létezik: " + target.filePath("nincs")));
    QVERIFY(!QDir(target.filePath("nincs")).exists());
    QCOMPARE(f.result(), 0);

    scope.ui.clear();
    f.target()->setText(target.filePath("fjegy_keszlethez.xml"));
    QTest::mouseClick(f.handOverButton(), Qt::LeftButton);
    QCOMPARE(scope.ui.log, QStringList{"msg:Átmásolva. Adatátadás végrehajtva.\n" +
                                       target.filePath("fjegy_keszlethez.xml")});
    QVERIFY(QFile::exists(target.filePath("fjegy_keszlethez.xml")));
    QCOMPARE(f.result(), int(QDialog::Accepted));

    // The proposed folder (under home) is made on first use, without a question.
    QTemporaryDir home;
    const QByteArray oldHome = qgetenv("HOME");
    qputenv("HOME", home.path().toUtf8());
    const auto restore = qScopeGuard([&] { qputenv("HOME", oldHome); });
    TForm41 g;
    g.KigyujtesClick();
    scope.ui.clear();
    QTest::mouseClick(g.handOverButton(), Qt::LeftButton);
    const QString made = home.filePath("holtu5");
    QCOMPARE(scope.ui.log, QStringList{"msg:Átmásolva. Adatátadás végrehajtva.\n" + made +
                                       "/fjegy_keszlethez.xml\nA mappa most készült: " + made});
    QVERIFY(QFile::exists(made + "/fjegy_keszlethez.xml"));
}

namespace {

QStringList entries(const QString& dir)
{
    return QDir(dir).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
}

QByteArray bytesOf(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

} // namespace

// A period of 20 000 lines: the grids hold a window, the exports still write
// every line, and "Mégsem" leaves no file.
void TstExchangeScreens::longPeriodHeldAsWindow()
{
    TestDb db(true);
    db.selectBuyer();
    fb::Connection& con = db.data()->ZCon1;
    con.startTransaction();
    con.execute("EXECUTE BLOCK AS DECLARE i INTEGER = 0; DECLARE j INTEGER; "
                "DECLARE n VARCHAR(8); BEGIN WHILE (i < 5000) DO BEGIN "
                "n = CAST(10000000 + i AS VARCHAR(8)); "
                "INSERT INTO fjfej (f_bszam, f_akod, f_ostermkod, f_kelt, f_felvkelt, f_fizkelt, "
                "f_szja, f_tipus) VALUES (:n, '00001', '00001', "
                "DATEADD(MOD(:i, 300) DAY TO DATE '2026-01-01'), "
                "DATEADD(MOD(:i, 300) DAY TO DATE '2026-01-01'), "
                "DATEADD(MOD(:i, 300) DAY TO DATE '2026-01-01'), 15, '1'); "
                "j = 0; WHILE (j < 4) DO BEGIN "
                "INSERT INTO fjsor (s_bszam, s_termekkod, s_megnevezes, s_brutto, s_levonszaz, "
                "s_megy, s_ear, s_kompmerteke, s_akod) VALUES (:n, '00001', "
                "'Sor ' || :i || '/' || :j, 1 + :j, 0, 'kg', 10.25, 12, '00001'); "
                "j = j + 1; END i = i + 1; END END");
    con.commit();
    const int lines = 20000;
    const QDate from(2026, 1, 1), to(2026, 12, 31);
    UiScope scope;
    const QString docs = excelexport::exportFolder();
    const QString path = QDir(docs).filePath("FJFEJ.xls");
    QFile::remove(path);

    TForm20 f;
    qint64 before = fb::rowsFetched();
    QTest::mouseClick(f.tab(0).collect, Qt::LeftButton);
    TQuery* q = f.tab(0).grid->query();
    QVERIFY(q->windowed());
    QVERIFY(q->recordCount() > 0);
    QVERIFY(q->recordCount() <= 500);
    QVERIFY(fb::rowsFetched() - before <= 500);

    // "Mégsem" halfway: nothing saved, no temporary left, no completion.
    const QStringList docsBefore = entries(docs);
    scope.ui.cancelAt = 400;
    QTest::mouseClick(f.tab(0).exportButton, Qt::LeftButton);
    QCOMPARE(scope.ui.log, QStringList{"msg:" + QString::fromUtf8(excelexport::Cancelled)});
    QVERIFY(scope.ui.titles.isEmpty());
    QVERIFY(scope.ui.opened.isEmpty());
    QVERIFY(!QFile::exists(path));
    QCOMPARE(entries(docs), docsBefore);
    QVERIFY(scope.ui.progressMax < lines);

    // The whole export, with the progress over the period's count.
    scope.ui.clear();
    scope.ui.openResult = true;
    before = fb::rowsFetched();
    QTest::mouseClick(f.tab(0).exportButton, Qt::LeftButton);
    QCOMPARE(scope.ui.titles, QStringList{"Kész!"});
    QVERIFY(scope.ui.log.value(0).contains("20000 sor, 2 munkalapon"));
    QCOMPARE(scope.ui.progress, QStringList{"A jegysorok exportálása…/20000"});
    QCOMPARE(scope.ui.progressMax, qint64(lines));
    QCOMPARE(f.tab(0).progress->value(), f.tab(0).progress->maximum());
    QCOMPARE(f.tab(0).progress->maximum(), lines);
    QVERIFY(fb::rowsFetched() - before >= lines); // read by its own cursor
    QVERIFY(q->recordCount() <= 500);             // the grid kept its window
    // Byte for byte the workbook of the whole collection read at once.
    TQuery whole(&con, "whole");
    excelexport::collectTickets(&whole, from, to, excelexport::DateKind::Payment, "00001");
    QCOMPARE(whole.recordCount(), lines);
    const QString wholePath = QDir(db.dir()).filePath("whole.xls");
    QVERIFY(excelexport::write(&whole, "FJFEJ", excelexport::ticketColumns(),
                               excelexport::TicketBoldTo, excelexport::Format::Xls, wholePath)
                .saved);
    whole.close();
    QCOMPARE(bytesOf(path), bytesOf(wholePath));

    // The inventory collection: a window in the grid, every line in the document.
    scope.ui.clear();
    TForm41 g;
    g.dateFrom()->setDate(from);
    g.dateTo()->setDate(to);
    before = fb::rowsFetched();
    QTest::mouseClick(g.findChild<QPushButton*>("Button1"), Qt::LeftButton);
    QVERIFY(scope.ui.log.isEmpty());
    QVERIFY(g.handOverButton()->isEnabled());
    QVERIFY(g.query()->windowed());
    QVERIFY(g.query()->recordCount() <= 500);
    QCOMPARE(g.query()->fieldIndex("F_FELVKELT"), 0);
    QCOMPARE(scope.ui.progress, QStringList{"A készlethez átadott tételek kigyűjtése…/20000"});
    const QString doc = QDir(db.dir()).filePath(inventory::FileName);
    const QByteArray written = bytesOf(doc);
    QCOMPARE(written.count("<Records>"), qsizetype(lines));
    QVERIFY(fb::rowsFetched() - before >= lines);

    // Stopped: the earlier document stays untouched and is not offered for
    // hand-over as if it were this collection's.
    scope.ui.clear();
    scope.ui.cancelAt = 400;
    g.dateTo()->setDate(QDate(2026, 6, 30));
    const QStringList dirBefore = entries(db.dir());
    QTest::mouseClick(g.findChild<QPushButton*>("Button1"), Qt::LeftButton);
    QCOMPARE(scope.ui.log, QStringList{"msg:" + QString::fromUtf8(inventory::Cancelled)});
    QCOMPARE(scope.ui.progressOpen, 0);
    QVERIFY(!g.handOverButton()->isEnabled());
    QCOMPARE(bytesOf(doc), written);
    QCOMPARE(entries(db.dir()), dirBefore);
}

QTEST_MAIN(TstExchangeScreens)
#include "tst_exchangescreens.moc"
