// The engine without a database: variables, expressions, paging, master and
// detail, groups, preparation errors, PDF output.

#include "reporttest.h"
#include "testsupport.h"

#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using namespace rep;

class TstEngine : public QObject {
    Q_OBJECT

    // A one-band report printing one text, for expression checks.
    QString evalText(const QString& content, QString* error = nullptr)
    {
        Report r("frNyomtat", Report::Kind::Print, &reg_);
        r.loadFromText("band static height=10\n  text x=0 y=0 w=150 h=5 \"" + content + "\"\nend\n", "expr.frf");
        if (!r.prepare()) {
            if (error)
                *error = r.errorText();
            return "<error>";
        }
        return r.pages().at(0).texts().value(0);
    }

    // "frDBDataSet1" with one column N holding 1 … n.
    static void numbered(DataRegistry& reg, int n)
    {
        auto* ds = new TableDataSet("frDBDataSet1", {"N"});
        for (int i = 1; i <= n; ++i)
            ds->rows.push_back({i});
        reg.add(std::unique_ptr<DataSet>(ds));
    }

    DataRegistry reg_;

private slots:
    void variables()
    {
        QCOMPARE(evalText("[v_sosemvolt]"), QString()); // never set: prints nothing
        setVariable("v_szoveg", QString("első"));
        setVariable("v_szam", 1234.5);
        QCOMPARE(evalText("[v_szoveg]/[v_szam]"), QString("első/1234,5"));
        // replacing keeps one value per name, whatever its case
        setVariable("V_SZOVEG", QString("második"));
        QCOMPARE(variable("v_szoveg").toString(), QString("második"));
        // a later print meets what the earlier one left
        Report second("frMegtekint", Report::Kind::View, &reg_);
        second.loadFromText("band static height=5\n text x=0 y=0 w=50 h=5 \"[v_szoveg] [v_szam]\"\nend\n", "b.frf");
        QVERIFY(second.prepare());
        QCOMPARE(second.pages().at(0).texts().value(0), QString("második 1234,5"));
        setVariable("v_szam", 7);
        QCOMPARE(variable("v_szam").typeId(), int(QMetaType::Double));
        QVERIFY(second.prepare());
        QCOMPARE(second.pages().at(0).texts().value(0), QString("második 7"));
    }

    void expressions_data()
    {
        QTest::addColumn<QString>("content");
        QTest::addColumn<QString>("expected");
        // the 8-1-2 tax number cut out of the eleven digits
        QTest::newRow("adoszam") << "[copy(v_adoszam,1,8)]-[copy(v_adoszam,9,1)]-[copy(v_adoszam,10,2)]"
                                 << "12345678-2-42";
        QTest::newRow("copy beyond end") << "[copy('abc', 3, 5)]|[copy('abc', 7, 1)]" << "c|";
        QTest::newRow("grouping") << "[fmtnum(1234567.5, 2)]" << "1 234 567,50";
        QTest::newRow("grouping negative") << "[fmtnum(-1234, 0)]" << "-1 234";
        QTest::newRow("grouping small") << "[fmtnum(999.999, 2)]" << "1 000,00";
        QTest::newRow("fixed") << "[fixed(2.5, 3)]" << "2,500";
        QTest::newRow("add numbers") << "[v_far + v_kar]" << "10000";
        QTest::newRow("subtract") << "[v_far - v_kar - 0.5]" << "7999,5";
        QTest::newRow("text variable as number") << "[num(v_kif) * 2]" << "-250";
        QTest::newRow("concat") << "[concat('Kp', ' ', v_far)] [v_nev + '!']" << "Kp 9000 Győző Ű!";
        QTest::newRow("precedence") << "[2 + 3 * 4 - (1 - 3)]" << "16";
        QTest::newRow("date") << "[date('2024.3.5')] [date('2024-03-05')]" << "2024.03.05 2024.03.05";
        QTest::newRow("iif") << "[iif(v_far > 5000, 'sok', 'kevés')]" << "sok";
        QTest::newRow("literal brackets") << "[[nem kifejezés]]" << "[nem kifejezés]";
        QTest::newRow("page") << "[PAGE] / [PAGES]" << "1 / 1";
    }

    void expressions()
    {
        QFETCH(QString, content);
        QFETCH(QString, expected);
        setVariable("v_adoszam", QString("12345678242"));
        setVariable("v_far", 9000.0);
        setVariable("v_kar", 1000.0);
        setVariable("v_kif", QString("-125"));
        setVariable("v_nev", QString("Győző Ű"));
        QString err;
        QCOMPARE(evalText(content, &err), expected);
    }

    void expressionErrors_data()
    {
        QTest::addColumn<QString>("content");
        QTest::addColumn<QString>("inMessage");
        QTest::newRow("unknown field") << "[S_NINCS]" << "S_NINCS";
        QTest::newRow("unknown query") << "[ZQ99.V_NEVE]" << "ZQ99";
        QTest::newRow("unknown function") << "[kerekit(1)]" << "kerekit";
        QTest::newRow("syntax") << "[1 + ]" << "hibás kifejezés";
        QTest::newRow("unclosed") << "[v_far" << "lezáratlan";
        QTest::newRow("text minus") << "['abc' - 1]" << "nem szám";
        QTest::newRow("division by zero") << "[1 / 0]" << "nullával";
        QTest::newRow("sum outside footer") << "[sum(1)]" << "footer";
    }

