#include "masterdata/checks.h"

#include <QtTest>

using namespace checks;

class TstChecks : public QObject {
    Q_OBJECT
private slots:
    void checkDigits_data();
    void checkDigits();
    void nonDigitIsAnError_data();
    void nonDigitIsAnError();
    void birthDate();
    void screenLengthRules();
};

using Check = bool (*)(const QString&);
Q_DECLARE_METATYPE(Check)

void TstChecks::checkDigits_data()
{
    QTest::addColumn<Check>("check");
    QTest::addColumn<QString>("number");
    QTest::addColumn<bool>("valid");

    QTest::newRow("adoazon ok") << Check(AdoazonEllenorzes) << "8414090001" << true;
    QTest::newRow("adoazon wrong digit") << Check(AdoazonEllenorzes) << "8414090002" << false;
    // 841409001: weighted sum 186, remainder 10 -> no tenth digit can match.
    for (char d = '0'; d <= '9'; ++d)
        QTest::addRow("adoazon remainder 10, last %c", d)
            << Check(AdoazonEllenorzes) << QString("841409001") + QChar(d) << false;
    QTest::newRow("adoazon extra chars not read") << Check(AdoazonEllenorzes) << "8414090001xy" << true;

    QTest::newRow("adoszam ok") << Check(AdoszamEllenorzes) << "12345676213" << true;
    QTest::newRow("adoszam tail not read") << Check(AdoszamEllenorzes) << "12345676xxx" << true;
    QTest::newRow("adoszam wrong digit") << Check(AdoszamEllenorzes) << "12345678901" << false;
    // Sum 10 -> r = 0 -> check digit 0, not 10.
    QTest::newRow("adoszam r=0") << Check(AdoszamEllenorzes) << "10010000000" << true;
    QTest::newRow("adoszam r=0 wrong") << Check(AdoszamEllenorzes) << "10010001000" << false;
    QTest::newRow("adoszam all zero") << Check(AdoszamEllenorzes) << "00000000000" << true;

    QTest::newRow("taj ok") << Check(TAJEllenorzes) << "123456788" << true;
    QTest::newRow("taj wrong digit") << Check(TAJEllenorzes) << "123456789" << false;
}

void TstChecks::checkDigits()
{
    QFETCH(Check, check);
    QFETCH(QString, number);
    QFETCH(bool, valid);
    QCOMPARE(check(number), valid);
}

void TstChecks::nonDigitIsAnError_data()
{
    QTest::addColumn<Check>("check");
    QTest::addColumn<QString>("number");

    QTest::newRow("adoazon letter") << Check(AdoazonEllenorzes) << "84140900a1";
    QTest::newRow("adoazon check pos") << Check(AdoazonEllenorzes) << "841409000x";
    QTest::newRow("adoazon blank") << Check(AdoazonEllenorzes) << " 414090001";
    QTest::newRow("adoazon sign") << Check(AdoazonEllenorzes) << "-414090001";
    QTest::newRow("adoazon too short") << Check(AdoazonEllenorzes) << "841409000";
    QTest::newRow("adoazon empty") << Check(AdoazonEllenorzes) << "";
    // Arabic-Indic digits are digits to Unicode, not to a tax number.
    QTest::newRow("adoazon foreign digit")
        << Check(AdoazonEllenorzes) << QString("841409000") + QChar(0x0661);
    QTest::newRow("adoszam hyphen form") << Check(AdoszamEllenorzes) << "1234567-6-13";
    QTest::newRow("adoszam short") << Check(AdoszamEllenorzes) << "1234567";
    QTest::newRow("taj with blanks") << Check(TAJEllenorzes) << "123 456 788";
    QTest::newRow("taj check pos") << Check(TAJEllenorzes) << "12345678/";
}

void TstChecks::nonDigitIsAnError()
{
    QFETCH(Check, check);
    QFETCH(QString, number);
    try {
        const bool valid = check(number);
        QFAIL(qPrintable(QString("no error, returned %1").arg(valid)));
    } catch (const ConversionError& e) {
        QVERIFY(!e.text().isEmpty());
    }
}

void TstChecks::birthDate()
{
    QCOMPARE(elteltNapok(QDate(1980, 5, 17)), 41409);
    QCOMPARE(elteltNapok(QDate(1867, 1, 1)), 0);
    QCOMPARE(elteltNapok(QDate(1866, 12, 31)), 1); // absolute difference

    QVERIFY(ElteltNapEllenorzes("8414090001", "1980.05.17"));
    QVERIFY(!ElteltNapEllenorzes("8414090001", "1980.05.18"));
    // Only positions 2-6 are read: the check digit does not matter here.
    QVERIFY(ElteltNapEllenorzes("8414099999", "1980.05.17"));

    QVERIFY_THROWS_EXCEPTION(ConversionError, ElteltNapEllenorzes("84140", "1980.05.17"));
    QVERIFY_THROWS_EXCEPTION(ConversionError, ElteltNapEllenorzes("84a4090001", "1980.05.17"));
    QVERIFY_THROWS_EXCEPTION(ConversionError, ElteltNapEllenorzes("8414090001", "1980.02.30"));
    QVERIFY_THROWS_EXCEPTION(ConversionError, ElteltNapEllenorzes("8414090001", ""));

    QCOMPARE(adoazonNapResz("841409000"), QString("41409"));
    QCOMPARE(adoazonNapResz("84"), QString("4"));
}

void TstChecks::screenLengthRules()
{
    QCOMPARE(adoszam11("12345676213"), QString("12345676213"));
    QCOMPARE(adoszam11("12345676-2-13"), QString("12345676213"));
    QCOMPARE(adoszam11("12345676x2y13"), QString("12345676213"));
    QCOMPARE(adoszam11("12345678-1-12"), QString("12345678112"));
    QVERIFY(AdoszamEllenorzes(*adoszam11("12345676-2-13")));
    // Wrong lengths are refused before any digit is read, letters or not.
    QVERIFY(!adoszam11("123456762131"));
    QVERIFY(!adoszam11("1234567621"));
    QVERIFY(!adoszam11("abcdefghijkl"));
    QVERIFY(!adoszam11(""));

    QCOMPARE(taj9("123456788"), QString("123456788"));
    QCOMPARE(taj9("123 456 788"), QString("123456788"));
    QCOMPARE(taj9("123-456-788"), QString("123456788"));
    QVERIFY(TAJEllenorzes(*taj9("123-456-788")));
    QVERIFY(!taj9("1234567880"));
    QVERIFY(!taj9("12345678"));
    QVERIFY(!taj9("123 456 7888"));
}

QTEST_GUILESS_MAIN(TstChecks)
#include "tst_checks.moc"
