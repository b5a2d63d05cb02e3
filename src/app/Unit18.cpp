#include "Unit18.h"

#include "Unit1.h"
#include "Unit2.h"
#include "buyer.h"
#include "gui/guard.h"
#include "settings.h"

#include <QComboBox>
#include <QFocusEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

TForm18::TForm18(QWidget* parent) : QDialog(parent)
{
    setObjectName("Form18");
    setWindowTitle("Átvevö kiválasztása");
    auto* lay = new QVBoxLayout(this);
    list_ = new QComboBox(this);
    list_->setObjectName("DBLookupComboBox1");
    list_->setToolTip("Kurzorral léptesse a kiválasztandó átvevőre");
    list_->setAccessibleName("Átvevő");
    list_->setMinimumWidth(360);
    auto* lbl = new QLabel("Átvevő:", this);
    lbl->setBuddy(list_);
    lay->addWidget(lbl);
    lay->addWidget(list_);
    auto* row = new QHBoxLayout;
    ok_ = new QPushButton("Kiválaszt", this);
    ok_->setObjectName("Button1");
    cancel_ = new QPushButton("Mégsem", this);
    cancel_->setObjectName("Button2");
    row->addStretch();
    row->addWidget(ok_);
    row->addWidget(cancel_);
    lay->addLayout(row);
    // "Kiválaszt" chooses the buyer the list stands on, however it was
    // pressed: by Enter (the default button) the list keeps the focus and
    // would not apply it on its own.
    connect(ok_, &QPushButton::clicked, this, [this] {
        app::guarded([this] { applySelection(); });
        accept();
    });
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
    // A pick in the open list applies at once, as does leaving the list.
    connect(list_, &QComboBox::activated, this, [this] { app::guarded([this] { applySelection(); }); });
    list_->installEventFilter(this);
    setFixedSize(sizeHint());
}

void TForm18::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    if (!loaded_) {
        loaded_ = true;
        app::guarded([this] { loadBuyers(); });
        list_->setFocus(Qt::OtherFocusReason);
    }
}

void TForm18::loadBuyers()
{
    TQuery* q = Data->ZQ60;
    buyer::runList(q);
    list_->clear();
    for (q->first(); !q->eof(); q->next())
        list_->addItem(q->asString("V_NEVE"));
    q->last();
    list_->setCurrentIndex(q->recNo());
    // The last buyer counts as chosen even if the user leaves without a pick.
    setBuyerFromRow(q->recNo());
}

void TForm18::setBuyerFromRow(int row)
{
    TQuery* q = Data->ZQ60;
    if (row < 0 || q->isEmpty()) {
        G.akod.clear();
        G.nyilatk.clear();
        G.verzioBetu.clear();
        return;
    }
    q->moveTo(row);
    G.akod = q->asString("V_AKOD");
    G.nyilatk = q->asString("V_NYILATK");
    G.verzioBetu = q->asString("V_VERZIO").left(1);
}

void TForm18::applySelection()
{
    G.tipus = "1";
    G.ervTipus = "4";
    TQuery* q = Data->ZQ60;
    int row = list_->currentIndex();
    if (row < 0 && !q->isEmpty())
        row = q->recordCount() - 1;
    setBuyerFromRow(row);
    if (Form1)
        Form1->setWorkMenusEnabled(true);
    G.verzioSzoveg = settings::programVersionText();
    QString name = row >= 0 && !q->isEmpty() ? q->asString("V_NEVE") : QString();
    QString caption = G.captionPrefix + name.left(25) + " " + G.verzioSzoveg;
    setWindowTitle(caption);
    if (Form1)
        Form1->setWindowTitle(caption);
}

bool TForm18::eventFilter(QObject* o, QEvent* e)
{
    if (o == list_ && e->type() == QEvent::FocusOut) {
        auto r = static_cast<QFocusEvent*>(e)->reason();
        // Leaving the list for another control applies it; the window losing
        // activation or the list's own popup does not.
        if (r != Qt::ActiveWindowFocusReason && r != Qt::PopupFocusReason && isVisible())
            app::guarded([this] { applySelection(); });
    }
    return QDialog::eventFilter(o, e);
}
