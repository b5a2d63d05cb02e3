#include "fb.h"

#include <firebird/Interface.h>
#include <ibase.h>

#include <QHash>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <limits>
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
    const intptr_t* v = e.getStatus()->getErrors();
    long code = 0;
    // The vector is (kind, value) pairs; the first isc_arg_gds is the error.
    for (int i = 0; v && v[i] != isc_arg_end && i < 40; i += 2)
        if (v[i] == isc_arg_gds) {
            code = long(v[i + 1]);
            break;
        }
    throw Error(msg, code);
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
QByteArray encode1250(const QString& s, const QString& column)
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
            throw Error(column.isEmpty()
                            ? QString("A(z) \"%1\" karakter nem tárolható az adatbázisban.").arg(s[i])
                            : QString("A(z) \"%1\" karakter nem tárolható a(z) %2 mezőben.")
                                  .arg(s[i], column));
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

QByteArray readBlob(IAttachment* att, ITransaction* tra, ISC_QUAD* id)
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
    blob.forget(); // close released it
    return data;
}

} // namespace

bool Error::isConflict() const
{
    return code_ == isc_lock_conflict || code_ == isc_update_conflict || code_ == isc_deadlock ||
           code_ == isc_lock_timeout;
}

bool Error::isTimeout() const
{
    return code_ == isc_lock_timeout || code_ == isc_lock_conflict;
}

bool Error::isDuplicate() const
{
    return code_ == isc_unique_key_violation || code_ == isc_no_dup;
}

Error Error::conflict(const QString& text) { return Error(text, isc_update_conflict); }

bool Connection::isRemote(const QString& path)
{
    const QString p = path.trimmed();
    if (p.startsWith("inet://", Qt::CaseInsensitive) || p.startsWith("inet4://", Qt::CaseInsensitive) ||
        p.startsWith("inet6://", Qt::CaseInsensitive) || p.startsWith("wnet://", Qt::CaseInsensitive) ||
        p.startsWith("xnet://", Qt::CaseInsensitive))
        return true;
    // "host:file" or "host/port:file"; a local path starts with "/" or has no colon.
    const qsizetype colon = p.indexOf(':');
    // "C:\..." is a Windows drive, not a host called C.
    if (colon == 1 && p.size() > 2 && (p[2] == '\\' || p[2] == '/'))
        return false;
    return colon > 0 && !p.startsWith('/') && !p.startsWith('.');
}

qint64 Connection::attachmentId()
{
    if (!attachmentId_) {
        const Result r = execute("SELECT CURRENT_CONNECTION FROM RDB$DATABASE");
        attachmentId_ = r.rows.empty() ? 0 : r.rows[0][0].toLongLong();
    }
    return attachmentId_;
}

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
        // The program's own user on a server has its rights through the role
        // (the server ignores a role the user was not given).
        if (isRemote(path) && user.compare("SYSDBA", Qt::CaseInsensitive) != 0)
            dpb->insertString(&st, isc_dpb_sql_role_name, ServerRole);
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
        attachmentId_ = 0;
        // Several computers on a server take turns on a row (the ticket
        // counter above all): waiting for the other's commit costs a few
        // milliseconds, where failing at once meant pauses and new tries.
        lockTimeout_ = isRemote(path) ? ServerLockTimeout : 0;
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
    notify(TransactionListener::End::Detach);
    try {
        Status st;
        if (tra_) {
            // Whatever was not committed by now is not wanted.
            tra_->rollback(&st);
            tra_.forget(); // rollback released it
        }
        attachmentId_ = 0;
        att_->detach(&st);
        att_.forget(); // detach released it
    } catch (const FbException& e) {
        tra_.reset();
        att_.reset();
        rethrow(e);
    }
}

void Connection::addListener(TransactionListener* l)
{
    if (std::find(listeners_.begin(), listeners_.end(), l) == listeners_.end())
        listeners_.push_back(l);
}

void Connection::removeListener(TransactionListener* l)
{
    listeners_.erase(std::remove(listeners_.begin(), listeners_.end(), l), listeners_.end());
}

