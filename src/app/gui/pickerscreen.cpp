#include "pickerscreen.h"

#include "Query.h"
#include "dbwidgets.h"
#include "edits.h"
#include "entryscreen.h"
#include "guard.h"
#include "seams.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

PickerScreen::PickerScreen(TQuery* q, QWidget* parent) : QDialog(parent), q_(q)
{
    top_ = new QVBoxLayout(this);
}

void PickerScreen::addStatus(const QString& text)
{
    status_ = new QLabel(text, this);
    status_->setObjectName("Label1");
    top_->addWidget(status_);
}

void PickerScreen::addBody(const Body& body, const QList<PanelField>& panel)
{
    auto* middle = new QHBoxLayout;
    auto* left = new QVBoxLayout;
    grid_ = new DBGrid(this);
    grid_->setObjectName("DBGrid1");
    grid_->setMinimumSize(body.gridMinimum);
    grid_->setAccessibleName(QString::fromUtf8(body.gridAccessibleName));
    left->addWidget(grid_, 1);
    nav_ = new DBNavigator(this);
    nav_->setObjectName("DBNavigator1");
    left->addWidget(nav_);
    middle->addLayout(left, 3);

    auto* box = new QGroupBox(QString::fromUtf8(body.panelTitle), this);
    box->setObjectName("GroupBox1");
    auto* pl = new QGridLayout(box);
    if (body.panelSpacing >= 0)
        pl->setVerticalSpacing(body.panelSpacing);
    int r = 0;
    for (const PanelField& p : panel) {
        auto* e = new QLineEdit(box);
        e->setObjectName(QString("pn_") + p.key);
        form::setReadOnly(e);
        e->setMinimumWidth(body.panelFieldWidth);
        panel_[p.key] = e;
        if (p.label)
            pl->addWidget(form::label(QString::fromUtf8(p.label), e, box), r, 0);
        pl->addWidget(e, r, 1);
        ++r;
    }
    if (body.panelStretch)
        pl->setRowStretch(r, 1);
    box->setMaximumWidth(360);
    middle->addWidget(box, 2);
    top_->addLayout(middle, 1);
}

void PickerScreen::addButtons(const QString& printText)
{
    auto* buttons = new QHBoxLayout;
    auto make = [&](const char* name, const QString& text) {
        return form::addButton(buttons, text, name, this);
    };
    auto* uj = make("Button1", "Új");
    auto* modosit = make("Button2", "Módosít");
    auto* torol = make("Button3", "Töröl");
    buttons->addStretch();
    auto* kivalaszt = make("Button5", "Kiválaszt");
    auto* megsem = make("Button4", "Mégsem");
    auto* nyomtat = make("Button6", printText);
    top_->addLayout(buttons);

    connect(uj, &QPushButton::clicked, this, [this] { app::guarded([this] { ujClick(); }); });
    connect(modosit, &QPushButton::clicked, this,
            [this] { app::guarded([this] { modositClick(); }); });
    connect(torol, &QPushButton::clicked, this, [this] { app::guarded([this] { torolClick(); }); });
    connect(nyomtat, &QPushButton::clicked, this,
            [this] { app::guarded([this] { nyomtatClick(); }); });
    connect(kivalaszt, &QPushButton::clicked, this, &QDialog::accept);
    connect(megsem, &QPushButton::clicked, this, &QDialog::reject);
    // Enter in the list chooses, as a picker should; the list has the focus.
    kivalaszt->setDefault(true);
}

void PickerScreen::bindQuery(const QList<GridColumn>& columns)
{
    grid_->setQuery(q_, columns);
    nav_->setQuery(q_);
    grid_->setFocus();
    // A double click on a row chooses it; the first click has made it current.
    connect(grid_, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex& i) {
        if (i.isValid())
            accept();
    });
    connect(grid_->horizontalHeader(), &QHeaderView::sectionClicked, this,
            [this](int section) { app::guarded([this, section] { titleClicked(section); }); });
    connect(q_, &TQuery::currentChanged, this, [this] { updatePanel(); });
    connect(q_, &TQuery::reset, this, [this] { updatePanel(); });
}

QPushButton* PickerScreen::button(const QString& objectName) const
{
    return findChild<QPushButton*>(objectName);
}

QString PickerScreen::panelText(const QString& column) const
{
    QLineEdit* e = panel_.value(column);
    return e ? e->text() : QString();
}

bool PickerScreen::hasCurrentRow() const
{
    return q_->active() && !q_->isEmpty() && q_->recNo() >= 0;
}

void PickerScreen::positionOn(const QString& field, const QString& prefix)
{
    q_->locatePrefix(field, prefix);
}

QString PickerScreen::panelValue(const QString& key) const
{
    return q_->hasField(key) ? q_->asString(key) : QString();
}

void PickerScreen::updatePanel()
{
    const bool any = hasCurrentRow();
    for (auto it = panel_.begin(); it != panel_.end(); ++it) {
        it.value()->setText(any ? panelValue(it.key()) : QString());
        it.value()->setCursorPosition(0);
    }
}

void PickerScreen::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    if (shownOnce_)
        return;
    shownOnce_ = true;
    app::guarded([this] { firstShow(); });
}

void PickerScreen::ujClick()
{
    openEntry(false);
}

void PickerScreen::modositClick()
{
    if (q_->isEmpty())
        return;
    openEntry(true);
}

void PickerScreen::openEntry(bool modify)
{
    std::unique_ptr<EntryScreen> entry = makeEntry(modify);
    if (modify && !entry->load())
        return;
    if (seams::ui().runModal(entry.get()) == QDialog::Accepted)
        status_->setText(statusAfterSave());
}

void PickerScreen::torolClick()
{
    if (q_->isEmpty())
        return;
    // A refusal in a confirmation dialog, a failed statement as its numbered
    // message.
    const rec::Outcome o = removeCurrent();
    switch (o.kind) {
    case rec::Outcome::Saved:
        seams::ui().showMessage(removedText());
        break;
    case rec::Outcome::CheckFailed:
        seams::ui().confirm(o.message);
        break;
    case rec::Outcome::StepFailed:
        seams::ui().showMessage(o.message);
        break;
    }
    firstShow();
}
