#include "Unit9.h"

#include "Unit10.h"
#include "Unit2.h"
#include "context.h"
#include "gui/dbwidgets.h"
#include "gui/edits.h"
#include "gui/guard.h"
#include "gui/outcome.h"
#include "gui/screens.h"
#include "seams.h"
#include "settings.h"
#include "ticketlist.h"
#include "values.h"

#include <QCheckBox>
#include <QEvent>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

const QString kNew = "Új felvásárlási jegy";
const QString kModify = "Felvásárlási jegy módositás";
const QString kPaymentHint =
    "Dupla klikkre (átutalás esetén) östermelönél megadott banki nappal növelve ha nincs "
    "megadva akkor 8 nappal.";


// Whole forint with a blank between thousands, as the totals show them.
QString grouped(double v) { return val::fmtFixed(val::roundHalfEven(v), 0, true); }
QString plain(double v) { return QString::number(qint64(val::roundHalfEven(v))); }

// Runs an action on one kind of event of a control (a double click in the
// payment date, the focus leaving the transfer box).
class EventAction : public QObject {
public:
    EventAction(QObject* parent, QEvent::Type type, std::function<void()> f)
        : QObject(parent), type_(type), f_(std::move(f))
    {
    }
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() == type_)
            f_();
        return false;
    }

private:
    QEvent::Type type_;
    std::function<void()> f_;
};

} // namespace

QString TForm9::modeText(Mode m) { return m == Mode::New ? kNew : kModify; }

TForm9::TForm9(Mode mode, QWidget* parent) : QDialog(parent), mode_(mode)
{
    setObjectName("Form9");
    setWindowTitle("Felvásárlási jegy bevitel");
    buildUi();
    applyOptionalFields();
    form::enterMovesFocus(this);
}

