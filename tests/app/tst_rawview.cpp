// The raw table view: what each access code opens, row edits written by ID
// and committed at once, a refused post keeping the row in edit, and a long
// table shown a window at a time.
#include "testsupport.h"

#include "Unit2.h"
#include "Unit22.h"
#include "Unit23.h"
#include "gui/dbwidgets.h"
#include "rawedit.h"

#include <QApplication>
#include <QFont>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

#include <optional>

class TstRawView : public QObject {
    Q_OBJECT
private slots:
    void noCodeLeavesEverythingReadOnly();
    void firstCodeOpensFiveTables();
    void secondCodeOpensSixWithTheBuyerTab();
    void editsAreCommittedAtOnce();
    void leavingTheRowPostsIt();
    void failedPostKeepsTheRowInEdit();
    void cellEditsPostLikeADatabaseGrid();
    void refusedCellPostKeepsTheRow();
    void insertAndDelete();
    void unitTypesAndRefusals();
    void longTableIsHeldAsAWindow();
};

namespace {

void addProducers(TestDb& db)
{
    db.exec("insert into ostermelo (o_kod, o_nev, o_akod) values ('00101', 'Kovács Gazda', '00001')");
    db.exec("insert into ostermelo (o_kod, o_nev, o_akod) values ('00102', 'Szabó Gazda', '00001')");
}

// Answers the access code dialog with the text, by OK or by "Mégsem".
void answerCode(UiScope& s, const QString& code, bool ok = true)
{
    s.ui.onModal = [code, ok](QDialog* d) {
        auto* dlg = qobject_cast<TPasswordDlg*>(d);
        if (!dlg)
            return int(QDialog::Rejected);
        dlg->Password->setText(code);
        dlg->findChild<QPushButton*>(ok ? "OKBtn" : "CancelBtn")->click();
        return dlg->result();
    };
}

QWidget* bar(TForm22& f, int tab)
{
    return f.findChild<QWidget*>(QString("EditBar%1").arg(tab + 1));
}

// Stands the producer table on the row with the code.
void standOn(const QString& kod)
{
    TTable* t = Data->IBTable3;
    for (t->first(); !t->eof(); t->next())
        if (t->asString("O_KOD") == kod)
            return;
    QFAIL("producer row missing");
}

// The grid's cell of the field in the current row, made current.
QModelIndex cellOf(DBGrid* g, const QString& field)
{
    auto* m = g->queryModel();
    for (int c = 0; c < m->columnCount(); ++c)
        if (m->fieldAt(c) == field) {
            const QModelIndex idx = m->index(g->query()->recNo(), c);
            g->setCurrentIndex(idx);
            return idx;
        }
    return {};
}

QLineEdit* editorOf(DBGrid* g, const QModelIndex& idx)
{
    return qobject_cast<QLineEdit*>(g->indexWidget(idx));
}

// What another attachment reads: the file, not the shared transaction.
QString readElsewhere(TestDb& db, const QString& sql)
{
    if (Data->IBTrans1.inTransaction())
        Data->IBTrans1.rollback();
    fb::Connection other;
    other.attach(db.file());
    const QString v = other.execute(sql).rows.at(0).at(0).toString();
    other.rollback();
    other.detach();
    return v;
}

// The view on a register with two producers, unlocked by the first code.
struct Unlocked {
    UiScope s;
    TestDb db;
    std::optional<TForm22> f;
    Unlocked()
    {
        addProducers(db);
        f.emplace();
        f->show();
        f->applyCode(rawedit::FirstCode);
    }
    // The producer tab's grid, shown and focused.
    DBGrid* producerGrid()
    {
        f->PageControl1->setCurrentIndex(2);
        auto* grid = f->findChild<DBGrid*>("DBGrid3");
        grid->setFocus();
        return grid;
    }
};

} // namespace

