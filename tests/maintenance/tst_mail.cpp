// Sending the register to the support: the file field, the clipboard, the
// mailto address a mail program reads back, the program's folder untouched.
#include "maintenance/Unit27.h"
#include "maintenance/mailto.h"
#include "testsupport.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QTest>
#include <QUrl>
#include <QUrlQuery>

class TstMail : public QObject {
    Q_OBJECT
private slots:
    void addressCarriesSubjectAndBody();
    void folderListFillsTheFileField();
};

void TstMail::addressCarriesSubjectAndBody()
{
    const QString a = mailto::supportAddress();
    QVERIFY(a.startsWith("mailto:tamogatas@vadmo.hu?subject=Fjegy%20adatok&body=Vadmo7%20adatok%20elk%C3%BCld%C3%A9se"));
    QVERIFY(!a.contains(' '));
    // What a mail program decodes is the text itself, accents and the closing blank included.
    const QUrlQuery q(QUrl(a).query());
    QCOMPARE(q.queryItemValue("subject", QUrl::FullyDecoded), QString("Fjegy adatok"));
    QCOMPARE(q.queryItemValue("body", QUrl::FullyDecoded),
             QString("Vadmo7 adatok elküldése ellenőrzésre. Figyelmeztetés: csatolt fálj mellékelni kell! "));
}

void TstMail::folderListFillsTheFileField()
{
    TestDb db;
    UiScope s;
    const QString cwd = QDir::currentPath();
    TForm27 f(nullptr, db.dir());
    QCOMPARE(f.fileField()->text(), QDir(db.dir()).absoluteFilePath("vadmo7.fdb"));

    QVERIFY(QDir().mkpath(db.dir() + "/ures"));
    f.folderChanged(db.dir() + "/ures");
    QCOMPARE(f.fileField()->text(), QString());
    f.folderChanged(db.dir());
    QCOMPARE(QDir::currentPath(), cwd); // browsing leaves the program's folder alone

    f.VagolapraClick();
    QCOMPARE(QApplication::clipboard()->text(), QDir(db.dir()).absoluteFilePath("vadmo7.fdb"));

    s.ui.openResult = true;
    f.sendMailClick();
    QCOMPARE(s.ui.opened, QStringList{mailto::supportAddress()});
    QVERIFY(s.ui.log.isEmpty());
    // No mail program: said, with the address and the file to attach.
    s.ui.openResult = false;
    f.sendMailClick();
    QCOMPARE(s.ui.log.size(), 1);
    QVERIFY(s.ui.log[0].contains("tamogatas@vadmo.hu"));
    QVERIFY(s.ui.log[0].contains(f.fileField()->text()));
}

QTEST_MAIN(TstMail)
#include "tst_mail.moc"
