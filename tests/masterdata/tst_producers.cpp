// The producer list and the producer entry.
#include "masterdata/producers.h"
#include "testsupport.h"

#include "gui/dbwidgets.h"
#include "gui/edits.h"
#include "masterdata/Unit4.h"
#include "masterdata/Unit5.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QHeaderView>
#include <QLabel>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

class TstProducers : public QObject {
    Q_OBJECT
private slots:
    void entryDefaultsAndFailedCheckFocus();
    void entryKeyboard();
    void doubleClickChooses();
    void tajBoxDecidesWhetherTajCounts();
    void nonDigitsAreRefusedNotCrashing();
    void birthNameHelp();
    void newCodeIsGreatestNumberPlusOne();
    void newProducerSavedAndListPositioned();
    void failedSaveKeepsEntryOpen();
    void printedTicketOfAnyBuyerLocks();
    void deletionRules();
    void searchAndSort();
    void windowsClosed();
};

namespace {

void fillValid(TForm5& f)
{
    auto set = [&](const char* c, const QString& v) { f.field(c)->setText(v); };
    set("O_NEV", "Teszt Elek");
    set("O_IRSZAM", "6000");
    set("O_HELYSEGNEV", "Kecskemét");
    set("O_UTCA", "Fő");
    set("O_ADOAZON", "8414090001");
    set("O_IGSZAM", "1234567");
    set("O_SZJA", "15");
    set("O_SZULHELY", "Szeged");
    set("O_SZIDO", "1980.05.17");
    set("O_ANYJA", "Nagy Anna");
    set("O_NEME", "1");
    set("O_SZULNEV", "Teszt Elek");
    set("O_FHAT", "8");
    set("O_ADOSZAM", "12345676213");
    set("O_ERVKELT", "2030.12.31");
}

void addProducer(TestDb& db, const QString& kod, const QString& nev, const QString& irszam = "6000")
{
    db.exec(QString("insert into ostermelo (o_kod, o_nev, o_irszam) values ('%1', '%2', '%3')")
                .arg(kod, nev, irszam));
}

} // namespace

static void doubleClick(QAbstractItemView* view, const QModelIndex& index)
{
    // The click makes the row current; the second press arrives as a double click.
    const QPoint at = view->visualRect(index).center();
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at);
    QMouseEvent dbl(QEvent::MouseButtonDblClick, at, view->viewport()->mapToGlobal(at),
                    Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(view->viewport(), &dbl);
}

void TstProducers::entryDefaultsAndFailedCheckFocus()
{
    UiScope s;
    TestDb db;
    TForm5 f(TForm5::Mode::Uj);
    f.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f));
    QCOMPARE(f.windowTitle(), QString("Őstermelő bevitel"));
    QCOMPARE(f.field("O_SZJA")->text(), QString("0"));
    QCOMPARE(f.field("O_NEME")->text(), QString("1"));
    QCOMPARE(f.field("O_FHAT")->text(), QString("0"));
    QVERIFY(f.uresTaj()->isChecked());
    // A check fails while the notes are shown: back on "Adatok", in the field.
    fillValid(f);
    f.field("O_ADOSZAM")->setText("12345678901");
    f.tabs()->setCurrentIndex(1);
    f.okButton()->click();
    QCOMPARE(s.ui.log, QStringList{"msg:Hibás adószám"});
    QCOMPARE(f.tabs()->currentIndex(), 0);
    QCOMPARE(f.focusWidget(), static_cast<QWidget*>(f.field("O_ADOSZAM")));
    QVERIFY(f.isVisible());
    QCOMPARE(db.scalar("select count(*) from ostermelo"), QString("0"));
    f.close();
}

