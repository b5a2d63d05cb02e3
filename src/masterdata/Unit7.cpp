#include "Unit7.h"

#include "Unit2.h"
#include "codes.h"
#include "Unit6.h"
#include "gui/edits.h"
#include "gui/guard.h"
#include "seams.h"
#include "values.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <cmath>

const char* const TForm7::UjMode = "Új termék";
const char* const TForm7::ModositasMode = "Termék módositás";

namespace {

struct FieldDef {
    const char* label;
    const char* column;
    int limit; // 0: none, -1: read-only
    FilteredEdit::Mode keys;
    const char* initial;
};
const FieldDef kFields[] = {
    {"ID", "ID_TERMEK", -1, FilteredEdit::Any, ""},
    {"Kód", "T_KOD", 0, FilteredEdit::Digits, ""},
    {"Megnevezés", "T_MEGNEVEZES", 75, FilteredEdit::Any, ""},
    {"VTSZ", "T_VTSZ", 10, FilteredEdit::Any, ""},
    {"Egységár", "T_EAR", 0, FilteredEdit::Decimal, "0"},
    {"Menny.egység", "T_MEGY", 10, FilteredEdit::Any, ""},
    {"Komp.mértéke", "T_KOMPMERTEKE", 0, FilteredEdit::Decimal, "12,00"},
    {"Tételszám", "T_BIZONYLAT", 10, FilteredEdit::Decimal, ""},
};

bool ures(const QLineEdit* e)
{
    QString s = e->text();
    while (!s.isEmpty() && s.back().isSpace())
        s.chop(1);
    return s.isEmpty();
}

} // namespace

TForm7::TForm7(Mode mode, QWidget* parent) : QDialog(parent), mode_(mode)
{
    setObjectName("Form7");
    setWindowTitle(mode == Mode::Modositas ? ModositasMode : "Termék");
    auto* top = new QVBoxLayout(this);
    auto* lay = new QFormLayout;
    for (const FieldDef& d : kFields) {
        auto* e = new FilteredEdit(d.keys, d.limit > 0 ? d.limit : 32767, this);
        e->setObjectName(QString("ed_") + d.column);
        if (d.limit < 0)
            form::setReadOnly(e);
        e->setText(d.initial);
        e->setMinimumWidth(QString(d.column) == "T_MEGNEVEZES" ? 420 : 140);
        fields_[d.column] = e;
        QLabel* l = form::label(QString::fromUtf8(d.label), e, this);
        lay->addRow(l, e);
        if (QString(d.column) == "T_BIZONYLAT") {
            l->hide();
            e->hide();
        }
    }
    top->addLayout(lay);
    auto* buttons = new QHBoxLayout;
    ok_ = new QPushButton("OK", this);
    ok_->setObjectName("Button1");
    auto* cancel = new QPushButton("Mégsem", this);
    cancel->setObjectName("Button2");
    buttons->addStretch();
    buttons->addWidget(ok_);
    buttons->addWidget(cancel);
    top->addLayout(buttons);
    connect(ok_, &QPushButton::clicked, this, [this] {
        app::guarded([this] {
            if (save())
                accept();
        });
    });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    form::enterMovesFocus(this);

    if (mode_ == Mode::Uj)
        app::guarded([this] { fields_["T_KOD"]->setText(ujKod()); });
}

QString TForm7::modeText() const
{
    return QString::fromUtf8(mode_ == Mode::Uj ? UjMode : ModositasMode);
}

QString TForm7::ujKod()
{
    TQuery* q = Data->ZQ41;
    q->close();
    q->clearSql();
    q->add("SELECT  * FROM termek    ");
    q->add("          ORDER BY t_kod ");
    q->open();
    return codes::nextCode(q, "T_KOD");
}

bool TForm7::load()
{
    try {
        TQuery* q = Data->ZQ40;
        if (q->isEmpty() || q->recNo() < 0)
            throw std::runtime_error("no current row");
        for (auto it = fields_.begin(); it != fields_.end(); ++it) {
            it.value()->setText(q->asString(it.key()));
            it.value()->setCursorPosition(0);
        }
    } catch (const std::exception&) {
        seams::ui().showMessage("Hiba71 a termék módosítás Edit-ben való megjelenitésekor!");
        return false;
    }
    return true;
}