    void expressionErrors()
    {
        QFETCH(QString, content);
        QFETCH(QString, inMessage);
        QString err;
        QCOMPARE(evalText(content, &err), QString("<error>"));
        QVERIFY2(err.contains(inMessage), qPrintable(err));
    }

    // 200 rows over three pages: each printed once, never across the page
    // footer, the page header and "n / m" on every page.
    void listOverPages()
    {
        auto* ds = new TableDataSet("frDBDataSet1", {"N", "NEV", "OSSZEG"});
        for (int i = 1; i <= 200; ++i)
            ds->rows.push_back({i, QString("Sor %1").arg(i), i * 1000.25});
        DataRegistry reg;
        reg.add(std::unique_ptr<DataSet>(ds));
        Report r("frNyomtat", Report::Kind::Print, &reg);
        r.loadFromText(R"T(page A4 portrait margins=10,10,10,10
font "DejaVu Sans" 8
band pageheader height=15
  text x=0 y=0 w=190 h=8 size=12 bold align=center "Fejléc"
end
band pagefooter height=10
  text x=0 y=2 w=190 h=5 align=right "[PAGE] / [PAGES]"
end
data frDBDataSet1
  band row height=3.75
    text x=0 y=0 w=40 h=3.75 "[NEV]"
    text x=40 y=0 w=40 h=3.75 align=right "[fmtnum(OSSZEG, 2)]"
  end
end
)T", "lista.frf");
        QVERIFY2(r.prepare(), qPrintable(r.errorText()));
        QCOMPARE(int(r.pages().size()), 3);
        QStringList seen;
        for (size_t p = 0; p < 3; ++p) {
            const PreparedPage& page = r.pages()[p];
            QCOMPARE(page.size, QSizeF(210, 297));
            const PreparedItem* head = findText(page, "Fejléc");
            QVERIFY(head);
            QCOMPARE(head->rect.top(), 10.0);
            const PreparedItem* num = findText(page, QString("%1 / 3").arg(p + 1));
            QVERIFY(num);
            const double footerTop = 297 - 10 - 10;
            QCOMPARE(num->rect.top(), footerTop + 2);
            for (const auto& it : page.items) {
                if (!it.text.startsWith("Sor "))
                    continue;
                seen << it.text;
                QVERIFY(it.rect.top() >= 10 + 15 - 1e-9);
                QVERIFY2(it.rect.bottom() <= footerTop + 1e-9, qPrintable(it.text));
            }
        }
        QCOMPARE(seen.size(), 200);
        for (int i = 1; i <= 200; ++i)
            QCOMPARE(seen.count(QString("Sor %1").arg(i)), 1);
        QCOMPARE(seen.first(), QString("Sor 1"));
        QCOMPARE(seen.last(), QString("Sor 200"));
        QVERIFY(allTexts(r).contains("1:200 250,00") || allTexts(r).contains("3:200 050,00"));
    }

    // A long text grows its band; a grown row moves to the next page whole.
    void growingRowsAreNotSplit()
    {
        auto* ds = new TableDataSet("frDBDataSet2", {"MEGJ"});
        QString longText = QString("hosszú megjegyzés szöveg ").repeated(12);
        for (int i = 0; i < 30; ++i)
            ds->rows.push_back({QString::number(i) + " " + (i % 3 == 0 ? longText : QString("rövid"))});
        DataRegistry reg;
        reg.add(std::unique_ptr<DataSet>(ds));
        Report r("frNyomtat", Report::Kind::Print, &reg);
        r.loadFromText(R"T(page A5 margins=10,10,10,10
band pagefooter height=8
  text x=0 y=0 w=100 h=5 "[PAGE]"
end
data frDBDataSet2
  band row height=5
    text x=0 y=0 w=60 h=5 grow frame=all "[MEGJ]"
    line x1=70 y1=0 x2=70 y2=5 stretch=1
  end
end
)T", "grow.frf");
        QVERIFY2(r.prepare(), qPrintable(r.errorText()));
        QVERIFY(r.pages().size() >= 2);
        const double bottom = 210 - 10 - 8;
        int grown = 0, rows = 0;
        for (const auto& page : r.pages()) {
            double prevBottom = 0;
            for (const auto& it : page.items) {
                if (it.kind != PreparedItem::Text || it.text.size() < 3)
                    continue;
                ++rows;
                if (it.text.contains("hosszú")) {
                    QVERIFY(it.rect.height() > 10); // several lines at 9 pt in 60 mm
                    ++grown;
                }
                QVERIFY2(it.rect.bottom() <= bottom + 1e-9, qPrintable(it.text.left(10)));
                QVERIFY(it.rect.top() >= prevBottom - 1e-9); // no overlap
                prevBottom = it.rect.bottom();
            }
            // the stretched line follows the grown band
            for (const auto& it : page.items)
                if (it.kind == PreparedItem::Line)
                    QVERIFY(it.rect.height() >= 5 - 1e-9);
        }
        QCOMPARE(rows, 30);
        QCOMPARE(grown, 10);
    }