void TstRawView::noCodeLeavesEverythingReadOnly()
{
    UiScope s;
    TestDb db;
    addProducers(db);
    TForm22 f;
    f.show();
    QCOMPARE(f.windowTitle(), QString("Adatbázis"));
    QCOMPARE(f.PageControl1->count(), 6);
    QCOMPARE(f.PageControl1->tabText(5), QString("Atvevo"));
    auto* buyerGrid = f.findChild<DBGrid*>("DBGrid6");
    QVERIFY(!buyerGrid->isVisibleTo(&f));
    QVERIFY(!buyerGrid->query()); // the buyer tab shows nothing
    // The producers are shown, but no table takes a change.
    f.PageControl1->setCurrentIndex(2);
    QTRY_COMPARE(f.findChild<DBGrid*>("DBGrid3")->model()->rowCount(), 2);
    for (int i = 0; i < 6; ++i) {
        QVERIFY(!bar(f, i)->isEnabled());
        QVERIFY(!f.startEdit(i));
        QVERIFY(!f.startInsert(i));
    }
    // The cells neither: F2 and typing open no editor, the model takes nothing.
    auto* grid = f.findChild<DBGrid*>("DBGrid3");
    standOn("00101");
    const QModelIndex name = cellOf(grid, "O_NEV");
    QVERIFY(name.isValid());
    QVERIFY(!(grid->model()->flags(name) & Qt::ItemIsEditable));
    grid->setFocus();
    QTest::keyClick(grid, Qt::Key_F2);
    QTest::keyClick(grid, Qt::Key_X);
    QVERIFY(!editorOf(grid, name));
    QVERIFY(!grid->model()->setData(name, "x"));
    QVERIFY(!f.editing(2));
    QCOMPARE(rawedit::update(&Data->ZCon1, rawedit::Access::ReadOnly, "OSTERMELO", 1,
                             {{"O_NEV", "x"}}).kind,
             rec::Outcome::CheckFailed);
    QCOMPARE(db.scalar("select count(*) from ostermelo where o_nev = 'x'"), QString("0"));
    // A wrong code, and the right one withdrawn by "Mégsem", open nothing and say nothing.
    answerCode(s, "12345");
    f.BitBtn1->click();
    QCOMPARE(f.access(), rawedit::Access::ReadOnly);
    answerCode(s, rawedit::FirstCode, false);
    f.BitBtn1->click();
    QCOMPARE(f.access(), rawedit::Access::ReadOnly);
    QCOMPARE(s.ui.modalNames.size(), 2);
    QVERIFY(s.ui.log.isEmpty());
    f.reject();
}

void TstRawView::firstCodeOpensFiveTables()
{
    UiScope s;
    TestDb db;
    addProducers(db);
    {
        TForm22 f;
        f.show();
        answerCode(s, rawedit::FirstCode);
        f.BitBtn1->click();
        QCOMPARE(f.access(), rawedit::Access::Five);
        for (int i = 0; i < 5; ++i)
            QVERIFY(bar(f, i)->isEnabled());
        QVERIFY(!f.findChild<DBGrid*>("DBGrid6")->isVisibleTo(&f));
        QVERIFY(!f.startEdit(5));
        QVERIFY(!f.startInsert(5));
        QCOMPARE(rawedit::update(&Data->ZCon1, f.access(), "ATVEVO", 1, {{"V_NEVE", "x"}}).kind,
                 rec::Outcome::CheckFailed);
        // A second press asks again; the second code then adds the buyers.
        answerCode(s, rawedit::SecondCode);
        f.BitBtn1->click();
        QCOMPARE(s.ui.modalNames.size(), 2);
        QCOMPARE(f.access(), rawedit::Access::All);
        // The first code does not take the buyers away again.
        answerCode(s, rawedit::FirstCode);
        f.BitBtn1->click();
        QCOMPARE(f.access(), rawedit::Access::All);
        f.reject();
        QCOMPARE(f.access(), rawedit::Access::ReadOnly);
    }
    // The letter key, in either case, on either button, does what the first code does.
    for (auto [name, key] : {std::pair{"BitBtn1", Qt::Key_J}, std::pair{"BitBtn2", Qt::Key_J}}) {
        TForm22 f;
        f.show();
        auto* b = f.findChild<QPushButton*>(name);
        QTest::keyClick(b, 'a');
        QCOMPARE(f.access(), rawedit::Access::ReadOnly);
        QTest::keyClick(b, key, QString(name) == "BitBtn1" ? Qt::NoModifier : Qt::ShiftModifier);
        QCOMPARE(f.access(), rawedit::Access::Five);
        QVERIFY(f.isVisible()); // the key did not press the button
        f.reject();
    }
    QCOMPARE(s.ui.modalNames.size(), 3);
}

