#pragma once
// The shared data module: the one connection and transaction, the table
// objects, the named query objects and the operations several screens share.
//
// Which screen uses which query object. The rules never reach for them: a
// screen lends an object to the rule it calls (named in brackets). "shows"
// means a grid, a panel or a later step reads the object's current row while
// the screen is open; a statement run on an object that a screen beneath is
// showing replaces what that screen shows, so a save uses an object no screen
// beneath shows, and every screen re-reads its list after a save.
//
//   ZQ10  shows: ticket list TForm8 (windowed list, ticketlist::requery), the
//               entry's load TForm9, ticket print of TForm8 (current row)
//         statements: the header INSERT/UPDATE of TForm9 (ticketentry), then
//               re-read as the list
//   ZQ11  statements: list checks TForm8 (Módosít), entry TForm9, year
//               opening TForm38, buyer profile TForm17, voiding of TForm8,
//               ticket print of TForm8, cash list TForm31
//   ZQ20  shows: lines tab of TForm8, lines grid of TForm9, line entry TForm10,
//               print data of TForm8 and the group lists TForm13/TForm19
//   ZQ21  statements: line sums (TForm9 totals, ticket print); voiding's copied lines
//   ZQ22  statements: line INSERT/UPDATE/DELETE (TForm9), voiding, print mark
//   ZQ30  shows: producer list TForm4, producer of TForm8's tab, print data
//               (TForm4's register, TForm8's ticket); the producer entry TForm5
//               re-reads it
//   ZQ31  statements: producer counts, deletes, next code (TForm4, TForm5, TForm9)
//   ZQ32  statements: printed-ticket count of TForm4; schema upgrades
//   ZQ33  the producer row of ost_utca
//   ZQ40  shows: product list TForm6, product picker of TForm10, TForm6's
//               catalogue print; the product entry TForm7 re-reads it
//   ZQ41  statements: product count, insert, update, delete, next code (TForm6, TForm7)
//   ZQ50  the ticket number counter: TForm8, TForm9, TForm38, TForm39, voiding
//   ZQ60  shows: buyer selection TForm18, buyer profile TForm17, the buyer row
//               of every print (TForm4, TForm6, TForm8 and the list screens)
//   ZQ61  statements: buyer count and update TForm17; atv_utca
//   ZQ80  totals of the per-product and per-producer lists TForm13, TForm19
//   ZQ90, ZQ91  the audit data supply
//   IBTable1..6  the raw table view and the spreadsheet export (windows in
//               key order; nothing read at start-up)

#include "dbsettings.h"
#include "Query.h"
#include "fb.h"
#include "globals.h"

#include <QObject>
#include <memory>
#include <vector>

namespace rep {
class Report;
class DataRegistry;
}

// A table object: the whole table as a window in key order (ID_<table>).
// Opening prepares the statement, which proves the table is there, and reads
// no row; a grid or a walk with first/next/eof reads it a page at a time and
// holds only the window, however long the table.
class TTable : public TQuery {
    Q_OBJECT
public:
    TTable(fb::Connection* db, const QString& objName, const QString& table,
           QObject* parent = nullptr);
    QString tableName() const { return table_; }
    void open(); // select * from the table, nothing read yet

private:
    QString table_;
};

// The shared transaction as the screens see it.
class TTransaction {
public:
    explicit TTransaction(fb::Connection* db) : db_(db) {}
    bool inTransaction() const { return db_->inTransaction(); }
    void startTransaction() { db_->startTransaction(); }
    void commit() { db_->commit(); }
    void commitRetaining() { db_->commitRetaining(); }
    void rollback() { db_->rollback(); }

private:
    fb::Connection* db_;
};

// Rolls the shared transaction back unless committed: one save, one unit of work.
class TxGuard {
public:
    explicit TxGuard(fb::Connection* db);
    ~TxGuard();
    TxGuard(const TxGuard&) = delete;
    TxGuard& operator=(const TxGuard&) = delete;
    void commit();

private:
    fb::Connection* db_;
    bool done_ = false;
};

class TData : public QObject {
    Q_OBJECT
public:
    explicit TData(QObject* parent = nullptr);
    ~TData() override;

    static constexpr const char* DatabaseName = "vadmo7.fdb";

    // Attaches the database file of the current folder.
    void connect(const QString& path = DatabaseName);
    // Attaches the register that the settings name (a file or a server's).
    void connect(const dbsettings::Target& target);
    // What the last connect attached, login included (the server backup needs it).
    const dbsettings::Target& target() const { return target_; }
    // Closes and reopens the six tables; proves that the database holds them.
    void openTables();
    void disconnect();
    // End of work: commit what is pending (retaining), then disconnect.
    void finish();

    // Runs a statement that has no save of its own and commits it at once, so a
    // later failed save elsewhere cannot take it back.
    void execCommitted(TQuery* q);

    TQuery* query(const QString& name) const; // by object name, nullptr when unknown

    // Shared operations.
    QString atv_utca();
    QString ost_utca();

    fb::Connection ZCon1;
    TTransaction IBTrans1{&ZCon1};

    TTable* IBTable1; // FJFEJ
    TTable* IBTable2; // FJSOR
    TTable* IBTable3; // OSTERMELO
    TTable* IBTable4; // TERMEK
    TTable* IBTable5; // SORSZAM
    TTable* IBTable6; // ATVEVO

    TQuery* ZQ10;
    TQuery* ZQ11;
    TQuery* ZQ20;
    TQuery* ZQ21;
    TQuery* ZQ22;
    TQuery* ZQ30;
    TQuery* ZQ31;
    TQuery* ZQ32;
    TQuery* ZQ33;
    TQuery* ZQ40;
    TQuery* ZQ41;
    TQuery* ZQ50;
    TQuery* ZQ60;
    TQuery* ZQ61;
    TQuery* ZQ80;
    TQuery* ZQ90;
    TQuery* ZQ91; // second query of the audit data supply

    std::vector<TTable*> tables() const;
    std::vector<TQuery*> queries() const;

    // Report objects: the print report (preview with print and PDF), the view
    // report (zoom and close only), and the data sets their templates walk:
    // frDBDataSet1/3/4 over ZQ20, frDBDataSet2 over ZQ30, frDBDataSet5 over
    // ZQ11, frDBDataSet6 over ZQ40; frUserDataset1..4 are driven by callbacks
    // that the printing screens install (reportData->userDataSet(name)->setCallbacks),
    // and read their fields from ZQ20 (1, 3) and ZQ21 (2, 4).
    std::unique_ptr<rep::DataRegistry> reportData;
    std::unique_ptr<rep::Report> frNyomtat;
    std::unique_ptr<rep::Report> frMegtekint;

private:
    dbsettings::Target target_;
    TQuery* makeQuery(const QString& name, const QString& initialSql = {});
};

// The one data module of the running program.
extern TData* Data;
