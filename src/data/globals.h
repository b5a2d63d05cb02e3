#pragma once
// Values that live for the whole run outside the database.

#include <QString>

struct Globals {
    // Current buyer, set by the buyer selection.
    QString akod;        // V_AKOD of the chosen buyer
    QString nyilatk;     // the buyer's declaration text
    QString verzioBetu;  // edition letter: first character of V_VERZIO
    QString tipus;       // ticket type code, "1"
    QString ervTipus;    // voiding type code, "4"
    QString verzioSzoveg;                             // "Verzió: ..." or empty
    QString captionPrefix = "Felvásárlási jegy - ";

    // Keys the pickers and the ticket list position themselves on.
    QString ostKod;      // remembered producer code
    QString termekSzoveg; // remembered product text
    QString aktBszam;    // current ticket number
};

extern Globals G;
