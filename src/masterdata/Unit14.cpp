#include "Unit14.h"

#include "Unit2.h"
#include "checks.h"
#include "columntitles.h"
#include "context.h"
#include "gui/dbwidgets.h"
#include "gui/edits.h"
#include "gui/guard.h"
#include "seams.h"
#include "values.h"

#include <QDateEdit>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

TForm14::TForm14(QWidget* parent) : QDialog(parent)
{
    setObjectName("Form14");
    setWindowTitle("Ellenörzés");
    auto* top = new QVBoxLayout(this);
    tabs_ = new QTabWidget(this);
    tabs_->setObjectName("PageControl1");
    tabs_->addTab(jegyTab(), "Felvásárlási jegy");
    tabs_->addTab(adatokTab(), "Adatok");
    tabs_->addTab(ostTab(), "Östermelö");
    top->addWidget(tabs_);
    form::enterMovesFocus(this);
    resize(900, 640);
    jegyTol_->setFocus();
}

QPlainTextEdit* TForm14::logView(const char* name, QWidget* parent)
{
    auto* log = new QPlainTextEdit(parent);
    log->setObjectName(name);
    log->setReadOnly(true);
    log->setLineWrapMode(QPlainTextEdit::NoWrap);
    log->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    log->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    log->setAccessibleName("Az ellenörzés üzenetei");
    return log;
}

QWidget* TForm14::jegyTab()
{
    auto* w = new QWidget;
    w->setObjectName("TabSheet1");
    auto* l = new QVBoxLayout(w);
    l->addWidget(new QLabel("Adat ellenörzés az felvásárlási jegyen adatain:", w));
    const QDate today = seams::ui().today();
    auto date = [w](const QDate& d, const char* name) {
        auto* e = new QDateEdit(d, w);
        e->setObjectName(name);
        e->setDisplayFormat("yyyy.MM.dd");
        e->setCalendarPopup(true);
        e->setMinimumDate(QDate(1900, 1, 1));
        return e;
    };
    jegyTol_ = date(QDate(today.year(), 1, 1), "DateTimePicker2");
    jegyIg_ = date(QDate(today.year(), 12, 31), "DateTimePicker3");
    auto* per = new QHBoxLayout;
    per->addWidget(form::label("Fizetési határidő:", jegyTol_, w));
    per->addWidget(jegyTol_);
    per->addWidget(new QLabel("-tól", w));
    per->addWidget(jegyIg_);
    per->addWidget(new QLabel("-ig", w));
    jegyIg_->setAccessibleName("Fizetési határidő vége");
    per->addStretch();
    l->addLayout(per);
    jegyGrid_ = new DBGrid(w);
    jegyGrid_->setObjectName("DBGrid1");
    jegyGrid_->setTitles(columntitles::all());
    jegyGrid_->setAccessibleName("A kigyüjtött tételsorok");
    auto* nav = new DBNavigator(w);
    nav->setObjectName("DBNavigator1");
    l->addWidget(jegyGrid_, 1);
    l->addWidget(nav);
    jegyLog_ = logView("Memo1", w);
    l->addWidget(jegyLog_, 2);
    auto* b = new QHBoxLayout;
    auto* collect = form::namedButton("Kigyüjtés", "Button1", w);
    jegyCheck_ = form::namedButton("Ellenörzés", "Button2", w);
    jegyCheck_->setEnabled(false);
    auto* close = form::namedButton("Mégsem", "Button3", w);
    b->addStretch();
    b->addWidget(collect);
    b->addWidget(jegyCheck_);
    b->addWidget(close);
    l->addLayout(b);
    connect(collect, &QPushButton::clicked, this, [this] { app::guarded([this] { jegyKigyujtes(); }); });
    connect(jegyCheck_, &QPushButton::clicked, this, [this] { app::guarded([this] { jegyEllenorzes(); }); });
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    return w;
}

QWidget* TForm14::ostTab()
{
    auto* w = new QWidget;
    w->setObjectName("TabSheet3");
    auto* l = new QVBoxLayout(w);
    ostGrid_ = new DBGrid(w);
    ostGrid_->setObjectName("DBGrid2");
    ostGrid_->setTitles(columntitles::all());
    ostGrid_->setAccessibleName("A kigyüjtött östermelök");
    auto* nav = new DBNavigator(w);
    nav->setObjectName("DBNavigator2");
    l->addWidget(ostGrid_, 1);
    l->addWidget(nav);
    ostLog_ = logView("Memo2", w);
    ostLog_->setPlainText("Hiba üzenet");
    l->addWidget(ostLog_, 2);
    auto* b = new QHBoxLayout;
    auto* collect = form::namedButton("Kigyüjtés", "Button4", w);
    ostCheck_ = form::namedButton("Ellenörzés", "Button5", w);
    ostCheck_->setEnabled(false);
    auto* close = form::namedButton("Mégsem", "Button6", w);
    b->addStretch();
    b->addWidget(collect);
    b->addWidget(ostCheck_);
    b->addWidget(close);
    l->addLayout(b);
    connect(collect, &QPushButton::clicked, this, [this] { app::guarded([this] { ostKigyujtes(); }); });
    connect(ostCheck_, &QPushButton::clicked, this, [this] { app::guarded([this] { ostEllenorzes(); }); });
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    return w;
}

