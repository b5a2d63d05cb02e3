// The product list and entry, and the single checks of the check screen.
#include "testsupport.h"

#include "gui/dbwidgets.h"
#include "gui/edits.h"
#include "masterdata/Unit14.h"
#include "masterdata/Unit6.h"
#include "masterdata/Unit7.h"
#include "values.h"

#include <QApplication>
#include <QDateEdit>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

class TstProducts : public QObject {
    Q_OBJECT
private slots:
    void entryDefaultsAndChecks();
    void fractionalRateAskedAndRounded();
    void changeAndFailedSave();
    void deletion();
    void sortTable();
    void pickerPositionsByText();
    void keyboardAndDoubleClick();
    void singleChecks();
    void napokTab();
};

void TstProducts::entryDefaultsAndChecks()
{
    UiScope s;
    TestDb db(true);
    TForm7 f(TForm7::Mode::Uj);
    f.show();
    QCOMPARE(f.windowTitle(), QString("Termék"));
    QCOMPARE(f.field("T_KOMPMERTEKE")->text(), QString("12,00"));
    QCOMPARE(f.field("T_EAR")->text(), QString("0"));
    QCOMPARE(f.field("T_KOD")->text(), QString("00005"));
    QVERIFY(!f.field("T_BIZONYLAT")->isVisible());

    // The checks' order is the unit's test; here a failure reaches the field.
    f.field("T_MEGNEVEZES")->setText("Árpa");
    f.field("T_MEGY")->clear();
    f.field("T_KOMPMERTEKE")->setText("7");
    QVERIFY(!f.save());
    QCOMPARE(s.ui.log, QStringList{"msg:Nincs megadva a mennyiség egység!"});
    QCOMPARE(f.focusWidget(), static_cast<QWidget*>(f.field("T_MEGY")));
    f.field("T_MEGY")->setText("1");
    f.field("T_KOD")->setText("1");
    QCOMPARE(db.scalar("select count(*) from termek"), QString("4"));

    f.field("T_EAR")->setText("62,5");
    f.field("T_MEGNEVEZES")->setText("Árpa");
    QTest::keyClicks(f.field("T_KOD"), "x"); // digits only
    QCOMPARE(f.field("T_KOD")->text(), QString("1"));
    f.field("T_KOD")->setText("00005");
    s.ui.clear();
    QVERIFY(f.save());
    QVERIFY(s.ui.log.isEmpty());
    QCOMPARE(db.scalar("select t_ear || '/' || t_kompmerteke from termek where t_kod = '00005'"),
             QString("62.5000/7"));
    QCOMPARE(G.termekSzoveg, QString("00005"));
    QCOMPARE(Data->ZQ40->asString("T_MEGNEVEZES"), QString("Árpa"));
    f.close();
}

void TstProducts::fractionalRateAskedAndRounded()
{
    UiScope s;
    TestDb db(true);
    TForm7 f(TForm7::Mode::Uj);
    f.field("T_MEGNEVEZES")->setText("Méz");
    f.field("T_MEGY")->setText("kg");
    f.field("T_KOMPMERTEKE")->setText("7,5");
    s.ui.answers = {false};
    QVERIFY(!f.save());
    QCOMPARE(s.ui.log, QStringList{"ask:A komp.mérték csak egész szám lehet: 7,5 helyett 8 kerül "
                                   "tárolásra. Mentsem így?"});
    QCOMPARE(db.scalar("select count(*) from termek"), QString("4"));
    s.ui.answers = {true};
    QVERIFY(f.save());
    QCOMPARE(db.scalar("select t_kompmerteke from termek where t_megnevezes = 'Méz'"), QString("8"));
    // A whole rate typed with decimals ("12,00") is not asked about.
    TForm7 g(TForm7::Mode::Uj);
    QCOMPARE(g.field("T_KOD")->text(), QString("00006"));
    g.field("T_MEGNEVEZES")->setText("Dió");
    g.field("T_MEGY")->setText("kg");
    s.ui.clear();
    QVERIFY(g.save());
    QVERIFY(s.ui.log.isEmpty());
}