    // Each master row is followed by exactly its own details; the detail's
    // first runs again for every master row; an empty master prints nothing.
    void masterDetailUserDataSets()
    {
        const QStringList products = {"Búza", "Kukorica", "Napraforgó", "Árpa"};
        const QMap<QString, QStringList> lines = {
            {"Búza", {"B1", "B2", "B3"}}, {"Kukorica", {}}, {"Napraforgó", {"N1"}}, {"Árpa", {"A1", "A2"}}};
        DataRegistry reg;
        UserDataSet* master = reg.addUserDataSet("frUserDataset1");
        UserDataSet* detail = reg.addUserDataSet("frUserDataset2");
        int mi = 0, di = 0, detailFirsts = 0;
        QStringList currentLines;
        QStringList masters = products;
        auto reopen = [&] { currentLines = lines.value(masters.value(std::min<int>(mi, masters.size() - 1))); };
        master->setCallbacks([&] { mi = 0; reopen(); }, [&] { ++mi; reopen(); },
                             [&] { return mi >= masters.size(); });
        master->onField = [&](const QString& f, QVariant* out) {
            if (f.compare("S_MEGNEVEZES", Qt::CaseInsensitive) != 0)
                return false;
            *out = masters.value(mi);
            return true;
        };
        detail->setCallbacks([&] { di = 0; ++detailFirsts; }, [&] { ++di; },
                             [&] { return di >= currentLines.size(); });
        detail->onField = [&](const QString& f, QVariant* out) {
            if (f.compare("TETEL", Qt::CaseInsensitive) != 0)
                return false;
            *out = currentLines.value(di);
            return true;
        };
        Report r("frNyomtat", Report::Kind::Print, &reg);
        r.loadFromText(R"T(band title height=10
  text x=0 y=0 w=100 h=6 "Termékenkénti lista"
end
data frUserDataset1
  band row height=6
    text x=0 y=0 w=100 h=6 bold "M:[S_MEGNEVEZES]"
  end
  data frUserDataset2
    band header height=5
      text x=5 y=0 w=100 h=5 "fej:[frUserDataset1.S_MEGNEVEZES]"
    end
    band row height=5
      text x=10 y=0 w=100 h=5 "D:[TETEL] ([S_MEGNEVEZES])"
    end
    band footer height=5
      text x=5 y=0 w=100 h=5 "db:[sum(1)]"
    end
  end
end
band summary height=5
  text x=0 y=0 w=100 h=5 "vége"
end
)T", "md.frf");
        QVERIFY2(r.prepare(), qPrintable(r.errorText()));
        QStringList got;
        for (const auto& p : r.pages())
            got << p.texts();
        const QStringList want = {"Termékenkénti lista",
                                  "M:Búza", "fej:Búza", "D:B1 (Búza)", "D:B2 (Búza)", "D:B3 (Búza)", "db:3",
                                  "M:Kukorica",
                                  "M:Napraforgó", "fej:Napraforgó", "D:N1 (Napraforgó)", "db:1",
                                  "M:Árpa", "fej:Árpa", "D:A1 (Árpa)", "D:A2 (Árpa)", "db:2",
                                  "vége"};
        QCOMPARE(got, want);
        QCOMPARE(detailFirsts, 4);

        masters.clear();
        detailFirsts = 0;
        QVERIFY(r.prepare());
        got.clear();
        for (const auto& p : r.pages())
            got << p.texts();
        QCOMPARE(got, QStringList({"Termékenkénti lista", "vége"}));
        QCOMPARE(detailFirsts, 0);
    }

    // Group footers show their own group's values and sums, not the next one's.
    void groupsWithSums()
    {
        auto* ds = new TableDataSet("frDBDataSet1", {"TERMEK", "OSSZEG"});
        ds->rows = {{"Búza", 100.0}, {"Búza", 250.5}, {"Rozs", 10.0}, {"Zab", 1.0}, {"Zab", 2.0}};
        DataRegistry reg;
        reg.add(std::unique_ptr<DataSet>(ds));
        Report r("frNyomtat", Report::Kind::Print, &reg);
        r.loadFromText(R"T(data frDBDataSet1
  band header height=5
    text x=0 y=0 w=50 h=5 "Termék"
  end
  group TERMEK
    band header height=5
      text x=0 y=0 w=50 h=5 "[TERMEK]:"
    end
    band footer height=5
      text x=0 y=0 w=50 h=5 "[TERMEK] össz. [fixed(sum(OSSZEG), 2)]"
    end
  end
  band row height=5
    text x=5 y=0 w=50 h=5 "[OSSZEG]"
  end
  band footer height=5
    text x=0 y=0 w=50 h=5 "Mind: [sum(OSSZEG)] ([sum(1)] sor)"
  end
end
)T", "grp.frf");
        QVERIFY2(r.prepare(), qPrintable(r.errorText()));
        QCOMPARE(r.pages().at(0).texts(),
                 QStringList({"Termék", "Búza:", "100", "250,5", "Búza össz. 350,50", "Rozs:", "10",
                              "Rozs össz. 10,00", "Zab:", "1", "2", "Zab össz. 3,00", "Mind: 363,5 (5 sor)"}));
    }

