#include "columntitles.h"

namespace columntitles {

const QHash<QString, QString>& all()
{
    static const QHash<QString, QString> titles = [] {
        const char* const pairs[][2] = {
            // Lists and totals
            {"F_OSTERMKOD", "Östermelö kód"}, {"O_NEV", "Östermelö neve"},
            {"HO", "Hónap"}, {"S_MEGNEVEZES", "Megnevezés"}, {"V_MENNY", "Mennyiség"},
            {"V_FELVAR", "Felvásárlási ár"}, {"V_ATLAR", "Átlagár"}, {"V_FELAR", "Komp. felár"},
            {"V_VETELAR", "Vételár"}, {"V_KIFIZ", "Kifizetett"}, {"ID_FJSOR", "Tétel azonosító"},
            {"F_FIZKELT", "Fizetés kelte"}, {"MENNYISEG", "Mennyiség"}, {"O_KOD", "Kód"},
            {"NEVOSSZESEN", "Összesen"}, {"V_KIFIZ1", "Kifizetett"}, {"V_KIFIZ2", "Kifizetett"},
            // Ticket lines (the 2008M grid before a collection)
            {"S_BSZAM", "Bszám"}, {"S_TERMEKKOD", "Kód"}, {"S_VTSZ", "VTSZ"},
            {"S_LEVONSZAZ", "Súlylevon.%"}, {"S_BRUTTO", "Mennyiség"}, {"S_MEGY", "M.egys."},
            {"S_EAR", "Egységár"}, {"S_KOMPMERTEKE", "Komp.%"}, {"S_AKOD", "Átvevőkód"},
            {"S_SZJA", "szja %"}, {"S_BIZONYLAT", "Bizonylat"}, {"S_LEVONAS", "Levonás"},
            {"S_NETTO", "Nettó menny."}, {"S_FELVAR", "Felvásárl.ár"},
            {"S_KOMPFELAR", "Komp.felár"}, {"S_VETELAR", "Vételár"},
            // Producers and ticket headers (the data check, the producer import,
            // the inventory hand-over)
            {"ID_OSTERMELO", "ID"}, {"O_IRSZAM", "Irányítószám"}, {"O_HELYSEGNEV", "Helységnév"},
            {"O_UTCA", "Utca"}, {"O_ADOAZON", "Adóazonosító"}, {"O_IGSZAM", "Ig.szám"},
            {"O_REGSZAM", "Reg.szám"}, {"O_SZJA", "Szja %"}, {"O_SZULHELY", "Születési hely"},
            {"O_SZIDO", "Születési idő"}, {"O_ANYJA", "Anyja neve"},
            {"O_CSGAZD", "Családi gazd.szám"}, {"O_NEME", "Neme"}, {"O_SZULNEV", "Születési név"},
            {"O_TAJ", "TAJ"}, {"O_ADOSZAM", "Adószám"}, {"O_BANKSZLA", "Bankszámla"},
            {"O_ERVKELT", "Érvényesítve"}, {"O_AKOD", "Átvevőkód"}, {"O_MNYPTAG", "Magánnyugdíj tag"},
            {"O_BETETLAP", "Betétlap"}, {"O_KAMARA", "Kamarai reg."}, {"O_FELIR", "FELIR"},
            {"O_KERULET", "Kerület"}, {"O_JELLEG", "Közterület jellege"}, {"O_HAZSZAM", "Házszám"},
            {"O_EPULET", "Épület"}, {"O_LEPCSO", "Lépcsőház"}, {"O_SZINT", "Szint"},
            {"O_AJTO", "Ajtó"}, {"O_FHAT", "Fiz.hat. (nap)"}, {"O_KOZADOSZAM", "Közösségi adószám"},
            {"O_FELJEGYZ", "Feljegyzés"}, {"O_MUVKTG", "Müv.ktg."}, {"F_FELVKELT", "Felvásárlás kelte"},
            // 2008M
            {"KIFIZETETT", "Kifizetett"}, {"M_VETELAR", "Kifizetett"},
            {"M_OSSZESEN", "Összesen"},
            // Audit data supply documents
            {"FE_SZLASORSZAM", "Bizonylat sorszám"}, {"FE_SZLADATUM", "Kelte"},
            {"FE_TELJDATUM", "Teljesítés"}, {"NE_FIZ_MOD", "Fizetési mód"},
            {"TE_ARENGEDM", "Árengedmény"}, {"FE_SZLATIPUS", "Típus"},
            {"MO_EREDETI_SORSZAM", "Eredeti bizonylat"}, {"NE_FIZ_HATARIDO", "Fizetési határidő"},
            {"SZJA_BRUTTOAR", "Szja előleg"}, {"TAGI_BRUTTOAR", "Tagi hozzájárulás"},
            {"LEV_BRUTTOAR", "Levonás"}, {"KI_NEV", "Kibocsátó neve"},
            {"KI_IRANYITOSZAM", "Kibocsátó irányítószám"}, {"KI_TELEPULES", "Kibocsátó település"},
            {"KI_KOZTERULET_NEVE", "Kibocsátó közterület"}, {"KI_ADOSZAM", "Kibocsátó adószám"},
            {"NE_KIBOCSATO_BANKSZLA", "Kibocsátó bankszámla"}, {"KI_KERULET", "Kibocsátó kerület"},
            {"KI_KOZTERULET_JELLEGE", "Kibocsátó közterület jellege"},
            {"KI_HAZSZAM", "Kibocsátó házszám"}, {"KI_EPULET", "Kibocsátó épület"},
            {"KI_LEPCSOHAZ", "Kibocsátó lépcsőház"}, {"KI_SZINT", "Kibocsátó szint"},
            {"KI_AJTO", "Kibocsátó ajtó"}, {"VE_NEV", "Vevő neve"},
            {"VE_IRANYITOSZAM", "Vevő irányítószám"}, {"VE_TELEPULES", "Vevő település"},
            {"VE_KOZTERULET_NEVE", "Vevő közterület"}, {"VE_ADOSZAM", "Vevő adószám"},
            {"NE_BEFOGADO_BANKSZLA", "Vevő bankszámla"}, {"VE_KERULET", "Vevő kerület"},
            {"VE_KOZTERULET_JELLEGE", "Vevő közterület jellege"}, {"VE_HAZSZAM", "Vevő házszám"},
            {"VE_EPULET", "Vevő épület"}, {"VE_LEPCSOHAZ", "Vevő lépcsőház"},
            {"VE_SZINT", "Vevő szint"}, {"VE_AJTO", "Vevő ajtó"},
            {"KI_EGYENI_VALLALKOZO", "Egyéni vállalkozó"},
            {"KI_EV_NYILV_TART_SZAM", "E.V. nyilvántartási szám"},
            {"KI_EV_NEVE", "Egyéni vállalkozó neve"}, {"ZA_ONSZAMLA", "Önszámlázás"},
            {"NE_PENZNEM", "Pénznem"}, {"NE_SZLA_FORMA", "Számla formája"},
            {"TE_ADOKULCS", "Adókulcs"}, {"TE_ADOERTEK", "Adó összege"},
            {"KI_KISADOZO", "Kisadózó"}, {"KI_KOZADOSZAM", "Kibocsátó közösségi adószám"},
            {"VE_KOZADOSZAM", "Vevő közösségi adószám"},
        };
        QHash<QString, QString> h;
        for (const auto& p : pairs)
            h.insert(QString::fromUtf8(p[0]), QString::fromUtf8(p[1]));
        return h;
    }();
    return titles;
}

} // namespace columntitles