void TForm9::buildUi()
{
    auto* top = new QVBoxLayout(this);
    auto* head = new QHBoxLayout;
    sorszam_ = new QLineEdit(this);
    sorszam_->setObjectName("Edit1");
    form::setReadOnly(sorszam_);
    // Shown, not typed: Tab and Enter pass it by, the first focus goes to a field.
    sorszam_->setFocusPolicy(Qt::ClickFocus);
    sorszam_->setMaximumWidth(120);
    QFont bold = sorszam_->font();
    bold.setBold(true);
    sorszam_->setFont(bold);
    head->addWidget(form::label("Sorszám", sorszam_, this));
    head->addWidget(sorszam_);
    head->addStretch();
    top->addLayout(head);

    tabs_ = new QTabWidget(this);
    tabs_->setObjectName("PageControl1");
    top->addWidget(tabs_);

    // Header tab
    auto* fej = new QWidget;
    fej->setObjectName("TabFejsor");
    auto* fg = new QGridLayout(fej);
    ostButton_ = new QPushButton("Őstermelő", fej);
    ostButton_->setObjectName("Button3");
    fg->addWidget(ostButton_, 0, 0);
    auto* ostBox = new QGroupBox("Őstermelő adatai:", fej);
    auto* ol = new QGridLayout(ostBox);
    const QList<QPair<QString, QString>> panel = {
        {"O_NEV", "Név"}, {"O_IRSZAM", "Irsz."}, {"O_HELYSEGNEV", "Helység"}, {"O_UTCA", "Utca"}};
    int c = 0;
    for (const auto& [col, lbl] : panel) {
        auto* e = new QLineEdit(ostBox);
        e->setObjectName("ost_" + col);
        form::setReadOnly(e);
        producer_[col] = e;
        ol->addWidget(form::label(lbl, e, ostBox), c / 2, (c % 2) * 2);
        ol->addWidget(e, c / 2, (c % 2) * 2 + 1);
        ++c;
    }
    fg->addWidget(ostBox, 0, 1, 1, 5);

    auto mk = [&](const QString& key, const QString& name, FilteredEdit::Mode m, int maxLen,
                  const QString& caption, int row, int col) {
        auto* e = new FilteredEdit(m, maxLen, fej);
        e->setObjectName(name);
        edits_[key] = e;
        QLabel* l = form::label(caption, e, fej);
        labels_[key] = l;
        fg->addWidget(l, row, col);
        fg->addWidget(e, row, col + 1);
        return e;
    };
    mk("kelt", "Edit2", FilteredEdit::DateText, 10, "Kiállítás ", 1, 0);
    mk("felvkelt", "Edit3", FilteredEdit::DateText, 10, "Felvásárlás", 2, 0);
    FilteredEdit* fiz = mk("fizkelt", "Edit4", FilteredEdit::DateText, 10, "Összeg átvétel/átutalás ", 3, 0);
    fiz->setToolTip(kPaymentHint);
    fiz->installEventFilter(
        new EventAction(this, QEvent::MouseButtonDblClick, [this] { paymentDateRule(); }));
    utal_ = new QCheckBox("Átutalással", fej);
    utal_->setObjectName("CheckBox1");
    utal_->setToolTip("Ha van bank szla száma akkor átutalással, de módosítható");
    fg->addWidget(utal_, 4, 1);
    mk("szja", "Edit5", FilteredEdit::Digits, 3, "Szja %", 1, 2);
    mk("levonszaz", "Edit14", FilteredEdit::Decimal, 10, "Súlylevon.%", 2, 2);
    mk("jarul", "Edit15", FilteredEdit::Decimal, 10, "Tagi h.járul.%", 3, 2);
    mk("levonas", "Edit13", FilteredEdit::Decimal, 15, "Levonás (Ft)", 4, 2);
    FilteredEdit* megj = mk("megj", "Edit6", FilteredEdit::Any, 200, "Megjegyzés:", 5, 0);
    fg->removeWidget(megj);
    fg->addWidget(megj, 5, 1, 1, 5);
    nyilatkBox_ = new QCheckBox("Nyilatkozat:", fej);
    nyilatkBox_->setObjectName("CheckBox2");
    nyilatkBox_->setChecked(true);
    fg->addWidget(nyilatkBox_, 6, 0, Qt::AlignTop);
    nyilatk_ = new QPlainTextEdit(fej);
    nyilatk_->setObjectName("Memo1");
    nyilatk_->setAccessibleName("Nyilatkozat");
    nyilatk_->setToolTip("A nyilatkozat szövegén itt változtathat");
    nyilatk_->setTabChangesFocus(true);
    // Enter moves on here as in every field: a line break would be stored and printed.
    nyilatk_->installEventFilter(this);
    nyilatk_->setFixedHeight(56);
    connect(nyilatk_, &QPlainTextEdit::textChanged, this, [this] {
        QString t = nyilatk_->toPlainText();
        if (t.size() > 250) {
            QSignalBlocker b(nyilatk_);
            nyilatk_->setPlainText(t.left(250));
            nyilatk_->moveCursor(QTextCursor::End);
        }
    });
    fg->addWidget(nyilatk_, 6, 1, 1, 5);
    fg->setColumnStretch(5, 1);
    tabs_->addTab(fej, "Fejsor");

    // Producer card tab
    auto* card = new QWidget;
    card->setObjectName("TabOstermelo");
    auto* cl = new QVBoxLayout(card);
    auto* adata = new QGroupBox("Adata", card);
    auto* al = new QGridLayout(adata);
    const QList<QPair<QString, QString>> cardFields = {
        {"Neve:", "O_NEV"}, {"ID:", "ID_OSTERMELO"}, {"Kód:", "O_KOD"},
        {"Cim:", "O_CIM"}, {"Adóazonositó:", "O_ADOAZON"}, {"Ősterm.Ig.szám:", "O_IGSZAM"},
        {"Reg.szám:", "O_REGSZAM"}, {"Családi g.szám:", "O_CSGAZD"}, {"Adószám:", "O_ADOSZAM"},
        {"Bank szla:", "O_BANKSZLA"}, {"Érvényesitve:", "O_ERVKELT"}, {"Betétlap:", "O_BETETLAP"},
        {"Bank nap:", "O_FHAT"}, {"Születési név:", "O_SZULNEV"}, {"Születési idő:", "O_SZIDO"},
        {"Anyja neve:", "O_ANYJA"}};
    int r = 0;
    for (const auto& [lbl, col] : cardFields) {
        auto* e = new QLineEdit(adata);
        e->setObjectName("card_" + col);
        form::setReadOnly(e);
        producer_["card_" + col] = e;
        al->addWidget(form::label(lbl, e, adata), r / 2, (r % 2) * 2);
        al->addWidget(e, r / 2, (r % 2) * 2 + 1);
        ++r;
    }
    cl->addWidget(adata);
    cl->addStretch();
    tabs_->addTab(card, "Őstermelő");

    // Lines
    auto* tetel = new QGroupBox("Tételsor", this);
    tetel->setObjectName("GroupBox2");
    auto* tl = new QVBoxLayout(tetel);
    grid_ = new DBGrid(tetel);
    grid_->setObjectName("DBGrid1");
    grid_->setAccessibleName("Tételsor");
    grid_->setMinimumHeight(150);
    grid_->installEventFilter(this);
    tl->addWidget(grid_);
    auto* lineRow = new QHBoxLayout;
    nav_ = new DBNavigator(tetel);
    nav_->setObjectName("DBNavigator1");
    nav_->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    lineRow->addWidget(nav_);
    auto* uj = new QPushButton("Új", tetel);
    uj->setObjectName("Button4");
    auto* mod = new QPushButton("Módosít", tetel);
    mod->setObjectName("Button5");
    auto* del = new QPushButton("Töröl", tetel);
    del->setObjectName("Button6");
    lineRow->addWidget(uj);
    lineRow->addWidget(mod);
    lineRow->addWidget(del);
    lineRow->addStretch();
    auto addTotal = [&](QHBoxLayout* row, const QString& key, const QString& caption, QWidget* parent) {
        auto* e = new QLineEdit(parent);
        e->setObjectName("tot_" + key);
        form::setReadOnly(e);
        e->setAlignment(Qt::AlignRight);
        if (key == "fizetendo") {
            QFont f = e->font();
            f.setBold(true);
            e->setFont(f);
        }
        // Wide enough for the largest amount a ticket may reach, uncut.
        e->setFixedWidth(QFontMetrics(e->font()).horizontalAdvance("-999 999 999 999") + 16);
        totals_[key] = e;
        row->addWidget(form::label(caption, e, parent));
        row->addWidget(e);
    };
    // The totals on a row of their own: beside the buttons they would be cut.
    auto* totalRow = new QHBoxLayout;
    totalRow->addStretch();
    addTotal(totalRow, "far", "Felvásárlási ár", tetel);
    addTotal(totalRow, "kfelar", "Komp.felár", tetel);
    addTotal(totalRow, "var", "Vételár", tetel);
    addTotal(totalRow, "fizetendo", "Fizetendö", tetel);
    tl->addLayout(lineRow);
    tl->addLayout(totalRow);
    top->addWidget(tetel, 1);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(new QLabel("Eddig mindösszesen: ", this));
    auto* eddigW = new QWidget(this);
    auto* eddig = new QHBoxLayout(eddigW);
    eddig->setContentsMargins(0, 0, 0, 0);
    addTotal(eddig, "far1", "Felvásárlási ár", eddigW);
    addTotal(eddig, "kfelar1", "Komp.felár", eddigW);
    addTotal(eddig, "var1", "Vételár", eddigW);
    bottom->addWidget(eddigW);
    bottom->addStretch();
    auto* ok = new QPushButton("OK", this);
    ok->setObjectName("Button1");
    auto* cancel = new QPushButton("Mégsem", this);
    cancel->setObjectName("Button2");
    bottom->addWidget(ok);
    bottom->addWidget(cancel);
    top->addLayout(bottom);

    // The lines of an unsaved ticket wait under a key; the user sees the number offered.
    auto number = [this](const QVariant& v) {
        const QString s = val::asText(v);
        return s.startsWith('*') ? bszam_ : s;
    };
    grid_->setQuery(Data->ZQ20, {{"S_BSZAM", "Bszám", 0, number}, {"S_TERMEKKOD", "Kód"},
                                 {"S_MEGNEVEZES", "Megnevezés"}, {"S_BRUTTO", "Mennyiség"},
                                 {"S_MEGY", "M.egys."},      {"S_EAR", "Egységár"},
                                 {"S_FELVAR", "Felvásárl.ár"}, {"S_KOMPMERTEKE", "Komp.%"},
                                 {"S_KOMPFELAR", "Komp.felár"}, {"S_VETELAR", "Vételár"},
                                 {"S_SZJA", "szja %"},       {"S_VTSZ", "VTSZ"},
                                 {"S_AKOD", "AKOD"},         {"ID_FJSOR", "ID"}});
    nav_->setQuery(Data->ZQ20);

    connect(ostButton_, &QPushButton::clicked, this, [this] { app::guarded([this] { chooseProducer(); }); });
    connect(utal_, &QCheckBox::toggled, this, [this] { app::guarded([this] { f_mindosszes(); }); });
    // A click on the box, and leaving it, apply the payment date rule.
    connect(utal_, &QCheckBox::clicked, this, [this] { paymentDateRule(); });
    utal_->installEventFilter(new EventAction(this, QEvent::FocusOut, [this] { paymentDateRule(); }));
    connect(nyilatkBox_, &QCheckBox::clicked, this, [this](bool on) {
        nyilatk_->setPlainText(on ? G.nyilatk : QString(" "));
    });
    connect(uj, &QPushButton::clicked, this, [this] { app::guarded([this] { newLine(); }); });
    connect(mod, &QPushButton::clicked, this, [this] { app::guarded([this] { changeLine(); }); });
    connect(del, &QPushButton::clicked, this, [this] { app::guarded([this] { deleteLine(); }); });
    app::wireOk(ok, this, [this] { return save(); });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    resize(1000, 680);
}