    void templateErrorsAreReportedAtPreparation_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("inMessage");
        QTest::newRow("unclosed band") << "band static height=5\n text x=0 y=0 w=5 h=5 \"a\"\n" << "end";
        QTest::newRow("unknown object") << "band static height=5\n kep x=0\nend\n" << "kep";
        QTest::newRow("no row band") << "data frDBDataSet1\nend\n" << "row";
        QTest::newRow("unknown data set") << "data frNincs\n band row height=5\n end\nend\n" << "frNincs";
        QTest::newRow("text without size") << "band static height=5\n text x=0 y=0 \"a\"\nend\n" << "w és h";
        QTest::newRow("user data set without callbacks") << "data frUserDataset9\n band row height=5\n end\nend\n"
                                                         << "frUserDataset9";
    }

    void templateErrorsAreReportedAtPreparation()
    {
        QFETCH(QString, text);
        QFETCH(QString, inMessage);
        DataRegistry reg;
        reg.addUserDataSet("frUserDataset9");
        Report r("frNyomtat", Report::Kind::Print, &reg);
        r.loadFromText(text, "hibas.frf");
        QVERIFY(!r.prepare());
        QVERIFY(r.pages().empty());
        QVERIFY2(r.errorText().contains(inMessage), qPrintable(r.errorText()));
    }

    // A user data set that never answers "exhausted" must not hang the program.
    // A long preparation shows its progress page by page and stops when the
    // user cancels: no pages, an error that says so.
    void cancelledPreparationLeavesNoPages()
    {
        DataRegistry reg;
        numbered(reg, 400);
        UiScope s;
        Report r("frNyomtat", Report::Kind::Print, &reg);
        r.loadFromText("data frDBDataSet1\n band row height=20\n  text x=0 y=0 w=10 h=5 \"[N]\"\n end\nend\n",
                       "hosszu.frf");
        QVERIFY(r.prepare());
        const int all = int(r.pages().size());
        QVERIFY(all > 10);
        QCOMPARE(s.ui.progress.size(), 1);
        QCOMPARE(s.ui.progressMax, qint64(all - 1));
        s.ui.clear();
        s.ui.cancelAt = 5;
        QVERIFY(!r.prepare());
        QVERIFY(r.pages().empty());
        QVERIFY2(r.errorText().contains("megszakítva"), qPrintable(r.errorText()));
        QCOMPARE(s.ui.progressMax, qint64(5));
    }

    // A page that takes many rows to fill (a long unit measured, a detail
    // read) still moves the progress on as its rows go by.
    void progressWhileAPageFills()
    {
        DataRegistry reg;
        numbered(reg, 3000);
        UiScope s;
        Report r("frNyomtat", Report::Kind::Print, &reg);
        r.loadFromText("data frDBDataSet1\n band row height=0.01\n  text x=0 y=0 w=10 h=0.01 \"[N]\"\n end\nend\n",
                       "suru.frf");
        QVERIFY(r.prepare());
        QCOMPARE(r.pages().size(), size_t(1));
        QVERIFY2(s.ui.progressSteps > 1, qPrintable(QString::number(s.ui.progressSteps)));
        QCOMPARE(s.ui.progressMax, qint64(0)); // no page was done before the end
    }

    void endlessDataSetStops()
    {
        DataRegistry reg;
        UserDataSet* u = reg.addUserDataSet("frUserDataset1");
        u->setCallbacks([] {}, [] {}, [] { return false; });
        Report r("frNyomtat", Report::Kind::Print, &reg);
        r.loadFromText("data frUserDataset1\n band row height=20\n  text x=0 y=0 w=10 h=5 \"x\"\n end\nend\n", "v.frf");
        QVERIFY(!r.prepare());
        QVERIFY(r.pages().empty());
    }

    void orientation()
    {
        DataRegistry reg;
        Report r("frNyomtat", Report::Kind::Print, &reg);
        r.loadFromText("page A4 landscape\nband static height=5\nend\n", "o.frf");
        QVERIFY(r.prepare());
        QCOMPARE(r.pages().at(0).size, QSizeF(297, 210)); // the template's default
        r.setOrientation(QPageLayout::Portrait);          // the print's own wins
        QVERIFY(r.prepare());
        QCOMPARE(r.pages().at(0).size, QSizeF(210, 297));
        r.loadFromText("band static height=5\nend\n", "o2.frf");
        r.setOrientation(QPageLayout::Landscape);
        QVERIFY(r.prepare());
        QCOMPARE(r.pages().at(0).size, QSizeF(297, 210));
    }

    void loadByBareName()
    {
        QTemporaryDir dir;
        QString old = QDir::currentPath();
        QDir::setCurrent(dir.path());
        QFile f("FjLista99.frf");
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("band static height=5\n  text x=0 y=0 w=50 h=5 \"Fájlból: őű\"\nend\n");
        f.close();
        DataRegistry reg;
        Report r("frNyomtat", Report::Kind::Print, &reg);
        r.loadFromFile("FjLista99.frf");
        QVERIFY(r.prepare());
        QCOMPARE(r.pages().at(0).texts(), QStringList("Fájlból: őű"));
        const QString missing = QDir::toNativeSeparators(QDir::current().absoluteFilePath("FjLista98.frf"));
        try {
            r.loadFromFile("FjLista98.frf");
            QFAIL("a missing template must throw");
        } catch (const std::runtime_error& e) {
            QCOMPARE(QString::fromUtf8(e.what()),
                     "A nyomtatási sablon nem nyitható meg: " + missing + " (a fájl nem létezik)");
        }
        // the earlier template is gone: nothing stale can be shown
        QVERIFY(!r.prepare());
        QVERIFY(r.pages().empty());
        // the same without a throw, for the printing screens
        QVERIFY(r.loadAndPrepare("FjLista99.frf"));
        QVERIFY(!r.loadAndPrepare("FjLista98.frf"));
        QVERIFY(r.errorText().contains(missing));
        QVERIFY(r.pages().empty());
        QDir::setCurrent(old);
    }

    // The worked example of the template documentation must stay loadable.
    void documentedExampleLoads()
    {
        QFile f(QStringLiteral(VADMO_SOURCE_DIR) + "/docs/report-templates.md");
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QString doc = QString::fromUtf8(f.readAll());
        const qsizetype at = doc.indexOf("## Worked example");
        QVERIFY(at > 0);
        QString example;
        bool started = false;
        for (const QString& line : doc.mid(at).split('\n').mid(1)) {
            if (line.startsWith("    ")) {
                started = true;
                example += line.mid(4) + '\n';
            } else if (started && !line.trimmed().isEmpty())
                break;
        }
        QVERIFY(example.contains("data frUserDataset3"));
        DataRegistry reg;
        Report r("frNyomtat", Report::Kind::Print, &reg);
        r.loadFromText(example, "FjLista8.frf");
        QVERIFY(r.hasTemplate());
        QVERIFY(!r.prepare()); // no data module here: ZQ60 is unknown
        QVERIFY2(r.errorText().contains("ZQ60"), qPrintable(r.errorText()));
    }

    // Runaway nesting is a template error, never a crash: parentheses, signs,
    // operator chains, and data within data.
    void deepNestingIsRefused_data()
    {
        QTest::addColumn<QString>("text");
        const int n = 100000;
        auto band = [](const QString& expr) {
            return "band static height=5\n text x=0 y=0 w=50 h=5 \"[" + expr + "]\"\nend\n";
        };
        QTest::newRow("parentheses") << band(QString(n, '(') + "1" + QString(n, ')'));
        QTest::newRow("signs") << band(QString(n, '-') + "1");
        QTest::newRow("not") << band(QString("not ").repeated(n) + "1");
        QTest::newRow("chain") << band("1" + QString("+1").repeated(n));
        QTest::newRow("arguments") << band(QString("trim(").repeated(n) + "'a'" + QString(n, ')'));
        QTest::newRow("data") << QString("data frDBDataSet1\n").repeated(n) + " band row height=5\n end\n" +
                                     QString("end\n").repeated(n);
    }

    void deepNestingIsRefused()
    {
        QFETCH(QString, text);
        DataRegistry reg;
        Report r("frNyomtat", Report::Kind::Print, &reg);
        r.loadFromText(text, "mely.frf");
        QVERIFY(!r.prepare());
        QVERIFY(r.pages().empty());
        QVERIFY2(r.errorText().startsWith("mely.frf, ") && r.errorText().contains("túl mély"),
                 qPrintable(r.errorText().left(200)));
    }

    void saneNestingStillWorks()
    {
        QCOMPARE(evalText("[" + QString(60, '(') + "2" + QString(60, ')') + " * 3]"), QString("6"));
        QCOMPARE(evalText("[1" + QString("+1").repeated(80) + "]"), QString("81"));
        QCOMPARE(evalText("[--5]"), QString("5"));
    }

    // Blocks kept on one page: the second starts on a fresh page when it does
    // not fit the rest of the first; one longer than a page goes on with its
    // continued band and the repeated column titles, its pages counted apart.
    void keptBlocks()
    {
        auto* ds = new TableDataSet("frDBDataSet1", {"N"});
        DataRegistry reg;
        reg.add(std::unique_ptr<DataSet>(ds));
        Report r("frNyomtat", Report::Kind::Print, &reg);
        QString block;
        for (const QString& copy : {QString("A"), QString("B")})
            block += QString(R"T(block keep
  band continued height=10
    text x=0 y=0 w=100 h=5 "%1 folytatás [BLOCKPAGE]/[BLOCKPAGES]"
  end
  band static height=20
    text x=0 y=0 w=100 h=5 "%1 fej [BLOCKPAGE]/[BLOCKPAGES] ([PAGE]/[PAGES])"
  end
  data frDBDataSet1
    band header height=5 repeat
      text x=0 y=0 w=100 h=5 "%1 oszlopok"
    end
    band row height=10
      text x=0 y=0 w=100 h=5 "%1 sor [N]"
    end
  end
  band static height=30
    text x=0 y=0 w=100 h=5 "%1 vége"
  end
end
)T").arg(copy);
        r.loadFromText("page A5 portrait margins=10,10,10,10\n" + block, "blokk.frf");
        // A5: 190 mm of room; a block takes 20 + 5 + 10 n + 30 mm.
        auto pagesOf = [&](int rows) {
            ds->rows.clear();
            for (int i = 1; i <= rows; ++i)
                ds->rows.push_back({i});
            [&] { QVERIFY2(r.prepare(), qPrintable(r.errorText())); }();
            QList<QStringList> out;
            for (const auto& p : r.pages())
                out << p.texts();
            return out;
        };
        auto pages = pagesOf(3); // 2 × 85 mm: one page
        QCOMPARE(pages.size(), 1);
        QCOMPARE(pages[0].first(), QString("A fej 1/1 (1/1)"));
        QVERIFY(pages[0].contains("B fej 1/1 (1/1)"));

        pages = pagesOf(6); // 2 × 115 mm: the second block on a page of its own
        QCOMPARE(pages.size(), 2);
        QCOMPARE(pages[0].first(), QString("A fej 1/1 (1/2)"));
        QCOMPARE(pages[0].last(), QString("A vége"));
        QCOMPARE(pages[1].first(), QString("B fej 1/1 (2/2)"));
        QCOMPARE(pages[1].filter("sor").size(), 6);

        pages = pagesOf(20); // 255 mm each: two pages per block
        QCOMPARE(pages.size(), 4);
        const QStringList firsts = {"A fej 1/2 (1/4)", "A folytatás 2/2", "B fej 1/2 (3/4)", "B folytatás 2/2"};
        for (int p = 0; p < 4; ++p) {
            QCOMPARE(pages[p].first(), firsts[p]);
            const QString copy = firsts[p].left(1);
            QCOMPARE(pages[p].value(1), copy + " oszlopok"); // titles right below
            QVERIFY(pages[p].filter(QRegularExpression("^[AB] ")).size() == pages[p].size());
        }
        QCOMPARE(pages[0].filter("sor").size() + pages[1].filter("sor").size(), 20);
        QVERIFY(pages[1].contains("A vége"));
        QVERIFY(!pages[1].contains("B fej 1/2 (3/4)"));

        // Without rows the block is its bands alone; BLOCKPAGE outside a block is PAGE.
        r.loadFromText("band static height=5\n text x=0 y=0 w=50 h=5 \"[BLOCKPAGE]/[BLOCKPAGES]\"\nend\n", "k.frf");
        QVERIFY(r.prepare());
        QCOMPARE(r.pages()[0].texts(), QStringList("1/1"));
    }

    // A footer that does not fit under the last row goes to the next page
    // under the repeated column titles, not alone.
    void footerKeepsItsTitles()
    {
        DataRegistry reg;
        numbered(reg, 18); // 5 + 18 × 10 = 185 of 190 mm
        Report r("frNyomtat", Report::Kind::Print, &reg);
        r.loadFromText(R"T(page A5 portrait margins=10,10,10,10
data frDBDataSet1
  band header height=5 repeat
    text x=0 y=0 w=100 h=5 "Oszlopok"
  end
  band row height=10
    text x=0 y=0 w=100 h=5 "[N]"
  end
  band footer height=8
    text x=0 y=0 w=100 h=5 "Összesen: [sum(N)]"
  end
end
band static height=5
  text x=0 y=0 w=100 h=5 "Vége"
end
)T", "labjegyzet.frf");
        QVERIFY2(r.prepare(), qPrintable(r.errorText()));
        QCOMPARE(r.pages().size(), size_t(2));
        QCOMPARE(r.pages()[0].texts().size(), 19);
        QCOMPARE(r.pages()[1].texts(), QStringList({"Oszlopok", "Összesen: 171", "Vége"}));
    }

    // A kept master row takes its details along to a fresh page rather than
    // leaving its name at the foot of one page and its lines on the next.
    void keptMasterRows()
    {
        auto* master = new TableDataSet("frDBDataSet2", {"NEV"});
        for (int i = 1; i <= 6; ++i)
            master->rows.push_back({QString("Termelő %1").arg(i)});
        auto* detail = new TableDataSet("frDBDataSet1", {"T"});
        for (int i = 1; i <= 8; ++i)
            detail->rows.push_back({i});
        DataRegistry reg;
        reg.add(std::unique_ptr<DataSet>(master));
        reg.add(std::unique_ptr<DataSet>(detail));
        Report r("frNyomtat", Report::Kind::Print, &reg);
        r.loadFromText(R"T(page A5 portrait margins=10,10,10,10
data frDBDataSet2 keep
  band continued height=6
    text x=0 y=0 w=100 h=5 "[NEV] (folytatás)"
  end
  band row height=8
    text x=0 y=0 w=100 h=5 "[NEV]"
  end
  data frDBDataSet1
    band row height=6
      text x=5 y=0 w=100 h=5 "[NEV] / [T]"
    end
  end
end
)T", "mester.frf");
        QVERIFY2(r.prepare(), qPrintable(r.errorText()));
        // 8 + 48 mm each: three per 190 mm page, never split.
        QCOMPARE(r.pages().size(), size_t(2));
        for (const auto& p : r.pages()) {
            const QStringList t = p.texts();
            QCOMPARE(t.size() % 9, 0);
            QVERIFY(t.first().startsWith("Termelő") && !t.first().contains('/'));
            QVERIFY(!t.join('|').contains("folytatás"));
        }
        // A master longer than a page goes on with its continued band.
        for (int i = 9; i <= 40; ++i)
            detail->rows.push_back({i});
        QVERIFY(r.prepare());
        QCOMPARE(r.pages().size(), size_t(12));
        QCOMPARE(r.pages()[1].texts().first(), QString("Termelő 1 (folytatás)"));
        QCOMPARE(r.pages()[2].texts().first(), QString("Termelő 2"));
    }

    // Below a grown text the band's objects move down; those on one line stay
    // on one line, a rectangle grows with what it holds, nothing overlaps.
    void objectsBelowAGrownTextMoveDown()
    {
        setVariable("v_hosszu", QString("Hódmezővásárhely Kiskunfélegyháza Balatonfenyves ").repeated(4));
        DataRegistry reg;
        Report r("frNyomtat", Report::Kind::Print, &reg);
        r.loadFromText(R"T(band static height=30
  rect x=0 y=0 w=100 h=20
  text x=1 y=1 w=40 h=4 grow "[v_hosszu]"
  text x=60 y=1 w=30 h=4 "jobbra"
  text x=1 y=6 w=20 h=4 "Címke:"
  text x=21 y=6 w=40 h=4 "érték"
  text x=61 y=6 w=30 h=4 "mellette"
  line x1=1 y1=12 x2=99 y2=12
  text x=1 y=21 w=60 h=4 "keret alatt"
  text x=120 y=1 w=40 h=4 "oldalt"
end
)T", "folyas.frf");
        QVERIFY2(r.prepare(), qPrintable(r.errorText()));
        const PreparedPage& p = r.pages()[0];
        const double grownBottom = findText(p, r.pages()[0].texts()[0])->rect.bottom();
        QVERIFY(grownBottom > 10 + 10); // several lines at the top margin 10
        const auto* label = findText(p, "Címke:");
        const auto* value = findText(p, "érték");
        const auto* beside = findText(p, "mellette");
        QVERIFY(label->rect.top() >= grownBottom - 1e-6);
        QCOMPARE(value->rect.top(), label->rect.top());
        QCOMPARE(beside->rect.top(), label->rect.top()); // on the label's line, though not below the text
        QCOMPARE(findText(p, "jobbra")->rect.top(), 11.0);   // beside the grown text: stays
        QCOMPARE(findText(p, "oldalt")->rect.top(), 11.0);
        const double moved = label->rect.top() - 16;
        QVERIFY(moved > 5);
        for (const auto& it : p.items) {
            if (it.kind == PreparedItem::Line)
                QCOMPARE(it.rect.top(), 22 + moved);
            if (it.kind == PreparedItem::Rect)
                QCOMPARE(it.rect.height(), 20 + moved);
        }
        QCOMPARE(findText(p, "keret alatt")->rect.top(), 31 + moved);
    }

    // A text that does not fit its box is marked cut; shrink makes a too wide
    // single line smaller; a word longer than its box is broken inside.
    void cutShrinkAndLongWords()
    {
        DataRegistry reg;
        Report r("frNyomtat", Report::Kind::Print, &reg);
        r.loadFromText(R"T(band static height=30
  text x=0 y=0 w=20 h=5 "rövid"
  text x=0 y=5 w=20 h=5 "1 234 567 890,00 Ft"
  text x=0 y=10 w=20 h=5 shrink "1 234 567 890,00 Ft"
  text x=0 y=15 w=20 h=5 wrap "egy kettő három négy öt hat hét"
  text x=30 y=0 w=20 h=4 grow "BL20260001234567890ABCDEFGH"
end
)T", "vag.frf");
        QVERIFY2(r.prepare(), qPrintable(r.errorText()));
        const PreparedPage& p = r.pages()[0];
        QVERIFY(!findText(p, "rövid")->clipped);
        const auto& items = p.items;
        QVERIFY(items[1].clipped);
        QVERIFY(!items[2].clipped);
        QVERIFY(items[2].font.size < 9 && items[2].font.size >= 4);
        QVERIFY(items[3].clipped); // wraps to more lines than 5 mm hold
        QVERIFY(!items[4].clipped);
        QVERIFY(items[4].rect.height() > 8);
    }

    // Texts are measured once per distinct text: one repeated in boxes of
    // other widths, fonts and alignments, after other texts, is laid out and
    // fitted as in a report of its own.
    void repeatedTextsMeasureAsAlone()
    {
        const QStringList objects = {"x=0 y=0 w=30 h=5 grow", "x=30 y=0 w=60 h=5 grow",
                                     "x=90 y=0 w=30 h=5 grow bold size=12",
                                     "x=120 y=0 w=30 h=5 grow align=justify",
                                     "x=150 y=0 w=30 h=4 shrink", "x=180 y=0 w=30 h=4"};
        const QString words = "Étkezési alma, válogatott, kézzel szedett";
        const QStringList texts = {words, "Búza", "1 234 567 890,00", words,
                                   "BL20260001234567890ABCDEFGH", "Búza", words + " téli"};
        auto prepare = [](const QStringList& rows, const QStringList& objs) {
            QString tpl = "page A3 landscape\ndata frDBDataSet1\n band row height=5\n";
            for (const QString& o : objs)
                tpl += "  text " + o + " \"[T]\"\n";
            tpl += " end\nend\n";
            auto* ds = new TableDataSet("frDBDataSet1", {"T"});
            for (const QString& t : rows)
                ds->rows.push_back({t});
            DataRegistry reg;
            reg.add(std::unique_ptr<DataSet>(ds));
            Report r("frNyomtat", Report::Kind::Print, &reg);
            r.loadFromText(tpl, "ismetles.frf");
            return r.prepare() ? r.pages()[0].items : std::vector<PreparedItem>();
        };
        const std::vector<PreparedItem> all = prepare(texts, objects);
        QCOMPARE(all.size(), size_t(objects.size() * texts.size()));
        for (int row = 0; row < int(texts.size()); ++row)
            for (int i = 0; i < int(objects.size()); ++i) {
                const std::vector<PreparedItem> alone = prepare({texts[row]}, {objects[i]});
                QCOMPARE(alone.size(), size_t(1));
                const PreparedItem& a = all[size_t(row * objects.size() + i)];
                QVERIFY2(a.rect.size() == alone[0].rect.size() && a.clipped == alone[0].clipped
                             && a.font == alone[0].font,
                         qPrintable(texts[row] + " in " + objects[i]));
            }
    }

    // Every face a shipped template draws with is installed as itself, and
    // the package depends on the package that brings it: a missing font would
    // be replaced by a wider one and move the layout.
    void templateFontsAreInstalled()
    {
        QFile cmake(QString(VADMO_SOURCE_DIR) + "/CMakeLists.txt");
        QVERIFY(cmake.open(QIODevice::ReadOnly));
        const QString depends = QRegularExpression("CPACK_DEBIAN_PACKAGE_DEPENDS \"([^\"]*)\"")
                                    .match(QString::fromUtf8(cmake.readAll()))
                                    .captured(1);
        QVERIFY(!depends.isEmpty());
        const QDir dir(QString(VADMO_SOURCE_DIR) + "/src/reports/templates");
        const QStringList files = dir.entryList({"*.frf"}, QDir::Files);
        QVERIFY(files.size() >= 15);
        QStringList faults;
        QHash<QString, QString> owners; // font file -> its package
        for (const QString& name : files) {
            QFile f(dir.filePath(name));
            QVERIFY(f.open(QIODevice::ReadOnly));
            const auto tpl = rep::parseTemplate(QString::fromUtf8(f.readAll()), name);
            const auto faces = rep::fontsUsed(*tpl);
            QVERIFY(!faces.empty());
            for (const rep::FontSpec& face : faces) {
                QString pattern = face.family;
                if (face.bold)
                    pattern += ":bold";
                if (face.italic)
                    pattern += ":italic";
                QProcess fc;
                fc.start("fc-match", {pattern, "-f", "%{family[0]}|%{slant}|%{weight}|%{file}"});
                QVERIFY2(fc.waitForFinished() && fc.exitCode() == 0, "fc-match did not run");
                const QStringList got = QString::fromUtf8(fc.readAllStandardOutput()).split('|');
                QCOMPARE(got.size(), 4);
                if (got[0] != face.family || (face.italic && got[1].toInt() < 100) ||
                    (face.bold && got[2].toInt() < 200)) {
                    faults << QString("%1: %2 -> %3").arg(name, pattern, got.join('|'));
                    continue;
                }
                if (!owners.contains(got[3])) {
                    QProcess owner;
                    owner.start("dpkg", {"-S", got[3]});
                    owner.waitForFinished();
                    owners[got[3]] = QString::fromUtf8(owner.readAllStandardOutput()).section(':', 0, 0);
                }
                const QString pkg = owners[got[3]];
                if (pkg.isEmpty() || !depends.contains(QRegularExpression("(^|[ ,])" + pkg + "([ ,]|$)")))
                    faults << QString("%1: %2 comes from \"%3\", which the package does not depend on")
                                  .arg(name, pattern, pkg.isEmpty() ? got[3] : pkg);
            }
        }
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join('\n')));
    }

    void pdfHoldsTheTexts()
    {
        auto* ds = new TableDataSet("frDBDataSet1", {"NEV", "OSSZEG"});
        for (int i = 1; i <= 120; ++i)
            ds->rows.push_back({QString("Őstermelő Ű%1").arg(i), i * 1234.5});
        DataRegistry reg;
        reg.add(std::unique_ptr<DataSet>(ds));
        Report r("frNyomtat", Report::Kind::Print, &reg);
        r.loadFromText(R"T(band pageheader height=10
  text x=0 y=0 w=190 h=6 font="Liberation Sans" bold "Felvásárlási jegyek – [PAGE]. oldal"
end
data frDBDataSet1
  band row height=5
    text x=0 y=0 w=80 h=5 "[NEV]"
    text x=80 y=0 w=40 h=5 align=right "[fmtnum(OSSZEG, 2)]"
  end
end
)T", "pdf.frf");
        QVERIFY(r.prepare());
        QVERIFY(r.pages().size() >= 2);
        QTemporaryDir dir;
        const QString pdf = dir.filePath("out.pdf");
        QVERIFY(r.exportPdf(pdf));
        const QString text = pdfText(pdf);
        QVERIFY2(text.contains("Őstermelő Ű1 "), qPrintable(text.left(300)));
        QVERIFY(text.contains("Őstermelő Ű120"));
        QVERIFY(text.contains("148 140,00"));
        QVERIFY(text.contains("Felvásárlási jegyek – 2. oldal"));
        QVERIFY(!r.exportPdf(dir.filePath("nincs/ilyen/mappa/x.pdf")));
    }
};

QTEST_MAIN(TstEngine)
#include "tst_engine.moc"
