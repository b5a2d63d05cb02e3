#include "Unit11.h"

#include "columntitles.h"

#include "Unit2.h"
#include "gui/dbwidgets.h"
#include "gui/edits.h"
#include "gui/guard.h"
#include "reports/engine/Report.h"
#include "seams.h"
#include "settings.h"
#include "values.h"

#include <QDateEdit>
#include <QDir>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <memory>

namespace {
// Kept for the rest of the run: a second opening shows the last month's files
// under the same names, and the summary list prints what was collected.
QString g_tol;
QString g_ig;
QString g_total;

} // namespace

QString TForm11::periodTol() { return g_tol; }
QString TForm11::periodIg() { return g_ig; }
QString TForm11::periodTotal() { return g_total; }

TForm11::TForm11(QWidget* parent) : QDialog(parent), base_(m2008::baseFolder())
{
    setObjectName("Form11");
    setWindowTitle("NAV 2008M adat importnak a létrehozása");
    auto* top = new QVBoxLayout(this);

    top->addWidget(form::namedLabel("Fizetési dátum szerint", "Label1", this));
    auto* per = new QHBoxLayout;
    // The month before: the one a return is made for, and a period of one
    // month as the check below asks (a whole year would only be refused).
    const QDate today = seams::ui().today();
    const QDate monthStart = QDate(today.year(), today.month(), 1).addMonths(-1);
    tol_ = new QDateEdit(monthStart, this);
    ig_ = new QDateEdit(monthStart.addMonths(1).addDays(-1), this);
    for (QDateEdit* d : {tol_, ig_}) {
        d->setDisplayFormat("yyyy.MM.dd");
        d->setCalendarPopup(true);
        d->setMinimumDate(QDate(1900, 1, 1));
    }
    tol_->setObjectName("DateTimePicker1");
    ig_->setObjectName("DateTimePicker2");
    auto* perLabel = form::label("Bevallási idöszak: ", tol_, this);
    perLabel->setObjectName("Label2");
    ig_->setAccessibleName("Bevallási idöszak vége");
    per->addWidget(perLabel);
    per->addWidget(tol_);
    per->addWidget(form::namedLabel("-tól", "Label3", this));
    per->addWidget(ig_);
    per->addWidget(form::namedLabel("-ig", "Label4", this));
    ok_ = new QPushButton("OK", this);
    ok_->setObjectName("Button3");
    per->addWidget(ok_);
    per->addStretch();
    top->addLayout(per);
    top->addWidget(form::namedLabel("Kigyüjtés ismételhetö.", "Label5", this));
    top->addWidget(form::namedLabel("Bevallási adatok helye : C:\\VADMO7\\ és a hónap száma és a \"\\\" jel",
                        "Label6", this));
    top->addWidget(form::namedLabel("pl:   C:\\VADMO7\\01\\", "Label7", this));
    auto* fl = new QHBoxLayout;
    folder_ = new QLineEdit(this);
    folder_->setObjectName("Edit1");
    form::setReadOnly(folder_);
    auto* folderLabel = form::label("Ide kerülnek az adatok:", folder_, this);
    folderLabel->setObjectName("Label8");
    fl->addWidget(folderLabel);
    fl->addWidget(folder_, 1);
    top->addLayout(fl);
    top->addWidget(form::namedLabel("( Könytárnak létezni kell )", "Label9", this));
    top->addWidget(form::namedLabel("(Ezen a gépen: " + QDir::toNativeSeparators(base_) +
                            " és a hónap száma; ha nincs, a program létrehozza.)",
                        "Label19", this));

    grid_ = new DBGrid(this);
    grid_->setObjectName("DBGrid1");
    grid_->setTitles(columntitles::all());
    grid_->setAccessibleName("Östermelönkénti kifizetett összegek");
    grid_->setMinimumHeight(160);
    top->addWidget(grid_, 1);

    top->addWidget(form::namedLabel("NAV 2008M nyomtatványhoz  adatok kiexportálása. ", "Label10", this));
    top->addWidget(form::namedLabel("Kifizetett összeg  a bevallás 401. sorba kerül beirásra.", "Label11", this));
    top->addWidget(form::namedLabel(" Az adólevonás elmaradás oka (Bevallás 402.sor) = 1  (mert östermelö)",
                        "Label12", this));
    top->addWidget(form::namedLabel("Csak dátumot figyel. (Ha nem volt nyomtatva akkor is bevallásba kerül)",
                        "Label13", this));
    auto* names = new QGridLayout;
    names->addWidget(form::namedLabel("Csoportos importhoz a név:  ", "Label14", this), 0, 0);
    names->addWidget(form::namedLabel("2008M_20200101_0131.txt", "Label15", this), 0, 1, 1, 3);
    names->addWidget(form::namedLabel("Egyedi  importhoz a  név:", "Label16", this), 1, 0);
    names->addWidget(form::namedLabel("2008M", "Label20", this), 1, 1);
    names->addWidget(form::namedLabel("202001", "Label21", this), 1, 2);
    names->addWidget(form::namedLabel("_8123456789.imp", "Label22", this), 1, 3);
    names->addWidget(form::namedLabel("Nyomtatvány", "Label17", this), 2, 1);
    names->addWidget(form::namedLabel("Hónap", "Label18", this), 2, 2);
    names->addWidget(form::namedLabel("Adóazonositója", "Label23", this), 2, 3);
    names->setColumnStretch(4, 1);
    top->addLayout(names);

    auto* buttons = new QHBoxLayout;
    collect_ = new QPushButton("Kigyüjtés", this);
    collect_->setObjectName("Button1");
    print_ = new QPushButton("Nyomtatás", this);
    print_->setObjectName("Button2");
    auto* cancel = new QPushButton("Mégsem", this);
    cancel->setObjectName("Button4");
    collect_->setEnabled(false);
    print_->setEnabled(false);
    buttons->addStretch();
    buttons->addWidget(collect_);
    buttons->addWidget(print_);
    buttons->addWidget(cancel);
    top->addLayout(buttons);

    form::enterMovesFocus(this);
    ig_->installEventFilter(this);

    connect(ok_, &QPushButton::clicked, this, [this] { app::guarded([this] { confirmPeriodClick(); }); });
    connect(collect_, &QPushButton::clicked, this,
            [this] { app::guarded([this] { collectClick(); }); });
    connect(print_, &QPushButton::clicked, this,
            [this] { app::guarded([this] { printClick(); }); });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(tol_, &QDateEdit::dateChanged, this, [this] { startDateChanged(); });

    sumvar_ = m2008::amountFromSumvar(settings::iniFileName("form9.ini"));

    // The grid starts empty: no line has a single blank as its number.
    TQuery* q = Data->ZQ20;
    q->close();
    q->clearSql();
    q->add("SELECT * FROM Fjsor WHERE s_bszam = :p1");
    q->setText("p1", " ");
    app::guarded([&] { q->open(); });
    grid_->setQuery(q);
    tol_->setFocus();
}

