// The data module's report objects over real queries: database data sets walk
// their query and put its cursor back; query fields by name.

#include "reporttest.h"
#include "testsupport.h"

#include <QRegularExpression>
#include <QTest>

using namespace rep;

namespace {
void openRows(TQuery* q, int n)
{
    q->clearSql();
    q->add("with recursive r(n) as (select 1 from rdb$database union all select n + 1 from r where n < "
           + QString::number(n) + ")");
    q->add("select n as s_sor, 'Tétel ' || n as s_megnevezes, n * 1000.5 as s_vetelar, "
           "dateadd(n day to date '2024-01-31') as f_fizkelt from r");
    q->open();
}

const char* kTicket = R"T(page A4 portrait margins=10,10,10,10
band title height=12
  text x=0 y=0 w=190 h=6 "[ZQ60.V_NEVE] – [copy(ZQ60.V_ADOSZAM,1,8)]-[copy(ZQ60.V_ADOSZAM,9,1)]-[copy(ZQ60.V_ADOSZAM,10,2)]"
end
data frDBDataSet1
  band row height=4
    text x=0 y=0 w=60 h=4 "1:[S_MEGNEVEZES]"
    text x=60 y=0 w=30 h=4 "[date(F_FIZKELT)]"
  end
  band footer height=5
    text x=0 y=0 w=90 h=5 "Összesen: [fmtnum(sum(S_VETELAR), 2)]"
  end
end
band static height=6
  text x=0 y=0 w=190 h=6 "2. példány: [ZQ60.V_NEVE]"
end
data frDBDataSet3
  band row height=4
    text x=0 y=0 w=60 h=4 "2:[frDBDataSet3.S_MEGNEVEZES]"
  end
end
)T";
} // namespace

class TstDbData : public QObject {
    Q_OBJECT
private slots:
    void ticketPrintedTwiceFromOneQuery()
    {
        TestDb db;
        UiScope scope;
        TData* d = db.data();
        openRows(d->ZQ20, 12);
        d->ZQ60->clearSql();
        d->ZQ60->add("select 'Kővágó Ödön Bt.' as v_neve, '12345678242' as v_adoszam from rdb$database");
        d->ZQ60->open();
        d->ZQ20->moveTo(4); // the screen's grid stands on the fifth row
        d->frNyomtat->loadFromText(kTicket, "FjLista7.frf");
        QVERIFY2(d->frNyomtat->prepare(), qPrintable(d->frNyomtat->errorText()));
        const QStringList t = d->frNyomtat->pages().at(0).texts();
        QCOMPARE(t.value(0), QString("Kővágó Ödön Bt. – 12345678-2-42"));
        QCOMPARE(t.filter(QRegularExpression("^1:Tétel")).size(), 12);
        QCOMPARE(t.filter(QRegularExpression("^2:Tétel")).size(), 12);
        QCOMPARE(t.value(1), QString("1:Tétel 1"));
        QCOMPARE(t.value(2), QString("2024.02.01"));
        QVERIFY(t.contains("Összesen: 78 039,00"));
        QVERIFY(t.contains("2. példány: Kővágó Ödön Bt."));
        // the walk leaves the query where the screen had it
        QCOMPARE(d->ZQ20->recNo(), 4);
        QVERIFY(!d->ZQ20->eof());

        // the view report reads the same data sets
        d->frMegtekint->loadFromText(kTicket, "FjLista7.frf");
        QVERIFY(d->frMegtekint->prepare());
        QCOMPARE(d->frMegtekint->pages().at(0).texts(), t);
        QVERIFY(!d->frMegtekint->canPrint());
    }

    void emptyOrClosedQueries()
    {
        TestDb db;
        TData* d = db.data();
        d->ZQ20->clearSql();
        d->ZQ20->add("select 1 as s_sor from rdb$database where 1 = 0");
        d->ZQ20->open();
        d->ZQ21->close();
        d->frNyomtat->loadFromText("data frDBDataSet1\n band header height=5\n  text x=0 y=0 w=50 h=5 \"fej\"\n end\n"
                                   " band row height=5\n  text x=0 y=0 w=50 h=5 \"[S_SOR]\"\n end\nend\n"
                                   "band summary height=5\n text x=0 y=0 w=50 h=5 \"vége\"\nend\n",
                                   "ures.frf");
        QVERIFY(d->frNyomtat->prepare());
        QCOMPARE(d->frNyomtat->pages().at(0).texts(), QStringList("vége"));

        // a field of a query that is not open is a preparation error, not a crash
        d->frNyomtat->loadFromText("band static height=5\n text x=0 y=0 w=50 h=5 \"[ZQ21.S_BSZAM]\"\nend\n", "z.frf");
        QVERIFY(!d->frNyomtat->prepare());
        QVERIFY2(d->frNyomtat->errorText().contains("ZQ21.S_BSZAM"), qPrintable(d->frNyomtat->errorText()));
    }