void TstRawView::secondCodeOpensSixWithTheBuyerTab()
{
    UiScope s;
    TestDb db;
    TForm22 f;
    f.show();
    answerCode(s, rawedit::SecondCode);
    f.BitBtn1->click();
    QCOMPARE(f.access(), rawedit::Access::All);
    auto* grid = f.findChild<DBGrid*>("DBGrid6");
    f.PageControl1->setCurrentIndex(5);
    QVERIFY(grid->isVisible());
    QCOMPARE(grid->query(), static_cast<TQuery*>(Data->IBTable6));
    QTRY_VERIFY(grid->model()->rowCount() >= 1);
    QVERIFY(bar(f, 5)->isVisible() && bar(f, 5)->isEnabled());
    Data->IBTable6->first();
    const QString id = Data->IBTable6->asString("ID_ATVEVO");
    QVERIFY(f.startEdit(5));
    f.setEditorText(5, "V_NYILATK", "Új nyilatkozat");
    QVERIFY(f.post(5));
    QCOMPARE(db.scalar("select v_nyilatk from atvevo where id_atvevo = " + id),
             QString("Új nyilatkozat"));
    f.reject();
}

// A posted row is in the file at once: another attachment reads it, and a
// rollback of the shared transaction cannot take it back.
void TstRawView::editsAreCommittedAtOnce()
{
    Unlocked u;
    TestDb& db = u.db;
    TForm22& f = *u.f;
    standOn("00102");
    QVERIFY(f.startEdit(2));
    QCOMPARE(f.editorText(2, "O_NEV"), QString("Szabó Gazda"));
    QVERIFY(f.editorText(2, "ID_OSTERMELO").isEmpty()); // the ID is not offered
    f.setEditorText(2, "O_NEV", "Szabó Árpád");
    QVERIFY(f.post(2));
    QVERIFY(!f.editing(2));
    if (Data->IBTrans1.inTransaction())
        Data->IBTrans1.rollback();
    fb::Connection other;
    other.attach(db.file());
    TQuery q(&other, "check");
    q.setSql("select o_nev from ostermelo where o_kod = '00102'");
    q.open();
    QCOMPARE(q.asString("O_NEV"), QString("Szabó Árpád"));
    q.close();
    other.detach();
    // The grid shows the written row.
    QCOMPARE(Data->IBTable3->asString("O_NEV"), QString("Szabó Árpád"));
    QCOMPARE(db.scalar("select o_nev from ostermelo where o_kod = '00101'"), QString("Kovács Gazda"));
    f.reject();
}

void TstRawView::leavingTheRowPostsIt()
{
    Unlocked u;
    TestDb& db = u.db;
    TForm22& f = *u.f;
    standOn("00101");
    QVERIFY(f.startEdit(2));
    f.setEditorText(2, "O_HELYSEGNEV", "Szeged");
    Data->IBTable3->next();
    QTRY_VERIFY(!f.editing(2));
    QCOMPARE(db.scalar("select o_helysegnev from ostermelo where o_kod = '00101'"), QString("Szeged"));
    // Closing with a row not posted writes nothing.
    standOn("00102");
    QVERIFY(f.startEdit(2));
    f.setEditorText(2, "O_HELYSEGNEV", "Pécs");
    f.reject();
    QCOMPARE(db.scalar("select count(*) from ostermelo where o_helysegnev = 'Pécs'"), QString("0"));
}

