#include "Unit17.h"

#include "Unit1.h"
#include "Unit2.h"
#include "buyer.h"
#include "gui/edits.h"
#include "gui/guard.h"
#include "seams.h"

#include <QApplication>
#include <QCheckBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
struct FieldDef {
    const char* label;
    const char* column;
    int limit; // 0: no limit
    bool editable;
};
const FieldDef kFields[] = {
    {"ID", "ID_ATVEVO", 0, false},
    {"Kód", "V_AKOD", 0, false},
    {"Átvevő neve", "V_NEVE", 75, false},
    {"Irányitószám", "V_IRSZAM", 8, false},
    {"Helységnév", "V_HELYSEG", 45, false},
    {"Kerület", "V_KERULET", 20, true},
    {"Utcanév", "V_UTCA", 45, true},
    {"Jelleg (út, krt)", "V_JELLEG", 20, true},
    {"Házszám", "V_HAZSZAM", 20, true},
    {"Épület", "V_EPULET", 20, true},
    {"Lépcsőház", "V_LEPCSO", 20, true},
    {"Szint", "V_SZINT", 20, true},
    {"Ajtó", "V_AJTO", 20, true},
    {"Adószám", "V_ADOSZAM", 13, false},
    {"Közösségi adószám:", "V_KOZADOSZAM", 20, true},
    {"Bankszámlaszám", "V_BANKSZLA", 26, true},
    {"Verzió", "V_VERZIO", 0, true},
    {"Egyéni vállalkozó neve", "V_EV_NEVE", 45, true},
    {"Adóazonositó (egyéni vállalkozónál)", "V_ADOAZON", 10, true},
    {"E.V. nyilvántartási szám", "V_EVNYILV", 20, true},
};
constexpr int kNyilatkLimit = 250;
// Printed on every document; correctable only until the buyer's first ticket.
const char* const kIdentity[] = {"V_NEVE", "V_IRSZAM", "V_HELYSEG", "V_ADOSZAM"};

} // namespace

TForm17::TForm17(QWidget* parent) : EntryScreen(Mode::Modositas, "", "", parent)
{
    setObjectName("Form17");
    setWindowTitle("Átvevö adatai");
    auto* top = new QVBoxLayout(this);
    auto* columns = new QHBoxLayout;
    auto* left = new QVBoxLayout;
    auto* right = new QVBoxLayout;
    columns->addLayout(left);
    columns->addLayout(right);
    top->addLayout(columns);
    QMap<QString, QFormLayout*> groups;
    auto group = [&](const QString& key, const QString& title, QVBoxLayout* col) {
        auto* box = new QGroupBox(title, this);
        auto* f = new QFormLayout(box);
        f->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
        col->addWidget(box);
        groups[key] = f;
    };
    group("id", "Átvevő", left);
    group("cim", "Cím", left);
    group("egyeb", "Egyéb adatok", right);
    group("ev", "Egyéni vállalkozó", right);
    right->addStretch();
    auto groupOf = [](const QString& col) -> QString {
        static const QStringList cim = {"V_KERULET", "V_UTCA", "V_JELLEG", "V_HAZSZAM",
                                        "V_EPULET", "V_LEPCSO", "V_SZINT", "V_AJTO"};
        static const QStringList ev = {"V_EV_NEVE", "V_ADOAZON", "V_EVNYILV"};
        static const QStringList egyeb = {"V_KOZADOSZAM", "V_BANKSZLA", "V_VERZIO"};
        if (cim.contains(col))
            return "cim";
        if (ev.contains(col))
            return "ev";
        if (egyeb.contains(col))
            return "egyeb";
        return "id";
    };
    // Widgets are made in layout order, so that Tab follows the layout: the
    // check boxes where they stand, not ahead of every field.
    for (const FieldDef& f : kFields) {
        if (QString(f.column) == "V_EV_NEVE") {
            ev_ = new QCheckBox("Egyéni vállalkozó", this);
            ev_->setObjectName("CheckBox1");
            groups["ev"]->addRow(ev_);
        }
        auto* e = addField(f.column,
                           new FilteredEdit(FilteredEdit::Any, f.limit > 0 ? f.limit : 32767, this));
        e->setMinimumWidth(f.limit >= 26 || f.limit == 0 ? 260 : 170);
        if (!f.editable)
            form::setReadOnly(e);
        form::addRow(groups[groupOf(f.column)], QString::fromUtf8(f.label), e);
        if (QString(f.column) == "V_VERZIO") {
            kisado_ = new QCheckBox("Kisadózó", this);
            kisado_->setObjectName("CheckBox2");
            groups["egyeb"]->addRow(kisado_);
        }
    }

    // The tax number stands in the first box: Tab reaches it there.
    QWidget::setTabOrder(field("V_HELYSEG"), field("V_ADOSZAM"));
    QWidget::setTabOrder(field("V_ADOSZAM"), field("V_KERULET"));

    nyilatk_ = new QPlainTextEdit(this);
    nyilatk_->setObjectName("ed_V_NYILATK");
    nyilatk_->setTabChangesFocus(true);
    nyilatk_->setFixedHeight(70);
    connect(nyilatk_, &QPlainTextEdit::textChanged, this, [this] {
        QString t = nyilatk_->toPlainText();
        if (t.size() > kNyilatkLimit) {
            QSignalBlocker b(nyilatk_);
            nyilatk_->setPlainText(t.left(kNyilatkLimit));
            nyilatk_->moveCursor(QTextCursor::End);
        }
    });
    top->addWidget(form::label("Nyilatkozat szövege (250 betü hosszban)", nyilatk_, this));
    top->addWidget(nyilatk_);

    addButtons(top, "Letárol");
    letarol()->setEnabled(false);
    cancel_ = findChild<QPushButton*>("Button2");
    cancel_->installEventFilter(this);
    finishFields();
}