bool TForm11::eventFilter(QObject* o, QEvent* e)
{
    // After the focus has moved: a message shown inside the move would send the
    // focus back to the end date, and every way out of it would warn again.
    if (o == ig_ && e->type() == QEvent::FocusOut)
        QTimer::singleShot(0, this, [this] { app::guarded([this] { endDateLeft(); }); });
    return QDialog::eventFilter(o, e);
}

m2008::Period TForm11::period() const { return {g_tol, g_ig, tol_->date(), ig_->date()}; }

void TForm11::checkPeriod(const char* message)
{
    g_tol = val::fmtDate(tol_->date());
    g_ig = val::fmtDate(ig_->date());
    if (!m2008::sameMonth(g_tol, g_ig)) {
        seams::ui().beep();
        seams::ui().showMessage(QString::fromUtf8(message));
        return;
    }
    folder_->setText(m2008::monthFolderText(base_, g_tol));
    collect_->setEnabled(true);
}

void TForm11::confirmPeriodClick() { checkPeriod("Hiba112! Csak egy hónap intervallum lehet."); }

void TForm11::endDateLeft() { checkPeriod("Hiba111! Csak egy hónap intervallum lehet."); }

void TForm11::startDateChanged()
{
    collect_->setEnabled(false);
    print_->setEnabled(false);
}

void TForm11::collectClick()
{
    const rec::Context ctx{&Data->ZCon1, G.akod, G.tipus, G.ervTipus, seams::ui().today()};
    m2008::Result r;
    {
        std::unique_ptr<seams::Progress> job = seams::startProgress("Kigyüjtés…", 0);
        r = m2008::collect(ctx, Data->ZQ20, period(), m2008::monthFolder(base_, g_tol), sumvar_,
                           [&job](qint64 done, qint64) {
                               job->setValue(done);
                               return job->wasCanceled();
                           });
    }
    grid_->setQuery(Data->ZQ20);
    if (!r.ok) {
        seams::ui().showMessage(r.message);
        return;
    }
    g_total = r.total;
    print_->setEnabled(true);
    print_->setFocus();
}

void TForm11::printClick()
{
    const rec::Context ctx{&Data->ZCon1, G.akod, G.tipus, G.ervTipus, seams::ui().today()};
    m2008::preparePrint(ctx, Data->ZQ20, Data->ZQ60, period(), sumvar_, g_total);
    grid_->setQuery(Data->ZQ20);
    Data->frNyomtat->setOrientation(QPageLayout::Portrait);
    Data->frNyomtat->loadFromFile("FjLista3.frf");
    Data->frNyomtat->setFileName(rep::safeFileName(m2008::summaryFileName(period())));
    Data->frNyomtat->setTitle("2008M bevallás – kifizetések östermelönként " +
                              rep::variable("v_tol").toString() + "–" +
                              rep::variable("v_ig").toString());
    Data->frNyomtat->showReport();
}