void TForm14::jegyKigyujtes()
{
    collected_ = datacheck::Collection::None;
    datacheck::collectTickets(app::currentContext(), Data->ZQ20, jegyTol_->date(), jegyIg_->date());
    collected_ = datacheck::Collection::Tickets;
    showCollection();
    jegyCheck_->setEnabled(true);
    jegyCheck_->setFocus();
}

void TForm14::ostKigyujtes()
{
    collected_ = datacheck::Collection::None;
    datacheck::collectProducers(Data->ZQ20);
    collected_ = datacheck::Collection::Producers;
    showCollection();
    ostCheck_->setEnabled(true);
    ostCheck_->setFocus();
}

// Both tabs show the one collection; until the first, grids and navigators
// stay empty rather than showing what another screen left in ZQ20.
void TForm14::showCollection()
{
    for (DBGrid* g : {jegyGrid_, ostGrid_})
        g->setQuery(Data->ZQ20);
    for (const char* n : {"DBNavigator1", "DBNavigator2"})
        findChild<DBNavigator*>(n)->setQuery(Data->ZQ20);
}

void TForm14::runCheck(datacheck::Collection wanted, QPlainTextEdit* log)
{
    const QString refused = datacheck::refusal(collected_, wanted);
    if (!refused.isEmpty()) {
        seams::ui().showMessage(refused);
        return;
    }
    log->clear();
    const int row = Data->ZQ20->recNo();
    const datacheck::Run r = wanted == datacheck::Collection::Tickets
                                 ? datacheck::checkTickets(Data->ZQ20)
                                 : datacheck::checkProducers(Data->ZQ20);
    if (row >= 0)
        Data->ZQ20->moveTo(row);
    log->setPlainText(r.lines.join('\n'));
    if (!r.ok())
        seams::ui().showMessage("Az ellenörzés megszakadt, mert egy adat nem alakítható át: " +
                                r.error);
}

void TForm14::jegyEllenorzes() { runCheck(datacheck::Collection::Tickets, jegyLog_); }

void TForm14::ostEllenorzes() { runCheck(datacheck::Collection::Producers, ostLog_); }

QWidget* TForm14::subTab(const QString& name, const QString& label, QLineEdit*& edit,
                         QLabel*& msg, const QString& msgText, void (TForm14::*check)())
{
    auto* w = new QWidget;
    w->setObjectName(name);
    auto* g = new QGridLayout(w);
    edit = new FilteredEdit(FilteredEdit::Any, 32767, w);
    edit->setObjectName("ed_" + name);
    g->addWidget(form::label(label, edit, w), 0, 0);
    g->addWidget(edit, 0, 1);
    msg = new QLabel(msgText, w);
    msg->setObjectName("lb_" + name);
    g->addWidget(msg, 1, 0, 1, 3);
    auto* b = new QPushButton("Ellenörzés", w);
    b->setObjectName("bt_" + name);
    auto* close = new QPushButton("Bezárás", w);
    close->setObjectName("btBezar_" + name);
    g->addWidget(b, 0, 2);
    g->addWidget(close, 2, 2);
    g->setRowStretch(3, 1);
    g->setColumnStretch(1, 1);
    connect(b, &QPushButton::clicked, this, [this, check] { app::guarded([this, check] { (this->*check)(); }); });
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    return w;
}