void TstProducts::changeAndFailedSave()
{
    UiScope s;
    TestDb db(true);
    db.selectBuyer();
    TForm6 list;
    list.show();
    Data->ZQ40->locatePrefix("T_MEGNEVEZES", "Tojás");
    s.ui.onModal = [&](QDialog* d) {
        auto* f = qobject_cast<TForm7*>(d);
        if (f->windowTitle() != "Termék módositás" || f->field("T_EAR")->text() != "45")
            return int(QDialog::Rejected);
        f->show();
        f->field("T_KOD")->setText("123456"); // longer than the column
        f->okButton()->click();
        if (!f->isVisible() || s.ui.log != QStringList{"msg:Hiba73: Módositásban, UPDATE a termékben "})
            return int(QDialog::Rejected);
        f->field("T_KOD")->setText("00044"); // still open with the typed values
        f->field("T_EAR")->setText("48,25");
        f->okButton()->click();
        return f->result();
    };
    list.button("Button2")->click();
    QCOMPARE(db.scalar("select t_kod || ' ' || t_ear from termek where t_megnevezes = 'Tojás'"),
             QString("00044 48.2500"));
    QCOMPARE(Data->ZQ40->asString("T_KOD"), QString("00044"));
    QCOMPARE(list.panelText("T_EAR"), QString("48,25"));
    QCOMPARE(list.status()->text(), QString("Termék lista, \"Megnevezés\" szerint"));
    list.close();
}

void TstProducts::deletion()
{
    UiScope s;
    TestDb db(true);
    G.termekSzoveg = "Napr";
    TForm6 list;
    list.show();
    QCOMPARE(Data->ZQ40->asString("T_MEGNEVEZES"), QString("Napraforgó"));
    Data->ZQ40->locatePrefix("T_MEGNEVEZES", "Búza");
    list.button("Button3")->click();
    QCOMPARE(s.ui.log, QStringList{"msg:Az termék sor törlölve!"});
    QCOMPARE(Data->ZQ40->asString("T_MEGNEVEZES"), QString("Napraforgó"));
    Data->ZCon1.startTransaction();
    Data->ZCon1.rollback();
    QCOMPARE(db.scalar("select count(*) from termek"), QString("3"));
    for (int i = 0; i < 3; ++i)
        list.button("Button3")->click();
    QCOMPARE(s.ui.log.last(), QString("confirm:Az utolsó terméksor nem törölhető ki."));
    QCOMPARE(db.scalar("select count(*) from termek"), QString("1"));
    list.close();
}

void TstProducts::sortTable()
{
    UiScope s;
    TestDb db(true);
    db.exec("update termek set t_kod = '00009' where t_megnevezes = 'Búza'");
    // A name as long as the column holds widens its column only so far:
    // "Eár" stays in view.
    db.exec("update termek set t_megnevezes = '" + QString(75, QChar(u'W')) +
            "' where t_kod = '00002'");
    TForm6 list;
    QCOMPARE(list.status()->text(), QString("Lista sorrend: "));
    list.show();
    QVERIFY(list.grid()->columnViewportPosition(3) + list.grid()->columnWidth(3) <=
            list.grid()->viewport()->width());
    auto column = [](const char* field) {
        QStringList out;
        for (int r = 0; r < Data->ZQ40->recordCount(); ++r)
            out << val::asText(Data->ZQ40->valueAt(r, Data->ZQ40->fieldIndex(field)));
        return out;
    };
    auto* header = list.grid()->horizontalHeader();
    emit header->sectionClicked(0);
    QCOMPARE(list.status()->text(), QString("Termék lista, \"Kód\" szerint"));
    QCOMPARE(column("T_KOD"), (QStringList{"00002", "00003", "00004", "00009"}));
    emit header->sectionClicked(6);
    QCOMPARE(list.status()->text(), QString("Termék lista a beviteli sorrend szerint"));
    QCOMPARE(column("ID_TERMEK"), (QStringList{"1", "2", "3", "4"}));
    // "VTSZ" and the other titles change nothing.
    emit header->sectionClicked(2);
    QCOMPARE(list.status()->text(), QString("Termék lista a beviteli sorrend szerint"));
    QCOMPARE(column("ID_TERMEK"), (QStringList{"1", "2", "3", "4"}));
    emit header->sectionClicked(1);
    QCOMPARE(list.status()->text(), QString("Termék lista, \"Megnevezés\" szerint"));
    QCOMPARE(column("T_KOD").first(), QString("00009")); // Búza
    list.close();
}

