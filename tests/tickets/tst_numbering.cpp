#include "tickets/numbering.h"

#include <QtTest>

using namespace numbering;

Q_DECLARE_METATYPE(numbering::CounterProblem)

class TstNumbering : public QObject {
    Q_OBJECT
private slots:
    void next_data();
    void next();
    void refusals();
    void yearOpening_data();
    void yearOpening();
};

void TstNumbering::next_data()
{
    QTest::addColumn<bool>("hasRow");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<CounterProblem>("problem");
    QTest::addColumn<QString>("number");

    const auto ok = CounterProblem::None;
    QTest::newRow("first of a series") << true << "20200000" << ok << "20200001";
    QTest::newRow("plain") << true << "20200041" << ok << "20200042";
    QTest::newRow("rolls over 9999") << true << "20209999" << ok << "20210000";
    QTest::newRow("rolls over 999999") << true << "20999999" << ok << "21000000";
    QTest::newRow("blanks around") << true << " 20200000  " << ok << "20200001";
    QTest::newRow("leading zeros dropped") << true << "00012345" << ok << "12346";
    QTest::newRow("last that fits") << true << "99999998" << ok << "99999999";

    QTest::newRow("no row") << false << "" << CounterProblem::Missing << "";
    QTest::newRow("empty") << true << "" << CounterProblem::NotANumber << "";
    QTest::newRow("blank") << true << " " << CounterProblem::NotANumber << "";
    QTest::newRow("letter") << true << "2020A000" << CounterProblem::NotANumber << "";
    QTest::newRow("sign") << true << "-2020000" << CounterProblem::NotANumber << "";
    QTest::newRow("inner blank") << true << "2020 000" << CounterProblem::NotANumber << "";
    QTest::newRow("99999999") << true << "99999999" << CounterProblem::TooLong << "";
    QTest::newRow("nine digits") << true << "123456789" << CounterProblem::TooLong << "";
    QTest::newRow("beyond 64 bits")
        << true << "99999999999999999999999" << CounterProblem::TooLong << "";
}

void TstNumbering::next()
{
    QFETCH(bool, hasRow);
    QFETCH(QString, stored);
    const Next n = nextNumber(hasRow ? std::optional<QString>(stored) : std::nullopt);
    QTEST(n.problem, "problem");
    QTEST(n.number, "number");
    QCOMPARE(n.ok(), n.problem == CounterProblem::None);
}

void TstNumbering::refusals()
{
    QVERIFY(refusal(CounterProblem::None).isEmpty());
    const QString missing = refusal(CounterProblem::Missing);
    const QString notNumber = refusal(CounterProblem::NotANumber, "2020A000 ");
    const QString tooLong = refusal(CounterProblem::TooLong, "99999999");
    for (const QString& m : {missing, notNumber, tooLong})
        QVERIFY2(m.contains("Évnyitás"), qPrintable(m));
    // The three causes must read differently, and say what was stored.
    QVERIFY(missing != notNumber && notNumber != tooLong && missing != tooLong);
    QVERIFY(notNumber.contains("\"2020A000\""));
    QVERIFY(tooLong.contains("99999999"));
}

void TstNumbering::yearOpening_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("message");

    QTest::newRow("ok") << "20200000" << "";
    QTest::newRow("empty") << "" << "Nincs megadva sorszám!";
    QTest::newRow("all blank") << "        " << "Nincs megadva sorszám!";
    QTest::newRow("7 digits") << "2020000" << "Nem 8 hosszú a számsor!";
    QTest::newRow("9 digits") << "202000000" << "Nem 8 hosszú a számsor!";
    QTest::newRow("trailing blank counts") << "2020000 " << "Csak számot tartalmazhat.";
    QTest::newRow("leading zero") << "02020000" << "Nullável nem kezdödhet!";
    QTest::newRow("pasted letter") << "2020a000" << "Csak számot tartalmazhat.";
    QTest::newRow("pasted sign") << "-2020000" << "Csak számot tartalmazhat.";
    QTest::newRow("no successor") << "99999999"
                                  << "A következő bizonylat sorszám nem férne el 8 karakteren!";
}

void TstNumbering::yearOpening()
{
    QFETCH(QString, typed);
    QTEST(yearOpeningError(typed), "message");
}

QTEST_GUILESS_MAIN(TstNumbering)
#include "tst_numbering.moc"