void TForm9::applyOptionalFields()
{
    settings::IniFile ini(settings::iniFileName("form9.ini"));
    struct Opt {
        const char* key;
        const char* visible;
        const char* text;
    };
    for (const Opt& o : {Opt{"levonszaz", "Edit14Visible", "Edit14Text"},
                         Opt{"jarul", "Edit15Visible", "Edit15Text"},
                         Opt{"levonas", "Edit13Visible", "Edit13Text"}}) {
        bool on = ini.readString("Form9", o.visible) == "1";
        edits_[o.key]->setVisible(on);
        labels_[o.key]->setVisible(on);
        if (!on)
            edits_[o.key]->setText("0");
        else if (mode_ == Mode::New)
            edits_[o.key]->setText(ini.readString("Form9", o.text));
    }
}

void TForm9::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    if (!shown_) {
        shown_ = true;
        edits_["kelt"]->setFocus();
    }
}

bool TForm9::eventFilter(QObject* o, QEvent* e)
{
    if (o == nyilatk_ && e->type() == QEvent::KeyPress) {
        auto* k = static_cast<QKeyEvent*>(e);
        if (k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter) {
            if (k->modifiers() & Qt::ShiftModifier)
                focusPreviousChild();
            else
                focusNextChild();
            return true;
        }
    }
    // Enter walks the lines and, after the last one, leaves the grid for
    // the buttons below, as Enter does in every field.
    if (o == grid_ && e->type() == QEvent::KeyPress) {
        auto* k = static_cast<QKeyEvent*>(e);
        if (k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter) {
            const int row = grid_->currentIndex().row();
            const int rows = grid_->model() ? grid_->model()->rowCount() : 0;
            if (k->modifiers() & Qt::ShiftModifier)
                focusPreviousChild();
            else if (row >= 0 && row + 1 < rows)
                grid_->setCurrentIndex(grid_->model()->index(row + 1, std::max(0, grid_->currentIndex().column())));
            else
                focusNextChild();
            return true;
        }
    }
    return QDialog::eventFilter(o, e);
}