void TstRawView::failedPostKeepsTheRowInEdit()
{
    Unlocked u;
    UiScope& s = u.s;
    TestDb& db = u.db;
    TForm22& f = *u.f;
    standOn("00101");
    QVERIFY(f.startEdit(2));
    const QString tooLong(46, QChar('x'));
    f.setEditorText(2, "O_NEV", tooLong);
    f.setEditorText(2, "O_HELYSEGNEV", "Győr");
    QVERIFY(!f.post(2));
    QVERIFY(f.editing(2));
    QCOMPARE(f.editorText(2, "O_NEV"), tooLong);
    // The database layer's own text, as an error, names the column.
    QCOMPARE(s.ui.log.size(), 1);
    QVERIFY2(s.ui.log[0].startsWith("error:") && s.ui.log[0].contains("O_NEV"),
             qPrintable(s.ui.log[0]));
    // Nothing of the row was written, the other column neither.
    QCOMPARE(db.scalar("select o_nev from ostermelo where o_kod = '00101'"), QString("Kovács Gazda"));
    QCOMPARE(db.scalar("select count(*) from ostermelo where o_helysegnev = 'Győr'"), QString("0"));
    // A row deleted by another attachment meanwhile: the database's message, still in edit.
    f.setEditorText(2, "O_NEV", "Kovács Béla");
    db.exec("delete from ostermelo where o_kod = '00101'");
    QVERIFY(!f.post(2));
    QVERIFY(f.editing(2));
    QVERIFY(s.ui.log.last().startsWith("error:"));
    QCOMPARE(db.scalar("select count(*) from ostermelo where o_nev = 'Kovács Béla'"), QString("0"));
    f.cancel(2);
    QVERIFY(!f.editing(2));
    f.reject();
}

// F2 or typing edits a cell, Enter posts the row (written at once), Esc
// cancels it, leaving the row posts it; the ID and computed columns stay shut.
void TstRawView::cellEditsPostLikeADatabaseGrid()
{
    UiScope s;
    TestDb db;
    addProducers(db);
    db.exec("insert into fjsor (s_bszam, s_brutto, s_levonszaz) values ('10000001', 100, 10)");
    TForm22 f;
    f.show();
    f.applyCode(rawedit::FirstCode);
    f.PageControl1->setCurrentIndex(2);
    auto* grid = f.findChild<DBGrid*>("DBGrid3");
    grid->setFocus();
    standOn("00102");
    QModelIndex cell = cellOf(grid, "O_NEV");
    QVERIFY(!(grid->model()->flags(cellOf(grid, "ID_OSTERMELO")) & Qt::ItemIsEditable));
    cell = cellOf(grid, "O_NEV");
    QTest::keyClick(grid, Qt::Key_F2);
    QLineEdit* ed = editorOf(grid, cell);
    QVERIFY(ed);
    QCOMPARE(ed->text(), QString("Szabó Gazda"));
    ed->selectAll();
    ed->insert("Szabó Árpád"); // QTest types Latin-1 letters only
    QTest::keyClick(ed, Qt::Key_Return);
    // The cell is committed and the row posted once the key is handled.
    QTRY_VERIFY(!editorOf(grid, cell) && !f.editing(2));
    QCOMPARE(readElsewhere(db, "select o_nev from ostermelo where o_kod = '00102'"), QString("Szabó Árpád"));
    QCOMPARE(Data->IBTable3->asString("O_KOD"), QString("00102"));

    // Typing starts the edit with the key; Esc throws the row's edit away.
    cell = cellOf(grid, "O_HELYSEGNEV");
    QTest::keyClick(grid, 'P');
    ed = editorOf(grid, cell);
    QVERIFY(ed);
    ed->insert("écs");
    QCOMPARE(ed->text(), QString("Pécs"));
    QTest::keyClick(ed, Qt::Key_Tab); // on to the next cell, still the same row
    QTRY_VERIFY(f.editing(2) && !editorOf(grid, cell));
    QCOMPARE(grid->model()->data(cell).toString(), QString("Pécs"));
    QVERIFY(grid->model()->data(cell, Qt::FontRole).value<QFont>().italic()); // not yet written
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    QTRY_VERIFY(!f.editing(2));
    QCOMPARE(grid->model()->data(cell).toString(), QString());
    QVERIFY(!grid->model()->data(cell, Qt::FontRole).isValid());
    QVERIFY(f.isVisible()); // Esc did not close the screen
    QCOMPARE(readElsewhere(db, "select count(*) from ostermelo where o_helysegnev = 'Pécs'"), QString("0"));

    // A cell changed, then the row left: written, and the grid stands on the row moved to.
    standOn("00101");
    cell = cellOf(grid, "O_HELYSEGNEV");
    QVERIFY(grid->model()->setData(cell, "Szeged"));
    QVERIFY(f.editing(2));
    QTest::keyClick(grid, Qt::Key_Down);
    QTRY_VERIFY(!f.editing(2));
    QCOMPARE(Data->IBTable3->asString("O_KOD"), QString("00102"));
    QCOMPARE(readElsewhere(db, "select o_helysegnev from ostermelo where o_kod = '00101'"), QString("Szeged"));

    // Computed line columns and the ID take no typing.
    f.PageControl1->setCurrentIndex(1);
    auto* lines = f.findChild<DBGrid*>("DBGrid2");
    Data->IBTable2->first();
    QVERIFY(!(lines->model()->flags(cellOf(lines, "S_NETTO")) & Qt::ItemIsEditable));
    QVERIFY(!lines->model()->setData(cellOf(lines, "ID_FJSOR"), "99"));
    QVERIFY(lines->model()->flags(cellOf(lines, "S_BRUTTO")) & Qt::ItemIsEditable);
    QVERIFY(!f.editing(1));
    f.reject();
}

