// Ticket entry and line entry through their screens.
#include "testsupport.h"

#include "tickets/Unit10.h"
#include "tickets/Unit8.h"
#include "tickets/Unit9.h"
#include "gui/dbwidgets.h"
#include "gui/edits.h"
#include "tickets/ticketentry.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

class TstEntry : public QObject {
    Q_OBJECT
private slots:
    void newTicketEndToEnd();
    void checksInOrder();
    void orphanLinesOfAbandonedTicketRemoved();
    void nonNumericLineRefusedBeforeAnyStatement();
    void counterFailureRollsBackTheWholeSave();
    void modificationClearsPrintMarkAndKeepsHiddenFieldsZero();
    void transferProducerAndPaymentDate();
    void missingCounterRefusesNewTicket();
    void newTicketFromTheList();
    void declarationEnterMovesOn();
    void opensOnTheIssueDate();
    void weightDeductionTypedWrongStoresNoLine();
    void gridStandsOnTheLineWorkedOn();
};

namespace {

struct LineInput {
    QString name, vtsz, qty, unit, price, komp;
};

// Drives the nested screens: the producer list picks `producer`, each line
// entry takes the next of `lines` and saves it.
void script(RecordingUi& ui, QString producer, QList<LineInput>* lines)
{
    ui.onModal = [&ui, producer, lines](QDialog* d) -> int {
        if (d->objectName() == "Form4") {
            d->show();
            Data->ZQ30->locatePrefix("O_KOD", producer);
            d->hide();
            return QDialog::Accepted;
        }
        if (auto* f = qobject_cast<TForm10*>(d)) {
            if (lines->isEmpty())
                return QDialog::Rejected;
            LineInput l = lines->takeFirst();
            f->show();
            f->edit("S_MEGNEVEZES")->setText(l.name);
            f->edit("S_VTSZ")->setText(l.vtsz);
            f->edit("S_BRUTTO")->setText(l.qty);
            f->edit("S_MEGY")->setText(l.unit);
            f->edit("S_EAR")->setText(l.price);
            f->edit("S_KOMPMERTEKE")->setText(l.komp);
            bool ok = f->save();
            f->hide();
            return ok ? QDialog::Accepted : QDialog::Rejected;
        }
        return QDialog::Rejected;
    };
}

} // namespace

void TstEntry::newTicketEndToEnd()
{
    UiScope s;
    TestDb db(true);
    db.selectBuyer();
    QList<LineInput> lines = {{"Búza", "1001", "100", "kg", "62,5", "12"},
                              {"Napraforgó", "1206", "50,5", "kg", "140", "12"}};
    script(s.ui, "00001", &lines);
    TForm9 f(TForm9::Mode::New);
    QVERIFY(f.prepareNew());
    QCOMPARE(f.bszam(), QString("%1").arg(QDate::currentDate().year() * 10000 + 1));
    f.show();
    f.chooseProducer();
    QCOMPARE(f.ostKod(), QString("00001"));
    QCOMPARE(f.edit("szja")->text(), QString("15"));
    QVERIFY(!f.utal()->isChecked());
    f.newLine();
    f.newLine();
    // Until the save the lines wait under this attachment's key, not the number.
    QVERIFY(f.linesKey().startsWith('*'));
    QCOMPARE(db.scalar("select count(*) from fjsor where s_bszam = '" + f.linesKey() + "'"), QString("2"));
    QCOMPARE(db.scalar("select count(*) from fjsor where s_bszam = '" + f.bszam() + "'"), QString("0"));
    // The grid shows the number offered, never the key.
    QCOMPARE(f.lines()->model()->index(0, 0).data().toString(), f.bszam());
    // V = 100*62.5*1.12 + 50.5*140*1.12 = 7000 + 7918.4 = 14918.4; SZ 15 % = 2237.76
    QCOMPARE(f.total("var")->text(), QString("14 918"));
    QCOMPARE(f.total("fizetendo")->text(), QString("12680")); // 12680.64 -> 12681 -> cash 12680
    QVERIFY(f.save());
    QCOMPARE(f.linesKey(), f.bszam());
    QCOMPARE(db.scalar("select count(*) from fjsor where s_bszam = '" + f.bszam() + "'"), QString("2"));
    QCOMPARE(db.scalar("select count(*) from fjsor where s_bszam starting with '*'"), QString("0"));
    TQuery q(&db.data()->ZCon1, "q");
    q.setSql("select * from fjfej where f_bszam = :b");
    q.setText("b", f.bszam());
    q.open();
    QCOMPARE(q.recordCount(), 1);
    QCOMPARE(q.asString("F_OSTERMKOD"), QString("00001"));
    QCOMPARE(q.asString("F_AKOD"), QString("00001"));
    QCOMPARE(q.asString("F_TIPUS"), QString("1"));
    QCOMPARE(q.asFloat("F_MUVKTG"), 12680.0);
    QCOMPARE(q.asFloat("F_SUMVAR"), 14918.4);
    QCOMPARE(q.asString("F_UTAL"), QString(" "));
    QCOMPARE(q.asDate("F_KELT"), s.ui.todayValue);
    QVERIFY(q.isNull("F_PRN"));
    QCOMPARE(db.scalar("select a_fjbszam from sorszam"), f.bszam());
    // The list was re-read and stands on the new ticket.
    QCOMPARE(Data->ZQ10->asString("F_BSZAM"), f.bszam());
    QCOMPARE(Data->ZQ10->asString("O_NEV"), QString("Kovács János"));
    QCOMPARE(s.ui.modalNames, (QStringList{"Form4", "Form10", "Form10"}));
}