void TstProducts::pickerPositionsByText()
{
    UiScope s;
    TestDb db(true);
    G.termekSzoveg = "bú"; // typed on the line entry
    TForm6 list;
    list.show();
    QCOMPARE(Data->ZQ40->asString("T_MEGNEVEZES"), QString("Búza"));
    QCOMPARE(list.panelText("T_KOMPMERTEKE"), QString("12"));
    Data->ZQ40->locatePrefix("T_MEGNEVEZES", "Tojás");
    list.button("Button5")->click();
    QCOMPARE(list.result(), int(QDialog::Accepted));
    QCOMPARE(Data->ZQ40->asString("T_KOD"), QString("00004"));
    // After a save the remembered text is a code: shown from the menu, the list
    // positions by name and so stays on the first row.
    G.termekSzoveg = "00003";
    TForm6 again;
    again.show();
    QCOMPARE(Data->ZQ40->recNo(), 0);
    again.close();
}

void TstProducts::keyboardAndDoubleClick()
{
    UiScope s;
    TestDb db(true);
    {
        // Opens on "Kód", not on the read-only "ID".
        TForm7 f(TForm7::Mode::Uj);
        f.show();
        f.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&f));
        QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(f.field("T_KOD")));
        QCOMPARE(f.field("ID_TERMEK")->focusPolicy(), Qt::ClickFocus);
        // Shift+Enter passes over it too.
        QTest::keyClick(f.field("T_MEGNEVEZES"), Qt::Key_Return, Qt::ShiftModifier);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return, Qt::ShiftModifier);
        QVERIFY(QApplication::focusWidget() != f.field("ID_TERMEK"));
        f.field("T_MEGNEVEZES")->setText("Dió");
        f.field("T_MEGY")->setText("kg");
        f.okButton()->setFocus();
        QTest::keyClick(f.okButton(), Qt::Key_Return);
        QTRY_VERIFY(!f.isVisible());
        QCOMPARE(f.result(), int(QDialog::Accepted));
        QCOMPARE(db.scalar("select t_kod from termek where t_megnevezes = 'Dió'"), QString("00005"));
    }
    G.termekSzoveg = "";
    TForm6 list;
    list.show();
    QVERIFY(QTest::qWaitForWindowExposed(&list));
    // Hungarian order: "Őszibarack" before "Tojás".
    const QModelIndex row = list.grid()->model()->index(3, 1);
    QCOMPARE(row.data().toString(), QString("Őszibarack"));
    const QPoint at = list.grid()->visualRect(row).center();
    QTest::mouseClick(list.grid()->viewport(), Qt::LeftButton, {}, at);
    QMouseEvent dbl(QEvent::MouseButtonDblClick, at, list.grid()->viewport()->mapToGlobal(at),
                    Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(list.grid()->viewport(), &dbl);
    QTRY_VERIFY(!list.isVisible());
    QCOMPARE(list.result(), int(QDialog::Accepted));
    QCOMPARE(Data->ZQ40->asString("T_MEGNEVEZES"), QString("Őszibarack"));
}