void Connection::notify(TransactionListener::End how)
{
    // A listener may remove itself while told.
    const auto copy = listeners_;
    for (TransactionListener* l : copy)
        if (std::find(listeners_.begin(), listeners_.end(), l) != listeners_.end())
            l->transactionEnding(how);
}

namespace {
// The program's transactions: read committed with record versions. A row
// another attachment holds fails at once (no wait), or, given a lock timeout,
// after that attachment has finished or the timeout has passed.
ITransaction* startReadCommitted(IAttachment* att, bool write, int lockTimeout = 0)
{
    Status st;
    Owned<IXpbBuilder> tpb(utilIf()->getXpbBuilder(&st, IXpbBuilder::TPB, nullptr, 0));
    tpb->insertTag(&st, isc_tpb_read_committed);
    tpb->insertTag(&st, isc_tpb_rec_version);
    if (lockTimeout > 0) {
        tpb->insertTag(&st, isc_tpb_wait);
        tpb->insertInt(&st, isc_tpb_lock_timeout, lockTimeout);
    } else {
        tpb->insertTag(&st, isc_tpb_nowait);
    }
    tpb->insertTag(&st, write ? isc_tpb_write : isc_tpb_read);
    return att->startTransaction(&st, tpb->getBufferLength(&st), tpb->getBuffer(&st));
}
} // namespace

void Connection::startTransaction()
{
    if (!att_)
        throw Error("Nincs adatbázis-kapcsolat.");
    if (tra_)
        return;
    try {
        tra_.reset(startReadCommitted(att_.get(), true, lockTimeout_));
    } catch (const FbException& e) {
        rethrow(e);
    }
}

