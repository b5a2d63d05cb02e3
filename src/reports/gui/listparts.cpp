#include "listparts.h"

#include "columntitles.h"

#include "gui/guard.h"

#include "gui/dbwidgets.h"
#include "gui/edits.h"
#include "seams.h"
#include "Query.h"

#include <QHBoxLayout>
#include <QDialog>
#include <QBoxLayout>
#include <QCheckBox>
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

Period period(const QString& label, const QString& endName, QWidget* parent)
{
    const QDate today = seams::ui().today();
    Period p;
    p.from = datePicker(QDate(today.year(), 1, 1), "DateTimePicker1", parent);
    p.to = datePicker(QDate(today.year(), 12, 31), "DateTimePicker2", parent);
    p.row = new QHBoxLayout;
    p.row->addWidget(form::label(label, p.from, parent));
    p.row->addWidget(p.from);
    p.row->addWidget(note("-tól", "Label2", parent));
    p.row->addWidget(p.to);
    p.row->addWidget(note("-ig", "Label3", parent));
    p.to->setAccessibleName(endName);
    return p;
}

QLabel* note(const QString& text, const char* name, QWidget* parent)
{
    QLabel* l = form::namedLabel(text, name, parent);
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
    grid->setTitles(columntitles::all());
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
    ActionRow r{form::namedButton("Kigyüjtés", "Button1", screen), form::namedButton("Nyomtatás", "Button2", screen)};
    auto* cancel = form::namedButton("Mégsem", cancelName, screen);
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

ActionRow totalsScreenEnd(QDialog* screen, QBoxLayout* into, DBGrid* grid, QCheckBox* byProduct,
                          TQuery* q, std::function<void()> collect, std::function<void()> print)
{
    const ActionRow actions = actionRow(screen, into, std::move(collect), std::move(print));
    QObject::connect(byProduct, &QCheckBox::clicked, screen,
                     [p = actions.print] { p->setEnabled(false); });
    q->close();
    grid->setQuery(q);
    screen->findChild<DBNavigator*>("DBNavigator1")->setQuery(q);
    form::enterMovesFocus(screen);
    screen->resize(720, 560);
    actions.collect->setFocus();
    return actions;
}

} // namespace listparts