void TstProducers::entryKeyboard()
{
    UiScope s;
    TestDb db;
    TForm5 f(TForm5::Mode::Uj);
    f.show();
    f.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&f));
    // Opens on the first field that takes typing: not the tab header, not the
    // read-only ID or code, which look read-only.
    QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(f.field("O_NEV")));
    QVERIFY(f.field("ID_OSTERMELO")->palette().color(QPalette::Base) !=
            f.field("O_NEV")->palette().color(QPalette::Base));
    QTest::keyClick(f.field("O_NEV"), Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(f.field("O_IRSZAM")));
    QTest::keyClick(f.field("O_IRSZAM"), Qt::Key_Return, Qt::ShiftModifier);
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(f.field("O_NEV")));
    // Enter on the focused "OK" presses it.
    f.okButton()->setFocus();
    QTest::keyClick(f.okButton(), Qt::Key_Return);
    QCOMPARE(s.ui.log, QStringList{"msg:Nincs megadva a neve!"});
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(f.field("O_NEV")));
    fillValid(f);
    f.okButton()->setFocus();
    s.ui.clear();
    QTest::keyClick(f.okButton(), Qt::Key_Enter, Qt::KeypadModifier);
    QVERIFY(s.ui.log.isEmpty());
    QCOMPARE(f.result(), int(QDialog::Accepted));
    QCOMPARE(db.scalar("select o_nev from ostermelo"), QString("Teszt Elek"));
}

void TstProducers::doubleClickChooses()
{
    UiScope s;
    TestDb db(true);
    TForm4 list;
    list.show();
    QVERIFY(QTest::qWaitForWindowExposed(&list));
    // Hungarian order: "Árvai" first, not after "Szőke".
    QCOMPARE(Data->ZQ30->valueAt(0, 1).toString(), QString("Árvai Éva"));
    const QModelIndex row = list.grid()->model()->index(2, 1);
    QCOMPARE(row.data().toString(), QString("Szőke Ödön"));
    doubleClick(list.grid(), row);
    QTRY_VERIFY(!list.isVisible());
    QCOMPARE(list.result(), int(QDialog::Accepted));
    QCOMPARE(Data->ZQ30->asString("O_KOD"), QString("00002"));

    // Enter in the list chooses as well.
    TForm4 again;
    again.show();
    again.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&again));
    QTRY_VERIFY(again.grid()->hasFocus());
    QTest::keyClick(again.grid(), Qt::Key_Down);
    QTest::keyClick(again.grid(), Qt::Key_Return);
    QTRY_VERIFY(!again.isVisible());
    QCOMPARE(again.result(), int(QDialog::Accepted));
    QCOMPARE(Data->ZQ30->asString("O_NEV"), QString("Kovács János"));
}

void TstProducers::tajBoxDecidesWhetherTajCounts()
{
    UiScope s;
    TestDb db;
    TForm5 f(TForm5::Mode::Uj);
    fillValid(f);
    // The box reaches the rule (its cases are the unit's test).
    f.uresTaj()->setChecked(false);
    QVERIFY(!f.save());
    QCOMPARE(s.ui.log.last(), QString("msg:Nincs megadva a TAJ!"));
    f.uresTaj()->setChecked(true);
    f.field("O_TAJ")->setText("123456789");
    s.ui.clear();
    QVERIFY(f.save());
    QVERIFY(s.ui.log.isEmpty());
    QCOMPARE(db.scalar("select o_taj from ostermelo"), QString("123456789"));
}