QWidget* TForm14::adatokTab()
{
    auto* w = new QWidget;
    w->setObjectName("TabSheet2");
    auto* l = new QVBoxLayout(w);
    adatTabs_ = new QTabWidget(w);
    adatTabs_->setObjectName("PageControl2");
    adatTabs_->addTab(subTab("Adoszam", "Adószám: ", adoszam_, adoszamMsg_, "Üzenet:",
                             &TForm14::adoszamCheck),
                      "Adószám");
    adatTabs_->addTab(subTab("Adoazon", "Adóazonositó: ", adoazon_, adoazonMsg_, "Üzenet: ",
                             &TForm14::adoazonCheck),
                      "Adóazonositó");
    adatTabs_->addTab(subTab("Taj", "TAJ: ", taj_, tajMsg_, "Üzenet: ", &TForm14::tajCheck),
                      "TAJ");

    auto* n = new QWidget;
    n->setObjectName("Napok");
    auto* g = new QGridLayout(n);
    napokAdoazon_ = new FilteredEdit(FilteredEdit::Any, 32767, n);
    napokAdoazon_->setObjectName("ed_Napok");
    g->addWidget(form::label("Adóazonositója:", napokAdoazon_, n), 0, 0);
    g->addWidget(napokAdoazon_, 0, 1);
    szulIdo_ = new QDateEdit(QDate(1900, 1, 1), n);
    szulIdo_->setObjectName("DateTimePicker1");
    szulIdo_->setDisplayFormat("yyyy.MM.dd");
    szulIdo_->setCalendarPopup(true);
    szulIdo_->setMinimumDate(QDate(1800, 1, 1));
    g->addWidget(form::label("Születési ideje: ", szulIdo_, n), 1, 0);
    g->addWidget(szulIdo_, 1, 1);
    eltelt_ = new QLabel("-", n);
    eltelt_->setObjectName("lb_Eltelt");
    napResz_ = new QLabel("-", n);
    napResz_->setObjectName("lb_NapResz");
    auto* l1 = new QLabel("Eltelt napok száma 1867.01.01-től: ", n);
    l1->setBuddy(eltelt_);
    eltelt_->setAccessibleName("Eltelt napok száma 1867.01.01-től");
    auto* l2 = new QLabel("Adóazonositó alapján: ", n);
    l2->setBuddy(napResz_);
    napResz_->setAccessibleName("Adóazonositó alapján");
    g->addWidget(l1, 2, 0);
    g->addWidget(eltelt_, 2, 1);
    g->addWidget(l2, 3, 0);
    g->addWidget(napResz_, 3, 1);
    napokMsg_ = new QLabel("Üzenet:", n);
    napokMsg_->setObjectName("lb_Napok");
    g->addWidget(napokMsg_, 4, 0, 1, 3);
    auto* b = new QPushButton("Ellenörzés", n);
    b->setObjectName("bt_Napok");
    auto* close = new QPushButton("Bezárás", n);
    close->setObjectName("btBezar_Napok");
    g->addWidget(b, 0, 2);
    g->addWidget(close, 5, 2);
    g->setRowStretch(6, 1);
    g->setColumnStretch(1, 1);
    connect(b, &QPushButton::clicked, this, [this] { app::guarded([this] { napokCheck(); }); });
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    adatTabs_->addTab(n, "Napok");

    l->addWidget(adatTabs_);
    return w;
}

void TForm14::hiba(QLabel* msg, const QString& text)
{
    seams::ui().beep();
    msg->setText(text);
}

bool TForm14::run(bool (*test)(const QString&), const QString& text, bool& valid)
{
    try {
        valid = test(text);
        return true;
    } catch (const checks::ConversionError& e) {
        seams::ui().beep();
        seams::ui().showMessage("A számsor csak számjegyekből állhat! " + e.text());
        return false;
    }
}

void TForm14::adoszamCheck()
{
    const auto num = checks::adoszam11(adoszam_->text());
    if (!num)
        return hiba(adoszamMsg_, "Hibaüzenet: Nem 11 vagy 13 hosszú számsor");
    bool valid = false;
    if (!run(checks::AdoszamEllenorzes, *num, valid))
        return;
    if (valid)
        adoszamMsg_->setText("Az adószám rendben");
    else
        hiba(adoszamMsg_, "Hibaüzenet: Hibás adószám");
}

void TForm14::adoazonCheck()
{
    if (adoazon_->text().size() != 10)
        return hiba(adoazonMsg_, "Hibaüzenet: Nem 10 hosszú számsor");
    bool valid = false;
    if (!run(checks::AdoazonEllenorzes, adoazon_->text(), valid))
        return;
    if (valid)
        adoazonMsg_->setText("Az azóazonositó rendben");
    else
        hiba(adoazonMsg_, "Hibaüzenet: Hibás adóazonositó");
}

void TForm14::tajCheck()
{
    const auto num = checks::taj9(taj_->text());
    if (!num)
        return hiba(tajMsg_, "Hibaüzenet: Nem 9 vagy 11 hosszú számsor");
    bool valid = false;
    if (!run(checks::TAJEllenorzes, *num, valid))
        return;
    if (valid)
        tajMsg_->setText("A TAJ rendben");
    else
        hiba(tajMsg_, "Hibaüzenet: Hibás TAJ");
}

void TForm14::napokCheck()
{
    const QString text = napokAdoazon_->text();
    const QDate date = szulIdo_->date();
    napResz_->setText(checks::adoazonNapResz(text));
    eltelt_->setText(QString::number(checks::elteltNapok(date)));
    if (text.size() != 10)
        return hiba(napokMsg_, "Hibaüzenet: Nem 10 hosszú számsor !");
    try {
        if (checks::ElteltNapEllenorzes(text, val::fmtDate(date)))
            napokMsg_->setText("Az adóazonositó és születési dátum összevetése rendben");
        else
            hiba(napokMsg_, "Hibaüzenet: Az adóazonositó és/vagy szül.dátum hiba !");
    } catch (const checks::ConversionError& e) {
        seams::ui().beep();
        seams::ui().showMessage("A számsor csak számjegyekből állhat! " + e.text());
    }
}
