#include "testsupport.h"

#include "newdb.h"
#include "values.h"

#include <QDialog>
#include <QFile>
#include <QTest>

QStringList RecordingUi::messages() const
{
    QStringList out;
    for (const QString& l : log)
        out << l.section(':', 1);
    return out;
}

void RecordingUi::record(const QString& entry)
{
    log << entry;
    if (onShow)
        onShow(entry);
}

void RecordingUi::showMessage(const QString& text) { record("msg:" + text); }

void RecordingUi::information(const QString& title, const QString& text)
{
    titles << title;
    record("info:" + text);
}

bool RecordingUi::confirm(const QString& text)
{
    record("confirm:" + text);
    if (answers.empty())
        return true;
    bool a = answers.front();
    answers.pop_front();
    return a;
}

bool RecordingUi::askYesNo(const QString& text)
{
    record("ask:" + text);
    if (answers.empty())
        return true;
    bool a = answers.front();
    answers.pop_front();
    return a;
}

void RecordingUi::showError(const QString& text) { record("error:" + text); }

QString RecordingUi::openFileName(const QString&, const QString&, const QString&)
{
    if (files.empty())
        return {};
    QString f = files.front();
    files.pop_front();
    return f;
}

QString RecordingUi::saveFileName(const QString& c, const QString& d, const QString& f)
{
    return openFileName(c, d, f);
}

QString RecordingUi::existingDirectory(const QString& c, const QString& d)
{
    return openFileName(c, d, {});
}

bool RecordingUi::openExternal(const QString& f)
{
    opened << f;
    return openResult;
}

bool RecordingUi::startProgram(const QString& p)
{
    opened << p;
    return openResult;
}

int RecordingUi::runModal(QDialog* dialog)
{
    modalNames << dialog->objectName();
    if (onModal)
        return onModal(dialog);
    return QDialog::Rejected;
}

namespace {
class RecordedProgress : public seams::Progress {
public:
    explicit RecordedProgress(RecordingUi* ui) : ui_(ui) { ++ui_->progressOpen; }
    ~RecordedProgress() override { --ui_->progressOpen; }
    void setValue(qint64 done) override
    {
        done_ = done;
        ui_->progressMax = std::max(ui_->progressMax, done);
        ++ui_->progressSteps;
    }
    bool wasCanceled() const override { return ui_->cancelAt > 0 && done_ >= ui_->cancelAt; }

private:
    RecordingUi* ui_;
    qint64 done_ = 0;
};
} // namespace

std::unique_ptr<seams::Progress> RecordingUi::startProgress(const QString& text, qint64 maximum)
{
    progress << text + "/" + QString::number(maximum);
    return std::make_unique<RecordedProgress>(this);
}

void RecordingUi::clear()
{
    log.clear();
    titles.clear();
    beeps = 0;
    opened.clear();
    modalNames.clear();
    progress.clear();
    progressMax = 0;
    progressSteps = 0;
    cancelAt = 0;
}

TestDb::TestDb(bool samples)
{
    oldCwd_ = QDir::currentPath();
    // Creating the schema takes a second or two; copy a file made once per run.
    static QTemporaryDir cache;
    QString tmpl = cache.filePath(samples ? "samples.fdb" : "plain.fdb");
    if (!QFile::exists(tmpl)) {
        newdb::Options o;
        o.samples = samples;
        newdb::create(tmpl, o);
    }
    if (!QFile::copy(tmpl, file()))
        throw std::runtime_error("cannot copy the test database");
    QDir::setCurrent(tmp_.path());
    data_ = std::make_unique<TData>();
    Data = data_.get();
    data_->connect();
    data_->openTables();
    G = Globals();
}

TestDb::~TestDb()
{
    try {
        if (data_->ZCon1.connected())
            data_->disconnect();
    } catch (...) {
    }
    data_.reset();
    Data = nullptr;
    QDir::setCurrent(oldCwd_);
}

void TestDb::exec(const QString& sql)
{
    TQuery q(&data_->ZCon1, "test");
    q.setSql(sql);
    data_->execCommitted(&q);
}

QString TestDb::scalar(const QString& sql)
{
    TQuery q(&data_->ZCon1, "test");
    q.setSql(sql);
    q.open();
    if (q.isEmpty())
        return {};
    return val::asText(q.valueAt(0, 0));
}

void TestDb::selectBuyer(const QString& akod)
{
    TQuery q(&data_->ZCon1, "test");
    q.setSql("select * from atvevo where v_akod = :p");
    q.setText("p", akod);
    q.open();
    G.akod = akod;
    G.nyilatk = q.asString("V_NYILATK");
    G.verzioBetu = q.asString("V_VERZIO").left(1);
    G.tipus = "1";
    G.ervTipus = "4";
}