void TstProducers::nonDigitsAreRefusedNotCrashing()
{
    UiScope s;
    TestDb db;
    TForm5 f(TForm5::Mode::Uj);
    fillValid(f);
    f.show();
    // Typed and pasted letters never reach a digit field.
    QTest::keyClicks(f.field("O_TAJ"), "12a3");
    QCOMPARE(f.field("O_TAJ")->text(), QString("123"));
    f.field("O_ADOSZAM")->clear();
    QTest::keyClicks(f.field("O_ADOSZAM"), "1234-567/8");
    QCOMPARE(f.field("O_ADOSZAM")->text(), QString("1234567/8"));
    QApplication::clipboard()->setText("12x");
    s.ui.clear();
    QTest::keyClick(f.field("O_CSGAZD"), Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(f.field("O_CSGAZD")->text(), QString());
    QCOMPARE(s.ui.log, QStringList{"msg:Ebbe a mezőbe csak számjegy és \"/\" írható!"});
    QTest::keyClicks(f.field("O_MNYPTAG"), "xi");
    QCOMPARE(f.field("O_MNYPTAG")->text(), QString("i"));
    // A "/" where the check digit test reads is named, nothing is written.
    f.field("O_ADOSZAM")->setText("1234567/901");
    s.ui.clear();
    QVERIFY(!f.save());
    QCOMPARE(s.ui.log.size(), 1);
    QVERIFY(s.ui.log[0].startsWith("msg:Hibás adószám Nem szám a(z) 8. karakter ('/')"));
    QCOMPARE(f.focusWidget(), static_cast<QWidget*>(f.field("O_ADOSZAM")));
    QCOMPARE(db.scalar("select count(*) from ostermelo"), QString("0"));
    f.close();
}

void TstProducers::birthNameHelp()
{
    UiScope s;
    TestDb db;
    TForm5 f(TForm5::Mode::Uj);
    f.show();
    f.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&f));
    f.field("O_NEV")->setText("Kovács Anna");
    f.field("O_SZULNEV")->setText("Szabó Anna");
    f.field("O_NEME")->setText("2");
    f.field("O_NEME")->setFocus();
    QTest::keyClick(f.field("O_NEME"), Qt::Key_Return); // Enter moves on
    QVERIFY(!f.field("O_NEME")->hasFocus());
    QCOMPARE(f.field("O_SZULNEV")->text(), QString("Szabó Anna"));
    f.field("O_NEME")->setFocus();
    f.field("O_NEME")->selectAll();
    QTest::keyClicks(f.field("O_NEME"), "31"); // "3" is filtered
    QCOMPARE(f.field("O_NEME")->text(), QString("1"));
    QTest::keyClick(f.field("O_NEME"), Qt::Key_Return);
    QCOMPARE(f.field("O_SZULNEV")->text(), QString("Kovács Anna"));
    f.close();
}

void TstProducers::newCodeIsGreatestNumberPlusOne()
{
    UiScope s;
    TestDb db;
    QCOMPARE(TForm5::ujKod(), QString("00001")); // empty register
    addProducer(db, "00012", "A");
    addProducer(db, "00020", "B");
    {
        TForm5 f(TForm5::Mode::Uj);
        QCOMPARE(f.field("O_KOD")->text(), QString("00021"));
        QVERIFY(f.field("O_KOD")->isReadOnly());
    }
    // Codes of unequal width and a code that is no number: text order would give 100.
    addProducer(db, "99", "C");
    addProducer(db, "100", "D");
    addProducer(db, "X7", "E");
    QCOMPARE(TForm5::ujKod(), QString("00101"));
}

