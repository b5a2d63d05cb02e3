#include "tickets/payable.h"

#include <QtTest>
#include <cmath>
#include <limits>

using namespace payable;

Q_DECLARE_METATYPE(payable::ContributionBase)

class TstPayable : public QObject {
    Q_OBJECT
private slots:
    void amounts_data();
    void amounts();
    void cashEndings();
    void chainInExtendedPrecision();
    void editionRule();
    void refusesAmountsItCannotHold();
};

void TstPayable::amounts_data()
{
    QTest::addColumn<double>("V");
    QTest::addColumn<double>("far");
    QTest::addColumn<double>("szja");
    QTest::addColumn<double>("jarul");
    QTest::addColumn<double>("levon");
    QTest::addColumn<ContributionBase>("base");
    QTest::addColumn<double>("SZ");
    QTest::addColumn<double>("T");
    QTest::addColumn<qint64>("whole");
    QTest::addColumn<qint64>("cash");

    const auto entry = ContributionBase::AfterTaxAdvance;
    QTest::newRow("10125") << 10125.0 << 0.0 << 0.0 << 0.0 << 0.0 << entry << 0.0 << 0.0
                           << qint64(10125) << qint64(10125);
    QTest::newRow("10127") << 10127.0 << 0.0 << 0.0 << 0.0 << 0.0 << entry << 0.0 << 0.0
                           << qint64(10127) << qint64(10125);
    QTest::newRow("10128") << 10128.0 << 0.0 << 0.0 << 0.0 << 0.0 << entry << 0.0 << 0.0
                           << qint64(10128) << qint64(10130);
    // Whole-forint rounding comes first, halves to even; then the 5-forint step.
    QTest::newRow("1012.5") << 1012.5 << 0.0 << 0.0 << 0.0 << 0.0 << entry << 0.0 << 0.0
                            << qint64(1012) << qint64(1010);
    QTest::newRow("1013.5") << 1013.5 << 0.0 << 0.0 << 0.0 << 0.0 << entry << 0.0 << 0.0
                            << qint64(1014) << qint64(1015);
    // Contribution of what is left after the advance: 2 % of 8500, not of 10000.
    QTest::newRow("szja 15 jarul 2") << 10000.0 << 0.0 << 15.0 << 2.0 << 0.0 << entry
                                     << 1500.0 << 170.0 << qint64(8330) << qint64(8330);
    QTest::newRow("deduction") << 10000.0 << 0.0 << 0.0 << 0.0 << 512.5 << entry << 0.0 << 0.0
                               << qint64(9488) << qint64(9490);
    QTest::newRow("print edition L") << 10000.0 << 9000.0 << 0.0 << 2.0 << 0.0
                                     << ContributionBase::PurchaseValue << 0.0 << 180.0
                                     << qint64(9820) << qint64(9820);
    QTest::newRow("print edition O") << 10000.0 << 9000.0 << 15.0 << 2.0 << 0.0
                                     << ContributionBase::PurchasePrice << 1500.0 << 200.0
                                     << qint64(8300) << qint64(8300);

    // Voiding documents carry every amount negated and must give the negated payable.
    QTest::newRow("void 1012.5") << -1012.5 << 0.0 << 0.0 << 0.0 << 0.0 << entry << 0.0 << 0.0
                                 << qint64(-1012) << qint64(-1010);
    QTest::newRow("void 1013.5") << -1013.5 << 0.0 << 0.0 << 0.0 << 0.0 << entry << 0.0 << 0.0
                                 << qint64(-1014) << qint64(-1015);
    QTest::newRow("void szja jarul levon") << -10000.0 << 0.0 << 15.0 << 2.0 << -512.5 << entry
                                           << -1500.0 << -170.0 << qint64(-7818)
                                           << qint64(-7820);
    QTest::newRow("void edition L") << -10000.0 << -9000.0 << 0.0 << 2.0 << 0.0
                                    << ContributionBase::PurchaseValue << 0.0 << -180.0
                                    << qint64(-9820) << qint64(-9820);
}