bool TForm17::load()
{
    try {
        const std::optional<buyer::Buyer> b = buyer::read(&Data->ZCon1, G.akod);
        for (auto it = fields().begin(); it != fields().end(); ++it)
            it.value()->setText(b ? b->get(it.key()) : QString());
        nyilatk_->setPlainText(b ? b->get("V_NYILATK") : QString());
        ev_->setChecked(b && b->ev);
        kisado_->setChecked(b && b->kisado);
    } catch (const std::exception&) {
        seams::ui().showMessage("Hiba172 az atvevo módosítás Edit-ben való megjelenitésekor!");
        return false;
    }
    return true;
}

void TForm17::showEvent(QShowEvent* e)
{
    EntryScreen::showEvent(e);
    if (shownOnce_)
        return;
    shownOnce_ = true;
    app::guarded([this] { applyTicketLock(); });
}

void TForm17::applyTicketLock()
{
    const std::optional<buyer::Buyer> b = buyer::read(&Data->ZCon1, G.akod);
    ev_->setChecked(b && b->ev);
    if (buyer::ticketCount(&Data->ZCon1, G.akod) > 0) {
        letarol()->setEnabled(false);
        seams::ui().showMessage("Már készült felvásárlási jegy! Nem módositható.");
    } else {
        letarol()->setEnabled(true);
        for (const char* c : kIdentity) {
            FilteredEdit* e = field(c);
            e->setReadOnly(false);
            e->setFocusPolicy(Qt::StrongFocus);
            e->setPalette(QApplication::palette(e));
        }
        field("V_NEVE")->setFocus(Qt::OtherFocusReason);
    }
}

bool TForm17::eventFilter(QObject* o, QEvent* e)
{
    if (o == cancel_ && e->type() == QEvent::KeyPress) {
        auto* ke = static_cast<QKeyEvent*>(e);
        if (ke->key() == Qt::Key_A + (UnlockKey - 'A'))
            letarol()->setEnabled(true);
    }
    return EntryScreen::eventFilter(o, e);
}

rec::Outcome TForm17::saveRecord()
{
    buyer::Buyer b{fieldTexts(), ev_->isChecked(), kisado_->isChecked()};
    b.identity = !field("V_NEVE")->isReadOnly();
    b.set("V_NYILATK", nyilatk_->toPlainText());
    rec::Outcome o = buyer::save(app::currentContext(), b);
    // What is stored: the sole-trader fields blanked without "Egyéni vállalkozó".
    if (o.kind != rec::Outcome::CheckFailed || !b.ev)
        for (const char* c : {"V_ADOAZON", "V_EVNYILV", "V_EV_NEVE"})
            field(c)->setText(b.get(c));
    return o;
}

void TForm17::afterWrite()
{
    // The buyer's values that new tickets and prints take, as stored now.
    const std::optional<buyer::Buyer> b = buyer::read(&Data->ZCon1, G.akod);
    if (!b)
        return;
    G.nyilatk = b->get("V_NYILATK");
    if (field("V_ADOSZAM")->text() != b->get("V_ADOSZAM"))
        field("V_ADOSZAM")->setText(b->get("V_ADOSZAM")); // as stored: 11 digits
    // A corrected name shows in the caption at once.
    if (Form1 && !field("V_NEVE")->isReadOnly())
        Form1->setWindowTitle(G.captionPrefix + b->get("V_NEVE").left(25) + " " + G.verzioSzoveg);
    const QString v = b->get("V_VERZIO");
    G.verzioBetu = v.trimmed().isEmpty() ? QString() : v.left(1);
}
