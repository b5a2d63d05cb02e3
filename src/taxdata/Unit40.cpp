#include "paths.h"
#include "Unit40.h"

#include "columntitles.h"
#include "folders.h"

#include "Unit2.h"
#include "gui/dbwidgets.h"
#include "gui/edits.h"
#include "gui/guard.h"
#include "gui/outcome.h"
#include "seams.h"
#include "settings.h"
#include "xsdcheck.h"

#include <QCheckBox>
#include <QClipboard>
#include <QCoreApplication>
#include <QDateEdit>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>
#include <memory>

namespace {

const char* const kLeiras =
    "Adóhatósági ellenőrzési adatszolgáltatás\n"
    "\n"
    "2016.01.01-től a felvásárlási jegyek (önszámlák) adatait az adóhatóság ellenőrzéskor "
    "elektronikus formában is kérheti. A kérés egy időszakra (dátum tól-ig) vagy egy "
    "bizonylatszám tartományra (sorszám tól-ig) szól; ezt kell a \"Beállítás\" és az "
    "\"Adatszolgáltatás\" lapon megadni.\n"
    "\n"
    "Az export állomány alapértelmezett neve \"szamlak.xml\", ez átnevezhető. Az állomány "
    "UTF-8 kódolású szöveges fájl, amely az adóhatóság \"23_2014_szamlasema.xsd\" sémája "
    "szerint készül: minden bizonylat egy \"szamla\" csoport.\n"
    "\n"
    "Az elkészült fájl ellenőrzése XML-XSD ellenőrzővel (böngészőben), pl. "
    "https://www.freeformatter.com/xml-validator-xsd.html :\n"
    "1. Az ellenőrző oldal megnyitása a böngészőben.\n"
    "2. Az exportált XML bemásolása az XML ablakába (\"XML\" lap, Betöltés, Vágólapra másol).\n"
    "3. A séma bemásolása az XSD ablakába (\"XSD\" lap, Betöltés, Vágólapra másol).\n"
    "4. Az ellenőrzés gomb megnyomása.\n"
    "5. Az eredmény elolvasása: hiba esetén a hibás sor számát is kiírja.\n"
    "\n"
    "A program az exportálás után maga is ellenőrzi a fájlt a sémával, és kiírja, hogy "
    "érvényes-e; így a fenti lépésekre már nincs szükség.";

const char* const kXmlHelp =
    "A \"Betöltés\" gomb betölti az exportált XML fájlt (az \"Adatszolgáltatás\" lapon "
    "megadott helyről).\n"
    "A \"Vágólapra másol\" gomb után a szöveg beilleszthető az ellenőrző oldal XML ablakába.";

const char* const kXsdHelp =
    "A \"Betöltés\" gomb betölti az adóhatóság sémáját (23_2014_szamlasema.xsd) a program "
    "könyvtárából.\n"
    "A \"Vágólapra másol\" gomb után a szöveg beilleszthető az ellenőrző oldal XSD ablakába.";

QString fileText(const QString& path, bool* ok)
{
    QFile f(path);
    *ok = f.open(QIODevice::ReadOnly);
    return *ok ? QString::fromUtf8(f.readAll()) : QString();
}

} // namespace

