#include "Unit38.h"

#include "context.h"
#include "ticketcounter.h"
#include "gui/edits.h"
#include "gui/guard.h"
#include "gui/outcome.h"
#include "seams.h"
#include "settings.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

TForm38::TForm38(QWidget* parent) : QDialog(parent)
{
    setObjectName("Form38");
    setWindowTitle("Évnyitás");
    auto* top = new QVBoxLayout(this);
    tabs_ = new QTabWidget(this);
    tabs_->setObjectName("PageControl1");
    top->addWidget(tabs_);

    // Tab "Biz.sorszám"
    auto* page1 = new QWidget;
    page1->setObjectName("TabSheet1");
    auto* l1 = new QVBoxLayout(page1);
    auto* g = new QGridLayout;
    current_ = new QLineEdit(page1);
    current_->setObjectName("Edit1");
    form::setReadOnly(current_);
    new_ = new FilteredEdit(FilteredEdit::Digits, 32767, page1);
    new_->setObjectName("Edit2");
    new_->installEventFilter(this);
    g->addWidget(form::label("Jelenlegi sorszám:", current_, page1), 0, 0);
    g->addWidget(current_, 0, 1);
    auto* nl = form::label("Új sorszám:", new_, page1);
    newLabel_ = nl;
    g->addWidget(nl, 1, 0);
    g->addWidget(new_, 1, 1);
    l1->addLayout(g);
    const char* help[] = {
        "Bizonylat sorszám beállítása pl.: 20200000 vagy 20000000",
        "Figyelmeztetés: Nullával nem kezdödhet!",
        "Nyolc  hosszú legyen a  számsor",
        "Csak számot tartalmazhat.",
        "Több átvevő  esetén a bizonylatszám eltérő legyen.",
        "Egy átvevő több gépen esetén is eltérő legyen a sorszám.",
        "Az utolsó (8. karakter) nulla akkor a kezdő bizonylatszám 1-es lesz. ",
    };
    int i = 0;
    for (const char* h : help) {
        auto* lab = new QLabel(QString::fromUtf8(h), page1);
        lab->setObjectName(QString("Label%1").arg(10 + i++));
        l1->addWidget(lab);
    }
    l1->addStretch();
    auto* b = new QHBoxLayout;
    store_ = new QPushButton("Letárol", page1);
    store_->setObjectName("Button1");
    store_->setAutoDefault(false);
    auto* close = new QPushButton("Bezárás", page1);
    close->setObjectName("Button2");
    close->setAutoDefault(false);
    b->addStretch();
    b->addWidget(store_);
    b->addWidget(close);
    l1->addLayout(b);
    tabs_->addTab(page1, "Biz.sorszám");
    app::wireOk(store_, this, [this] { return storeClick(); });
    // Not default buttons (Enter in the counter field must not store), but
    // Enter on either one, focused, presses it.
    store_->installEventFilter(this);
    close->installEventFilter(this);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);

    // Tab "Beállítás": what the entry screens read from their settings files.
    auto* page2 = new QWidget;
    page2->setObjectName("TabSheet2");
    auto* g2 = new QGridLayout(page2);
    g2->addWidget(new QLabel("Nem látható=0", page2), 0, 1);
    g2->addWidget(new QLabel("Látható=1", page2), 1, 1);
    g2->addWidget(new QLabel("Értéke vagy nulla", page2), 1, 2);
    struct Row {
        const char* label;
        const char* flag;
        const char* value;
    };
    const Row rows[] = {
        {"Súly százalék levonás százalék", "Edit14Visible", "Edit14Text"},
        {"Tagi hozzájárulás százalék", "Edit15Visible", "Edit15Text"},
        {"Levonás Ft-ban", "Edit13Visible", "Edit13Text"},
        {"Kompenzáció százalék (7/12%)", nullptr, "Edit8Text"},
        {"Bizonylat", "Edit10Visible", nullptr},
    };
    int r = 2;
    for (const Row& row : rows) {
        auto* lab = new QLabel(QString::fromUtf8(row.label), page2);
        g2->addWidget(lab, r, 0);
        for (int c = 0; c < 2; ++c) {
            const char* key = c == 0 ? row.flag : row.value;
            if (!key)
                continue;
            auto* e = new QLineEdit(page2);
            e->setObjectName(QString("ed_") + key);
            form::setReadOnly(e);
            e->setAccessibleName(QString::fromUtf8(row.label) + (c == 0 ? " látható" : " értéke"));
            if (c == 0)
                e->setMaximumWidth(40);
            settings_[key] = e;
            g2->addWidget(e, r, c + 1);
        }
        ++r;
    }
    // Broken by hand: a wrapped label's height is not counted in the tab's size,
    // so its second line would be cut.
    auto* note = new QLabel("Ezeknek az értékeknek a megváltoztatásához forduljon\n"
                            "a program készítőjéhez (support).",
                            page2);
    note->setObjectName("Label30");
    g2->addWidget(note, r, 0, 1, 3);
    g2->setRowStretch(r + 1, 1);
    tabs_->addTab(page2, "Beállítás");

    fillSettings();
}

void TForm38::fillSettings()
{
    const settings::IniFile f9(settings::iniFileName("form9.ini"));
    const settings::IniFile f10(settings::iniFileName("form10.ini"));
    for (const char* k : {"Edit14Visible", "Edit14Text", "Edit15Visible", "Edit15Text",
                          "Edit13Visible", "Edit13Text"})
        settings_[k]->setText(f9.readString("Form9", k));
    for (const char* k : {"Edit10Visible", "Edit8Text"})
        settings_[k]->setText(f10.readString("Form10", k));
}

void TForm38::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    if (shownOnce_)
        return;
    shownOnce_ = true;
    app::guarded([this] { FormShow(); });
}

void TForm38::FormShow()
{
    const counter::YearOpening y = counter::yearOpening(app::currentContext());
    locked_ = y.locked;
    current_->setText(y.current);
    new_->setVisible(!locked_);
    newLabel_->setVisible(!locked_);
    store_->setVisible(!locked_);
    if (locked_)
        seams::ui().showMessage(counter::lockedMessage());
    else
        new_->setFocus();
}

bool TForm38::eventFilter(QObject* o, QEvent* e)
{
    if (e->type() == QEvent::KeyPress) {
        const int k = static_cast<QKeyEvent*>(e)->key();
        const bool enter = k == Qt::Key_Return || k == Qt::Key_Enter;
        if (enter && o == new_)
            return true; // swallowed
        if (auto* b = qobject_cast<QPushButton*>(o); enter && b && b->isEnabled()) {
            b->click();
            return true;
        }
    }
    return QDialog::eventFilter(o, e);
}

bool TForm38::storeClick()
{
    if (locked_)
        return false;
    return app::showOutcome(counter::storeYearOpening(app::currentContext(), new_->text()), this);
}
