// The user guide built with this build: its chapters, its pictures, and that
// the pictures were taken from this build's screens.
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTest>

class TstGuide : public QObject {
    Q_OBJECT
private slots:
    void guideHasEveryChapterAndFreshPictures();
};

static QString run(const QString& program, const QStringList& args)
{
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(30000) || p.exitCode() != 0)
        return {};
    return QString::fromUtf8(p.readAllStandardOutput());
}

void TstGuide::guideHasEveryChapterAndFreshPictures()
{
    const QString prog = VADMO_PROG_DIR;
    const QString pdf = prog + "/sugo.pdf";
    QVERIFY2(QFileInfo::exists(pdf), qPrintable(pdf));

    const QString text = run("pdftotext", {"-layout", pdf, "-"});
    QVERIFY(!text.isEmpty());
    for (const char* chapter :
         {"Első lépések", "Az átvevő adatai", "Évnyitás", "Őstermelők", "Termékek",
          "A napi munka: felvásárlási jegy", "Nyomtatás és érvénytelenítés",
          "Havi 2008M bevallási állományok", "Adóhatósági ellenőrzési adatszolgáltatás", "Mentés",
          "Hol vannak a fájlok?", ".local/share/vadmo7", "Az első indítás",
          "Mentés visszatöltése", "Több gép egy nyilvántartáson", "Szervizindítás"})
        QVERIFY2(text.contains(QString::fromUtf8(chapter)), chapter);

    // One picture per screen reached on the sample register, each under its caption.
    const QString images = run("pdfimages", {"-list", pdf});
    const int pictures = int(images.split('\n', Qt::SkipEmptyParts).size()) - 2; // two header lines
    QVERIFY2(pictures >= 11, qPrintable(images));
    QVERIFY(text.contains("Átvevő kiválasztása"));
    QVERIFY(text.contains("Új felvásárlási jegy"));

    // Taken by this build: no older than the program that took them, which is
    // relinked whenever a screen changes.
    const QDir shots(prog + "/../guide-shots");
    const QFileInfo taker(prog + "/../vadmo7-guide");
    QVERIFY(taker.exists());
    const QStringList pngs = shots.entryList({"*.png"});
    QVERIFY2(pngs.size() >= 11, qPrintable(pngs.join(' ')));
    QVERIFY(pngs.contains("Form9.png") && pngs.contains("Form4.png") && pngs.contains("Form44.png"));
    for (const QString& png : pngs)
        QVERIFY2(QFileInfo(shots.filePath(png)).lastModified() >= taker.lastModified(), qPrintable(png));
    QVERIFY(QFileInfo(pdf).lastModified() >= taker.lastModified());
}

QTEST_GUILESS_MAIN(TstGuide)
#include "tst_guide.moc"