    // A kept master row is measured only as far as the page's foot: the walk
    // left halfway puts the query back, and the sums count every row once.
    void keptMasterOverLongDetail()
    {
        TestDb db;
        TData* d = db.data();
        openRows(d->ZQ20, 50); // 250 mm of lines: longer than the page
        d->ZQ40->clearSql();
        d->ZQ40->add("select 1 as m from rdb$database union all select 2 from rdb$database union all "
                     "select 3 from rdb$database");
        d->ZQ40->open();
        d->ZQ20->moveTo(4);
        d->frNyomtat->loadFromText(R"T(page A5 portrait margins=10,10,10,10
data frDBDataSet6 keep
  band row height=8
    text x=0 y=0 w=100 h=5 "Termelő [M]"
  end
  data frDBDataSet1
    band row height=5
      text x=5 y=0 w=100 h=5 "[M]/[S_SOR]"
    end
    band footer height=5
      text x=5 y=0 w=100 h=5 "Tételek: [sum(S_SOR)]"
    end
  end
  band footer height=5
    text x=0 y=0 w=100 h=5 "Mind: [sum(M)]"
  end
end
)T", "mester.frf");
        QVERIFY2(d->frNyomtat->prepare(), qPrintable(d->frNyomtat->errorText()));
        QStringList t;
        for (const auto& p : d->frNyomtat->pages())
            t << p.texts();
        for (int m = 1; m <= 3; ++m)
            for (int n = 1; n <= 50; ++n)
                QCOMPARE(t.count(QString("%1/%2").arg(m).arg(n)), 1);
        QCOMPARE(t.count("Tételek: 1275"), 3);
        QCOMPARE(t.filter("Mind:"), QStringList("Mind: 6"));
        QCOMPARE(d->ZQ20->recNo(), 4);
    }

    // The per-producer list as the data module will drive it: the master's
    // callbacks move ZQ20 and re-open ZQ21 for the detail.
    void masterDetailOverQueries()
    {
        TestDb db;
        TData* d = db.data();
        d->ZQ20->clearSql();
        d->ZQ20->add("select 'A1' as o_kod, 'Aladár' as o_nev from rdb$database union all "
                     "select 'B2', 'Bűvös Béla' from rdb$database");
        d->ZQ20->open();
        auto reopen = [d] {
            d->ZQ21->clearSql();
            d->ZQ21->add("select o_kod || '-' || n as s_megnevezes from (select 1 as n from rdb$database union all "
                         "select 2 from rdb$database) cross join (select cast(:p0 as varchar(5)) as o_kod from rdb$database)");
            d->ZQ21->setText("p0", d->ZQ20->asString("O_KOD"));
            d->ZQ21->open();
        };
        UserDataSet* m = d->reportData->userDataSet("frUserDataset3");
        UserDataSet* det = d->reportData->userDataSet("frUserDataset4");
        QVERIFY(m && det);
        m->setCallbacks([&] { d->ZQ20->first(); reopen(); }, [&] { d->ZQ20->next(); reopen(); },
                        [&] { return d->ZQ20->eof(); });
        det->setCallbacks([&] { d->ZQ21->first(); }, [&] { d->ZQ21->next(); }, [&] { return d->ZQ21->eof(); });
        d->frNyomtat->loadFromText("data frUserDataset3\n band row height=5\n  text x=0 y=0 w=50 h=5 \"[O_NEV]\"\n end\n"
                                   " data frUserDataset4\n  band row height=5\n   text x=5 y=0 w=50 h=5 \"[S_MEGNEVEZES]\"\n"
                                   "  end\n end\nend\n",
                                   "FjLista8.frf");
        QVERIFY2(d->frNyomtat->prepare(), qPrintable(d->frNyomtat->errorText()));
        QCOMPARE(d->frNyomtat->pages().at(0).texts(),
                 QStringList({"Aladár", "A1-1", "A1-2", "Bűvös Béla", "B2-1", "B2-2"}));
    }
};

QTEST_MAIN(TstDbData)
#include "tst_dbdata.moc"