// A post the database refuses: its message is shown, the row stays in edit
// with what was typed, and leaving the row brings the cursor back to it.
void TstRawView::refusedCellPostKeepsTheRow()
{
    Unlocked u;
    UiScope& s = u.s;
    TestDb& db = u.db;
    TForm22& f = *u.f;
    DBGrid* grid = u.producerGrid();
    standOn("00101");
    const QModelIndex cell = cellOf(grid, "O_NEV");
    QTest::keyClick(grid, Qt::Key_F2);
    QLineEdit* ed = editorOf(grid, cell);
    QVERIFY(ed);
    const QString tooLong(46, QChar('y'));
    ed->setText(tooLong);
    QTest::keyClick(ed, Qt::Key_Return);
    QTRY_COMPARE(s.ui.log.size(), 1);
    QVERIFY2(s.ui.log[0].startsWith("error:") && s.ui.log[0].contains("O_NEV"), qPrintable(s.ui.log[0]));
    QVERIFY(f.editing(2));
    QCOMPARE(f.editorText(2, "O_NEV"), tooLong);
    QCOMPARE(grid->model()->data(cellOf(grid, "O_NEV")).toString(), tooLong);

    // Down from the cell: one more refusal, and the cursor comes back.
    QTest::keyClick(grid, Qt::Key_F2);
    ed = editorOf(grid, cellOf(grid, "O_NEV"));
    QVERIFY(ed);
    QCOMPARE(ed->text(), tooLong);
    QTest::keyClick(ed, Qt::Key_Down);
    QTRY_COMPARE(s.ui.log.size(), 2);
    QTRY_COMPARE(Data->IBTable3->asString("O_KOD"), QString("00101"));
    QCoreApplication::processEvents();
    QCOMPARE(s.ui.log.size(), 2);
    QVERIFY(f.editing(2));
    QCOMPARE(readElsewhere(db, "select o_nev from ostermelo where o_kod = '00101'"), QString("Kovács Gazda"));

    // Mended, Enter in the grid posts it.
    f.setEditorText(2, "O_NEV", "Kovács Béla");
    grid->setFocus();
    QTest::keyClick(grid, Qt::Key_Return);
    QVERIFY(!f.editing(2));
    QCOMPARE(readElsewhere(db, "select o_nev from ostermelo where o_kod = '00101'"), QString("Kovács Béla"));
    QCOMPARE(s.ui.log.size(), 2);
    f.reject();
}