TForm40::TForm40(QWidget* parent) : QDialog(parent)
{
    setObjectName("Form40");
    setWindowTitle("Adóhatósági ellenőrzési adatszolgáltatás");
    auto* top = new QVBoxLayout(this);
    tabs_ = new QTabWidget(this);
    tabs_->setObjectName("PageControl1");
    top->addWidget(tabs_);

    // "Adatszolgáltatás"
    auto* work = new QWidget;
    work->setObjectName("TabSheet1");
    auto* wl = new QVBoxLayout(work);
    auto* ranges = new QHBoxLayout;
    auto* which = new QGroupBox("Melyik?", work);
    which->setObjectName("RadioGroup1");
    auto* wv = new QGridLayout(which);
    byKelt_ = new QRadioButton("Kiállítás kelte", which);
    byKelt_->setObjectName("rbKelt");
    byFelv_ = new QRadioButton("Felvásárlás dátuma", which);
    byFelv_->setObjectName("rbFelvKelt");
    byKelt_->setChecked(true);
    wv->addWidget(byKelt_, 0, 0, 1, 2);
    wv->addWidget(byFelv_, 1, 0, 1, 2);
    const QDate today = seams::ui().today();
    from_ = new QDateEdit(today, which);
    to_ = new QDateEdit(today, which);
    for (QDateEdit* d : {from_, to_}) {
        d->setDisplayFormat("yyyy.MM.dd");
        d->setCalendarPopup(true);
        d->setMinimumDate(QDate(1900, 1, 1));
    }
    from_->setObjectName("DateTimePicker1");
    to_->setObjectName("DateTimePicker2");
    wv->addWidget(from_, 2, 0);
    wv->addWidget(form::label("-tól", from_, which), 2, 1);
    wv->addWidget(to_, 3, 0);
    wv->addWidget(form::label("-ig", to_, which), 3, 1);
    ranges->addWidget(which);

    auto* nums = new QGroupBox("Bizonylat sorszám:", work);
    nums->setObjectName("GroupBox2");
    auto* nv = new QGridLayout(nums);
    numFrom_ = new FilteredEdit(FilteredEdit::Digits, 8, nums);
    numFrom_->setObjectName("Edit1");
    numTo_ = new FilteredEdit(FilteredEdit::Digits, 8, nums);
    numTo_->setObjectName("Edit2");
    nv->addWidget(numFrom_, 0, 0);
    nv->addWidget(form::label("-tól", numFrom_, nums), 0, 1);
    nv->addWidget(numTo_, 1, 0);
    nv->addWidget(form::label("-ig", numTo_, nums), 1, 1);
    numFrom_->setAccessibleName("Bizonylat sorszám -tól");
    numTo_->setAccessibleName("Bizonylat sorszám -ig");
    ranges->addWidget(nums);
    ranges->addStretch();
    wl->addLayout(ranges);

    wl->addWidget(form::namedLabel("Adatszolgáltatási export mentés helye : C:\\VADMO6\\szamlak.xml",
                        "Label5", work));
    wl->addWidget(form::namedLabel("(Ezen a gépen: " + QDir::toNativeSeparators(auditxml::defaultFolder()) +
                            "; ha nincs, a program létrehozza.)",
                        "Label19", work));
    auto* pathRow = new QHBoxLayout;
    hova_ = new QLineEdit(work);
    hova_->setObjectName("Edit3");
    hova_->setAccessibleName("Adatszolgáltatási export mentés helye");
    auto* talloz = form::namedButton("Tallóz", "Button4", work, false);
    talloz->setToolTip("Ahová az XML lementésre kerüljön");
    pathRow->addWidget(hova_, 1);
    pathRow->addWidget(talloz);
    wl->addLayout(pathRow);

    nav_ = new DBNavigator(work);
    nav_->setObjectName("DBNavigator1");
    wl->addWidget(nav_);
    grid_ = new DBGrid(work);
    grid_->setObjectName("DBGrid1");
    grid_->setTitles(columntitles::all());
    grid_->setAccessibleName("Kigyűjtött bizonylatok");
    grid_->setMinimumHeight(180);
    wl->addWidget(grid_, 1);
    progress_ = new QProgressBar(work);
    progress_->setObjectName("ProgressBar1");
    progress_->setVisible(false);
    wl->addWidget(progress_);

    auto* buttons = new QHBoxLayout;
    collect_ = form::namedButton("Kigyűjtés", "Button1", work, false);
    collect_->setToolTip("A dátum vagy biz.szám tól-ig megadott értékek közötti adat leválogatása.");
    export_ = form::namedButton("Export", "Button2", work, false);
    export_->setToolTip("Adóhatóságnak küldendő XML formátomú fálj elkészítése. ");
    export_->setEnabled(false);
    auto* cancel = form::namedButton("Mégsem", "Button3", work, false);
    buttons->addWidget(form::namedLabel("Kigyűjtéskor az előző kigyűjtés törlésre kerül.", "Label6", work));
    buttons->addStretch();
    buttons->addWidget(collect_);
    buttons->addWidget(export_);
    buttons->addWidget(cancel);
    wl->addLayout(buttons);
    tabs_->addTab(work, "Adatszolgáltatás");

    // "Beállítás"
    auto* set = new QWidget;
    set->setObjectName("TabSheet2");
    auto* sl = new QVBoxLayout(set);
    sl->addWidget(form::namedLabel("Minden bizonylatra vonatkozó beállítsok", "Label7", set));
    auto* kind = new QGroupBox("Melyik tól-ig?", set);
    kind->setObjectName("RadioGroup2");
    auto* kl = new QVBoxLayout(kind);
    byDatum_ = new QRadioButton("Dátum (alapbeállítás)", kind);
    byDatum_->setObjectName("rbDatum");
    bySzam_ = new QRadioButton("Sorszám", kind);
    bySzam_->setObjectName("rbSorszam");
    byDatum_->setChecked(true);
    kl->addWidget(byDatum_);
    kl->addWidget(bySzam_);
    sl->addWidget(kind);
    auto* g = new QGridLayout;
    onszlaBox_ = new QCheckBox("Önszámla (Az átvevő állítja ki. Az alapbeállítás=true)", set);
    onszlaBox_->setObjectName("CheckBox1");
    onszlaBox_->setChecked(true);
    onszla_ = new QLineEdit(set);
    onszla_->setObjectName("Edit4");
    onszla_->setAccessibleName("Önszámla");
    onszla_->setMaxLength(100);
    g->addWidget(onszlaBox_, 0, 0);
    g->addWidget(onszla_, 0, 1);
    nemKot_ = new QCheckBox("Nem kötetező tipusok is kitöltve", set);
    nemKot_->setObjectName("CheckBox2");
    nemKot_->setChecked(true);
    g->addWidget(nemKot_, 1, 0, 1, 2);
    papir_ = new QLineEdit(set);
    papir_->setObjectName("Edit5");
    papir_->setMaxLength(100); // what the authority accepts and the work table holds
    g->addWidget(form::label("Számla forma:", papir_, set), 2, 0);
    g->addWidget(papir_, 2, 1);
    g->setColumnStretch(1, 1);
    sl->addLayout(g);
    auto* save = form::namedButton("Mentés", "Button5", set, false);
    auto* sb = new QHBoxLayout;
    sb->addWidget(save);
    sb->addStretch();
    sl->addLayout(sb);
    sl->addStretch();
    tabs_->addTab(set, "Beállítás");

    // "Leírás"
    auto* desc = new QPlainTextEdit(QString::fromUtf8(kLeiras));
    desc->setObjectName("Memo1");
    desc->setReadOnly(true);
    desc->setAccessibleName("Leírás");
    tabs_->addTab(desc, "Leírás");

    // "XML" and "XSD"
    auto viewer = [&](const QString& title, const QString& key, const char* help,
                      QPlainTextEdit*& view, const QString& note) {
        auto* page = new QWidget;
        page->setObjectName("TabSheet" + key);
        auto* l = new QVBoxLayout(page);
        if (!note.isEmpty())
            l->addWidget(form::namedLabel(note, "lbNote" + key, page));
        view = new QPlainTextEdit(QString::fromUtf8(help), page);
        view->setObjectName("Memo" + key);
        view->setReadOnly(true);
        view->setLineWrapMode(QPlainTextEdit::NoWrap);
        view->setAccessibleName(title);
        l->addWidget(view, 1);
        auto* row = new QHBoxLayout;
        auto* load = form::namedButton("Betöltés", "btBetoltes" + key, page, false);
        auto* copy = form::namedButton("Vágólapra másol", "btVagolap" + key, page, false);
        row->addWidget(load);
        row->addWidget(copy);
        row->addStretch();
        l->addLayout(row);
        tabs_->addTab(page, title);
        QPlainTextEdit* v = view;
        connect(copy, &QPushButton::clicked, this,
                [v] { QGuiApplication::clipboard()->setText(v->toPlainText()); });
        return load;
    };
    auto* loadXml = viewer("XML", "Xml", kXmlHelp, xmlView_,
                           "Az adatok szöveges fáljban UTF-8 kódolású karakterkészlettel.");
    auto* loadXsd = viewer("XSD", "Xsd", kXsdHelp, xsdView_, QString());

    connect(collect_, &QPushButton::clicked, this,
            [this] { app::guarded([this] { KigyujtesClick(); }); });
    connect(export_, &QPushButton::clicked, this, [this] { app::guarded([this] { ExportClick(); }); });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(talloz, &QPushButton::clicked, this, [this] { app::guarded([this] { TallozClick(); }); });
    connect(save, &QPushButton::clicked, this, [this] { app::guarded([this] { MentesClick(); }); });
    connect(loadXml, &QPushButton::clicked, this,
            [this] { app::guarded([this] { XmlBetoltesClick(); }); });
    connect(loadXsd, &QPushButton::clicked, this,
            [this] { app::guarded([this] { XsdBetoltesClick(); }); });
    connect(onszlaBox_, &QCheckBox::toggled, this,
            [this](bool on) { onszla_->setText(on ? "true" : "false"); });

    form::enterMovesFocus(this);

    // The previous export stays until a new one replaces it: it may be the
    // very file the authority has received.
    const auditxml::Settings s = auditxml::readSettings(settings::iniFileName("XML.ini"));
    hova_->setText(s.hova);
    onszla_->setText(s.onszla);
    papir_->setText(s.papir);

    grid_->setQuery(Data->ZQ90);
    nav_->setQuery(Data->ZQ90);
    resize(900, 640);
    from_->setFocus();
}