bool TForm9::prepareNew()
{
    numbering::Next next = ticketlist::nextNumber(Data->ZQ50);
    if (!next.ok()) {
        seams::ui().showMessage(numbering::refusal(next.problem));
        return false;
    }
    bszam_ = next.number;
    sorszam_->setText(bszam_);
    const rec::Context ctx = app::currentContext();
    lineKey_ = ticketentry::newTicketKey(ctx);
    // The screen opens even when the orphans stay.
    app::showOutcome(ticketentry::clearAbandonedLines(
                         ctx, bszam_,
                         "Hiba91: Fjsor DELETE törlése mert nem volt fejrésze "),
                     this);
    requeryLines();
    QString today = val::fmtDate(seams::ui().today());
    edits_["kelt"]->setText(today);
    edits_["felvkelt"]->setText(today);
    edits_["fizkelt"]->setText(today);
    edits_["szja"]->setText("0");
    ostKod_.clear();
    G.ostKod.clear();
    showProducer();
    nyilatkBox_->setChecked(true);
    nyilatk_->setPlainText(G.nyilatk);
    f_mindosszes();
    return true;
}

bool TForm9::load()
{
    setWindowTitle(kModify);
    TQuery* l = Data->ZQ10;
    if (l->isEmpty())
        return false;
    bszam_ = l->asString("F_BSZAM");
    sorszam_->setText(bszam_);
    id_ = l->asInteger("ID_FJFEJ");
    printed_ = l->asString("F_PRN") == "I";
    ostKod_ = l->asString("F_OSTERMKOD");
    edits_["kelt"]->setText(val::fmtDate(l->asDate("F_KELT")));
    edits_["felvkelt"]->setText(val::fmtDate(l->asDate("F_FELVKELT")));
    edits_["fizkelt"]->setText(val::fmtDate(l->asDate("F_FIZKELT")));
    edits_["szja"]->setText(l->asString("F_SZJA"));
    if (!edits_["levonas"]->isHidden())
        edits_["levonas"]->setText(l->asString("F_LEVONAS"));
    if (!edits_["jarul"]->isHidden())
        edits_["jarul"]->setText(l->asString("F_JARULSZAZ"));
    edits_["megj"]->setText(l->asString("F_MEGJ"));
    QString ny = l->asString("F_NYILATK");
    nyilatk_->setPlainText(ny);
    nyilatkBox_->setChecked(ny.size() >= 6);
    {
        QSignalBlocker b(utal_);
        utal_->setChecked(l->asString("F_UTAL") == "x");
    }
    G.aktBszam = bszam_;
    G.ostKod = ostKod_;
    requeryLines();
    if (!edits_["levonszaz"]->isHidden())
        edits_["levonszaz"]->setText(
            ticketentry::firstLineDeduction(app::currentContext(), linesKey()));
    showProducer();
    f_mindosszes();
    return true;
}