void TstRawView::insertAndDelete()
{
    Unlocked u;
    UiScope& s = u.s;
    TestDb& db = u.db;
    TForm22& f = *u.f;
    QVERIFY(f.startInsert(3));
    f.setEditorText(3, "T_KOD", "00077");
    f.setEditorText(3, "T_MEGNEVEZES", "Kökény");
    QVERIFY(f.post(3));
    QCOMPARE(db.scalar("select t_megnevezes from termek where t_kod = '00077'"), QString("Kökény"));
    QCOMPARE(Data->IBTable4->asString("T_KOD"), QString("00077")); // the grid stands on it
    s.ui.answers = {false};
    QVERIFY(!f.removeCurrent(3));
    QCOMPARE(db.scalar("select count(*) from termek where t_kod = '00077'"), QString("1"));
    QVERIFY(f.removeCurrent(3));
    QCOMPARE(db.scalar("select count(*) from termek where t_kod = '00077'"), QString("0"));
    f.reject();
}

// The unit on its own: typed texts stored as their columns' types, empty as
// NULL, computed columns and the ID out of reach, bad numbers refused unwritten.
void TstRawView::unitTypesAndRefusals()
{
    UiScope s;
    TestDb db;
    const auto all = rawedit::Access::All;
    fb::Connection* c = &Data->ZCon1;
    const QStringList cols = rawedit::writableColumns(c, "FJSOR");
    QVERIFY(cols.contains("S_BRUTTO"));
    QVERIFY(!cols.contains("S_NETTO"));
    QVERIFY(!cols.contains("ID_FJSOR"));
    qint64 id = 0;
    rec::Outcome o = rawedit::insert(c, all, "FJSOR",
                                     {{"S_BSZAM", "10000001"}, {"S_BRUTTO", "12,5"},
                                      {"S_LEVONSZAZ", "10"}}, &id);
    QVERIFY2(o.ok(), qPrintable(o.message + o.dbText));
    QVERIFY(id > 0);
    const QString where = " from fjsor where id_fjsor = " + QString::number(id);
    QCOMPARE(db.scalar("select s_brutto" + where), QString("12,5"));
    QCOMPARE(db.scalar("select s_netto" + where), QString("11,25"));
    o = rawedit::update(c, all, "FJSOR", id, {{"S_NETTO", "1"}});
    QCOMPARE(o.kind, rec::Outcome::CheckFailed);
    o = rawedit::update(c, all, "FJSOR", id, {{"ID_FJSOR", "999"}});
    QCOMPARE(o.kind, rec::Outcome::CheckFailed);
    o = rawedit::update(c, all, "FJSOR", id, {{"S_BRUTTO", "1.000"}, {"S_BSZAM", "10000002"}});
    QCOMPARE(o.kind, rec::Outcome::CheckFailed);
    QVERIFY(o.message.contains("S_BRUTTO"));
    QCOMPARE(db.scalar("select s_bszam" + where), QString("10000001"));
    o = rawedit::update(c, all, "FJSOR", id, {{"S_BRUTTO", ""}});
    QVERIFY(o.ok());
    QCOMPARE(db.scalar("select count(*)" + where + " and s_brutto is null"), QString("1"));
    // Dates as the screens show them; an integer column refuses a fraction.
    qint64 head = 0;
    QVERIFY(rawedit::insert(c, all, "FJFEJ", {{"F_BSZAM", "10000001"}, {"F_KELT", "2026.03.04"}},
                            &head).ok());
    QCOMPARE(db.scalar("select extract(day from f_kelt) from fjfej where id_fjfej = " +
                       QString::number(head)), QString("4"));
    QCOMPARE(rawedit::update(c, all, "FJFEJ", head, {{"F_KELT", "2026.02.30"}}).kind,
             rec::Outcome::CheckFailed);
    db.exec("insert into ostermelo (o_kod, o_fhat) values ('00101', 3)");
    const qint64 prod = db.scalar("select id_ostermelo from ostermelo where o_kod = '00101'").toLongLong();
    o = rawedit::update(c, all, "OSTERMELO", prod, {{"O_FHAT", "1,5"}});
    QCOMPARE(o.kind, rec::Outcome::CheckFailed);
    QVERIFY(o.message.contains("O_FHAT"));
    QVERIFY(rawedit::update(c, all, "OSTERMELO", prod, {{"O_FHAT", "7"}}).ok());
    QCOMPARE(db.scalar("select o_fhat from ostermelo where o_kod = '00101'"), QString("7"));
    // The first code never reaches the buyers.
    QVERIFY(!rawedit::writable(rawedit::Access::Five, "ATVEVO"));
    QVERIFY(rawedit::writable(rawedit::Access::Five, "SORSZAM"));
    QCOMPARE(rawedit::applyCode(rawedit::Access::ReadOnly, "581726340 "), rawedit::Access::ReadOnly);
    QCOMPARE(rawedit::applyCode(rawedit::Access::ReadOnly, "QVX"), rawedit::Access::ReadOnly);
    const QString buyers = db.scalar("select count(*) from atvevo");
    const qint64 buyer = db.scalar("select min(id_atvevo) from atvevo").toLongLong();
    QCOMPARE(rawedit::remove(c, rawedit::Access::Five, "ATVEVO", buyer).kind,
             rec::Outcome::CheckFailed);
    QCOMPARE(db.scalar("select count(*) from atvevo"), buyers);
}

