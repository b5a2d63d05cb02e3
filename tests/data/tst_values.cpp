// Number texts: only the decimal comma is read, and no value hides behind "0".
#include "values.h"

#include <QTest>

class TstValues : public QObject {
    Q_OBJECT
private slots:
    void pointIsNotADecimalSeparator();
    void smallAndLargeNumbersKeepTheirDigits();
};

void TstValues::pointIsNotADecimalSeparator()
{
    QCOMPARE(val::parseNumber("1,5").value(), 1.5);
    QCOMPARE(val::parseNumber(",5").value(), 0.5);
    QCOMPARE(val::parseNumber("-7,").value(), -7.0);
    // A point is a thousands group to a Hungarian reader: refused, never read as 1.
    for (const char* t : {"1.000", "1.5", ".5", "1.000,5", "1,000.5", "5,,5", ","})
        QVERIFY2(!val::parseNumber(t).has_value(), t);
}

void TstValues::smallAndLargeNumbersKeepTheirDigits()
{
    QCOMPARE(val::fmtNumber(1e-5), QString("0,00001"));
    QCOMPARE(val::fmtNumber(-2.5e-7), QString("-0,00000025"));
    QCOMPARE(val::fmtNumber(1.23456789012345e-6), QString("0,00000123456789012345"));
    QCOMPARE(val::fmtNumber(0.0001), QString("0,0001"));
    QCOMPARE(val::fmtNumber(1e20), QString("100000000000000000000"));
    QCOMPARE(val::fmtNumber(123456789012345.0), QString("123456789012345"));
    QCOMPARE(val::fmtNumber(-0.0), QString("0"));
}

QTEST_MAIN(TstValues)
#include "tst_values.moc"
