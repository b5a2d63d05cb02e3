#include "Unit17.h"

#include "Unit2.h"
#include "gui/edits.h"
#include "gui/guard.h"
#include "seams.h"
#include "values.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGridLayout>
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
    {"Átvevő neve", "V_NEVE", 0, false},
    {"Irányitószám", "V_IRSZAM", 0, false},
    {"Helységnév", "V_HELYSEG", 0, false},
    {"Kerület", "V_KERULET", 20, true},
    {"Utcanév", "V_UTCA", 45, true},
    {"Jelleg (út, krt)", "V_JELLEG", 20, true},
    {"Házszám", "V_HAZSZAM", 20, true},
    {"Épület", "V_EPULET", 20, true},
    {"Lécsőház", "V_LEPCSO", 20, true},
    {"Szint", "V_SZINT", 20, true},
    {"Ajtó", "V_AJTO", 20, true},
    {"Adószám", "V_ADOSZAM", 0, false},
    {"Közösségi adószám:", "V_KOZADOSZAM", 20, true},
    {"Bankszámlaszám", "V_BANKSZLA", 26, true},
    {"Verzió", "V_VERZIO", 0, true},
    {"Egyéni vállalkozó neve", "V_EV_NEVE", 45, true},
    {"Adóazonositó (egyéni vállalkozónál)", "V_ADOAZON", 10, true},
    {"E.V. nyilvántartási szám", "V_EVNYILV", 20, true},
};
constexpr int kNyilatkLimit = 250;

} // namespace

TForm17::TForm17(QWidget* parent) : QDialog(parent)
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
    ev_ = new QCheckBox("Egyéni vállalkozó", this);
    ev_->setObjectName("CheckBox1");
    kisado_ = new QCheckBox("Kisadózó", this);
    kisado_->setObjectName("CheckBox2");
    groups["ev"]->addRow(ev_);
    for (const FieldDef& f : kFields) {
        auto* e = new FilteredEdit(FilteredEdit::Any, f.limit > 0 ? f.limit : 32767, this);
        e->setObjectName(QString("ed_") + f.column);
        e->setMinimumWidth(f.limit >= 26 || f.limit == 0 ? 260 : 170);
        if (!f.editable) {
            form::setReadOnly(e);
            e->setFocusPolicy(Qt::ClickFocus);
        }
        fields_[f.column] = e;
        form::addRow(groups[groupOf(f.column)], QString::fromUtf8(f.label), e);
    }
    groups["egyeb"]->addRow(kisado_);

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

    auto* buttons = new QHBoxLayout;
    save_ = new QPushButton("Letárol", this);
    save_->setObjectName("Button1");
    save_->setEnabled(false);
    cancel_ = new QPushButton("Mégsem", this);
    cancel_->setObjectName("Button2");
    cancel_->installEventFilter(this);
    buttons->addStretch();
    buttons->addWidget(save_);
    buttons->addWidget(cancel_);
    top->addLayout(buttons);
    connect(save_, &QPushButton::clicked, this, [this] {
        app::guarded([this] {
            if (save())
                accept();
        });
    });
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
    form::enterMovesFocus(this);
}

bool TForm17::readBuyer()
{
    TQuery* q = Data->ZQ60;
    q->close();
    q->clearSql();
    q->add("SELECT *  ");
    q->add("  FROM atvevo     ");
    q->add("  WHERE v_akod = :p1 ");
    q->setText("p1", G.akod);
    q->open();
    return true;
}

bool TForm17::load()
{
    try {
        readBuyer();
        TQuery* q = Data->ZQ60;
        for (auto it = fields_.begin(); it != fields_.end(); ++it)
            it.value()->setText(q->isEmpty() ? QString() : q->asString(it.key()));
        nyilatk_->setPlainText(q->isEmpty() ? QString() : q->asString("V_NYILATK"));
        ev_->setChecked(!q->isEmpty() && q->asString("V_EV") == "true");
        kisado_->setChecked(!q->isEmpty() && q->asString("V_KISADO") == "true");
    } catch (const std::exception&) {
        seams::ui().showMessage("Hiba172 az atvevo módosítás Edit-ben való megjelenitésekor!");
        return false;
    }
    return true;
}

void TForm17::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    if (shownOnce_)
        return;
    shownOnce_ = true;
    fields_["V_KERULET"]->setFocus();
    app::guarded([this] { applyTicketLock(); });
}