bool TForm7::fail(const QString& message, QWidget* focus)
{
    seams::ui().showMessage(message);
    focus->setFocus();
    return false;
}

bool TForm7::save()
{
    auto f = [this](const char* c) { return fields_[c]; };
    if (ures(f("T_KOD")))
        return fail("Nincs megadva a kód!", f("T_KOD"));
    if (ures(f("T_MEGNEVEZES")))
        return fail("Nincs megadva a megnevezés!", f("T_MEGNEVEZES"));
    if (ures(f("T_EAR")))
        return fail("Nincs megadva az egységár!", f("T_EAR"));
    if (ures(f("T_MEGY")))
        return fail("Nincs megadva a mennyiség egység!", f("T_MEGY"));
    if (ures(f("T_KOMPMERTEKE")))
        return fail("Nincs megadva a komp.mérték!", f("T_KOMPMERTEKE"));

    const auto ear = val::parseNumber(f("T_EAR")->text());
    if (!ear)
        return fail("Az egységár nem szám (tizedesvesszővel írja, pl. 62,5)!", f("T_EAR"));
    const auto komp = val::parseNumber(f("T_KOMPMERTEKE")->text());
    if (!komp)
        return fail("A komp.mérték nem szám (tizedesvesszővel írja, pl. 12)!",
                    f("T_KOMPMERTEKE"));
    // The rate column holds whole numbers: say so before a fraction is rounded.
    const double kerekitett = std::round(*komp);
    if (kerekitett != *komp &&
        !seams::ui().askYesNo(QString("A komp.mérték csak egész szám lehet: %1 helyett %2 "
                                      "kerül tárolásra. Mentsem így?")
                                  .arg(val::fmtNumber(*komp), val::fmtNumber(kerekitett)))) {
        f("T_KOMPMERTEKE")->setFocus();
        return false;
    }

    const bool ok = [&] {
        try {
            TxGuard tx(&Data->ZCon1);
            try {
                TQuery* q = Data->ZQ41;
                q->close();
                q->clearSql();
                if (mode_ == Mode::Modositas) {
                    q->add("UPDATE termek              ");
                    q->add("  SET t_kod         = :p1, ");
                    q->add("      t_megnevezes  = :p2, ");
                    q->add("      t_VTSZ        = :p3, ");
                    q->add("      t_Ear         = :p4, ");
                    q->add("      t_megy        = :p5, ");
                    q->add("      t_Kompmerteke = :p6, ");
                    q->add("      t_bizonylat   = :p7  ");
                    q->add(" WHERE ID_termek    = :p0  ");
                    q->setText("p0", f("ID_TERMEK")->text());
                } else {
                    q->add("INSERT INTO termek ( t_kod, t_megnevezes, t_VTSZ, t_Ear, t_megy, "
                           "t_Kompmerteke, t_bizonylat ) ");
                    q->add("   VALUES          (   :p1,          :p2,    :p3,   :p4,    :p5,  "
                           "         :p6,         :p7 ) ");
                }
                const QString kod = f("T_KOD")->text();
                q->setText("p1", kod);
                q->setText("p2", f("T_MEGNEVEZES")->text());
                q->setText("p3", f("T_VTSZ")->text());
                q->setFloat("p4", *ear);
                q->setText("p5", f("T_MEGY")->text());
                q->setInteger("p6", qint64(kerekitett));
                q->setText("p7", f("T_BIZONYLAT")->text());
                q->execSQL();
                G.termekSzoveg = kod;
                tx.commit();
                return true;
            } catch (const std::exception&) {
                seams::ui().showMessage(mode_ == Mode::Modositas
                                            ? "Hiba73: Módositásban, UPDATE a termékben "
                                            : "Hiba72: Újban, INSERT  a termékben ");
                return false; // the guard rolls the transaction back
            }
        } catch (const std::exception&) {
            seams::ui().showMessage("Hiba74: az append vagy edit közben a termékben!");
            return false;
        }
    }();

    // After a failure the screen stays open with what was typed; the list is
    // shown again either way.
    app::guarded([] {
        TForm6::runListQuery(Data->ZQ40);
        Data->ZQ40->locatePrefix("T_KOD", G.termekSzoveg);
    });
    return ok;
}
