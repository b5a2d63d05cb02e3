// The entry options beside the program: what the entry screens take from
// them and what the year opening shows of them.
#include "testsupport.h"

#include "settings.h"
#include "textfile.h"
#include "tickets/Unit10.h"
#include "tickets/Unit38.h"
#include "tickets/Unit9.h"
#include "gui/edits.h"

#include <QFile>
#include <QLineEdit>
#include <QTest>

class TstSettings : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void optionsShapeTheEntryScreens();
    void yearOpeningShowsTheEightKeys();
};

void TstSettings::init()
{
    // Written as the maker's tools write them: Windows-1250, CR LF.
    textfile::writeLines(settings::iniFileName("form9.ini"),
                         {"; beállítások", "[Form9]", "Edit14Visible=1", "Edit14Text=2,5",
                          "Edit15Visible=1", "Edit15Text=3", "Edit13Visible=0",
                          "Edit13Text=100"});
    textfile::writeLines(settings::iniFileName("form10.ini"),
                         {"[Form10]", "Edit10Visible=1", "Edit8Text=7"});
}

void TstSettings::cleanup()
{
    QFile::remove(settings::iniFileName("form9.ini"));
    QFile::remove(settings::iniFileName("form10.ini"));
}

void TstSettings::optionsShapeTheEntryScreens()
{
    UiScope s;
    TestDb db(true);
    db.selectBuyer();
    TForm9 f(TForm9::Mode::New);
    QVERIFY(f.prepareNew());
    QVERIFY(!f.edit("levonszaz")->isHidden());
    QCOMPARE(f.edit("levonszaz")->text(), QString("2,5"));
    QVERIFY(!f.edit("jarul")->isHidden());
    QCOMPARE(f.edit("jarul")->text(), QString("3"));
    // Switched off: hidden, and 0 whatever its default says.
    QVERIFY(f.edit("levonas")->isHidden());
    QCOMPARE(f.edit("levonas")->text(), QString("0"));

    TForm10 line(TForm10::Mode::New, f.bszam(), f.edit("levonszaz")->text());
    QCOMPARE(line.edit("S_KOMPMERTEKE")->text(), QString("7"));
    QVERIFY(!line.edit("S_BIZONYLAT")->isHidden());
    // The weight deduction of the entry screen goes into the line.
    line.edit("S_MEGNEVEZES")->setText("Búza");
    line.edit("S_VTSZ")->setText("1001");
    line.edit("S_BRUTTO")->setText("100");
    line.edit("S_MEGY")->setText("kg");
    line.edit("S_EAR")->setText("10");
    QVERIFY(line.save());
    QCOMPARE(db.scalar("select s_levonszaz from fjsor"), QString("2,5"));
    QCOMPARE(db.scalar("select s_netto from fjsor"), QString("97,5"));
}

void TstSettings::yearOpeningShowsTheEightKeys()
{
    UiScope s;
    TestDb db(true);
    db.selectBuyer();
    TForm38 f;
    f.show();
    const QList<QPair<QString, QString>> expected = {
        {"Edit14Visible", "1"}, {"Edit14Text", "2,5"}, {"Edit15Visible", "1"},
        {"Edit15Text", "3"},    {"Edit13Visible", "0"}, {"Edit13Text", "100"},
        {"Edit10Visible", "1"}, {"Edit8Text", "7"}};
    for (const auto& [key, value] : expected) {
        QVERIFY2(f.setting(key), qPrintable(key));
        QCOMPARE(f.setting(key)->text(), value);
        QVERIFY(f.setting(key)->isReadOnly());
    }
}

QTEST_MAIN(TstSettings)
#include "tst_settings.moc"
