#include "fb.h"

#include <firebird/Interface.h>
#include <ibase.h>

#include <QHash>

#include <cmath>
#include <iconv.h>
#include <cstring>
#include <memory>

using namespace Firebird;

namespace fb {
namespace {

IMaster* master()
{
    static IMaster* m = fb_get_master_interface();
    return m;
}

IProvider* provider()
{
    static IProvider* p = master()->getDispatcher();
    return p;
}

IUtil* utilIf()
{
    static IUtil* u = master()->getUtilInterface();
    return u;
}

// A status wrapper whose status object is disposed with it.
struct Status {
    ThrowStatusWrapper w{master()->getStatus()};
    ~Status() { w.dispose(); }
    ThrowStatusWrapper* operator&() { return &w; }
};

struct Disposer {
    template <class T>
    void operator()(T* p) const
    {
        if (p)
            p->dispose();
    }
};
template <class T>
using Owned = std::unique_ptr<T, Disposer>;

QString decode1250(const char* p, int len);

[[noreturn]] void rethrow(const FbException& e)
{
    char buf[4096];
    unsigned n = utilIf()->formatStatus(buf, sizeof buf, e.getStatus());
    QByteArray text(buf, int(std::min<unsigned>(n, sizeof buf - 1)));
    // Engine messages are ASCII; values quoted in them come in the connection's set.
    QString msg = QString::fromUtf8(text);
    if (msg.contains(QChar(0xFFFD)))
        msg = decode1250(text.constData(), int(text.size()));
    throw Error(msg);
}

QByteArray utf8(const QString& s) { return s.toUtf8(); }

// Windows-1250, the character set of the connection: a table each way, built
// once from iconv.
struct Win1250 {
    char16_t toUni[256];
    QHash<char16_t, char> fromUni;
    Win1250()
    {
        iconv_t cd = iconv_open("UTF-16LE", "WINDOWS-1250");
        for (int b = 0; b < 256; ++b) {
            char in = char(b);
            char16_t out = 0;
            char* ip = &in;
            char* op = reinterpret_cast<char*>(&out);
            size_t il = 1, ol = 2;
            if (cd == iconv_t(-1) || iconv(cd, &ip, &il, &op, &ol) == size_t(-1))
                out = 0xFFFD; // the few bytes the code page leaves unassigned
            toUni[b] = out;
            if (out != 0xFFFD)
                fromUni.insert(out, char(b));
        }
        if (cd != iconv_t(-1))
            iconv_close(cd);
    }
    static const Win1250& get()
    {
        static const Win1250 w;
        return w;
    }
};

QString decode1250(const char* p, int len)
{
    const auto& t = Win1250::get().toUni;
    QString out(len, Qt::Uninitialized);
    QChar* o = out.data();
    for (int i = 0; i < len; ++i)
        o[i] = QChar(t[static_cast<unsigned char>(p[i])]);
    return out;
}

// Text the database cannot hold is refused here, before it could be stored mangled.
QByteArray encode1250(const QString& s)
{
    const auto& m = Win1250::get().fromUni;
    QByteArray out(s.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < s.size(); ++i) {
        char16_t c = s[i].unicode();
        if (c < 0x80) {
            out[i] = char(c);
            continue;
        }
        auto it = m.constFind(c);
        if (it == m.constEnd())
            throw Error(QString("A(z) \"%1\" karakter nem tárolható az adatbázisban.").arg(s[i]));
        out[i] = *it;
    }
    return out;
}

QVariant decodeScaled(qint64 v, int scale)
{
    if (scale == 0)
        return QVariant::fromValue<qlonglong>(v);
    return QVariant(double(v) / std::pow(10.0, -scale));
}

QVariant readBlob(IAttachment* att, ITransaction* tra, ISC_QUAD* id, int subType)
{
    Status st;
    Ref<IBlob> blob(att->openBlob(&st, tra, id, 0, nullptr));
    QByteArray data;
    char seg[16384];
    for (;;) {
        unsigned got = 0;
        int r = blob->getSegment(&st, sizeof seg, seg, &got);
        if (r == IStatus::RESULT_OK || r == IStatus::RESULT_SEGMENT)
            data.append(seg, int(got));
        else
            break;
    }
    blob->close(&st);
    blob.release(); // close released it
    if (subType == 1)
        return decode1250(data.constData(), int(data.size()));
    return data;
}

} // namespace

Connection::Connection() = default;

Connection::~Connection()
{
    try {
        detach();
    } catch (...) {
    }
}

IUtil* Connection::util() const { return utilIf(); }

void Connection::attachOrCreate(const QString& path, const QString& user,
                                const QString& password, bool create)
{
    if (att_)
        detach();
    try {
        Status st;
        Owned<IXpbBuilder> dpb(utilIf()->getXpbBuilder(&st, IXpbBuilder::DPB, nullptr, 0));
        dpb->insertString(&st, isc_dpb_user_name, utf8(user).constData());
        dpb->insertString(&st, isc_dpb_password, utf8(password).constData());
        // The columns' own character set on the wire: no conversion in the
        // engine, one byte a character, and a table lookup on our side.
        dpb->insertString(&st, isc_dpb_lc_ctype, "WIN1250");
        if (create) {
            dpb->insertString(&st, isc_dpb_set_db_charset, "WIN1250");
            dpb->insertInt(&st, isc_dpb_sql_dialect, 3);
            dpb->insertInt(&st, isc_dpb_page_size, 8192);
            dpb->insertInt(&st, isc_dpb_force_write, 1);
        }
        QByteArray p = path.toLocal8Bit();
        if (create)
            att_.reset(provider()->createDatabase(&st, p.constData(), dpb->getBufferLength(&st),
                                                  dpb->getBuffer(&st)));
        else
            att_.reset(provider()->attachDatabase(&st, p.constData(), dpb->getBufferLength(&st),
                                                  dpb->getBuffer(&st)));
        path_ = path;
    } catch (const FbException& e) {
        rethrow(e);
    }
}

void Connection::attach(const QString& path, const QString& user, const QString& password)
{
    attachOrCreate(path, user, password, false);
}

void Connection::create(const QString& path, const QString& user, const QString& password)
{
    attachOrCreate(path, user, password, true);
}

void Connection::detach()
{
    if (!att_)
        return;
    try {
        Status st;
        if (tra_) {
            // Whatever was not committed by now is not wanted.
            tra_->rollback(&st);
            tra_.release(); // rollback released it
        }
        att_->detach(&st);
        att_.release(); // detach released it
    } catch (const FbException& e) {
        tra_.reset();
        att_.reset();
        rethrow(e);
    }
}

void Connection::startTransaction()
{
    if (!att_)
        throw Error("Nincs adatbázis-kapcsolat.");
    if (tra_)
        return;
    try {
        Status st;
        Owned<IXpbBuilder> tpb(utilIf()->getXpbBuilder(&st, IXpbBuilder::TPB, nullptr, 0));
        tpb->insertTag(&st, isc_tpb_read_committed);
        tpb->insertTag(&st, isc_tpb_rec_version);
        tpb->insertTag(&st, isc_tpb_nowait);
        tpb->insertTag(&st, isc_tpb_write);
        tra_.reset(att_->startTransaction(&st, tpb->getBufferLength(&st), tpb->getBuffer(&st)));
    } catch (const FbException& e) {
        rethrow(e);
    }
}

void Connection::commit()
{
    if (!tra_)
        return;
    try {
        Status st;
        tra_->commit(&st);
        tra_.release(); // commit released it
    } catch (const FbException& e) {
        rethrow(e);
    }
}

void Connection::commitRetaining()
{
    if (!tra_)
        return;
    try {
        Status st;
        tra_->commitRetaining(&st);
    } catch (const FbException& e) {
        rethrow(e);
    }
}

void Connection::rollback()
{
    if (!tra_)
        return;
    try {
        Status st;
        tra_->rollback(&st);
        tra_.release(); // rollback released it
    } catch (const FbException& e) {
        // A transaction that cannot be rolled back is gone anyway.
        tra_.reset();
        rethrow(e);
    }
}

void Connection::executeImmediate(const QString& sql)
{
    if (!att_)
        throw Error("Nincs adatbázis-kapcsolat.");
    startTransaction();
    try {
        Status st;
        QByteArray s = encode1250(sql);
        att_->execute(&st, tra_.get(), 0, s.constData(), SQL_DIALECT_V6, nullptr, nullptr, nullptr,
                      nullptr);
    } catch (const FbException& e) {
        rethrow(e);
    }
}

Result Connection::execute(const QString& sql, const std::vector<Param>& params)
{
    if (!att_)
        throw Error("Nincs adatbázis-kapcsolat.");
    startTransaction();
    Result res;
    try {
        Status st;
        QByteArray s = encode1250(sql);
        Ref<IStatement> stmt(att_->prepare(&st, tra_.get(), 0, s.constData(), SQL_DIALECT_V6,
                                           IStatement::PREPARE_PREFETCH_METADATA));

        // Input message built from the setters' types; the server converts.
        Ref<IMessageMetadata> inMeta;
        std::vector<unsigned char> inBuf;
        std::vector<QByteArray> texts(params.size());
        if (!params.empty()) {
            Ref<IMetadataBuilder> b(master()->getMetadataBuilder(&st, unsigned(params.size())));
            for (unsigned i = 0; i < params.size(); ++i) {
                const Param& p = params[i];
                switch (p.kind) {
                case Param::Null:
                case Param::Text:
                    texts[i] = p.kind == Param::Text ? encode1250(p.value.toString()) : QByteArray();
                    b->setType(&st, i, SQL_VARYING + 1);
                    b->setLength(&st, i, unsigned(std::max<qsizetype>(1, texts[i].size())));
                    b->setCharSet(&st, i, 51); // WIN1250
                    break;
                case Param::Date:
                    b->setType(&st, i, SQL_TYPE_DATE + 1);
                    break;
                case Param::Float:
                    b->setType(&st, i, SQL_DOUBLE + 1);
                    break;
                case Param::Integer:
                    b->setType(&st, i, SQL_INT64 + 1);
                    b->setScale(&st, i, 0);
                    break;
                }
            }
            inMeta.reset(b->getMetadata(&st));
            inBuf.assign(inMeta->getMessageLength(&st), 0);
            for (unsigned i = 0; i < params.size(); ++i) {
                const Param& p = params[i];
                unsigned char* data = inBuf.data() + inMeta->getOffset(&st, i);
                auto* nullFlag = reinterpret_cast<ISC_SHORT*>(inBuf.data() + inMeta->getNullOffset(&st, i));
                bool isNull = p.kind == Param::Null || !p.value.isValid() ||
                              (p.kind == Param::Date && !p.value.toDate().isValid());
                *nullFlag = isNull ? -1 : 0;
                if (isNull)
                    continue;
                switch (p.kind) {
                case Param::Text: {
                    auto len = ISC_USHORT(texts[i].size());
                    std::memcpy(data, &len, sizeof len);
                    std::memcpy(data + sizeof len, texts[i].constData(), len);
                    break;
                }
                case Param::Date: {
                    QDate d = p.value.toDate();
                    ISC_DATE v = utilIf()->encodeDate(unsigned(d.year()), unsigned(d.month()),
                                                      unsigned(d.day()));
                    std::memcpy(data, &v, sizeof v);
                    break;
                }
                case Param::Float: {
                    double v = p.value.toDouble();
                    std::memcpy(data, &v, sizeof v);
                    break;
                }
                case Param::Integer: {
                    ISC_INT64 v = p.value.toLongLong();
                    std::memcpy(data, &v, sizeof v);
                    break;
                }
                case Param::Null:
                    break;
                }
            }
        }

        Ref<IMessageMetadata> outMeta(stmt->getOutputMetadata(&st));
        unsigned count = outMeta->getCount(&st);
        for (unsigned i = 0; i < count; ++i) {
            Column c;
            c.name = QString::fromUtf8(outMeta->getAlias(&st, i));
            if (c.name.isEmpty())
                c.name = QString::fromUtf8(outMeta->getField(&st, i));
            c.relation = QString::fromUtf8(outMeta->getRelation(&st, i));
            c.type = int(outMeta->getType(&st, i) & ~1u);
            c.scale = outMeta->getScale(&st, i);
            c.length = outMeta->getLength(&st, i);
            res.columns.push_back(c);
        }
        std::vector<unsigned char> outBuf(outMeta->getMessageLength(&st));
        // Offsets once per statement: asking the metadata per cell costs more
        // than the fetch itself on long lists.
        std::vector<unsigned> offsets(count), nullOffsets(count);
        std::vector<int> subTypes(count);
        for (unsigned i = 0; i < count; ++i) {
            offsets[i] = outMeta->getOffset(&st, i);
            nullOffsets[i] = outMeta->getNullOffset(&st, i);
            subTypes[i] = outMeta->getSubType(&st, i);
        }

        auto decodeRow = [&]() {
            std::vector<QVariant> row(count);
            for (unsigned i = 0; i < count; ++i) {
                const unsigned char* d = outBuf.data() + offsets[i];
                ISC_SHORT isNull;
                std::memcpy(&isNull, outBuf.data() + nullOffsets[i], sizeof isNull);
                if (isNull)
                    continue;
                const Column& c = res.columns[i];
                switch (c.type) {
                case SQL_TEXT: {
                    // Fixed-width text comes padded; the padding is not data.
                    QByteArray b(reinterpret_cast<const char*>(d), int(c.length));
                    while (!b.isEmpty() && b.endsWith(' '))
                        b.chop(1);
                    row[i] = decode1250(b.constData(), int(b.size()));
                    break;
                }
                case SQL_VARYING: {
                    ISC_USHORT len;
                    std::memcpy(&len, d, sizeof len);
                    row[i] = decode1250(reinterpret_cast<const char*>(d + 2), len);
                    break;
                }
                case SQL_SHORT: {
                    ISC_SHORT v;
                    std::memcpy(&v, d, sizeof v);
                    row[i] = decodeScaled(v, c.scale);
                    break;
                }
                case SQL_LONG: {
                    ISC_LONG v;
                    std::memcpy(&v, d, sizeof v);
                    row[i] = decodeScaled(v, c.scale);
                    break;
                }
                case SQL_INT64: {
                    ISC_INT64 v;
                    std::memcpy(&v, d, sizeof v);
                    row[i] = decodeScaled(v, c.scale);
                    break;
                }
                case SQL_FLOAT: {
                    float v;
                    std::memcpy(&v, d, sizeof v);
                    row[i] = double(v);
                    break;
                }
                case SQL_DOUBLE:
                case SQL_D_FLOAT: {
                    double v;
                    std::memcpy(&v, d, sizeof v);
                    row[i] = v;
                    break;
                }
                case SQL_TYPE_DATE: {
                    ISC_DATE v;
                    std::memcpy(&v, d, sizeof v);
                    unsigned y, m, dd;
                    utilIf()->decodeDate(v, &y, &m, &dd);
                    row[i] = QDate(int(y), int(m), int(dd));
                    break;
                }
                case SQL_TYPE_TIME: {
                    ISC_TIME v;
                    std::memcpy(&v, d, sizeof v);
                    unsigned h, mi, s, f;
                    utilIf()->decodeTime(v, &h, &mi, &s, &f);
                    row[i] = QTime(int(h), int(mi), int(s), int(f / 10));
                    break;
                }
                case SQL_TIMESTAMP: {
                    ISC_TIMESTAMP v;
                    std::memcpy(&v, d, sizeof v);
                    unsigned y, m, dd, h, mi, s, f;
                    utilIf()->decodeDate(v.timestamp_date, &y, &m, &dd);
                    utilIf()->decodeTime(v.timestamp_time, &h, &mi, &s, &f);
                    row[i] = QDateTime(QDate(int(y), int(m), int(dd)),
                                       QTime(int(h), int(mi), int(s), int(f / 10)));
                    break;
                }
                case SQL_BOOLEAN:
                    row[i] = bool(*d);
                    break;
                case SQL_BLOB: {
                    ISC_QUAD id;
                    std::memcpy(&id, d, sizeof id);
                    row[i] = readBlob(att_.get(), tra_.get(), &id, subTypes[i]);
                    break;
                }
                default:
                    row[i] = QVariant();
                }
            }
            return row;
        };

        unsigned type = stmt->getType(&st);
        if (type == isc_info_sql_stmt_select || type == isc_info_sql_stmt_select_for_upd) {
            res.isSelect = true;
            Ref<IResultSet> rs(stmt->openCursor(&st, tra_.get(), inMeta.get(),
                                                inBuf.empty() ? nullptr : inBuf.data(),
                                                outMeta.get(), 0));
            while (rs->fetchNext(&st, outBuf.data()) == IStatus::RESULT_OK)
                res.rows.push_back(decodeRow());
            rs->close(&st);
            rs.release(); // close released it
        } else {
            stmt->execute(&st, tra_.get(), inMeta.get(), inBuf.empty() ? nullptr : inBuf.data(),
                          count ? outMeta.get() : nullptr, count ? outBuf.data() : nullptr);
            if (count)
                res.rows.push_back(decodeRow());
            res.rowsAffected = qint64(stmt->getAffectedRecords(&st));
        }
        stmt->free(&st);
        stmt.release(); // free released it
    } catch (const FbException& e) {
        rethrow(e);
    }
    return res;
}

QStringList splitScript(const QString& script)
{
    QStringList out;
    QString term = ";";
    QString cur;
    const QStringList lines = script.split('\n');
    for (const QString& rawLine : lines) {
        QString line = rawLine;
        QString trimmed = line.trimmed();
        if (trimmed.startsWith("--") && cur.trimmed().isEmpty())
            continue;
        if (trimmed.toUpper().startsWith("SET TERM ")) {
            QString rest = trimmed.mid(9).trimmed();
            // "SET TERM ^ ;" or "SET TERM ; ^"
            term = rest.section(' ', 0, 0);
            continue;
        }
        cur += line + '\n';
        QString t = cur.trimmed();
        if (t.endsWith(term)) {
            t.chop(term.size());
            if (!t.trimmed().isEmpty())
                out << t.trimmed();
            cur.clear();
        }
    }
    if (!cur.trimmed().isEmpty())
        out << cur.trimmed();
    return out;
}

} // namespace fb