void TstProducers::newProducerSavedAndListPositioned()
{
    UiScope s;
    TestDb db(true);
    db.selectBuyer();
    TForm4 list;
    list.show();
    bool ran = false;
    s.ui.onModal = [&](QDialog* d) {
        auto* f = qobject_cast<TForm5*>(d);
        fillValid(*f);
        f->field("O_NEV")->setText("Zöld Zoltán");
        f->feljegyzes()->setPlainText(QString(1200, 'a'));
        f->okButton()->click();
        ran = true;
        return f->result();
    };
    list.button("Button1")->click();
    QVERIFY(ran);
    QCOMPARE(s.ui.modalNames, QStringList{"Form5"});
    QCOMPARE(db.scalar("select o_kod from ostermelo where o_nev = 'Zöld Zoltán'"), QString("00004"));
    QCOMPARE(db.scalar("select o_szido from ostermelo where o_kod = '00004'"), QString("1980.05.17"));
    QCOMPARE(db.scalar("select o_szja + o_fhat from ostermelo where o_kod = '00004'"), QString("23"));
    QCOMPARE(db.scalar("select char_length(o_feljegyz) from ostermelo where o_kod = '00004'"),
             QString("1000"));
    QCOMPARE(G.ostKod, QString("00004"));
    QCOMPARE(Data->ZQ30->asString("O_NEV"), QString("Zöld Zoltán"));
    QCOMPARE(list.panelText("O_KOD"), QString("00004"));
    QCOMPARE(list.status()->text(), QString("Őstermelő lista, \"Név\" szerint"));

    // Change: the caption says so, the row is loaded and written back by its ID.
    s.ui.onModal = [&](QDialog* d) {
        auto* f = qobject_cast<TForm5*>(d);
        if (f->windowTitle() != "Őstermelő módositás" || f->field("O_SZIDO")->text() != "1980.05.17")
            return int(QDialog::Rejected);
        f->field("O_UTCA")->setText("Új utca");
        return f->save() ? int(QDialog::Accepted) : int(QDialog::Rejected);
    };
    list.button("Button2")->click();
    QCOMPARE(db.scalar("select o_utca from ostermelo where o_kod = '00004'"), QString("Új utca"));
    QCOMPARE(db.scalar("select count(*) from ostermelo"), QString("4"));
    list.close();
}

void TstProducers::failedSaveKeepsEntryOpen()
{
    UiScope s;
    TestDb db(true);
    TForm5 f(TForm5::Mode::Uj);
    fillValid(f);
    f.field("O_KOD")->setText("1234567"); // longer than the column: the insert fails
    f.show();
    f.okButton()->click();
    QCOMPARE(s.ui.log, QStringList{"msg:Hiba52: Újban, INSERT az östermelöben "});
    QVERIFY(f.isVisible());
    QCOMPARE(f.field("O_NEV")->text(), QString("Teszt Elek"));
    QCOMPARE(Data->ZQ30->recordCount(), 3); // the list is shown again
    // The next save starts a fresh transaction and goes through.
    f.field("O_KOD")->setText("00009");
    s.ui.clear();
    f.okButton()->click();
    QVERIFY(s.ui.log.isEmpty());
    QVERIFY(!f.isVisible());
    QCOMPARE(f.result(), int(QDialog::Accepted));
    QCOMPARE(db.scalar("select o_nev from ostermelo where o_kod = '00009'"), QString("Teszt Elek"));
}

void TstProducers::printedTicketOfAnyBuyerLocks()
{
    UiScope s;
    TestDb db(true);
    db.selectBuyer();
    db.exec("insert into atvevo (v_neve, v_akod) values ('Másik', '00002')");
    db.exec("insert into fjfej (f_bszam, f_akod, f_ostermkod, f_prn) values "
            "('20260001', '00002', '00002', 'I')");
    G.ostKod = "00002";
    TForm4 list;
    list.show();
    QCOMPARE(Data->ZQ30->asString("O_KOD"), QString("00002"));
    const QString lock = "confirm:Az őstermelő már szerepel a nyomtatott felvásárlási jegyen !";
    list.button("Button2")->click();
    QCOMPARE(s.ui.log, QStringList{lock});
    QVERIFY(s.ui.modalNames.isEmpty());
    s.ui.clear();
    list.button("Button3")->click();
    QCOMPARE(s.ui.log, QStringList{lock});
    QCOMPARE(db.scalar("select count(*) from ostermelo"), QString("3"));
    // An unprinted ticket does not lock.
    db.exec("update fjfej set f_prn = 'N'");
    s.ui.clear();
    list.button("Button2")->click();
    QCOMPARE(s.ui.modalNames, QStringList{"Form5"});
    // The service letters open it at once, printed or not.
    db.exec("update fjfej set f_prn = 'I'");
    s.ui.clear();
    QTest::keyClick(list.button("Button2"), Qt::Key_A);
    QVERIFY(s.ui.modalNames.isEmpty());
    QTest::keyClick(list.button("Button2"), Qt::Key_X);
    QCOMPARE(s.ui.modalNames, QStringList{"Form5"});
    QVERIFY(s.ui.log.isEmpty());
    list.close();
}

