#include "upgradescreen.h"

#include "gui/guard.h"
#include "seams.h"
#include "upgrades.h"

#include <QDialog>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace upgradescreen {

void build(QDialog* d, const QString& name, const QString& caption, const QStringList& texts,
           const QString& buttonText, bool withCancel, std::function<void()> run)
{
    d->setObjectName(name);
    d->setWindowTitle(caption);
    auto* top = new QVBoxLayout(d);
    int i = 1;
    for (const QString& t : texts) {
        auto* l = new QLabel(t, d);
        l->setObjectName(QString("Label%1").arg(i++));
        top->addWidget(l);
    }
    auto* row = new QHBoxLayout;
    row->addStretch();
    auto* go = new QPushButton(buttonText, d);
    go->setObjectName("Button1");
    row->addWidget(go);
    QObject::connect(go, &QPushButton::clicked, d, [run] { app::guarded(run); });
    if (withCancel) {
        auto* cancel = new QPushButton("Mégsem", d);
        cancel->setObjectName("Button2");
        row->addWidget(cancel);
        QObject::connect(cancel, &QPushButton::clicked, d, &QDialog::reject);
    }
    top->addLayout(row);
    go->setFocus();
    // Wide enough for the whole title beside the title bar's buttons: the
    // buttons alone would make a window whose title is cut short.
    QFont titleFont = d->font();
    titleFont.setBold(true);
    const int titleWidth = QFontMetrics(titleFont).horizontalAdvance(caption) + 140;
    d->setFixedSize(d->sizeHint().expandedTo(QSize(titleWidth, 0)));
}

bool show(const rec::Outcome& o)
{
    if (o.kind == rec::Outcome::CheckFailed) {
        seams::ui().confirm(o.message);
        return false;
    }
    seams::ui().showMessage(o.ok() ? QString(upgrades::Done) : o.message);
    return o.ok();
}

} // namespace upgradescreen
