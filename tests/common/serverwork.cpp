#include "serverwork.h"

#include <QDate>

namespace serverwork {

rec::Context contextOn(fb::Connection* db)
{
    rec::Context c;
    c.db = db;
    c.akod = "00001";
    c.today = QDate(2026, 3, 10);
    return c;
}

ticketentry::Line line(const QString& key, const char* name, const char* qty)
{
    ticketentry::Line l;
    l.bszam = key;
    l.termekkod = "00001";
    l.megnevezes = QString::fromUtf8(name);
    l.vtsz = "1001";
    l.brutto = qty;
    l.megy = "kg";
    l.ear = "60";
    l.kompmerteke = "12";
    l.levonszaz = "0";
    return l;
}

ticketentry::Header header(const QString& offered, const QString& key)
{
    ticketentry::Header h;
    h.bszam = offered;
    h.lineKey = key;
    h.ostKod = "00001";
    h.kelt = h.felvkelt = h.fizkelt = "2026.03.10";
    h.szja = "15";
    h.levonas = h.levonszaz = h.jarul = "0";
    h.nyilatk = " ";
    return h;
}

} // namespace serverwork
