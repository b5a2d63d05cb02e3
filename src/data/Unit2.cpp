#include "Unit2.h"

#include "reports/engine/Report.h"

TData* Data = nullptr;
Globals G;

TTable::TTable(fb::Connection* db, const QString& objName, const QString& table, QObject* parent)
    : TQuery(db, objName, parent), table_(table)
{
}

void TTable::open()
{
    setSql("select * from " + table_);
    const QString id = "ID_" + table_;
    openWindow({{}, id, id, id, {}, {}}, {}, false);
}

TxGuard::TxGuard(fb::Connection* db) : db_(db)
{
    db_->startTransaction();
}

TxGuard::~TxGuard()
{
    if (!done_) {
        try {
            db_->rollback();
        } catch (...) {
        }
    }
}

void TxGuard::commit()
{
    db_->commit();
    done_ = true;
}

TData::TData(QObject* parent) : QObject(parent)
{
    setObjectName("Data");
    IBTable1 = new TTable(&ZCon1, "IBTable1", "FJFEJ", this);
    IBTable2 = new TTable(&ZCon1, "IBTable2", "FJSOR", this);
    IBTable3 = new TTable(&ZCon1, "IBTable3", "OSTERMELO", this);
    IBTable4 = new TTable(&ZCon1, "IBTable4", "TERMEK", this);
    IBTable5 = new TTable(&ZCon1, "IBTable5", "SORSZAM", this);
    IBTable6 = new TTable(&ZCon1, "IBTable6", "ATVEVO", this);

    ZQ10 = makeQuery("ZQ10", "select * from FJFEJ ");
    ZQ11 = makeQuery("ZQ11");
    ZQ20 = makeQuery("ZQ20");
    ZQ21 = makeQuery("ZQ21");
    ZQ22 = makeQuery("ZQ22");
    ZQ30 = makeQuery("ZQ30", "select * from OSTERMELO");
    ZQ31 = makeQuery("ZQ31");
    ZQ32 = makeQuery("ZQ32");
    ZQ33 = makeQuery("ZQ33");
    ZQ40 = makeQuery("ZQ40");
    ZQ41 = makeQuery("ZQ41");
    ZQ50 = makeQuery("ZQ50");
    ZQ60 = makeQuery("ZQ60");
    ZQ61 = makeQuery("ZQ61");
    ZQ80 = makeQuery("ZQ80");
    ZQ90 = makeQuery("ZQ90");
    ZQ91 = makeQuery("ZQ91");

    // Report objects
    reportData = std::make_unique<rep::DataRegistry>([this](const QString& name) { return query(name); });
    reportData->addQueryDataSet("frDBDataSet1", "ZQ20");
    reportData->addQueryDataSet("frDBDataSet2", "ZQ30");
    reportData->addQueryDataSet("frDBDataSet3", "ZQ20");
    reportData->addQueryDataSet("frDBDataSet4", "ZQ20");
    reportData->addQueryDataSet("frDBDataSet5", "ZQ11");
    reportData->addQueryDataSet("frDBDataSet6", "ZQ40");
    reportData->addUserDataSet("frUserDataset1", "ZQ20");
    reportData->addUserDataSet("frUserDataset2", "ZQ21");
    reportData->addUserDataSet("frUserDataset3", "ZQ20");
    reportData->addUserDataSet("frUserDataset4", "ZQ21");
    frNyomtat = std::make_unique<rep::Report>("frNyomtat", rep::Report::Kind::Print, reportData.get());
    frMegtekint = std::make_unique<rep::Report>("frMegtekint", rep::Report::Kind::View, reportData.get());
}

TData::~TData()
{
    if (Data == this)
        Data = nullptr;
}

TQuery* TData::makeQuery(const QString& name, const QString& initialSql)
{
    auto* q = new TQuery(&ZCon1, name, this);
    if (!initialSql.isEmpty())
        q->add(initialSql);
    return q;
}

std::vector<TTable*> TData::tables() const
{
    return {IBTable1, IBTable2, IBTable3, IBTable4, IBTable5, IBTable6};
}

std::vector<TQuery*> TData::queries() const
{
    return {ZQ10, ZQ11, ZQ20, ZQ21, ZQ22, ZQ30, ZQ31, ZQ32,
            ZQ33, ZQ40, ZQ41, ZQ50, ZQ60, ZQ61, ZQ80, ZQ90, ZQ91};
}

TQuery* TData::query(const QString& name) const
{
    for (TQuery* q : queries())
        if (q->objectName().compare(name, Qt::CaseInsensitive) == 0)
            return q;
    for (TTable* t : tables())
        if (t->objectName().compare(name, Qt::CaseInsensitive) == 0)
            return t;
    return nullptr;
}

void TData::connect(const QString& path)
{
    ZCon1.attach(path);
    target_ = dbsettings::Target{};
    target_.path = path;
}

void TData::connect(const dbsettings::Target& target)
{
    ZCon1.attach(target.path, target.user, target.password);
    target_ = target;
}

void TData::openTables()
{
    for (TTable* t : tables())
        t->close();
    for (TTable* t : tables())
        t->open();
}

void TData::disconnect()
{
    for (TQuery* q : queries())
        q->close();
    for (TTable* t : tables())
        t->close();
    ZCon1.detach();
}

void TData::finish()
{
    if (IBTrans1.inTransaction())
        IBTrans1.commitRetaining();
    if (ZCon1.connected())
        disconnect();
}

void TData::execCommitted(TQuery* q)
{
    TxGuard tx(&ZCon1);
    q->execSQL();
    tx.commit();
}

static QString joinStreet(TQuery* q, const char* const cols[8])
{
    QStringList parts;
    for (int i = 0; i < 8; ++i)
        parts << (q->isEmpty() ? QString() : q->asString(cols[i]).trimmed());
    return parts.join(' ');
}

QString TData::atv_utca()
{
    static const char* const cols[8] = {"V_KERULET", "V_UTCA", "V_JELLEG", "V_HAZSZAM",
                                        "V_EPULET", "V_LEPCSO", "V_SZINT", "V_AJTO"};
    ZQ61->close();
    ZQ61->clearSql();
    ZQ61->add("SELECT * FROM atvevo WHERE v_akod = :p1");
    ZQ61->setText("p1", G.akod);
    ZQ61->open();
    return joinStreet(ZQ61, cols);
}

QString TData::ost_utca()
{
    static const char* const cols[8] = {"O_KERULET", "O_UTCA", "O_JELLEG", "O_HAZSZAM",
                                        "O_EPULET", "O_LEPCSO", "O_SZINT", "O_AJTO"};
    QString kod = ZQ10->isEmpty() ? QString() : ZQ10->asString("F_OSTERMKOD");
    ZQ33->close();
    ZQ33->clearSql();
    ZQ33->add("SELECT * FROM ostermelo WHERE o_kod = :p1");
    ZQ33->setText("p1", kod);
    ZQ33->open();
    return joinStreet(ZQ33, cols);
}
