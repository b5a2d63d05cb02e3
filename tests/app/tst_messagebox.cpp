// The desktop's message boxes: a short message never cuts the box's title.
#include "gui/QtUi.h"

#include <QApplication>
#include <QTest>
#include <memory>

class TstMessageBox : public QObject {
    Q_OBJECT
private slots:
    void shortTextKeepsTheTitleWhole();
};

void TstMessageBox::shortTextKeepsTheTitleWhole()
{
    const QString title = "Felvásárlási jegy";
    std::unique_ptr<QMessageBox> box(
        app::makeMessageBox(QMessageBox::Information, title, "Kész!", QMessageBox::Ok));
    box->show();
    QVERIFY(QTest::qWaitForWindowExposed(box.get()));
    QFont bold = box->font();
    bold.setBold(true);
    const int needed = QFontMetrics(bold).horizontalAdvance(title);
    QVERIFY2(box->width() > needed + 100,
             qPrintable(QString("box %1 px, title %2 px").arg(box->width()).arg(needed)));
    // A long text still sets the width on its own.
    std::unique_ptr<QMessageBox> wide(app::makeMessageBox(
        QMessageBox::Information, "Kérdés", QString(60, QChar('x')), QMessageBox::Ok));
    wide->show();
    QVERIFY(QTest::qWaitForWindowExposed(wide.get()));
    QVERIFY(wide->width() >= QFontMetrics(wide->font()).horizontalAdvance(QString(60, QChar('x'))));
    box->close();
    wide->close();
}

QTEST_MAIN(TstMessageBox)
#include "tst_messagebox.moc"