void TForm9::requeryLines(qint64 positionOnId)
{
    TQuery* q = Data->ZQ20; // the lines grid of this screen
    ticketentry::openLines(q, linesKey());
    if (positionOnId >= 0)
        q->locatePrefix("ID_FJSOR", QString::number(positionOnId));
}

void TForm9::showProducer()
{
    TQuery* q = Data->ZQ31;
    ticketentry::openProducer(q, ostKod_);
    bool has = !q->isEmpty();
    for (auto it = producer_.begin(); it != producer_.end(); ++it) {
        QString col = it.key().startsWith("card_") ? it.key().mid(5) : it.key();
        QString text;
        if (has) {
            if (col == "O_CIM")
                text = QString("%1 %2, %3").arg(q->asString("O_IRSZAM"), q->asString("O_HELYSEGNEV"),
                                               q->asString("O_UTCA"));
            else
                text = q->asString(col);
        }
        it.value()->setText(text);
    }
    ostFhat_ = has ? int(q->asInteger("O_FHAT")) : 0;
}

void TForm9::chooseProducer()
{
    G.ostKod = ostKod_;
    if (app::runScreen(4, this) < 0)
        return;
    TQuery* p = Data->ZQ30;
    if (p->isEmpty())
        return;
    takeProducer(p->asString("O_KOD"));
}

void TForm9::takeProducer(const QString& kod)
{
    TQuery* p = Data->ZQ31;
    ticketentry::openProducer(p, kod);
    if (p->isEmpty())
        return;
    edits_["szja"]->setText(p->asString("O_SZJA").isEmpty() ? QString("0") : p->asString("O_SZJA"));
    ostKod_ = p->asString("O_KOD");
    G.ostKod = ostKod_;
    bool transfer = p->asString("O_BANKSZLA").trimmed().size() >= 8;
    utal_->setChecked(transfer); // a change recomputes the totals
    showProducer();
    ticketlist::requery();
    paymentDateRule();
}

void TForm9::paymentDateRule()
{
    if (!utal_->isChecked())
        return;
    auto felv = val::parseDate(edits_["felvkelt"]->text());
    if (!felv)
        return;
    int days = ostFhat_ > 0 ? ostFhat_ : 8;
    edits_["fizkelt"]->setText(val::fmtDate(felv->addDays(days)));
}

std::optional<double> TForm9::number(FilteredEdit* e, const QString& label) const
{
    auto v = val::parseNumber(e->text());
    if (!v)
        seams::ui().showMessage(QString("A(z) \"%1\" mezőben nem szám áll!").arg(label.trimmed()));
    return v;
}

payable::Input TForm9::rates() const
{
    auto num = [this](const char* key) {
        return val::parseNumber(edits_.value(key)->text()).value_or(0);
    };
    payable::Input in;
    in.taxPercent = num("szja");
    in.contributionPercent = num("jarul");
    in.deduction = num("levonas");
    in.transfer = utal_->isChecked();
    in.base = payable::ContributionBase::AfterTaxAdvance;
    return in;
}

