#include "mailto.h"

#include <QDir>
#include <QFileInfo>
#include <QUrl>

namespace mailto {

QString supportAddress()
{
    // Blanks and accented letters percent-encoded (UTF-8): what mail programs
    // on this platform read back correctly.
    return QString("mailto:") + Support +
           "?subject=" + QString::fromLatin1(QUrl::toPercentEncoding(QString::fromUtf8(Subject))) +
           "&body=" + QString::fromLatin1(QUrl::toPercentEncoding(QString::fromUtf8(Body)));
}

QString registerIn(const QString& folder)
{
    if (folder.isEmpty())
        return {};
    const QString f = QDir(folder).absoluteFilePath("vadmo7.fdb");
    return QFileInfo(f).isFile() ? f : QString();
}

} // namespace mailto
