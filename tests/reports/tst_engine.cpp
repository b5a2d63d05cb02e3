// The engine without a database: variables, expressions, paging, master and
// detail, groups, preparation errors, PDF output.

#include "reporttest.h"
#include "testsupport.h"

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
        try {
            r.loadFromFile("FjLista98.frf");
            QFAIL("a missing template must throw");
        } catch (const std::runtime_error& e) {
            QCOMPARE(QString::fromUtf8(e.what()), QString("Cannot open file FjLista98.frf"));
        }
        // the earlier template is gone: nothing stale can be shown
        QVERIFY(!r.prepare());
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