QString TForm40::xsdPath()
{
    // The working folder's copy, else the one shipped with the program.
    return paths::find("23_2014_szamlasema.xsd");
}

auditxml::Range TForm40::range() const
{
    auditxml::Range r;
    r.kind = bySzam_->isChecked()  ? auditxml::RangeKind::Number
             : byFelv_->isChecked() ? auditxml::RangeKind::PurchaseDate
                                    : auditxml::RangeKind::IssueDate;
    r.from = from_->date();
    r.to = to_->date();
    r.numFrom = numFrom_->text();
    r.numTo = numTo_->text();
    return r;
}

auditxml::Settings TForm40::currentSettings() const
{
    return {hova_->text(), onszla_->text(), papir_->text()};
}

rec::Context TForm40::context() const
{
    return {&Data->ZCon1, G.akod, G.tipus, G.ervTipus, seams::ui().today()};
}

void TForm40::KigyujtesClick()
{
    const rec::Outcome o = auditxml::collect(context(), range(), currentSettings());
    if (!app::showOutcome(o, this))
        return;
    auditxml::openCollected(Data->ZQ90);
    grid_->setQuery(Data->ZQ90);
    seams::ui().showMessage(auditxml::collectedMessage());
    export_->setEnabled(true);
    export_->setFocus();
}

