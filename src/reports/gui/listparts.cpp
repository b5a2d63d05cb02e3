#include "listparts.h"

#include "gui/guard.h"

#include "gui/dbwidgets.h"

#include <QHBoxLayout>
#include <QDialog>
#include <QBoxLayout>
#include <QDateEdit>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

namespace listparts {

QDateEdit* datePicker(const QDate& date, const char* name, QWidget* parent)
{
    auto* d = new QDateEdit(date, parent);
    d->setObjectName(name);
    d->setDisplayFormat("yyyy.MM.dd");
    d->setCalendarPopup(true);
    d->setMinimumDate(QDate(1900, 1, 1));
    return d;
}

QPushButton* button(const QString& text, const char* name, QWidget* parent)
{
    auto* b = new QPushButton(text, parent);
    b->setObjectName(name);
    b->setAutoDefault(true);
    return b;
}

QLabel* note(const QString& text, const char* name, QWidget* parent)
{
    auto* l = new QLabel(text, parent);
    l->setObjectName(name);
    l->setWordWrap(true);
    return l;
}

DateKind dateKind(QWidget* parent)
{
    DateKind k;
    k.box = new QGroupBox("Dátum ?", parent);
    k.box->setObjectName("RadioGroup1");
    auto* l = new QVBoxLayout(k.box);
    k.fizetesi = new QRadioButton("Fizetési dátum", k.box);
    k.fizetesi->setObjectName("rbFizetesi");
    k.felvasarlasi = new QRadioButton("Felvásárlási dátum", k.box);
    k.felvasarlasi->setObjectName("rbFelvasarlasi");
    k.fizetesi->setChecked(true);
    l->addWidget(k.fizetesi);
    l->addWidget(k.felvasarlasi);
    return k;
}

DBGrid* gridWithNavigator(QBoxLayout* into, const QString& accessibleName, QWidget* parent,
                          DBNavigator** navigator)
{
    auto* grid = new DBGrid(parent);
    grid->setObjectName("DBGrid1");
    grid->setAccessibleName(accessibleName);
    grid->setMinimumHeight(180);
    auto* nav = new DBNavigator(parent);
    nav->setObjectName("DBNavigator1");
    into->addWidget(grid, 1);
    into->addWidget(nav);
    if (navigator)
        *navigator = nav;
    return grid;
}

ActionRow actionRow(QDialog* screen, QBoxLayout* into, std::function<void()> collect,
                    std::function<void()> print, const char* cancelName)
{
    auto* row = new QHBoxLayout;
    ActionRow r{button("Kigyüjtés", "Button1", screen), button("Nyomtatás", "Button2", screen)};
    auto* cancel = button("Mégsem", cancelName, screen);
    r.print->setEnabled(false);
    row->addStretch();
    row->addWidget(r.collect);
    row->addWidget(r.print);
    row->addWidget(cancel);
    into->addLayout(row);
    QObject::connect(r.collect, &QPushButton::clicked, screen, [collect] { app::guarded(collect); });
    QObject::connect(r.print, &QPushButton::clicked, screen, [print] { app::guarded(print); });
    QObject::connect(cancel, &QPushButton::clicked, screen, &QDialog::reject);
    return r;
}

} // namespace listparts
