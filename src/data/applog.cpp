#include "applog.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QtDebug>

namespace applog {

namespace {
QString& overridePath()
{
    static QString p;
    return p;
}
} // namespace

QString path()
{
    if (!overridePath().isEmpty())
        return overridePath();
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           "/vadmo7/vadmo7.log";
}

void setPath(const QString& file)
{
    overridePath() = file;
}

void write(const QString& text)
{
    const QString line =
        QDateTime::currentDateTime().toString("yyyy.MM.dd hh:mm:ss") + " " + text;
    qWarning().noquote() << line;
    const QString p = path();
    QDir().mkpath(QFileInfo(p).absolutePath());
    QFile f(p);
    if (f.open(QIODevice::Append | QIODevice::Text))
        f.write(line.toUtf8() + "\n");
}

} // namespace applog
