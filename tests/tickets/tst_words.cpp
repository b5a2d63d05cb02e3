#include "tickets/words.h"

#include <QtTest>
#include <limits>

class TstWords : public QObject {
    Q_OBJECT
private slots:
    void inWords_data();
    void inWords();
    void azaz();
    void outOfRange();
};

void TstWords::inWords_data()
{
    QTest::addColumn<qint64>("amount");
    QTest::addColumn<QString>("text");

    // Every result not ending in 000 ends with the units group's blank.
    QTest::newRow("0") << qint64(0) << "nulla";
    QTest::newRow("1") << qint64(1) << "egy ";
    QTest::newRow("2") << qint64(2) << "kettö ";
    QTest::newRow("12") << qint64(12) << "tizenkettö ";
    QTest::newRow("20") << qint64(20) << "húsz ";
    QTest::newRow("25") << qint64(25) << "huszonöt ";
    QTest::newRow("100") << qint64(100) << "száz ";
    QTest::newRow("110") << qint64(110) << "száztíz ";
    QTest::newRow("120") << qint64(120) << "százhúsz ";
    QTest::newRow("215") << qint64(215) << "kettöszáztizenöt ";
    QTest::newRow("999") << qint64(999) << "kilencszázkilencvenkilenc ";
    QTest::newRow("1000") << qint64(1000) << "egyezer-";
    QTest::newRow("1001") << qint64(1001) << "egyezer-egy ";
    QTest::newRow("2500") << qint64(2500) << "kettöezer-ötszáz ";
    QTest::newRow("10125") << qint64(10125) << "tízezer-százhuszonöt ";
    QTest::newRow("1000000") << qint64(1000000) << "egymillió-";
    QTest::newRow("1000500") << qint64(1000500) << "egymillió-ötszáz ";
    QTest::newRow("2002002") << qint64(2002002) << "kettömillió-kettöezer-kettö ";
    QTest::newRow("1000000000") << qint64(1000000000) << "egymilliárd-";
    QTest::newRow("-50") << qint64(-50) << "mínusz ötven ";
    QTest::newRow("-10125") << qint64(-10125) << "mínusz tízezer-százhuszonöt ";
    QTest::newRow("int32 max") << qint64(std::numeric_limits<qint32>::max())
                               << "kettömilliárd-száznegyvenhétmillió-"
                                  "négyszáznyolcvanháromezer-hatszáznegyvenhét ";
    QTest::newRow("int32 min") << qint64(std::numeric_limits<qint32>::min())
                               << "mínusz kettömilliárd-száznegyvenhétmillió-"
                                  "négyszáznyolcvanháromezer-hatszáznegyvennyolc ";
    QTest::newRow("largest") << words::kMaxMagnitude
                             << "kilencszázkilencvenkilencmilliárd-"
                                "kilencszázkilencvenkilencmillió-"
                                "kilencszázkilencvenkilencezer-kilencszázkilencvenkilenc ";
}

void TstWords::inWords()
{
    QFETCH(qint64, amount);
    QTEST(words::inWords(amount), "text");
}

void TstWords::azaz()
{
    QCOMPARE(words::azaz(10125), QString("tízezer-százhuszonöt  00/100 Forint"));
    QCOMPARE(words::azaz(1000), QString("egyezer- 00/100 Forint"));
    QCOMPARE(words::azaz(0), QString("nulla 00/100 Forint"));
    QCOMPARE(words::azaz(-8330), QString("mínusz nyolcezer-háromszázharminc  00/100 Forint"));
    QCOMPARE(words::kp2(10125),
             QString("tízezer-százhuszonöt  00/100 Forint -ot a mai napon átvettem."));
}

void TstWords::outOfRange()
{
    QVERIFY_THROWS_EXCEPTION(std::out_of_range, words::inWords(words::kMaxMagnitude + 1));
    QVERIFY_THROWS_EXCEPTION(std::out_of_range, words::inWords(-words::kMaxMagnitude - 1));
    QVERIFY_THROWS_EXCEPTION(std::out_of_range,
                             words::inWords(std::numeric_limits<qint64>::min()));
}

QTEST_GUILESS_MAIN(TstWords)
#include "tst_words.moc"