void TForm9::f_mindosszes()
{
    ticketentry::Sums s = ticketentry::ticketSums(Data->ZQ21, linesKey());
    totals_["far"]->setText(plain(s.far));
    totals_["kfelar"]->setText(plain(s.kfelar));
    totals_["var"]->setText(grouped(s.var));
    var_ = s.var;
    // A field that does not hold a number stops here, as a conversion error would,
    // but with a message that names the field.
    auto szja = number(edits_["szja"], "Szja %");
    if (!szja)
        return;
    auto jarul = number(edits_["jarul"], "Tagi h.járul.%");
    if (!jarul)
        return;
    auto levonas = number(edits_["levonas"], "Levonás (Ft)");
    if (!levonas)
        return;
    payable::Input in = rates();
    in.purchasePrice = s.var;
    in.purchaseValue = s.far;
    pay_ = payable::compute(in);
    totals_["fizetendo"]->setText(QString::number(pay_.payable));
    ticketentry::Sums p = ticketentry::producerSums(Data->ZQ11, ostKod_);
    totals_["far1"]->setText(grouped(p.far));
    totals_["kfelar1"]->setText(grouped(p.kfelar));
    totals_["var1"]->setText(grouped(p.var));
}

bool TForm9::save()
{
    ticketentry::Header h;
    h.id = id_;
    h.printed = printed_;
    h.bszam = bszam_;
    h.lineKey = lineKey_;
    h.ostKod = ostKod_;
    h.kelt = edits_["kelt"]->text();
    h.felvkelt = edits_["felvkelt"]->text();
    h.fizkelt = edits_["fizkelt"]->text();
    h.szja = edits_["szja"]->text();
    h.levonas = edits_["levonas"]->text();
    h.levonszaz = edits_["levonszaz"]->text();
    h.jarul = edits_["jarul"]->text();
    h.utal = utal_->isChecked();
    h.megj = edits_["megj"]->text();
    h.nyilatk = nyilatkBox_->isChecked() ? nyilatk_->toPlainText() : QString(" ");
    h.muvktg = double(pay_.payable);
    h.sumvar = var_;
    QString saved;
    const rec::Outcome o = ticketentry::saveHeader(
        app::currentContext(), h,
        mode_ == Mode::New ? ticketentry::Mode::New : ticketentry::Mode::Modify, &saved);
    // After a failure the save was rolled back; the screen stays open with what was typed.
    if (!app::showOutcome(o, this))
        return false;
    if (mode_ == Mode::New) {
        // Another computer may have taken the offered number meanwhile.
        if (saved != bszam_)
            seams::ui().showMessage("A felvásárlási jegy " + saved +
                                    " sorszámmal készült el (a " + bszam_ +
                                    " sorszámot közben egy másik gép használta fel).");
        bszam_ = saved;
        lineKey_.clear();
        sorszam_->setText(bszam_);
    }
    G.aktBszam = bszam_;
    ticketlist::requery();
    return true;
}

void TForm9::afterLineEntry(qint64 positionOnId)
{
    requeryLines(positionOnId);
    if (positionOnId < 0)
        Data->ZQ20->last();
    f_mindosszes();
    showProducer();
}

void TForm9::newLine()
{
    TQuery* lines = Data->ZQ20;
    const qint64 current = lines->isEmpty() ? -1 : lines->asInteger("ID_FJSOR");
    TForm10 f(TForm10::Mode::New, bszam_, edits_["levonszaz"]->text(), this);
    f.setLinesKey(linesKey());
    f.setRates(rates());
    f.setPrinted(printed_);
    const bool saved = seams::ui().runModal(&f) == QDialog::Accepted;
    // A new line is the last one; after "Mégsem" the grid stays where it stood.
    afterLineEntry(saved ? -1 : current);
}

void TForm9::changeLine()
{
    TQuery* lines = Data->ZQ20;
    if (lines->isEmpty())
        return;
    const qint64 id = lines->asInteger("ID_FJSOR");
    TForm10 f(TForm10::Mode::Change, bszam_, edits_["levonszaz"]->text(), this);
    f.setLinesKey(linesKey());
    f.setRates(rates());
    f.setPrinted(printed_);
    if (f.load())
        seams::ui().runModal(&f);
    afterLineEntry(id);
}

void TForm9::deleteLine()
{
    TQuery* lines = Data->ZQ20;
    if (lines->isEmpty())
        return;
    const rec::Outcome o =
        ticketentry::deleteLine(app::currentContext(), lines->asInteger("ID_FJSOR"), printed_);
    if (o.ok())
        seams::ui().showMessage("Az tételsor törölve!");
    else
        app::showOutcome(o, this);
    requeryLines();
    lines->last();
    f_mindosszes();
}