void TstEntry::checksInOrder()
{
    UiScope s;
    TestDb db(true);
    db.selectBuyer();
    TForm9 f(TForm9::Mode::New);
    QVERIFY(f.prepareNew());
    f.show();
    auto expect = [&](const QString& msg) {
        s.ui.clear();
        QVERIFY(!f.save());
        QCOMPARE(s.ui.log, QStringList{"msg:" + msg});
    };
    f.edit("kelt")->setText(" ");
    expect("Nincs megadva a kiállítás dátuma!");
    f.edit("kelt")->setText("2026.13.01");
    f.edit("felvkelt")->clear();
    expect("Nincs megadva a felvásárlás dátuma!");
    f.edit("felvkelt")->setText("2026.12.01");
    f.edit("fizkelt")->clear();
    expect("Nincs megadva a átvétel dátum!");
    f.edit("fizkelt")->setText("2026.12");
    f.edit("szja")->clear();
    expect("Nincs megadva az szja!");
    f.edit("szja")->setText("0");
    expect("Nincs kiválasztva őstermelő!");
    f.takeProducer("00002");
    // The optional fields are hidden without a settings file, and hold 0.
    QCOMPARE(f.edit("levonas")->text(), QString("0"));
    f.edit("levonas")->clear();
    expect("Nincs megadva vagy nem nulla a levonás!");
    f.edit("levonas")->setText("0");
    f.edit("levonszaz")->clear();
    expect("Nincs megadva súlylevonás % -a vagy nem nulla!");
    f.edit("levonszaz")->setText("0");
    f.edit("jarul")->clear();
    expect("Nincs megadva tagok hozzájárulása % -a vagy nem nulla!");
    f.edit("jarul")->setText("0");
    expect("Hibás a kiállítás dátuma!");
    f.edit("kelt")->setText("2026.12.01");
    f.edit("felvkelt")->setText("2026.02.30");
    expect("Hibás a felvásárlás dátuma!");
    f.edit("felvkelt")->setText("2026.12.01");
    expect("Hibás az átvétel/utalás dátuma!");
    f.edit("fizkelt")->setText("2026.12.01");
    expect("Nincs a felvásárlási jegynek tételsora!");
    QCOMPARE(db.scalar("select count(*) from fjfej"), QString("0"));
}