void Connection::commit()
{
    if (!tra_)
        return;
    notify(TransactionListener::End::Commit);
    try {
        Status st;
        tra_->commit(&st);
        tra_.forget(); // commit released it
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
    notify(TransactionListener::End::Rollback);
    try {
        Status st;
        tra_->rollback(&st);
        tra_.forget(); // rollback released it
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
        QByteArray s = encode1250(sql, {});
        att_->execute(&st, tra_.get(), 0, s.constData(), SQL_DIALECT_V6, nullptr, nullptr, nullptr,
                      nullptr);
    } catch (const FbException& e) {
        rethrow(e);
    }
}

namespace {

std::atomic<qint64> gRowsFetched{0};

QString label(const Param& p, unsigned index)
{
    return p.column.isEmpty() ? QString("%1. paraméter").arg(index + 1) : p.column;
}

// The greatest magnitude a scaled integer of that type holds.
long double integerLimit(unsigned type, int scale)
{
    long double max = 0;
    switch (type) {
    case SQL_SHORT: max = 32767; break;
    case SQL_LONG: max = 2147483647; break;
    case SQL_INT64: max = 9223372036854775807.0L; break;
    default: return -1;
    }
    return max / std::pow(10.0L, -scale);
}

// What the statement's own description of a parameter (the column it meets)
// cannot hold is refused here, before anything is sent: the engine would cut
// a long text, store NaN as a huge negative number, or accept an infinity that
// makes the row unreadable.
void check(const Param& p, unsigned i, unsigned type, unsigned length, int scale,
           const QByteArray& text)
{
    const QString col = label(p, i);
    switch (p.kind) {
    case Param::Null:
        return;
    case Param::Text: {
        qsizetype n = text.size();
        while (n > 0 && text[n - 1] == ' ')
            --n; // trailing blanks are not data: the engine drops them as well
        const qsizetype limit = (type == SQL_TEXT || type == SQL_VARYING) ? qsizetype(length) : 32765;
        if (n > limit)
            throw Error(QString("A(z) %1 mezőbe legfeljebb %2 karakter fér, a szöveg %3 karakteres.")
                            .arg(col)
                            .arg(limit)
                            .arg(n));
        return;
    }
    case Param::Date: {
        const QDate d = p.value.toDate();
        if (!d.isValid() || d.year() < 1 || d.year() > 9999)
            throw Error(QString("A(z) %1 mező dátuma érvénytelen.").arg(col));
        return;
    }
    case Param::Float:
    case Param::Integer: {
        const long double v = p.kind == Param::Float ? (long double)p.value.toDouble()
                                                     : (long double)p.value.toLongLong();
        if (std::isnan(v))
            throw Error(QString("A(z) %1 mező értéke nem szám.").arg(col));
        if (std::isinf(v))
            throw Error(QString("A(z) %1 mező értéke végtelen.").arg(col));
        long double limit = integerLimit(type, scale);
        if (type == SQL_FLOAT)
            limit = std::numeric_limits<float>::max();
        if (limit >= 0 && std::fabs(v) > limit)
            throw Error(QString("A(z) %1 mező értéke (%2) kívül esik a tárolható tartományon.")
                            .arg(col)
                            .arg(double(v), 0, 'g', 17));
        return;
    }
    }
}

// A prepared statement with its input message filled and its output described.
struct Prepared {
    Ref<IStatement> stmt;
    Ref<IMessageMetadata> inMeta;
    std::vector<unsigned char> inBuf;
    Ref<IMessageMetadata> outMeta;
    std::vector<Column> columns;
    std::vector<unsigned> offsets, nullOffsets;
    std::vector<unsigned char> outBuf;
    bool isSelect = false;

    void prepare(IAttachment* att, ITransaction* tra, const QString& sql, const std::vector<Param>& params,
                 bool bind)
    {
        Status st;
        QByteArray s = encode1250(sql, {});
        stmt.reset(att->prepare(&st, tra, 0, s.constData(), SQL_DIALECT_V6,
                                IStatement::PREPARE_PREFETCH_METADATA));
        const unsigned stype = stmt->getType(&st);
        isSelect = stype == isc_info_sql_stmt_select || stype == isc_info_sql_stmt_select_for_upd;
        if (bind)
            bindParams(params);
        outMeta.reset(stmt->getOutputMetadata(&st));
        const unsigned count = outMeta->getCount(&st);
        columns.clear();
        for (unsigned i = 0; i < count; ++i) {
            Column c;
            c.name = QString::fromUtf8(outMeta->getAlias(&st, i));
            if (c.name.isEmpty())
                c.name = QString::fromUtf8(outMeta->getField(&st, i));
            c.relation = QString::fromUtf8(outMeta->getRelation(&st, i));
            c.type = int(outMeta->getType(&st, i) & ~1u);
            c.scale = outMeta->getScale(&st, i);
            c.length = outMeta->getLength(&st, i);
            c.subType = outMeta->getSubType(&st, i);
            c.nullable = outMeta->isNullable(&st, i);
            columns.push_back(c);
        }
        outBuf.assign(outMeta->getMessageLength(&st), 0);
        // Offsets once per statement: asking the metadata per cell costs more
        // than the fetch itself on long lists.
        offsets.resize(count);
        nullOffsets.resize(count);
        for (unsigned i = 0; i < count; ++i) {
            offsets[i] = outMeta->getOffset(&st, i);
            nullOffsets[i] = outMeta->getNullOffset(&st, i);
        }
    }

    // Input message built from the setters' types; the server converts.
    void bindParams(const std::vector<Param>& params)
    {
        Status st;
        Ref<IMessageMetadata> want(stmt->getInputMetadata(&st));
        const unsigned expected = want->getCount(&st);
        if (expected != params.size())
            throw Error(QString("A parancs %1 paramétert vár, %2 érkezett.").arg(expected).arg(params.size()));
        if (params.empty())
            return;
        std::vector<QByteArray> texts(params.size());
        Ref<IMetadataBuilder> b(master()->getMetadataBuilder(&st, unsigned(params.size())));
        for (unsigned i = 0; i < params.size(); ++i) {
            const Param& p = params[i];
            if (p.kind == Param::Text)
                texts[i] = encode1250(p.value.toString(), label(p, i));
            check(p, i, want->getType(&st, i) & ~1u, want->getLength(&st, i), want->getScale(&st, i),
                  texts[i]);
            switch (p.kind) {
            case Param::Null:
            case Param::Text:
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
            const bool isNull = p.kind == Param::Null || !p.value.isValid();
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

    void* in() { return inBuf.empty() ? nullptr : inBuf.data(); }

    template <class T>
    static void put(Row& r, const T& v)
    {
        r.append(reinterpret_cast<const char*>(&v), sizeof v);
    }

    // The output message just fetched, packed; blobs are read now, while the
    // transaction that can read them is open.
    Row pack(IAttachment* att, ITransaction* tra) const
    {
        Row r;
        r.reserve(128);
        for (size_t i = 0; i < columns.size(); ++i) {
            const unsigned char* d = outBuf.data() + offsets[i];
            ISC_SHORT isNull;
            std::memcpy(&isNull, outBuf.data() + nullOffsets[i], sizeof isNull);
            const Column& c = columns[i];
            if (isNull) {
                r.append(char(1));
                continue;
            }
            switch (c.type) {
            case SQL_TEXT: {
                // Fixed-width text comes padded; the padding is not data.
                unsigned n = c.length;
                while (n > 0 && d[n - 1] == ' ')
                    --n;
                r.append(char(0));
                put(r, ISC_USHORT(n));
                r.append(reinterpret_cast<const char*>(d), int(n));
                break;
            }
            case SQL_VARYING: {
                ISC_USHORT len;
                std::memcpy(&len, d, sizeof len);
                r.append(char(0));
                put(r, len);
                r.append(reinterpret_cast<const char*>(d + 2), len);
                break;
            }
            case SQL_SHORT:
            case SQL_LONG:
            case SQL_INT64: {
                qint64 v = 0;
                if (c.type == SQL_SHORT) {
                    ISC_SHORT x;
                    std::memcpy(&x, d, sizeof x);
                    v = x;
                } else if (c.type == SQL_LONG) {
                    ISC_LONG x;
                    std::memcpy(&x, d, sizeof x);
                    v = x;
                } else {
                    std::memcpy(&v, d, sizeof v);
                }
                r.append(char(0));
                put(r, v);
                break;
            }
            case SQL_FLOAT:
            case SQL_DOUBLE:
            case SQL_D_FLOAT: {
                double v;
                if (c.type == SQL_FLOAT) {
                    float f;
                    std::memcpy(&f, d, sizeof f);
                    v = f;
                } else {
                    std::memcpy(&v, d, sizeof v);
                }
                r.append(char(0));
                put(r, v);
                break;
            }
            case SQL_TYPE_DATE:
            case SQL_TYPE_TIME:
                r.append(char(0));
                r.append(reinterpret_cast<const char*>(d), 4);
                break;
            case SQL_TIMESTAMP:
                r.append(char(0));
                r.append(reinterpret_cast<const char*>(d), 8);
                break;
            case SQL_BOOLEAN:
                r.append(char(0));
                r.append(char(*d ? 1 : 0));
                break;
            case SQL_BLOB: {
                ISC_QUAD id;
                std::memcpy(&id, d, sizeof id);
                const QByteArray data = readBlob(att, tra, &id);
                r.append(char(0));
                put(r, quint32(data.size()));
                r.append(data);
                break;
            }
            default:
                r.append(char(1)); // a type this program never reads
            }
        }
        return r;
    }
};

// Size of a packed value after its null flag.
int packedSize(const Column& c, const char* p)
{
    switch (c.type) {
    case SQL_TEXT:
    case SQL_VARYING: {
        ISC_USHORT n;
        std::memcpy(&n, p, sizeof n);
        return int(sizeof n) + n;
    }
    case SQL_SHORT:
    case SQL_LONG:
    case SQL_INT64:
    case SQL_FLOAT:
    case SQL_DOUBLE:
    case SQL_D_FLOAT:
    case SQL_TIMESTAMP:
        return 8;
    case SQL_TYPE_DATE:
    case SQL_TYPE_TIME:
        return 4;
    case SQL_BOOLEAN:
        return 1;
    case SQL_BLOB: {
        quint32 n;
        std::memcpy(&n, p, sizeof n);
        return int(sizeof n) + int(n);
    }
    default:
        return 0;
    }
}

QVariant unpack(const Column& c, const char* p)
{
    switch (c.type) {
    case SQL_TEXT:
    case SQL_VARYING: {
        ISC_USHORT n;
        std::memcpy(&n, p, sizeof n);
        return decode1250(p + sizeof n, n);
    }
    case SQL_SHORT:
    case SQL_LONG:
    case SQL_INT64: {
        qint64 v;
        std::memcpy(&v, p, sizeof v);
        return decodeScaled(v, c.scale);
    }
    case SQL_FLOAT:
    case SQL_DOUBLE:
    case SQL_D_FLOAT: {
        double v;
        std::memcpy(&v, p, sizeof v);
        return v;
    }
    case SQL_TYPE_DATE: {
        ISC_DATE v;
        std::memcpy(&v, p, sizeof v);
        unsigned y, m, dd;
        utilIf()->decodeDate(v, &y, &m, &dd);
        return QDate(int(y), int(m), int(dd));
    }
    case SQL_TYPE_TIME: {
        ISC_TIME v;
        std::memcpy(&v, p, sizeof v);
        unsigned h, mi, s, f;
        utilIf()->decodeTime(v, &h, &mi, &s, &f);
        return QTime(int(h), int(mi), int(s), int(f / 10));
    }
    case SQL_TIMESTAMP: {
        ISC_TIMESTAMP v;
        std::memcpy(&v, p, sizeof v);
        unsigned y, m, dd, h, mi, s, f;
        utilIf()->decodeDate(v.timestamp_date, &y, &m, &dd);
        utilIf()->decodeTime(v.timestamp_time, &h, &mi, &s, &f);
        return QDateTime(QDate(int(y), int(m), int(dd)), QTime(int(h), int(mi), int(s), int(f / 10)));
    }
    case SQL_BOOLEAN:
        return bool(*p);
    case SQL_BLOB: {
        quint32 n;
        std::memcpy(&n, p, sizeof n);
        if (c.subType == 1)
            return decode1250(p + sizeof n, int(n));
        return QByteArray(p + sizeof n, int(n));
    }
    default:
        return {};
    }
}

} // namespace

qint64 rowsFetched() { return gRowsFetched.load(); }

QVariant rowValue(const std::vector<Column>& columns, const Row& row, int column)
{
    if (column < 0 || column >= int(columns.size()))
        return {};
    const char* p = row.constData();
    const char* end = p + row.size();
    for (int i = 0; i < column && p < end; ++i) {
        const bool null = *p++;
        if (!null)
            p += packedSize(columns[size_t(i)], p);
    }
    if (p >= end || *p)
        return {};
    return unpack(columns[size_t(column)], p + 1);
}

std::vector<QVariant> unpackRow(const std::vector<Column>& columns, const Row& row)
{
    std::vector<QVariant> out(columns.size());
    const char* p = row.constData();
    const char* end = p + row.size();
    for (size_t i = 0; i < columns.size() && p < end; ++i) {
        const bool null = *p++;
        if (null)
            continue;
        out[i] = unpack(columns[i], p);
        p += packedSize(columns[i], p);
    }
    return out;
}

struct Cursor::Impl {
    Connection* db = nullptr;
    Prepared prep;
    Ref<IResultSet> rs;
};

Cursor::Cursor(Connection& db, const QString& sql, const std::vector<Param>& params)
    : d_(std::make_unique<Impl>())
{
    if (!db.att_)
        throw Error("Nincs adatbázis-kapcsolat.");
    db.startTransaction();
    d_->db = &db;
    try {
        Status st;
        d_->prep.prepare(db.att_.get(), db.tra_.get(), sql, params, true);
        if (!d_->prep.isSelect)
            throw Error("Csak SELECT nyitható meg.");
        d_->rs.reset(d_->prep.stmt->openCursor(&st, db.tra_.get(), d_->prep.inMeta.get(), d_->prep.in(),
                                               d_->prep.outMeta.get(), 0));
    } catch (const FbException& e) {
        rethrow(e);
    }
}

Cursor::~Cursor()
{
    try {
        close();
    } catch (...) {
    }
}

const std::vector<Column>& Cursor::columns() const { return d_->prep.columns; }

bool Cursor::isOpen() const { return bool(d_->rs); }

bool Cursor::fetch(Row& row)
{
    if (!d_->rs)
        return false;
    try {
        Status st;
        if (d_->rs->fetchNext(&st, d_->prep.outBuf.data()) != IStatus::RESULT_OK) {
            close();
            return false;
        }
        ++gRowsFetched;
        row = d_->prep.pack(d_->db->att_.get(), d_->db->tra_.get());
        return true;
    } catch (const FbException& e) {
        d_->rs.reset();
        rethrow(e);
    }
}

void Cursor::close()
{
    if (!d_)
        return;
    try {
        Status st;
        if (d_->rs) {
            d_->rs->close(&st);
            d_->rs.forget(); // close released it
        }
        if (d_->prep.stmt) {
            d_->prep.stmt->free(&st);
            d_->prep.stmt.forget(); // free released it
        }
    } catch (const FbException& e) {
        d_->rs.reset();
        d_->prep.stmt.reset();
        rethrow(e);
    }
}

std::vector<Column> Connection::describe(const QString& sql)
{
    if (!att_)
        throw Error("Nincs adatbázis-kapcsolat.");
    startTransaction();
    try {
        Prepared p;
        p.prepare(att_.get(), tra_.get(), sql, {}, false);
        Status st;
        p.stmt->free(&st);
        p.stmt.forget(); // free released it
        return p.columns;
    } catch (const FbException& e) {
        rethrow(e);
    }
}

Result Connection::execute(const QString& sql, const std::vector<Param>& params, bool packed,
                           const std::function<void(qint64)>& rowsRead)
{
    if (!att_)
        throw Error("Nincs adatbázis-kapcsolat.");
    startTransaction();
    Result res;
    try {
        Status st;
        Prepared p;
        p.prepare(att_.get(), tra_.get(), sql, params, true);
        res.columns = p.columns;
        if (p.isSelect) {
            res.isSelect = true;
            Ref<IResultSet> rs(p.stmt->openCursor(&st, tra_.get(), p.inMeta.get(), p.in(), p.outMeta.get(), 0));
            qint64 n = 0;
            while (rs->fetchNext(&st, p.outBuf.data()) == IStatus::RESULT_OK) {
                ++gRowsFetched;
                Row r = p.pack(att_.get(), tra_.get());
                if (packed)
                    res.packed.push_back(std::move(r));
                else
                    res.rows.push_back(unpackRow(p.columns, r));
                if (rowsRead && (n++ % 1000) == 0)
                    rowsRead(n);
            }
            rs->close(&st);
            rs.forget(); // close released it
        } else {
            const bool out = !p.columns.empty();
            p.stmt->execute(&st, tra_.get(), p.inMeta.get(), p.in(), out ? p.outMeta.get() : nullptr,
                            out ? p.outBuf.data() : nullptr);
            if (out) {
                Row r = p.pack(att_.get(), tra_.get());
                if (packed)
                    res.packed.push_back(std::move(r));
                else
                    res.rows.push_back(unpackRow(p.columns, r));
            }
            res.rowsAffected = qint64(p.stmt->getAffectedRecords(&st));
        }
        p.stmt->free(&st);
        p.stmt.forget(); // free released it
    } catch (const FbException& e) {
        rethrow(e);
    }
    return res;
}

bool Connection::hasIndexes(const QStringList& names)
{
    if (!att_ || names.isEmpty())
        return false;
    QStringList marks;
    std::vector<Param> params;
    for (const QString& n : names) {
        marks << "?";
        params.push_back({Param::Text, n, "RDB$INDEX_NAME"});
    }
    const Result r =
        execute("SELECT COUNT(*) FROM RDB$INDICES WHERE RDB$INDEX_NAME IN (" + marks.join(", ") + ")", params);
    return !r.rows.empty() && r.rows[0][0].toLongLong() == names.size();
}

qint64 Connection::lastIdentity(const QString& table, const QString& column, bool scan)
{
    const Result gen = execute("SELECT TRIM(RDB$GENERATOR_NAME) FROM RDB$RELATION_FIELDS "
                               "WHERE RDB$RELATION_NAME = ? AND RDB$FIELD_NAME = ?",
                               {{Param::Text, table.toUpper(), "RDB$RELATION_NAME"},
                                {Param::Text, column.toUpper(), "RDB$FIELD_NAME"}});
    const QString name = gen.rows.empty() ? QString() : gen.rows[0][0].toString();
    // Names come from the catalogue or the program, quoted as identifiers.
    auto quoted = [](QString n) { return "\"" + n.replace('"', "\"\"") + "\""; };
    if (name.isEmpty() && !scan)
        return -1;
    const Result r = name.isEmpty()
                         ? execute("SELECT MAX(" + quoted(column.toUpper()) + ") FROM " + quoted(table.toUpper()))
                         : execute("SELECT GEN_ID(" + quoted(name) + ", 0) FROM RDB$DATABASE");
    return r.rows.empty() || r.rows[0].empty() ? 0 : r.rows[0][0].toLongLong();
}

Result Connection::executeFresh(const QString& sql)
{
    if (!att_)
        throw Error("Nincs adatbázis-kapcsolat.");
    Result res;
    try {
        Status st;
        Ref<ITransaction> tra(startReadCommitted(att_.get(), false));
        try {
            Prepared p;
            p.prepare(att_.get(), tra.get(), sql, {}, true);
            res.columns = p.columns;
            res.isSelect = true;
            Ref<IResultSet> rs(p.stmt->openCursor(&st, tra.get(), p.inMeta.get(), p.in(), p.outMeta.get(), 0));
            while (rs->fetchNext(&st, p.outBuf.data()) == IStatus::RESULT_OK) {
                ++gRowsFetched;
                res.rows.push_back(unpackRow(p.columns, p.pack(att_.get(), tra.get())));
            }
            rs->close(&st);
            rs.forget();
            p.stmt->free(&st);
            p.stmt.forget();
        } catch (...) {
            Status st2;
            try {
                tra->rollback(&st2);
                tra.forget();
            } catch (...) {
            }
            throw;
        }
        tra->commit(&st);
        tra.forget(); // commit released it
    } catch (const FbException& e) {
        rethrow(e);
    }
    return res;
}

struct ServiceManager::Impl {
    Ref<IService> svc;
};

ServiceManager::ServiceManager(const QString& server, const QString& user, const QString& password)
    : d_(std::make_unique<Impl>())
{
    try {
        Status st;
        Owned<IXpbBuilder> spb(utilIf()->getXpbBuilder(&st, IXpbBuilder::SPB_ATTACH, nullptr, 0));
        spb->insertString(&st, isc_spb_user_name, utf8(user).constData());
        spb->insertString(&st, isc_spb_password, utf8(password).constData());
        // No server: the engine in this process.
        const QByteArray name = (server.isEmpty()              ? QString("service_mgr")
                                 : server.contains("://") ? server + "/service_mgr"
                                                          : server + ":service_mgr")
                                    .toLocal8Bit();
        d_->svc.reset(provider()->attachServiceManager(&st, name.constData(),
                                                       spb->getBufferLength(&st),
                                                       spb->getBuffer(&st)));
    } catch (const FbException& e) {
        rethrow(e);
    }
}

ServiceManager::~ServiceManager()
{
    if (d_ && d_->svc) {
        try {
            Status st;
            d_->svc->detach(&st);
            d_->svc.forget(); // detach released it
        } catch (...) {
        }
    }
}

namespace {
// A service action's parameter block, with the few item kinds used here.
struct SpbStart {
    Status st;
    Owned<IXpbBuilder> b{utilIf()->getXpbBuilder(&st, IXpbBuilder::SPB_START, nullptr, 0)};
    void tag(unsigned char t) { b->insertTag(&st, t); }
    void text(unsigned char t, const QString& v) { b->insertString(&st, t, v.toLocal8Bit().constData()); }
    void number(unsigned char t, int v) { b->insertInt(&st, t, v); }
    std::vector<unsigned char> bytes()
    {
        const unsigned char* p = b->getBuffer(&st);
        return std::vector<unsigned char>(p, p + b->getBufferLength(&st));
    }
};
} // namespace

QStringList ServiceManager::run(const std::vector<unsigned char>& spb)
{
    QStringList lines;
    try {
        Status st;
        d_->svc->start(&st, unsigned(spb.size()), spb.data());
        // The action's output a line at a time; an empty line ends it, and a
        // failed action reports its error on the last query.
        const unsigned char items[] = {isc_info_svc_line};
        std::vector<unsigned char> buf(16384);
        for (;;) {
            d_->svc->query(&st, 0, nullptr, sizeof items, items, unsigned(buf.size()), buf.data());
            const unsigned char* p = buf.data();
            if (*p != isc_info_svc_line)
                break;
            ++p;
            const int len = int(p[0] | (p[1] << 8));
            p += 2;
            if (len == 0)
                break;
            lines << QString::fromLocal8Bit(reinterpret_cast<const char*>(p), len);
        }
    } catch (const FbException& e) {
        rethrow(e);
    }
    return lines;
}

namespace {
// The request block of one service action, verbose, with the engine's
// failures turned into ours.
template <class Fill>
std::vector<unsigned char> actionBlock(unsigned char action, Fill fill)
{
    try {
        SpbStart s;
        s.tag(action);
        fill(s);
        s.tag(isc_spb_verbose);
        return s.bytes();
    } catch (const FbException& e) {
        rethrow(e);
    }
}
} // namespace

QStringList ServiceManager::backup(const QString& database, const QString& file)
{
    return run(actionBlock(isc_action_svc_backup, [&](SpbStart& s) {
        s.text(isc_spb_dbname, database);
        s.text(isc_spb_bkp_file, file);
    }));
}

QStringList ServiceManager::restore(const QString& file, const QString& database)
{
    return run(actionBlock(isc_action_svc_restore, [&](SpbStart& s) {
        s.text(isc_spb_bkp_file, file);
        s.text(isc_spb_dbname, database);
        s.number(isc_spb_options, isc_spb_res_create);
    }));
}

QStringList ServiceManager::validate(const QString& database)
{
    std::vector<unsigned char> spb;
    try {
        SpbStart s;
        s.tag(isc_action_svc_repair);
        s.text(isc_spb_dbname, database);
        s.number(isc_spb_options, isc_spb_rpr_validate_db | isc_spb_rpr_check_db);
        spb = s.bytes();
    } catch (const FbException& e) {
        rethrow(e);
    }
    return run(spb);
}

bool encodable(const QString& text)
{
    const auto& m = Win1250::get().fromUni;
    for (QChar c : text)
        if (c.unicode() >= 0x80 && !m.contains(c.unicode()))
            return false;
    return true;
}

QStringList splitScript(const QString& script)
{
    QStringList out;
    QString term = ";";
    QString cur;
    auto flush = [&] {
        const QString t = cur.trimmed();
        if (!t.isEmpty())
            out << t;
        cur.clear();
    };
    const qsizetype n = script.size();
    qsizetype i = 0;
    while (i < n) {
        const QChar c = script[i];
        if (cur.trimmed().isEmpty() && !c.isSpace() &&
            script.mid(i, 9).compare("SET TERM ", Qt::CaseInsensitive) == 0) {
            // "SET TERM ^ ;" or "SET TERM ; ^": the first mark is the new terminator.
            qsizetype eol = script.indexOf('\n', i);
            if (eol < 0)
                eol = n;
            term = script.mid(i + 9, eol - i - 9).trimmed().section(' ', 0, 0);
            cur.clear();
            i = eol;
            continue;
        }
        if (c == '\'' || c == '"') {
            qsizetype j = i + 1;
            while (j < n) {
                if (script[j] == c) {
                    if (j + 1 < n && script[j + 1] == c) {
                        j += 2;
                        continue;
                    }
                    break;
                }
                ++j;
            }
            cur += script.mid(i, j - i + 1);
            i = j + 1;
            continue;
        }
        if (c == '-' && i + 1 < n && script[i + 1] == '-') {
            qsizetype eol = script.indexOf('\n', i);
            i = eol < 0 ? n : eol; // the comment goes, its line end stays
            continue;
        }
        if (c == '/' && i + 1 < n && script[i + 1] == '*') {
            qsizetype end = script.indexOf("*/", i + 2);
            i = end < 0 ? n : end + 2;
            cur += ' ';
            continue;
        }
        if (!term.isEmpty() && script.mid(i, term.size()) == term) {
            flush();
            i += term.size();
            continue;
        }
        cur += c;
        ++i;
    }
    flush();
    return out;
}

} // namespace fb