void TstProducts::singleChecks()
{
    UiScope s;
    TForm14 f;
    f.show();
    QCOMPARE(f.tabs()->tabText(1), QString("Adatok"));
    QCOMPARE(f.adoszamUzenet()->text(), QString("Üzenet:"));
    struct Case {
        QLineEdit* edit;
        void (TForm14::*check)();
        QLabel* label;
        const char* typed;
        const char* shown;
        bool beep;
    };
    const Case cases[] = {
        {f.adoszamEdit(), &TForm14::adoszamCheck, f.adoszamUzenet(), "12345676-2-13", "Az adószám rendben", false},
        {f.adoszamEdit(), &TForm14::adoszamCheck, f.adoszamUzenet(), "123456762131", "Hibaüzenet: Nem 11 vagy 13 hosszú számsor", true},
        {f.adoszamEdit(), &TForm14::adoszamCheck, f.adoszamUzenet(), "12345678901", "Hibaüzenet: Hibás adószám", true},
        {f.adoazonEdit(), &TForm14::adoazonCheck, f.adoazonUzenet(), "8414090001", "Az azóazonositó rendben", false},
        {f.adoazonEdit(), &TForm14::adoazonCheck, f.adoazonUzenet(), "8414090019", "Hibaüzenet: Hibás adóazonositó", true},
        {f.adoazonEdit(), &TForm14::adoazonCheck, f.adoazonUzenet(), "841409000", "Hibaüzenet: Nem 10 hosszú számsor", true},
        {f.tajEdit(), &TForm14::tajCheck, f.tajUzenet(), "123-456-788", "A TAJ rendben", false},
        {f.tajEdit(), &TForm14::tajCheck, f.tajUzenet(), "1234567880", "Hibaüzenet: Nem 9 vagy 11 hosszú számsor", true},
        {f.tajEdit(), &TForm14::tajCheck, f.tajUzenet(), "123456789", "Hibaüzenet: Hibás TAJ", true},
    };
    for (const Case& c : cases) {
        s.ui.clear();
        c.edit->setText(QString::fromUtf8(c.typed));
        (f.*c.check)();
        QCOMPARE(c.label->text(), QString::fromUtf8(c.shown));
        QCOMPARE(s.ui.beeps, c.beep ? 1 : 0);
        QVERIFY(s.ui.log.isEmpty());
    }
    // A letter where a digit is read: said plainly, the label keeps its text.
    s.ui.clear();
    f.tajEdit()->setText("12345678A");
    f.findChild<QPushButton*>("bt_Taj")->click();
    QCOMPARE(f.tajUzenet()->text(), QString("Hibaüzenet: Hibás TAJ"));
    QCOMPARE(s.ui.log.size(), 1);
    QVERIFY(s.ui.log[0].startsWith("msg:A számsor csak számjegyekből állhat! Nem szám a(z) 9. karakter"));
    f.close();
}

void TstProducts::napokTab()
{
    UiScope s;
    TForm14 f;
    f.show();
    QCOMPARE(f.szuletesiIdo()->date(), QDate(1900, 1, 1));
    QCOMPARE(f.elteltNapok()->text(), QString("-"));
    f.szuletesiIdo()->setDate(QDate(1980, 5, 17));
    f.napokEdit()->setText("8414090001");
    f.napokCheck();
    QCOMPARE(f.elteltNapok()->text(), QString("41409"));
    QCOMPARE(f.adoazonNapok()->text(), QString("41409"));
    QCOMPARE(f.napokUzenet()->text(), QString("Az adóazonositó és születési dátum összevetése rendben"));
    QCOMPARE(s.ui.beeps, 0);
    f.napokEdit()->setText("841408000");
    f.napokCheck();
    QCOMPARE(f.adoazonNapok()->text(), QString("41408"));
    QCOMPARE(f.napokUzenet()->text(), QString("Hibaüzenet: Nem 10 hosszú számsor !"));
    f.napokEdit()->setText("8414080001");
    f.napokCheck();
    QCOMPARE(f.napokUzenet()->text(), QString("Hibaüzenet: Az adóazonositó és/vagy szül.dátum hiba !"));
    QCOMPARE(s.ui.beeps, 2);
    f.close();
}

QTEST_MAIN(TstProducts)
#include "tst_products.moc"