void TstEntry::orphanLinesOfAbandonedTicketRemoved()
{
    UiScope s;
    TestDb db(true);
    db.selectBuyer();
    QList<LineInput> lines = {{"Tojás", "0407", "30", "db", "45", "7"}};
    script(s.ui, "00001", &lines);
    QString number, key;
    {
        TForm9 f(TForm9::Mode::New);
        QVERIFY(f.prepareNew());
        number = f.bszam();
        key = f.linesKey();
        f.newLine();
        // "Mégsem": the line stays stored under the key of the unsaved ticket.
    }
    QCOMPARE(db.scalar("select count(*) from fjsor where s_bszam = '" + key + "'"), QString("1"));
    // Lines an earlier version left under the offered number, and lines of an
    // attachment that has ended (a crash on another computer), go too.
    db.exec("insert into fjsor (s_bszam, s_megnevezes) values ('" + number + "', 'régi')");
    db.exec("insert into fjsor (s_bszam, s_megnevezes) values ('*9999999', 'halott')");
    TForm9 g(TForm9::Mode::New);
    QVERIFY(g.prepareNew());
    QCOMPARE(g.bszam(), number);
    QCOMPARE(g.linesKey(), key);
    QCOMPARE(db.scalar("select count(*) from fjsor"), QString("0"));
    QCOMPARE(g.lines()->query()->recordCount(), 0);
}

void TstEntry::nonNumericLineRefusedBeforeAnyStatement()
{
    UiScope s;
    TestDb db(true);
    db.selectBuyer();
    TForm10 f(TForm10::Mode::New, "20260001", "0");
    f.show();
    f.edit("S_MEGNEVEZES")->setText("Búza");
    f.edit("S_VTSZ")->setText("1001");
    f.edit("S_MEGY")->setText("kg");
    f.edit("S_EAR")->setText("62,5");
    f.edit("S_KOMPMERTEKE")->setText("12");
    for (const char* bad : {"-", "1,2,3", "--5", ","}) {
        s.ui.clear();
        f.edit("S_BRUTTO")->setText(bad);
        QVERIFY(!f.save());
        QCOMPARE(s.ui.log, QStringList{"msg:A mennyiség nem szám!"});
    }
    f.edit("S_BRUTTO")->setText("-12,5");
    f.edit("S_EAR")->setText("6,2,5");
    s.ui.clear();
    QVERIFY(!f.save());
    QCOMPARE(s.ui.log, QStringList{"msg:Az egységár nem szám!"});
    QCOMPARE(db.scalar("select count(*) from fjsor"), QString("0"));
    // A negative quantity is stored as typed; the amounts come out negative.
    f.edit("S_EAR")->setText("62,5");
    QVERIFY(f.save());
    QCOMPARE(db.scalar("select s_brutto from fjsor"), QString("-12,5"));
    QCOMPARE(db.scalar("select s_vetelar from fjsor"), QString("-875"));
    // Typed keys outside the filter never reach the field.
    f.edit("S_EAR")->clear();
    QTest::keyClicks(f.edit("S_EAR"), "1a2-3,5");
    QCOMPARE(f.edit("S_EAR")->text(), QString("123,5"));
}

void TstEntry::counterFailureRollsBackTheWholeSave()
{
    UiScope s;
    TestDb db(true);
    db.selectBuyer();
    QList<LineInput> lines = {{"Búza", "1001", "10", "kg", "100", "12"}};
    script(s.ui, "00002", &lines);
    TForm9 f(TForm9::Mode::New);
    QVERIFY(f.prepareNew());
    f.show();
    f.chooseProducer();
    f.newLine();
    // The counter row disappears behind the screen's back.
    db.exec("delete from sorszam");
    s.ui.clear();
    QVERIFY(!f.save());
    QCOMPARE(s.ui.log, QStringList{"msg:Hiba93: Új UPDATE Sorszam -ba "});
    QCOMPARE(db.scalar("select count(*) from fjfej"), QString("0"));
    QVERIFY(f.isVisible()); // what was typed is still there
    QCOMPARE(f.ostKod(), QString("00002"));
}