void TForm17::applyTicketLock()
{
    readBuyer();
    ev_->setChecked(!Data->ZQ60->isEmpty() && Data->ZQ60->asString("V_EV") == "true");
    TQuery* q = Data->ZQ11;
    q->close();
    q->clearSql();
    q->add("SELECT  f_akod, count(f_akod) AS sdb ");
    q->add("  FROM Fjfej         ");
    q->add("  WHERE f_akod = :p1 ");
    q->add("  GROUP BY f_akod    ");
    q->setText("p1", G.akod);
    q->open();
    qint64 sdb = q->isEmpty() ? 0 : q->asInteger("sdb");
    if (sdb > 0) {
        save_->setEnabled(false);
        seams::ui().showMessage("Már készült felvásárlási jegy! Nem módositható.");
    } else {
        save_->setEnabled(true);
    }
}

bool TForm17::eventFilter(QObject* o, QEvent* e)
{
    if (o == cancel_ && e->type() == QEvent::KeyPress) {
        auto* ke = static_cast<QKeyEvent*>(e);
        if (ke->key() == Qt::Key_A + (UnlockKey - 'A'))
            save_->setEnabled(true);
    }
    return QDialog::eventFilter(o, e);
}

bool TForm17::save()
{
    auto fail = [&](const QString& msg, QWidget* focus) {
        seams::ui().showMessage(msg);
        focus->setFocus();
        return false;
    };
    QLineEdit* koz = fields_["V_KOZADOSZAM"];
    QString kozT = koz->text().trimmed();
    if (!kozT.isEmpty() && kozT.size() < 8)
        return fail("Közösségi adószám kevesebb mint 8 karakter!", koz);
    QLineEdit* adoazon = fields_["V_ADOAZON"];
    QLineEdit* evnyilv = fields_["V_EVNYILV"];
    QLineEdit* evneve = fields_["V_EV_NEVE"];
    if (!ev_->isChecked()) {
        adoazon->setText(" ");
        evnyilv->setText(" ");
        evneve->setText(" ");
    } else {
        if (val::rtrim(adoazon->text()).isEmpty())
            return fail("Nincs megadva az egyéni váll.adóazonositó száma!", adoazon);
        if (val::rtrim(evnyilv->text()).isEmpty())
            return fail("Nincs megadva az egyéni váll.nyilvántart.száma!", evnyilv);
        if (val::rtrim(evneve->text()).isEmpty())
            return fail("Nincs megadva az egyéni váll. neve!", evneve);
    }

    bool ok = false;
    try {
        TxGuard tx(&Data->ZCon1);
        try {
            TQuery* q = Data->ZQ61;
            q->close();
            q->clearSql();
            q->add("UPDATE atvevo SET V_UTCA = :p2, V_BANKSZLA = :p5, V_ADOAZON = :p6, "
                   "V_NYILATK = :p7, V_VERZIO = :p10, V_EV = :p11, V_EVNYILV = :p12, "
                   "V_KERULET = :p13, V_JELLEG = :p14, V_HAZSZAM = :p15, V_EPULET = :p16, "
                   "V_LEPCSO = :p17, V_SZINT = :p18, V_AJTO = :p19, V_KISADO = :p21, "
                   "V_KOZADOSZAM = :p22, V_EV_NEVE = :p23 WHERE V_AKOD = :p20");
            auto t = [&](const char* col) { return fields_[col]->text(); };
            q->setText("p2", t("V_UTCA"));
            q->setText("p5", t("V_BANKSZLA"));
            q->setText("p6", t("V_ADOAZON"));
            q->setText("p7", nyilatk_->toPlainText());
            q->setText("p10", t("V_VERZIO"));
            q->setText("p11", ev_->isChecked() ? "true" : " ");
            q->setText("p12", t("V_EVNYILV"));
            q->setText("p13", t("V_KERULET"));
            q->setText("p14", t("V_JELLEG"));
            q->setText("p15", t("V_HAZSZAM"));
            q->setText("p16", t("V_EPULET"));
            q->setText("p17", t("V_LEPCSO"));
            q->setText("p18", t("V_SZINT"));
            q->setText("p19", t("V_AJTO"));
            q->setText("p20", G.akod);
            q->setText("p21", kisado_->isChecked() ? "true" : " ");
            q->setText("p22", t("V_KOZADOSZAM"));
            q->setText("p23", t("V_EV_NEVE"));
            q->execSQL();
            tx.commit();
            ok = true;
        } catch (const std::exception&) {
            seams::ui().showMessage("Hiba170: UPDATE atvevo ");
        }
    } catch (const std::exception&) {
        seams::ui().showMessage("Hiba171: UPDATE az atvevo ");
    }
    refreshGlobals();
    // After a failed save the screen stays open so that nothing typed is lost.
    return ok;
}

void TForm17::refreshGlobals()
{
    app::guarded([this] {
        readBuyer();
        TQuery* q = Data->ZQ60;
        if (q->isEmpty())
            return;
        G.nyilatk = q->asString("V_NYILATK");
        QString v = q->asString("V_VERZIO");
        G.verzioBetu = v.trimmed().isEmpty() ? QString() : v.left(1);
    });
}
