#include "tabletext.h"
#include "safefile.h"

#include "settings.h"
#include "textfile.h"
#include "values.h"

#include <stdexcept>

namespace tabletext {

const std::vector<Table>& tables()
{
    static const std::vector<Table> t = {
        {"Átvevö", "atvevo.txt", "ATVEVO",
         {"ID_ATVEVO", "V_NEVE", "V_HELYSEG", "V_UTCA", "V_IRSZAM", "V_ADOSZAM", "V_SZERIA",
          "V_VERZIO"}},
        {"Östermelö", "ostermelo.txt", "OSTERMELO",
         {"ID_OSTERMELO", "O_KOD", "O_NEV", "O_IRSZAM", "O_HELYSEGNEV", "O_UTCA", "O_ADOAZON",
          "O_IGSZAM", "O_REGSZAM", "O_SZJA", "O_SZULHELY", "O_SZIDO", "O_ANYJA", "O_MUVKTG",
          "O_CSGAZD", "O_NEME", "O_SZULNEV", "O_TAJ", "O_ADOSZAM", "O_BANKSZLA"}},
        {"Sorszám", "sorszam.txt", "SORSZAM", {"ID_SORSZAM", "A_FJBSZAM", "A_SZERIA", "A_VERZIO"}},
        {"Termék", "termek.txt", "TERMEK",
         {"ID_TERMEK", "T_KOD", "T_MEGNEVEZES", "T_VTSZ", "T_MEGY", "T_EAR", "T_KOMPMERTEKE"}},
        {"FjFej", "FjFej.txt", "FJFEJ",
         {"ID_FJFEJ", "F_BSZAM", "F_AKOD", "F_OSTERMKOD", "F_KELT", "F_MUVKTG", "F_SZJA", "F_PRN",
          "F_MEGJ"}},
        {"FjSor", "FjSor.txt", "FJSOR",
         {"ID_FJSOR", "S_BSZAM", "S_TERMEKKOD", "S_MEGNEVEZES", "S_VTSZ", "S_BRUTTO", "S_MEGY",
          "S_EAR", "S_KOMPMERTEKE"}},
    };
    return t;
}

QString valueText(const QVariant& v) { return val::asText(v); }

QString line(const std::vector<QVariant>& values)
{
    QString s;
    for (size_t i = 0; i < values.size(); ++i) {
        if (i)
            s += ',';
        s += ':' + valueText(values[i]) + ':';
    }
    return s + '*';
}

QString localPath(const QString& text)
{
    const bool windows =
        text.contains('\\') || (text.size() >= 2 && text[1] == ':' && text[0].isLetter());
    return windows ? settings::winPath(text) : text;
}

QString target(const QString& folderField, const QString& file)
{
    return localPath(folderField) + file;
}

QString describe(const std::vector<Replaced>& replaced, int shown)
{
    if (replaced.empty())
        return {};
    QStringList out;
    out << "A Windows-1250 kódlapban nem létező karakterek helyére \"?\" került:";
    const int n = std::min<int>(shown, int(replaced.size()));
    for (int i = 0; i < n; ++i) {
        const Replaced& r = replaced[size_t(i)];
        out << QString("%1 %2. sor (azonosító: %3), %4: %5")
                   .arg(r.file)
                   .arg(r.line)
                   .arg(r.id, r.column, r.chars);
    }
    if (int(replaced.size()) > n)
        out << QString("… és még %1 érték.").arg(int(replaced.size()) - n);
    return out.join('\n');
}

qint64 rowCount(fb::Connection* db, const Table& t)
{
    const fb::Result r = db->execute("SELECT COUNT(*) FROM " + t.table);
    return r.rows.empty() || r.rows[0].empty() ? 0 : r.rows[0][0].toLongLong();
}

qint64 exportTable(fb::Connection* db, const Table& t, const QString& folderField,
                   const std::function<void(qint64)>& progress,
                   const std::function<bool()>& cancelled, std::vector<Replaced>* replaced)
{
    const QString path = target(folderField, t.file);
    safefile::Writer out(path);
    if (!out.open())
        throw std::runtime_error(
            QString("A fájl nem hozható létre: %1 (%2)").arg(path, out.reasonText()).toStdString());
    // Read a row at a time: a year's lines never sit in memory.
    fb::Cursor cursor(*db, "SELECT " + t.columns.join(", ") + " FROM " + t.table, {});
    const std::vector<fb::Column>& cols = cursor.columns();
    qint64 n = 0;
    fb::Row row;
    std::vector<QVariant> values(cols.size());
    while (cursor.fetch(row)) {
        for (size_t c = 0; c < cols.size(); ++c) {
            values[c] = fb::rowValue(cols, row, int(c));
            if (replaced && values[c].typeId() == QMetaType::QString) {
                const QString lost = textfile::notInWin1250(values[c].toString());
                if (!lost.isEmpty())
                    replaced->push_back({t.file, n + 1, valueText(values[0]), t.columns[qsizetype(c)], lost});
            }
        }
        out.write(textfile::toWin1250(line(values)) + "\r\n");
        if (progress)
            progress(++n);
        else
            ++n;
        if (cancelled && cancelled()) {
            out.cancel(); // the temporary goes; an earlier file stays
            return -1;
        }
    }
    if (!out.commit())
        throw std::runtime_error(
            QString("A fájl írása nem sikerült: %1 (%2)").arg(path, out.reasonText()).toStdString());
    return n;
}

} // namespace tabletext