void TstEntry::modificationClearsPrintMarkAndKeepsHiddenFieldsZero()
{
    UiScope s;
    TestDb db(true);
    db.selectBuyer();
    db.exec("insert into fjfej (f_bszam, f_akod, f_ostermkod, f_kelt, f_felvkelt, f_fizkelt, "
            "f_utal, f_prn, f_szja, f_jarulszaz, f_levonas, f_nyilatk, f_tipus, f_muvktg) values "
            "('20260005', '00001', '00002', '2026-11-02', '2026-11-02', '2026-11-10', 'x', 'I', "
            "0, 3, 100, 'rövid', '1', 1)");
    db.exec("insert into fjsor (s_bszam, s_brutto, s_levonszaz, s_ear, s_kompmerteke, s_akod) "
            "values ('20260005', 10, 5, 100, 12, '00001')");
    Data->ZQ10->setSql("select * from fjfej left join ostermelo on f_ostermkod = o_kod");
    Data->ZQ10->open();
    TForm9 f(TForm9::Mode::Modify);
    QVERIFY(f.load());
    f.show();
    QCOMPARE(f.windowTitle(), QString("Felvásárlási jegy módositás"));
    QVERIFY(f.utal()->isChecked());
    QVERIFY(!f.nyilatkBox()->isChecked()); // fewer than 6 characters counts as none
    QCOMPARE(f.edit("kelt")->text(), QString("2026.11.02"));
    // With the options switched off, the stored 3 % and 100 Ft become 0.
    QCOMPARE(f.edit("jarul")->text(), QString("0"));
    QCOMPARE(f.edit("levonas")->text(), QString("0"));
    QCOMPARE(f.total("fizetendo")->text(), QString("1064")); // 950 * 1.12, by transfer
    QVERIFY(f.save());
    TQuery q(&db.data()->ZCon1, "q");
    q.setSql("select * from fjfej where f_bszam = '20260005'");
    q.open();
    QCOMPARE(q.asString("F_PRN"), QString(" "));
    QCOMPARE(q.asFloat("F_JARULSZAZ"), 0.0);
    QCOMPARE(q.asFloat("F_MUVKTG"), 1064.0);
    QCOMPARE(q.asString("F_NYILATK"), QString(" "));
    QCOMPARE(q.asString("F_TIPUS"), QString("1"));
}

void TstEntry::transferProducerAndPaymentDate()
{
    UiScope s;
    TestDb db(true);
    db.selectBuyer();
    db.exec("update ostermelo set o_bankszla = '11773016-22222222', o_fhat = 15 where o_kod = '00003'");
    TForm9 f(TForm9::Mode::New);
    QVERIFY(f.prepareNew());
    f.edit("felvkelt")->setText("2026.12.01");
    f.takeProducer("00003");
    QVERIFY(f.utal()->isChecked());
    QCOMPARE(f.edit("fizkelt")->text(), QString("2026.12.16"));
    db.exec("update ostermelo set o_fhat = null where o_kod = '00003'");
    f.takeProducer("00003");
    QCOMPARE(f.edit("fizkelt")->text(), QString("2026.12.09"));
    f.takeProducer("00001"); // no account: cash, the date stays
    QVERIFY(!f.utal()->isChecked());
    QCOMPARE(f.edit("fizkelt")->text(), QString("2026.12.09"));
}

void TstEntry::missingCounterRefusesNewTicket()
{
    UiScope s;
    TestDb db(true);
    db.selectBuyer();
    db.exec("delete from sorszam");
    TForm9 f(TForm9::Mode::New);
    QVERIFY(!f.prepareNew());
    QCOMPARE(s.ui.log.size(), 1);
    QVERIFY(s.ui.log[0].contains("Évnyitás"));
}

void TstEntry::newTicketFromTheList()
{
    UiScope s;
    TestDb db(true);
    db.selectBuyer();
    QList<LineInput> lines = {{"Tojás", "0407", "30", "db", "45", "7"}};
    script(s.ui, "00002", &lines);
    auto lineEntry = s.ui.onModal;
    QString seenNumber, seenDate;
    s.ui.onModal = [&](QDialog* d) -> int {
        auto* f = qobject_cast<TForm9*>(d);
        if (!f)
            return lineEntry(d);
        f->show();
        seenNumber = f->bszam();
        seenDate = f->edit("kelt")->text();
        f->chooseProducer();
        f->newLine();
        bool ok = f->save();
        f->hide();
        return ok ? QDialog::Accepted : QDialog::Rejected;
    };
    TForm8 list;
    list.show();
    list.findChild<QPushButton*>("Button1")->click(); // Új
    QCOMPARE(seenNumber, QString("%1").arg(QDate::currentDate().year() * 10000 + 1));
    QCOMPARE(seenDate, QString("2026.12.09"));
    QCOMPARE(db.scalar("select count(*) from fjfej"), QString("1"));
    QCOMPARE(Data->ZQ10->asString("F_BSZAM"), seenNumber);
    QCOMPARE(db.scalar("select f_muvktg from fjfej"), QString("1445")); // 30 * 45 * 1.07 = 1444.5
}

