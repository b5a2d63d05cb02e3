#include "Unit5.h"

#include "Unit2.h"
#include "gui/edits.h"
#include "gui/guard.h"
#include "producers.h"
#include "seams.h"

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
    if (d.limit < 0)
        form::setReadOnly(e);
    if (d.hint)
        e->setToolTip(QString::fromUtf8(d.hint));
    return e;
}

} // namespace

TForm5::TForm5(Mode mode, QWidget* parent) : EntryScreen(mode, UjMode, ModositasMode, parent)
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
        FilteredEdit* e = addField(d.column, makeField(d, adatok));
        QLabel* l = form::label(QString::fromUtf8(d.label), e, adatok);
        grid->addWidget(l, row, col);
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
    addButtons(top);

    for (const FieldDef& d : kLeft)
        field(d.column)->setText(d.initial);
    for (const FieldDef& d : kRight)
        field(d.column)->setText(d.initial);
    field("O_NEME")->installEventFilter(this);
    finishFields("O_KOD", &TForm5::ujKod);
}

QString TForm5::ujKod()
{
    return producers::nextCode(&Data->ZCon1);
}

bool TForm5::load()
{
    if (!loadRow(Data->ZQ30, "Hiba51 az őstermelő módosítás Edit-ben való megjelenitésekor!"))
        return false;
    feljegyz_->setPlainText(Data->ZQ30->asString("O_FELJEGYZ"));
    return true;
}

bool TForm5::eventFilter(QObject* o, QEvent* e)
{
    // Most producers' birth name is their name: leaving "Neme" with 1 copies it.
    if (o == field("O_NEME") && e->type() == QEvent::FocusOut && field("O_NEME")->text() == "1")
        field("O_SZULNEV")->setText(field("O_NEV")->text());
    return EntryScreen::eventFilter(o, e);
}

rec::Outcome TForm5::saveRecord()
{
    producers::Producer p{fieldTexts()};
    p.set("O_FELJEGYZ", feljegyz_->toPlainText());
    p.uresTaj = uresTaj_->isChecked();
    QString kod;
    rec::Outcome o = producers::save(app::currentContext(), p,
                                     mode() == Mode::Modositas ? producers::Mode::Modify
                                                               : producers::Mode::New,
                                     &kod);
    if (o.ok())
        G.ostKod = kod;
    return o;
}

void TForm5::afterWrite()
{
    // The list beneath shows the register again, on the saved producer.
    producers::runListOn(Data->ZQ30, G.ostKod);
}

void TForm5::revealField(QWidget*)
{
    tabs_->setCurrentIndex(0); // every checked field is on "Adatok"
}
