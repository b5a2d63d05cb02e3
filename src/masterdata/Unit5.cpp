#include "Unit5.h"

#include "Unit2.h"
#include "codes.h"
#include "Unit4.h"
#include "checks.h"
#include "gui/edits.h"
#include "gui/guard.h"
#include "seams.h"
#include "values.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QTabWidget>
#include <QVBoxLayout>

const char* const TForm5::UjMode = "Új őstermelő";
const char* const TForm5::ModositasMode = "Őstermelő módositás";

namespace {

// A field that takes only the characters of a small set (digits and "/", or
// the membership letters). Typed keys outside the set do nothing; a paste with
// any such character is refused with a message, as FilteredEdit does for digits.
class CharSetEdit : public FilteredEdit {
public:
    CharSetEdit(const QString& pattern, const QString& refusal, int maxLength, QWidget* parent)
        : FilteredEdit(FilteredEdit::Any, maxLength, parent), refusal_(refusal)
    {
        re_ = QRegularExpression("^" + pattern + "$");
        // Catches the context menu's paste too, which bypasses the key handler.
        setValidator(new QRegularExpressionValidator(re_, this));
    }

protected:
    void keyPressEvent(QKeyEvent* e) override
    {
        if (e->matches(QKeySequence::Paste)) {
            QString t = QApplication::clipboard()->text().trimmed();
            if (!re_.match(t).hasMatch()) {
                seams::ui().showMessage(refusal_);
                return;
            }
            insert(t);
            return;
        }
        const QString t = e->text();
        bool printable = !t.isEmpty() && t[0].isPrint() &&
                         !(e->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
        if (printable && !re_.match(t).hasMatch())
            return;
        FilteredEdit::keyPressEvent(e);
    }

private:
    QRegularExpression re_;
    QString refusal_;
};

enum Keys { AnyKey, DigitKeys, DateKeys, SexKeys, SlashDigits, YesNo };

struct FieldDef {
    const char* label;
    const char* column;
    int limit; // 0: none
    Keys keys;
    const char* initial;
    const char* hint;
};

// In screen order: the left column first, then the right one.
const FieldDef kLeft[] = {
    {"ID", "ID_OSTERMELO", -1, AnyKey, "", nullptr},
    {"Kód", "O_KOD", -1, AnyKey, "", nullptr},
    {"Neve", "O_NEV", 45, AnyKey, "", nullptr},
    {"Ir.szám", "O_IRSZAM", 4, DigitKeys, "", nullptr},
    {"Helységnév", "O_HELYSEGNEV", 45, AnyKey, "", nullptr},
    {"Kerület", "O_KERULET", 20, AnyKey, "", nullptr},
    {"Utcanév", "O_UTCA", 45, AnyKey, "", "Csak az utca neve"},
    {"Közterület", "O_JELLEG", 20, AnyKey, "", "Utca, tér, körút, stb."},
    {"Házszám", "O_HAZSZAM", 20, AnyKey, "", nullptr},
    {"Épület", "O_EPULET", 20, AnyKey, "", nullptr},
    {"Lépcsőház", "O_LEPCSO", 20, AnyKey, "", nullptr},
    {"Szint", "O_SZINT", 20, AnyKey, "", nullptr},
    {"Ajtó", "O_AJTO", 20, AnyKey, "", nullptr},
    {"Adóazonositó", "O_ADOAZON", 10, DigitKeys, "", nullptr},
    {"Ősterm.Ig.sorszám", "O_IGSZAM", 7, DigitKeys, "",
     "Az új (kártya alapú) östermelöi igazolvány elsö hét karaktere."},
    {"Reg.szám", "O_REGSZAM", 10, AnyKey, "", nullptr},
    {"Szja", "O_SZJA", 3, DigitKeys, "0", "Szja levonás % -a."},
};
const FieldDef kRight[] = {
    {"Születési hely", "O_SZULHELY", 45, AnyKey, "", nullptr},
    {"Születési idő", "O_SZIDO", 0, DateKeys, "", nullptr},
    {"Anyja neve", "O_ANYJA", 45, AnyKey, "", nullptr},
    {"Családi gazd.szám", "O_CSGAZD", 8, SlashDigits, "", "8 karakter kötőjelek nélkül."},
    // One character: the column holds one, and a longer text could only fail the save.
    {"Neme", "O_NEME", 1, SexKeys, "1", nullptr},
    {"Születési név", "O_SZULNEV", 45, AnyKey, "", nullptr},
    {"TAJ", "O_TAJ", 9, DigitKeys, "", nullptr},
    {"Adószám", "O_ADOSZAM", 11, SlashDigits, "", "Kötöjel nélkül"},
    {"Közösségi adószám", "O_KOZADOSZAM", 20, AnyKey, "", nullptr},
    {"Bank szla", "O_BANKSZLA", 26, AnyKey, "", nullptr},
    {"Fiz.hat.", "O_FHAT", 0, DigitKeys, "0", "Banki fizetés, napokban"},
    {"Kamarai nyilv.szám", "O_KAMARA", 20, AnyKey, "",
     "16 karakterből álló agrárkamarai nyilvántartási szám."},
    {"Érvényesítve", "O_ERVKELT", 10, DateKeys, "", "Igazolvány hatályosság vég dátuma."},
    {"Betétlap száma", "O_BETETLAP", 12, AnyKey, "", nullptr},
    {"M.nyugdíj pénztártag", "O_MNYPTAG", 1, YesNo, "",
     "\"I\"gen, \"N\"em. Ha nincs kitöltve a program \"Nem\"-nek fogja  tekinteni."},
    {"FELIR azonosító:", "O_FELIR", 12, AnyKey, "", nullptr},
};

constexpr int kFeljegyzLimit = 1000;


bool ures(const QLineEdit* e) { return val::rtrim(e->text()).isEmpty(); }

FilteredEdit* makeField(const FieldDef& d, QWidget* parent)
{
    const int limit = d.limit > 0 ? d.limit : 32767;
    FilteredEdit* e = nullptr;
    switch (d.keys) {
    case AnyKey: e = new FilteredEdit(FilteredEdit::Any, limit, parent); break;
    case DigitKeys: e = new FilteredEdit(FilteredEdit::Digits, limit, parent); break;
    case DateKeys: e = new FilteredEdit(FilteredEdit::DateText, limit, parent); break;
    case SexKeys: e = new FilteredEdit(FilteredEdit::Sex, limit, parent); break;
    case SlashDigits:
        e = new CharSetEdit("[0-9/]*", "Ebbe a mezőbe csak számjegy és \"/\" írható!", limit, parent);
        break;
    case YesNo:
        e = new CharSetEdit("[ INin]?", "Ebbe a mezőbe csak I, N vagy szóköz írható!", limit, parent);
        break;
    }
    e->setObjectName(QString("ed_") + d.column);
    if (d.limit < 0)
        form::setReadOnly(e);
    if (d.hint)
        e->setToolTip(QString::fromUtf8(d.hint));
    return e;
}

} // namespace

TForm5::TForm5(Mode mode, QWidget* parent) : QDialog(parent), mode_(mode)
{
    setObjectName("Form5");
    setWindowTitle(mode == Mode::Modositas ? ModositasMode : "Őstermelő bevitel");
    auto* top = new QVBoxLayout(this);
    tabs_ = new QTabWidget(this);
    tabs_->setObjectName("PageControl1");
    top->addWidget(tabs_);

    auto* adatok = new QWidget;
    adatok->setObjectName("TabSheet1");
    auto* grid = new QGridLayout(adatok);
    grid->setVerticalSpacing(3);
    grid->setHorizontalSpacing(8);
    auto place = [&](const FieldDef& d, int row, int col) {
        FilteredEdit* e = makeField(d, adatok);
        fields_[d.column] = e;
        QLabel* l = form::label(QString::fromUtf8(d.label), e, adatok);
        grid->addWidget(l, row, col);
        if (QString(d.column) == "O_KOD")
            l->hide(); // the code shows without its label
        QString column = d.column;
        if (column == "O_SZJA" || column == "O_FHAT" || column == "O_IGSZAM") {
            auto* h = new QHBoxLayout;
            h->addWidget(e);
            QString after = column == "O_SZJA" ? "%" : column == "O_FHAT" ? "nap" : QString();
            if (column == "O_IGSZAM") {
                e->setMaximumWidth(90);
                auto* note = new QLabel(
                    "(Az új (kártya alapú) igazolvány sorszámának elsö 7 karaktere a 2 x 7 "
                    "karakterböl.)",
                    adatok);
                note->setObjectName("lbIgszamMegjegyzes");
                note->setWordWrap(true);
                h->addWidget(note, 1);
            } else {
                e->setMaximumWidth(60);
                h->addWidget(new QLabel(after, adatok));
                h->addStretch();
            }
            grid->addLayout(h, row, col + 1);
        } else {
            grid->addWidget(e, row, col + 1);
        }
    };
    int row = 0;
    for (const FieldDef& d : kLeft)
        place(d, row++, 0);
    row = 0;
    for (const FieldDef& d : kRight) {
        place(d, row++, 2);
        if (QString(d.column) == "O_TAJ") {
            uresTaj_ = new QCheckBox("Üres TAJ számmal is mentésre kerüljön", adatok);
            uresTaj_->setObjectName("CheckBox1");
            uresTaj_->setChecked(true);
            grid->addWidget(uresTaj_, row++, 3);
        }
    }
    grid->setColumnMinimumWidth(1, 260);
    grid->setColumnMinimumWidth(3, 260);
    grid->setRowStretch(qMax(row, int(std::size(kLeft))), 1);
    tabs_->addTab(adatok, "Adatok");

    auto* notes = new QWidget;
    notes->setObjectName("TabSheet2");
    auto* nl = new QVBoxLayout(notes);
    feljegyz_ = new QPlainTextEdit(notes);
    feljegyz_->setObjectName("ed_O_FELJEGYZ");
    feljegyz_->setTabChangesFocus(true);
    feljegyz_->setAccessibleName("Feljegyzés");
    connect(feljegyz_, &QPlainTextEdit::textChanged, this, [this] {
        QString t = feljegyz_->toPlainText();
        if (t.size() > kFeljegyzLimit) {
            QSignalBlocker b(feljegyz_);
            feljegyz_->setPlainText(t.left(kFeljegyzLimit));
            feljegyz_->moveCursor(QTextCursor::End);
        }
    });
    nl->addWidget(feljegyz_);
    tabs_->addTab(notes, "Feljegyzés");

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

    for (const FieldDef& d : kLeft)
        fields_[d.column]->setText(d.initial);
    for (const FieldDef& d : kRight)
        fields_[d.column]->setText(d.initial);
    fields_["O_NEME"]->installEventFilter(this);
    form::enterMovesFocus(this);

    if (mode_ == Mode::Uj)
        app::guarded([this] { fields_["O_KOD"]->setText(ujKod()); });
}

QString TForm5::modeText() const
{
    return QString::fromUtf8(mode_ == Mode::Uj ? UjMode : ModositasMode);
}

QString TForm5::ujKod()
{
    TQuery* q = Data->ZQ31;
    q->close();
    q->clearSql();
    q->add("SELECT  * FROM ostermelo ");
    q->add("          ORDER BY o_kod ");
    q->open();
    return codes::nextCode(q, "O_KOD");
}

bool TForm5::load()
{
    try {
        TQuery* q = Data->ZQ30;
        if (q->isEmpty() || q->recNo() < 0)
            throw std::runtime_error("no current row");
        for (auto it = fields_.begin(); it != fields_.end(); ++it)
            it.value()->setText(q->asString(it.key()));
        feljegyz_->setPlainText(q->asString("O_FELJEGYZ"));
        for (FilteredEdit* e : fields_)
            e->setCursorPosition(0);
    } catch (const std::exception&) {
        seams::ui().showMessage("Hiba51 az őstermelő módosítás Edit-ben való megjelenitésekor!");
        return false;
    }
    return true;
}

bool TForm5::eventFilter(QObject* o, QEvent* e)
{
    // Most producers' birth name is their name: leaving "Neme" with 1 copies it.
    if (o == fields_.value("O_NEME") && e->type() == QEvent::FocusOut &&
        fields_["O_NEME"]->text() == "1")
        fields_["O_SZULNEV"]->setText(fields_["O_NEV"]->text());
    return QDialog::eventFilter(o, e);
}

bool TForm5::fail(const QString& message, QWidget* focus)
{
    seams::ui().showMessage(message);
    tabs_->setCurrentIndex(0);
    focus->setFocus();
    return false;
}

bool TForm5::save()
{
    auto f = [this](const char* c) { return fields_[c]; };
    const bool tajKell = !uresTaj_->isChecked();

    if (ures(f("O_NEV")))
        return fail("Nincs megadva a neve!", f("O_NEV"));
    if (ures(f("O_IRSZAM")))
        return fail("Nincs megadva az irányitószám!", f("O_IRSZAM"));
    if (f("O_IRSZAM")->text().trimmed().size() < 4)
        return fail("Az irányitószám kevesebb mint 4 karakter!", f("O_IRSZAM"));
    if (ures(f("O_HELYSEGNEV")))
        return fail("Nincs megadva a helységnév!", f("O_HELYSEGNEV"));
    if (ures(f("O_UTCA")))
        return fail("Nincs megadva az utca!", f("O_UTCA"));
    if (ures(f("O_ADOAZON")))
        return fail("Nincs megadva az adóazonositó!", f("O_ADOAZON"));
    if (ures(f("O_IGSZAM")))
        return fail("Nincs megadva az őstermelő ig.szám!", f("O_IGSZAM"));
    if (ures(f("O_SZJA")))
        return fail("Nincs megadva az szja!", f("O_SZJA"));
    if (ures(f("O_SZULHELY")))
        return fail("Nincs megadva a születési hely!", f("O_SZULHELY"));
    if (ures(f("O_SZIDO")))
        return fail("Nincs megadva a születési idő!", f("O_SZIDO"));
    if (ures(f("O_ANYJA")))
        return fail("Nincs megadva az anyja neve!", f("O_ANYJA"));
    if (ures(f("O_NEME")))
        return fail("Nincs megadva a neme!", f("O_NEME"));
    if (ures(f("O_SZULNEV")))
        return fail("Nincs megadva a születési neve!", f("O_SZULNEV"));
    if (ures(f("O_FHAT")))
        return fail("Nincs megadva a napok száma vagy nulla!", f("O_FHAT"));
    bool fhatOk = false;
    const int fhat = f("O_FHAT")->text().trimmed().toInt(&fhatOk);
    if (!fhatOk || fhat < 0) // a number too large for the column counts as wrong too
        return fail("Hibás szám vagy nullát adjon meg!", f("O_FHAT"));
    const QString koz = f("O_KOZADOSZAM")->text().trimmed();
    if (!koz.isEmpty() && koz.size() < 8)
        return fail("Közösségi adószám kevesebb mint 8 karakter!", f("O_KOZADOSZAM"));
    if (ures(f("O_TAJ")) && tajKell)
        return fail("Nincs megadva a TAJ!", f("O_TAJ"));
    if (ures(f("O_ADOSZAM")))
        return fail("Nincs megadva az adószáma!", f("O_ADOSZAM"));
    if (f("O_IGSZAM")->text().size() < 5)
        return fail("Az őstermelő ig.szám kevésebb mint 5 karakter!", f("O_IGSZAM"));
    if (f("O_IGSZAM")->text().size() > 8)
        return fail("Az őstermelő ig.szám többmint 8 karakter!", f("O_IGSZAM"));
    const auto szido = val::parseDate(f("O_SZIDO")->text());
    if (!szido)
        return fail("A születési idö dátum formátuma nem megfelelö!", f("O_SZIDO"));
    const auto ervkelt = val::parseDate(f("O_ERVKELT")->text());
    if (!ervkelt)
        return fail("Az érvényesités dátum formátuma nem megfelelö!", f("O_ERVKELT"));

    // A character that is not a digit (a "/" in the tax number, a blank in a
    // number read back from the database) cannot pass a check digit test: say
    // which field and which character, and write nothing.
    auto check = [&](bool (*test)(const QString&), FilteredEdit* e, const QString& hiba,
                     bool& valid) {
        try {
            valid = test(e->text());
            return true;
        } catch (const checks::ConversionError& err) {
            fail(hiba + " " + err.text(), e);
            return false;
        }
    };
    bool valid = false;
    if (f("O_ADOAZON")->text().size() != 10)
        return fail("Nem 10 hosszú számsor", f("O_ADOAZON"));
    if (!check(checks::AdoazonEllenorzes, f("O_ADOAZON"), "Hibás adóazonositó", valid))
        return false;
    if (!valid)
        return fail("Hibás adóazonositó", f("O_ADOAZON"));
    if (f("O_ADOSZAM")->text().size() != 11)
        return fail("Kevesebb mint 11 hosszú számsor", f("O_ADOSZAM"));
    if (!check(checks::AdoszamEllenorzes, f("O_ADOSZAM"), "Hibás adószám", valid))
        return false;
    if (!valid)
        return fail("Hibás adószám", f("O_ADOSZAM"));
    if (tajKell) {
        if (f("O_TAJ")->text().size() == 9) {
            if (!check(checks::TAJEllenorzes, f("O_TAJ"), "Hibás TAJ", valid))
                return false;
            if (!valid)
                return fail("Hibás TAJ", f("O_TAJ"));
        } else {
            return fail("Kevesebb mint 9 hosszú számsor", f("O_TAJ"));
        }
    }
    bool szjaOk = false;
    const qint64 szja = f("O_SZJA")->text().trimmed().toLongLong(&szjaOk);
    if (!szjaOk)
        return fail("Hibás szám az szja mezőben!", f("O_SZJA"));

    const bool ok = [&] {
        try {
            TxGuard tx(&Data->ZCon1);
            try {
                TQuery* q = Data->ZQ30;
                q->close();
                q->clearSql();
                if (mode_ == Mode::Modositas) {
                    q->add("UPDATE ostermelo SET ID_ostermelo = :p0, o_kod = :p1, o_Nev = :p2, "
                           "o_Irszam = :p3, o_Helysegnev = :p4, o_Utca = :p5, o_Adoazon = :p6, "
                           "o_Adoszam = :p7, o_TAJ = :p8, o_Igszam = :p9, o_Regszam = :p10, "
                           "o_Csgazd = :p11, o_Szulnev = :p12, o_Szulhely = :p13, o_Szido = :p14, "
                           "o_Anyja = :p15, o_Neme = :p16, o_Bankszla = :p17, o_Szja = :p18, "
                           "o_Ervkelt = :p19, o_mnyptag = :p20, o_betetlap = :p21, "
                           "o_kamara = :p22, o_felir = :p23, O_KERULET = :p24, O_JELLEG = :p25, "
                           "O_HAZSZAM = :p26, O_EPULET = :p27, O_LEPCSO = :p28, O_SZINT = :p29, "
                           "O_AJTO = :p30, O_FHAT = :p31, O_KOZADOSZAM = :p32, O_FELJEGYZ = :p33 "
                           "WHERE ID_ostermelo = :p0");
                    q->setText("p0", f("ID_OSTERMELO")->text());
                } else {
                    q->add("INSERT INTO ostermelo ( o_kod, o_Nev, o_Irszam, o_Helysegnev, o_Utca, "
                           "o_Adoazon, o_Adoszam, o_TAJ, o_Igszam, o_Regszam, o_Csgazd, "
                           "o_Szulnev, o_Szulhely, o_Szido, o_Anyja, o_Neme, o_Bankszla, o_Szja, "
                           "o_Ervkelt, o_mnyptag, o_betetlap, o_kamara, o_felir, O_KERULET, "
                           "O_JELLEG, O_HAZSZAM, O_EPULET, O_LEPCSO, O_SZINT, O_AJTO, O_FHAT, "
                           "O_KOZADOSZAM, O_FELJEGYZ ) VALUES ( :p1, :p2, :p3, :p4, :p5, :p6, "
                           ":p7, :p8, :p9, :p10, :p11, :p12, :p13, :p14, :p15, :p16, :p17, :p18, "
                           ":p19, :p20, :p21, :p22, :p23, :p24, :p25, :p26, :p27, :p28, :p29, "
                           ":p30, :p31, :p32, :p33 )");
                }
                const QString kod = f("O_KOD")->text();
                const std::pair<const char*, const char*> texts[] = {
                    {"p1", "O_KOD"},      {"p2", "O_NEV"},         {"p3", "O_IRSZAM"},
                    {"p4", "O_HELYSEGNEV"}, {"p5", "O_UTCA"},      {"p6", "O_ADOAZON"},
                    {"p7", "O_ADOSZAM"},  {"p8", "O_TAJ"},         {"p9", "O_IGSZAM"},
                    {"p10", "O_REGSZAM"}, {"p11", "O_CSGAZD"},     {"p12", "O_SZULNEV"},
                    {"p13", "O_SZULHELY"}, {"p15", "O_ANYJA"},     {"p16", "O_NEME"},
                    {"p17", "O_BANKSZLA"}, {"p20", "O_MNYPTAG"},   {"p21", "O_BETETLAP"},
                    {"p22", "O_KAMARA"},  {"p23", "O_FELIR"},      {"p24", "O_KERULET"},
                    {"p25", "O_JELLEG"},  {"p26", "O_HAZSZAM"},    {"p27", "O_EPULET"},
                    {"p28", "O_LEPCSO"},  {"p29", "O_SZINT"},      {"p30", "O_AJTO"},
                    {"p32", "O_KOZADOSZAM"},
                };
                for (const auto& [p, c] : texts)
                    q->setText(p, f(c)->text());
                q->setText("p33", feljegyz_->toPlainText());
                q->setDate("p14", *szido);
                q->setDate("p19", *ervkelt);
                q->setInteger("p18", szja);
                q->setInteger("p31", fhat);
                q->execSQL();
                G.ostKod = kod;
                tx.commit();
                return true;
            } catch (const std::exception&) {
                seams::ui().showMessage(mode_ == Mode::Modositas
                                            ? "Hiba53: Módositás, Update a östermelöben "
                                            : "Hiba52: Újban, INSERT az östermelöben ");
                return false; // the guard rolls the transaction back
            }
        } catch (const std::exception&) {
            seams::ui().showMessage("Hiba54: az append vagy edit közben az östermelöben!");
            return false;
        }
    }();

    // The list's query held the statement: show the register again either way.
    // After a failure the screen stays open with what was typed.
    app::guarded([] {
        TForm4::runListQuery(Data->ZQ30);
        Data->ZQ30->locatePrefix("O_KOD", G.ostKod);
    });
    return ok;
}