void TstEntry::declarationEnterMovesOn()
{
    UiScope s;
    TestDb db(true);
    db.selectBuyer();
    TForm9 f(TForm9::Mode::New);
    QVERIFY(f.prepareNew());
    f.show();
    QVERIFY(QTest::qWaitForWindowActive(&f));
    QPlainTextEdit* ny = f.nyilatk();
    ny->setPlainText("Saját termelés");
    ny->setFocus();
    QTRY_VERIFY(ny->hasFocus());
    ny->moveCursor(QTextCursor::End);
    QTest::keyClick(ny, Qt::Key_Return);
    QTRY_VERIFY(!ny->hasFocus());
    QVERIFY(QApplication::focusWidget() != nullptr);
    QCOMPARE(ny->toPlainText(), QString("Saját termelés"));
    // The keypad's Enter too; Shift+Enter goes back to the box before it.
    ny->setFocus();
    QTRY_VERIFY(ny->hasFocus());
    QTest::keyClick(ny, Qt::Key_Enter);
    QTRY_VERIFY(!ny->hasFocus());
    ny->setFocus();
    QTRY_VERIFY(ny->hasFocus());
    QTest::keyClick(ny, Qt::Key_Return, Qt::ShiftModifier);
    QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(f.nyilatkBox()));
    QVERIFY(!ny->toPlainText().contains('\n'));
    // Typing still works.
    ny->setFocus();
    QTRY_VERIFY(ny->hasFocus());
    QTest::keyClicks(ny, " is");
    QCOMPARE(ny->toPlainText(), QString("Saját termelés is"));
}

void TstEntry::opensOnTheIssueDate()
{
    UiScope s;
    TestDb db(true);
    db.selectBuyer();
    TForm9 f(TForm9::Mode::New);
    QVERIFY(f.prepareNew());
    f.show();
    QVERIFY(QTest::qWaitForWindowActive(&f));
    QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(f.edit("kelt")));
    // The number is shown, not typed: read-only, drawn so, and passed by Tab.
    auto* sorszam = f.findChild<QLineEdit*>("Edit1");
    QVERIFY(sorszam->isReadOnly());
    QCOMPARE(sorszam->palette().color(QPalette::Base), sorszam->palette().color(QPalette::Window));
    QVERIFY(!(sorszam->focusPolicy() & Qt::TabFocus));
    for (const char* name : {"tot_fizetendo", "ost_O_NEV", "card_O_KOD"}) {
        auto* e = f.findChild<QLineEdit*>(name);
        QVERIFY2(e && e->isReadOnly(), name);
        QCOMPARE(e->palette().color(QPalette::Base), e->palette().color(QPalette::Window));
    }
    // The totals hold the largest amount a line may lead to without cutting it.
    for (const char* k : {"far", "kfelar", "var", "fizetendo"}) {
        QLineEdit* e = f.total(k);
        e->setText("-999 999 999 999");
        QVERIFY2(e->fontMetrics().horizontalAdvance(e->text()) <= e->width() - 8, k);
    }
    // Shift+Tab from the first field does not land on the number.
    QTest::keyClick(f.edit("kelt"), Qt::Key_Backtab);
    QTRY_VERIFY(QApplication::focusWidget() != f.edit("kelt"));
    QVERIFY(QApplication::focusWidget() != sorszam);
}