void TForm40::ExportClick()
{
    fb::Connection* db = &Data->ZCon1;
    const QString stop = auditxml::stoppingCheck(db);
    if (!stop.isEmpty()) {
        seams::ui().showMessage(stop);
        return;
    }
    auditxml::Options o;
    o.range = range();
    o.settings = currentSettings();
    o.nemKotelezo = nemKot_->isChecked();
    o.today = seams::ui().today();
    const QStringList problems = auditxml::schemaProblems(db, o);
    if (!problems.isEmpty()) {
        QStringList shown = problems.mid(0, 15);
        if (problems.size() > shown.size())
            shown << QString("… és még %1 hiba.").arg(problems.size() - shown.size());
        if (!seams::ui().askYesNo("Javitandó! Az adóhatóság sémája szerint hibás adatok:\n" +
                                  shown.join('\n') +
                                  "\n\nMégis elkészüljön a fájl? (Ilyen fájlt nem szabad "
                                  "elküldeni.)"))
            return;
    }
    const QString path = hova_->text();
    const folders::Result folder =
        folders::ensure(QFileInfo(path).absolutePath(), auditxml::defaultFolder(),
                        [](const QString& q) { return seams::ui().askYesNo(q); });
    if (!folder.ok()) {
        if (!folder.message.isEmpty())
            seams::ui().showMessage(folder.message);
        hova_->setFocus();
        return;
    }
    progress_->setVisible(true);
    auditxml::Header h;
    std::unique_ptr<seams::Progress> job = seams::startProgress("XML export…", 0);
    const QByteArray xml = auditxml::build(
        db, o, &h,
        [this, &job](int done, int total) {
            progress_->setMaximum(std::max(total, 1));
            progress_->setValue(done);
            job->setValue(done);
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        },
        [&job] { return job->wasCanceled(); });
    job.reset();
    progress_->setVisible(false);
    if (xml.isEmpty()) {
        // Stopped before the file was touched: the last export stays as it was.
        seams::ui().showMessage("Az export megszakítva, a(z) " +
                                QDir::toNativeSeparators(hova_->text()) + " fájl nem változott.");
        return;
    }
    if (o.range.kind != auditxml::RangeKind::Number) {
        numFrom_->setText(h.minbiz);
        numTo_->setText(h.maxbiz);
    }
    auditxml::writeFile(path, xml);
    QString done = auditxml::exportedMessage(path);
    if (!folder.message.isEmpty())
        done += "\n" + folder.message;
    seams::ui().showMessage(done);
    seams::ui().showMessage(xsdcheck::message(xsdcheck::validate(xml, xsdPath()), path));
}

void TForm40::TallozClick()
{
    const QString start = settings::winPath("C:\\VADMO6\\");
    const QString chosen = seams::ui().saveFileName(
        "Felvásárlási jegy adatok mentése ide",
        QDir(start).filePath(QFileInfo(hova_->text()).fileName()),
        "*.xml (szamlak" + G.akod + ".xml)");
    // The file at the old path is kept: only a new export replaces a file.
    if (!chosen.isEmpty())
        hova_->setText(chosen);
}

void TForm40::MentesClick()
{
    auditxml::saveSettings(settings::iniFileName("XML.ini"), currentSettings());
}

void TForm40::XmlBetoltesClick()
{
    bool ok = false;
    const QString t = fileText(hova_->text(), &ok);
    if (!ok) {
        seams::ui().showMessage("Nincs \"szamlak.XML\" fálj!");
        return;
    }
    xmlView_->setPlainText(t);
}

void TForm40::XsdBetoltesClick()
{
    bool ok = false;
    const QString t = fileText(xsdPath(), &ok);
    if (!ok) {
        seams::ui().showMessage("Nincs \"23_2014_szamlasema.xsd\" fálj!");
        return;
    }
    xsdView_->setPlainText(t);
}