void TstProducers::deletionRules()
{
    UiScope s;
    TestDb db(true);
    G.ostKod = "00003";
    TForm4 list;
    list.show();
    Data->ZQ30->locatePrefix("O_KOD", "00001");
    list.button("Button3")->click();
    QCOMPARE(s.ui.log, QStringList{"msg:Az őstermelő sor törlölve!"});
    QCOMPARE(Data->ZQ30->recordCount(), 2);
    QCOMPARE(Data->ZQ30->asString("O_KOD"), QString("00003")); // back on the remembered code
    QCOMPARE(list.status()->text(), QString(TForm4::StatusInitial));
    // Durable at once: a rollback of the shared transaction does not bring it back.
    Data->ZCon1.startTransaction();
    Data->ZCon1.rollback();
    QCOMPARE(db.scalar("select count(*) from ostermelo where o_kod = '00001'"), QString("0"));
    s.ui.clear();
    list.button("Button3")->click();
    s.ui.clear();
    list.button("Button3")->click();
    QCOMPARE(s.ui.log, QStringList{"confirm:Az utolsó őstermelősor nem törölhető ki."});
    QCOMPARE(db.scalar("select count(*) from ostermelo"), QString("1"));
    list.close();
}

void TstProducers::searchAndSort()
{
    UiScope s;
    TestDb db;
    addProducer(db, "00001", "Kovács Ida", "7000");
    addProducer(db, "00002", "árpád Nagy", "9000");
    addProducer(db, "00003", "Kiss Ödön", "1000");
    addProducer(db, "00004", "Zala Béla", "5000");
    TForm4 list;
    list.show();
    list.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&list));
    list.nevKereso()->setFocus();
    QTest::keyClicks(list.nevKereso(), "Ár");
    QCOMPARE(Data->ZQ30->asString("O_NEV"), QString("árpád Nagy"));
    QCOMPARE(list.panelText("O_NEV"), QString("árpád Nagy"));
    list.nevKereso()->clear();
    QTest::keyClicks(list.nevKereso(), "ki");
    QCOMPARE(Data->ZQ30->asString("O_NEV"), QString("Kiss Ödön"));

    // Sort by the column holding the cell cursor (Irszám), whichever title is clicked.
    list.status()->setText("x");
    list.grid()->setCurrentColumn(2);
    emit list.grid()->horizontalHeader()->sectionClicked(0);
    QCOMPARE(Data->ZQ30->recNo(), 0);
    QStringList order;
    for (int r = 0; r < Data->ZQ30->recordCount(); ++r)
        order << Data->ZQ30->valueAt(r, Data->ZQ30->fieldIndex("O_IRSZAM")).toString();
    QCOMPARE(order, (QStringList{"1000", "5000", "7000", "9000"}));
    QCOMPARE(list.status()->text(), QString("x"));
    // A re-read of the list ("last" far away, a search) keeps the marked column.
    producers::runList(Data->ZQ30);
    QCOMPARE(list.grid()->currentIndex().column(), 2);
    QCOMPARE(list.grid()->model()->headerData(24, Qt::Horizontal).toString(), QString("kamarai reg."));
    list.close();
}

void TstProducers::windowsClosed()
{
    QTRY_VERIFY(QApplication::topLevelWidgets().isEmpty() ||
                std::none_of(QApplication::topLevelWidgets().begin(),
                             QApplication::topLevelWidgets().end(),
                             [](QWidget* w) { return w->isVisible(); }));
}

QTEST_MAIN(TstProducers)
#include "tst_producers.moc"