void TstEntry::weightDeductionTypedWrongStoresNoLine()
{
    UiScope s;
    TestDb db(true);
    db.selectBuyer();
    TForm9 f(TForm9::Mode::New);
    QVERIFY(f.prepareNew());
    // The ticket screen's "Súlylevon.%" reaches the line entry as typed.
    f.edit("levonszaz")->setText("5,,5");
    s.ui.onModal = [](QDialog* d) {
        auto* l = qobject_cast<TForm10*>(d);
        if (!l)
            return int(QDialog::Rejected);
        l->show();
        l->edit("S_MEGNEVEZES")->setText("Búza");
        l->edit("S_VTSZ")->setText("1001");
        l->edit("S_BRUTTO")->setText("100");
        l->edit("S_MEGY")->setText("kg");
        l->edit("S_EAR")->setText("62,5");
        l->edit("S_KOMPMERTEKE")->setText("12");
        l->findChild<QPushButton*>("Button1")->click();
        return l->result();
    };
    f.newLine();
    QCOMPARE(s.ui.log, QStringList{"msg:A(z) \"Súlylevon.%\" mezőben nem szám áll!"});
    QCOMPARE(db.scalar("select count(*) from fjsor"), QString("0"));
    f.edit("levonszaz")->setText("5,5");
    s.ui.clear();
    f.newLine();
    QVERIFY(s.ui.log.isEmpty());
    QCOMPARE(db.scalar("select s_levonszaz from fjsor"), QString("5,5"));
    QCOMPARE(f.lines()->query()->recordCount(), 1);
    QCOMPARE(f.total("var")->text(), QString("6 615")); // 94,5 kg * 62,5 * 1,12
}

void TstEntry::gridStandsOnTheLineWorkedOn()
{
    UiScope s;
    TestDb db(true);
    db.selectBuyer();
    QList<LineInput> lines = {{"Búza", "1001", "10", "kg", "60", "0"},
                              {"Árpa", "1003", "20", "kg", "50", "0"},
                              {"Zab", "1004", "30", "kg", "40", "0"}};
    script(s.ui, "00001", &lines);
    TForm9 f(TForm9::Mode::New);
    QVERIFY(f.prepareNew());
    f.newLine();
    f.newLine();
    f.newLine();
    TQuery* grid = f.lines()->query();
    QCOMPARE(grid->asString("S_MEGNEVEZES"), QString("Zab")); // a new line is the last
    grid->moveTo(1);
    // The change of the middle line: the grid stays on it, the totals follow.
    QString loaded;
    s.ui.onModal = [&loaded](QDialog* d) -> int {
        auto* l = qobject_cast<TForm10*>(d);
        l->show();
        loaded = l->edit("S_MEGNEVEZES")->text();
        l->edit("S_BRUTTO")->setText("21");
        return l->save() ? QDialog::Accepted : QDialog::Rejected;
    };
    f.changeLine();
    QCOMPARE(loaded, QString("Árpa"));
    QCOMPARE(grid->asString("S_MEGNEVEZES"), QString("Árpa"));
    QCOMPARE(grid->asFloat("S_BRUTTO"), 21.0);
    QCOMPARE(f.total("var")->text(), QString("2 850")); // 600 + 1050 + 1200
    // A new line given up: nothing stored, the grid stays on the middle line.
    s.ui.onModal = [](QDialog*) { return int(QDialog::Rejected); };
    f.newLine();
    QCOMPARE(grid->recordCount(), 3);
    QCOMPARE(grid->asString("S_MEGNEVEZES"), QString("Árpa"));

    // Enter walks the lines, and after the last one leaves the grid for the
    // buttons under it.
    // Generous waits: on a loaded machine activation can take seconds.
    f.show();
    QVERIFY(QTest::qWaitForWindowActive(&f, 20000));
    DBGrid* view = f.lines();
    view->setFocus();
    QTRY_VERIFY_WITH_TIMEOUT(view->hasFocus(), 20000);
    QCOMPARE(view->currentIndex().row(), 1);
    QTest::keyClick(view, Qt::Key_Return);
    QCOMPARE(view->currentIndex().row(), 2);
    QVERIFY(view->hasFocus());
    QTest::keyClick(view, Qt::Key_Return);
    QTRY_VERIFY_WITH_TIMEOUT(!view->hasFocus(), 20000);
    QVERIFY(view->parentWidget()->isAncestorOf(QApplication::focusWidget()));
}

QTEST_MAIN(TstEntry)
#include "tst_entry.moc"
