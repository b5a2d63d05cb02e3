#include "xsdcheck.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <libxml/parser.h>
#include <libxml/xmlerror.h>
#include <libxml/xmlschemas.h>

namespace xsdcheck {

namespace {

struct Sink {
    Result* r;
    int max;
};

// libxml2's English texts, said in Hungarian; the original stays in brackets
// for whoever has to dig further.
QString hungarian(const QString& msg)
{
    struct Map {
        const char* has;
        const char* hu;
    };
    static const Map map[] = {
        {"This element is not expected", "ezen a helyen nem várt elem"},
        {"Missing child element", "hiányzik egy kötelező elem"},
        {"[facet 'minLength']", "túl rövid érték"},
        {"[facet 'maxLength']", "túl hosszú érték"},
        {"[facet 'totalDigits']", "túl sok számjegy"},
        {"[facet 'fractionDigits']", "túl sok tizedesjegy"},
        {"[facet 'enumeration']", "nem megengedett érték"},
        {"is not a valid value of the atomic type", "érvénytelen érték"},
        {"is not a valid value of the local atomic type", "érvénytelen érték"},
        {"No matching global declaration", "ismeretlen gyökérelem"},
        {"Start tag expected", "nem XML tartalom"},
        {"PCDATA invalid Char value", "nem megengedett (vezérlő)karakter"},
        {"Char 0x", "nem megengedett (vezérlő)karakter"},
        {"Premature end of data", "a fájl idő előtt véget ér"},
        {"Opening and ending tag mismatch", "nyitó és záró elem nem egyezik"},
        {"EntityRef", "hibás & jel (nincs átalakítva)"},
        {"xmlParseEntityRef", "hibás & jel (nincs átalakítva)"},
        {"Document is empty", "üres dokumentum"},
    };
    for (const Map& m : map)
        if (msg.contains(QString::fromUtf8(m.has)))
            return QString::fromUtf8(m.hu) + " (" + msg + ")";
    return "hiba (" + msg + ")";
}

void collect(void* user, xmlErrorPtr e)
{
    auto* s = static_cast<Sink*>(user);
    if (!e || e->level < XML_ERR_ERROR)
        return;
    ++s->r->total;
    if (s->r->problems.size() >= s->max)
        return;
    QString msg = QString::fromUtf8(e->message ? e->message : "").trimmed();
    QString element;
    if (e->node) {
        auto* n = static_cast<xmlNodePtr>(e->node);
        if (n->name)
            element = QString::fromUtf8(reinterpret_cast<const char*>(n->name));
    }
    // The schema messages begin "Element '{ns}name': "; the element is said once.
    msg.remove(QRegularExpression("^Element '[^']*': "));
    QString line = QString("%1. sor").arg(e->line);
    if (!element.isEmpty())
        line += ", <" + element + ">";
    s->r->problems << line + ": " + hungarian(msg);
}

} // namespace

Result validate(const QByteArray& xml, const QString& xsdPath, int maxProblems)
{
    Result r;
    Sink sink{&r, maxProblems};
    QFile xsdFile(xsdPath);
    if (!xsdFile.open(QIODevice::ReadOnly)) {
        r.total = 1;
        r.problems << "Nem olvasható a séma: " + QDir::toNativeSeparators(xsdPath);
        return r;
    }
    const QByteArray xsd = xsdFile.readAll();
    xmlSchemaParserCtxtPtr pctx = xmlSchemaNewMemParserCtxt(xsd.constData(), int(xsd.size()));
    xmlSchemaPtr schema = pctx ? xmlSchemaParse(pctx) : nullptr;
    if (pctx)
        xmlSchemaFreeParserCtxt(pctx);
    if (!schema) {
        r.total = 1;
        r.problems << "A séma nem értelmezhető: " + QDir::toNativeSeparators(xsdPath);
        return r;
    }

    xmlParserCtxtPtr parser = xmlNewParserCtxt();
    xmlSetStructuredErrorFunc(&sink, collect);
    xmlDocPtr doc = parser ? xmlCtxtReadMemory(parser, xml.constData(), int(xml.size()), "szamlak.xml",
                                               nullptr, XML_PARSE_NONET)
                           : nullptr;
    if (doc) {
        xmlSchemaValidCtxtPtr vctx = xmlSchemaNewValidCtxt(schema);
        xmlSchemaSetValidStructuredErrors(vctx, collect, &sink);
        const int rc = xmlSchemaValidateDoc(vctx, doc);
        r.valid = rc == 0 && r.total == 0;
        if (rc != 0 && r.total == 0) {
            r.total = 1;
            r.problems << "Az állomány nem felel meg a sémának.";
        }
        xmlSchemaFreeValidCtxt(vctx);
        xmlFreeDoc(doc);
    } else if (r.total == 0) {
        r.total = 1;
        r.problems << "Az állomány nem olvasható XML-ként.";
    }
    xmlSetStructuredErrorFunc(nullptr, nullptr);
    if (parser)
        xmlFreeParserCtxt(parser);
    xmlSchemaFree(schema);
    return r;
}

QString message(const Result& r, const QString& xmlPath)
{
    if (r.valid)
        return "Az XML fájl megfelel az adóhatóság sémájának (23_2014_szamlasema.xsd): érvényes.";
    QString m = "Az XML fájl NEM felel meg az adóhatóság sémájának, így NEM SZABAD elküldeni!\n" +
                QDir::toNativeSeparators(xmlPath) + "\n" +
                QString("%1 hiba, az elsők:\n").arg(r.total) + r.problems.join('\n');
    return m;
}

} // namespace xsdcheck