void TstPayable::amounts()
{
    QFETCH(double, V);
    QFETCH(double, far);
    QFETCH(double, szja);
    QFETCH(double, jarul);
    QFETCH(double, levon);
    QFETCH(ContributionBase, base);

    Input in;
    in.purchasePrice = V;
    in.purchaseValue = far;
    in.taxPercent = szja;
    in.contributionPercent = jarul;
    in.deduction = levon;
    in.base = base;

    in.transfer = false;
    const Result cash = compute(in);
    in.transfer = true;
    const Result transfer = compute(in);

    QCOMPARE(cash.V, V);
    QTEST(cash.SZ, "SZ");
    QTEST(cash.T, "T");
    QCOMPARE(cash.L, levon);
    QTEST(cash.whole, "whole");
    QTEST(cash.cash, "cash");
    QTEST(cash.payable, "cash");
    QTEST(transfer.payable, "whole");
    QCOMPARE(transfer.cash, cash.cash);
}

void TstPayable::cashEndings()
{
    // Endings 1, 2, 6, 7 go down; 3, 4, 8, 9 go up.
    const qint64 expected[10] = {10120, 10120, 10120, 10125, 10125,
                                 10125, 10125, 10125, 10130, 10130};
    for (int e = 0; e < 10; ++e) {
        Input in;
        in.purchasePrice = 10120 + e;
        QCOMPARE(compute(in).cash, expected[e]);
        in.purchasePrice = -(10120 + e);
        QCOMPARE(compute(in).cash, -expected[e]);
    }
}

void TstPayable::chainInExtendedPrecision()
{
    // 2^42 + 1.5 less 0.0004: in double the difference rounds back to ...105.5 and
    // that half would go up to the even 106; the true value is below the half.
    Input in;
    in.purchasePrice = 4398046511105.5;
    in.deduction = 0.0004;
    in.transfer = true;
    const Result r = compute(in);
    QVERIFY(r.chain < 4398046511105.5L);
    QCOMPARE(r.whole, qint64(4398046511105));
}

void TstPayable::editionRule()
{
    QCOMPARE(printContributionBase("L"), ContributionBase::PurchaseValue);
    QCOMPARE(printContributionBase("O"), ContributionBase::PurchasePrice);
    QCOMPARE(printContributionBase(""), ContributionBase::AfterTaxAdvance);
    QCOMPARE(printContributionBase("A"), ContributionBase::AfterTaxAdvance);
}

void TstPayable::refusesAmountsItCannotHold()
{
    Input in;
    in.purchasePrice = 10000;
    in.deduction = 1e300;
    QVERIFY_THROWS_EXCEPTION(RangeError, compute(in));
    in.deduction = 0;
    in.taxPercent = std::numeric_limits<double>::quiet_NaN();
    QVERIFY_THROWS_EXCEPTION(RangeError, compute(in));
    in.taxPercent = 0;
    in.purchasePrice = std::numeric_limits<double>::infinity();
    QVERIFY_THROWS_EXCEPTION(RangeError, compute(in));

    // The message writes the amount as Hungarians do, never "1.1424e+17".
    in.purchasePrice = 114240000000018704.0;
    try {
        compute(in);
        QFAIL("no RangeError");
    } catch (const RangeError& e) {
        QVERIFY2(e.text().contains("114 240 000 000 018 704 Ft"), qPrintable(e.text()));
        QVERIFY2(e.text().contains("9 000 000 000 000 000 Ft"), qPrintable(e.text()));
        QVERIFY2(!e.text().contains("e+"), qPrintable(e.text()));
    }
    // Just inside the limit still computes.
    in.purchasePrice = 9e15;
    in.transfer = true;
    QCOMPARE(compute(in).payable, qint64(9000000000000000));
}

QTEST_GUILESS_MAIN(TstPayable)
#include "tst_payable.moc"