// Twenty thousand lines: the grid reads as it is scrolled, the end is reached
// without reading what lies between, and the window never grows past its limit.
void TstRawView::longTableIsHeldAsAWindow()
{
    UiScope s;
    TestDb db;
    db.data()->ZCon1.executeImmediate(
        "EXECUTE BLOCK AS DECLARE i INTEGER = 0; BEGIN WHILE (i < 20000) DO BEGIN "
        "INSERT INTO fjsor (s_bszam, s_brutto) VALUES ('10000001', :i); i = i + 1; END END");
    db.data()->ZCon1.commit();
    const qint64 maxId = db.scalar("select max(id_fjsor) from fjsor").toLongLong();
    const qint64 fetchedBefore = fb::rowsFetched();
    TForm22 f;
    f.show();
    f.PageControl1->setCurrentIndex(1);
    auto* grid = f.findChild<DBGrid*>("DBGrid2");
    QTRY_VERIFY(grid->model()->rowCount() > 0);
    TTable* t = Data->IBTable2;
    QVERIFY(t->rowsHeld() < 20000);
    grid->setFocus();
    QTest::keyClick(grid, Qt::Key_End, Qt::ControlModifier);
    QTRY_COMPARE(t->asInteger("ID_FJSOR"), maxId);
    QVERIFY(t->rowsHeld() <= 10 * TQuery::PageRows + TQuery::PageRows);
    for (int i = 0; i < 30; ++i)
        QTest::keyClick(grid, Qt::Key_PageUp);
    QVERIFY(t->rowsHeld() <= 10 * TQuery::PageRows + TQuery::PageRows);
    QVERIFY(t->asInteger("ID_FJSOR") < maxId);
    // Both ends and the pages between, not the table.
    const qint64 read = fb::rowsFetched() - fetchedBefore;
    QVERIFY2(read < 4000, qPrintable(QString::number(read)));
    f.reject();
}

QTEST_MAIN(TstRawView)
#include "tst_rawview.moc"
